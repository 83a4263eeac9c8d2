#include "PropertyInfo.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "Message.h"

namespace {

const int kMaxList = 10;
const int kMaxCompounds = 3;
const int kMaxPairs = 5;
const int32 kPropertyPart = 0x01;
const int32 kValuePart = 0x02;

int list_length(const uint32* list)
{
	int count = 0;
	while (count < kMaxList && list[count] != 0)
		count++;
	return count;
}

int pair_count(const compound_type& compound)
{
	int count = 0;
	while (count < kMaxPairs && compound.pairs[count].name != nullptr)
		count++;
	return count;
}

// Appends little-endian values to a byte vector.
class Writer
{
public:
	void U8(uint8 value) { mBytes.push_back(value); }
	void U16(uint16 value)
	{
		U8(value & 0xff);
		U8(value >> 8);
	}
	void U32(uint32 value)
	{
		for (int i = 0; i < 4; i++)
			U8((value >> (8 * i)) & 0xff);
	}
	void String(const char* text)
	{
		if (text != nullptr)
			mBytes.insert(mBytes.end(), text, text + strlen(text));
		U8(0);
	}
	void List(const uint32* list)
	{
		int count = list_length(list);
		for (int i = 0; i < count; i++)
			U32(list[i]);
		U32(0);
	}
	const std::vector<uint8>& Bytes() const { return mBytes; }

private:
	std::vector<uint8> mBytes;
};

// Reads values in the writer's byte order, never past the end.
class Reader
{
public:
	Reader(const uint8* data, size_t size) : mData(data), mSize(size) {}

	void SetSwap(bool swap) { mSwap = swap; }
	bool U8(uint8* value)
	{
		if (mOffset + 1 > mSize)
			return false;
		*value = mData[mOffset++];
		return true;
	}
	bool U16(uint16* value)
	{
		if (mOffset + 2 > mSize)
			return false;
		const uint8* p = mData + mOffset;
		*value = mSwap ? (uint16)(p[0] << 8 | p[1]) : (uint16)(p[1] << 8 | p[0]);
		mOffset += 2;
		return true;
	}
	bool U32(uint32* value)
	{
		if (mOffset + 4 > mSize)
			return false;
		const uint8* p = mData + mOffset;
		if (mSwap)
			*value = (uint32)p[0] << 24 | (uint32)p[1] << 16 | (uint32)p[2] << 8 | p[3];
		else
			*value = (uint32)p[3] << 24 | (uint32)p[2] << 16 | (uint32)p[1] << 8 | p[0];
		mOffset += 4;
		return true;
	}
	// A NUL-terminated string, copied with strdup.
	bool String(char** text)
	{
		const void* end = memchr(mData + mOffset, 0, mSize - mOffset);
		if (mOffset >= mSize || end == nullptr)
			return false;
		size_t length = (const uint8*)end - (mData + mOffset);
		*text = strndup((const char*)mData + mOffset, length);
		mOffset += length + 1;
		return *text != nullptr;
	}
	bool List(uint32* list)
	{
		for (int i = 0;; i++) {
			uint32 value;
			if (!U32(&value))
				return false;
			if (value == 0)
				return true;
			if (i >= kMaxList)
				return false;
			list[i] = value;
		}
	}
	// True when four zero bytes (a list end) come next.
	bool AtZeroWord() const
	{
		return mOffset + 4 <= mSize && memcmp(mData + mOffset, "\0\0\0\0", 4) == 0;
	}
	size_t Remaining() const { return mSize - mOffset; }
	bool AtEnd() const { return mOffset == mSize; }

private:
	const uint8* mData;
	size_t mSize;
	size_t mOffset = 0;
	bool mSwap = false;
};

void free_property_strings(property_info* properties, int32 count)
{
	for (int32 i = 0; i < count; i++) {
		free((char*)properties[i].name);
		free((char*)properties[i].usage);
		for (int c = 0; c < kMaxCompounds; c++) {
			for (int p = 0; p < kMaxPairs; p++)
				free((char*)properties[i].ctypes[c].pairs[p].name);
		}
	}
}

void free_value_strings(value_info* values, int32 count)
{
	for (int32 i = 0; i < count; i++) {
		free((char*)values[i].name);
		free((char*)values[i].usage);
	}
}

bool list_holds(const uint32* list, uint32 value)
{
	int count = list_length(list);
	for (int i = 0; i < count; i++) {
		if (list[i] == value)
			return true;
	}
	return false;
}

} // namespace

