// Reading the flattened forms of a message: R5 in both byte orders and the
// Haiku native form (either byte order). Every size and offset is checked
// against the bytes at hand before it is used; anything truncated, oversized
// or inconsistent is refused and leaves the message empty. Nested messages are
// decoded on their own, with a nesting limit, and stored in our R5 form.

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

enum MessageForm { kFormUnknown, kFormR5, kFormHaiku, kFormUnsupported };

MessageForm form_of(const uint8* magic, bool* bigEndian)
{
	if (memcmp(magic, kR5MagicLE, 4) == 0 || memcmp(magic, kR5MagicBE, 4) == 0) {
		*bigEndian = magic[0] == kR5MagicBE[0];
		return kFormR5;
	}
	if (memcmp(magic, kHaikuMagicLE, 4) == 0 || memcmp(magic, kHaikuMagicBE, 4) == 0) {
		*bigEndian = magic[0] == kHaikuMagicBE[0];
		return kFormHaiku;
	}
	if (memcmp(magic, kDanoMagicLE, 4) == 0 || memcmp(magic, kDanoMagicBE, 4) == 0 ||
	    memcmp(magic, kKernelMagicLE, 4) == 0 || memcmp(magic, kKernelMagicBE, 4) == 0)
		return kFormUnsupported;
	return kFormUnknown;
}

uint32 swap32(uint32 v)
{
	return __builtin_bswap32(v);
}

// The form of the bytes at magic and whether their numbers need swapping;
// the status of a form we cannot read, B_OK for R5 and Haiku.
status_t readable_form(const uint8* magic, MessageForm* form, bool* swap)
{
	bool bigEndian = false;
	*form = form_of(magic, &bigEndian);
	*swap = bigEndian != (std::endian::native == std::endian::big);
	if (*form == kFormUnknown)
		return B_NOT_A_MESSAGE;
	if (*form == kFormUnsupported)
		return B_NOT_SUPPORTED;
	return B_OK;
}

// The whole size an R5 header announces.
uint32 r5_size(const uint8* header, bool swap)
{
	uint32 announced;
	memcpy(&announced, header + 8, 4);
	return swap ? swap32(announced) : announced;
}

// Bounds-checked reads in the message's byte order.
class Reader
{
public:
	Reader(const uint8* data, size_t size, bool swap) : mData(data), mSize(size), mSwap(swap) {}

	size_t Position() const { return mPosition; }
	size_t Remaining() const { return mSize - mPosition; }

	bool Bytes(size_t count, const uint8** bytes)
	{
		if (count > Remaining())
			return false;
		*bytes = mData + mPosition;
		mPosition += count;
		return true;
	}
	bool Skip(size_t count)
	{
		const uint8* ignored;
		return Bytes(count, &ignored);
	}
	bool Read8(uint8* value) { return _Read(value); }
	bool Read16(uint16* value) { return _Read(value); }
	bool Read32(uint32* value) { return _Read(value); }
	// A count or length of the R5 form: one byte in a mini field, else four.
	bool ReadSize(bool mini, uint32* value)
	{
		if (!mini)
			return Read32(value);
		uint8 small;
		if (!Read8(&small))
			return false;
		*value = small;
		return true;
	}

private:
	template <typename Number> bool _Read(Number* value)
	{
		const uint8* bytes;
		if (!Bytes(sizeof(Number), &bytes))
			return false;
		uint8 copy[sizeof(Number)];
		memcpy(copy, bytes, sizeof(Number));
		if (mSwap)
			std::reverse(copy, copy + sizeof(Number));
		memcpy(value, copy, sizeof(Number));
		return true;
	}

	const uint8* mData;
	size_t mSize;
	size_t mPosition = 0;
	bool mSwap;
};

// Width of the numbers inside a fixed-size value, for swapping (0: bytes,
// never swapped).
size_t swap_width(type_code type)
{
	switch (type) {
	case B_INT16_TYPE:
	case B_UINT16_TYPE:
		return 2;
	case B_INT32_TYPE:
	case B_UINT32_TYPE:
	case B_FLOAT_TYPE:
	case B_RECT_TYPE:
	case B_POINT_TYPE:
	case B_SIZE_T_TYPE:
	case B_SSIZE_T_TYPE:
		return 4;
	case B_INT64_TYPE:
	case B_UINT64_TYPE:
	case B_DOUBLE_TYPE:
	case B_OFF_T_TYPE:
	case B_TIME_TYPE:
		return 8;
	default:
		return 0;
	}
}

