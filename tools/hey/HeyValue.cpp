#include "HeyValue.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "HeyRuns.h"

#include <GraphicsDefs.h>
#include <Message.h>
#include <Point.h>
#include <Rect.h>

namespace {

bool read_integer(const std::string& text, long long* value)
{
	if (text.empty())
		return false;
	char* end = nullptr;
	errno = 0;
	*value = strtoll(text.c_str(), &end, 0);
	return errno == 0 && end != nullptr && *end == '\0';
}

bool read_float(const std::string& text, double* value)
{
	if (text.empty() || text.find_first_of("0123456789") == std::string::npos)
		return false;
	char* end = nullptr;
	errno = 0;
	*value = strtod(text.c_str(), &end);
	return errno == 0 && end != nullptr && *end == '\0';
}

// "Name(a,b,...)" with count numbers: true and the numbers when text has
// that prefix (ok false when the numbers are wrong).
bool read_call(const std::string& text, const char* prefix, size_t count,
               std::vector<double>* numbers, bool* ok)
{
	const size_t prefixLength = strlen(prefix);
	if (text.compare(0, prefixLength, prefix) != 0 || text.size() < prefixLength + 2 ||
	    text[prefixLength] != '(' || text.back() != ')')
		return false;
	*ok = false;
	std::string inside = text.substr(prefixLength + 1, text.size() - prefixLength - 2);
	size_t start = 0;
	while (start <= inside.size()) {
		size_t comma = inside.find(',', start);
		std::string part =
		    inside.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
		while (!part.empty() && part.front() == ' ')
			part.erase(0, 1);
		while (!part.empty() && part.back() == ' ')
			part.pop_back();
		double number;
		if (!read_float(part, &number))
			return true;
		numbers->push_back(number);
		if (comma == std::string::npos)
			break;
		start = comma + 1;
	}
	*ok = numbers->size() == count;
	return true;
}

} // namespace

status_t AddHeyValue(BMessage* message, const char* name, const std::string& text)
{
	if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
		return message->AddString(name, text.substr(1, text.size() - 2).c_str());
	if (text == "true" || text == "false")
		return message->AddBool(name, text == "true");
	long long integer;
	if (read_integer(text, &integer)) {
		if (integer >= INT32_MIN && integer <= INT32_MAX)
			return message->AddInt32(name, (int32)integer);
		return message->AddInt64(name, (int64)integer);
	}
	double number;
	if (read_float(text, &number))
		return message->AddFloat(name, (float)number);

	if (IsRunsValue(text))
		return AddHeyRuns(message, name, text);

	std::vector<double> numbers;
	bool ok = false;
	if (read_call(text, "BPoint", 2, &numbers, &ok)) {
		if (!ok)
			return B_BAD_VALUE;
		return message->AddPoint(name, BPoint((float)numbers[0], (float)numbers[1]));
	}
	if (read_call(text, "BRect", 4, &numbers, &ok)) {
		if (!ok)
			return B_BAD_VALUE;
		return message->AddRect(name, BRect((float)numbers[0], (float)numbers[1], (float)numbers[2],
		                                    (float)numbers[3]));
	}
	if (read_call(text, "rgb_color", 4, &numbers, &ok)) {
		if (!ok)
			return B_BAD_VALUE;
		for (double component : numbers) {
			if (component < 0 || component > 255)
				return B_BAD_VALUE;
		}
		rgb_color color = {(uint8)numbers[0], (uint8)numbers[1], (uint8)numbers[2],
		                   (uint8)numbers[3]};
		return message->AddColor(name, color);
	}
	return message->AddString(name, text.c_str());
}
