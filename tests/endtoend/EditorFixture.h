// One editor for all tests of a suite: starting it costs far more than a
// request.
#ifndef TESTS_ENDTOEND_EDITOR_FIXTURE_H
#define TESTS_ENDTOEND_EDITOR_FIXTURE_H

#include <gtest/gtest.h>

#include <memory>

#include "EditorViewNames.h"
#include "EndToEnd.h"

class EditorFixture : public testing::Test
{
protected:
	static void SetUpTestSuite()
	{
		sEditor = new EditorSession;
		sAnswering = sEditor->WaitUntilAnswering(std::chrono::seconds(30));
	}
	static void TearDownTestSuite()
	{
		delete sEditor;
		sEditor = nullptr;
	}
	void SetUp() override { ASSERT_TRUE(sAnswering) << "the editor did not start answering"; }

	static HeyResult Hey(const std::vector<std::string>& words) { return sEditor->Hey(words); }

	static inline EditorSession* sEditor = nullptr;
	static inline bool sAnswering = false;
};

// Where the locale text lies, by the name the window gives it.
inline const std::vector<std::string> kLocaleText = {"View", kLocaleTextView, "of", "Window", "0"};

// words followed by "of" and then where.
inline std::vector<std::string> Of(std::vector<std::string> words,
                                   const std::vector<std::string>& where)
{
	words.push_back("of");
	words.insert(words.end(), where.begin(), where.end());
	return words;
}

// The editor's windows, its alerts and panels included; -1 without an
// answer.
inline int CountWindows(const EditorSession& editor)
{
	const std::vector<int> count = ResultInts(editor.Hey({"count", "Window"}));
	return count.size() == 1 ? count[0] : -1;
}

inline std::string LocaleText(const EditorSession& editor)
{
	return ResultString(editor.Hey(Of({"get", "Text"}, kLocaleText)));
}

inline HeyResult SetLocaleText(const EditorSession& editor, const std::string& text)
{
	std::vector<std::string> words = Of({"set", "Text"}, kLocaleText);
	words.insert(words.end(), {"to", text});
	return editor.Hey(words);
}

#endif // TESTS_ENDTOEND_EDITOR_FIXTURE_H
