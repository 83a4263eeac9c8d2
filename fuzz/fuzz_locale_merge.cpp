// Differential fuzzing of the load's entry merge: the fast merge must give
// exactly what a literal replay of the load gives. Input: the edited text,
// then the entries, separated by NUL bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "LiteralLoad.h"
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
	const std::vector<std::string> entries(parts.begin() + 1, parts.end());
	const std::string fast = LocaleMerge::MergeEntries(text, entries);
	const std::string literal = LiteralLoad(text).Merge(entries);
	if (fast != literal)
		abort();
	// Each of the merge's two ways on its own, where it answers.
	std::string inOrder;
	if (LocaleMerge::Detail::MergeEntriesInOrder(text, entries, &inOrder) && inOrder != literal)
		abort();
	if (LocaleMerge::Detail::MergeEntriesInTree(text, entries) != literal)
		abort();
	LocaleMerge::CollectEntries(fast);
	std::vector<std::string> saved;
	LocaleMerge::DoubledEntry doubled;
	LocaleMerge::EntriesForSaving(fast, &saved, &doubled);
	return 0;
}
