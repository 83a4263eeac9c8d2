#ifndef TESTS_COMMON_SCRATCH_FOLDER_H
#define TESTS_COMMON_SCRATCH_FOLDER_H

#include <string>

// A fresh folder under /tmp, removed with its contents (also when a test took
// away its write permission). Throws std::runtime_error when none can be
// made, so that no test goes on with paths from the root folder.
class ScratchFolder
{
public:
	ScratchFolder();
	~ScratchFolder();
	ScratchFolder(const ScratchFolder&) = delete;
	ScratchFolder& operator=(const ScratchFolder&) = delete;
	const std::string& Path() const { return mPath; }
	std::string operator/(const std::string& leaf) const { return mPath + "/" + leaf; }

private:
	std::string mPath;
};

#endif // TESTS_COMMON_SCRATCH_FOLDER_H
