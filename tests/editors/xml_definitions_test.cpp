// Loading definition folders: which files count, in which order, how texts
// become 8-bit, which definitions are refused and which slips only cost
// what they name (each logged with its file and line), what the rest of a
// file still gives; packed offsets and layout words.

#include "editors/xml_definitions.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <string>
#include <vector>

#include "codex/four_char_code.h"
#include "codex/tag_group.h"
#include "editors/member_type.h"
#include "editors/struct_definition.h"
#include "editors/struct_edit_registry.h"
#include "editors/struct_registry.h"
#include "editors/xml_definition_log.h"
#include "editors/xml_editor_registration.h"
#include "platform/records.h"
#include "tests/editors/editors_test_support.h"
#include "tests/support/test_support.h"
#include "platform/log_capture.h"

using namespace pirn;
using namespace editors_test;

namespace {

std::string Definitions(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<pirnxmlfile>\n" + body + "</pirnxmlfile>\n";
}

class XmlDefinitionsTest : public ::testing::Test {
protected:
    void TearDown() override { ForgetDefinitions(); }

    void Write(const std::string& name, const std::string& text) { pirn_test::WriteAll(dir.file(name), text); }
    void LoadFolder() { LoadDefinitionsFrom(dir.path()); }

    pirn_test::TempDir dir;
    ScopedLogCapture log;
};

struct MemberExpectation {
    const char* name;
    u32 offset;
    u32 count;
    u32 type;
};

void ExpectMembers(const StructDefinition& d, const std::vector<MemberExpectation>& expected) {
    ASSERT_EQ(d.members.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        const StructMember& m = *d.members[i];
        EXPECT_EQ(m.name, expected[i].name);
        EXPECT_EQ(m.offset, expected[i].offset);
        EXPECT_EQ(m.count, expected[i].count);
        EXPECT_EQ(m.type_code, expected[i].type);
    }
}

}  // namespace

