#include "Preferences.h"

#include <cstring>
#include <memory>
#include <new>

#include "SafeFile.h"
#include "TypeConstants.h"

namespace {

const char* kResetLanguage = "English";

} // namespace

Preferences::Preferences(const char* fileName, const char* kennung) : mStatus(kPrefsOK)
{
	if (SetName(fileName) != kPrefsOK || SetKennung(kennung) != kPrefsOK) {
		mStatus = kPrefsNoMemory;
		return;
	}
	BFile file(mFileName->c_str(), B_READ_ONLY);
	if (file.InitCheck() != B_OK) {
		// No file yet: the first Save creates it.
		Reset();
		return;
	}
	mStatus = LoadData(&file);
}

Preferences::~Preferences() = default;

int32 Preferences::InitCheck() const
{
	return mStatus;
}

int32 Preferences::Load()
{
	if (!mFileName)
		return mStatus = kPrefsNoName;
	// Without an identifier no file can be told to be ours.
	if (mKennung.empty())
		return mStatus = kPrefsNoMemory;
	BFile file(mFileName->c_str(), B_READ_ONLY);
	if (file.InitCheck() != B_OK)
		return mStatus = kPrefsOpenFailed;
	return mStatus = LoadData(&file);
}

// A save that fails at any point leaves the old file as it was (SafeFile).
int32 Preferences::Save()
{
	if (!mFileName)
		return mStatus = kPrefsNoName;
	if (mKennung.empty())
		return mStatus = kPrefsNoMemory;

	SafeFile file;
	if (file.SetTo(mFileName->c_str()) != B_OK)
		return mStatus = kPrefsOpenFailed;
	mStatus = SaveData(&file);
	if (mStatus == kPrefsOK && file.Commit() != B_OK)
		mStatus = kPrefsWriteFailed;
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
	if (fileName == nullptr)
		return kPrefsNoMemory;
	mFileName = fileName;
	return kPrefsOK;
}

int32 Preferences::SetKennung(const char* kennung)
{
	if (kennung == nullptr || strlen(kennung) != kPrefsKennungLength)
		return kPrefsNoMemory;
	mKennung.assign(kennung, kPrefsKennungLength);
	return kPrefsOK;
}

int32 Preferences::GetName(char* buffer) const
{
	if (buffer == nullptr || !mFileName || mFileName->size() >= B_PATH_NAME_LENGTH)
		return 1;
	memcpy(buffer, mFileName->c_str(), mFileName->size() + 1);
	return 0;
}

int32 Preferences::GetKennung(char*) const
{
	return 1;
}

int32 Preferences::LoadData(BFile* file)
{
	FreeData();
	char header[kPrefsHeaderSize];
	int32 status = kPrefsOK;
	if (file->Seek(0, SEEK_SET) != 0 ||
	    file->Read(header, kPrefsHeaderSize) != (ssize_t)kPrefsHeaderSize)
		status = kPrefsLoadFailed;
	else if (memcmp(header, mKennung.data(), kPrefsKennungLength) != 0)
		status = kPrefsLoadFailed;
	else if (mSettings.Unflatten(file) != B_OK)
		status = kPrefsLoadFailed;
	// A failed load never leaves part of a file behind.
	if (status != kPrefsOK)
		FreeData();
	return status;
}

int32 Preferences::SaveData(BFile* file) const
{
	char header[kPrefsHeaderSize] = {};
	memcpy(header, mKennung.data(), kPrefsKennungLength);
	if (file->Write(header, kPrefsHeaderSize) != (ssize_t)kPrefsHeaderSize)
		return kPrefsWriteFailed;
	if (mSettings.Flatten(file) != B_OK)
		return kPrefsWriteFailed;
	return kPrefsOK;
}

void Preferences::FreeData()
{
	mSettings.MakeEmpty();
}

status_t Preferences::Set(const char* key, int8 value)
{
	if (key == nullptr)
		return B_BAD_VALUE;
	if (mSettings.HasInt8(key))
		return mSettings.ReplaceInt8(key, value);
	return mSettings.AddInt8(key, value);
}

status_t Preferences::Set(const char* key, int16 value)
{
	if (key == nullptr)
		return B_BAD_VALUE;
	if (mSettings.HasInt16(key))
		return mSettings.ReplaceInt16(key, value);
	return mSettings.AddInt16(key, value);
}

status_t Preferences::Set(const char* key, int32 value)
{
	if (key == nullptr)
		return B_BAD_VALUE;
	if (mSettings.HasInt32(key))
		return mSettings.ReplaceInt32(key, value);
	return mSettings.AddInt32(key, value);
}

