#ifndef LOCALE_FILE_TEST_SUPPORT_H
#define LOCALE_FILE_TEST_SUPPORT_H

#include <cstdint>
#include <string>
#include <vector>

#include "ScratchFolder.h"

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<std::string> FolderEntries(const std::string& path);

// What an in place save of bytes over path leaves when its process is killed
// once the file is marked: the complete copy beside path under the name the
// save gives it, the mark naming it, and the first half of the file already
// overwritten. Unmarked: only the copy, as a save that ended just before
// removing it leaves it. Answers the copy's path.
std::string LeaveInterruptedSave(const std::string& path, const std::vector<uint8_t>& bytes,
                                 bool marked);

// The locale message of version "01.00", the editor's own id, "English" and
// the texts "Ok" and "Cancel", flattened: 172 bytes.
extern const std::vector<uint8_t> kGoldenLocaleMessage;

#endif // LOCALE_FILE_TEST_SUPPORT_H