BPropertyInfo::BPropertyInfo(property_info* properties, value_info* values, bool freeOnDelete)
    : mProperties(properties), mValues(values), mPropertyCount(0), mValueCount(0),
      mFreeOnDelete(freeOnDelete)
{
	if (mProperties != nullptr) {
		while (mProperties[mPropertyCount].name != nullptr)
			mPropertyCount++;
	}
	if (mValues != nullptr) {
		while (mValues[mValueCount].name != nullptr)
			mValueCount++;
	}
}

BPropertyInfo::~BPropertyInfo()
{
	_FreeTables();
}

void BPropertyInfo::_FreeTables()
{
	if (mFreeOnDelete) {
		if (mProperties != nullptr)
			free_property_strings(mProperties, mPropertyCount);
		if (mValues != nullptr)
			free_value_strings(mValues, mValueCount);
		free(mProperties);
		free(mValues);
	}
	mProperties = nullptr;
	mValues = nullptr;
	mPropertyCount = 0;
	mValueCount = 0;
	mFreeOnDelete = false;
}

int32 BPropertyInfo::FindMatch(BMessage* message, int32 index, BMessage* specifier, int32 form,
                               const char* property, void* data) const
{
	(void)specifier;
	(void)data;
	if (property == nullptr)
		return B_ERROR;
	for (int32 i = 0; i < mPropertyCount; i++) {
		const property_info& row = mProperties[i];
		if (strcmp(row.name, property) != 0)
			continue;
		if (row.specifiers[0] != 0 && !list_holds(row.specifiers, (uint32)form))
			continue;
		if (row.commands[0] != 0) {
			// Commands describe the outermost specifier only.
			if (index != 0 || message == nullptr || !list_holds(row.commands, message->what))
				continue;
		}
		return i;
	}
	return B_ERROR;
}

int32 BPropertyInfo::CountProperties() const
{
	return mPropertyCount;
}

int32 BPropertyInfo::CountValues() const
{
	return mValueCount;
}

namespace {

std::vector<uint8> flatten_tables(const property_info* properties, int32 propertyCount,
                                  const value_info* values, int32 valueCount)
{
	Writer out;
	out.U8(0); // little-endian
	out.U32((uint32)propertyCount);
	out.U32(kPropertyPart | (valueCount > 0 ? kValuePart : 0));
	for (int32 i = 0; i < propertyCount; i++) {
		const property_info& row = properties[i];
		out.String(row.name);
		out.String(row.usage);
		out.U32(row.extra_data);
		out.List(row.commands);
		out.List(row.specifiers);
	}
	for (int32 i = 0; i < propertyCount; i++) {
		const property_info& row = properties[i];
		out.List(row.types);
		for (int c = 0; c < kMaxCompounds; c++) {
			int pairs = pair_count(row.ctypes[c]);
			if (pairs == 0)
				break;
			for (int p = 0; p < pairs; p++) {
				out.String(row.ctypes[c].pairs[p].name);
				out.U32(row.ctypes[c].pairs[p].type);
			}
			out.U32(0);
		}
		out.U32(0);
	}
	if (valueCount > 0) {
		out.U16((uint16)valueCount);
		for (int32 i = 0; i < valueCount; i++) {
			out.U32((uint32)values[i].kind);
			out.U32(values[i].value);
			out.String(values[i].name);
			out.String(values[i].usage);
			out.U32(values[i].extra_data);
		}
	}
	return out.Bytes();
}

} // namespace

ssize_t BPropertyInfo::FlattenedSize() const
{
	return (ssize_t)flatten_tables(mProperties, mPropertyCount, mValues, mValueCount).size();
}

