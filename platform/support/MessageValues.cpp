// BMessage values of variable size: strings, refs, nested messages,
// flattenable objects and raw data, and the getters with defaults.
#include "Message.h"

#include <cstring>
#include <vector>

#include "MessageBody.h"

using BPrivate::MessageBody;
using BPrivate::MessageField;

namespace {

status_t flatten_to_vector(const BMessage& message, std::vector<uint8>* bytes)
{
	const ssize_t size = message.FlattenedSize();
	if (size < 0)
		return (status_t)size;
	bytes->resize((size_t)size);
	return message.Flatten((char*)bytes->data(), size);
}

status_t flatten_object(const BFlattenable& object, std::vector<uint8>* bytes)
{
	const ssize_t size = object.FlattenedSize();
	if (size <= 0)
		return B_BAD_VALUE;
	bytes->resize((size_t)size);
	return object.Flatten(bytes->data(), size);
}

// Nested messages are kept valid and in our own form, so that Flatten
// never writes bytes a reader would refuse.
status_t unflatten_nested(const void* data, ssize_t numBytes, BMessage* nested)
{
	if (data == nullptr || numBytes <= 0 || nested->Unflatten(data, (size_t)numBytes) != B_OK)
		return B_BAD_VALUE;
	return B_OK;
}

// The Add (no index) and Replace calls of each variable-size type, which
// differ only in where the bytes go.

status_t put_string(MessageBody& body, const char* name, std::optional<int32> index,
                    const char* string)
{
	if (string == nullptr)
		return B_BAD_VALUE;
	return BPrivate::put_item(body, name, B_STRING_TYPE, index, string,
	                          (ssize_t)strlen(string) + 1);
}

status_t put_ref(MessageBody& body, const char* name, std::optional<int32> index,
                 const entry_ref* ref)
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	const std::vector<uint8> bytes = BPrivate::flatten_ref(*ref);
	return BPrivate::put_item(body, name, B_REF_TYPE, index, bytes.data(), (ssize_t)bytes.size());
}

status_t put_message(MessageBody& body, const char* name, std::optional<int32> index,
                     const BMessage* message)
{
	if (message == nullptr)
		return B_BAD_VALUE;
	std::vector<uint8> bytes;
	const status_t status = flatten_to_vector(*message, &bytes);
	if (status != B_OK)
		return status;
	return BPrivate::put_item(body, name, B_MESSAGE_TYPE, index, bytes.data(),
	                          (ssize_t)bytes.size());
}

} // namespace

// #pragma mark - strings

status_t BMessage::AddString(const char* name, const char* string)
{
	return put_string(*mBody, name, std::nullopt, string);
}

status_t BMessage::AddString(const char* name, const BString& string)
{
	return BPrivate::put_item(*mBody, name, B_STRING_TYPE, std::nullopt, string.String(),
	                          string.Length() + 1);
}

status_t BMessage::FindString(const char* name, const char** string) const
{
	return FindString(name, 0, string);
}

status_t BMessage::FindString(const char* name, int32 index, const char** string) const
{
	auto decode = [string](const uint8* item, uint32) {
		*string = (const char*)item;
		return B_OK;
	};
	return BPrivate::find_decoded(*mBody, name, B_STRING_TYPE, index, string, decode);
}

status_t BMessage::FindString(const char* name, BString* string) const
{
	return FindString(name, 0, string);
}

status_t BMessage::FindString(const char* name, int32 index, BString* string) const
{
	auto decode = [string](const uint8* item, uint32 size) {
		// Up to the first NUL, as a C string reader would see it.
		string->SetTo((const char*)item, (int32)size - 1);
		return B_OK;
	};
	return BPrivate::find_decoded(*mBody, name, B_STRING_TYPE, index, string, decode);
}

status_t BMessage::ReplaceString(const char* name, const char* string)
{
	return ReplaceString(name, 0, string);
}

status_t BMessage::ReplaceString(const char* name, int32 index, const char* string)
{
	return put_string(*mBody, name, index, string);
}

status_t BMessage::ReplaceString(const char* name, const BString& string)
{
	return ReplaceString(name, 0, string);
}

status_t BMessage::ReplaceString(const char* name, int32 index, const BString& string)
{
	return BPrivate::put_item(*mBody, name, B_STRING_TYPE, index, string.String(),
	                          string.Length() + 1);
}

// #pragma mark - refs

status_t BMessage::AddRef(const char* name, const entry_ref* ref)
{
	return put_ref(*mBody, name, std::nullopt, ref);
}

status_t BMessage::FindRef(const char* name, entry_ref* ref) const
{
	return FindRef(name, 0, ref);
}

status_t BMessage::FindRef(const char* name, int32 index, entry_ref* ref) const
{
	return BPrivate::find_decoded(
	    *mBody, name, B_REF_TYPE, index, ref,
	    [ref](const uint8* item, uint32 size) { return BPrivate::unflatten_ref(item, size, ref); });
}

status_t BMessage::ReplaceRef(const char* name, const entry_ref* ref)
{
	return ReplaceRef(name, 0, ref);
}

status_t BMessage::ReplaceRef(const char* name, int32 index, const entry_ref* ref)
{
	return put_ref(*mBody, name, index, ref);
}

// #pragma mark - messages

status_t BMessage::AddMessage(const char* name, const BMessage* message)
{
	return put_message(*mBody, name, std::nullopt, message);
}

status_t BMessage::FindMessage(const char* name, BMessage* message) const
{
	return FindMessage(name, 0, message);
}

