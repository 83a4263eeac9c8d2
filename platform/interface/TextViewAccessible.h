// Assistive technology for the text view's widget: its interface,
// installed once, and what it is told of changes while it listens.
#ifndef _TEXT_VIEW_ACCESSIBLE_H
#define _TEXT_VIEW_ACCESSIBLE_H

#include <string>

#include "SupportDefs.h"

namespace BPrivate {

class TextEditWidget;

void install_text_view_accessibility();
void notify_text_change(TextEditWidget* widget, int32 offset, const std::string& removed,
                        const std::string& inserted);
void notify_caret_move(TextEditWidget* widget);

} // namespace BPrivate

#endif // _TEXT_VIEW_ACCESSIBLE_H
