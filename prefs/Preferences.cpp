#include "Preferences.h"

#include <cstring>
#include <new>
#include <string>
#include <unistd.h>

#include "Directory.h"
#include "Entry.h"
#include "Path.h"
#include "TypeConstants.h"

namespace {

const char* kResetLanguage = "English";

// Tries this many temporary names before giving up on a save.
const int kTemporaryAttempts = 16;

char* copy_string(const char* source, size_t length)
{
	char* copy = new (std::nothrow) char[length + 1];
	if (copy == NULL)
		return NULL;
	memcpy(copy, source, length);
	copy[length] = '\0';
	return copy;
}

} // namespace

Preferences::Preferences(const char* fileName, const char* kennung)
    : mFileName(NULL), mKennung(NULL), mStatus(kPrefsOK)
{
	if (SetName(fileName) != kPrefsOK || SetKennung(kennung) != kPrefsOK) {
		mStatus = kPrefsNoMemory;
		return;
	}
	if (mFile.SetTo(mFileName, B_READ_ONLY) != B_OK) {
		// No file yet: the first Save creates it.
		Reset();
		return;
	}
	mStatus = LoadData();
	mFile.Unset();
}

Preferences::~Preferences()
{
	delete[] mFileName;
	delete[] mKennung;
}

int32 Preferences::InitCheck() const
{
	return mStatus;
}

int32 Preferences::Load()
{
	if (mFileName == NULL)
		return mStatus = kPrefsNoName;
	// Without an identifier no file can be told to be ours.
	if (mKennung == NULL)
		return mStatus = kPrefsNoMemory;
	if (mFile.SetTo(mFileName, B_READ_ONLY) != B_OK)
		return mStatus = kPrefsOpenFailed;
	mStatus = LoadData();
	mFile.Unset();
	return mStatus;
}

// The new settings are written beside the old file under a temporary name,
// flushed, and only then renamed over it: a save that fails at any point
// leaves the old file as it was.
int32 Preferences::Save()
{
	if (mFileName == NULL)
		return mStatus = kPrefsNoName;
	if (mKennung == NULL)
		return mStatus = kPrefsNoMemory;

	// Through a link the file it points to is replaced, not the link.
	BEntry target(mFileName, true);
	if (target.InitCheck() != B_OK || target.IsDirectory())
		return mStatus = kPrefsOpenFailed;
	BPath targetPath(&target);
	BPath folder;
	if (targetPath.InitCheck() != B_OK || targetPath.GetParent(&folder) != B_OK)
		return mStatus = kPrefsOpenFailed;

	mode_t permissions = 0;
	bool keepPermissions = false;
	if (target.Exists()) {
		BNode old(&target);
		keepPermissions = old.GetPermissions(&permissions) == B_OK;
	}

	std::string temporaryPath;
	for (int attempt = 0; attempt < kTemporaryAttempts; attempt++) {
		std::string name = std::string(".") + targetPath.Leaf() + ".save-" +
		                   std::to_string(getpid()) + "-" + std::to_string(attempt);
		BPath candidate(folder.Path(), name.c_str());
		if (candidate.InitCheck() != B_OK)
			break;
		if (mFile.SetTo(candidate.Path(), B_WRITE_ONLY | B_CREATE_FILE | B_FAIL_IF_EXISTS) ==
		    B_OK) {
			temporaryPath = candidate.Path();
			break;
		}
		if (mFile.InitCheck() != B_FILE_EXISTS)
			break;
	}
	if (temporaryPath.empty()) {
		mFile.Unset();
		return mStatus = kPrefsOpenFailed;
	}

	mStatus = SaveData();
	if (mStatus == kPrefsOK && keepPermissions)
		mFile.SetPermissions(permissions);
	if (mStatus == kPrefsOK && mFile.Sync() != B_OK)
		mStatus = kPrefsWriteFailed;
	mFile.Unset();

	BEntry temporary(temporaryPath.c_str());
	if (mStatus == kPrefsOK && temporary.Rename(targetPath.Path(), true) != B_OK)
		mStatus = kPrefsWriteFailed;
	if (mStatus != kPrefsOK) {
		temporary.Remove();
		return mStatus;
	}
	// Make the rename itself durable.
	BDirectory(folder.Path()).Sync();
	return mStatus;
}

