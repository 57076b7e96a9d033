#pragma once
// The decoder's choice of instructions. Its inner loop is a chain from one
// Rice code to the next (find the first zero-bit, shift past the code);
// the x86 bit-manipulation instructions (LZCNT, BMI2) shorten each link,
// so on x86 the loop exists twice and DecodeDtexStream takes the faster
// one where the processor has it. Both must give the same pixels.

#include <vector>

#include "models/dtex_codec.h"
#include "platform/types.h"

namespace pirn {

enum class DtexInstructions { kBaseline, kBitManipulation };

// Whether this processor runs the kBitManipulation loop (otherwise asking
// for it runs the baseline one).
bool HasDtexBitManipulation();

// DecodeDtexStream with the given instructions.
bool DecodeDtexStreamWith(DtexInstructions instructions, const u32* words, size_t word_count, std::vector<u8>* pixels,
                          u32* width, u32* height);

}  // namespace pirn
