#include "PoText.h"

void PoText::FromLocale(std::string_view text, std::string* out)
{
	out->clear();
	out->reserve(text.size());
	size_t start = 0;
	for (size_t i = text.find('\\'); i != std::string_view::npos; i = text.find('\\', i + 1)) {
		if (i + 1 >= text.size() || (text[i + 1] != 'n' && text[i + 1] != 't'))
			continue;
		out->append(text, start, i - start);
		*out += text[i + 1] == 'n' ? '\n' : '\t';
		start = i + 2;
		i++;
	}
	out->append(text, start, std::string_view::npos);
}

void PoText::ToLocale(std::string_view text, std::string* out)
{
	out->clear();
	out->reserve(text.size());
	for (const char c : text) {
		if (c == '\n')
			*out += "\\n";
		else if (c == '\t')
			*out += "\\t";
		else
			*out += c;
	}
}
