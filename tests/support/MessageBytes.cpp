#include "MessageBytes.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

std::vector<uint8_t> FromHex(const std::string& hex)
{
	std::vector<uint8_t> bytes;
	int high = -1;
	for (char c : hex) {
		if (!isxdigit((unsigned char)c))
			continue;
		const int digit = isdigit((unsigned char)c) ? c - '0' : (tolower(c) - 'a' + 10);
		if (high < 0) {
			high = digit;
		} else {
			bytes.push_back((uint8_t)(high << 4 | digit));
			high = -1;
		}
	}
	return bytes;
}

std::string ToHex(const std::vector<uint8_t>& bytes)
{
	std::string text;
	char buffer[4];
	for (size_t i = 0; i < bytes.size(); i++) {
		snprintf(buffer, sizeof(buffer), "%02x", bytes[i]);
		text += buffer;
		text += (i % 16 == 15) ? '\n' : ' ';
	}
	return text;
}

std::vector<uint8_t> FlattenToBytes(const BMessage& message)
{
	const ssize_t size = message.FlattenedSize();
	if (size < 0)
		return {};
	std::vector<uint8_t> bytes((size_t)size);
	if (message.Flatten((char*)bytes.data(), size) != B_OK)
		return {};
	return bytes;
}

std::vector<uint8_t> Patched(const std::vector<uint8_t>& bytes, size_t offset,
                             const std::vector<uint8_t>& patch)
{
	std::vector<uint8_t> copy = bytes;
	std::copy(patch.begin(), patch.end(), copy.begin() + (ptrdiff_t)offset);
	return copy;
}

void Put16(std::vector<uint8_t>& out, uint16_t value, bool bigEndian)
{
	if (bigEndian) {
		out.push_back((uint8_t)(value >> 8));
		out.push_back((uint8_t)value);
	} else {
		out.push_back((uint8_t)value);
		out.push_back((uint8_t)(value >> 8));
	}
}

void Put32(std::vector<uint8_t>& out, uint32_t value, bool bigEndian)
{
	if (bigEndian) {
		Put16(out, (uint16_t)(value >> 16), true);
		Put16(out, (uint16_t)value, true);
	} else {
		Put16(out, (uint16_t)value, false);
		Put16(out, (uint16_t)(value >> 16), false);
	}
}

void PutHaikuField(std::vector<uint8_t>& out, const HaikuField& field, bool bigEndian)
{
	Put16(out, field.flags, bigEndian);
	Put16(out, field.nameLength, bigEndian);
	Put32(out, field.type, bigEndian);
	Put32(out, field.count, bigEndian);
	Put32(out, field.dataSize, bigEndian);
	Put32(out, field.offset, bigEndian);
	Put32(out, 0xffffffff, bigEndian); // the last field of its hash slot
}

std::vector<uint8_t> R5Message(uint32_t what, const std::vector<uint8_t>& fields, bool bigEndian)
{
	std::vector<uint8_t> bytes;
	Put32(bytes, 'FOB1', bigEndian);
	Put32(bytes, 0, bigEndian); // checksum
	Put32(bytes, (uint32_t)(17 + fields.size() + 1), bigEndian);
	Put32(bytes, what, bigEndian);
	bytes.push_back(0x01); // flags: valid
	bytes.insert(bytes.end(), fields.begin(), fields.end());
	bytes.push_back(0); // end of the fields
	return bytes;
}

std::vector<uint8_t> HaikuExample(bool bigEndian)
{
	std::vector<uint8_t> out;
	Put32(out, 0x31464D48, bigEndian); // '1FMH'
	Put32(out, 'RPLY', bigEndian);
	Put32(out, 0x01, bigEndian); // flags: valid
	for (int i = 0; i < 6; i++)  // target, current specifier, area, reply port/target/team
		Put32(out, 0xffffffff, bigEndian);
	Put32(out, 22, bigEndian); // data size
	Put32(out, 2, bigEndian);  // field count
	Put32(out, 5, bigEndian);  // hash table size
	const int32_t hash[5] = {-1, 1, -1, -1, 0};
	for (int32_t slot : hash)
		Put32(out, (uint32_t)slot, bigEndian);
	// field 0: "a", CSTR, 1 item, 10 bytes at 0
	PutHaikuField(out, {1, 2, 'CSTR', 1, 10, 0}, bigEndian);
	// field 1: "b", LONG, fixed, 2 items, 8 bytes at 12
	PutHaikuField(out, {3, 2, 'LONG', 2, 8, 12}, bigEndian);
	out.push_back('a');
	out.push_back(0);
	Put32(out, 6, bigEndian);
	for (char c : std::string("hello"))
		out.push_back((uint8_t)c);
	out.push_back(0);
	out.push_back('b');
	out.push_back(0);
	Put32(out, 1, bigEndian);
	Put32(out, 2, bigEndian);
	return out;
}
