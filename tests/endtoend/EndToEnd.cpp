#include "EndToEnd.h"

#include <filesystem>
#include <stdexcept>
#include <unistd.h>

#include "BuiltPrograms.h"

namespace fs = std::filesystem;

namespace {

// A scratch application folder holding a copy of the built editor.
std::string made_app_folder()
{
	char pattern[] = "/tmp/endtoend-XXXXXX";
	if (mkdtemp(pattern) == nullptr)
		throw std::runtime_error("mkdtemp failed");
	// A copy, not a link: the application folder is where the executable
	// really lies, and the preferences written there stay this test's own.
	fs::copy_file(BuildFolder() + "/LocaleEditor", std::string(pattern) + "/LocaleEditor");
	return pattern;
}

} // namespace

EditorSession::EditorSession(const std::vector<std::string>& arguments,
                             const std::map<std::string, std::string>& environment)
    : mFolder(made_app_folder()), mEditor(mFolder + "/LocaleEditor", arguments, environment)
{
}

EditorSession::~EditorSession()
{
	// The editor ends before its folder goes.
	mEditor.Kill();
	std::error_code error;
	fs::remove_all(mFolder, error);
}
