#include "HeyRequest.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <AppDefs.h>

#include "HeyValue.h"

namespace {

struct Verb
{
	const char* word;
	uint32 what;
};

const Verb kVerbs[] = {
    {"get", B_GET_PROPERTY},
    {"set", B_SET_PROPERTY},
    {"do", B_EXECUTE_PROPERTY},
    {"count", B_COUNT_PROPERTIES},
    {"create", B_CREATE_PROPERTY},
    {"delete", B_DELETE_PROPERTY},
    {"getsuites", B_GET_SUPPORTED_SUITES},
    {"quit", B_QUIT_REQUESTED},
};

bool is_keyword(const std::string& word)
{
	return word == "of" || word == "to" || word == "with";
}

// A whole decimal int32, sign allowed.
bool read_index(const std::string& text, int32* value)
{
	if (text.empty())
		return false;
	char* end = nullptr;
	errno = 0;
	long long number = strtoll(text.c_str(), &end, 10);
	if (errno != 0 || end == nullptr || *end != '\0' || number < INT32_MIN || number > INT32_MAX)
		return false;
	*value = (int32)number;
	return true;
}

} // namespace

bool HeyRequest::_Fail(const std::string& reason)
{
	mError = reason;
	return false;
}

bool HeyRequest::_ParseVerb(const std::string& verb)
{
	for (const Verb& known : kVerbs) {
		if (verb == known.word) {
			mMessage.what = known.what;
			mAsksSuites = known.what == B_GET_SUPPORTED_SUITES;
			return true;
		}
	}
	// A message code of four characters, quoted or not: 'abcd' or abcd.
	std::string code = verb;
	if (code.size() == 6 && code.front() == '\'' && code.back() == '\'')
		code = code.substr(1, 4);
	if (code.size() != 4)
		return _Fail("unknown verb \"" + verb + "\"");
	mMessage.what = ((uint32)(uint8)code[0] << 24) | ((uint32)(uint8)code[1] << 16) |
	                ((uint32)(uint8)code[2] << 8) | (uint32)(uint8)code[3];
	return true;
}

bool HeyRequest::_ParseSpecifier(const std::vector<std::string>& words, size_t* at)
{
	const std::string& property = words[*at];
	if (property.empty() || is_keyword(property))
		return _Fail("a property name is missing");
	(*at)++;
	if (*at >= words.size() || is_keyword(words[*at]))
		return mMessage.AddSpecifier(property.c_str()) == B_OK || _Fail("bad specifier");

	// The word after a property: a number or [N] is an index, [-N] a
	// reverse index, [N to M] a range of N up to M; anything else a name.
	std::string argument = words[(*at)++];
	bool bracketed = argument.size() >= 2 && argument.front() == '[' && argument.back() == ']';
	std::string inside = bracketed ? argument.substr(1, argument.size() - 2) : argument;
	int32 index;
	if (read_index(inside, &index)) {
		// A reverse index is sent as its magnitude, which INT32_MIN has none of.
		if (index == INT32_MIN)
			return _Fail("bad index " + argument);
		BMessage specifier(index < 0 ? B_REVERSE_INDEX_SPECIFIER : B_INDEX_SPECIFIER);
		specifier.AddString("property", property.c_str());
		specifier.AddInt32("index", index < 0 ? -index : index);
		return mMessage.AddSpecifier(&specifier) == B_OK || _Fail("bad specifier");
	}
	size_t to = inside.find(" to ");
	int32 first;
	int32 last;
	if (bracketed && to != std::string::npos && read_index(inside.substr(0, to), &first) &&
	    read_index(inside.substr(to + 4), &last)) {
		if (first < 0 || last < first)
			return _Fail("bad range " + argument);
		return mMessage.AddSpecifier(property.c_str(), first, last - first) == B_OK ||
		       _Fail("bad specifier");
	}
	if (bracketed)
		return _Fail("bad index " + argument);
	if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"')
		argument = argument.substr(1, argument.size() - 2);
	return mMessage.AddSpecifier(property.c_str(), argument.c_str()) == B_OK ||
	       _Fail("bad specifier");
}

bool HeyRequest::Parse(const std::vector<std::string>& words)
{
	if (words.empty())
		return _Fail("a verb is missing");
	if (!_ParseVerb(words[0]))
		return false;
	size_t at = 1;
	if (at < words.size() && words[at] == "of" && mAsksSuites)
		at++; // "getsuites of Window 0"
	if (at < words.size() && !is_keyword(words[at])) {
		for (;;) {
			if (!_ParseSpecifier(words, &at))
				return false;
			if (at >= words.size() || words[at] != "of")
				break;
			if (++at >= words.size())
				return _Fail("a specifier is missing after \"of\"");
		}
	}
	if (at < words.size() && words[at] == "to") {
		if (++at >= words.size())
			return _Fail("a value is missing after \"to\"");
		if (AddHeyValue(&mMessage, "data", words[at++]) != B_OK)
			return _Fail("bad value " + words[at - 1]);
	}
	if (at < words.size() && words[at] == "with") {
		for (;;) {
			if (++at >= words.size())
				return _Fail("NAME=VALUE is missing");
			const std::string& pair = words[at++];
			size_t equals = pair.find('=');
			if (equals == std::string::npos || equals == 0)
				return _Fail("expected NAME=VALUE, not " + pair);
			if (AddHeyValue(&mMessage, pair.substr(0, equals).c_str(), pair.substr(equals + 1)) !=
			    B_OK)
				return _Fail("bad value in " + pair);
			if (at >= words.size() || words[at] != "and")
				break;
		}
	}
	if (at < words.size())
		return _Fail("unexpected \"" + words[at] + "\"");
	return true;
}