TEST_F(XmlDefinitionsTest, GrammarFolderLoadsEveryMemberAtItsPackedOffset) {
    LoadDefinitionsFrom(DefinitionsDir("grammar"));
    // The other root, the binary file and the subfolder's file give nothing.
    ASSERT_EQ(GetXmlRootCount(), 2u);
    EXPECT_NE(GetXmlRoot(0)->path.find("a_every_member.xml"), std::string::npos);
    EXPECT_NE(GetXmlRoot(1)->path.find("b_later_file.xml"), std::string::npos);
    EXPECT_EQ(GetXmlRoot(2), nullptr);
    EXPECT_EQ(FindStructDefinition("never_loaded"), nullptr);
    EXPECT_EQ(FindStructDefinition("from_subfolder"), nullptr);
    EXPECT_TRUE(log.messages().empty()) << log.TopicText(kXmlDefinitionTopic);

    const StructDefinition* wind = FindStructDefinition("wind");
    ASSERT_NE(wind, nullptr);
    EXPECT_EQ(wind->size, 112u);
    ExpectMembers(*wind, {{"strength", 0, 1, 2},     {"collection", 4, 1, 3},  {"seed", 8, 1, 4},
                          {"mask", 12, 1, 5},        {"period", 16, 1, 6},     {"reach", 20, 1, 7},
                          {"drag", 24, 1, 9},        {"turns", 28, 1, 10},     {"flags", 30, 1, 11},
                          {"gust", 32, 1, 12},       {"height_min", 34, 1, 13}, {"height_max", 36, 1, 13},
                          {"mode", 38, 1, 14},       {"sequence", 40, 1, 15},  {"calm", 42, 1, 16},
                          {"scale", 44, 1, 17},      {"spin", 46, 1, 18},      {"heading", 48, 1, 19},
                          {"bias", 50, 1, 20},       {"effect_count", 51, 1, 21}, {"season", 52, 1, 22},
                          {"opacity", 53, 1, 23},    {"tint", 54, 4, 24},      {"", 62, 2, 0},
                          {"origin", 64, 1, 1},      {"effects", 68, 4, 1},    {"levels", 100, 3, 10},
                          {"level_caps", 106, 3, 11}});
    const StructMember* effects = FindStructMember(*wind, "effects");
    EXPECT_EQ(effects->element_size, 8u);
    EXPECT_EQ(effects->runtime_count, "effect_count");
    EXPECT_EQ(effects->nested, FindStructDefinition("effect"));
    EXPECT_EQ(FindStructMember(*wind, "height_max")->lower_bound, "height_min");
    EXPECT_EQ(FindStructMember(*wind, "strength")->digits, 2u);
    EXPECT_EQ(FindStructMember(*wind, "seed")->digits, 3u);
    EXPECT_EQ(static_cast<const TagMember*>(FindStructMember(*wind, "collection"))->group, MakeFourCC(".256"));
    const auto* mode = static_cast<const EnumMember*>(FindStructMember(*wind, "mode"));
    ASSERT_EQ(mode->entries.size(), 3u);
    EXPECT_EQ(mode->entries[2].text, "Gusting");
    EXPECT_EQ(mode->entries[2].value, 2);
    const auto* kind = static_cast<const EnumMember*>(FindStructMember(*FindStructDefinition("effect"), "kind"));
    EXPECT_EQ(kind->entries[0].value, -1);
    EXPECT_EQ(kind->FindEntry(1), 2);
    EXPECT_EQ(kind->FindEntry(7), -1);

    // Layout words, written out from the member list by hand.
    const std::vector<u16> expected = {
        112, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2,   // real .. fixed
        1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,        // turns .. sequence
        1, 1, 1, 1, 1, 1, 1, 1,                          // calm .. heading
        1, 0, 1, 0, 1, 0, 1, 0,                          // bias .. opacity
        4, 1, 2, 4,                                      // tint, padding (zeroed bytes)
        1, 32, 4, 1, 1, 1, 1,                            // origin: point inline
        4, 32, 8, 1, 2, 1, 1, 1, 0, 1, 4,                // effects: effect inline
        3, 1, 3, 1};
    EXPECT_EQ(StructLayoutOf(*wind), expected);
    EXPECT_EQ(ValidateStructLayout(StructLayoutOf(*wind).data(), expected.size()), expected.size());

    // Substructs of a later file use the first "point"; the second is kept.
    const StructDefinition* path = FindStructDefinition("path");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->size, 2u + 8 * 4 + 4);
    EXPECT_EQ(FindStructDefinition("point")->size, 4u);
    EXPECT_EQ(GetStructRegistry().Count(), 6u);
    EXPECT_EQ(GetStructRegistry().definitions[3]->name, "point");
    EXPECT_EQ(GetStructRegistry().definitions[3]->size, 8u);
    const StructDefinition* empty = FindStructDefinition("empty");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->size, 0u);
    EXPECT_EQ(StructLayoutOf(*empty), std::vector<u16>{0});

    // Top-level forms only; the nested form belongs to its parent.
    EXPECT_EQ(GetStructEditCount(), 4u);
    ASSERT_NE(FindStructEdit("wind"), nullptr);
    EXPECT_STREQ(FindStructEdit("wind")->Attribute("caption"), "Wind");
    EXPECT_NE(FindStructEdit("path"), nullptr);
    EXPECT_EQ(FindStructEdit("wind_more"), nullptr);
}

TEST_F(XmlDefinitionsTest, LayoutWordsOfTheSmallExample) {
    Write("x.xml", Definitions("<struct name='s'><long/><short count='2'/><padding count='2'/><byte_enum/></struct>"));
    LoadFolder();
    const StructDefinition* s = FindStructDefinition("s");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(StructLayoutOf(*s), (std::vector<u16>{11, 1, 2, 2, 1, 2, 4, 1, 0}));
}

