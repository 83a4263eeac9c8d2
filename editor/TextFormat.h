#ifndef TEXT_FORMAT_H
#define TEXT_FORMAT_H

#include <initializer_list>
#include <string>
#include <string_view>

// Fills a translated format: the first occurrence of placeholder gets the
// first value, the next one the second, and so on; placeholders beyond the
// values stay as they are. A translation comes from a locale file, so it
// never reaches printf: any other '%' stays as written.
std::string FillPlaceholders(const char* format, std::string_view placeholder,
                             std::initializer_list<std::string_view> values);

#endif // TEXT_FORMAT_H
