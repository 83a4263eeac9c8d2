// The property table of the locale suite as the editor publishes it: the
// tests that read its flattened form and the peer that answers as the
// editor use the same one.
#ifndef TESTS_COMMON_LOCALE_SUITE_PROPERTIES_H
#define TESTS_COMMON_LOCALE_SUITE_PROPERTIES_H

#include "AppDefs.h"
#include "Message.h"
#include "PropertyInfo.h"

// Not const: BPropertyInfo takes the table by a plain pointer.
inline property_info gLocaleSuiteProperties[] = {
    {"DefaultText",
     {B_GET_PROPERTY},
     {B_DIRECT_SPECIFIER},
     "get the default texts for localization",
     0,
     {},
     {},
     {}},
    {"DefaultLanguage",
     {B_GET_PROPERTY},
     {B_DIRECT_SPECIFIER},
     "get the default language name for localization",
     0,
     {},
     {},
     {}},
    {"TextAppID",
     {B_GET_PROPERTY},
     {B_DIRECT_SPECIFIER},
     "get the id for locale files",
     0,
     {},
     {},
     {}},
    {},
};

#endif // TESTS_COMMON_LOCALE_SUITE_PROPERTIES_H