TEST_F(XmlDefinitionsTest, ColorAlwaysTakesFourChannels) {
    Write("x.xml", Definitions("<struct name='s'><color count='9'/><color count='nonsense'/><byte/></struct>"));
    LoadFolder();
    const StructDefinition* s = FindStructDefinition("s");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->size, 17u);
    EXPECT_EQ(s->members[1]->offset, 8u);
    EXPECT_EQ(s->members[1]->count, 4u);
}

TEST_F(XmlDefinitionsTest, BrokenDefinitionsAreRefusedWithFileAndLineAndTheRestLoads) {
    struct Case {
        const char* member;  // the one bad line inside <struct name='bad'>
        const char* reason;
    } cases[] = {
        {"<lng name='a'/>", "unknown member type 'lng'"},
        {"<substruct name='a' struct='later'/>", "substruct names no struct defined before it ('later')"},
        {"<substruct name='a'/>", "substruct without a struct attribute"},
        {"<long count='0'/>", "count '0' is not a number in 1..65535"},
        {"<byte count='65536'/>", "count '65536' is not a number in 1..65535"},
        {"<short count='12abc'/>", "count '12abc'"},
        {"<short count='0x10'/>", "count '0x10'"},
        {"<long count='8192'/>", "struct 'bad' grows past 32767 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member);
        log.Clear();
        // The bad member sits on line 6 of the file.
        Write("defs.xml", Definitions("<struct name='good_before'><long/></struct>\n<struct name='bad'>\n<byte/>\n" +
                                      std::string(c.member) + "\n</struct>\n<struct name='good_after'><short/></struct>\n" +
                                      "<struct name='later'><byte/></struct>\n"));
        LoadFolder();
        EXPECT_EQ(FindStructDefinition("bad"), nullptr);
        EXPECT_NE(FindStructDefinition("good_before"), nullptr);
        EXPECT_NE(FindStructDefinition("good_after"), nullptr);
        const std::string text = log.TopicText(kXmlDefinitionTopic);
        EXPECT_NE(text.find("ERROR: " + dir.file("defs.xml") + " line 6: struct 'bad' refused: "), std::string::npos)
            << text;
        EXPECT_NE(text.find(c.reason), std::string::npos) << text;
    }
}

TEST_F(XmlDefinitionsTest, SlipsThatLeaveTheLayoutKeepTheMemberAndAreLoggedWithFileAndLine) {
    struct Case {
        const char* member;  // the one slip inside <struct name='wind'>, on line 6
        const char* warning;
        u32 group;                          // a tag member's group
        std::vector<const char*> entries;   // an enumeration's entries kept
        u32 digits;
    } cases[] = {
        {"<tag name='m' group='abc'/>", "tag member 'm' needs a group of exactly four characters", 0xFFFFFFFF, {}, 3},
        {"<tag name='m'/>", "tag member 'm' needs a group", 0xFFFFFFFF, {}, 3},
        {"<byte_enum name='m'><member text='a' value='1'/><member text='x'/><member text='b' value='2'/></byte_enum>",
         "enumeration 'm': entry 'x' needs a value in -128..127", 0, {"a"}, 3},
        {"<byte_enum name='m'><member text='a' value='128'/></byte_enum>", "entry 'a' needs a value in -128..127", 0,
         {}, 3},
        {"<short_enum name='m'><member text='a' value='-32768'/><member value='1'/></short_enum>",
         "enumeration 'm': entry without text", 0, {"a"}, 3},
        {"<real name='m' digits='-1'/>", "digits '-1' is not a whole number; 3 are shown", 0, {}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member);
        log.Clear();
        Write("defs.xml", Definitions("<struct name='before'><long/></struct>\n<struct name='wind'>\n<byte/>\n" +
                                      std::string(c.member) + "\n<short name='after'/>\n</struct>\n"));
        LoadFolder();
        const StructDefinition* wind = FindStructDefinition("wind");
        ASSERT_NE(wind, nullptr) << log.TopicText(kXmlDefinitionTopic);
        // The member keeps its bytes: the next one sits where it would.
        const StructMember* m = wind->members.size() == 3 ? wind->members[1].get() : nullptr;
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(FindStructMember(*wind, "after")->offset, 1 + m->ByteSize());
        if (const auto* tag = dynamic_cast<const TagMember*>(m)) {
            EXPECT_EQ(tag->group, c.group);
        }
        if (const auto* enumeration = dynamic_cast<const EnumMember*>(m)) {
            std::vector<std::string> texts;
            for (const EnumEntry& e : enumeration->entries) texts.push_back(e.text);
            EXPECT_EQ(texts, std::vector<std::string>(c.entries.begin(), c.entries.end()));
        }
        EXPECT_EQ(m->digits, c.digits);
        const std::string text = log.TopicText(kXmlDefinitionTopic);
        EXPECT_EQ(text.find("ERROR"), std::string::npos) << text;
        EXPECT_NE(text.find("WARNING: " + dir.file("defs.xml") + " line 6: struct 'wind': "), std::string::npos)
            << text;
        EXPECT_NE(text.find(c.warning), std::string::npos) << text;
    }
}

TEST_F(XmlDefinitionsTest, SizesUpToTheLayoutWordAreAccepted) {
    Write("x.xml", Definitions("<struct name='big'><long count='8191'/><short/><byte/></struct>"
                               "<struct name='wide'><byte count='65535'/></struct>"
                               "<struct name='nameless_skipped_but_logged'/><struct><long/></struct>"));
    LoadFolder();
    ASSERT_NE(FindStructDefinition("big"), nullptr);
    EXPECT_EQ(FindStructDefinition("big")->size, 32767u);
    EXPECT_EQ(FindStructDefinition("wide"), nullptr) << "65535 bytes pass the 15-bit size";
    EXPECT_NE(log.TopicText(kXmlDefinitionTopic).find("struct without a name is passed over"), std::string::npos);
}

TEST_F(XmlDefinitionsTest, FilesLoadInByteOrderOfTheirPaths) {
    // 'B' sorts before 'a' byte by byte: B's struct is the first "dup", and
    // a.xml may use B's structs while B may not use a's.
    Write("a.xml", Definitions("<struct name='dup'><byte/></struct>"
                               "<struct name='from_a'><substruct struct='from_b'/></struct>"));
    Write("B.xml", Definitions("<struct name='dup'><long/></struct><struct name='from_b'><short/></struct>"
                               "<struct name='uses_a'><substruct struct='from_a'/></struct>"));
    LoadFolder();
    ASSERT_EQ(GetXmlRootCount(), 2u);
    EXPECT_EQ(GetXmlRoot(0)->path, dir.file("B.xml"));
    EXPECT_EQ(FindStructDefinition("dup")->size, 4u);
    ASSERT_NE(FindStructDefinition("from_a"), nullptr);
    EXPECT_EQ(FindStructDefinition("from_a")->size, 2u);
    EXPECT_EQ(FindStructDefinition("uses_a"), nullptr);
    EXPECT_NE(log.TopicText(kXmlDefinitionTopic).find(dir.file("B.xml") + " line"), std::string::npos);
}

TEST_F(XmlDefinitionsTest, TextsBecomeProgramTextThroughTheCharacterMap) {
    // U+00E9 is 0x8E and U+00B0 0xA1 in the program's 8-bit text.
    Write("x.xml", Definitions("<struct name='caf\xC3\xA9'><short_enum name='angle'>"
                               "<member text='90\xC2\xB0' value='1'/><member text='&#233;t&#233;' value='2'/>"
                               "</short_enum></struct>"
                               "<structedit struct='caf\xC3\xA9' caption='Caf\xC3\xA9 \xC2\xB0'/>"));
    LoadFolder();
    const StructDefinition* d = FindStructDefinition("caf\x8E");
    ASSERT_NE(d, nullptr);
    const auto* e = static_cast<const EnumMember*>(d->members[0].get());
    EXPECT_EQ(e->entries[0].text, "90\xA1");
    EXPECT_EQ(e->entries[1].text, "\x8Et\x8E");
    ASSERT_NE(FindStructEdit("caf\x8E"), nullptr);
    EXPECT_STREQ(FindStructEdit("caf\x8E")->Attribute("caption"), "Caf\x8E \xA1");
}

TEST_F(XmlDefinitionsTest, FilesThatAreNotDefinitionsArePassedOver) {
    Write("1_broken.xml", "<pirnxmlfile>\n<struct name='x'>\n</pirnxmlfile>\n");
    Write("2_other.xml", "<?xml version='1.0'?><svg><struct name='svg'/></svg>");
    Write("3_binary", std::string("\0\1\2\3<pirnxmlfile/>", 18));
    Write("4_empty.xml", "");
    Write("5_good.xml", Definitions("<struct name='good'><byte/></struct>"));
    pirn_test::WriteAll(dir.file("6_folder.xml/inside.xml"), Definitions("<struct name='inside'><byte/></struct>"));
    LoadFolder();
    ASSERT_EQ(GetXmlRootCount(), 1u);
    EXPECT_NE(FindStructDefinition("good"), nullptr);
    EXPECT_EQ(FindStructDefinition("inside"), nullptr);
    const std::string text = log.TopicText(kXmlDefinitionTopic);
    EXPECT_NE(text.find(dir.file("1_broken.xml") + " line"), std::string::npos) << text;
    EXPECT_EQ(text.find("2_other"), std::string::npos) << text;
}

TEST_F(XmlDefinitionsTest, LoadingAgainReplacesTheRootsAndForms) {
    Write("x.xml", Definitions("<structedit struct='one'/>"));
    LoadFolder();
    EXPECT_NE(FindStructEdit("one"), nullptr);
    pirn_test::TempDir other;
    pirn_test::WriteAll(other.file("y.xml"), Definitions("<structedit struct='two'/>"));
    LoadXmlDefinitions(other.path());
    EXPECT_EQ(GetXmlRootCount(), 1u);
    EXPECT_EQ(FindStructEdit("one"), nullptr) << "forms of freed roots are forgotten";
    CollectStructEdits();
    EXPECT_NE(FindStructEdit("two"), nullptr);
    LoadXmlDefinitions(dir.file("missing"));
    EXPECT_EQ(GetXmlRootCount(), 0u);
}

namespace {
TagEdit* DummyFactory(TagEntry*, TagGroupInfo*, u32) { return nullptr; }
}  // namespace

TEST_F(XmlDefinitionsTest, RegisterXmlEditorsBindsStructsNamedAfterKnownGroups) {
    Write("x.xml", Definitions("<struct name='wind'><byte/></struct><struct name='zzzz'><byte/></struct>"
                               "<struct name='windy'><byte/></struct><struct name='.256'><long/></struct>"
                               "<struct name='wind'><long/></struct>"));
    ClearTagGroupEditors();
    LoadXmlDefinitions(dir.path());
    EXPECT_EQ(RegisterXmlEditors(&DummyFactory), 2u);
    EXPECT_EQ(GetStructGroups(), (std::vector<u32>{MakeFourCC("wind"), MakeFourCC(".256")}));
    EXPECT_EQ(FindTagGroup(MakeFourCC("wind"))->factory, &DummyFactory);
    EXPECT_EQ(FindTagGroup(MakeFourCC(".256"))->factory, &DummyFactory);
    EXPECT_EQ(FindTagGroup(MakeFourCC("arti"))->factory, nullptr);
    ASSERT_NE(FindGroupStruct(MakeFourCC("wind")), nullptr);
    EXPECT_EQ(FindGroupStruct(MakeFourCC("wind"))->size, 1u);
    EXPECT_NE(FindStructDefinition("zzzz"), nullptr) << "defined, usable as a substruct, but no editor";
    // Registering again starts from the roots afresh, without doubles.
    ClearTagGroupEditors();
    EXPECT_EQ(RegisterXmlEditors(nullptr), 2u);
    EXPECT_EQ(GetStructRegistry().Count(), 5u);
    EXPECT_EQ(FindTagGroup(MakeFourCC("wind"))->factory, nullptr);
}
