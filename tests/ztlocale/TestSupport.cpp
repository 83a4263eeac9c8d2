// The temporary folder and byte helpers are shared with the locale file tests.
#include "../localefileio/LocaleFileTestSupport.cpp"
