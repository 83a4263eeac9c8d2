#include "ScratchFolder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

ScratchFolder::ScratchFolder()
{
	char pattern[] = "/tmp/le-test-scratch-XXXXXX";
	if (mkdtemp(pattern) == nullptr)
		throw std::runtime_error("cannot make a scratch folder under /tmp");
	mPath = std::filesystem::canonical(pattern).string();
}

ScratchFolder::~ScratchFolder()
{
	std::error_code ignored;
	std::filesystem::permissions(mPath, std::filesystem::perms::owner_all, ignored);
	std::filesystem::remove_all(mPath, ignored);
}
