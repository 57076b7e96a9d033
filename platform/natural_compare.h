#pragma once
// Natural-order comparison of names: runs of digits compare by value, so
// "file2" sorts before "file10"; letters compare without regard to case.

namespace pirn {

// Returns -1, 0 or 1. Null sorts first (both null: 0). Names that the
// natural order holds equal ("A" and "a", "x7" and "x007") are then ordered
// bytewise, so only identical texts compare 0: folder listings merged by this
// order never collapse two distinct files into one.
int NaturalCompare(const char* a, const char* b);

// The natural order alone, without the bytewise tie-break.
int NaturalCompareLoose(const char* a, const char* b);

}  // namespace pirn
