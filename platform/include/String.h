// A byte string (UTF-8 by convention). Lengths and offsets are in bytes.
#ifndef _B_STRING_H
#define _B_STRING_H

#include <string>

#include "SupportDefs.h"

class BString
{
public:
	BString();
	BString(const char* string);
	BString(const char* string, int32 maxLength);
	BString(const BString& other);
	BString(BString&& other) noexcept;
	explicit BString(const std::string& string);
	~BString();

	const char* String() const { return mData.c_str(); }
	int32 Length() const { return (int32)mData.size(); }
	int32 CountChars() const; // UTF-8 characters
	bool IsEmpty() const { return mData.empty(); }
	// Our own bridge to the standard library.
	const std::string& StdString() const { return mData; }

	BString& operator=(const BString& other);
	BString& operator=(BString&& other) noexcept;
	BString& operator=(const char* string);
	BString& operator=(char c);
	BString& SetTo(const char* string);
	BString& SetTo(const char* string, int32 maxLength);
	BString& SetTo(const BString& other);
	BString& SetTo(char c, int32 count);
	BString& SetToFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
	BString& Adopt(BString& from);

	BString& operator+=(const BString& other);
	BString& operator+=(const char* string);
	BString& operator+=(char c);
	BString& Append(const BString& other);
	BString& Append(const char* string);
	BString& Append(const char* string, int32 length);
	BString& Append(char c, int32 count);
	BString& Prepend(const char* string);
	BString& Prepend(const BString& other);
	BString& Insert(const char* string, int32 position);
	BString& Insert(const char* string, int32 length, int32 position);
	BString& Insert(char c, int32 count, int32 position);

	BString& Truncate(int32 newLength, bool lazy = true);
	BString& Remove(int32 from, int32 length);
	BString& RemoveFirst(const char* string);
	BString& RemoveAll(const char* string);
	BString& MakeEmpty();

	BString& CopyInto(BString& into, int32 fromOffset, int32 length) const;
	void CopyInto(char* into, int32 fromOffset, int32 length) const;

	int Compare(const BString& other) const;
	int Compare(const char* string) const;
	int Compare(const char* string, int32 length) const;
	int ICompare(const BString& other) const;
	int ICompare(const char* string) const;

	bool operator==(const BString& other) const { return mData == other.mData; }
	bool operator!=(const BString& other) const { return mData != other.mData; }
	bool operator<(const BString& other) const { return mData < other.mData; }
	bool operator<=(const BString& other) const { return mData <= other.mData; }
	bool operator>(const BString& other) const { return mData > other.mData; }
	bool operator>=(const BString& other) const { return mData >= other.mData; }
	bool operator==(const char* string) const { return Compare(string) == 0; }
	bool operator!=(const char* string) const { return Compare(string) != 0; }
	bool operator<(const char* string) const { return Compare(string) < 0; }
	bool operator>(const char* string) const { return Compare(string) > 0; }

	// Searches answer the byte offset, or B_ERROR when not found.
	int32 FindFirst(const BString& string, int32 fromOffset = 0) const;
	int32 FindFirst(const char* string, int32 fromOffset = 0) const;
	int32 FindFirst(char c, int32 fromOffset = 0) const;
	int32 FindLast(const BString& string) const;
	int32 FindLast(const char* string) const;
	int32 FindLast(char c) const;
	int32 IFindFirst(const char* string, int32 fromOffset = 0) const;
	bool StartsWith(const char* prefix) const;
	bool EndsWith(const char* suffix) const;

	BString& ReplaceFirst(const char* replaceThis, const char* withThis);
	BString& ReplaceAll(const char* replaceThis, const char* withThis, int32 fromOffset = 0);
	BString& ReplaceAll(char replaceThis, char withThis, int32 fromOffset = 0);

	BString& ToLower(); // ASCII letters only
	BString& ToUpper();
	BString& Trim(); // drops leading and trailing ASCII white space

	char operator[](int32 index) const { return mData[index]; }
	char ByteAt(int32 index) const;

	// Direct access: LockBuffer(n) makes room for n bytes (plus NUL) and
	// answers the buffer; UnlockBuffer(length) sets the length (-1: up to
	// the first NUL).
	char* LockBuffer(int32 maxLength);
	BString& UnlockBuffer(int32 length = -1);

	BString& operator<<(const char* string);
	BString& operator<<(const BString& other);
	BString& operator<<(char c);
	BString& operator<<(bool value);
	BString& operator<<(int value);
	BString& operator<<(unsigned int value);
	BString& operator<<(long value);
	BString& operator<<(unsigned long value);
	BString& operator<<(long long value);
	BString& operator<<(unsigned long long value);
	BString& operator<<(float value);
	BString& operator<<(double value);

private:
	std::string mData;
};

bool operator==(const char* a, const BString& b);
bool operator!=(const char* a, const BString& b);
int Compare(const BString& a, const BString& b);
int ICompare(const BString& a, const BString& b);

#endif // _B_STRING_H
