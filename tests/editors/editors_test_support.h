#pragma once
// Helpers of the editor suites: big-endian fixture bytes written from the
// format tables, streams over bytes, loading a definitions folder afresh,
// and running the outside tools that check our files.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/types.h"
#include "tests/support/big_endian_bytes.h"

namespace editors_test {

using pirn::i16;
using pirn::u16;
using pirn::u32;
using pirn::u8;

struct Bytes : pirn_test::BigEndianBytes<Bytes> {};

// A temporary stream holding the bytes, positioned at the start; closed by
// the caller.
std::FILE* StreamOf(const std::vector<u8>& bytes);
// Everything the stream holds, from its start.
std::vector<u8> StreamContents(std::FILE* stream);

// Source-tree folder of the definition fixtures.
std::string DefinitionsDir(const std::string& name);
// Drops every definition and form, loads folder and builds the definitions
// and the form list from it, as start-up does.
void LoadDefinitionsFrom(const std::string& folder);
// Drops every definition, form and root.
void ForgetDefinitions();

// Runs a shell command; its standard output, and whether it exited 0.
bool RunCommand(const std::string& command, std::string* output);
// Fails the test (never skips) when the tool is missing: install-deps
// installs every tool the suites use.
void RequireTool(const std::string& name);

}  // namespace editors_test
