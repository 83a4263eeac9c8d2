// The worked example of docs/protocol.md: a program in another language asks
// a running application for its texts, with nothing but the bus tools.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "BusTestSupport.h"

using namespace apptest;

namespace {

std::string run_command(const std::string& command)
{
	std::string output;
	FILE* pipe = popen(command.c_str(), "r");
	if (pipe == nullptr)
		return output;
	char buffer[4096];
	size_t count;
	while ((count = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
		output.append(buffer, count);
	pclose(pipe);
	return output;
}

std::string example_script()
{
	return std::string(LE_SOURCE_DIR) + "/tests/app/ask_default_text.py";
}

} // namespace

TEST_F(BusTest, ScriptWithTheBusToolsFetchesTheDefaultTexts)
{
	if (system("command -v python3 >/dev/null && command -v dbus-send >/dev/null") != 0)
		GTEST_SKIP() << "python3 or dbus-send missing";
	Watchdog watchdog(60);
	run_app(app.get(), [&] {
		auto peer = StartPeer("locale_peer", {"--texts=38", "--language=Norsk"});
		std::string texts =
		    run_command("python3 '" + example_script() + "' " + localeSignature + " 2>&1");
		std::string expected;
		for (int i = 0; i < 38; i++)
			expected += "Default text " + std::to_string(i) + "\n";
		EXPECT_EQ(expected, texts);
		EXPECT_EQ("Norsk\n", run_command("python3 '" + example_script() + "' " + localeSignature +
		                                 " DefaultLanguage 2>&1"));
	});
}