void swap_numbers(uint8* data, size_t size, size_t width)
{
	if (width == 0 || size % width != 0)
		return;
	for (size_t i = 0; i < size; i += width)
		std::reverse(data + i, data + i + width);
}

// Fields at least this large are pointed into when the bytes stay; below
// it a copy costs less than the view's bookkeeping.
const size_t kBorrowFrom = 64 * 1024;

// A field whose padding is not zero cannot be pointed into: flattened
// again, it would not give the bytes our own writer gives.
const status_t kPaddingNotClear = B_NOT_ALLOWED;

bool name_is_clean(const uint8* name, size_t length)
{
	return memchr(name, 0, length) == nullptr;
}

// Fields are built here while a message is read, then moved into the
// message only when every byte has been checked.
class BodyBuilder
{
public:
	// With keep, the bytes being read stay as they are while keep lives,
	// and large fields may point into them instead of copying them.
	BodyBuilder(MessageBody& body, bool swap, int depth, std::shared_ptr<const void> keep)
	    : mBody(body), mSwap(swap), mDepth(depth), mKeep(std::move(keep))
	{
	}

	// A fixed-size field: count items over data.
	status_t AddFixed(std::string_view name, type_code type, uint32 count, const uint8* data,
	                  size_t size)
	{
		if (count == 0 || size == 0 || size % count != 0)
			return B_BAD_DATA;
		if (type == B_POINTER_TYPE)
			return _CheckName(name, true);
		status_t status = _CheckName(name, false);
		if (status != B_OK)
			return status;
		const uint32 itemSize = (uint32)(size / count);
		if (type == B_MESSAGE_TYPE || type == B_REF_TYPE) {
			// Structured values always take the item-by-item path.
			MessageField& field = mBody.AddField(name, type, true, itemSize);
			for (uint32 i = 0; i < count; i++) {
				status = _AddItem(field, data + (size_t)i * itemSize, itemSize);
				if (status != B_OK)
					return status;
			}
			return B_OK;
		}
		MessageField& field = mBody.AddField(name, type, true, itemSize);
		const bool swapped = mSwap && swap_width(type) != 0;
		if (_MayBorrow(size) && !swapped) {
			field.Borrow(data, size, mKeep);
		} else {
			std::vector<uint8>& bytes = field.Owned();
			bytes.assign(data, data + size);
			if (swapped)
				swap_numbers(bytes.data(), size, swap_width(type));
		}
		field.count = (int32)count;
		for (uint32 i = 0; i < count; i++) {
			if (!BPrivate::is_valid_item(type, field.Bytes() + (size_t)i * itemSize, itemSize))
				return B_BAD_DATA;
		}
		return B_OK;
	}

	// A variable-size field in the R5 layout (size word, bytes, padding).
	status_t AddR5Variable(std::string_view name, type_code type, uint32 count, const uint8* data,
	                       size_t size)
	{
		if (count == 0 || size == 0)
			return B_BAD_DATA;
		const bool pointer = type == B_POINTER_TYPE;
		status_t status = _CheckName(name, pointer);
		if (status != B_OK || pointer)
			return status == B_OK ? _WalkR5(count, data, size, nullptr) : status;
		MessageField& field = mBody.AddField(name, type, false, 0);
		if (!mSwap && type != B_MESSAGE_TYPE && type != B_REF_TYPE) {
			// Our own layout: taken as it lies or with one copy, then the
			// items are checked and indexed.
			field.offsets.reserve(std::min<size_t>(count, size / 8));
			if (_MayBorrow(size)) {
				field.Borrow(data, size, mKeep);
				status = _WalkR5(count, data, size, &field);
				if (status != kPaddingNotClear) {
					if (status == B_OK)
						field.count = (int32)count;
					return status;
				}
				field.offsets.clear();
			}
			std::vector<uint8>& bytes = field.Owned();
			bytes.assign(data, data + size);
			status = _WalkR5(count, bytes.data(), size, &field);
			if (status == B_OK)
				field.count = (int32)count;
			return status;
		}
		return _WalkR5(count, data, size, &field);
	}

