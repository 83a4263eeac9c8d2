// Feeds arbitrary bytes to every way of unflattening a message. Whatever is
// accepted must flatten and read back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "DataIO.h"
#include "Message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	BMessage message;
	if (message.Unflatten(data, size) == B_OK) {
		const ssize_t flatSize = message.FlattenedSize();
		if (flatSize < 0)
			abort();
		std::vector<char> bytes((size_t)flatSize);
		if (message.Flatten(bytes.data(), flatSize) != B_OK)
			abort();
		BMessage copy;
		if (copy.Unflatten(bytes.data(), bytes.size()) != B_OK)
			abort();
		std::vector<char> again((size_t)copy.FlattenedSize());
		if (copy.Flatten(again.data(), (ssize_t)again.size()) != B_OK || again != bytes)
			abort();
		// Exercise the typed look-ups on whatever arrived.
		for (int32 i = 0; i < message.CountNames(B_ANY_TYPE); i++) {
			const char* name;
			type_code type;
			int32 count;
			if (message.GetInfo(B_ANY_TYPE, i, &name, &type, &count) != B_OK)
				abort();
			const char* string;
			BMessage nested;
			entry_ref ref;
			int32 value;
			message.FindString(name, count - 1, &string);
			message.FindMessage(name, &nested);
			message.FindRef(name, &ref);
			message.FindInt32(name, &value);
		}
		int32 index;
		BMessage specifier;
		int32 form;
		const char* property;
		message.GetCurrentSpecifier(&index, &specifier, &form, &property);
	} else if (!message.IsEmpty()) {
		abort();
	}
	BMemoryIO stream(data, size);
	BMessage fromStream;
	fromStream.Unflatten(&stream);
	return 0;
}
