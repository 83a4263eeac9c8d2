// BNodeInfo: the file type of a node.
#ifndef _NODE_INFO_H
#define _NODE_INFO_H

#include "SupportDefs.h"

class BBitmap;
class BNode;

// Sizes of the classic icons, in pixels per side.
enum icon_size {
	B_LARGE_ICON = 32,
	B_MINI_ICON = 16,
};

// The type is kept in the extended attribute "user.mime_type" as plain
// text without a NUL, as other Linux tools expect. Where a file carries no
// type, GetType identifies it by its content: a flattened message that
// holds a string field "zt:app_id" is "locale/x-vnd.vessmor-locale".
class BNodeInfo
{
public:
	BNodeInfo();
	BNodeInfo(BNode* node);
	virtual ~BNodeInfo();

	// The node must stay alive and initialised while this object is used.
	status_t SetTo(BNode* node);
	status_t InitCheck() const;

	// type: a buffer of at least B_MIME_TYPE_LENGTH bytes. B_ENTRY_NOT_FOUND
	// when the node has no type and none can be told from its content.
	status_t GetType(char* type) const;
	// nullptr removes the type. Longer than B_MIME_TYPE_LENGTH - 1 bytes, or
	// empty: B_BAD_VALUE.
	status_t SetType(const char* type);

	// Fills icon (a B_CMAP8 bitmap of which * which pixels) with the node's
	// icon: the attribute "BEOS:M:STD_ICON" or "BEOS:L:STD_ICON", else, for
	// a program, the desktop's icon for it (its .desktop entry and the icon
	// theme), turned into the system colour map. B_ENTRY_NOT_FOUND when
	// there is none (icon is then untouched), B_BAD_VALUE for a bitmap of
	// another size or colour space. Defined in the interface kit.
	status_t GetIcon(BBitmap* icon, icon_size which = B_LARGE_ICON) const;

private:
	BNode* mNode;
	status_t mStatus;
};

#endif // _NODE_INFO_H
