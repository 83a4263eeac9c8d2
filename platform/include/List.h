// An ordered list of untyped pointers. The list never owns its items.
#ifndef _BE_LIST_H
#define _BE_LIST_H

#include <vector>

#include "SupportDefs.h"

class BList
{
public:
	BList(int32 blockSize = 20);
	BList(const BList& other);
	virtual ~BList();

	BList& operator=(const BList& other);
	bool operator==(const BList& other) const { return mItems == other.mItems; }
	bool operator!=(const BList& other) const { return mItems != other.mItems; }

	bool AddItem(void* item);
	bool AddItem(void* item, int32 index); // false when index > CountItems()
	bool AddList(const BList* list);
	bool AddList(const BList* list, int32 index);

	bool RemoveItem(void* item);   // the first occurrence
	void* RemoveItem(int32 index); // nullptr when out of range
	bool RemoveItems(int32 index, int32 count);
	bool ReplaceItem(int32 index, void* item);
	void MakeEmpty();

	void SortItems(int (*compare)(const void*, const void*));
	bool SwapItems(int32 indexA, int32 indexB);
	bool MoveItem(int32 from, int32 to);

	void* ItemAt(int32 index) const; // nullptr when out of range
	void* ItemAtFast(int32 index) const { return mItems[index]; }
	void* FirstItem() const;
	void* LastItem() const;
	void* Items() const { return (void*)mItems.data(); }

	bool HasItem(void* item) const { return IndexOf(item) >= 0; }
	int32 IndexOf(void* item) const;
	int32 CountItems() const { return (int32)mItems.size(); }
	bool IsEmpty() const { return mItems.empty(); }

	void DoForEach(bool (*func)(void* item));
	void DoForEach(bool (*func)(void* item, void* arg), void* arg);

private:
	std::vector<void*> mItems;
	int32 mBlockSize;
};

#endif // _BE_LIST_H
