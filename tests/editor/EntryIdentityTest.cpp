// Whatever a translator does in whatever order (open a file, show a
// reference, replace, open another file), saving gives every entry back at
// its number: the one the last file put there, as the replaces changed its
// line.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "LocaleMerge.h"
#include "ReferenceWalk.h"
#include "TextSearch.h"

namespace {

using Entries = std::vector<std::string>;

// The entry a translation line's content saves.
std::string EntryOf(const std::string& line)
{
	const Entries entries = LocaleMerge::CollectEntries(line);
	return entries.empty() ? std::string() : entries.front();
}

} // namespace

TEST(EntryIdentity, AnySequenceOfOpenReferenceAndReplaceKeepsEveryEntryAtItsNumber)
{
	std::mt19937 random(23);
	auto pick = [&random](int n) { return (int)(random() % (unsigned)n); };
	const char* const words[] = {"Datei", "", " px", ";-)", "\\x20x", "ID 1", "a ; b", "#ID", ""};
	const char* const needles[] = {"ID", "#", ";", "1", "x", "Datei", "; #ID2:", "\\x"};
	const char* const replacements[] = {"Kennung", "", " ", ";", "\\x20", "; #ID9:"};
	for (int round = 0; round < 1500; round++) {
		std::string text = pick(3) == 0 ? "typed\n  indented\n" : "";
		// Each entry's translation line as the text shows it.
		Entries lines = LocaleMerge::CollectEntries(text);
		std::string trail;
		for (int step = pick(6); step >= 0; step--) {
			switch (pick(3)) {
			case 0: { // a file opened
				Entries file;
				for (int k = pick(12); k > 0; k--)
					file.push_back(words[pick((int)std::size(words))]);
				text = LocaleMerge::MergeEntries(text, file);
				for (size_t k = 0; k < file.size(); k++) {
					const std::string line = LocaleMerge::LineForEntry(file[k]);
					if (k < lines.size())
						lines[k] = line;
					else
						lines.push_back(line);
				}
				trail += "open " + std::to_string(file.size()) + "; ";
				break;
			}
			case 1: { // a reference shown
				std::vector<std::string> references;
				for (int k = pick(14); k > 0; k--)
					references.push_back("Reference " + std::to_string(k));
				const std::vector<std::string_view> views(references.begin(), references.end());
				text = ApplyReplacement(text, LocaleMerge::HasMarkers(text)
				                                  ? ReferenceWalkByMarkers(text, views)
				                                  : ReferenceWalk(text, views));
				trail += "reference " + std::to_string(references.size()) + "; ";
				break;
			}
			default: { // Replace All
				const std::string needle = needles[pick((int)std::size(needles))];
				const std::string replacement = replacements[pick((int)std::size(replacements))];
				text = TextSearch::ReplaceAll(text, needle, replacement, true).text;
				// Each translation line changes as if it stood alone.
				for (std::string& line : lines)
					line = TextSearch::ReplaceAll(line, needle, replacement, true).text;
				trail += "replace '" + needle + "' by '" + replacement + "'; ";
				break;
			}
			}
			Entries saved;
			LocaleMerge::SaveRefusal refusal;
			ASSERT_TRUE(LocaleMerge::EntriesForSaving(text, &saved, &refusal)) << trail << "\n"
			                                                                   << text;
			// Blocks a reference added beyond the file save empty.
			Entries padded;
			for (const std::string& line : lines)
				padded.push_back(EntryOf(line));
			if (padded.size() < saved.size())
				padded.resize(saved.size());
			ASSERT_EQ(saved, padded) << trail << "\n" << text;
		}
	}
}
