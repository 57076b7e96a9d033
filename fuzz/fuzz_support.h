#pragma once
// Shared by the fuzz harnesses: the libFuzzer entry point, a scratch folder
// for readers that take a path, input splitting, and a check that stops the
// run (a finding) when an invariant of a reader breaks.
//
// Every harness is an ordinary C++ file defining LLVMFuzzerTestOneInput, so
// the same file builds into a libFuzzer program (clang, scripts/fuzz) and
// into a replay program that any compiler builds (fuzz/replay_main.cpp).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace pirn_fuzz {

// A folder of this process's own, made at the first call and removed at exit.
const std::string& ScratchFolder();
// Writes the bytes to ScratchFolder() + "/" + relative (parent folders made)
// and returns the path; aborts when the file cannot be written (a harness
// that silently reads nothing would find nothing).
std::string WriteScratchFile(const std::string& relative, const uint8_t* data, size_t size);
// Empties the scratch folder (the folder itself stays).
void ClearScratchFolder();

// Readers log every refusal; a fuzzer makes millions of them.
void SilenceLogs();

// Splits the input at every occurrence of separator (which libFuzzer learns
// from the comparisons it sees); at most max_parts parts, the last one
// keeping the rest.
std::vector<std::string> SplitInput(const uint8_t* data, size_t size, const std::string& separator,
                                    size_t max_parts);

[[noreturn]] void CheckFailed(const char* condition, const char* file, int line);

}  // namespace pirn_fuzz

// An invariant of the reader under test: its failure aborts, which libFuzzer
// reports with the input and the replay test reports as a crash.
#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : pirn_fuzz::CheckFailed(#condition, __FILE__, __LINE__))
