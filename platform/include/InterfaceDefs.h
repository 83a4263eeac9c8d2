// Constants shared by the interface kit: resizing modes, keys, modifiers,
// borders, orientation and the scroll bar sizes.
#ifndef _INTERFACE_DEFS_H
#define _INTERFACE_DEFS_H

#include "GraphicsDefs.h"
#include "SupportDefs.h"

// A resizing mode holds one rule per edge of a view: which edge of the parent
// that edge keeps its distance to when the parent is resized.
#define _rule_(top, left, bottom, right) (((top) << 12) | ((left) << 8) | ((bottom) << 4) | (right))
enum {
	_VIEW_TOP_ = 1,
	_VIEW_LEFT_ = 2,
	_VIEW_BOTTOM_ = 3,
	_VIEW_RIGHT_ = 4,
	_VIEW_CENTER_ = 5,
};

enum {
	B_FOLLOW_NONE = 0,
	B_FOLLOW_ALL_SIDES = _rule_(_VIEW_TOP_, _VIEW_LEFT_, _VIEW_BOTTOM_, _VIEW_RIGHT_),
	B_FOLLOW_ALL = B_FOLLOW_ALL_SIDES,
	B_FOLLOW_LEFT = _rule_(0, _VIEW_LEFT_, 0, _VIEW_LEFT_),
	B_FOLLOW_RIGHT = _rule_(0, _VIEW_RIGHT_, 0, _VIEW_RIGHT_),
	B_FOLLOW_LEFT_RIGHT = _rule_(0, _VIEW_LEFT_, 0, _VIEW_RIGHT_),
	B_FOLLOW_H_CENTER = _rule_(0, _VIEW_CENTER_, 0, _VIEW_CENTER_),
	B_FOLLOW_TOP = _rule_(_VIEW_TOP_, 0, _VIEW_TOP_, 0),
	B_FOLLOW_BOTTOM = _rule_(_VIEW_BOTTOM_, 0, _VIEW_BOTTOM_, 0),
	B_FOLLOW_TOP_BOTTOM = _rule_(_VIEW_TOP_, 0, _VIEW_BOTTOM_, 0),
	B_FOLLOW_V_CENTER = _rule_(_VIEW_CENTER_, 0, _VIEW_CENTER_, 0),
};

// Modifier keys. The menu shortcut modifier B_COMMAND_KEY is typed with Ctrl.
enum {
	B_SHIFT_KEY = 0x00000001,
	B_COMMAND_KEY = 0x00000002,
	B_CONTROL_KEY = 0x00000004,
	B_CAPS_LOCK = 0x00000008,
	B_SCROLL_LOCK = 0x00000010,
	B_NUM_LOCK = 0x00000020,
	B_OPTION_KEY = 0x00000040,
	B_MENU_KEY = 0x00000080,
};

// Bytes that KeyDown() receives for keys without a character.
enum {
	B_BACKSPACE = 0x08,
	B_RETURN = 0x0a,
	B_ENTER = 0x0a,
	B_SPACE = 0x20,
	B_TAB = 0x09,
	B_ESCAPE = 0x1b,
	B_LEFT_ARROW = 0x1c,
	B_RIGHT_ARROW = 0x1d,
	B_UP_ARROW = 0x1e,
	B_DOWN_ARROW = 0x1f,
	B_INSERT = 0x05,
	B_DELETE = 0x7f,
	B_HOME = 0x01,
	B_END = 0x04,
	B_PAGE_UP = 0x0b,
	B_PAGE_DOWN = 0x0c,
	B_FUNCTION_KEY = 0x10,
};

// The "key" field of a B_KEY_DOWN whose byte is B_FUNCTION_KEY.
enum {
	B_F1_KEY = 0x02,
	B_F2_KEY = 0x03,
	B_F3_KEY = 0x04,
	B_F4_KEY = 0x05,
	B_F5_KEY = 0x06,
	B_F6_KEY = 0x07,
	B_F7_KEY = 0x08,
	B_F8_KEY = 0x09,
	B_F9_KEY = 0x0a,
	B_F10_KEY = 0x0b,
	B_F11_KEY = 0x0c,
	B_F12_KEY = 0x0d,
};

enum border_style {
	B_PLAIN_BORDER,
	B_FANCY_BORDER,
	B_NO_BORDER,
};

enum orientation {
	B_HORIZONTAL,
	B_VERTICAL,
};

enum alignment {
	B_ALIGN_LEFT,
	B_ALIGN_RIGHT,
	B_ALIGN_CENTER,
};

// Width of a vertical and height of a horizontal scroll bar, in pixels.
const float B_V_SCROLL_BAR_WIDTH = 14.0f;
const float B_H_SCROLL_BAR_HEIGHT = 14.0f;

// The modifier keys held right now (B_SHIFT_KEY, B_COMMAND_KEY, ...).
uint32 modifiers();

#endif // _INTERFACE_DEFS_H
