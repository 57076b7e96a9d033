#pragma once
// A scratch game whose local folder holds a terrain's tags, hand-built:
// the mesh (version 11), its collection, and optionally its detail map,
// media and detail textures; and the loaded editor data of the mesh.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "codex/codex.h"
#include "models/dtex_codec.h"
#include "models/mesh_edit_load.h"
#include "platform/file_system.h"
#include "tests/codex/codex_test_fixture.h"
#include "tests/models/terrain_fixture.h"

namespace terrain_fixture {

class TerrainCodexTest : public codex_fixture::CodexTest {
protected:
    void SetUp() override {
        CodexTest::SetUp();
        // The palette file lives in the working folder's res/.
        ASSERT_TRUE(pirn::PushDirectory(dir.path()));
        pirn::MakeDirectory(dir.path() + "/res");
    }
    void TearDown() override {
        pirn::PopDirectory();
        CodexTest::TearDown();
    }

    void AddTag(const char* label, u32 group, u32 id, const std::string& name, const std::vector<u8>& data,
                u16 version = 1) {
        codex_fixture::Tag tag{group, id, name, data};
        tag.version = version;
        WriteLocal(label, name, codex_fixture::TagFile(tag));
    }
    void AddMesh(const MeshSpec& spec, const std::string& name = "Valley") {
        AddTag("Meshes", Code("mesh"), Code("vall"), name, MeshData(spec), 11);
    }
    // One plain collection for a mesh of `blocks` blocks: block b's colour
    // index b + 10, shade 0, a grey palette.
    void AddCollection(u32 blocks, const std::string& name = "Valley Colours", u32 id = Code("tcol")) {
        TerrainCollection t;
        for (int i = 0; i < 256; ++i) t.colors[i][0] = t.colors[i][1] = t.colors[i][2] = u8(i);
        for (u32 b = 0; b < blocks; ++b) {
            t.colour_index.push_back([b](u32, u32) { return u8(b + 10); });
            t.shade.push_back([](u32, u32) { return u8(0); });
        }
        AddTag("Collections", Code(".256"), id, name, TerrainCollectionData(t), 4);
    }
    void AddDetailTexture(u32 id, const std::string& name, u32 side) {
        std::vector<u8> rgb(size_t(side) * side * 3, 128), stream;
        pirn::EncodeDtexBytes(rgb.data(), side, side, &stream);
        Bytes b;
        b.U32(side).U32(side).U32(0).U32(0).Append(stream);
        AddTag("Detail Textures", Code("dtex"), id, name, b.data);
    }
    void Rescan() { pirn::PollLocalFolder(true); }

    // Loads the mesh tag into fresh editor data; null when the load fails.
    std::unique_ptr<pirn::MeshEditData> Load(pirn::MeshLoadResult* result = nullptr, bool bordered = true) {
        Rescan();
        pirn::TagEntry* tag = pirn::FindTag(Code("mesh"), Code("vall"));
        if (!tag) return nullptr;
        pirn::TagHeader header{};
        std::FILE* stream = pirn::OpenTagForReading(tag, &header);
        if (!stream) return nullptr;
        auto data = std::make_unique<pirn::MeshEditData>();
        pirn::MeshLoadResult ignored;
        const int ok = pirn::LoadMeshEditData(data.get(), stream, header, bordered, result ? result : &ignored);
        pirn::CloseTagForReading(tag);
        return ok ? std::move(data) : nullptr;
    }

    std::string DmapFile(const std::string& name) const { return Local() + "Detail Maps/" + name; }
    // The data part of a tag file.
    static std::vector<u8> TagData(const std::string& path) {
        std::vector<u8> bytes = pirn_test::ReadAll(path);
        return bytes.size() < 64 ? std::vector<u8>() : std::vector<u8>(bytes.begin() + 64, bytes.end());
    }
};

}  // namespace terrain_fixture
