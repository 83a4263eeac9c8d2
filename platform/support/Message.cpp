// BMessage fields: adding, finding, replacing and removing values.
// Values of variable size are in MessageValues.cpp, flattening in
// MessageFlatten.cpp and MessageUnflatten.cpp, specifiers and replies in
// MessageScripting.cpp.
#include "Message.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "MessageBody.h"

using BPrivate::MessageBody;
using BPrivate::MessageField;

BMessage::BMessage() : BMessage((uint32)0) {}

BMessage::BMessage(uint32 what)
    : what(what), mBody(new MessageBody), mCurrentSpecifier(-1), mHasSpecifiers(false),
      mWasDelivered(false), mIsReply(false), mSourceWaiting(false)
{
}

// A copy is a new, undelivered message: it has the fields and specifier
// state, but no reply route.
BMessage::BMessage(const BMessage& other)
    : what(other.what), mBody(new MessageBody(*other.mBody)),
      mCurrentSpecifier(other.mCurrentSpecifier), mHasSpecifiers(other.mHasSpecifiers),
      mWasDelivered(false), mIsReply(other.mIsReply), mSourceWaiting(false)
{
}

BMessage::~BMessage() = default;

BMessage& BMessage::operator=(const BMessage& other)
{
	if (this == &other)
		return *this;
	what = other.what;
	*mBody = *other.mBody;
	mCurrentSpecifier = other.mCurrentSpecifier;
	mHasSpecifiers = other.mHasSpecifiers;
	mIsReply = other.mIsReply;
	mWasDelivered = false;
	mSourceWaiting = false;
	mReplyChannel.reset();
	return *this;
}

status_t BMessage::GetInfo(type_code typeRequested, int32 index, const char** nameFound,
                           type_code* typeFound, int32* countFound) const
{
	if (index < 0)
		return B_BAD_INDEX;
	int32 matched = 0;
	for (int32 i = 0; i < mBody->CountFields(); i++) {
		const MessageField& field = mBody->FieldAt(i);
		if (typeRequested != B_ANY_TYPE && field.type != typeRequested)
			continue;
		if (matched++ != index)
			continue;
		if (nameFound != nullptr)
			*nameFound = field.name.c_str();
		if (typeFound != nullptr)
			*typeFound = field.type;
		if (countFound != nullptr)
			*countFound = field.count;
		return B_OK;
	}
	if (matched == 0)
		return B_BAD_TYPE;
	return B_BAD_INDEX;
}

status_t BMessage::GetInfo(type_code typeRequested, int32 index, char** nameFound,
                           type_code* typeFound, int32* countFound) const
{
	const char* name = nullptr;
	const status_t status = GetInfo(typeRequested, index, &name, typeFound, countFound);
	if (status == B_OK && nameFound != nullptr)
		*nameFound = const_cast<char*>(name);
	return status;
}

status_t BMessage::GetInfo(const char* name, type_code* typeFound, int32* countFound) const
{
	return GetInfo(name, typeFound, countFound, nullptr);
}

status_t BMessage::GetInfo(const char* name, type_code* typeFound, int32* countFound,
                           bool* fixedSize) const
{
	if (name == nullptr)
		return B_BAD_VALUE;
	const MessageField* field = mBody->Find(name);
	if (field == nullptr)
		return B_NAME_NOT_FOUND;
	if (typeFound != nullptr)
		*typeFound = field->type;
	if (countFound != nullptr)
		*countFound = field->count;
	if (fixedSize != nullptr)
		*fixedSize = field->fixedSize;
	return B_OK;
}

int32 BMessage::CountNames(type_code type) const
{
	int32 count = 0;
	for (int32 i = 0; i < mBody->CountFields(); i++) {
		if (type == B_ANY_TYPE || mBody->FieldAt(i).type == type)
			count++;
	}
	return count;
}

bool BMessage::IsEmpty() const
{
	return mBody->CountFields() == 0;
}

bool BMessage::IsSystem() const
{
	const char c0 = (char)(what >> 24);
	const char c1 = (char)(what >> 16);
	const char c2 = (char)(what >> 8);
	const char c3 = (char)what;
	auto upper = [](char c) { return c >= 'A' && c <= 'Z'; };
	return c0 == '_' && upper(c1) && upper(c2) && upper(c3);
}

void BMessage::PrintToStream() const
{
	auto code = [](uint32 value) {
		std::string text;
		for (int shift = 24; shift >= 0; shift -= 8) {
			const char c = (char)(value >> shift);
			text += (c >= 32 && c < 127) ? c : '.';
		}
		return text;
	};
	printf("BMessage('%s') {\n", code(what).c_str());
	for (int32 i = 0; i < mBody->CountFields(); i++) {
		const MessageField& field = mBody->FieldAt(i);
		for (int32 j = 0; j < field.count; j++) {
			uint32 size;
			const uint8* item = field.Item(j, &size);
			printf("\t%s[%d], type '%s': ", field.name.c_str(), (int)j, code(field.type).c_str());
			if (field.type == B_STRING_TYPE)
				printf("\"%s\"\n", (const char*)item);
			else if (field.type == B_INT32_TYPE && size == 4) {
				int32 value;
				memcpy(&value, item, 4);
				printf("%d\n", (int)value);
			} else
				printf("%u bytes\n", (unsigned)size);
		}
	}
	printf("}\n");
}

