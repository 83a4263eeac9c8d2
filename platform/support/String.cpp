#include "String.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace {

// Offsets and lengths from callers are clamped rather than trusted.
size_t clamped(int32 value, size_t limit)
{
	if (value < 0)
		return 0;
	return std::min((size_t)value, limit);
}

size_t bounded_length(const char* string, int32 maxLength)
{
	if (string == nullptr || maxLength <= 0)
		return 0;
	const void* end = memchr(string, '\0', (size_t)maxLength);
	return end != nullptr ? (size_t)((const char*)end - string) : (size_t)maxLength;
}

} // namespace

BString::BString() = default;

BString::BString(const char* string) : mData(string != nullptr ? string : "") {}

BString::BString(const char* string, int32 maxLength)
    : mData(string != nullptr ? string : "", bounded_length(string, maxLength))
{
}

BString::BString(const BString& other) = default;
BString::BString(BString&& other) noexcept = default;
BString::BString(const std::string& string) : mData(string) {}
BString::~BString() = default;

int32 BString::CountChars() const
{
	int32 count = 0;
	for (unsigned char c : mData) {
		if ((c & 0xc0) != 0x80)
			count++;
	}
	return count;
}

BString& BString::operator=(const BString& other) = default;
BString& BString::operator=(BString&& other) noexcept = default;

BString& BString::operator=(const char* string)
{
	return SetTo(string);
}

BString& BString::operator=(char c)
{
	mData.assign(1, c);
	return *this;
}

BString& BString::SetTo(const char* string)
{
	if (string == nullptr)
		mData.clear();
	else
		mData.assign(string);
	return *this;
}

BString& BString::SetTo(const char* string, int32 maxLength)
{
	mData.assign(string != nullptr ? string : "", bounded_length(string, maxLength));
	return *this;
}

BString& BString::SetTo(const BString& other)
{
	mData = other.mData;
	return *this;
}

BString& BString::SetTo(char c, int32 count)
{
	mData.assign(count > 0 ? (size_t)count : 0, c);
	return *this;
}

BString& BString::SetToFormat(const char* format, ...)
{
	va_list args;
	va_start(args, format);
	va_list copy;
	va_copy(copy, args);
	const int length = vsnprintf(nullptr, 0, format, copy);
	va_end(copy);
	if (length < 0) {
		mData.clear();
	} else {
		std::string buffer((size_t)length + 1, '\0');
		vsnprintf(buffer.data(), buffer.size(), format, args);
		buffer.resize((size_t)length);
		mData.swap(buffer);
	}
	va_end(args);
	return *this;
}

BString& BString::Adopt(BString& from)
{
	mData = std::move(from.mData);
	from.mData.clear();
	return *this;
}

BString& BString::operator+=(const BString& other)
{
	mData += other.mData;
	return *this;
}

BString& BString::operator+=(const char* string)
{
	if (string != nullptr)
		mData += string;
	return *this;
}

BString& BString::operator+=(char c)
{
	mData += c;
	return *this;
}

BString& BString::Append(const BString& other)
{
	return *this += other;
}

BString& BString::Append(const char* string)
{
	return *this += string;
}

BString& BString::Append(const char* string, int32 length)
{
	if (string != nullptr)
		mData.append(string, bounded_length(string, length));
	return *this;
}

BString& BString::Append(char c, int32 count)
{
	if (count > 0)
		mData.append((size_t)count, c);
	return *this;
}

BString& BString::Prepend(const char* string)
{
	if (string != nullptr)
		mData.insert(0, string);
	return *this;
}

BString& BString::Prepend(const BString& other)
{
	mData.insert(0, other.mData);
	return *this;
}

BString& BString::Insert(const char* string, int32 position)
{
	if (string != nullptr)
		mData.insert(clamped(position, mData.size()), string);
	return *this;
}

BString& BString::Insert(const char* string, int32 length, int32 position)
{
	if (string != nullptr)
		mData.insert(clamped(position, mData.size()), string, bounded_length(string, length));
	return *this;
}

BString& BString::Insert(char c, int32 count, int32 position)
{
	if (count > 0)
		mData.insert(clamped(position, mData.size()), (size_t)count, c);
	return *this;
}

