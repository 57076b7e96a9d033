#pragma once
// Tag data as the Codex hands it to a group's reader: a stream open on a
// copy whose data starts at header.data_offset and holds header.data_length
// bytes. The input's first byte is the tag's version (some groups read
// their versions differently); the rest is the data. The data lies behind
// 64 other bytes, as in a tag file, so a reader that ignores the offset
// reads the wrong bytes.
//
// For the round trips: a writer writes into WrittenTag, whose bytes then
// become the input of the next read.

#include <cstdio>
#include <cstring>
#include <vector>

#include "codex/tag_header.h"
#include "fuzz/fuzz_support.h"
#include "platform/scratch_stream.h"

namespace pirn_fuzz {

constexpr pirn::u32 kDataOffset = 64;

class TagDataInput {
public:
    TagDataInput(pirn::u32 group, const uint8_t* data, size_t size) {
        header = pirn::TagHeader{};
        header.identifier = -1;
        header.group = group;
        header.version = size > 0 ? data[0] : 0;
        header.data_offset = kDataOffset;
        const size_t length = size > 1 ? size - 1 : 0;
        file_.assign(kDataOffset + length, 0xEE);
        if (length > 0) std::memcpy(file_.data() + kDataOffset, data + 1, length);
        header.data_length = static_cast<pirn::u32>(file_.size() - kDataOffset);
        stream_ = pirn::OpenBytesForReading(file_.data(), file_.size());
        if (!stream_) CheckFailed("OpenBytesForReading", __FILE__, __LINE__);
    }
    // The data as written by one of our writers, with the version it set.
    TagDataInput(const pirn::TagHeader& written, const std::vector<pirn::u8>& data)
        : TagDataInput(written.group, Versioned(written.version, data).data(), data.size() + 1) {
        header = written;
        header.data_offset = kDataOffset;
        header.data_length = static_cast<pirn::u32>(data.size());
    }
    ~TagDataInput() { std::fclose(stream_); }
    TagDataInput(const TagDataInput&) = delete;
    TagDataInput& operator=(const TagDataInput&) = delete;

    std::FILE* stream() const { return stream_; }
    const pirn::u8* data() const { return file_.data() + kDataOffset; }
    pirn::TagHeader header;

private:
    static std::vector<pirn::u8> Versioned(pirn::u16 version, const std::vector<pirn::u8>& data) {
        std::vector<pirn::u8> bytes(data.size() + 1, static_cast<pirn::u8>(version));
        if (!data.empty()) std::memcpy(bytes.data() + 1, data.data(), data.size());
        return bytes;
    }

    std::vector<pirn::u8> file_;
    std::FILE* stream_ = nullptr;
};

// A stream a writer writes tag data into (at header.data_offset, 64, with
// the header's other fields as a fresh tag has them); Data() gives what it
// wrote there.
class WrittenTag {
public:
    explicit WrittenTag(const pirn::TagHeader& read) : header(read) {
        header.data_offset = kDataOffset;
        header.data_length = 0;
        stream_ = pirn::OpenScratchFile();
        if (!stream_) CheckFailed("tmpfile", __FILE__, __LINE__);
        const std::vector<pirn::u8> filler(kDataOffset, 0xEE);
        if (std::fwrite(filler.data(), 1, filler.size(), stream_) != filler.size())
            CheckFailed("fwrite", __FILE__, __LINE__);
    }
    ~WrittenTag() { std::fclose(stream_); }
    WrittenTag(const WrittenTag&) = delete;
    WrittenTag& operator=(const WrittenTag&) = delete;

    std::FILE* stream() const { return stream_; }
    // Everything from the data offset to the end of the file.
    std::vector<pirn::u8> Data() {
        std::vector<pirn::u8> bytes;
        if (std::fflush(stream_) != 0 || std::fseek(stream_, 0, SEEK_END) != 0) return bytes;
        const long end = std::ftell(stream_);
        if (end < static_cast<long>(kDataOffset) || std::fseek(stream_, kDataOffset, SEEK_SET) != 0) return bytes;
        bytes.resize(static_cast<size_t>(end) - kDataOffset);
        if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) bytes.clear();
        header.data_length = static_cast<pirn::u32>(bytes.size());
        return bytes;
    }
    pirn::TagHeader header;

private:
    std::FILE* stream_ = nullptr;
};

}  // namespace pirn_fuzz
