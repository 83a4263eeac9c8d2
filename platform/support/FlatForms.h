// Byte facts of the flattened message forms, shared by the reader
// (MessageUnflatten.cpp) and the writer (MessageFlatten.cpp). Layer-internal.
#ifndef FLAT_FORMS_H
#define FLAT_FORMS_H

#include <cstddef>
#include <limits>

#include "SupportDefs.h"

namespace BPrivate::flat {

inline constexpr uint8 kR5MagicLE[4] = {0x31, 0x42, 0x4f, 0x46};    // "1BOF"
inline constexpr uint8 kR5MagicBE[4] = {0x46, 0x4f, 0x42, 0x31};    // "FOB1"
inline constexpr uint8 kHaikuMagicLE[4] = {0x48, 0x4d, 0x46, 0x31}; // "HMF1"
inline constexpr uint8 kHaikuMagicBE[4] = {0x31, 0x46, 0x4d, 0x48}; // "1FMH"
inline constexpr uint8 kDanoMagicLE[4] = {0x32, 0x42, 0x4f, 0x46};
inline constexpr uint8 kDanoMagicBE[4] = {0x46, 0x4f, 0x42, 0x32};
inline constexpr uint8 kKernelMagicLE[4] = {0x47, 0x73, 0x4d, 0x6b};
inline constexpr uint8 kKernelMagicBE[4] = {0x6b, 0x4d, 0x73, 0x47};

inline constexpr size_t kR5HeaderSize = 17;
inline constexpr size_t kHaikuHeaderSize = 68;
inline constexpr size_t kHaikuFieldSize = 24;
inline constexpr size_t kMaxMessageSize = (size_t)std::numeric_limits<int32>::max();

enum {
	kR5Valid = 0x01,
	kR5Target = 0x02,
	kR5ReplyInfo = 0x04,
	kR5Specifiers = 0x08,

	kFieldValid = 0x01,
	kFieldMini = 0x02,
	kFieldFixed = 0x04,
	kFieldSingle = 0x08,

	kHaikuValid = 0x01,
	kHaikuSpecifiers = 0x20,
	kHaikuInArea = 0x80,

	kHaikuFieldValid = 0x01,
	kHaikuFieldFixed = 0x02,
};

} // namespace BPrivate::flat

#endif // FLAT_FORMS_H
