#include "FlatRunArray.h"

#include <algorithm>
#include <cstring>

namespace BPrivate {

namespace {

const int32 kVersion = 0;
const size_t kNameBytes = 64;

void put32(std::string* out, uint32 value)
{
	const char bytes[4] = {(char)(value >> 24), (char)(value >> 16), (char)(value >> 8),
	                       (char)value};
	out->append(bytes, 4);
}

void put_float(std::string* out, float value)
{
	uint32 bits;
	memcpy(&bits, &value, 4);
	put32(out, bits);
}

void put_name(std::string* out, const std::string& name)
{
	char bytes[kNameBytes] = {};
	memcpy(bytes, name.data(), std::min(name.size(), kNameBytes - 1));
	out->append(bytes, kNameBytes);
}

uint32 get32(const uint8* at)
{
	return ((uint32)at[0] << 24) | ((uint32)at[1] << 16) | ((uint32)at[2] << 8) | (uint32)at[3];
}

float get_float(const uint8* at)
{
	const uint32 bits = get32(at);
	float value;
	memcpy(&value, &bits, 4);
	return value;
}

std::string get_name(const uint8* at)
{
	const char* text = reinterpret_cast<const char*>(at);
	return std::string(text, strnlen(text, kNameBytes - 1));
}

} // namespace

std::string flatten_run_array(const std::vector<FlatRun>& runs)
{
	std::string out;
	out.reserve(kFlatRunArrayHeaderSize + runs.size() * kFlatRunSize);
	put32(&out, kFlatRunArrayMagic);
	put32(&out, (uint32)kVersion);
	put32(&out, (uint32)runs.size());
	for (const FlatRun& run : runs) {
		put32(&out, (uint32)run.offset);
		put_name(&out, run.family);
		put_name(&out, run.style);
		put_float(&out, run.size);
		put_float(&out, run.shear);
		const char tail[8] = {(char)(run.face >> 8),
		                      (char)run.face,
		                      (char)run.color.red,
		                      (char)run.color.green,
		                      (char)run.color.blue,
		                      (char)run.color.alpha,
		                      0,
		                      0};
		out.append(tail, 8);
	}
	return out;
}

status_t unflatten_run_array(const void* data, size_t size, std::vector<FlatRun>* runs)
{
	runs->clear();
	const uint8* bytes = static_cast<const uint8*>(data);
	if (bytes == nullptr || size < kFlatRunArrayHeaderSize || get32(bytes) != kFlatRunArrayMagic ||
	    (int32)get32(bytes + 4) != kVersion)
		return B_BAD_VALUE;
	const int32 count = (int32)get32(bytes + 8);
	if (count < 0 || (size - kFlatRunArrayHeaderSize) / kFlatRunSize != (size_t)count ||
	    (size - kFlatRunArrayHeaderSize) % kFlatRunSize != 0)
		return B_BAD_VALUE;
	runs->reserve((size_t)count);
	for (int32 i = 0; i < count; i++) {
		const uint8* at = bytes + kFlatRunArrayHeaderSize + (size_t)i * kFlatRunSize;
		FlatRun run;
		run.offset = (int32)get32(at);
		run.family = get_name(at + 4);
		run.style = get_name(at + 4 + kNameBytes);
		run.size = get_float(at + 4 + 2 * kNameBytes);
		run.shear = get_float(at + 8 + 2 * kNameBytes);
		const uint8* tail = at + 12 + 2 * kNameBytes;
		run.face = (uint16)((tail[0] << 8) | tail[1]);
		run.color = {tail[2], tail[3], tail[4], tail[5]};
		runs->push_back(std::move(run));
	}
	return B_OK;
}

} // namespace BPrivate
