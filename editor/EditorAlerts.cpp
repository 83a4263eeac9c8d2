#include "EditorAlerts.h"

#include "InterfaceDefs.h"
#include "Invoker.h"
#include "Message.h"

#include "ZTLocale.h"

namespace {

const char* const kTitle = "Locale";

} // namespace

EditorAlerts::EditorAlerts(ZTLocale* locale) : mLocale(locale) {}

void EditorAlerts::Warn(const std::string& text, alert_type type) const
{
	Tell(text, kTextCancel, type);
}

void EditorAlerts::Tell(const std::string& text, InterfaceText button, alert_type type) const
{
	(new BAlert(kTitle, text.c_str(), _Text(button), nullptr, nullptr, B_WIDTH_AS_USUAL, type))
	    ->Go(nullptr);
}

bool EditorAlerts::AskUnsaved(BMessage* answer, BHandler* target) const
{
	static_assert(kUnsavedCancel == 0 && kUnsavedDiscard == 1 && kUnsavedSave == 2,
	              "the buttons below, in this order");
	return _Ask(_Text(kTextSaveChanges), kTextCancel, kTextDiscard, _Text(kTextSave),
	            kUnsavedCancel, answer, target);
}

bool EditorAlerts::AskRecovery(const std::string& text, BMessage* answer, BHandler* target) const
{
	static_assert(kRecoveryDiscard == 0 && kRecoveryRestore == 1, "the buttons below");
	return _Ask(text, kTextDiscard, kTextRestore, nullptr, -1, answer, target);
}

bool EditorAlerts::AskReload(const std::string& text, BMessage* answer, BHandler* target) const
{
	static_assert(kReloadReload == 0 && kReloadKeepMine == 1, "the buttons below");
	return _Ask(text, kTextReload, kTextKeepMine, nullptr, -1, answer, target);
}

bool EditorAlerts::AskOverwrite(const std::string& text, BMessage* answer, BHandler* target) const
{
	static_assert(kOverwriteCancel == 0 && kOverwriteOverwrite == 1, "the buttons below");
	return _Ask(text, kTextCancel, kTextOverwrite, nullptr, kOverwriteCancel, answer, target);
}

bool EditorAlerts::_Ask(const std::string& text, InterfaceText first, InterfaceText second,
                        const char* third, int32 escape, BMessage* answer, BHandler* target) const
{
	BAlert* alert = new BAlert(kTitle, text.c_str(), _Text(first), _Text(second), third,
	                           B_WIDTH_AS_USUAL, B_WARNING_ALERT);
	if (escape >= 0)
		alert->SetShortcut(escape, B_ESCAPE);
	return alert->Go(new BInvoker(answer, target)) == B_OK;
}

const char* EditorAlerts::_Text(InterfaceText text) const
{
	const char* translated = mLocale != nullptr ? mLocale->Text(text) : nullptr;
	return translated != nullptr ? translated : "";
}
