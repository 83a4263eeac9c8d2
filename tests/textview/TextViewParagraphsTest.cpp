// The paragraph index against a plain vector doing the same edits.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "TextViewParagraphs.h"

using BPrivate::ParagraphPlace;
using BPrivate::ParagraphText;
using BPrivate::TextParagraph;
using BPrivate::TextViewParagraphs;

namespace {

// A paragraph as the tests keep it, with its bytes in a string of its own.
struct ModelParagraph
{
	std::string text;
	int32_t lines = 1;
	bool dirty = true;
};

ModelParagraph make_paragraph(std::mt19937& random)
{
	ModelParagraph paragraph;
	paragraph.text.assign(random() % 7, 'x');
	paragraph.lines = 1 + (int32_t)(random() % 4);
	paragraph.dirty = random() % 2 == 0;
	return paragraph;
}

// Paragraphs lending the model's bytes to the index.
std::vector<TextParagraph> lend(const std::vector<ModelParagraph>& model)
{
	std::vector<TextParagraph> paragraphs(model.size());
	for (size_t i = 0; i < model.size(); i++) {
		paragraphs[i].text = ParagraphText::Borrow(model[i].text);
		paragraphs[i].lines = model[i].lines;
		paragraphs[i].dirty = model[i].dirty;
	}
	return paragraphs;
}

// count texts of size bytes of a letter, each ending in its number.
std::vector<std::string> numbered_texts(int count, size_t size)
{
	std::vector<std::string> texts;
	for (int i = 0; i < count; i++)
		texts.push_back(std::string(size, (char)('a' + i % 26)) + std::to_string(i));
	return texts;
}

// The whole text of tree becomes texts, one paragraph each.
void replace_all(TextViewParagraphs& tree, const std::vector<std::string>& texts)
{
	tree.Replace(0, tree.Count(), texts.size(), [&](size_t i, TextParagraph& paragraph) {
		paragraph.text = ParagraphText::Borrow(texts[i]);
	});
}

// Sums over a plain vector: the expected place of paragraph `index`.
ParagraphPlace expected_place(const std::vector<ModelParagraph>& model, int32_t index)
{
	ParagraphPlace place;
	place.index = index;
	for (int32_t i = 0; i < index; i++) {
		place.byte += (int64_t)model[i].text.size() + 1;
		place.line += model[i].lines;
	}
	return place;
}

void expect_same_place(const ParagraphPlace& actual, const ParagraphPlace& expected)
{
	EXPECT_EQ(actual.index, expected.index);
	EXPECT_EQ(actual.byte, expected.byte);
	EXPECT_EQ(actual.line, expected.line);
}

} // namespace

TEST(TextViewParagraphs, RandomReplacementsKeepSumsAndLookupsRight)
{
	std::mt19937 random(7);
	TextViewParagraphs tree;
	std::vector<ModelParagraph> model(1);
	for (int round = 0; round < 400; round++) {
		const int32_t first = (int32_t)(random() % (model.size() + 1));
		int32_t count = (int32_t)(random() % 4);
		count = std::min<int32_t>(count, (int32_t)model.size() - first);
		std::vector<ModelParagraph> items;
		const int32_t added = (int32_t)(random() % (round % 50 == 0 ? 300 : 4));
		for (int32_t i = 0; i < added; i++)
			items.push_back(make_paragraph(random));
		if ((int32_t)model.size() - count + added == 0)
			items.push_back(make_paragraph(random));
		model.erase(model.begin() + first, model.begin() + first + count);
		model.insert(model.begin() + first, items.begin(), items.end());
		tree.Replace(first, count, lend(items));

		ASSERT_EQ(tree.Count(), (int32_t)model.size());
		const ParagraphPlace end = expected_place(model, (int32_t)model.size());
		ASSERT_EQ(tree.Bytes(), end.byte);
		ASSERT_EQ(tree.Lines(), end.line);

		// Every paragraph is found by its index, its first and last byte
		// and its first and last visual line.
		for (int32_t i = 0; i < (int32_t)model.size(); i += 1 + (int32_t)(random() % 5)) {
			const ParagraphPlace place = expected_place(model, i);
			expect_same_place(tree.FindByIndex(i), place);
			expect_same_place(tree.FindByByte(place.byte), place);
			expect_same_place(tree.FindByByte(place.byte + (int64_t)model[i].text.size()), place);
			expect_same_place(tree.FindByLine(place.line), place);
			expect_same_place(tree.FindByLine(place.line + model[i].lines - 1), place);
			EXPECT_EQ(tree.At(i).text.View(), model[i].text);
			EXPECT_EQ(tree.Paragraph(tree.FindByLine(place.line)).text.View(), model[i].text);
		}
	}
}

