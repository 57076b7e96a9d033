#pragma once
// Shared pieces of the models tests: tag-data files opened as streams with
// the header a tag file of that data would have.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "codex/tag_header.h"
#include "tests/codex/codex_fixture_bytes.h"
#include "tests/support/test_support.h"

namespace models_fixture {

using pirn::fixture::BigEndianBuffer;
using codex_fixture::Code;
using pirn::u16;
using pirn::u32;
using pirn::u8;

// Tag data written behind a 64-byte gap, as in a tag file, and the stream
// and header to read it with.
class DataFile {
public:
    DataFile(const std::vector<u8>& data, u16 version) {
        std::vector<u8> bytes(64 + data.size(), 0xAB);
        std::copy(data.begin(), data.end(), bytes.begin() + 64);
        pirn_test::WriteAll(dir_.file("data"), bytes);
        stream_ = std::fopen(dir_.file("data").c_str(), "rb");
        header_.data_offset = 64;
        header_.data_length = u32(data.size());
        header_.version = version;
    }
    ~DataFile() {
        if (stream_) std::fclose(stream_);
    }
    std::FILE* stream() const { return stream_; }
    const pirn::TagHeader& header() const { return header_; }

private:
    pirn_test::TempDir dir_;
    std::FILE* stream_ = nullptr;
    pirn::TagHeader header_{};
};

// Bytes written by a writer that takes (stream, header at data offset 64):
// the data part of the file.
template <class Writer>
std::vector<u8> WrittenData(Writer write) {
    pirn_test::TempDir dir;
    std::FILE* f = std::fopen(dir.file("out").c_str(), "w+b");
    pirn::TagHeader header{};
    header.data_offset = 64;
    const bool ok = write(f, &header);
    std::fclose(f);
    if (!ok) return {};
    std::vector<u8> bytes = pirn_test::ReadAll(dir.file("out"));
    return std::vector<u8>(bytes.begin() + 64, bytes.end());
}

}  // namespace models_fixture
