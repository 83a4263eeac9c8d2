// The header fields of the editor window, read and changed from outside.
#include <Errors.h>

#include "EditorFixture.h"

namespace {

class HeaderFieldsTest : public EditorFixture
{
};

TEST_F(HeaderFieldsTest, FieldsTakeWhatIsSetAndGiveItBack)
{
	// What hey is given, and what the field then holds: a version that reads
	// as a number is quoted to stay a string.
	struct Field
	{
		const char* name;
		const char* value;
		const char* text;
	} fields[] = {
	    {"txtctrl_version", "\"01.02\"", "01.02"},
	    {"txtctrl_appid", "application/x-vnd.some-app with spaces",
	     "application/x-vnd.some-app with spaces"},
	    {"txtctrl_language", "Français", "Français"},
	};
	for (const Field& field : fields) {
		HeyResult set =
		    Hey({"set", "Text", "of", "View", field.name, "of", "Window", "0", "to", field.value});
		ASSERT_EQ(0, set.exitCode) << field.name << ": " << set.out << set.err;
	}
	for (const Field& field : fields) {
		HeyResult get = Hey({"get", "Text", "of", "View", field.name, "of", "Window", "0"});
		ASSERT_EQ(0, get.exitCode) << get.err;
		EXPECT_EQ(field.text, ResultString(get)) << field.name;
	}
	// Unquoted, the version is a number, which a text field refuses.
	HeyResult number =
	    Hey({"set", "Text", "of", "View", "txtctrl_version", "of", "Window", "0", "to", "01.03"});
	EXPECT_EQ(1, number.exitCode);
	EXPECT_NE(std::string::npos, number.out.find(std::to_string(B_BAD_VALUE))) << number.out;
	// A quoted name is the same name.
	HeyResult quoted =
	    Hey({"get", "Text", "of", "View", "\"txtctrl_version\"", "of", "Window", "0"});
	EXPECT_EQ("01.02", ResultString(quoted));
}

TEST_F(HeaderFieldsTest, LabelsAreTheInterfaceTexts)
{
	HeyResult label = Hey({"get", "Label", "of", "View", "txtctrl_version", "of", "Window", "0"});
	ASSERT_EQ(0, label.exitCode) << label.err;
	EXPECT_EQ("Version:", ResultString(label));
	label = Hey({"get", "Label", "of", "View", "btn_fileload", "of", "Window", "0"});
	EXPECT_EQ("Load...", ResultString(label));
}

TEST_F(HeaderFieldsTest, ADisabledButtonRefusesToBePressed)
{
	const std::vector<std::string> button = {"View", "btn_filesave", "of", "Window", "0"};
	// Setting needs a value.
	EXPECT_EQ(1, Hey(Of({"set", "Enabled"}, button)).exitCode);
	HeyResult disable =
	    Hey({"set", "Enabled", "of", "View", "btn_filesave", "of", "Window", "0", "to", "false"});
	ASSERT_EQ(0, disable.exitCode) << disable.out;
	EXPECT_FALSE(ResultBool(Hey(Of({"get", "Enabled"}, button))));

	HeyResult press = Hey({"do", "View", "btn_filesave", "of", "Window", "0"});
	EXPECT_EQ(1, press.exitCode) << press.out;
	EXPECT_NE(std::string::npos, press.out.find("\"error\" (B_INT32_TYPE)"));

	ASSERT_EQ(
	    0, Hey({"set", "Enabled", "of", "View", "btn_filesave", "of", "Window", "0", "to", "true"})
	           .exitCode);
	EXPECT_TRUE(ResultBool(Hey(Of({"get", "Enabled"}, button))));
}

} // namespace
