#pragma once
// Bit access to the detail-texture word stream. Bit 0 is the most
// significant bit of word 0. A field that still fits in the current word is
// stored most significant bit first; a field of which only m bits fit is
// split: its low m bits end the current word and its high bits start the
// next one. Words are held here as host values; the stream stores them
// little-endian.
//
// Both ends keep up to 64 bits in flight in one register and lay the bits
// out in plain stream order; a straddling field is stored as its two parts
// swapped (a rotation), so runs of one-bits need no special care and a
// Rice code is a handful of shifts.

#include <cstddef>

#include "platform/types.h"

namespace pirn {

// Header bits (width 12, height 12, predictor 2) before the first field.
constexpr u32 kDtexHeaderBits = 26;

// Rice parameter 7: every value of the channel in the block is 0 and
// nothing is stored.
constexpr u32 kDtexAllZero = 7;

inline u32 LowBitMask(u32 n) { return n >= 32 ? 0xFFFFFFFFu : (1u << n) - 1; }

// The n-bit field value as it appears in plain stream order when only
// `room` of its bits fit in the current word: low part first, then high.
inline u32 SplitField(u32 value, u32 n, u32 room) {
    return ((value & LowBitMask(room)) << (n - room)) | (value >> room);
}

// The inverse: the field value from its n bits in plain stream order.
inline u32 JoinSplitField(u32 plain, u32 n, u32 room) {
    return ((plain & LowBitMask(n - room)) << room) | (plain >> (n - room));
}

class DtexBitWriter {
public:
    // `words` must have room for every word the fields fill and the two
    // words of the flush.
    DtexBitWriter(u32* words, u32 header) : words_(words), accumulator_(header), held_(kDtexHeaderBits) {}

    // n is 1..32; value holds no bits above n.
    void PutBits(u32 value, u32 n) {
        const u32 room = 32 - held_;
        Append(n > room ? SplitField(value, n, room) : value, n);
    }

    // The Rice code of value (0..255) with parameter k (0..7).
    [[gnu::always_inline]] void PutRice(u32 value, u32 k) {
        if (k >= kDtexAllZero) return;
        const u32 ones = value >> k;
        // Up to 24 ones the whole code is at most 31 bits: one append.
        if (ones > 24) return PutLongRice(value, k);
        u32 low = value & ((1u << k) - 1);
        const u32 low_start = held_ + ones + 1;
        if (low_start < 32 && low_start + k > 32) {
            const u32 room = 32 - low_start;
            low = ((low & ((1u << room) - 1)) << (k - room)) | (low >> room);
        }
        Append((((u64(1) << ones) - 1) << (k + 1)) | low, ones + 1 + k);
    }

    // Zero-fills the current word and stores one further zero word.
    void Flush() {
        words_[index_++] = held_ == 0 ? 0 : static_cast<u32>(accumulator_ << (32 - held_));
        words_[index_] = 0;
        accumulator_ = 0;
        held_ = 0;
    }

    // Bits already in the current word.
    u32 position() const { return held_; }
    size_t word_index() const { return index_; }

private:
    // n bits in plain stream order, n <= 32.
    void Append(u64 plain, u32 n) {
        accumulator_ = (accumulator_ << n) | plain;
        held_ += n;
        if (held_ >= 32) {
            held_ -= 32;
            words_[index_++] = static_cast<u32>(accumulator_ >> held_);
        }
    }

    [[gnu::noinline]] void PutLongRice(u32 value, u32 k) {
        u32 ones = value >> k;
        for (; ones >= 32; ones -= 32) Append(0xFFFFFFFFu, 32);
        if (ones > 0) Append(LowBitMask(ones), ones);
        Append(0, 1);
        if (k >= 1) PutBits(value & LowBitMask(k), k);
    }

    u32* words_;
    size_t index_ = 0;
    // The low held_ bits are the current word's bits so far.
    u64 accumulator_;
    u32 held_;
};

// Reads any stream safely: past the last word it sees zero bits, which end
// every run of ones, and failed() then reports the overrun. A value past
// 255 fails the reader too. Meant to be copied into a local for a hot
// loop, so that its state lives in registers.
class DtexBitReader {
public:
    DtexBitReader(const u32* words, size_t count) : words_(words), count_(count) {
        Refill<true>();
        Consume(kDtexHeaderBits);
    }

