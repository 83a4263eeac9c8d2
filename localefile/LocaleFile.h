#ifndef LOCALE_FILE_H
#define LOCALE_FILE_H

#include <SupportDefs.h>

#include <string>

class BFile;
class BMessage;
struct interrupted_write_report;

// Field names of the locale message, the language attribute and the file type.
// Defined once here; the editor, the localization library and the tools use
// these.
extern const char* const kLocaleFieldVersion;  // "zt:version"
extern const char* const kLocaleFieldAppID;    // "zt:app_id"
extern const char* const kLocaleFieldLanguage; // "zt:language"
extern const char* const kLocaleFieldText;     // "zt:text"
extern const char* const kLocaleLanguageAttr;  // "zt:language"
extern const char* const kLocaleMimeType;      // "locale/x-vnd.vessmor-locale"

// A locale file bigger than this is refused unread (B_FILE_TOO_LARGE). Real
// ones hold a few hundred short texts, but generated ones with hundreds of
// thousands of entries exist, and reading is linear in the size.
const off_t kLocaleFileMaxSize = 64 * 1024 * 1024;

// Reading and writing locale files: the body is a flattened message, beside it
// the zt:language attribute and the file type.
class LocaleFile
{
public:
	// Reads the body of the file at path into message. Anything that is not a
	// complete flattened message (truncated, garbage, a folder) gives an
	// error and leaves message empty; a file over kLocaleFileMaxSize gives
	// B_FILE_TOO_LARGE, so that it is not called damaged. Attribute and type are not
	// looked at: files often lose them on the way.
	// A save of the file that was cut short while it wrote in place is
	// finished first (repair_interrupted_write, SafeFile.h); when repair is
	// given it says whether that happened, or where the complete copy stays
	// when the file could not be finished, so that the user can be told.
	static status_t Read(const char* path, BMessage* message,
	                     interrupted_write_report* repair = nullptr);

	// The same for a file already open for reading, read from its start.
	static status_t Read(BFile* file, BMessage* message);

	// Writes message as the locale file at path, without ever leaving a half
	// written file there (SafeFile): the new file keeps what the old one
	// carried (attributes, owner, mode; 0644 for a new file), gets the
	// zt:language attribute (removed when language is null) and the locale
	// file type, and takes the place of path only once it is complete. When path is a
	// symbolic link the file it points to is replaced and the link stays.
	// A file the user made read-only is refused (B_PERMISSION_DENIED), as
	// writing into it would be.
	// On failure the file at path is untouched, and when reason is given it
	// receives the system's explanation, ready to be shown in an alert.
	static status_t Write(const char* path, const BMessage& message, const char* language,
	                      std::string* reason = nullptr);

	// Writes the body at the file's current position, then the zt:language
	// attribute (only when language is not null) and the locale file type.
	// A file system without attributes is no error: the body carries all a
	// reader needs.
	static status_t WriteInto(BFile* file, const BMessage& message, const char* language);

	// Builds a locale message from its parts, fields in the order the format
	// asks for.
	static void Build(BMessage* message, const char* version, const char* appID,
	                  const char* language, const char* const* texts, long count);
};

#endif // LOCALE_FILE_H