	// A variable-size field in the Haiku layout (size word, bytes; no
	// padding).
	status_t AddHaikuVariable(std::string_view name, type_code type, uint32 count,
	                          const uint8* data, size_t size)
	{
		if (count == 0 || size == 0)
			return B_BAD_DATA;
		const bool pointer = type == B_POINTER_TYPE;
		status_t status = _CheckName(name, pointer);
		if (status != B_OK)
			return status;
		MessageField* field = pointer ? nullptr : &mBody.AddField(name, type, false, 0);
		if (field != nullptr) {
			field->Owned().reserve(size + (size_t)std::min<uint64>(count, size / 4) * 8);
			field->offsets.reserve(std::min<size_t>(count, size / 4));
		}
		Reader reader(data, size, mSwap);
		for (uint32 i = 0; i < count; i++) {
			uint32 itemSize;
			const uint8* item;
			if (!reader.Read32(&itemSize) || itemSize == 0 || !reader.Bytes(itemSize, &item))
				return B_BAD_DATA;
			if (field != nullptr) {
				status = _AddItem(*field, item, itemSize);
				if (status != B_OK)
					return status;
			}
		}
		return reader.Remaining() == 0 ? B_OK : B_BAD_DATA;
	}

private:
	status_t _CheckName(std::string_view name, bool skipped)
	{
		if (name.size() > B_FIELD_NAME_LENGTH)
			return B_BAD_DATA;
		// A name appears once; skipped (pointer) fields count too.
		if (mBody.IndexOf(name) >= 0)
			return B_BAD_DATA;
		for (const std::string& seen : mSkipped) {
			if (seen == name)
				return B_BAD_DATA;
		}
		if (skipped)
			mSkipped.emplace_back(name);
		return B_OK;
	}

	// Worth pointing into rather than copying: large, and bytes that stay.
	bool _MayBorrow(size_t size) const { return mKeep != nullptr && size >= kBorrowFrom; }

	// Walks the items of an R5 variable-size field. With a field whose data
	// already holds these bytes (fast path), records offsets and clears the
	// padding in place, or, for bytes the field only points into, checks
	// that it is clear (kPaddingNotClear if not); with a field that does
	// not, adds item by item.
	status_t _WalkR5(uint32 count, const uint8* data, size_t size, MessageField* field)
	{
		const bool inPlace = field != nullptr && field->Bytes() == data;
		size_t position = 0;
		for (uint32 i = 0; i < count; i++) {
			if (size - position < 4)
				return B_BAD_DATA;
			uint32 itemSize;
			memcpy(&itemSize, data + position, 4);
			if (mSwap)
				itemSize = swap32(itemSize);
			if (itemSize == 0 || itemSize > size - position - 4)
				return B_BAD_DATA;
			const size_t padded = BPrivate::PaddedItemSize(itemSize);
			if (padded > size - position)
				return B_BAD_DATA;
			const uint8* item = data + position + 4;
			if (inPlace) {
				if (!BPrivate::is_valid_item(field->type, item, itemSize))
					return B_BAD_DATA;
				uint8* padding = const_cast<uint8*>(item) + itemSize;
				const size_t paddingSize = padded - 4 - itemSize;
				if (!field->IsBorrowed())
					memset(padding, 0, paddingSize);
				else if (std::any_of(padding, padding + paddingSize,
				                     [](uint8 b) { return b != 0; }))
					return kPaddingNotClear;
				field->offsets.push_back((uint32)position);
			} else if (field != nullptr) {
				const status_t status = _AddItem(*field, item, itemSize);
				if (status != B_OK)
					return status;
			}
			position += padded;
		}
		return position == size ? B_OK : B_BAD_DATA;
	}

