// The definition files Pirn ships (data/) and the grammar fixture: every
// struct loads, and every form item names a member it can edit, at an
// element and bit the member has.

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <set>
#include <string>
#include <vector>

#include "codex/four_char_code.h"
#include "codex/tag_group.h"
#include "editors/member_type.h"
#include "editors/struct_definition.h"
#include "editors/struct_edit_registry.h"
#include "editors/struct_registry.h"
#include "editors/struct_values.h"
#include "editors/xml_attribute.h"
#include "editors/xml_definition_log.h"
#include "editors/xml_definitions.h"
#include "tests/editors/editors_test_support.h"
#include "tests/support/test_support.h"
#include "platform/log_capture.h"

using namespace pirn;
using namespace editors_test;

namespace {

// The struct and every struct that holds it as a substruct, outwards: the
// records a form of the struct may reach.
std::vector<const StructDefinition*> ReachableStructs(const StructDefinition* d) {
    std::vector<const StructDefinition*> out = {d};
    for (size_t i = 0; i < out.size(); ++i)
        for (const auto& other : GetStructRegistry().definitions)
            for (const auto& m : other->members)
                if (m->nested == out[i] && std::find(out.begin(), out.end(), other.get()) == out.end())
                    out.push_back(other.get());
    return out;
}

const StructMember* Resolve(const std::vector<const StructDefinition*>& scope, const char* name) {
    if (!name) return nullptr;
    for (const StructDefinition* d : scope)
        if (const StructMember* m = FindStructMember(*d, name)) return m;
    return nullptr;
}

void CheckItem(const tinyxml2::XMLElement& item, const std::vector<const StructDefinition*>& scope,
               const std::string& where) {
    SCOPED_TRACE(where + " line " + std::to_string(item.GetLineNum()));
    const StructMember* m = Resolve(scope, item.Attribute("target"));
    ASSERT_NE(m, nullptr) << "no member " << XmlAttributeText(item, "target");
    EXPECT_NE(m->type_code, u32(kMemberPadding)) << "padding has no field";
    EXPECT_NE(m->type_code, u32(kMemberColor)) << "colours have no field";
    i64 index = 0;
    EXPECT_NE(QueryXmlInteger(item, "index", 0, 0xFFFF, &index), XmlNumber::Invalid);
    EXPECT_TRUE(IsValidItemIndex(*m, index));
    i64 bit = 0;
    if (QueryXmlInteger(item, "bit", 0, 31, &bit) != XmlNumber::Absent) {
        EXPECT_TRUE(IsIntegerFieldType(m->type_code)) << "bits belong to integer members";
        EXPECT_TRUE(IsValidItemBit(*m, bit));
        EXPECT_NE(item.Attribute("text"), nullptr) << "a check box needs its text";
    }
    if (m->type_code == kMemberSequenceIndex) {
        const StructMember* collection = Resolve(scope, item.Attribute("tag"));
        ASSERT_NE(collection, nullptr) << "a sequence item names its collection member";
        ASSERT_EQ(collection->type_code, u32(kMemberTag));
        const u32 group = static_cast<const TagMember*>(collection)->group;
        EXPECT_TRUE(group == MakeFourCC(".256") || group == MakeFourCC("core"));
    }
    if (m->type_code == kMemberSubstruct) {
        const bool is_array = m->count > 1 || Resolve(scope, m->runtime_count.c_str());
        if (!is_array) {
            EXPECT_NE(item.Attribute("text"), nullptr) << "a substruct button needs its text";
        }
        if (m->HasRuntimeCount()) {
            EXPECT_NE(Resolve(scope, m->runtime_count.c_str()), nullptr);
        }
        if (const char* target = item.Attribute("text_target")) {
            const StructMember* t = FindStructMember(*m->nested, target);
            ASSERT_NE(t, nullptr) << "text_target " << target;
            EXPECT_TRUE(t->type_code == kMemberTag || t->type_code == kMemberSequenceIndex);
        }
    }
}

void CheckForm(const tinyxml2::XMLElement& form, const std::vector<const StructDefinition*>& scope,
               const std::string& where) {
    for (const tinyxml2::XMLElement* child = form.FirstChildElement(); child; child = child->NextSiblingElement()) {
        const std::string name = child->Name();
        if (name == "item") CheckItem(*child, scope, where);
        if (name == "frame" || name == "row" || name == "structedit") CheckForm(*child, scope, where);
        if (name == "label") {
            EXPECT_NE(child->Attribute("text"), nullptr) << where << " line " << child->GetLineNum();
        }
    }
}

// Loads the folder and checks every form of every root; returns the log.
std::string CheckFolder(const std::string& folder) {
    ScopedLogCapture log;
    LoadDefinitionsFrom(folder);
    EXPECT_GT(GetXmlRootCount(), 0u);
    for (size_t r = 0; r < GetXmlRootCount(); ++r) {
        const XmlDefinitionRoot* root = GetXmlRoot(r);
        for (const tinyxml2::XMLElement* form = root->element->FirstChildElement("structedit"); form;
             form = form->NextSiblingElement("structedit")) {
            const StructDefinition* d = FindStructDefinition(XmlAttributeText(*form, "struct"));
            EXPECT_NE(d, nullptr) << root->path << " line " << form->GetLineNum();
            if (d) CheckForm(*form, ReachableStructs(d), root->path);
        }
    }
    for (const auto& d : GetStructRegistry().definitions) {
        u32 group = 0;
        if (ParseFourCC(d->name, &group) && FindTagGroup(group)) {
            EXPECT_NE(FindStructEdit(d->name), nullptr) << d->name << ": a group's struct needs its form";
        }
    }
    return log.TopicText(kXmlDefinitionTopic);
}

}  // namespace