status_t BMessage::Rename(const char* oldName, const char* newName)
{
	if (oldName == nullptr || !BPrivate::is_valid_field_name(newName))
		return B_BAD_VALUE;
	const int32 index = mBody->IndexOf(oldName);
	if (index < 0)
		return B_NAME_NOT_FOUND;
	if (strcmp(oldName, newName) == 0)
		return B_OK;
	if (mBody->IndexOf(newName) >= 0)
		return B_NAME_IN_USE;
	mBody->Rename(index, newName);
	return B_OK;
}

status_t BMessage::RemoveName(const char* name)
{
	if (name == nullptr)
		return B_BAD_VALUE;
	const int32 index = mBody->IndexOf(name);
	if (index < 0)
		return B_NAME_NOT_FOUND;
	mBody->RemoveField(index);
	if (strcmp(name, "specifiers") == 0) {
		mCurrentSpecifier = -1;
		mHasSpecifiers = false;
	}
	return B_OK;
}

status_t BMessage::RemoveData(const char* name, int32 index)
{
	if (name == nullptr)
		return B_BAD_VALUE;
	const int32 fieldIndex = mBody->IndexOf(name);
	if (fieldIndex < 0)
		return B_NAME_NOT_FOUND;
	MessageField& field = mBody->FieldAt(fieldIndex);
	if (index < 0 || index >= field.count)
		return B_BAD_INDEX;
	if (field.count == 1)
		return RemoveName(name);
	field.RemoveItem(index);
	if (strcmp(name, "specifiers") == 0 && mCurrentSpecifier >= field.count)
		mCurrentSpecifier = field.count - 1;
	return B_OK;
}

status_t BMessage::MakeEmpty()
{
	mBody->Clear();
	mCurrentSpecifier = -1;
	mHasSpecifiers = false;
	return B_OK;
}

status_t BMessage::_FindFixed(const char* name, type_code type, int32 index, size_t size,
                              void* value) const
{
	const uint8* item;
	uint32 itemSize;
	const status_t status = BPrivate::find_item(*mBody, name, type, index, &item, &itemSize);
	if (status != B_OK)
		return status;
	if (itemSize != size)
		return B_BAD_DATA;
	memcpy(value, item, size);
	return B_OK;
}

status_t BMessage::_ReplaceFixed(const char* name, type_code type, int32 index, const void* value,
                                 size_t size)
{
	return BPrivate::replace_item(*mBody, name, type, index, value, (ssize_t)size);
}

// #pragma mark - typed calls of fixed-size values

#define FIXED_TYPE_CALLS(Name, Type, TypeCode)                                                     \
	status_t BMessage::Add##Name(const char* name, Type value)                                     \
	{                                                                                              \
		return BPrivate::add_item(*mBody, name, TypeCode, true, &value, sizeof(Type));             \
	}                                                                                              \
	status_t BMessage::Find##Name(const char* name, Type* value) const                             \
	{                                                                                              \
		return Find##Name(name, 0, value);                                                         \
	}                                                                                              \
	status_t BMessage::Find##Name(const char* name, int32 index, Type* value) const                \
	{                                                                                              \
		if (value == nullptr)                                                                      \
			return B_BAD_VALUE;                                                                    \
		return _FindFixed(name, TypeCode, index, sizeof(Type), value);                             \
	}

#define FIXED_TYPE_REPLACE(Name, Type, TypeCode)                                                   \
	status_t BMessage::Replace##Name(const char* name, Type value)                                 \
	{                                                                                              \
		return _ReplaceFixed(name, TypeCode, 0, &value, sizeof(Type));                             \
	}                                                                                              \
	status_t BMessage::Replace##Name(const char* name, int32 index, Type value)                    \
	{                                                                                              \
		return _ReplaceFixed(name, TypeCode, index, &value, sizeof(Type));                         \
	}

#define FIXED_TYPE_HAS(Name, TypeCode)                                                             \
	bool BMessage::Has##Name(const char* name, int32 index) const                                  \
	{                                                                                              \
		return HasData(name, TypeCode, index);                                                     \
	}

