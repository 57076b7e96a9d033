#pragma once
// Helpers of the editor suites: big-endian fixture bytes written from the
// format tables, streams over bytes, loading a definitions folder afresh,
// and running the outside tools that check our files.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/types.h"

namespace editors_test {

using pirn::i16;
using pirn::u16;
using pirn::u32;
using pirn::u8;

struct Bytes {
    std::vector<u8> data;
    Bytes& U8(u8 v) {
        data.push_back(v);
        return *this;
    }
    Bytes& U16(u16 v) { return U8(u8(v >> 8)).U8(u8(v)); }
    Bytes& I16(int v) { return U16(u16(i16(v))); }
    Bytes& U32(u32 v) { return U16(u16(v >> 16)).U16(u16(v)); }
    Bytes& Code(const char (&text)[5]) {
        for (int i = 0; i < 4; ++i) U8(u8(text[i]));
        return *this;
    }
    // Exactly n bytes: the text, then zeros.
    Bytes& Text(const std::string& text, size_t n) {
        for (size_t i = 0; i < n; ++i) U8(i < text.size() ? u8(text[i]) : 0);
        return *this;
    }
    Bytes& CString(const std::string& text) { return Text(text, text.size() + 1); }
    Bytes& Fill(size_t n, u8 v) {
        data.insert(data.end(), n, v);
        return *this;
    }
    Bytes& Append(const std::vector<u8>& more) {
        data.insert(data.end(), more.begin(), more.end());
        return *this;
    }
    size_t size() const { return data.size(); }
};

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
