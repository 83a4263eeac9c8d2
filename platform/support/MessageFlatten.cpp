// Writing the flattened form of a message: the BeOS R5 form, little-endian,
// with one-byte counts and lengths for every field of at most 255 data bytes,
// as R5 itself writes them. Pointer fields stay in the process and are left
// out.

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "FlatForms.h"
#include "Message.h"
#include "MessageBody.h"

using BPrivate::MessageBody;
using BPrivate::MessageField;
using namespace BPrivate::flat;

namespace {

bool is_mini(const MessageField& field)
{
	return field.data.size() <= 255;
}

size_t field_entry_size(const MessageField& field)
{
	const bool mini = is_mini(field);
	size_t size = 1 + 4; // flags, type
	if (field.count != 1)
		size += mini ? 1 : 4;
	size += mini ? 1 : 4;
	size += 1 + field.name.size();
	return size + field.data.size();
}

uint32 r5_checksum(const uint8* header, size_t headerSize)
{
	uint32 sum = 0;
	size_t i = 8;
	for (; i + 4 <= headerSize; i += 4)
		sum += (uint32)header[i] << 24 | (uint32)header[i + 1] << 16 | (uint32)header[i + 2] << 8 |
		       header[i + 3];
	uint32 rest = 0;
	for (; i < headerSize; i++)
		rest = rest << 8 | header[i];
	return sum + rest;
}

} // namespace

ssize_t BMessage::FlattenedSize() const
{
	uint64 size = kR5HeaderSize + 1;
	for (int32 i = 0; i < mBody->CountFields(); i++) {
		const MessageField& field = mBody->FieldAt(i);
		if (field.type != B_POINTER_TYPE)
			size += field_entry_size(field);
	}
	if (size > kMaxMessageSize)
		return B_NO_MEMORY;
	return (ssize_t)size;
}

status_t BMessage::Flatten(char* buffer, ssize_t bufferSize) const
{
	if (buffer == nullptr)
		return B_BAD_VALUE;
	const ssize_t size = FlattenedSize();
	if (size < 0)
		return (status_t)size;
	if (bufferSize < size)
		return B_BUFFER_OVERFLOW;
	uint8* out = (uint8*)buffer;
	auto put32 = [&out](uint32 value) {
		memcpy(out, &value, 4);
		out += 4;
	};
	memcpy(out, kR5MagicLE, 4);
	out += 8; // checksum, written last
	put32((uint32)size);
	put32(what);
	*out++ = (uint8)(kR5Valid | (mHasSpecifiers ? kR5Specifiers : 0));
	const uint32 checksum = r5_checksum((const uint8*)buffer, kR5HeaderSize);
	memcpy(buffer + 4, &checksum, 4);

	for (int32 i = 0; i < mBody->CountFields(); i++) {
		const MessageField& field = mBody->FieldAt(i);
		if (field.type == B_POINTER_TYPE)
			continue;
		const bool mini = is_mini(field);
		uint8 flags = kFieldValid;
		if (mini)
			flags |= kFieldMini;
		if (field.fixedSize)
			flags |= kFieldFixed;
		if (field.count == 1)
			flags |= kFieldSingle;
		*out++ = flags;
		put32(field.type);
		if (field.count != 1) {
			if (mini)
				*out++ = (uint8)field.count;
			else
				put32((uint32)field.count);
		}
		if (mini)
			*out++ = (uint8)field.data.size();
		else
			put32((uint32)field.data.size());
		*out++ = (uint8)field.name.size();
		memcpy(out, field.name.data(), field.name.size());
		out += field.name.size();
		memcpy(out, field.data.data(), field.data.size());
		out += field.data.size();
	}
	*out = 0;
	return B_OK;
}

status_t BMessage::Flatten(BDataIO* stream, ssize_t* size) const
{
	if (stream == nullptr)
		return B_BAD_VALUE;
	const ssize_t flattenedSize = FlattenedSize();
	if (flattenedSize < 0)
		return (status_t)flattenedSize;
	std::vector<char> buffer((size_t)flattenedSize);
	status_t status = Flatten(buffer.data(), flattenedSize);
	if (status != B_OK)
		return status;
	status = stream->WriteExactly(buffer.data(), buffer.size());
	if (status == B_OK && size != nullptr)
		*size = flattenedSize;
	return status;
}
