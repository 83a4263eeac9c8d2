// Private storage of BMessage fields, shared by the message sources.
//
// Each field keeps all of its values in one contiguous buffer. Variable-size
// items are stored exactly as the little-endian flattened form lays them out
// (size word, bytes, zero padding to a multiple of 8), so flattening is a
// copy per field and unflattening a copy plus one pass that checks the size
// words and records where each item starts. A large field read from bytes
// that stay fixed (a sealed reply's mapping) skips the copy and points into
// them until it is first changed.
#ifndef MESSAGE_BODY_H
#define MESSAGE_BODY_H

#include <bit>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "EntryRef.h"
#include "SupportDefs.h"

static_assert(std::endian::native == std::endian::little,
              "the message store keeps the little-endian flattened layout in memory");

namespace BPrivate {

inline uint32 PaddedItemSize(uint32 size)
{
	// size word + bytes, rounded up to a multiple of 8
	return (uint32)((4 + (uint64)size + 7) & ~(uint64)7);
}

struct MessageField
{
	std::string name;
	type_code type = 0;
	bool fixedSize = false;
	uint32 itemSize = 0; // fixed-size fields only
	int32 count = 0;
	std::vector<uint32> offsets; // variable-size fields: start of each size word

	// The field's bytes in the flattened layout: its own, or a view of
	// bytes another owner keeps unchanged (see Borrow).
	const uint8* Bytes() const { return mBorrowed != nullptr ? mBorrowed : mOwned.data(); }
	size_t Size() const { return mBorrowed != nullptr ? mBorrowedSize : mOwned.size(); }
	bool IsBorrowed() const { return mBorrowed != nullptr; }

	// The bytes to change; a view is copied into the field first.
	std::vector<uint8>& Owned();
	// Makes the field a view of size bytes at data, which keep holds alive
	// and which nobody changes while keep lives. Copies of the field share
	// the view.
	void Borrow(const uint8* data, size_t size, std::shared_ptr<const void> keep);

	const uint8* Item(int32 index, uint32* size) const
	{
		if (fixedSize) {
			*size = itemSize;
			return Bytes() + (size_t)index * itemSize;
		}
		const uint8* start = Bytes() + offsets[(size_t)index];
		uint32 length;
		memcpy(&length, start, 4);
		*size = length;
		return start + 4;
	}

	status_t AddItem(const void* item, uint32 size);
	status_t ReplaceItem(int32 index, const void* item, uint32 size);
	void RemoveItem(int32 index);

private:
	std::vector<uint8> mOwned;
	const uint8* mBorrowed = nullptr;
	size_t mBorrowedSize = 0;
	std::shared_ptr<const void> mKeep;
};

struct NameHash
{
	using is_transparent = void;
	size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
};

class MessageBody
{
public:
	const MessageField* Find(std::string_view name) const
	{
		const auto found = mIndex.find(name);
		return found == mIndex.end() ? nullptr : &mFields[(size_t)found->second];
	}
	MessageField* Find(std::string_view name)
	{
		const auto found = mIndex.find(name);
		return found == mIndex.end() ? nullptr : &mFields[(size_t)found->second];
	}
	int32 IndexOf(std::string_view name) const
	{
		const auto found = mIndex.find(name);
		return found == mIndex.end() ? -1 : found->second;
	}

	// Appends a new, empty field; the name must not exist yet.
	MessageField& AddField(std::string_view name, type_code type, bool fixedSize, uint32 itemSize);
	void RemoveField(int32 index);
	void Rename(int32 index, std::string_view newName);
	void Clear();

	int32 CountFields() const { return (int32)mFields.size(); }
	const MessageField& FieldAt(int32 index) const { return mFields[(size_t)index]; }
	MessageField& FieldAt(int32 index) { return mFields[(size_t)index]; }

	// Backing store for GetCurrentSpecifier's property answer.
	mutable std::string specifierProperty;

private:
	std::vector<MessageField> mFields;
	std::unordered_map<std::string, int32, NameHash, std::equal_to<>> mIndex;
};

// Checks the bytes of one item of a typed field (strings end in NUL, refs
// are long enough), so that the typed Find calls never read past an item.
bool is_valid_item(type_code type, const uint8* data, uint32 size);

// Flattened form of an entry_ref value (see Message.cpp).
std::vector<uint8> flatten_ref(const entry_ref& ref);
status_t unflatten_ref(const uint8* data, uint32 size, entry_ref* ref);

// Item access shared by BMessage's typed calls (MessageItems.cpp). A name
// is valid when present and at most B_FIELD_NAME_LENGTH bytes.
bool is_valid_field_name(const char* name);
// Adds one item; creates the field on first use.
status_t add_item(MessageBody& body, const char* name, type_code type, bool fixedSize,
                  const void* data, ssize_t size);
status_t look_up_item(const MessageBody& body, const char* name, type_code type, int32 index,
                      const MessageField** fieldFound);
// look_up_item and then the item's bytes, for the typed Find calls.
status_t find_item(const MessageBody& body, const char* name, type_code type, int32 index,
                   const uint8** item, uint32* size);
status_t replace_item(MessageBody& body, const char* name, type_code type, int32 index,
                      const void* data, ssize_t size);
// Adds the bytes as a new item of a variable-size field when there is no
// index, or replaces the item at index: the last step of the Add and
// Replace calls of strings, refs and messages.
status_t put_item(MessageBody& body, const char* name, type_code type, std::optional<int32> index,
                  const void* data, ssize_t size);

// What every typed Find call does before it reads a value: refuses a
// missing output, finds the item, then hands its bytes to decode(item,
// size), whose status is the call's.
template <typename Out, typename Decode>
status_t find_decoded(const MessageBody& body, const char* name, type_code type, int32 index,
                      Out* out, Decode decode)
{
	if (out == nullptr)
		return B_BAD_VALUE;
	const uint8* item;
	uint32 size;
	const status_t status = find_item(body, name, type, index, &item, &size);
	if (status != B_OK)
		return status;
	return decode(item, size);
}

} // namespace BPrivate

#endif // MESSAGE_BODY_H
