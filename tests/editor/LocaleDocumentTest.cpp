// The judgement of unsaved work, without a window: which states get the
// same key, and what a load, save, Discard or restored work make of them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LocaleDocument.h"

namespace {

typedef std::vector<std::string> Entries;

std::string Key(LocaleDocument& document, std::vector<std::string_view> header,
                const Entries* entries, std::string_view text = "")
{
	return document.StateKey(LocaleDocument::HeaderKey(header), entries, text);
}

} // namespace

TEST(LocaleDocument, StatesASaveWouldWriteAlikeShareAKeyAndNoOthers)
{
	LocaleDocument document;
	const Entries entries = {"Gut", "Abbrechen"};
	const std::string base = Key(document, {"1.0", "app", "Deutsch"}, &entries);
	const Entries moved = {"GutAbbrechen", ""};
	const Entries more = {"Gut", "Abbrechen", ""};
	struct Case
	{
		const char* what;
		std::string key;
		bool same;
	} cases[] = {
	    {"the same header and entries, whatever the text's bytes",
	     Key(document, {"1.0", "app", "Deutsch"}, &entries, "; a comment\n"), true},
	    {"another version", Key(document, {"1.1", "app", "Deutsch"}, &entries), false},
	    {"a header's bytes moved between fields",
	     Key(document, {"1.0a", "pp", "Deutsch"}, &entries), false},
	    {"an entry's bytes moved into another", Key(document, {"1.0", "app", "Deutsch"}, &moved),
	     false},
	    {"an empty entry more", Key(document, {"1.0", "app", "Deutsch"}, &more), false},
	    {"a text that cannot be saved, by its bytes",
	     Key(document, {"1.0", "app", "Deutsch"}, nullptr, "Gut\nAbbrechen\n"), false},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.what);
		EXPECT_EQ(test.key == base, test.same);
	}
	EXPECT_EQ(Key(document, {}, nullptr, "a\nb"), Key(document, {}, nullptr, "a\nb"));
	EXPECT_NE(Key(document, {}, nullptr, "a\nb"), Key(document, {}, nullptr, "a\nc"));
}

TEST(LocaleDocument, AHeaderEditIsJudgedWithoutTheTextUntilTheTextChanges)
{
	LocaleDocument document;
	const Entries entries = {"Gut"};
	std::string key;
	EXPECT_FALSE(document.KeyWithHeader(LocaleDocument::HeaderKey({"1.0"}), &key));
	Key(document, {"1.0"}, &entries);
	const std::string header = LocaleDocument::HeaderKey({"2.0"});
	ASSERT_TRUE(document.KeyWithHeader(header, &key));
	EXPECT_EQ(key, Key(document, {"2.0"}, &entries));
	document.TextChanged();
	EXPECT_FALSE(document.KeyWithHeader(header, &key));
}

TEST(LocaleDocument, WhatALoadSaveDiscardOrRestoreLeavesUnsaved)
{
	LocaleDocument document;
	const std::string a = "state a", b = "state b";
	document.MarkClean(a);
	EXPECT_FALSE(document.IsUnsaved(a));
	EXPECT_TRUE(document.IsUnsaved(b));
	EXPECT_TRUE(document.MayLetGo(a));
	EXPECT_FALSE(document.MayLetGo(b));

	// Discard lets go of exactly the state it was asked about.
	document.Discard(b);
	EXPECT_TRUE(document.MayLetGo(b));
	EXPECT_TRUE(document.IsUnsaved(b));
	EXPECT_FALSE(document.MayLetGo("state c"));
	// A later load or save forgets it.
	document.MarkClean(a);
	EXPECT_FALSE(document.MayLetGo(b));

	// Restored work is unsaved whatever the text, until the next clean state.
	document.Discard(b);
	document.MarkUnsaved();
	EXPECT_TRUE(document.IsUnsaved(a));
	EXPECT_FALSE(document.MayLetGo(a));
	EXPECT_FALSE(document.MayLetGo(b));
}
