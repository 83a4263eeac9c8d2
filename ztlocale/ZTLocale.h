#ifndef ZT_LOCALE_H
#define ZT_LOCALE_H

#include <memory>

class BPath;

// Interface texts of an application in the language the user chose.
//
// The application registers its id and its default texts once, then selects
// a language from a folder of locale files; every label and alert asks Text()
// by index. One instance per process, never deleted.
//
// Pointers returned by Text() and the language getters stay valid as long as
// the process runs: a later SetLanguage() keeps the tables it replaces, so a
// label fetched earlier is never left dangling.
//
// Threads: all calls may come from any thread. Text() is safe to call from the
// application thread and a window thread at the same time, also while another
// thread runs SetLanguage().
class ZTLocale
{
public:
	static ZTLocale* GetInstance();

	// The id a locale file must carry in zt:app_id to be chosen. Copied.
	void SetAppID(const char* appID);

	// The default texts and the name of their language. The table itself is
	// kept, not copied: it must outlive every Text() call. The language name
	// is copied.
	void SetDefaultText(const char** texts, long count, const char* language);

	// Selects the locale file in folder whose zt:app_id is the registered id
	// and whose zt:language is language (both read from the file's body; the
	// attribute is not trusted). A null folder or language, a missing folder,
	// an unreadable or broken file, or no match leaves the defaults in effect.
	// Returns true when a locale file was selected.
	bool SetLanguage(BPath* folder, const char* language);

	// The text with that index: the selected file's entry when it has one that
	// is not empty (with the two-character sequences backslash-n,
	// backslash-r and backslash-t turned into a line feed, a carriage return
	// and a tab), else the default.
	// An index outside the registered table gives null.
	const char* Text(long index);

	// The language of the selected locale file, or null while the defaults
	// are in effect.
	const char* Language();

	// The language registered with the defaults, or null before that. Valid
	// until the next SetDefaultText.
	const char* DefaultLanguage();

	// The registered id, or null before SetAppID. Valid until the next SetAppID.
	const char* AppID();

	// The number of registered default texts.
	long CountTexts();

private:
	ZTLocale();
	~ZTLocale();
	ZTLocale(const ZTLocale&) = delete;
	ZTLocale& operator=(const ZTLocale&) = delete;

	struct Data;
	std::unique_ptr<Data> mData;
};

#endif // ZT_LOCALE_H
