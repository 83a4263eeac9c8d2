// The view suite and what the window, control and text view suites share
// with it. Layer-internal.
#ifndef VIEW_SCRIPTING_H
#define VIEW_SCRIPTING_H

#include <cstring>

#include "Message.h"
#include "Rect.h"
#include "ScriptingReplies.h"
#include "SupportDefs.h"

class BView;

namespace BPrivate {

// A "View" specifier under parent: its children by index or reverse index,
// a name anywhere below it (as FindView finds it). Pops the specifier and
// returns the view; when there is none, sends B_BAD_INDEX or
// B_NAME_NOT_FOUND and returns nullptr.
BView* resolve_child_view(BView* parent, BMessage* message, BMessage* specifier, int32 form);

// Answers the view suite's own properties of view (Frame, Hidden, count of
// View); false when the message is none of them.
bool answer_view_scripting(BView* view, BMessage* message);

// The properties a window answers as its views do: Frame (in the target's
// own frame coordinates), Hidden and the count of View. Target is BView or
// BWindow, which have these calls alike without a common base. False when
// property is none of them or the command is not one they take.
template <typename Target>
bool answer_frame_hidden_views(Target* target, BMessage* message, const char* property)
{
	if (strcmp(property, "View") == 0 && message->what == B_COUNT_PROPERTIES) {
		BMessage reply(B_REPLY);
		reply.AddInt32("result", target->CountChildren());
		send_scripting_reply(message, &reply, B_OK);
		return true;
	}
	const bool frame = strcmp(property, "Frame") == 0;
	if (!frame && strcmp(property, "Hidden") != 0)
		return false;
	if (message->what != B_SET_PROPERTY) {
		return frame ? answer_get(message, &BMessage::AddRect, target->Frame())
		             : answer_get(message, &BMessage::AddBool, target->IsHidden());
	}
	BRect rect;
	bool hidden = false;
	const status_t status =
	    frame ? message->FindRect("data", &rect) : message->FindBool("data", &hidden);
	if (status == B_OK && frame) {
		target->MoveTo(rect.LeftTop());
		target->ResizeTo(rect.Width(), rect.Height());
	} else if (status == B_OK && hidden != target->IsHidden()) {
		// Hide and Show nest: change only what differs.
		if (hidden)
			target->Hide();
		else
			target->Show();
	}
	send_set_reply(message, status);
	return true;
}

// The property a message asks of its target itself (a direct specifier),
// or nullptr when it names something else or nothing.
const char* direct_property(BMessage* message);

} // namespace BPrivate

#endif // VIEW_SCRIPTING_H