TEST(TextViewParagraphs, EditsInPlaceKeepTheSumsOfEveryNodeAboveTheParagraph)
{
	// Long paragraphs here and there among short ones, edited where their
	// bytes lie: every node on the way down to one sums it anew, whichever
	// way the walk turned there.
	std::mt19937 random(11);
	std::vector<ModelParagraph> model;
	for (int i = 0; i < 400; i++) {
		ModelParagraph paragraph = make_paragraph(random);
		if (i % 37 == 5)
			paragraph.text.assign(70000 + i, 'L');
		model.push_back(std::move(paragraph));
	}
	TextViewParagraphs tree;
	tree.Reset(lend(model));
	int edited = 0;
	for (int32_t index = 5; index < (int32_t)model.size(); index += 37) {
		ModelParagraph& paragraph = model[(size_t)index];
		// Made anew, as typing first does, it lies alone in a block of
		// its own with room to grow.
		tree.Replace(index, 1, lend({paragraph}));
		for (int round = 0; round < 20; round++) {
			const size_t at = random() % paragraph.text.size();
			const size_t removed = std::min<size_t>(random() % 40, paragraph.text.size() - at);
			const std::string inserted(random() % 60, 'i');
			const int32_t lines = 1 + (int32_t)(random() % 30);
			if (!tree.EditInPlace(index, at, removed, inserted,
			                      [&](TextParagraph& edited) { edited.lines = lines; }))
				continue;
			edited++;
			paragraph.text.replace(at, removed, inserted);
			paragraph.lines = lines;
		}
	}
	ASSERT_GT(edited, 100) << "the long paragraphs were not edited in place";

	const ParagraphPlace end = expected_place(model, (int32_t)model.size());
	EXPECT_EQ(tree.Bytes(), end.byte);
	EXPECT_EQ(tree.Lines(), end.line);
	for (int32_t i = 0; i < (int32_t)model.size(); i++) {
		const ParagraphPlace place = expected_place(model, i);
		expect_same_place(tree.FindByLine(place.line + model[i].lines - 1), place);
		expect_same_place(tree.FindByByte(place.byte + (int64_t)model[i].text.size()), place);
	}
	std::string joined;
	for (size_t i = 0; i < model.size(); i++)
		joined += (i > 0 ? "\n" : "") + model[i].text;
	std::string collected;
	tree.Collect(&collected);
	EXPECT_EQ(collected, joined);
}

TEST(TextViewParagraphs, ByteRangesCopyTheJoinedTextByTreeAndByTable)
{
	std::mt19937 random(3);
	std::vector<ModelParagraph> items;
	std::string joined;
	for (int i = 0; i < 3000; i++) {
		ModelParagraph paragraph;
		paragraph.text.assign(random() % 9, (char)('a' + i % 26));
		joined += (i > 0 ? "\n" : "") + paragraph.text;
		items.push_back(std::move(paragraph));
	}
	TextViewParagraphs tree;
	tree.Reset(lend(items));
	ASSERT_EQ(tree.Bytes() - 1, (int64_t)joined.size());

	auto check = [&](const char* how) {
		for (int round = 0; round < 200; round++) {
			const int64_t from = (int64_t)(random() % joined.size());
			const int64_t count = (int64_t)(random() % (joined.size() - (size_t)from + 1));
			std::string copied((size_t)count, '?');
			tree.CopyBytes(from, count, copied.data());
			ASSERT_EQ(copied, joined.substr((size_t)from, (size_t)count))
			    << how << ": " << from << " +" << count;
			// The place found through the table agrees with the tree's.
			EXPECT_EQ(tree.LocateByte(from).index, tree.FindByByte(from).index) << how;
		}
	};
	check("tree"); // few lookups since the change: the tree answers
	for (int i = 0; i < 5000; i++)
		tree.LocateByte((int64_t)(random() % joined.size()));
	check("table"); // many: the in-order table answers

	// Large replacements carry the table along; a small one drops it.
	std::vector<std::string> model;
	{
		size_t start = 0;
		while (true) {
			const size_t feed = joined.find('\n', start);
			model.push_back(joined.substr(start, feed - start));
			if (feed == std::string::npos)
				break;
			start = feed + 1;
		}
	}
	for (int round = 0; round < 12; round++) {
		const int32_t total = (int32_t)model.size();
		const bool large = round % 3 != 2;
		const int32_t first = (int32_t)(random() % (size_t)total);
		const int32_t count = (int32_t)std::min<size_t>(
		    large ? total / 4 + random() % (size_t)(total / 4) : random() % 3,
		    (size_t)(total - first));
		const size_t made = large ? 500 + random() % 800 : random() % 3;
		std::vector<std::string> texts;
		for (size_t i = 0; i < made; i++)
			texts.push_back(std::string(random() % 12, (char)('A' + i % 26)));
		if (total - count + (int32_t)made == 0)
			texts.push_back("last");
		tree.Replace(first, count, texts.size(), [&](size_t i, TextParagraph& paragraph) {
			paragraph.text = ParagraphText::Borrow(texts[i]);
		});
		model.erase(model.begin() + first, model.begin() + first + count);
		model.insert(model.begin() + first, texts.begin(), texts.end());
		joined.clear();
		for (size_t i = 0; i < model.size(); i++)
			joined += (i > 0 ? "\n" : "") + model[i];
		ASSERT_EQ(tree.Bytes() - 1, (int64_t)joined.size());
		ASSERT_EQ(tree.Count(), (int32_t)model.size());
		for (int32_t i = 0; i < tree.Count(); i += 1 + (int32_t)(random() % 50))
			ASSERT_EQ(tree.At(i).text.View(), model[(size_t)i]) << "round " << round;
		check(large ? "table carried along" : "table dropped");
		// Collecting and freeing go through the table while it is right:
		// a node freed by mistake would show here or in a later round.
		std::string collected;
		tree.Collect(&collected);
		ASSERT_EQ(collected, joined) << "round " << round;
		for (int i = 0; i < 5000; i++)
			tree.LocateByte((int64_t)(random() % joined.size()));
	}
}

