// A label and a button-like menu bar that opens a pop-up menu. The button
// shows the menu's name, or the marked item's label when the menu takes its
// label from the marked item. The field owns the menu.
#ifndef _MENU_FIELD_H
#define _MENU_FIELD_H

#include <string>

#include "View.h"

class BMenu;
class BMenuBar;

class BMenuField : public BView
{
public:
	BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
	           uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	           uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	BMenuField(BRect frame, const char* name, const char* label, BMenu* menu, bool fixedSize,
	           uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	           uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~BMenuField();

	virtual void AttachedToWindow();
	virtual void Draw(BRect updateRect);
	virtual void FrameResized(float newWidth, float newHeight);

	BMenu* Menu() const;
	BMenuBar* MenuBar() const;
	// Width of the label area from the field's left edge.
	void SetDivider(float divider);
	float Divider() const;
	virtual void SetLabel(const char* label);
	const char* Label() const;
	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;

private:
	void _LayoutBar();

	BMenu* mMenu;
	BMenuBar* mMenuBar;
	std::string mLabel;
	float mDivider;
	bool mEnabled;
};

#endif // _MENU_FIELD_H