status_t BPropertyInfo::Flatten(void* buffer, ssize_t size) const
{
	if (buffer == nullptr)
		return B_BAD_VALUE;
	std::vector<uint8> bytes = flatten_tables(mProperties, mPropertyCount, mValues, mValueCount);
	if (size < (ssize_t)bytes.size())
		return B_BAD_VALUE;
	memcpy(buffer, bytes.data(), bytes.size());
	return B_OK;
}

status_t BPropertyInfo::Unflatten(type_code code, const void* buffer, ssize_t size)
{
	if (!AllowsTypeCode(code) || buffer == nullptr || size < 9)
		return B_BAD_DATA;
	_FreeTables();

	Reader in((const uint8*)buffer, (size_t)size);
	uint8 order;
	uint32 count;
	uint32 flags;
	in.U8(&order);
	if (order > 1)
		return B_BAD_DATA;
	in.SetSwap(order == 1);
	in.U32(&count);
	in.U32(&flags);
	// Each row takes at least 19 bytes; a count beyond that is a lie.
	if ((flags & kPropertyPart) == 0 || count > in.Remaining() / 19)
		return B_BAD_DATA;

	auto* properties = (property_info*)calloc(count + 1, sizeof(property_info));
	if (properties == nullptr)
		return B_NO_MEMORY;
	value_info* values = nullptr;
	uint16 valueCount = 0;
	bool ok = true;
	for (uint32 i = 0; ok && i < count; i++) {
		property_info& row = properties[i];
		char* name = nullptr;
		char* usage = nullptr;
		ok = in.String(&name) && in.String(&usage) && in.U32(&row.extra_data) &&
		     in.List(row.commands) && in.List(row.specifiers);
		row.name = name != nullptr ? name : strdup("");
		row.usage = usage;
	}
	for (uint32 i = 0; ok && i < count; i++) {
		property_info& row = properties[i];
		ok = in.List(row.types);
		for (int c = 0; ok; c++) {
			if (in.AtZeroWord()) {
				uint32 end;
				in.U32(&end);
				break;
			}
			if (c >= kMaxCompounds) {
				ok = false;
				break;
			}
			for (int p = 0; ok; p++) {
				if (in.AtZeroWord()) {
					uint32 end;
					in.U32(&end);
					break;
				}
				char* pairName = nullptr;
				uint32 type = 0;
				ok = p < kMaxPairs && in.String(&pairName) && in.U32(&type);
				if (pairName != nullptr && p < kMaxPairs) {
					row.ctypes[c].pairs[p].name = pairName;
					row.ctypes[c].pairs[p].type = type;
				} else {
					free(pairName);
				}
			}
		}
	}
	if (ok && (flags & kValuePart) != 0) {
		ok = in.U16(&valueCount) && valueCount <= in.Remaining() / 14;
		if (ok) {
			values = (value_info*)calloc((size_t)valueCount + 1, sizeof(value_info));
			ok = values != nullptr;
		}
		for (uint16 i = 0; ok && i < valueCount; i++) {
			uint32 kind = 0;
			char* name = nullptr;
			char* usage = nullptr;
			ok = in.U32(&kind) && in.U32(&values[i].value) && in.String(&name) &&
			     in.String(&usage) && in.U32(&values[i].extra_data);
			values[i].kind = (value_kind)kind;
			values[i].name = name != nullptr ? name : strdup("");
			values[i].usage = usage;
		}
	}
	if (ok && !in.AtEnd())
		ok = false;

	mProperties = properties;
	mPropertyCount = (int32)count;
	mValues = values;
	mValueCount = values != nullptr ? valueCount : 0;
	mFreeOnDelete = true;
	if (!ok) {
		// Rows not reached hold nullptr names; count only what was filled.
		int32 filled = 0;
		while (filled < (int32)count && properties[filled].name != nullptr)
			filled++;
		mPropertyCount = filled;
		if (values != nullptr) {
			int32 filledValues = 0;
			while (filledValues < valueCount && values[filledValues].name != nullptr)
				filledValues++;
			mValueCount = filledValues;
		}
		_FreeTables();
		return B_BAD_DATA;
	}
	return B_OK;
}
