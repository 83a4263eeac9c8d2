#include "TextFormat.h"

std::string FillPlaceholders(const char* format, std::string_view placeholder,
                             std::initializer_list<std::string_view> values)
{
	std::string text = format != nullptr ? format : "";
	size_t from = 0;
	for (std::string_view value : values) {
		const size_t at = text.find(placeholder, from);
		if (at == std::string::npos)
			break;
		text.replace(at, placeholder.size(), value);
		// Past the value: a value holding the placeholder is not filled again.
		from = at + value.size();
	}
	return text;
}
