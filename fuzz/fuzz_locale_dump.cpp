// localetool's dump and compile: any locale body whose dump says nothing is
// lost must compile back to the same message, whatever bytes its texts and
// header hold.
#include <cstdint>
#include <cstdlib>
#include <string>

#include <Message.h>

#include "LocaleSource.h"

namespace {

std::string Flat(const BMessage& message)
{
	const ssize_t size = message.FlattenedSize();
	if (size <= 0)
		abort();
	std::string bytes((size_t)size, '\0');
	if (message.Flatten(bytes.data(), size) != B_OK)
		abort();
	return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	BMessage message;
	if (message.Unflatten((const char*)data, size) != B_OK)
		return 0;
	LocaleSource source;
	std::string lost;
	if (!source.FromMessage(message, &lost)) {
		if (lost.empty())
			abort();
		return 0;
	}
	LocaleSource again;
	std::string error;
	if (again.Parse(source.Format(), &error) != B_OK)
		abort();
	BMessage compiled;
	again.ToMessage(&compiled);
	if (Flat(compiled) != Flat(message))
		abort();
	return 0;
}