    // n is 1..32.
    u32 ReadBits(u32 n) {
        Refill<true>();
        const u32 room = RoomInWord(held_);
        const u32 plain = static_cast<u32>(buffer_ >> (64 - n));
        Consume(n);
        return n > room ? JoinSplitField(plain, n, room) : plain;
    }

    // A Rice-coded value with parameter k (7: the value 0, nothing
    // stored).
    u32 ReadRice(u32 k) { return k >= kDtexAllZero ? 0 : Rice<true>(k); }

    // Whether the next `codes` Rice codes lie within the words, however
    // long they are, so that ReadRiceInside may read them.
    bool HasWordsFor(u32 codes) const { return next_ <= count_ && count_ - next_ > u64(codes) * kMostWordsPerCode; }
    // k is 0..6.
    u32 ReadRiceInside(u32 k) { return Rice<false>(k); }

    // True once a value was past 255 or a read went past the last word.
    bool failed() const { return failed_ || seen_ > 255 || u64(next_) * 32 - held_ > u64(count_) * 32; }

private:
    // A code reads at most 256 ones (one more fails it), its zero and 6
    // bits: at most 10 words, with one more for a refill on the way.
    static constexpr u32 kMostWordsPerCode = 11;

    // k is 0..6. Kept inline so that the reader's state stays in
    // registers; codes longer than the bits held take the call.
    template <bool kChecked>
    [[gnu::always_inline]] u32 Rice(u32 k) {
        Refill<kChecked>();
        // Fewer than 64 bits are held and the rest are zero, so the run of
        // ones ends within the buffer (if not within the bits held, the
        // code is longer than they are).
        const u32 ones = static_cast<u32>(__builtin_clzll(~buffer_));
        const u32 used = ones + 1 + k;
        if (used > held_) {
            u32 value;
            *this = LongRice(*this, k, &value);
            return value;
        }
        // From the zero-bit on: the zero and the k low bits.
        u32 low = static_cast<u32>((buffer_ << ones) >> (63 - k));
        const u32 room = RoomInWord(held_ - ones - 1);
        // Rare (k in 32 codes): a straddling field's parts swap places.
        if (k > room) low = ((low & ((1u << (k - room)) - 1)) << room) | (low >> (k - room));
        buffer_ <<= used;
        held_ -= used;
        const u32 value = (ones << k) | low;
        // Values past 255 are caught by failed() at the caller's next
        // check rather than here, which saves a test per code.
        seen_ |= value;
        return value;
    }

    // Bits left in the word the next bit belongs to, with `held` bits in
    // flight (which always end on a word boundary).
    static u32 RoomInWord(u32 held) { return ((held - 1) & 31) + 1; }

    // Leaves 32 to 63 bits in flight. Unchecked, the caller has made sure
    // that the word is there.
    template <bool kChecked>
    void Refill() {
        if (held_ < 32) {
            const u64 word = !kChecked || next_ < count_ ? words_[next_] : 0;
            buffer_ |= word << (32 - held_);
            held_ += 32;
            ++next_;
        }
    }

    void Consume(u32 n) {
        buffer_ <<= n;
        held_ -= n;
    }

    // Out of line and by value, so that the inline path's state need not
    // live in memory.
    [[gnu::noinline]] static DtexBitReader LongRice(DtexBitReader reader, u32 k, u32* value) {
        *value = reader.ReadLongRice(k);
        return reader;
    }

    u32 ReadLongRice(u32 k) {
        u32 ones = 0;
        for (;;) {
            Refill<true>();
            const u32 run = static_cast<u32>(__builtin_clzll(~buffer_));
            if (run < held_) {
                ones += run;
                buffer_ = buffer_ << run << 1;
                held_ -= run + 1;
                break;
            }
            ones += held_;
            buffer_ = 0;
            held_ = 0;
            if (ones > 255) return Fail();
        }
        if (ones > (255u >> k)) return Fail();
        return k == 0 ? ones : (ones << k) | ReadBits(k);
    }

    u32 Fail() {
        failed_ = true;
        return 0;
    }

    const u32* words_;
    size_t count_;
    size_t next_ = 0;
    // The next held_ bits of the stream, from the top bit down; the bits
    // below them are zero.
    u64 buffer_ = 0;
    u32 held_ = 0;
    // Every value read on the inline path OR-ed together.
    u32 seen_ = 0;
    bool failed_ = false;
};

}  // namespace pirn
