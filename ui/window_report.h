#pragma once
// A text description of the window tree, written to a file for tools that
// drive the program from outside (the end-to-end tests): everything Pirn
// draws lives inside one native window, so a window manager or xdotool
// cannot tell which of our windows are open, which is on top or whether
// one is waiting for the user. The file is written only when the variable
// PIRN_WINDOW_REPORT names it, and only when the description changed.
//
// Format, one line each, replaced whole (write beside, rename into place):
//   report <n>                    n counts the writes
//   native-dialog <0|1>
//   modal <class>|-               the top of the modal stack
//   focus <class>|-
//   windows <count>               every window below the root, hidden included
//   <depth> <class> <visible|hidden> <x> <y> <w> <h> "<title>"
// Depth 1 is a child of the root. Windows destroyed in this frame (deleted
// at the next step) are left out.

#include <string>

namespace pirn {

constexpr char kWindowReportVariable[] = "PIRN_WINDOW_REPORT";

// The description above without its "report" line.
std::string DescribeWindowTree();

// Writes the report when the variable is set and the tree's description
// changed since the last write. Cheap when the variable is not set.
void PublishWindowReport();

}  // namespace pirn