int32 Preferences::Reset()
{
	FreeData();
	mStatus = kPrefsOK;
	Set(kPrefLanguage, kResetLanguage);
	Set(kPrefAutoPrefs, (int8)0);
	Set(kPrefMainWinPos, BRect(0, 0, 0, 0));
	return mStatus;
}

int32 Preferences::SetName(const char* fileName)
{
	if (fileName == NULL)
		return kPrefsNoMemory;
	char* copy = copy_string(fileName, strlen(fileName));
	if (copy == NULL)
		return kPrefsNoMemory;
	delete[] mFileName;
	mFileName = copy;
	return kPrefsOK;
}

int32 Preferences::SetKennung(const char* kennung)
{
	if (kennung == NULL || strlen(kennung) != kPrefsKennungLength)
		return kPrefsNoMemory;
	// Kept as exactly 8 bytes; the terminator is only for our own safety.
	char* copy = copy_string(kennung, kPrefsKennungLength);
	if (copy == NULL)
		return kPrefsNoMemory;
	delete[] mKennung;
	mKennung = copy;
	return kPrefsOK;
}

int32 Preferences::GetName(char* buffer) const
{
	if (buffer == NULL || mFileName == NULL || strlen(mFileName) >= B_PATH_NAME_LENGTH)
		return 1;
	strcpy(buffer, mFileName);
	return 0;
}

int32 Preferences::GetKennung(char*) const
{
	return 1;
}

int32 Preferences::LoadData()
{
	int32 status = kPrefsOK;
	FreeData();
	char* header = new (std::nothrow) char[kPrefsHeaderSize];
	if (header == NULL)
		return kPrefsNoMemory;
	if (mFile.Seek(0, SEEK_SET) != 0 ||
	    mFile.Read(header, kPrefsHeaderSize) != (ssize_t)kPrefsHeaderSize)
		status = kPrefsLoadFailed;
	else if (memcmp(header, mKennung, kPrefsKennungLength) != 0)
		status = kPrefsLoadFailed;
	else if (mSettings.Unflatten(&mFile) != B_OK)
		status = kPrefsLoadFailed;
	delete[] header;
	// A failed load never leaves part of a file behind.
	if (status != kPrefsOK)
		FreeData();
	return status;
}

int32 Preferences::SaveData()
{
	if (mFile.Seek(0, SEEK_SET) != 0)
		return kPrefsWriteFailed;
	char* header = new (std::nothrow) char[kPrefsHeaderSize];
	if (header == NULL)
		return kPrefsNoMemory;
	memset(header, 0, kPrefsHeaderSize);
	memcpy(header, mKennung, kPrefsKennungLength);
	int32 status = kPrefsOK;
	if (mFile.Write(header, kPrefsHeaderSize) != (ssize_t)kPrefsHeaderSize)
		status = kPrefsWriteFailed;
	else if (mSettings.Flatten(&mFile) != B_OK)
		status = kPrefsWriteFailed;
	delete[] header;
	return status;
}

void Preferences::FreeData()
{
	mSettings.MakeEmpty();
}

status_t Preferences::Set(const char* key, int8 value)
{
	if (key == NULL)
		return B_BAD_VALUE;
	if (mSettings.HasInt8(key))
		return mSettings.ReplaceInt8(key, value);
	return mSettings.AddInt8(key, value);
}

status_t Preferences::Set(const char* key, int16 value)
{
	if (key == NULL)
		return B_BAD_VALUE;
	if (mSettings.HasInt16(key))
		return mSettings.ReplaceInt16(key, value);
	return mSettings.AddInt16(key, value);
}

status_t Preferences::Set(const char* key, int32 value)
{
	if (key == NULL)
		return B_BAD_VALUE;
	if (mSettings.HasInt32(key))
		return mSettings.ReplaceInt32(key, value);
	return mSettings.AddInt32(key, value);
}

status_t Preferences::Set(const char* key, int64 value)
{
	if (key == NULL)
		return B_BAD_VALUE;
	if (mSettings.HasInt64(key))
		return mSettings.ReplaceInt64(key, value);
	return mSettings.AddInt64(key, value);
}

