#pragma once
// Bit access to the detail-texture word stream. Bit 0 is the most
// significant bit of word 0. A field that still fits in the current word is
// stored most significant bit first; a field of which only m bits fit is
// split: its low m bits end the current word and its high bits start the
// next one. Words are held here as host values; the stream stores them
// little-endian.

#include <cstddef>
#include <vector>

#include "platform/types.h"

namespace pirn {

// Header bits (width 12, height 12, predictor 2) before the first field.
constexpr u32 kDtexHeaderBits = 26;

inline u32 LowBitMask(u32 n) { return n >= 32 ? 0xFFFFFFFFu : (1u << n) - 1; }

class DtexBitWriter {
public:
    // `words` must have room for every word the fields fill.
    DtexBitWriter(u32* words, u32 header) : words_(words), accumulator_(header), position_(kDtexHeaderBits) {}

    // n is 1..32; value holds no bits above n.
    void PutBits(u32 value, u32 n) {
        if (position_ + n < 32) {
            accumulator_ = (accumulator_ << n) | value;
            position_ += n;
            return;
        }
        if (position_ + n == 32) {
            words_[index_++] = position_ == 0 ? value : (accumulator_ << n) | value;
            accumulator_ = 0;
            position_ = 0;
            return;
        }
        const u32 fitting = 32 - position_;
        words_[index_++] = (accumulator_ << fitting) | (value & LowBitMask(fitting));
        accumulator_ = value >> fitting;
        position_ = n - fitting;
    }

    // Zero-fills the current word and stores one further zero word.
    void Flush() {
        words_[index_++] = position_ == 0 ? 0 : accumulator_ << (32 - position_);
        words_[index_] = 0;
        accumulator_ = 0;
        position_ = 0;
    }

    u32 position() const { return position_; }
    size_t word_index() const { return index_; }

private:
    u32* words_;
    size_t index_ = 0;
    u32 accumulator_;
    u32 position_;
};

class DtexBitReader {
public:
    DtexBitReader(const u32* words, size_t count) : words_(words), count_(count), position_(kDtexHeaderBits) {}

    // n is 1..32. Reading past the last word fails the reader (0 returned).
    u32 ReadBits(u32 n) {
        if (index_ >= count_) return Fail();
        const u32 word = words_[index_];
        if (position_ + n <= 32) {
            const u32 value = n == 32 ? word : (word >> (32 - position_ - n)) & LowBitMask(n);
            position_ += n;
            if (position_ == 32) Advance();
            return value;
        }
        const u32 fitting = 32 - position_;
        const u32 low = word & LowBitMask(fitting);
        Advance();
        if (index_ >= count_) return Fail();
        const u32 rest = n - fitting;
        position_ = rest;
        return ((words_[index_] >> (32 - rest)) << fitting) | low;
    }

    // Counts one-bits up to the next zero-bit, which is consumed too. Fails
    // once the count passes `limit`.
    u32 ReadUnary(u32 limit) {
        u32 count = 0;
        for (;;) {
            if (index_ >= count_) return Fail();
            const u32 bits = words_[index_] << position_;
            const u32 available = 32 - position_;
            const u32 inverted = ~bits;
            const u32 ones = inverted == 0 ? 32 : static_cast<u32>(__builtin_clz(inverted));
            if (ones < available) {
                count += ones;
                position_ += ones + 1;
                if (position_ == 32) Advance();
                if (count > limit) return Fail();
                return count;
            }
            count += available;
            Advance();
            if (count > limit) return Fail();
        }
    }

    // Hands the position over to a RiceCursor and takes it back.
    size_t word_index() const { return index_; }
    u32 position() const { return position_; }
    void MoveTo(size_t index, u32 position, bool failed) {
        index_ = index;
        position_ = position;
        if (failed) Fail();
    }

    bool failed() const { return failed_; }

private:
    void Advance() {
        ++index_;
        position_ = 0;
    }
    u32 Fail() {
        failed_ = true;
        index_ = count_;
        return 0;
    }

    const u32* words_;
    size_t count_;
    size_t index_ = 0;
    u32 position_;
    bool failed_ = false;
};

// The residual reader of the decoder's inner loop: a value type meant to
// live in registers (stores into pixel rows may alias anything reached
// through a pointer, so the reader's state must not be).
struct RiceCursor {
    const u32* words;
    size_t count;
    size_t index;
    u32 position;
    bool ok;

    // One Rice-coded value with parameter k (7: the value 0, nothing
    // stored). A failure (past the last word, a value past 255) clears ok
    // and gives 0; later reads past the end give 0 too.
    u32 Read(u32 k) {
        if (k >= 7) return 0;
        if (index < count) {
            // Fast path: the whole code lies in the current word.
            const u32 bits = words[index] << position;
            const u32 inverted = ~bits;
            if (inverted != 0) {
                const u32 ones = static_cast<u32>(__builtin_clz(inverted));
                const u32 used = ones + 1 + k;
                if (used <= 32 - position) {
                    const u32 after = static_cast<u32>((u64(bits) << (ones + 1)) & 0xFFFFFFFFu);
                    const u32 low = k ? after >> (32 - k) : 0;
                    position += used;
                    if (position == 32) {
                        ++index;
                        position = 0;
                    }
                    if (ones > (255u >> k)) return Fail();
                    return (ones << k) | low;
                }
            }
        }
        return ReadSlowly(k);
    }

    u32 ReadSlowly(u32 k) {
        u32 ones = 0;
        for (;;) {
            if (index >= count) return Fail();
            const u32 bits = words[index] << position;
            const u32 available = 32 - position;
            const u32 inverted = ~bits;
            const u32 run = inverted == 0 ? 32 : static_cast<u32>(__builtin_clz(inverted));
            if (run < available) {
                ones += run;
                position += run + 1;
                if (position == 32) {
                    ++index;
                    position = 0;
                }
                break;
            }
            ones += available;
            ++index;
            position = 0;
            if (ones > 255) return Fail();
        }
        if (ones > (255u >> k)) return Fail();
        if (k == 0) return ones;
        if (index >= count) return Fail();
        u32 low;
        if (position + k <= 32) {
            low = (words[index] >> (32 - position - k)) & LowBitMask(k);
            position += k;
            if (position == 32) {
                ++index;
                position = 0;
            }
        } else {
            // Straddling: the low bits end this word, the high bits start
            // the next.
            const u32 fitting = 32 - position;
            low = words[index] & LowBitMask(fitting);
            if (++index >= count) return Fail();
            const u32 rest = k - fitting;
            low |= (words[index] >> (32 - rest)) << fitting;
            position = rest;
        }
        return (ones << k) | low;
    }

    u32 Fail() {
        ok = false;
        index = count;
        return 0;
    }
};

}  // namespace pirn