BString& BString::Truncate(int32 newLength, bool /*lazy*/)
{
	if (newLength < 0)
		newLength = 0;
	if ((size_t)newLength < mData.size())
		mData.resize((size_t)newLength);
	return *this;
}

BString& BString::Remove(int32 from, int32 length)
{
	if (from < 0 || length <= 0 || (size_t)from >= mData.size())
		return *this;
	mData.erase((size_t)from, (size_t)length);
	return *this;
}

BString& BString::RemoveFirst(const char* string)
{
	return ReplaceFirst(string, "");
}

BString& BString::RemoveAll(const char* string)
{
	return ReplaceAll(string, "");
}

BString& BString::MakeEmpty()
{
	mData.clear();
	return *this;
}

BString& BString::CopyInto(BString& into, int32 fromOffset, int32 length) const
{
	if (&into == this) {
		BString copy(*this);
		return copy.CopyInto(into, fromOffset, length);
	}
	const size_t from = clamped(fromOffset, mData.size());
	into.mData.assign(mData, from, clamped(length, mData.size() - from));
	return into;
}

void BString::CopyInto(char* into, int32 fromOffset, int32 length) const
{
	if (into == nullptr)
		return;
	const size_t from = clamped(fromOffset, mData.size());
	memcpy(into, mData.data() + from, clamped(length, mData.size() - from));
}

int BString::Compare(const BString& other) const
{
	return mData.compare(other.mData) < 0 ? -1 : (mData == other.mData ? 0 : 1);
}

int BString::Compare(const char* string) const
{
	return strcmp(mData.c_str(), string != nullptr ? string : "");
}

int BString::Compare(const char* string, int32 length) const
{
	return strncmp(mData.c_str(), string != nullptr ? string : "", clamped(length, SIZE_MAX));
}

int BString::ICompare(const BString& other) const
{
	return strcasecmp(mData.c_str(), other.mData.c_str());
}

int BString::ICompare(const char* string) const
{
	return strcasecmp(mData.c_str(), string != nullptr ? string : "");
}

int32 BString::FindFirst(const BString& string, int32 fromOffset) const
{
	return FindFirst(string.String(), fromOffset);
}

int32 BString::FindFirst(const char* string, int32 fromOffset) const
{
	if (string == nullptr || fromOffset < 0 || (size_t)fromOffset > mData.size())
		return B_ERROR;
	const size_t found = mData.find(string, (size_t)fromOffset);
	return found == std::string::npos ? B_ERROR : (int32)found;
}

int32 BString::FindFirst(char c, int32 fromOffset) const
{
	if (fromOffset < 0)
		return B_ERROR;
	const size_t found = mData.find(c, (size_t)fromOffset);
	return found == std::string::npos ? B_ERROR : (int32)found;
}

int32 BString::FindLast(const BString& string) const
{
	return FindLast(string.String());
}

int32 BString::FindLast(const char* string) const
{
	if (string == nullptr)
		return B_ERROR;
	const size_t found = mData.rfind(string);
	return found == std::string::npos ? B_ERROR : (int32)found;
}

int32 BString::FindLast(char c) const
{
	const size_t found = mData.rfind(c);
	return found == std::string::npos ? B_ERROR : (int32)found;
}

int32 BString::IFindFirst(const char* string, int32 fromOffset) const
{
	if (string == nullptr)
		return B_ERROR;
	BString lower(*this);
	BString needle(string);
	lower.ToLower();
	needle.ToLower();
	return lower.FindFirst(needle, fromOffset);
}

bool BString::StartsWith(const char* prefix) const
{
	if (prefix == nullptr)
		return false;
	return mData.compare(0, strlen(prefix), prefix) == 0;
}

bool BString::EndsWith(const char* suffix) const
{
	if (suffix == nullptr)
		return false;
	const size_t length = strlen(suffix);
	return length <= mData.size() && mData.compare(mData.size() - length, length, suffix) == 0;
}

