// Byte offsets, program edits and the bytes the view keeps.
#include <QTest>

#include <gtest/gtest.h>

#include <random>

#include "TextViewTestSupport.h"
#include "ViewPrivate.h"

TEST(TextViewText, OffsetsCountUtf8Bytes)
{
	RecordingTextView view;
	view.SetText("a\xC3\xA9z\n\xE2\x82\xAC!"); // a, e-acute, z, LF, euro sign, !
	ASSERT_EQ(view.TextLength(), 9);
	EXPECT_EQ(view.ByteAt(1), '\xC3');
	EXPECT_EQ(view.ByteAt(2), '\xA9');
	EXPECT_EQ(view.ByteAt(3), 'z');
	EXPECT_EQ(view.ByteAt(4), '\n');
	EXPECT_EQ(view.ByteAt(8), '!');
	EXPECT_EQ(view.ByteAt(9), 0);
	EXPECT_EQ(view.ByteAt(-1), 0);

	view.Insert(3, "\xF0\x9F\x98\x80", 4); // a character outside the BMP
	EXPECT_EQ(view.Content(), "a\xC3\xA9\xF0\x9F\x98\x80z\n\xE2\x82\xAC!");
	view.Delete(8, 13); // "\n€!" after the new 4 bytes: LF is at 8
	EXPECT_EQ(view.Content(), "a\xC3\xA9\xF0\x9F\x98\x80z");

	// Selections and offsets inside a character move to its first byte.
	view.Select(2, 5);
	int32 start, end;
	view.GetSelection(&start, &end);
	EXPECT_EQ(start, 1);
	EXPECT_EQ(end, 3);
	view.Delete(2, 5);
	EXPECT_EQ(view.Content(), "a\xF0\x9F\x98\x80z");
}

TEST(TextViewText, GetTextCopiesAndTerminatesWithinBounds)
{
	RecordingTextView view;
	view.SetText("one\ntwo\nthree");
	char buffer[32];
	memset(buffer, 'x', sizeof(buffer));
	view.Insert(0, "", 0); // no change, text cache stays as it was
	view.GetText(2, 7, buffer);
	EXPECT_STREQ(buffer, "e\ntwo\nt");
	view.GetText(10, 100, buffer);
	EXPECT_STREQ(buffer, "ree");
	view.GetText(-3, 2, buffer);
	EXPECT_STREQ(buffer, "on");
}

TEST(TextViewText, TextStaysValidUntilTheNextChange)
{
	RecordingTextView view;
	view.SetText("abc");
	const char* first = view.Text();
	EXPECT_EQ(view.Text(), first); // no new copy while nothing changed
	EXPECT_STREQ(first, "abc");
	view.Insert(3, "d", 1);
	EXPECT_STREQ(view.Text(), "abcd");
}

TEST(TextViewText, CarriageReturnsAndSeparatorsAreKeptAsBytes)
{
	RecordingTextView view;
	const std::string text = "a\r\nb\rc\xE2\x80\xA9"
	                         "d\xE2\x80\xA8"
	                         "e\n";
	view.SetText(text.c_str());
	EXPECT_EQ(view.Content(), text);
	// Only the real line feeds end lines.
	view.SetWordWrap(false);
	EXPECT_EQ(view.LineAt(5), 1);
	EXPECT_EQ(view.OffsetAt(1), 3);
	view.Insert(1, "\r", 1);
	EXPECT_EQ(view.Content(), "a\r\r\nb\rc\xE2\x80\xA9"
	                          "d\xE2\x80\xA8"
	                          "e\n");
	view.Delete(0, 3);
	EXPECT_EQ(view.Content(), "\nb\rc\xE2\x80\xA9"
	                          "d\xE2\x80\xA8"
	                          "e\n");
}

TEST(TextViewText, InvalidUtf8IsStoredAsReplacementCharacters)
{
	RecordingTextView view;
	view.SetText("ok\xFF\xC3", 4);
	EXPECT_EQ(view.Content(), "ok\xEF\xBF\xBD\xEF\xBF\xBD");
	// The hook is told what was really stored.
	ASSERT_FALSE(view.calls.empty());
	EXPECT_EQ(view.calls.back().bytes, view.Content());
}

