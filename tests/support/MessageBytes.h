// Helpers for tests that work on flattened bytes.
#ifndef TEST_MESSAGE_BYTES_H
#define TEST_MESSAGE_BYTES_H

#include <cstdint>
#include <string>
#include <vector>

#include "Message.h"

// "31 42 4f 46 ..." -> bytes (white space ignored).
std::vector<uint8_t> FromHex(const std::string& hex);
std::string ToHex(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> FlattenToBytes(const BMessage& message);
// A copy of bytes with patch written over it at offset.
std::vector<uint8_t> Patched(const std::vector<uint8_t>& bytes, size_t offset,
                             const std::vector<uint8_t>& patch);

// Appends 16/32-bit numbers in the chosen byte order.
void Put16(std::vector<uint8_t>& out, uint16_t value, bool bigEndian);
void Put32(std::vector<uint8_t>& out, uint32_t value, bool bigEndian);

// One entry of the Haiku native field table; the field is the last of its
// hash slot.
struct HaikuField
{
	uint16_t flags;
	uint16_t nameLength;
	uint32_t type;
	uint32_t count;
	uint32_t dataSize;
	uint32_t offset;
};
void PutHaikuField(std::vector<uint8_t>& out, const HaikuField& field, bool bigEndian);

// An R5 flattened message of what around fields (each already flattened):
// magic, checksum 0, size, what, flags valid, the fields, the end mark.
std::vector<uint8_t> R5Message(uint32_t what, const std::vector<uint8_t>& fields, bool bigEndian);

// The worked example "a" = "hello", "b" = 1, 2, what 'RPLY', in the Haiku
// native form, built field by field.
std::vector<uint8_t> HaikuExample(bool bigEndian);

#endif
