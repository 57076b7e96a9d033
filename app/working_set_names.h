#pragma once
// The working set kept between runs: the preference CodexWorkingSet, the
// file names of the active archives, each followed by ';'. A ';' or '\'
// inside a name is written with a '\' before it, so that every file name
// comes back whole; lists written without escapes read as they always did
// (file names on the game's first platform could hold neither character).

#include <string>
#include <vector>

namespace pirn {

std::string JoinWorkingSetNames(const std::vector<std::string>& names);
std::vector<std::string> SplitWorkingSetNames(const std::string& text);

// Whether the preference exists; the names it holds go into *names.
bool ReadWorkingSetNames(std::vector<std::string>* names);
void WriteWorkingSetNames(const std::vector<std::string>& names);

}  // namespace pirn
