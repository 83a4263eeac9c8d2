// Preferences: named, typed settings kept in one message and stored in one
// file: an 8-byte identifier, zero bytes up to offset 100, then the settings
// as a flattened message.
#ifndef PREFERENCES_H
#define PREFERENCES_H

#include <optional>
#include <string>

#include "File.h"
#include "GraphicsDefs.h"
#include "Message.h"
#include "Rect.h"
#include "SupportDefs.h"

// The store's own status codes (not the framework's).
enum {
	kPrefsOK = 0,
	kPrefsNoMemory = 1,    // also: name or identifier refused
	kPrefsLoadFailed = 2,  // short header, other identifier, broken body
	kPrefsWriteFailed = 4, // header or body not written whole
	kPrefsNoName = 10,
	kPrefsOpenFailed = 11,
};

const size_t kPrefsHeaderSize = 100;
const size_t kPrefsKennungLength = 8;

// The keys that Reset fills in; the editor reads and writes them too.
inline constexpr const char kPrefLanguage[] = "ZT_LANGUAGE";
inline constexpr const char kPrefAutoPrefs[] = "ZT_AUTOPREFS";
inline constexpr const char kPrefMainWinPos[] = "ZT_MAINWINPOS";

class Preferences
{
public:
	// Loads the file when it exists; a missing file gives the Reset values.
	Preferences(const char* fileName, const char* kennung);
	virtual ~Preferences();

	int32 InitCheck() const;
	int32 Load();
	int32 Save();
	int32 Reset();
	// Moves the file that did not read back (InitCheck kPrefsLoadFailed) out
	// of the way before anything is saved over it: renamed to its name with
	// ".damaged" (".damaged-2" and on when that is taken), its path in
	// aside. kPrefsOpenFailed when it could not be moved.
	int32 SetAside(std::string* aside);

	int32 SetName(const char* fileName);
	int32 SetKennung(const char* kennung);
	// Copies the file name into buffer, which must hold B_PATH_NAME_LENGTH
	// bytes; 1 (nothing copied) for a longer name or when none is set.
	int32 GetName(char* buffer) const;
	// Copies nothing: the identifier is the creator's own. Always 1.
	int32 GetKennung(char* buffer) const;

	// One value per key: a value of the same type is replaced, otherwise
	// added (which the message refuses when the key holds another type).
	status_t Set(const char* key, int8 value);
	status_t Set(const char* key, int16 value);
	status_t Set(const char* key, int32 value);
	status_t Set(const char* key, int64 value);
	status_t Set(const char* key, float value);
	status_t Set(const char* key, BRect value);
	status_t Set(const char* key, const BMessage* value);
	status_t Set(const char* key, const char* value);
	status_t Set(const char* key, rgb_color value);

	int8 GetInt8(const char* key, int8 fallback) const;
	int16 GetInt16(const char* key, int16 fallback) const;
	int32 GetInt32(const char* key, int32 fallback) const;
	int64 GetInt64(const char* key, int64 fallback) const;
	float GetFloat(const char* key, float fallback) const;
	// Points into the settings: valid until the key is set again or the
	// settings are emptied.
	const char* GetString(const char* key, const char* fallback) const;
	BRect GetRect(const char* key, BRect fallback) const;
	BRect GetRect(const char* key) const;
	// A hit gives a new message that the caller deletes; a miss gives
	// fallback itself.
	BMessage* GetMessage(const char* key, BMessage* fallback) const;
	BMessage GetMessageData(const char* key) const;
	rgb_color GetColor(const char* key, rgb_color fallback) const;

private:
	Preferences(const Preferences&) = delete;
	Preferences& operator=(const Preferences&) = delete;

	int32 LoadData(BFile* file);
	int32 SaveData(BFile* file) const;
	void FreeData();

	BMessage mSettings;
	// No value until a name is accepted ("" is accepted, and fails on use).
	std::optional<std::string> mFileName;
	// Exactly kPrefsKennungLength bytes, or empty until one is accepted.
	std::string mKennung;
	int32 mStatus;
};

#endif // PREFERENCES_H