BString& BString::ReplaceFirst(const char* replaceThis, const char* withThis)
{
	if (replaceThis == nullptr || *replaceThis == '\0' || withThis == nullptr)
		return *this;
	const size_t found = mData.find(replaceThis);
	if (found != std::string::npos)
		mData.replace(found, strlen(replaceThis), withThis);
	return *this;
}

BString& BString::ReplaceAll(const char* replaceThis, const char* withThis, int32 fromOffset)
{
	if (replaceThis == nullptr || *replaceThis == '\0' || withThis == nullptr)
		return *this;
	const size_t patternLength = strlen(replaceThis);
	size_t from = clamped(fromOffset, mData.size());
	size_t found = mData.find(replaceThis, from);
	if (found == std::string::npos)
		return *this;
	// One pass into a new buffer, so many replacements stay linear.
	std::string result(mData, 0, from);
	while (found != std::string::npos) {
		result.append(mData, from, found - from);
		result += withThis;
		from = found + patternLength;
		found = mData.find(replaceThis, from);
	}
	result.append(mData, from, std::string::npos);
	mData.swap(result);
	return *this;
}

BString& BString::ReplaceAll(char replaceThis, char withThis, int32 fromOffset)
{
	for (size_t i = clamped(fromOffset, mData.size()); i < mData.size(); i++) {
		if (mData[i] == replaceThis)
			mData[i] = withThis;
	}
	return *this;
}

BString& BString::ToLower()
{
	for (char& c : mData) {
		if (c >= 'A' && c <= 'Z')
			c = (char)(c - 'A' + 'a');
	}
	return *this;
}

BString& BString::ToUpper()
{
	for (char& c : mData) {
		if (c >= 'a' && c <= 'z')
			c = (char)(c - 'a' + 'A');
	}
	return *this;
}

BString& BString::Trim()
{
	const char* blanks = " \t\n\r\v\f";
	const size_t first = mData.find_first_not_of(blanks);
	if (first == std::string::npos) {
		mData.clear();
		return *this;
	}
	const size_t last = mData.find_last_not_of(blanks);
	mData = mData.substr(first, last - first + 1);
	return *this;
}

char BString::ByteAt(int32 index) const
{
	if (index < 0 || (size_t)index >= mData.size())
		return 0;
	return mData[(size_t)index];
}

char* BString::LockBuffer(int32 maxLength)
{
	if (maxLength > 0 && (size_t)maxLength > mData.size())
		mData.resize((size_t)maxLength);
	return mData.data();
}

BString& BString::UnlockBuffer(int32 length)
{
	if (length < 0)
		length = (int32)strnlen(mData.data(), mData.size());
	mData.resize(clamped(length, mData.size()));
	return *this;
}

BString& BString::operator<<(const char* string)
{
	return *this += string;
}

BString& BString::operator<<(const BString& other)
{
	return *this += other;
}

BString& BString::operator<<(char c)
{
	return *this += c;
}

BString& BString::operator<<(bool value)
{
	return *this += value ? "true" : "false";
}

BString& BString::operator<<(int value)
{
	mData += std::to_string(value);
	return *this;
}

BString& BString::operator<<(unsigned int value)
{
	mData += std::to_string(value);
	return *this;
}

BString& BString::operator<<(long value)
{
	mData += std::to_string(value);
	return *this;
}

BString& BString::operator<<(unsigned long value)
{
	mData += std::to_string(value);
	return *this;
}

BString& BString::operator<<(long long value)
{
	mData += std::to_string(value);
	return *this;
}

BString& BString::operator<<(unsigned long long value)
{
	mData += std::to_string(value);
	return *this;
}

BString& BString::operator<<(float value)
{
	char buffer[64];
	snprintf(buffer, sizeof(buffer), "%.2f", value);
	return *this += buffer;
}

BString& BString::operator<<(double value)
{
	char buffer[64];
	snprintf(buffer, sizeof(buffer), "%.2f", value);
	return *this += buffer;
}

bool operator==(const char* a, const BString& b)
{
	return b == a;
}

bool operator!=(const char* a, const BString& b)
{
	return b != a;
}

int Compare(const BString& a, const BString& b)
{
	return a.Compare(b);
}

int ICompare(const BString& a, const BString& b)
{
	return a.ICompare(b);
}