	status_t _AddItem(MessageField& field, const uint8* item, uint32 size)
	{
		if (field.type == B_MESSAGE_TYPE) {
			BMessage nested;
			status_t status =
			    BPrivate::MessageInternals::UnflattenNested(nested, item, size, mDepth + 1);
			if (status != B_OK)
				return status;
			const ssize_t nestedSize = nested.FlattenedSize();
			if (nestedSize < 0)
				return (status_t)nestedSize;
			std::vector<uint8> bytes((size_t)nestedSize);
			status = nested.Flatten((char*)bytes.data(), nestedSize);
			if (status != B_OK)
				return status;
			if (field.fixedSize) {
				// Normalised nested messages may change length.
				field.fixedSize = false;
				if (field.count != 0)
					return B_BAD_DATA;
			}
			return field.AddItem(bytes.data(), (uint32)bytes.size());
		}
		if (field.type == B_REF_TYPE && mSwap) {
			if (size < 12)
				return B_BAD_DATA;
			std::vector<uint8> copy(item, item + size);
			swap_numbers(copy.data(), 4, 4);
			swap_numbers(copy.data() + 4, 8, 8);
			if (!BPrivate::is_valid_item(field.type, copy.data(), size))
				return B_BAD_DATA;
			return field.AddItem(copy.data(), size);
		}
		if (!BPrivate::is_valid_item(field.type, item, size))
			return B_BAD_DATA;
		if (field.fixedSize && size != field.itemSize)
			return B_BAD_DATA;
		return field.AddItem(item, size);
	}

	MessageBody& mBody;
	bool mSwap;
	int mDepth;
	std::shared_ptr<const void> mKeep;
	std::vector<std::string> mSkipped;
};

struct ReadResult
{
	uint32 what = 0;
	bool hasSpecifiers = false;
	int32 currentSpecifier = -1;
	bool haveCurrentSpecifier = false;
};

status_t read_r5(const uint8* data, size_t available, bool swap, int depth,
                 std::shared_ptr<const void> keep, MessageBody& body, ReadResult* result)
{
	Reader header(data, available, swap);
	uint32 checksum, size = 0, what = 0;
	uint8 flags = 0;
	if (!header.Skip(4) || !header.Read32(&checksum) || !header.Read32(&size) ||
	    !header.Read32(&what) || !header.Read8(&flags))
		return B_BAD_DATA;
	if (size < kR5HeaderSize + 1 || size > available)
		return B_BAD_DATA;
	// The checksum is not verified: the platform itself never looked at it,
	// and real files disagree with it.
	Reader reader(data, size, swap);
	reader.Skip(kR5HeaderSize);
	if ((flags & kR5Target) != 0 && !reader.Skip(4))
		return B_BAD_DATA;
	if ((flags & kR5ReplyInfo) != 0 && !reader.Skip(16))
		return B_BAD_DATA;

	BodyBuilder builder(body, swap, depth, std::move(keep));
	while (true) {
		uint8 fieldFlags;
		if (!reader.Read8(&fieldFlags))
			return B_BAD_DATA;
		if ((fieldFlags & kFieldValid) == 0)
			break;
		uint32 type = 0;
		if (!reader.Read32(&type))
			return B_BAD_DATA;
		const bool mini = (fieldFlags & kFieldMini) != 0;
		uint32 count = 1;
		uint32 length = 0;
		if ((fieldFlags & kFieldSingle) == 0 && !reader.ReadSize(mini, &count))
			return B_BAD_DATA;
		if (!reader.ReadSize(mini, &length))
			return B_BAD_DATA;
		// Counts and lengths are signed in the form: above 2^31 is negative.
		if (count == 0 || length == 0 || count > (uint32)INT32_MAX || length > (uint32)INT32_MAX)
			return B_BAD_DATA;
		uint8 nameLength;
		const uint8* name;
		const uint8* fieldData;
		if (!reader.Read8(&nameLength) || !reader.Bytes(nameLength, &name) ||
		    !name_is_clean(name, nameLength) || !reader.Bytes(length, &fieldData))
			return B_BAD_DATA;
		const std::string_view fieldName((const char*)name, nameLength);
		const status_t status =
		    (fieldFlags & kFieldFixed) != 0
		        ? builder.AddFixed(fieldName, type, count, fieldData, length)
		        : builder.AddR5Variable(fieldName, type, count, fieldData, length);
		if (status != B_OK)
			return status;
	}
	// The end marker must be the last byte of the message.
	if (reader.Remaining() != 0)
		return B_BAD_DATA;
	result->what = what;
	result->hasSpecifiers = (flags & kR5Specifiers) != 0;
	return B_OK;
}

