#include "Path.h"

#include <cstring>

#include "Directory.h"
#include "Entry.h"
#include "StoragePrivate.h"

using namespace BPrivate;

namespace {

// Resolves the folder part of an absolute path on disk (and the whole path
// when it ends in ".."), applying "..". The leaf is left as it is.
status_t normalize_path(const std::string& path, std::string* normalized)
{
	std::vector<std::string> parts = split_path(path);
	if (parts.empty()) {
		normalized->assign(1, '/');
		return B_OK;
	}
	if (parts.back() == "..")
		return resolve_path(path, normalized);
	std::string leaf = parts.back();
	parts.pop_back();
	std::string folder;
	status_t status = resolve_path(join_path(parts), &folder);
	if (status != B_OK)
		return status;
	*normalized = append_path(folder, leaf);
	return B_OK;
}

bool has_parent_steps(const std::string& path)
{
	for (const std::string& part : split_path(path)) {
		if (part == "..")
			return true;
	}
	return false;
}

} // namespace

BPath::BPath() : mStatus(B_NO_INIT) {}

BPath::BPath(const char* dir, const char* leaf, bool normalize) : mStatus(B_NO_INIT)
{
	SetTo(dir, leaf, normalize);
}

BPath::BPath(const BDirectory* dir, const char* leaf, bool normalize) : mStatus(B_NO_INIT)
{
	SetTo(dir, leaf, normalize);
}

BPath::BPath(const entry_ref* ref) : mStatus(B_NO_INIT)
{
	SetTo(ref);
}

BPath::BPath(const BEntry* entry) : mStatus(B_NO_INIT)
{
	SetTo(entry);
}

BPath::BPath(const BPath& other) : mPath(other.mPath), mStatus(other.mStatus) {}

BPath::~BPath() {}

BPath& BPath::operator=(const BPath& other)
{
	mPath = other.mPath;
	mStatus = other.mStatus;
	return *this;
}

BPath& BPath::operator=(const char* path)
{
	SetTo(path);
	return *this;
}

bool BPath::operator==(const BPath& other) const
{
	if (mStatus != B_OK || other.mStatus != B_OK)
		return mStatus != B_OK && other.mStatus != B_OK;
	return mPath == other.mPath;
}

bool BPath::operator==(const char* path) const
{
	if (mStatus != B_OK || path == nullptr)
		return mStatus != B_OK && path == nullptr;
	return mPath == path;
}

status_t BPath::SetTo(const char* path, const char* leaf, bool normalize)
{
	// Copied first: path or leaf may point into this object's own string.
	std::string full = path != nullptr ? path : "";
	std::string leafCopy = leaf != nullptr ? leaf : "";
	Unset();
	if (full.empty() || (!leafCopy.empty() && leafCopy[0] == '/'))
		return mStatus = B_BAD_VALUE;
	if (!leafCopy.empty())
		full = append_path(full, leafCopy);
	full = absolute_path(full);
	if (normalize || has_parent_steps(full)) {
		std::string normalized;
		status_t status = normalize_path(full, &normalized);
		if (status != B_OK)
			return mStatus = status;
		full = normalized;
	}
	mPath = full;
	return mStatus = B_OK;
}

status_t BPath::SetTo(const BDirectory* dir, const char* leaf, bool normalize)
{
	Unset();
	if (dir == nullptr || dir->InitCheck() != B_OK)
		return mStatus = B_BAD_VALUE;
	return SetTo(dir->NodePath(), leaf, normalize);
}

status_t BPath::SetTo(const entry_ref* ref)
{
	Unset();
	if (ref == nullptr || ref->name == nullptr || ref->DirectoryPath()[0] == '\0')
		return mStatus = B_BAD_VALUE;
	return SetTo(ref->DirectoryPath(), ref->name);
}

status_t BPath::SetTo(const BEntry* entry)
{
	Unset();
	if (entry == nullptr || entry->InitCheck() != B_OK)
		return mStatus = B_BAD_VALUE;
	mPath = entry->FullPath();
	return mStatus = B_OK;
}

void BPath::Unset()
{
	mPath.clear();
	mStatus = B_NO_INIT;
}

status_t BPath::InitCheck() const
{
	return mStatus;
}

status_t BPath::Append(const char* path, bool normalize)
{
	if (mStatus != B_OK)
		return mStatus;
	if (path == nullptr || path[0] == '/')
		return B_BAD_VALUE;
	if (path[0] == '\0')
		return B_OK;
	return SetTo(mPath.c_str(), path, normalize);
}

status_t BPath::GetParent(BPath* path) const
{
	if (const status_t status = check_getter_unset(path, mStatus); status != B_OK)
		return status;
	std::vector<std::string> parts = split_path(mPath);
	if (parts.empty()) {
		path->Unset();
		return path->mStatus = B_ENTRY_NOT_FOUND;
	}
	parts.pop_back();
	path->mPath = join_path(parts);
	return path->mStatus = B_OK;
}

const char* BPath::Path() const
{
	return mStatus == B_OK ? mPath.c_str() : nullptr;
}

const char* BPath::Leaf() const
{
	if (mStatus != B_OK)
		return nullptr;
	size_t slash = mPath.rfind('/');
	return mPath.c_str() + slash + 1;
}
