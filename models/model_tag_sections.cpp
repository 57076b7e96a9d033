#include "models/model_tag_sections.h"

namespace pirn {

namespace {

bool SeekTo(std::FILE* stream, u64 position) {
    if (position > 0x7FFFFFFFFFFFFFFFull) return false;
    return fseeko(stream, static_cast<off_t>(position), SEEK_SET) == 0;
}

}  // namespace

bool WriteTagSections(std::FILE* stream, const TagHeader& tag, u32 start, const TagSection* sections, int count,
                      u32* total) {
    const u64 base = u64{tag.data_offset} + start;
    if (!SeekTo(stream, base)) return false;
    u64 sum = 0;
    for (int i = 0; i < count; ++i) {
        const TagSection& section = sections[i];
        // An empty section goes where the previous one ended: its stored
        // offset, never checked on reading as nothing is read there, may
        // lie anywhere, and seeking there made a tag of a few hundred bytes
        // a gigabyte long or left the offset outside the data written.
        if (section.count > 0 && *section.offset != 0 && !SeekTo(stream, base + *section.offset)) return false;
        const off_t here = ftello(stream);
        if (here < 0 || static_cast<u64>(here) < base || static_cast<u64>(here) - base > 0xFFFFFFFFu) return false;
        *section.offset = static_cast<u32>(static_cast<u64>(here) - base);
        u32 written = 0;
        if (section.count > 0) {
            written = WriteRecords(section.records, section.count, section.layout, stream);
            if (written == 0) return false;
        }
        *section.size = written;
        sum += written;
    }
    if (sum > 0xFFFFFFFFu) return false;
    *total = static_cast<u32>(sum);
    return true;
}

bool WriteTagSectionHeader(std::FILE* stream, const TagHeader& tag, const void* header, const StructLayout* layout) {
    return SeekTo(stream, tag.data_offset) && WriteRecords(header, 1, layout, stream) == LayoutDiskSize(layout);
}

bool ReadTagSectionHeader(std::FILE* stream, const TagHeader& tag, void* header, const StructLayout* layout) {
    if (tag.data_length < LayoutDiskSize(layout)) return false;
    return SeekTo(stream, tag.data_offset) && ReadRecords(header, 1, layout, stream) == LayoutDiskSize(layout);
}

bool TagSectionFits(const TagHeader& tag, u32 start, u32 offset, u32 count, const StructLayout* layout) {
    return count == 0 || u64{start} + offset + u64{count} * LayoutDiskSize(layout) <= tag.data_length;
}

bool ReadTagSection(std::FILE* stream, const TagHeader& tag, u32 start, u32 offset, u32 count,
                    const StructLayout* layout, void* records) {
    if (count == 0) return true;
    if (!TagSectionFits(tag, start, offset, count, layout)) return false;
    if (!SeekTo(stream, u64{tag.data_offset} + start + offset)) return false;
    return ReadRecords(records, count, layout, stream) == u64{count} * LayoutDiskSize(layout);
}

}  // namespace pirn
