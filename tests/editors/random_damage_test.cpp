// Damaged input: good dialog tags, sound tags and definition files with
// random bytes changed, cut off or inserted. Readers refuse or read them,
// never run past their data, and what they read holds together.

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <random>
#include <string>
#include <vector>

#include "editors/dialog_data.h"
#include "editors/sound_data.h"
#include "editors/struct_registry.h"
#include "editors/xml_definitions.h"
#include "platform/records.h"
#include "platform/scratch_stream.h"
#include "tests/editors/editors_test_support.h"
#include "tests/editors/sound_fixture.h"
#include "tests/support/test_support.h"
#include "platform/log_capture.h"

using namespace pirn;
using namespace editors_test;

namespace {

constexpr int kRounds = 1500;

// Flips, overwrites with extreme values, cuts or grows the bytes.
std::vector<u8> Damage(std::vector<u8> bytes, std::mt19937& random) {
    const int edits = 1 + int(random() % 6);
    for (int e = 0; e < edits && !bytes.empty(); ++e) {
        const size_t at = random() % bytes.size();
        switch (random() % 6) {
            case 0: bytes[at] ^= u8(1u << (random() % 8)); break;
            case 1: bytes[at] = 0xFF; break;
            case 2: bytes[at] = 0; break;
            case 3: bytes[at] = u8(random()); break;
            case 4: bytes.resize(at); break;
            default: bytes.insert(bytes.begin() + at, u8(random())); break;
        }
    }
    return bytes;
}

std::vector<u8> GoodDialog() {
    Bytes b;
    b.U16(2).U16(3).I16(0).I16(0).I16(480).I16(640);
    const char* types[] = {"butt", "stat", "edit"};
    for (int i = 0; i < 3; ++i)
        b.Text(types[i], 4).U16(0).U16(u16(i + 1)).Fill(8, 0).I16(10 * i).I16(20).I16(10 * i + 30).I16(200);
    b.CString("Play").CString("").CString("Name");
    return b.data;
}

}  // namespace

TEST(RandomDamage, DialogReaderRefusesOrReadsConsistently) {
    std::mt19937 random(1913);
    const std::vector<u8> good = GoodDialog();
    for (int round = 0; round < kRounds; ++round) {
        const std::vector<u8> bytes = Damage(good, random);
        // Sometimes the header's length disagrees with the bytes as well.
        const u32 length = random() % 4 == 0 ? u32(random() % (bytes.size() + 40)) : u32(bytes.size());
        std::FILE* f = StreamOf(bytes);
        DialogData dialog;
        const u32 read = ReadDialog(&dialog, f, length);
        std::fclose(f);
        if (read == 0) continue;
        ASSERT_LE(read, length);
        // What was read writes and reads back the same.
        std::FILE* out = pirn::OpenScratchFile();
        const u32 written = WriteDialog(dialog, out);
        ASSERT_GT(written, 0u) << round;
        std::rewind(out);
        DialogData again;
        ASSERT_EQ(ReadDialog(&again, out, written), written) << round;
        std::fclose(out);
        ASSERT_EQ(again.controls.size(), dialog.controls.size());
        for (size_t i = 0; i < dialog.controls.size(); ++i) {
            EXPECT_EQ(again.controls[i].text, dialog.controls[i].text);
            EXPECT_EQ(again.controls[i].rect, dialog.controls[i].rect);
        }
    }
}

TEST(RandomDamage, SoundReaderRefusesOrDecodesWithinTheData) {
    std::mt19937 random(1066);
    const std::vector<u8> good = SoundTagData({{"Roar", 1, 16, 1, 22050, {SilentPacket(), RisingPacket()}},
                                               {"Gust", 2, 16, 1, 11025, {LoudPacket(), FloorPacket(), SilentPacket()}},
                                               {"Hush", 1, 16, 0, 8000, {}}});
    for (int round = 0; round < kRounds; ++round) {
        const std::vector<u8> bytes = Damage(good, random);
        const u32 length = random() % 4 == 0 ? u32(random() % (bytes.size() + 40)) : u32(bytes.size());
        std::FILE* f = StreamOf(bytes);
        SoundData sound;
        const bool ok = ReadSoundData(&sound, f, 0, length);
        std::fclose(f);
        if (!ok) continue;
        u64 packets = 0;
        for (const SoundPermutation& p : sound.permutations) {
            EXPECT_EQ(p.packets.size(), size_t{p.record.packet_count});
            packets += p.record.packet_count;
        }
        EXPECT_LE(64 + 64 * sound.permutations.size() + 34 * packets, length) << round;
    }
}

TEST(RandomDamage, DefinitionLoaderKeepsEveryStructWithinItsLayout) {
    std::mt19937 random(1707);
    const std::vector<u8> good = pirn_test::ReadAll(DefinitionsDir("grammar") + "/a_every_member.xml");
    const char* tokens[] = {" count='70000'", " count='-3'", "<substruct struct='nowhere'/>", "<long count='8192'/>",
                            "</struct>", "<struct name='x'>", "<tag group='toolong'/>", "&#233;", "\xC3"};
    ScopedLogCapture quiet;
    for (int round = 0; round < 300; ++round) {
        std::vector<u8> bytes = Damage(good, random);
        if (random() % 2) {
            const std::string token = tokens[random() % std::size(tokens)];
            bytes.insert(bytes.begin() + random() % (bytes.size() + 1), token.begin(), token.end());
        }
        FreeXmlDefinitions();
        if (!LoadXmlText("damaged.xml", reinterpret_cast<const char*>(bytes.data()), bytes.size())) continue;
        StructRegistry registry;
        LoadStructDefinitionsOf(*GetXmlRoot(0)->element, "damaged.xml", registry);
        for (const auto& d : registry.definitions) {
            ASSERT_LE(d->size, 32767u);
            const std::vector<u16>& layout = StructLayoutOf(*d);
            ASSERT_EQ(ValidateStructLayout(layout.data(), layout.size()), layout.size()) << d->name;
            u32 end = 0;
            for (const auto& m : d->members) {
                EXPECT_EQ(m->offset, end);
                end += m->ByteSize();
            }
            EXPECT_EQ(end, d->size);
        }
    }
    FreeXmlDefinitions();
}
