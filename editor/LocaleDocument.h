// The locale file the window edits: which file it is, and whether the
// window holds work a save would write and the last load, save or New did
// not leave. Work is judged by keys of what a save would write (the header
// fields, then the entries), so comments, blank lines and a reference
// loaded into the text never count.
#ifndef LOCALE_DOCUMENT_H
#define LOCALE_DOCUMENT_H

#include <string>
#include <string_view>
#include <vector>

class LocaleDocument
{
public:
	// The file a save writes to; "" for an untitled text.
	const std::string& File() const { return mFile; }
	void SetFile(const std::string& path) { mFile = path; }

	// The key of a state: the header's part (HeaderKey of the header
	// fields' texts in their order), then the text's part: its entries, or
	// where the text cannot be saved (entries null) its bytes. The text's
	// part is kept until TextChanged, for KeyWithHeader.
	static std::string HeaderKey(const std::vector<std::string_view>& fields);
	std::string StateKey(const std::string& headerKey, const std::vector<std::string>* entries,
	                     std::string_view text);
	// The text changed: its kept part no longer stands for it.
	void TextChanged() { mTextKey.clear(); }
	// The key of the text unchanged since its last key with this header;
	// false when the text changed since, and only a walk over it can tell.
	bool KeyWithHeader(const std::string& headerKey, std::string* key) const;

	// What the last load, save or New left (clean), and the state whose
	// Discard the user chose (discarded).
	void MarkClean(std::string key);
	// Unsaved whatever the text: restored work, or a file deleted on disk.
	void MarkUnsaved();
	void Discard(std::string key) { mDiscarded = std::move(key); }
	bool IsUnsaved(const std::string& key) const { return key != mClean; }
	// Nothing to ask about: the state is clean, or the user let it go.
	bool MayLetGo(const std::string& key) const { return key == mClean || key == mDiscarded; }

private:
	std::string mFile;
	std::string mClean;
	std::string mDiscarded;
	std::string mTextKey;
};

#endif // LOCALE_DOCUMENT_H
