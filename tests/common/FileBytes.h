// Whole files as bytes, for tests that compare what was written byte for
// byte or lay out a file before the code under test reads it.
#ifndef TESTS_COMMON_FILE_BYTES_H
#define TESTS_COMMON_FILE_BYTES_H

#include <string>

// The file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

// Replaces the file's contents with bytes, creating it when missing; false
// when it could not be written.
bool WriteFileBytes(const std::string& path, const std::string& bytes);

#endif // TESTS_COMMON_FILE_BYTES_H
