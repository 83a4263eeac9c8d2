#include "Preferences.h"

#include <cstring>
#include <memory>
#include <new>

#include "Entry.h"
#include "SafeFile.h"
#include "TypeConstants.h"

namespace {

const char* kResetLanguage = "English";

// One value per key: a value of the same type is replaced, otherwise added.
status_t set_item(BMessage& settings, const char* key, type_code type, const void* data,
                  ssize_t size, bool fixedSize)
{
	if (settings.HasData(key, type))
		return settings.ReplaceData(key, type, data, size);
	return settings.AddData(key, type, data, size, fixedSize, 1);
}

// A fixed-size value, stored as the message's typed calls store it: the
// value's own bytes in one item.
template <typename T>
status_t set_fixed(BMessage& settings, const char* key, type_code type, const T& value)
{
	if (key == nullptr)
		return B_BAD_VALUE;
	return set_item(settings, key, type, &value, sizeof(T), true);
}

// The value under key, or fallback when it is missing, of another type or
// of another size (as the typed Find calls refuse it).
template <typename T>
T get_fixed(const BMessage& settings, const char* key, type_code type, T fallback)
{
	const void* data;
	ssize_t size;
	if (key == nullptr || settings.FindData(key, type, &data, &size) != B_OK ||
	    size != (ssize_t)sizeof(T))
		return fallback;
	T value;
	memcpy(&value, data, sizeof(T));
	return value;
}

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

int32 Preferences::SetAside(std::string* aside)
{
	if (!mFileName.has_value() || mFileName->empty())
		return kPrefsNoName;
	return set_aside_damaged(mFileName->c_str(), aside) == B_OK ? kPrefsOK : kPrefsOpenFailed;
}

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
	return set_fixed(mSettings, key, B_INT8_TYPE, value);
}

status_t Preferences::Set(const char* key, int16 value)
{
	return set_fixed(mSettings, key, B_INT16_TYPE, value);
}

status_t Preferences::Set(const char* key, int32 value)
{
	return set_fixed(mSettings, key, B_INT32_TYPE, value);
}

status_t Preferences::Set(const char* key, int64 value)
{
	return set_fixed(mSettings, key, B_INT64_TYPE, value);
}

status_t Preferences::Set(const char* key, float value)
{
	return set_fixed(mSettings, key, B_FLOAT_TYPE, value);
}

status_t Preferences::Set(const char* key, BRect value)
{
	return set_fixed(mSettings, key, B_RECT_TYPE, value);
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
	return set_item(mSettings, key, B_STRING_TYPE, value, (ssize_t)strlen(value) + 1, false);
}

status_t Preferences::Set(const char* key, rgb_color value)
{
	return set_fixed(mSettings, key, B_RGB_COLOR_TYPE, value);
}

int8 Preferences::GetInt8(const char* key, int8 fallback) const
{
	return get_fixed(mSettings, key, B_INT8_TYPE, fallback);
}

int16 Preferences::GetInt16(const char* key, int16 fallback) const
{
	return get_fixed(mSettings, key, B_INT16_TYPE, fallback);
}

int32 Preferences::GetInt32(const char* key, int32 fallback) const
{
	return get_fixed(mSettings, key, B_INT32_TYPE, fallback);
}

int64 Preferences::GetInt64(const char* key, int64 fallback) const
{
	return get_fixed(mSettings, key, B_INT64_TYPE, fallback);
}

float Preferences::GetFloat(const char* key, float fallback) const
{
	return get_fixed(mSettings, key, B_FLOAT_TYPE, fallback);
}

const char* Preferences::GetString(const char* key, const char* fallback) const
{
	const char* value;
	return key != nullptr && mSettings.FindString(key, &value) == B_OK ? value : fallback;
}

BRect Preferences::GetRect(const char* key, BRect fallback) const
{
	return get_fixed(mSettings, key, B_RECT_TYPE, fallback);
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
