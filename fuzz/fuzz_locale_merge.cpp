// Fuzzing of the load's entry merge: whatever the edited text holds, a save
// after loading gives every entry of the file back at its number, and the
// rest of what the text saved before stays. Input: the edited text, then
// the entries, separated by NUL bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "EditableEntries.h"
#include "LocaleMerge.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	const std::string input((const char*)data, size);
	std::vector<std::string> parts;
	size_t start = 0;
	while (true) {
		const size_t end = input.find('\0', start);
		parts.push_back(
		    input.substr(start, end == std::string::npos ? std::string::npos : end - start));
		if (end == std::string::npos)
			break;
		start = end + 1;
	}
	const std::string text = parts.front();
	// Entries as a loaded file gives them: one line each.
	std::vector<std::string> entries;
	for (size_t i = 1; i < parts.size(); i++)
		entries.push_back(EditableText(parts[i]));

	std::vector<std::string> before;
	LocaleMerge::SaveRefusal refusal;
	const bool saved = LocaleMerge::EntriesForSaving(text, &before, &refusal);
	const std::string merged = LocaleMerge::MergeEntries(text, entries);
	std::vector<std::string> after;
	const bool savedAfter = LocaleMerge::EntriesForSaving(merged, &after, &refusal);
	if (!saved)
		return 0;
	if (!savedAfter || after.size() < entries.size())
		abort();
	for (size_t k = 0; k < entries.size(); k++) {
		if (after[k] != entries[k])
			abort();
	}
	if (LocaleMerge::MergeEntries(merged, entries) != merged)
		abort();
	return 0;
}
