#include "ScratchFolder.h"

#include <cstdlib>
#include <filesystem>

ScratchFolder::ScratchFolder()
{
	char pattern[] = "/tmp/le-test-scratch-XXXXXX";
	const char* made = mkdtemp(pattern);
	mPath = made != nullptr ? std::filesystem::canonical(made).string() : std::string();
}

ScratchFolder::~ScratchFolder()
{
	std::error_code ignored;
	if (!mPath.empty()) {
		std::filesystem::permissions(mPath, std::filesystem::perms::owner_all, ignored);
		std::filesystem::remove_all(mPath, ignored);
	}
}