// Total size of a Haiku message from its header, or 0 when impossible.
uint64 haiku_size(const uint8* header, bool swap)
{
	uint32 dataSize, fieldCount;
	memcpy(&dataSize, header + 36, 4);
	memcpy(&fieldCount, header + 40, 4);
	if (swap) {
		dataSize = swap32(dataSize);
		fieldCount = swap32(fieldCount);
	}
	return kHaikuHeaderSize + (uint64)fieldCount * kHaikuFieldSize + dataSize;
}

status_t read_haiku(const uint8* data, size_t available, bool swap, int depth, MessageBody& body,
                    ReadResult* result)
{
	if (available < kHaikuHeaderSize)
		return B_BAD_DATA;
	Reader header(data, available, swap);
	uint32 what = 0, flags = 0, target, current = 0, area, replyPort, replyTarget, replyTeam,
	       dataSize = 0, fieldCount = 0;
	header.Skip(4);
	for (uint32* value : {&what, &flags, &target, &current, &area, &replyPort, &replyTarget,
	                      &replyTeam, &dataSize, &fieldCount})
		header.Read32(value);
	if ((flags & kHaikuValid) == 0 || (flags & kHaikuInArea) != 0)
		return B_BAD_DATA;
	const uint64 total = haiku_size(data, swap);
	if (total > available || total > kMaxMessageSize)
		return B_BAD_DATA;
	const uint8* table = data + kHaikuHeaderSize;
	const uint8* area_ = table + (size_t)fieldCount * kHaikuFieldSize;

	BodyBuilder builder(body, swap, depth, nullptr);
	Reader fields(table, (size_t)fieldCount * kHaikuFieldSize, swap);
	for (uint32 i = 0; i < fieldCount; i++) {
		uint16 fieldFlags = 0, nameLength = 0;
		uint32 type = 0, count = 0, fieldSize = 0, offset = 0, next;
		for (uint16* value : {&fieldFlags, &nameLength})
			fields.Read16(value);
		for (uint32* value : {&type, &count, &fieldSize, &offset, &next})
			fields.Read32(value);
		if ((fieldFlags & kHaikuFieldValid) == 0 || nameLength == 0)
			return B_BAD_DATA;
		if ((uint64)offset + nameLength + fieldSize > dataSize)
			return B_BAD_DATA;
		const uint8* name = area_ + offset;
		// Exactly one NUL-terminated string.
		if (name[nameLength - 1] != 0 || !name_is_clean(name, (size_t)nameLength - 1u))
			return B_BAD_DATA;
		const std::string_view fieldName((const char*)name, (size_t)nameLength - 1u);
		const uint8* fieldData = name + nameLength;
		const status_t status =
		    (fieldFlags & kHaikuFieldFixed) != 0
		        ? builder.AddFixed(fieldName, type, count, fieldData, fieldSize)
		        : builder.AddHaikuVariable(fieldName, type, count, fieldData, fieldSize);
		if (status != B_OK)
			return status;
	}
	result->what = what;
	result->hasSpecifiers = (flags & kHaikuSpecifiers) != 0;
	result->currentSpecifier = (int32)current;
	result->haveCurrentSpecifier = true;
	return B_OK;
}

} // namespace

status_t BPrivate::MessageInternals::UnflattenNested(BMessage& message, const void* data,
                                                     size_t size, int depth)
{
	return message._Unflatten((const uint8*)data, size, depth, nullptr);
}

status_t BPrivate::MessageInternals::UnflattenInPlace(BMessage& message, const void* data,
                                                      size_t size, std::shared_ptr<const void> keep)
{
	return message._Unflatten((const uint8*)data, size, 0, std::move(keep));
}