FIXED_TYPE_CALLS(Rect, BRect, B_RECT_TYPE)
FIXED_TYPE_CALLS(Point, BPoint, B_POINT_TYPE)
FIXED_TYPE_CALLS(Int8, int8, B_INT8_TYPE)
FIXED_TYPE_CALLS(UInt8, uint8, B_UINT8_TYPE)
FIXED_TYPE_CALLS(Int16, int16, B_INT16_TYPE)
FIXED_TYPE_CALLS(UInt16, uint16, B_UINT16_TYPE)
FIXED_TYPE_CALLS(Int32, int32, B_INT32_TYPE)
FIXED_TYPE_CALLS(UInt32, uint32, B_UINT32_TYPE)
FIXED_TYPE_CALLS(Int64, int64, B_INT64_TYPE)
FIXED_TYPE_CALLS(UInt64, uint64, B_UINT64_TYPE)
FIXED_TYPE_CALLS(Float, float, B_FLOAT_TYPE)
FIXED_TYPE_CALLS(Double, double, B_DOUBLE_TYPE)
FIXED_TYPE_CALLS(Color, rgb_color, B_RGB_COLOR_TYPE)

FIXED_TYPE_REPLACE(Rect, BRect, B_RECT_TYPE)
FIXED_TYPE_REPLACE(Point, BPoint, B_POINT_TYPE)
FIXED_TYPE_REPLACE(Int8, int8, B_INT8_TYPE)
FIXED_TYPE_REPLACE(Int16, int16, B_INT16_TYPE)
FIXED_TYPE_REPLACE(Int32, int32, B_INT32_TYPE)
FIXED_TYPE_REPLACE(UInt32, uint32, B_UINT32_TYPE)
FIXED_TYPE_REPLACE(Int64, int64, B_INT64_TYPE)
FIXED_TYPE_REPLACE(Float, float, B_FLOAT_TYPE)
FIXED_TYPE_REPLACE(Double, double, B_DOUBLE_TYPE)
FIXED_TYPE_REPLACE(Color, rgb_color, B_RGB_COLOR_TYPE)

FIXED_TYPE_HAS(Rect, B_RECT_TYPE)
FIXED_TYPE_HAS(Point, B_POINT_TYPE)
FIXED_TYPE_HAS(String, B_STRING_TYPE)
FIXED_TYPE_HAS(Int8, B_INT8_TYPE)
FIXED_TYPE_HAS(Int16, B_INT16_TYPE)
FIXED_TYPE_HAS(Int32, B_INT32_TYPE)
FIXED_TYPE_HAS(Int64, B_INT64_TYPE)
FIXED_TYPE_HAS(Bool, B_BOOL_TYPE)
FIXED_TYPE_HAS(Float, B_FLOAT_TYPE)
FIXED_TYPE_HAS(Double, B_DOUBLE_TYPE)
FIXED_TYPE_HAS(Color, B_RGB_COLOR_TYPE)
FIXED_TYPE_HAS(Pointer, B_POINTER_TYPE)
FIXED_TYPE_HAS(Ref, B_REF_TYPE)
FIXED_TYPE_HAS(Message, B_MESSAGE_TYPE)

// bool is one byte in the flattened form whatever the compiler's bool is.
status_t BMessage::AddBool(const char* name, bool value)
{
	const uint8 byte = value ? 1 : 0;
	return BPrivate::add_item(*mBody, name, B_BOOL_TYPE, true, &byte, 1);
}

status_t BMessage::FindBool(const char* name, bool* value) const
{
	return FindBool(name, 0, value);
}

status_t BMessage::FindBool(const char* name, int32 index, bool* value) const
{
	if (value == nullptr)
		return B_BAD_VALUE;
	uint8 byte;
	const status_t status = _FindFixed(name, B_BOOL_TYPE, index, 1, &byte);
	if (status == B_OK)
		*value = byte != 0;
	return status;
}

status_t BMessage::ReplaceBool(const char* name, bool value)
{
	return ReplaceBool(name, 0, value);
}

status_t BMessage::ReplaceBool(const char* name, int32 index, bool value)
{
	const uint8 byte = value ? 1 : 0;
	return _ReplaceFixed(name, B_BOOL_TYPE, index, &byte, 1);
}

status_t BMessage::AddPointer(const char* name, const void* pointer)
{
	return BPrivate::add_item(*mBody, name, B_POINTER_TYPE, true, &pointer, sizeof(pointer));
}

status_t BMessage::FindPointer(const char* name, void** pointer) const
{
	return FindPointer(name, 0, pointer);
}

status_t BMessage::FindPointer(const char* name, int32 index, void** pointer) const
{
	if (pointer == nullptr)
		return B_BAD_VALUE;
	return _FindFixed(name, B_POINTER_TYPE, index, sizeof(void*), pointer);
}

status_t BMessage::ReplacePointer(const char* name, const void* pointer)
{
	return ReplacePointer(name, 0, pointer);
}

status_t BMessage::ReplacePointer(const char* name, int32 index, const void* pointer)
{
	return _ReplaceFixed(name, B_POINTER_TYPE, index, &pointer, sizeof(pointer));
}