TEST(DefinitionFiles, ShippedDefinitionsLoadAndEveryItemFits) {
    EXPECT_EQ(CheckFolder(pirn_test::SourceDir() + "/data"), "");
    struct Size {
        const char* name;
        u32 size;
    } sizes[] = {{"core", 384}, {"wind", 36}, {"ligh", 68}, {"arti", 120}};
    for (const Size& s : sizes) {
        const StructDefinition* d = FindStructDefinition(s.name);
        ASSERT_NE(d, nullptr) << s.name;
        EXPECT_EQ(d->size, s.size) << s.name;
    }
    // A collection reference names its collection first and carries every
    // other byte: nothing of it is padding, which would zero what it holds.
    const StructDefinition* core = FindStructDefinition("core");
    EXPECT_EQ(core->members[0]->type_code, u32(kMemberTag));
    EXPECT_EQ(static_cast<const TagMember*>(core->members[0].get())->group, MakeFourCC(".256"));
    for (const auto& m : core->members) EXPECT_NE(m->type_code, u32(kMemberPadding)) << m->name;
    // Every member type is there for a new user to try.
    std::set<u32> types;
    for (const auto& d : GetStructRegistry().definitions)
        for (const auto& m : d->members) types.insert(m->type_code);
    for (u32 code = 0; code < kMemberTypeCount; ++code)
        if (code != 8) {
            EXPECT_TRUE(types.count(code)) << GetMemberTypeInfo(code)->element_name;
        }
    ForgetDefinitions();
}

TEST(DefinitionFiles, GrammarFixtureFormsNameOnlyWhatTheyCanEdit) {
    EXPECT_EQ(CheckFolder(DefinitionsDir("grammar")), "");
    ForgetDefinitions();
}

TEST(DefinitionFiles, TheBuildCopiesThemIntoTheRunFolder) {
    for (const char* name : {"core.xml", "demo_structs.xml"}) {
        const std::string copy = std::string(std::getenv("PIRN_BUILD_DIR") ? std::getenv("PIRN_BUILD_DIR") : ".") +
                                 "/run/res/" + name;
        ASSERT_TRUE(pirn_test::Exists(copy)) << copy;
        EXPECT_EQ(pirn_test::ReadAll(copy), pirn_test::ReadAll(pirn_test::SourceDir() + "/data/" + name));
    }
}
