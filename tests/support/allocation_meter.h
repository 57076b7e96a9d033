#pragma once
// Counts what a test program holds through operator new, so that a test can
// tell how much a reader took for an input, to the byte and whatever the
// process held before (its peak resident set only ever grows).
//
// Only programs that link pirn_allocation_meter have it (the test suites and
// fuzz harnesses that measure a reader): linking it replaces the program's
// operator new and delete.

#include <cstddef>

namespace pirn_test {

class AllocationMeter {
public:
    // Starts measuring from what is held now.
    AllocationMeter();
    AllocationMeter(const AllocationMeter&) = delete;
    AllocationMeter& operator=(const AllocationMeter&) = delete;

    // The most held at once since the meter started, above what was held
    // when it started.
    size_t PeakBytes() const;

private:
    size_t start_;
};

}  // namespace pirn_test
