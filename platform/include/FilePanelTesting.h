// Test seam of the file panels: lets tests see the panels that are shown
// and act in them as a user would. The reply then takes the normal path.
// Call from the main thread.
#ifndef _FILE_PANEL_TESTING_H
#define _FILE_PANEL_TESTING_H

#include <string>
#include <vector>

#include "SupportDefs.h"

class BFilePanel;

namespace BPrivate {
namespace FilePanelTesting {

// Panels in the order they were shown (most recent last).
std::vector<BFilePanel*> panels_on_screen();
// The folder a panel shows, as a path ("" when unknown).
std::string panel_folder(const BFilePanel* panel);
// The name a save panel proposes.
std::string proposed_name(const BFilePanel* panel);
// The title of the panel's window as shown.
std::string panel_title(const BFilePanel* panel);
// The labels of the filter choices as the panel offers them, and the one
// in force.
std::vector<std::string> filter_choices(const BFilePanel* panel);
std::string chosen_filter(const BFilePanel* panel);
// What the panel's type column says for the file at path.
std::string type_shown(const BFilePanel* panel, const std::string& path);
// Chooses the filter of that label, as the user does in the panel.
status_t choose_filter(BFilePanel* panel, const std::string& label);

// Chooses entries in a shown open panel and confirms. Paths are absolute,
// or relative to the panel's folder. B_BAD_VALUE for a save panel, a panel
// not shown, no path, several paths in a single-selection panel, or a
// path that does not exist.
status_t choose_entries(BFilePanel* panel, const std::vector<std::string>& paths);
// Types a name into a shown save panel (in its current folder, or in
// folder when given) and confirms. When a file of that name exists, the
// panel asks whether to replace it; replaceExisting is the answer (no:
// the panel stays open and sends nothing).
status_t choose_save_name(BFilePanel* panel, const std::string& name,
                          const std::string& folder = std::string(), bool replaceExisting = true);
// Presses Cancel.
status_t cancel_panel(BFilePanel* panel);

// For tests that drive an application from another process, where the calls
// above cannot reach: while this environment variable holds a path when the
// application starts an open panel, every open panel it shows chooses that
// file at once, as choose_entries() does. Nothing else reads it; an empty
// value is no choice.
inline constexpr const char* kPanelChoiceVariable = "VESSMOR_TEST_PANEL_CHOICE";

} // namespace FilePanelTesting
} // namespace BPrivate

#endif // _FILE_PANEL_TESTING_H
