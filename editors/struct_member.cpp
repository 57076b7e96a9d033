#include "editors/struct_member.h"

#include <tinyxml2.h>

#include "codex/four_char_code.h"
#include "editors/member_type.h"
#include "editors/struct_definition.h"
#include "editors/struct_registry.h"
#include "editors/xml_attribute.h"
#include "platform/strings.h"

namespace pirn {

namespace {

// Says what was wrong, and where, when asked; always false.
bool Explain(DefinitionError* out, int line, std::string text) {
    if (out) {
        out->line = line;
        out->text = std::move(text);
    }
    return false;
}

std::unique_ptr<StructMember> MakeMemberOfClass(MemberClass member_class) {
    switch (member_class) {
        case MemberClass::Tag:
            return std::make_unique<TagMember>();
        case MemberClass::Enum:
            return std::make_unique<EnumMember>();
        case MemberClass::Plain:
            break;
    }
    return std::make_unique<ZarnStructMember>();
}

u16 LayoutCodeForSize(u32 element_size) { return element_size == 1 ? 0 : element_size == 2 ? 1 : 2; }

}  // namespace

StructMember::~StructMember() = default;

const char* StructMember::GetClassName() const { return "Object"; }

bool ZarnStructMember::ReadXml(const tinyxml2::XMLElement& element, DefinitionError*) {
    if (const char* text = element.Attribute("name")) name = text;
    if (const char* text = element.Attribute("lower_bound")) lower_bound = text;
    if (const char* text = element.Attribute("runtime_count")) runtime_count = text;
    return true;
}

bool TagMember::ReadXml(const tinyxml2::XMLElement& element, DefinitionError* slip) {
    ZarnStructMember::ReadXml(element, slip);
    const std::string text = XmlAttributeText(element, "group");
    if (!ParseFourCC(text, &group)) {
        group = 0xFFFFFFFF;
        return Explain(slip, element.GetLineNum(),
                      FormatString("tag member '%s' needs a group of exactly four characters; it lists no tags",
                                   name.c_str()));
    }
    return true;
}

bool EnumMember::ReadXml(const tinyxml2::XMLElement& element, DefinitionError* slip) {
    ZarnStructMember::ReadXml(element, slip);
    const MemberTypeInfo* info = FindMemberType(element.Name());
    const i64 bits = info ? 8 * i64{info->element_size} : 32;
    const i64 low = -(i64{1} << (bits - 1));
    const i64 high = (i64{1} << (bits - 1)) - 1;
    // A value the element cannot hold would be stored as another one, so
    // such an entry ends the list as a missing value does.
    for (const tinyxml2::XMLElement* child = element.FirstChildElement("member"); child;
         child = child->NextSiblingElement("member")) {
        const char* text = child->Attribute("text");
        i64 value = 0;
        if (!text)
            return Explain(slip, child->GetLineNum(),
                          FormatString("enumeration '%s': entry without text; it and the entries after it are left out",
                                       name.c_str()));
        if (QueryXmlInteger(*child, "value", low, high, &value) != XmlNumber::Valid)
            return Explain(slip, child->GetLineNum(),
                          FormatString("enumeration '%s': entry '%s' needs a value in %lld..%lld; it and the entries "
                                       "after it are left out",
                                       name.c_str(), text, static_cast<long long>(low), static_cast<long long>(high)));
        entries.push_back({text, static_cast<i32>(value)});
    }
    return true;
}

int EnumMember::FindEntry(i32 value) const {
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].value == value) return static_cast<int>(i);
    return -1;
}

std::unique_ptr<StructMember> CreateStructMember(const tinyxml2::XMLElement& element, const StructRegistry& registry,
                                                 DefinitionReport* report) {
    const int line = element.GetLineNum();
    DefinitionError* error = report ? &report->refusal : nullptr;
    DefinitionError slip;
    const MemberTypeInfo* info = FindMemberType(element.Name());
    if (!info) {
        Explain(error, line, FormatString("unknown member type '%s'", element.Name()));
        return nullptr;
    }
    i64 count = 1;
    i64 digits = 3;
    if (info->code != kMemberColor &&
        QueryXmlInteger(element, "count", 1, kMaxMemberCount, &count) == XmlNumber::Invalid) {
        Explain(error, line, FormatString("count '%s' is not a number in 1..%u", element.Attribute("count"),
                                         kMaxMemberCount));
        return nullptr;
    }
    if (QueryXmlInteger(element, "digits", 0, 0xFFFFFFFF, &digits) == XmlNumber::Invalid) {
        digits = 3;
        if (report)
            report->slips.push_back({line, FormatString("digits '%s' is not a whole number; 3 are shown",
                                                        element.Attribute("digits"))});
    }

    u32 element_size = info->element_size;
    const StructDefinition* nested = nullptr;
    if (info->code == kMemberSubstruct) {
        const char* struct_name = element.Attribute("struct");
        nested = struct_name ? registry.Find(struct_name) : nullptr;
        if (!nested) {
            Explain(error, line,
                   struct_name ? FormatString("substruct names no struct defined before it ('%s')", struct_name)
                               : std::string("substruct without a struct attribute"));
            return nullptr;
        }
        element_size = nested->size;
    }
    if (info->code == kMemberColor) count = 4;

    std::unique_ptr<StructMember> member = MakeMemberOfClass(info->member_class);
    // Kept whatever its own attributes say: the slip costs only what it names.
    if (!member->ReadXml(element, &slip) && report) report->slips.push_back(std::move(slip));
    member->count = static_cast<u32>(count);
    member->element_size = element_size;
    member->type_code = info->code;
    member->digits = static_cast<u32>(digits);
    member->nested = nested;
    member->line = line;
    member->layout_code = nested ? 0 : LayoutCodeForSize(element_size);
    if (info->code == kMemberPadding) member->layout_code += 4;  // padding reads and writes as zero
    return member;
}

}  // namespace pirn
