#include "List.h"

#include <algorithm>
#include <cstdlib>

BList::BList(int32 blockSize) : mBlockSize(blockSize > 0 ? blockSize : 1)
{
	mItems.reserve((size_t)mBlockSize);
}

BList::BList(const BList& other) = default;
BList::~BList() = default;
BList& BList::operator=(const BList& other) = default;

bool BList::AddItem(void* item)
{
	mItems.push_back(item);
	return true;
}

bool BList::AddItem(void* item, int32 index)
{
	if (index < 0 || index > CountItems())
		return false;
	mItems.insert(mItems.begin() + index, item);
	return true;
}

bool BList::AddList(const BList* list)
{
	if (list == nullptr)
		return false;
	// Copy first: list may be this list.
	std::vector<void*> items = list->mItems;
	mItems.insert(mItems.end(), items.begin(), items.end());
	return true;
}

bool BList::AddList(const BList* list, int32 index)
{
	if (list == nullptr || index < 0 || index > CountItems())
		return false;
	std::vector<void*> items = list->mItems;
	mItems.insert(mItems.begin() + index, items.begin(), items.end());
	return true;
}

bool BList::RemoveItem(void* item)
{
	const int32 index = IndexOf(item);
	if (index < 0)
		return false;
	mItems.erase(mItems.begin() + index);
	return true;
}

void* BList::RemoveItem(int32 index)
{
	if (index < 0 || index >= CountItems())
		return nullptr;
	void* item = mItems[(size_t)index];
	mItems.erase(mItems.begin() + index);
	return item;
}

bool BList::RemoveItems(int32 index, int32 count)
{
	if (index < 0 || index >= CountItems() || count < 0)
		return false;
	const int32 end = std::min(CountItems(), index + count);
	mItems.erase(mItems.begin() + index, mItems.begin() + end);
	return true;
}

bool BList::ReplaceItem(int32 index, void* item)
{
	if (index < 0 || index >= CountItems())
		return false;
	mItems[(size_t)index] = item;
	return true;
}

void BList::MakeEmpty()
{
	mItems.clear();
}

void BList::SortItems(int (*compare)(const void*, const void*))
{
	if (compare == nullptr)
		return;
	// The comparison takes pointers to the items, as qsort passes them.
	std::stable_sort(mItems.begin(), mItems.end(),
	                 [compare](void* const& a, void* const& b) { return compare(&a, &b) < 0; });
}

bool BList::SwapItems(int32 indexA, int32 indexB)
{
	if (indexA < 0 || indexB < 0 || indexA >= CountItems() || indexB >= CountItems())
		return false;
	std::swap(mItems[(size_t)indexA], mItems[(size_t)indexB]);
	return true;
}

bool BList::MoveItem(int32 from, int32 to)
{
	if (from < 0 || to < 0 || from >= CountItems() || to >= CountItems())
		return false;
	void* item = mItems[(size_t)from];
	mItems.erase(mItems.begin() + from);
	mItems.insert(mItems.begin() + to, item);
	return true;
}

void* BList::ItemAt(int32 index) const
{
	if (index < 0 || index >= CountItems())
		return nullptr;
	return mItems[(size_t)index];
}

void* BList::FirstItem() const
{
	return mItems.empty() ? nullptr : mItems.front();
}

void* BList::LastItem() const
{
	return mItems.empty() ? nullptr : mItems.back();
}

int32 BList::IndexOf(void* item) const
{
	const auto found = std::find(mItems.begin(), mItems.end(), item);
	return found == mItems.end() ? -1 : (int32)(found - mItems.begin());
}

void BList::DoForEach(bool (*func)(void* item))
{
	if (func == nullptr)
		return;
	for (void* item : std::vector<void*>(mItems)) {
		if (func(item))
			break;
	}
}

void BList::DoForEach(bool (*func)(void* item, void* arg), void* arg)
{
	if (func == nullptr)
		return;
	for (void* item : std::vector<void*>(mItems)) {
		if (func(item, arg))
			break;
	}
}