status_t BMessage::_Unflatten(const uint8* data, size_t size, int depth,
                              std::shared_ptr<const void> keep)
{
	// The old fields are dropped only at the end: data may point into them.
	std::unique_ptr<MessageBody> old = std::move(mBody);
	mBody.reset(new MessageBody);
	MakeEmpty();
	what = 0;
	if (data == nullptr || size < 4)
		return data == nullptr ? B_BAD_VALUE : B_NOT_A_MESSAGE;
	if (depth > BPrivate::MessageInternals::kMaxNesting)
		return B_BAD_DATA;
	MessageForm form;
	bool swap;
	const status_t formStatus = readable_form(data, &form, &swap);
	if (formStatus != B_OK)
		return formStatus;

	ReadResult result;
	const status_t status = form == kFormR5
	                            ? read_r5(data, size, swap, depth, std::move(keep), *mBody, &result)
	                            : read_haiku(data, size, swap, depth, *mBody, &result);
	if (status != B_OK) {
		mBody->Clear();
		return status;
	}
	const MessageField* specifiers = mBody->Find("specifiers");
	const int32 specifierCount =
	    specifiers != nullptr && specifiers->type == B_MESSAGE_TYPE ? specifiers->count : 0;
	if (result.hasSpecifiers && result.haveCurrentSpecifier &&
	    (result.currentSpecifier < -1 || result.currentSpecifier >= specifierCount)) {
		MakeEmpty();
		return B_BAD_DATA;
	}
	what = result.what;
	if (result.hasSpecifiers && specifierCount > 0) {
		mHasSpecifiers = true;
		// R5 does not store the current index: the last one added is
		// current, as after the sender's last AddSpecifier.
		mCurrentSpecifier =
		    result.haveCurrentSpecifier ? result.currentSpecifier : specifierCount - 1;
	}
	return B_OK;
}

status_t BMessage::Unflatten(const void* buffer, size_t size)
{
	return _Unflatten((const uint8*)buffer, size, 0, nullptr);
}

status_t BMessage::Unflatten(const char* flatBuffer)
{
	if (flatBuffer == nullptr)
		return B_BAD_VALUE;
	const uint8* data = (const uint8*)flatBuffer;
	MessageForm form;
	bool swap;
	const status_t status = readable_form(data, &form, &swap);
	if (status != B_OK) {
		MakeEmpty();
		what = 0;
		return status;
	}
	size_t size;
	if (form == kFormR5) {
		size = r5_size(data, swap);
	} else {
		const uint64 total = haiku_size(data, swap);
		size = total > kMaxMessageSize ? 0 : (size_t)total;
	}
	return _Unflatten(data, size, 0, nullptr);
}

status_t BMessage::Unflatten(BDataIO* stream)
{
	MakeEmpty();
	what = 0;
	if (stream == nullptr)
		return B_BAD_VALUE;
	std::vector<uint8> buffer(kHaikuHeaderSize);
	if (stream->ReadExactly(buffer.data(), 4) != B_OK)
		return B_BAD_DATA;
	MessageForm form;
	bool swap;
	const status_t status = readable_form(buffer.data(), &form, &swap);
	if (status != B_OK)
		return status;
	uint64 total;
	if (form == kFormR5) {
		if (stream->ReadExactly(buffer.data() + 4, 8) != B_OK)
			return B_BAD_DATA;
		total = r5_size(buffer.data(), swap);
		if (total < kR5HeaderSize + 1)
			return B_BAD_DATA;
		buffer.resize(12);
	} else {
		if (stream->ReadExactly(buffer.data() + 4, kHaikuHeaderSize - 4) != B_OK)
			return B_BAD_DATA;
		total = haiku_size(buffer.data(), swap);
	}
	if (total > kMaxMessageSize)
		return B_BAD_DATA;
	// Grow the buffer as bytes arrive, so a lying size in a short stream
	// does not allocate gigabytes first.
	const size_t kChunk = 1 << 20;
	while (buffer.size() < total) {
		const size_t start = buffer.size();
		const size_t chunk = std::min<size_t>(kChunk, (size_t)total - start);
		buffer.resize(start + chunk);
		if (stream->ReadExactly(buffer.data() + start, chunk) != B_OK) {
			return B_BAD_DATA;
		}
	}
	return _Unflatten(buffer.data(), buffer.size(), 0, nullptr);
}