status_t Preferences::Set(const char* key, int64 value)
{
	if (key == nullptr)
		return B_BAD_VALUE;
	if (mSettings.HasInt64(key))
		return mSettings.ReplaceInt64(key, value);
	return mSettings.AddInt64(key, value);
}

status_t Preferences::Set(const char* key, float value)
{
	if (key == nullptr)
		return B_BAD_VALUE;
	if (mSettings.HasFloat(key))
		return mSettings.ReplaceFloat(key, value);
	return mSettings.AddFloat(key, value);
}

status_t Preferences::Set(const char* key, BRect value)
{
	if (key == nullptr)
		return B_BAD_VALUE;
	if (mSettings.HasRect(key))
		return mSettings.ReplaceRect(key, value);
	return mSettings.AddRect(key, value);
}

status_t Preferences::Set(const char* key, const BMessage* value)
{
	if (key == nullptr || value == nullptr)
		return B_BAD_VALUE;
	if (mSettings.HasMessage(key))
		return mSettings.ReplaceMessage(key, value);
	return mSettings.AddMessage(key, value);
}

status_t Preferences::Set(const char* key, const char* value)
{
	if (key == nullptr || value == nullptr)
		return B_BAD_VALUE;
	if (mSettings.HasString(key))
		return mSettings.ReplaceString(key, value);
	return mSettings.AddString(key, value);
}

status_t Preferences::Set(const char* key, rgb_color value)
{
	if (key == nullptr)
		return B_BAD_VALUE;
	const uint8 bytes[4] = {value.red, value.green, value.blue, value.alpha};
	if (mSettings.HasData(key, B_RGB_COLOR_TYPE))
		return mSettings.ReplaceData(key, B_RGB_COLOR_TYPE, bytes, sizeof(bytes));
	return mSettings.AddData(key, B_RGB_COLOR_TYPE, bytes, sizeof(bytes), true, 1);
}

int8 Preferences::GetInt8(const char* key, int8 fallback) const
{
	int8 value;
	return key != nullptr && mSettings.FindInt8(key, &value) == B_OK ? value : fallback;
}

int16 Preferences::GetInt16(const char* key, int16 fallback) const
{
	int16 value;
	return key != nullptr && mSettings.FindInt16(key, &value) == B_OK ? value : fallback;
}

int32 Preferences::GetInt32(const char* key, int32 fallback) const
{
	int32 value;
	return key != nullptr && mSettings.FindInt32(key, &value) == B_OK ? value : fallback;
}

int64 Preferences::GetInt64(const char* key, int64 fallback) const
{
	int64 value;
	return key != nullptr && mSettings.FindInt64(key, &value) == B_OK ? value : fallback;
}

float Preferences::GetFloat(const char* key, float fallback) const
{
	float value;
	return key != nullptr && mSettings.FindFloat(key, &value) == B_OK ? value : fallback;
}

const char* Preferences::GetString(const char* key, const char* fallback) const
{
	const char* value;
	return key != nullptr && mSettings.FindString(key, &value) == B_OK ? value : fallback;
}

BRect Preferences::GetRect(const char* key, BRect fallback) const
{
	BRect value;
	return key != nullptr && mSettings.FindRect(key, &value) == B_OK ? value : fallback;
}

BRect Preferences::GetRect(const char* key) const
{
	return GetRect(key, BRect(0, 0, 0, 0));
}

BMessage* Preferences::GetMessage(const char* key, BMessage* fallback) const
{
	if (key == nullptr || !mSettings.HasMessage(key))
		return fallback;
	std::unique_ptr<BMessage> copy(new (std::nothrow) BMessage());
	if (!copy || mSettings.FindMessage(key, copy.get()) != B_OK)
		return fallback;
	// The caller owns the copy from here on.
	return copy.release();
}

BMessage Preferences::GetMessageData(const char* key) const
{
	BMessage value;
	if (key == nullptr || mSettings.FindMessage(key, &value) != B_OK)
		return BMessage();
	return value;
}

rgb_color Preferences::GetColor(const char* key, rgb_color fallback) const
{
	const void* data;
	ssize_t size;
	if (key == nullptr || mSettings.FindData(key, B_RGB_COLOR_TYPE, &data, &size) != B_OK ||
	    size < 4)
		return fallback;
	const uint8* bytes = (const uint8*)data;
	rgb_color color = {bytes[0], bytes[1], bytes[2], bytes[3]};
	return color;
}
