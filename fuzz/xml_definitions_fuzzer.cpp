// The XML definition files of tag layouts: a file as LoadXmlText reads it
// (the input up to "@@record@@"), its `struct` definitions and `structedit`
// forms registered as at start-up, and then one record of every definition
// read from the bytes after the separator, as a struct editor reads a tag.
// A definition's members lie packed inside its size; a record read and
// written again gives back its bytes; every element the forms would show
// reads inside the record, and an array never claims more elements than it
// has.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editors/struct_array.h"
#include "editors/struct_data.h"
#include "editors/struct_definition.h"
#include "editors/struct_edit_registry.h"
#include "editors/struct_member.h"
#include "editors/struct_registry.h"
#include "editors/struct_values.h"
#include "editors/xml_definitions.h"
#include "editors/xml_editor_registration.h"
#include "fuzz/fuzz_support.h"
#include "platform/scratch_stream.h"

namespace {

void CheckPacked(const pirn::StructDefinition& definition) {
    FUZZ_CHECK(definition.size <= pirn::kMaxStructSize);
    pirn::u64 end = 0;
    for (const auto& member : definition.members) {
        FUZZ_CHECK(member->offset == end);
        end += pirn::u64(member->count) * member->element_size;
        if (member->nested) FUZZ_CHECK(member->element_size == member->nested->size);
    }
    FUZZ_CHECK(end == definition.size);
}

// One record read from the bytes and written again.
std::vector<pirn::u8> ReadAndWrite(pirn::StructData& record, std::vector<pirn::u8> stored) {
    std::FILE* in = pirn::OpenBytesForReading(stored.data(), stored.size());
    FUZZ_CHECK(in != nullptr);
    FUZZ_CHECK(pirn::ReadStruct(record, in) == stored.size());
    std::fclose(in);
    std::FILE* out = pirn::OpenScratchFile();
    FUZZ_CHECK(out != nullptr);
    FUZZ_CHECK(pirn::WriteStruct(record, out) == stored.size());
    std::vector<pirn::u8> written(stored.size());
    std::rewind(out);
    FUZZ_CHECK(std::fread(written.data(), 1, written.size(), out) == written.size());
    std::fclose(out);
    return written;
}

// Reads the record from the bytes (repeated to the record's size); written
// again (padding becomes zero) it reads and writes the same.
void CheckRecord(const pirn::StructDefinition& definition, const std::string& bytes) {
    if (definition.size == 0) return;
    std::vector<pirn::u8> stored(definition.size);
    for (size_t i = 0; i < stored.size(); ++i) stored[i] = bytes.empty() ? pirn::u8(i) : pirn::u8(bytes[i % bytes.size()]);
    pirn::StructData record(definition);
    const std::vector<pirn::u8> written = ReadAndWrite(record, stored);
    pirn::StructData again(definition);
    FUZZ_CHECK(ReadAndWrite(again, written) == written);

    const pirn::StructScope scope{&record, nullptr};
    for (const auto& member : definition.members) {
        const pirn::u32 shown = member->count < 4 ? member->count : 4;
        for (pirn::u32 i = 0; i < shown; ++i) {
            (void)pirn::ReadMemberValue(scope, *member, i);
            (void)pirn::MemberDisplayValue(scope, *member, i);
        }
        if (member->nested) {
            const pirn::u32 in_use = pirn::ArrayCountInUse(scope, *member);
            FUZZ_CHECK(in_use <= member->count);
            for (pirn::u32 i = 0; i < in_use && i < 4; ++i) {
                const pirn::u8* element = pirn::ArrayElementAddress(scope, *member, i);
                FUZZ_CHECK(element != nullptr && element >= record.data() &&
                           element + member->element_size <= record.data() + record.size());
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool silenced = (pirn_fuzz::SilenceLogs(), true);
    (void)silenced;
    const std::vector<std::string> parts = pirn_fuzz::SplitInput(data, size, "@@record@@", 2);
    pirn::FreeXmlDefinitions();
    if (pirn::LoadXmlText("fuzz.xml", parts[0].data(), parts[0].size())) {
        pirn::RegisterXmlEditors(nullptr);
        const std::string record_bytes = parts.size() > 1 ? parts[1] : std::string();
        for (const auto& definition : pirn::GetStructRegistry().definitions) {
            CheckPacked(*definition);
            CheckRecord(*definition, record_bytes);
        }
    }
    pirn::ClearStructEdits();
    pirn::ClearStructRegistry();
    pirn::FreeXmlDefinitions();
    return 0;
}