TEST(TextViewParagraphs, LookupsOutsideTheTextArePinned)
{
	std::vector<TextParagraph> items(3);
	items[0].text = ParagraphText::Borrow("ab");
	items[1].text = ParagraphText::Borrow("cd");
	TextViewParagraphs tree;
	tree.Reset(std::move(items));
	// "ab\ncd\n": bytes 0..6, the empty last paragraph starts at 6.
	EXPECT_EQ(tree.Bytes() - 1, 6);
	EXPECT_EQ(tree.FindByByte(-5).index, 0);
	EXPECT_EQ(tree.FindByByte(2).index, 0); // the line feed belongs to its line
	EXPECT_EQ(tree.FindByByte(3).index, 1);
	EXPECT_EQ(tree.FindByByte(6).index, 2);
	EXPECT_EQ(tree.FindByByte(600).index, 2);
	EXPECT_EQ(tree.FindByLine(99).index, 2);
}

TEST(TextViewParagraphs, FlushCountsOnlyDirtyParagraphsWithTheirIndex)
{
	std::vector<ModelParagraph> items(5);
	for (int i = 0; i < 5; i++) {
		items[i].text = std::string((size_t)i, 'a');
		items[i].dirty = i % 2 == 0;
	}
	TextViewParagraphs tree;
	tree.Reset(lend(items));
	EXPECT_EQ(tree.DirtyCount(), 3);
	std::vector<int32_t> seen;
	tree.FlushDirty([&](TextParagraph& paragraph, int32_t index) {
		EXPECT_EQ(paragraph.text.size(), (size_t)index);
		seen.push_back(index);
		paragraph.lines = 2;
	});
	std::sort(seen.begin(), seen.end());
	EXPECT_EQ(seen, (std::vector<int32_t>{0, 2, 4}));
	EXPECT_EQ(tree.DirtyCount(), 0);
	EXPECT_EQ(tree.Lines(), 8);
	tree.MarkAllDirty();
	EXPECT_EQ(tree.DirtyCount(), 5);

	std::string text;
	tree.Collect(&text);
	EXPECT_EQ(text, "\na\naa\naaa\naaaa");
}

