#include "CommandLineClient.h"

#include <QCoreApplication>

#include "Bus.h"

namespace {

// Qt keeps pointers to these for the life of the process.
int sClientArgc = 1;
char sClientProgram[] = "client";
char* sClientArgv[] = {sClientProgram, nullptr};

} // namespace

namespace BPrivate {

bool start_command_line_client()
{
	// The bus needs only Qt's core application: no platform plugin is
	// loaded, so the client starts quickly and runs without a display.
	if (QCoreApplication::instance() == nullptr)
		new QCoreApplication(sClientArgc, sClientArgv);
	return Bus::Available();
}

} // namespace BPrivate
