#ifndef TEXT_CHANGE_H
#define TEXT_CHANGE_H

#include <string>
#include <string_view>

// The smallest single replacement that turns before into after: the bytes
// [from, to) of before are replaced by replacement. Both ends fall on UTF-8
// character boundaries. Used to apply a recomputed text to a text view with
// one deletion and one insertion.
struct TextChange
{
	size_t from;
	size_t to;
	std::string_view replacement; // inside the after text given
};

TextChange SmallestChange(std::string_view before, std::string_view after);

#endif // TEXT_CHANGE_H
