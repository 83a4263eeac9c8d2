// The shapes of row that the standard suites' tables are made of, so that a
// table reads one property a line. Layer-internal.
#ifndef PROPERTY_ROWS_H
#define PROPERTY_ROWS_H

#include "AppDefs.h"
#include "Message.h"
#include "PropertyInfo.h"

namespace BPrivate {

// A value of the target itself that a get reads and a set changes.
constexpr property_info get_set_row(const char* name, type_code type, const char* usage)
{
	return {name, {B_GET_PROPERTY, B_SET_PROPERTY}, {B_DIRECT_SPECIFIER}, usage, 0, {type}, {}, {}};
}

// A value of the target itself that only reads.
constexpr property_info get_row(const char* name, type_code type, const char* usage)
{
	return {name, {B_GET_PROPERTY}, {B_DIRECT_SPECIFIER}, usage, 0, {type}, {}, {}};
}

// How many of its elements called name the target holds, as an int32.
constexpr property_info count_row(const char* name, const char* usage)
{
	return {name, {B_COUNT_PROPERTIES}, {B_DIRECT_SPECIFIER}, usage, 0, {B_INT32_TYPE}, {}, {}};
}

// The target's elements by index, reverse index or name: a request goes on
// to the element, whatever its command.
constexpr property_info element_row(const char* name, const char* usage)
{
	property_info row = {};
	row.name = name;
	row.specifiers[0] = B_INDEX_SPECIFIER;
	row.specifiers[1] = B_REVERSE_INDEX_SPECIFIER;
	row.specifiers[2] = B_NAME_SPECIFIER;
	row.usage = usage;
	return row;
}

} // namespace BPrivate

#endif // PROPERTY_ROWS_H
