// The generic item access that BMessage's typed calls share.

#include <cstring>

#include "Message.h"
#include "MessageBody.h"

namespace BPrivate {

bool is_valid_field_name(const char* name)
{
	return name != nullptr && strlen(name) <= B_FIELD_NAME_LENGTH;
}

// Adds one item; creates the field on first use.
status_t add_item(MessageBody& body, const char* name, type_code type, bool fixedSize,
                  const void* data, ssize_t size)
{
	if (!is_valid_field_name(name) || data == nullptr || size <= 0 || (uint64)size > 0x7fff0000)
		return B_BAD_VALUE;
	if (!is_valid_item(type, (const uint8*)data, (uint32)size))
		return B_BAD_VALUE;
	MessageField* field = body.Find(name);
	if (field == nullptr)
		field = &body.AddField(name, type, fixedSize, (uint32)size);
	else if (field->type != type)
		return B_BAD_TYPE;
	return field->AddItem(data, (uint32)size);
}

status_t look_up_item(const MessageBody& body, const char* name, type_code type, int32 index,
                      const MessageField** fieldFound)
{
	if (name == nullptr)
		return B_BAD_VALUE;
	const MessageField* field = body.Find(name);
	if (field == nullptr)
		return B_NAME_NOT_FOUND;
	if (type != B_ANY_TYPE && field->type != type)
		return B_BAD_TYPE;
	if (index < 0 || index >= field->count)
		return B_BAD_INDEX;
	*fieldFound = field;
	return B_OK;
}

status_t find_item(const MessageBody& body, const char* name, type_code type, int32 index,
                   const uint8** item, uint32* size)
{
	const MessageField* field;
	const status_t status = look_up_item(body, name, type, index, &field);
	if (status != B_OK)
		return status;
	*item = field->Item(index, size);
	return B_OK;
}

status_t replace_item(MessageBody& body, const char* name, type_code type, int32 index,
                      const void* data, ssize_t size)
{
	if (data == nullptr || size <= 0 || (uint64)size > 0x7fff0000)
		return B_BAD_VALUE;
	const MessageField* field;
	status_t status = look_up_item(body, name, type, index, &field);
	if (status != B_OK)
		return status;
	if (!is_valid_item(field->type, (const uint8*)data, (uint32)size))
		return B_BAD_VALUE;
	return const_cast<MessageField*>(field)->ReplaceItem(index, data, (uint32)size);
}

status_t put_item(MessageBody& body, const char* name, type_code type, std::optional<int32> index,
                  const void* data, ssize_t size)
{
	if (!index)
		return add_item(body, name, type, false, data, size);
	return replace_item(body, name, type, *index, data, size);
}

} // namespace BPrivate