TEST(TextViewText, AnyBytesAreStoredAsTheirUtf8Reading)
{
	// Byte soup rich in the hard cases (overlong forms, surrogates, values
	// past U+10FFFF, cut sequences): stored exactly as Qt's UTF-8 reading
	// of it, through every way in.
	std::mt19937 random(11);
	const unsigned char kBytes[] = {'a',  '\n', 0x7F, 0x80, 0xBF, 0xC0, 0xC1, 0xC2,
	                                0xC3, 0xDF, 0xE0, 0xA0, 0x9F, 0xED, 0xEF, 0xF0,
	                                0x90, 0x8F, 0xF4, 0xF5, 0xFF, 0x00};
	RecordingTextView view;
	for (int round = 0; round < 300; round++) {
		std::string bytes;
		const size_t length = 1 + random() % 24;
		for (size_t i = 0; i < length; i++)
			bytes.push_back((char)kBytes[random() % sizeof(kBytes)]);
		const QByteArray expected =
		    QString::fromUtf8(bytes.data(), (qsizetype)bytes.size()).toUtf8();
		const std::string want(expected.constData(), (size_t)expected.size());

		view.SetText(bytes.data(), (int32)bytes.size());
		ASSERT_EQ(view.Content(), want) << "round " << round;
		view.SetText("");
		view.Insert(0, bytes.data(), (int32)bytes.size());
		ASSERT_EQ(view.Content(), want) << "round " << round;
	}
}

TEST(TextViewText, EditsKeepTheColoursOfTheTextAroundThem)
{
	RecordingTextView view;
	view.SetStylable(true);
	view.SetText("redblue\ngreen");
	const rgb_color red = {255, 0, 0, 255}, blue = {0, 0, 255, 255}, green = {0, 255, 0, 255};
	view.SetFontAndColor(0, 3, nullptr, 0, &red);
	view.SetFontAndColor(3, 7, nullptr, 0, &blue);
	view.SetFontAndColor(8, 13, nullptr, 0, &green);
	auto colour_at = [&](int32 offset) {
		rgb_color color;
		view.GetFontAndColor(offset, nullptr, &color);
		return color == red ? 'R' : color == blue ? 'B' : color == green ? 'G' : '?';
	};
	auto colours = [&] {
		std::string out;
		for (int32 i = 0; i < view.TextLength(); i++)
			out += view.ByteAt(i) == '\n' ? '|' : colour_at(i);
		return out;
	};
	EXPECT_EQ(colours(), "RRRBBBB|GGGGG");
	// Typed text takes the colour before it; program text the view's own.
	view.Select(3, 3);
	QTest::keyClicks(BPrivate::ViewAccess::Widget(&view), "x");
	EXPECT_EQ(colours(), "RRRRBBBB|GGGGG");
	// Joining and splitting paragraphs keeps each part's colours.
	view.Delete(8, 9);
	EXPECT_EQ(view.Content(), "redxbluegreen");
	EXPECT_EQ(colours(), "RRRRBBBBGGGGG");
	view.Insert(6, "\n", 1);
	EXPECT_EQ(colours(), "RRRRBB|BBGGGGG");
	view.Delete(2, 11);
	EXPECT_EQ(view.Content(), "reeen");
	EXPECT_EQ(colours(), "RRGGG");
}

TEST(TextViewText, NullAndEmptyInputsChangeNothing)
{
	RecordingTextView view;
	view.SetText("abc");
	view.calls.clear();
	view.Insert(1, nullptr, 5);
	view.Insert(1, "xyz", 0);
	view.Insert(1, "xyz", -4);
	view.Delete(2, 1);
	view.Delete(-10, 0);
	view.GetText(0, 2, nullptr);
	EXPECT_EQ(view.Content(), "abc");
	EXPECT_TRUE(view.calls.empty());
	view.SetText(nullptr);
	EXPECT_EQ(view.TextLength(), 0);
	view.Insert(50, "z", 1);  // pinned to the end
	view.Insert(-50, "a", 1); // and to the start
	EXPECT_EQ(view.Content(), "az");
}

TEST(TextViewText, InsertAtTheSelectionReplacesItAndMovesTheCaret)
{
	RecordingTextView view;
	view.SetText("hello world");
	view.Select(6, 11);
	view.Insert("there");
	EXPECT_EQ(view.Content(), "hello there");
	int32 start, end;
	view.GetSelection(&start, &end);
	EXPECT_EQ(start, 11);
	EXPECT_EQ(end, 11);
	view.Select(0, 6);
	view.Delete();
	EXPECT_EQ(view.Content(), "there");
}

TEST(TextViewText, LargeTextsKeepEveryByte)
{
	std::string text;
	for (int i = 0; i < 20000; i++)
		text += (i % 3 == 0 ? "; #ID" : "line ") + std::to_string(i) + "\xC3\xA4\n";
	RecordingTextView view;
	view.SetText(text.c_str());
	ASSERT_EQ(view.Content(), text);
	// Edits deep inside land at the right bytes.
	const size_t where = text.find("line 15001");
	view.Insert((int32)where, "X", 1);
	text.insert(where, 1, 'X');
	const size_t from = text.find("line 1"), to = text.find("line 2");
	view.Delete((int32)from, (int32)to);
	text.erase(from, to - from);
	EXPECT_EQ(view.Content(), text);
	for (int32 offset : {0, 1000, 99999, (int32)text.size() - 1})
		EXPECT_EQ(view.ByteAt(offset), text[(size_t)offset]);
}
