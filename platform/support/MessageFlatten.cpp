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
	return field.Size() <= 255;
}

size_t field_entry_size(const MessageField& field)
{
	const bool mini = is_mini(field);
	size_t size = 1 + 4; // flags, type
	if (field.count != 1)
		size += mini ? 1 : 4;
	size += mini ? 1 : 4;
	size += 1 + field.name.size();
	return size + field.Size();
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

namespace {

// The message header: magic, checksum, size, what and flags.
void put_header(uint8* out, uint32 size, uint32 what, bool hasSpecifiers)
{
	memcpy(out, kR5MagicLE, 4);
	memcpy(out + 8, &size, 4);
	memcpy(out + 12, &what, 4);
	out[16] = (uint8)(kR5Valid | (hasSpecifiers ? kR5Specifiers : 0));
	const uint32 checksum = r5_checksum(out, kR5HeaderSize);
	memcpy(out + 4, &checksum, 4);
}

// A field's entry up to its data: flags, type, count, length and name.
// Returns the end of what it wrote.
uint8* put_field_head(uint8* out, const MessageField& field)
{
	auto put32 = [&out](uint32 value) {
		memcpy(out, &value, 4);
		out += 4;
	};
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
		*out++ = (uint8)field.Size();
	else
		put32((uint32)field.Size());
	*out++ = (uint8)field.name.size();
	memcpy(out, field.name.data(), field.name.size());
	return out + field.name.size();
}

// The longest field head: flags, type, count, length, name length, name.
const size_t kMaxFieldHead = 1 + 4 + 4 + 4 + 1 + 255;

// Field data at least this long goes to a stream straight from the field;
// shorter data is gathered with the heads around it first.
const size_t kStreamDirectly = 16 * 1024;

} // namespace

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
	put_header(out, (uint32)size, what, mHasSpecifiers);
	out += kR5HeaderSize;
	for (int32 i = 0; i < mBody->CountFields(); i++) {
		const MessageField& field = mBody->FieldAt(i);
		if (field.type == B_POINTER_TYPE)
			continue;
		out = put_field_head(out, field);
		memcpy(out, field.Bytes(), field.Size());
		out += field.Size();
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
	// Small pieces are gathered and written together; large field data is
	// written from where it lies, so a reply of megabytes is not copied
	// once more on its way out.
	std::vector<uint8> pending(kR5HeaderSize);
	put_header(pending.data(), (uint32)flattenedSize, what, mHasSpecifiers);
	status_t status = B_OK;
	for (int32 i = 0; i < mBody->CountFields() && status == B_OK; i++) {
		const MessageField& field = mBody->FieldAt(i);
		if (field.type == B_POINTER_TYPE)
			continue;
		const size_t at = pending.size();
		pending.resize(at + kMaxFieldHead);
		pending.resize((size_t)(put_field_head(pending.data() + at, field) - pending.data()));
		if (field.Size() < kStreamDirectly) {
			pending.insert(pending.end(), field.Bytes(), field.Bytes() + field.Size());
			continue;
		}
		status = stream->WriteExactly(pending.data(), pending.size());
		pending.clear();
		if (status == B_OK)
			status = stream->WriteExactly(field.Bytes(), field.Size());
	}
	pending.push_back(0);
	if (status == B_OK)
		status = stream->WriteExactly(pending.data(), pending.size());
	if (status == B_OK && size != nullptr)
		*size = flattenedSize;
	return status;
}
