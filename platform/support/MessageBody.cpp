#include "MessageBody.h"

#include <algorithm>
#include <limits>

#include "TypeConstants.h"

namespace BPrivate {

namespace {

// A field's data must stay addressable by the int32 lengths of the
// flattened form.
const size_t kMaxFieldData = (size_t)std::numeric_limits<int32>::max() - 4096;

// From this size on, an item is appended without zero-filling its space
// first; below it the zero-fill costs less than appending in pieces.
const uint32 kLargeItem = 64 * 1024;

} // namespace

std::vector<uint8>& MessageField::Owned()
{
	if (mBorrowed != nullptr) {
		mOwned.assign(mBorrowed, mBorrowed + mBorrowedSize);
		mBorrowed = nullptr;
		mBorrowedSize = 0;
		mKeep.reset();
	}
	return mOwned;
}

void MessageField::Borrow(const uint8* data, size_t size, std::shared_ptr<const void> keep)
{
	mOwned.clear();
	mOwned.shrink_to_fit();
	mBorrowed = data;
	mBorrowedSize = size;
	mKeep = std::move(keep);
}

status_t MessageField::AddItem(const void* item, uint32 size)
{
	if (count == std::numeric_limits<int32>::max())
		return B_NO_MEMORY;
	std::vector<uint8>& data = Owned();
	const size_t oldSize = data.size();
	if (fixedSize) {
		if (size != itemSize)
			return B_BAD_VALUE;
		if (oldSize + size > kMaxFieldData)
			return B_NO_MEMORY;
		data.resize(oldSize + size);
		memcpy(data.data() + oldSize, item, size);
	} else {
		const uint32 padded = PaddedItemSize(size);
		if (oldSize + padded > kMaxFieldData)
			return B_NO_MEMORY;
		if (size < kLargeItem) {
			data.resize(oldSize + padded); // zero-fills the padding
			memcpy(data.data() + oldSize, &size, 4);
			memcpy(data.data() + oldSize + 4, item, size);
		} else {
			// Appended rather than zero-filled and then overwritten.
			if (data.capacity() < oldSize + padded)
				data.reserve(std::max(oldSize + padded, 2 * data.capacity()));
			const uint8* sizeWord = (const uint8*)&size;
			data.insert(data.end(), sizeWord, sizeWord + 4);
			data.insert(data.end(), (const uint8*)item, (const uint8*)item + size);
			data.resize(oldSize + padded);
		}
		offsets.push_back((uint32)oldSize);
	}
	count++;
	return B_OK;
}

status_t MessageField::ReplaceItem(int32 index, const void* item, uint32 size)
{
	std::vector<uint8>& data = Owned();
	if (fixedSize) {
		if (size != itemSize)
			return B_BAD_VALUE;
		memcpy(data.data() + (size_t)index * itemSize, item, size);
		return B_OK;
	}
	const size_t start = offsets[(size_t)index];
	uint32 oldSize;
	memcpy(&oldSize, data.data() + start, 4);
	const uint32 oldPadded = PaddedItemSize(oldSize);
	const uint32 newPadded = PaddedItemSize(size);
	if (newPadded != oldPadded) {
		if (data.size() - oldPadded + newPadded > kMaxFieldData)
			return B_NO_MEMORY;
		if (newPadded > oldPadded)
			data.insert(data.begin() + (ptrdiff_t)(start + oldPadded), newPadded - oldPadded, 0);
		else
			data.erase(data.begin() + (ptrdiff_t)(start + newPadded),
			           data.begin() + (ptrdiff_t)(start + oldPadded));
		const int64 shift = (int64)newPadded - (int64)oldPadded;
		for (size_t i = (size_t)index + 1; i < offsets.size(); i++)
			offsets[i] = (uint32)((int64)offsets[i] + shift);
	}
	memset(data.data() + start, 0, newPadded);
	memcpy(data.data() + start, &size, 4);
	memcpy(data.data() + start + 4, item, size);
	return B_OK;
}

void MessageField::RemoveItem(int32 index)
{
	std::vector<uint8>& data = Owned();
	if (fixedSize) {
		const size_t start = (size_t)index * itemSize;
		data.erase(data.begin() + (ptrdiff_t)start, data.begin() + (ptrdiff_t)(start + itemSize));
	} else {
		const size_t start = offsets[(size_t)index];
		uint32 size;
		memcpy(&size, data.data() + start, 4);
		const uint32 padded = PaddedItemSize(size);
		data.erase(data.begin() + (ptrdiff_t)start, data.begin() + (ptrdiff_t)(start + padded));
		offsets.erase(offsets.begin() + index);
		for (size_t i = (size_t)index; i < offsets.size(); i++)
			offsets[i] -= padded;
	}
	count--;
}

MessageField& MessageBody::AddField(std::string_view name, type_code type, bool fixedSize,
                                    uint32 itemSize)
{
	mIndex.emplace(std::string(name), (int32)mFields.size());
	MessageField& field = mFields.emplace_back();
	field.name.assign(name);
	field.type = type;
	field.fixedSize = fixedSize;
	field.itemSize = fixedSize ? itemSize : 0;
	return field;
}

void MessageBody::RemoveField(int32 index)
{
	mIndex.erase(mFields[(size_t)index].name);
	mFields.erase(mFields.begin() + index);
	for (auto& entry : mIndex) {
		if (entry.second > index)
			entry.second--;
	}
}

void MessageBody::Rename(int32 index, std::string_view newName)
{
	MessageField& field = mFields[(size_t)index];
	mIndex.erase(field.name);
	field.name.assign(newName);
	mIndex.emplace(field.name, index);
}

void MessageBody::Clear()
{
	mFields.clear();
	mIndex.clear();
}

bool is_valid_item(type_code type, const uint8* data, uint32 size)
{
	switch (type) {
	case B_STRING_TYPE:
	case B_MIME_STRING_TYPE:
		return size >= 1 && data[size - 1] == '\0';
	case B_REF_TYPE: {
		entry_ref ref;
		return unflatten_ref(data, size, &ref) == B_OK;
	}
	default:
		return size >= 1;
	}
}

// An entry_ref value: the platform's layout (int32 device, int64 folder
// inode, leaf name with NUL) followed by our own extension, the folder's
// absolute path with a NUL. Readers that know only the platform layout
// stop at the name's NUL; a ref from such a writer simply has no path.
// A ref without a name but with a path gets an empty name.
std::vector<uint8> flatten_ref(const entry_ref& ref)
{
	const int32 device = (int32)ref.device;
	const int64 directory = (int64)ref.directory;
	const char* path = ref.DirectoryPath();
	const size_t nameLength = ref.name != nullptr ? strlen(ref.name) : 0;
	const size_t pathLength = strlen(path);
	// Sized once and filled in place: the name with its NUL when there is a
	// name or a path, then the path with its NUL when there is one.
	const size_t nameBytes = ref.name != nullptr || pathLength > 0 ? nameLength + 1 : 0;
	const size_t pathBytes = pathLength > 0 ? pathLength + 1 : 0;
	std::vector<uint8> bytes(12 + nameBytes + pathBytes, 0);
	memcpy(bytes.data(), &device, 4);
	memcpy(bytes.data() + 4, &directory, 8);
	if (nameLength > 0)
		memcpy(bytes.data() + 12, ref.name, nameLength);
	if (pathBytes > 0)
		memcpy(bytes.data() + 12 + nameBytes, path, pathLength);
	return bytes;
}

status_t unflatten_ref(const uint8* data, uint32 size, entry_ref* ref)
{
	if (size < 12)
		return B_BAD_DATA;
	int32 device;
	int64 directory;
	memcpy(&device, data, 4);
	memcpy(&directory, data + 4, 8);
	const char* name = nullptr;
	const char* path = "";
	if (size > 12) {
		const uint8* nameStart = data + 12;
		const uint8* nameEnd = (const uint8*)memchr(nameStart, 0, size - 12);
		if (nameEnd == nullptr)
			return B_BAD_DATA;
		name = (const char*)nameStart;
		const uint8* pathStart = nameEnd + 1;
		const size_t rest = (size_t)(data + size - pathStart);
		if (rest > 0) {
			if (memchr(pathStart, 0, rest) == nullptr)
				return B_BAD_DATA;
			path = (const char*)pathStart;
		}
	}
	ref->device = (dev_t)(uint32)device;
	ref->directory = (ino_t)directory;
	ref->SetDirectoryPath(path);
	return ref->set_name(name);
}

} // namespace BPrivate