status_t Preferences::Set(const char* key, float value)
{
	if (key == NULL)
		return B_BAD_VALUE;
	if (mSettings.HasFloat(key))
		return mSettings.ReplaceFloat(key, value);
	return mSettings.AddFloat(key, value);
}

status_t Preferences::Set(const char* key, BRect value)
{
	if (key == NULL)
		return B_BAD_VALUE;
	if (mSettings.HasRect(key))
		return mSettings.ReplaceRect(key, value);
	return mSettings.AddRect(key, value);
}

status_t Preferences::Set(const char* key, const BMessage* value)
{
	if (key == NULL || value == NULL)
		return B_BAD_VALUE;
	if (mSettings.HasMessage(key))
		return mSettings.ReplaceMessage(key, value);
	return mSettings.AddMessage(key, value);
}

status_t Preferences::Set(const char* key, const char* value)
{
	if (key == NULL || value == NULL)
		return B_BAD_VALUE;
	if (mSettings.HasString(key))
		return mSettings.ReplaceString(key, value);
	return mSettings.AddString(key, value);
}

status_t Preferences::Set(const char* key, rgb_color value)
{
	if (key == NULL)
		return B_BAD_VALUE;
	const uint8 bytes[4] = {value.red, value.green, value.blue, value.alpha};
	if (mSettings.HasData(key, B_RGB_COLOR_TYPE))
		return mSettings.ReplaceData(key, B_RGB_COLOR_TYPE, bytes, sizeof(bytes));
	return mSettings.AddData(key, B_RGB_COLOR_TYPE, bytes, sizeof(bytes), true, 1);
}

int8 Preferences::GetInt8(const char* key, int8 fallback) const
{
	int8 value;
	return key != NULL && mSettings.FindInt8(key, &value) == B_OK ? value : fallback;
}

int16 Preferences::GetInt16(const char* key, int16 fallback) const
{
	int16 value;
	return key != NULL && mSettings.FindInt16(key, &value) == B_OK ? value : fallback;
}

int32 Preferences::GetInt32(const char* key, int32 fallback) const
{
	int32 value;
	return key != NULL && mSettings.FindInt32(key, &value) == B_OK ? value : fallback;
}

int64 Preferences::GetInt64(const char* key, int64 fallback) const
{
	int64 value;
	return key != NULL && mSettings.FindInt64(key, &value) == B_OK ? value : fallback;
}

float Preferences::GetFloat(const char* key, float fallback) const
{
	float value;
	return key != NULL && mSettings.FindFloat(key, &value) == B_OK ? value : fallback;
}

const char* Preferences::GetString(const char* key, const char* fallback) const
{
	const char* value;
	return key != NULL && mSettings.FindString(key, &value) == B_OK ? value : fallback;
}

BRect Preferences::GetRect(const char* key, BRect fallback) const
{
	BRect value;
	return key != NULL && mSettings.FindRect(key, &value) == B_OK ? value : fallback;
}

BRect Preferences::GetRect(const char* key) const
{
	return GetRect(key, BRect(0, 0, 0, 0));
}

BMessage* Preferences::GetMessage(const char* key, BMessage* fallback) const
{
	if (key == NULL || !mSettings.HasMessage(key))
		return fallback;
	BMessage* copy = new (std::nothrow) BMessage();
	if (copy == NULL)
		return fallback;
	if (mSettings.FindMessage(key, copy) != B_OK) {
		delete copy;
		return fallback;
	}
	return copy;
}

BMessage Preferences::GetMessageData(const char* key) const
{
	BMessage value;
	if (key == NULL || mSettings.FindMessage(key, &value) != B_OK)
		return BMessage();
	return value;
}

rgb_color Preferences::GetColor(const char* key, rgb_color fallback) const
{
	const void* data;
	ssize_t size;
	if (key == NULL || mSettings.FindData(key, B_RGB_COLOR_TYPE, &data, &size) != B_OK || size < 4)
		return fallback;
	const uint8* bytes = (const uint8*)data;
	rgb_color color = {bytes[0], bytes[1], bytes[2], bytes[3]};
	return color;
}