TEST(TextViewParagraphs, BytesStayRightAcrossManyBlocksAndReplacements)
{
	// Enough bytes for many blocks, one paragraph larger than a block, and
	// replacements that empty some blocks while others stay in use.
	std::mt19937 random(11);
	auto make_text = [&](size_t i) {
		const size_t size = i % 97 == 5 ? 200000 : random() % 3000;
		std::string text(size, (char)('a' + i % 26));
		if (!text.empty())
			text[random() % size] = (char)('A' + random() % 26);
		return text;
	};
	std::vector<std::string> model;
	for (size_t i = 0; i < 800; i++)
		model.push_back(make_text(i));
	TextViewParagraphs tree;
	replace_all(tree, model);
	for (int round = 0; round < 60; round++) {
		const int32_t total = (int32_t)model.size();
		const int32_t first = (int32_t)(random() % (size_t)total);
		const int32_t count = (int32_t)std::min<size_t>(random() % (round % 5 == 0 ? 400 : 4),
		                                                (size_t)(total - first));
		std::vector<std::string> texts;
		const size_t made = random() % (round % 5 == 0 ? 400 : 4);
		for (size_t i = 0; i < made; i++)
			texts.push_back(make_text(i + (size_t)round));
		if (total - count + (int32_t)made == 0)
			texts.push_back("last");
		model.erase(model.begin() + first, model.begin() + first + count);
		model.insert(model.begin() + first, texts.begin(), texts.end());
		tree.Replace(first, count, texts.size(), [&](size_t i, TextParagraph& paragraph) {
			paragraph.text = ParagraphText::Borrow(texts[i]);
		});
		// The lent bytes change afterwards: the index has its own copy.
		for (std::string& text : texts)
			std::fill(text.begin(), text.end(), '#');
		ASSERT_EQ(tree.Count(), (int32_t)model.size());
		for (int32_t i = 0; i < tree.Count(); i++)
			ASSERT_EQ(tree.At(i).text.View(), model[(size_t)i]) << "round " << round << " at " << i;
	}
	std::string joined, collected;
	for (size_t i = 0; i < model.size(); i++)
		joined += (i > 0 ? "\n" : "") + model[i];
	tree.Collect(&collected);
	EXPECT_EQ(collected, joined);
}

TEST(TextViewParagraphs, ThinnedOutTextGivesItsBlocksBack)
{
	// 16,000 paragraphs of 1,000 bytes fill about 250 blocks; deleting all
	// but every 64th, a few at a time, leaves a paragraph in every block.
	std::vector<std::string> model = numbered_texts(16000, 1000);
	TextViewParagraphs tree;
	replace_all(tree, model);
	int64_t full = tree.BlockBytes();
	EXPECT_GE(full, 16000 * 1000);
	for (int32_t kept = 0; kept < (int32_t)model.size(); kept++) {
		const int32_t count = std::min<int32_t>(63, (int32_t)model.size() - kept - 1);
		tree.Replace(kept + 1, count, 0, [](size_t, TextParagraph&) {});
		model.erase(model.begin() + kept + 1, model.begin() + kept + 1 + count);
	}
	ASSERT_EQ(tree.Count(), (int32_t)model.size());
	int64_t live = 0;
	for (int32_t i = 0; i < tree.Count(); i++) {
		ASSERT_EQ(tree.At(i).text.View(), model[(size_t)i]) << i;
		live += (int64_t)model[(size_t)i].size();
	}
	// What is left takes a few blocks, not all that the full text took.
	EXPECT_LE(tree.BlockBytes(), std::max<int64_t>(2 * live, 16 * 64 * 1024));
	EXPECT_LT(tree.BlockBytes(), full / 4);
}

TEST(TextViewParagraphs, ParagraphsOfTheIndexItselfCanReplaceThemselves)
{
	// Copies of the index's paragraphs show its own bytes, which replacing
	// those paragraphs frees: the index copies them out first.
	std::vector<std::string> model = numbered_texts(300, 900);
	TextViewParagraphs tree;
	replace_all(tree, model);
	auto expect_model = [&](const char* how) {
		ASSERT_EQ(tree.Count(), (int32_t)model.size()) << how;
		for (int32_t i = 0; i < tree.Count(); i++)
			ASSERT_EQ(tree.At(i).text.View(), model[(size_t)i]) << how << " at " << i;
	};

	std::vector<TextParagraph> reversed;
	for (int32_t i = tree.Count(); i-- > 0;)
		reversed.push_back(tree.At(i));
	tree.Replace(0, tree.Count(), std::move(reversed));
	std::reverse(model.begin(), model.end());
	expect_model("replaced by its own paragraphs");

	std::vector<TextParagraph> again;
	for (int32_t i = 0; i < tree.Count(); i += 2)
		again.push_back(tree.At(i));
	tree.Reset(std::move(again));
	std::vector<std::string> halved;
	for (size_t i = 0; i < model.size(); i += 2)
		halved.push_back(model[i]);
	model.swap(halved);
	expect_model("reset to its own paragraphs");
}