status_t BMessage::FindMessage(const char* name, int32 index, BMessage* message) const
{
	// Unflatten keeps the old fields until it is done, so message may be
	// this message.
	return BPrivate::find_decoded(
	    *mBody, name, B_MESSAGE_TYPE, index, message,
	    [message](const uint8* item, uint32 size) { return message->Unflatten(item, size); });
}

status_t BMessage::ReplaceMessage(const char* name, const BMessage* message)
{
	return ReplaceMessage(name, 0, message);
}

status_t BMessage::ReplaceMessage(const char* name, int32 index, const BMessage* message)
{
	return put_message(*mBody, name, index, message);
}

// #pragma mark - flattenable objects and raw data

status_t BMessage::AddFlat(const char* name, const BFlattenable* object, int32 count)
{
	if (object == nullptr || count < 1)
		return B_BAD_VALUE;
	std::vector<uint8> bytes;
	status_t status = flatten_object(*object, &bytes);
	for (int32 i = 0; i < count && status == B_OK; i++)
		status = AddData(name, object->TypeCode(), bytes.data(), (ssize_t)bytes.size(),
		                 object->IsFixedSize());
	return status;
}

status_t BMessage::FindFlat(const char* name, BFlattenable* object) const
{
	return FindFlat(name, 0, object);
}

status_t BMessage::FindFlat(const char* name, int32 index, BFlattenable* object) const
{
	if (object == nullptr)
		return B_BAD_VALUE;
	const MessageField* field;
	const status_t status = BPrivate::look_up_item(*mBody, name, B_ANY_TYPE, index, &field);
	if (status != B_OK)
		return status;
	if (!object->AllowsTypeCode(field->type))
		return B_BAD_TYPE;
	uint32 size;
	const uint8* item = field->Item(index, &size);
	return object->Unflatten(field->type, item, size);
}

status_t BMessage::ReplaceFlat(const char* name, const BFlattenable* object)
{
	return ReplaceFlat(name, 0, object);
}

status_t BMessage::ReplaceFlat(const char* name, int32 index, const BFlattenable* object)
{
	if (object == nullptr)
		return B_BAD_VALUE;
	std::vector<uint8> bytes;
	const status_t status = flatten_object(*object, &bytes);
	if (status != B_OK)
		return status;
	return ReplaceData(name, object->TypeCode(), index, bytes.data(), (ssize_t)bytes.size());
}

bool BMessage::HasFlat(const char* name, const BFlattenable* object) const
{
	return HasFlat(name, 0, object);
}

bool BMessage::HasFlat(const char* name, int32 index, const BFlattenable* object) const
{
	const MessageField* field;
	return object != nullptr &&
	       BPrivate::look_up_item(*mBody, name, B_ANY_TYPE, index, &field) == B_OK &&
	       object->AllowsTypeCode(field->type);
}

status_t BMessage::AddData(const char* name, type_code type, const void* data, ssize_t numBytes,
                           bool isFixedSize, int32 /*count*/)
{
	if (type == B_ANY_TYPE)
		return B_BAD_VALUE;
	if (type == B_MESSAGE_TYPE) {
		BMessage nested;
		const status_t status = unflatten_nested(data, numBytes, &nested);
		return status == B_OK ? AddMessage(name, &nested) : status;
	}
	return BPrivate::add_item(*mBody, name, type, isFixedSize, data, numBytes);
}

status_t BMessage::FindData(const char* name, type_code type, const void** data,
                            ssize_t* numBytes) const
{
	return FindData(name, type, 0, data, numBytes);
}

status_t BMessage::FindData(const char* name, type_code type, int32 index, const void** data,
                            ssize_t* numBytes) const
{
	auto decode = [data, numBytes](const uint8* item, uint32 size) {
		*data = item;
		if (numBytes != nullptr)
			*numBytes = (ssize_t)size;
		return B_OK;
	};
	return BPrivate::find_decoded(*mBody, name, type, index, data, decode);
}

status_t BMessage::ReplaceData(const char* name, type_code type, const void* data, ssize_t numBytes)
{
	return ReplaceData(name, type, 0, data, numBytes);
}

status_t BMessage::ReplaceData(const char* name, type_code type, int32 index, const void* data,
                               ssize_t numBytes)
{
	if (type == B_MESSAGE_TYPE) {
		BMessage nested;
		const status_t status = unflatten_nested(data, numBytes, &nested);
		return status == B_OK ? ReplaceMessage(name, index, &nested) : status;
	}
	return BPrivate::replace_item(*mBody, name, type, index, data, numBytes);
}

bool BMessage::HasData(const char* name, type_code type, int32 index) const
{
	const MessageField* field;
	return BPrivate::look_up_item(*mBody, name, type, index, &field) == B_OK;
}

// #pragma mark - values with defaults

#define VALUE_WITH_DEFAULT(Name, Type, ParameterType)                                              \
	Type BMessage::Get##Name(const char* name, ParameterType defaultValue) const                   \
	{                                                                                              \
		Type value;                                                                                \
		return Find##Name(name, &value) == B_OK ? value : defaultValue;                            \
	}

VALUE_WITH_DEFAULT(Bool, bool, bool)
VALUE_WITH_DEFAULT(Int32, int32, int32)
VALUE_WITH_DEFAULT(Int64, int64, int64)
VALUE_WITH_DEFAULT(Float, float, float)
VALUE_WITH_DEFAULT(Double, double, double)
VALUE_WITH_DEFAULT(Rect, BRect, const BRect&)

const char* BMessage::GetString(const char* name, const char* defaultValue) const
{
	return GetString(name, 0, defaultValue);
}

const char* BMessage::GetString(const char* name, int32 index, const char* defaultValue) const
{
	const char* value;
	return FindString(name, index, &value) == B_OK ? value : defaultValue;
}
