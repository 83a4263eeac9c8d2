#include "WorkJournal.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include <Entry.h>
#include <File.h>
#include <SafeFile.h>

#include "HeaderFields.h"

namespace fs = std::filesystem;

namespace {

const char* const kJournalSuffix = ".journal";
const char* const kLockSuffix = ".lock";
// Far above what a locale file may hold (64 MiB): a larger journal is no
// snapshot of ours.
const off_t kMaxJournalSize = 256 * 1024 * 1024;
const auto kYoungLock = std::chrono::minutes(1);

bool EndsWith(const std::string& text, const std::string& end)
{
	return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string LockPathOf(const std::string& journal)
{
	return journal.substr(0, journal.size() - strlen(kJournalSuffix)) + kLockSuffix;
}

bool HasString(const BMessage& message, const char* name)
{
	const char* value = nullptr;
	return message.FindString(name, 0, &value) == B_OK && value != nullptr;
}

status_t ErrorOf(const std::error_code& error)
{
	return error ? b_from_errno(error.value()) : B_OK;
}

} // namespace

WorkJournal::WorkJournal(const std::string& folder) : mStatus(B_NO_INIT)
{
	mStatus = create_directory(folder.c_str(), 0700);
	if (mStatus == B_FILE_EXISTS)
		mStatus = B_OK;
	if (mStatus != B_OK)
		return;
	// The start in microseconds beside the process id: a later editor that
	// gets the same id never takes a dead one's journal for its own.
	const auto start = std::chrono::duration_cast<std::chrono::microseconds>(
	                       std::chrono::system_clock::now().time_since_epoch())
	                       .count();
	const std::string stem = folder + "/" + std::to_string(getpid()) + "-" + std::to_string(start);
	mPath = stem + kJournalSuffix;
	mLockPath = stem + kLockSuffix;
	BFile lockFile;
	mStatus = lockFile.SetTo(mLockPath.c_str(), B_READ_WRITE | B_CREATE_FILE);
	if (mStatus == B_OK)
		mStatus = mLock.SetTo(mLockPath.c_str());
	if (mStatus == B_OK)
		mStatus = mLock.Lock();
}

WorkJournal::~WorkJournal()
{
	if (mStatus != B_OK)
		return;
	std::error_code error;
	fs::remove(mLockPath, error);
}

status_t WorkJournal::Write(const BMessage& snapshot)
{
	if (mStatus != B_OK)
		return mStatus;
	SafeFile file;
	status_t status = file.SetTo(mPath.c_str());
	if (status == B_OK)
		status = file.SetPermissions(0600);
	if (status == B_OK)
		status = snapshot.Flatten(&file);
	if (status == B_OK)
		status = file.Commit();
	return status;
}

status_t WorkJournal::Remove()
{
	if (mStatus != B_OK)
		return mStatus;
	std::error_code error;
	fs::remove(mPath, error);
	return ErrorOf(error);
}

std::vector<std::string> WorkJournal::Orphans(const std::string& folder)
{
	std::vector<std::pair<fs::file_time_type, std::string>> found;
	std::error_code error;
	for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
		const std::string path = entry.path().string();
		const bool journal = EndsWith(path, kJournalSuffix);
		if (!journal && !EndsWith(path, kLockSuffix))
			continue;
		const std::string lockPath = journal ? LockPathOf(path) : path;
		// A lock nobody holds (or none at all) is an editor that is gone.
		BNode lock(lockPath.c_str());
		const bool alive = lock.InitCheck() == B_OK && lock.Lock() != B_OK;
		if (alive)
			continue;
		if (journal) {
			std::error_code timeError;
			found.emplace_back(entry.last_write_time(timeError), path);
		} else {
			// An editor makes its lock file a moment before it locks it: a
			// young one is left alone.
			std::string journalPath =
			    path.substr(0, path.size() - strlen(kLockSuffix)) + kJournalSuffix;
			std::error_code otherError;
			const auto age = fs::file_time_type::clock::now() - entry.last_write_time(otherError);
			if (!otherError && age > kYoungLock && !fs::exists(journalPath, otherError) &&
			    !otherError)
				fs::remove(path, otherError);
		}
	}
	std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
		return a.first != b.first ? a.first > b.first : a.second > b.second;
	});
	std::vector<std::string> paths;
	for (auto& item : found)
		paths.push_back(std::move(item.second));
	return paths;
}

status_t WorkJournal::Read(const std::string& path, BMessage* snapshot)
{
	snapshot->MakeEmpty();
	BFile file(path.c_str(), B_READ_ONLY);
	off_t size = 0;
	status_t status = file.InitCheck();
	if (status == B_OK)
		status = file.GetSize(&size);
	if (status != B_OK)
		return status;
	if (size <= 0 || size > kMaxJournalSize)
		return B_BAD_DATA;
	std::string bytes((size_t)size, '\0');
	if (file.Read(bytes.data(), bytes.size()) != (ssize_t)bytes.size())
		return B_BAD_DATA;
	BMessage read;
	if (read.Unflatten(bytes.data(), bytes.size()) != B_OK || read.what != kJournalFormat)
		return B_BAD_DATA;
	int64 time = 0;
	bool complete = HasString(read, kJournalFile) && HasString(read, kJournalText) &&
	                read.FindInt64(kJournalTime, 0, &time) == B_OK;
	for (const HeaderField& header : kHeaderFields)
		complete = complete && HasString(read, *header.field);
	if (!complete)
		return B_BAD_DATA;
	*snapshot = read;
	return B_OK;
}

status_t WorkJournal::Claim(const std::string& path, BNode* claim)
{
	const std::string lockPath = LockPathOf(path);
	// A lock file that is gone is made anew, so the claim still keeps
	// other editors off.
	BFile lockFile;
	status_t status = lockFile.SetTo(lockPath.c_str(), B_READ_WRITE | B_CREATE_FILE);
	if (status == B_OK)
		status = claim->SetTo(lockPath.c_str());
	if (status == B_OK)
		status = claim->Lock();
	if (status != B_OK)
		claim->Unset();
	return status;
}

status_t WorkJournal::Discard(const std::string& path)
{
	std::error_code error;
	fs::remove(path, error);
	const status_t status = ErrorOf(error);
	fs::remove(LockPathOf(path), error);
	return status;
}

status_t WorkJournal::SetAside(const std::string& path)
{
	// Kept, never over an earlier one: what it holds may still be worth
	// reading by hand.
	const status_t status = set_aside_damaged(path.c_str(), nullptr);
	std::error_code error;
	fs::remove(LockPathOf(path), error);
	return status;
}
