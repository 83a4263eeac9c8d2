// The flattened form of a text view's colour and font runs, as the text
// view suite's "text_run_array" carries it (B_RAW_TYPE) and as styled text
// is stored on the original platform. Big-endian throughout:
//   uint32 magic 'Ali!', int32 version 0, int32 count, then count runs of
//   148 bytes each: int32 offset, char family[64], char style[64],
//   float size, float shear, uint16 face, uint8 red, green, blue, alpha,
//   uint16 reserved (0).
// Plain values here, without BFont, so that tools without the interface
// kit can read and write it. Public for such tools (link platform_support);
// the functions keep no state and any thread may call them.
#ifndef _FLAT_RUN_ARRAY_H
#define _FLAT_RUN_ARRAY_H

#include <string>
#include <vector>

#include "GraphicsDefs.h"
#include "SupportDefs.h"

namespace BPrivate {

struct FlatRun
{
	int32 offset = 0;
	std::string family; // at most 63 bytes are kept
	std::string style;
	float size = 0;
	float shear = 90;
	uint16 face = 0;
	rgb_color color = {0, 0, 0, 255};
};

constexpr uint32 kFlatRunArrayMagic = 'Ali!';
constexpr size_t kFlatRunArrayHeaderSize = 12;
constexpr size_t kFlatRunSize = 148;

// The flattened bytes of runs.
std::string flatten_run_array(const std::vector<FlatRun>& runs);

// Reads flattened runs; B_BAD_VALUE, with runs empty, for bytes of another
// magic or version, a count that does not fit the size, or a size that is
// not exactly the header and its runs.
status_t unflatten_run_array(const void* data, size_t size, std::vector<FlatRun>* runs);

} // namespace BPrivate

#endif // _FLAT_RUN_ARRAY_H
