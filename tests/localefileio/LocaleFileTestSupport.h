#ifndef LOCALE_FILE_TEST_SUPPORT_H
#define LOCALE_FILE_TEST_SUPPORT_H

#include <cstdint>
#include <string>
#include <vector>

#include "ScratchFolder.h"

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<std::string> FolderEntries(const std::string& path);

// The locale message of version "01.00", the editor's own id, "English" and
// the texts "Ok" and "Cancel", flattened: 172 bytes.
extern const std::vector<uint8_t> kGoldenLocaleMessage;

#endif // LOCALE_FILE_TEST_SUPPORT_H
