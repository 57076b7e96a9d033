#include "app/addon_builder.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <cstdlib>
#include <set>

#include "codex/codex_catalogue.h"
#include "codex/four_char_code.h"
#include "codex/plugin_writer.h"
#include "codex/tag_header.h"
#include "models/detail_map_tag.h"
#include "models/dtex_tag.h"
#include "platform/strings.h"

namespace pirn {

const char* const kAddonDefaultName = "<addon name>";
const char* const kAddonDefaultUrl = "<addon url>";
const char* const kAddonDefaultPriority = "100";
const char* const kAddonHelpText =
    "The priority field of an add-on plugin defines its load ordering compared to other add-ons.\n\n"
    "An add-on with a high priority will load after (and so override) an add-on with a low priority.\n\n"
    "If you are not explicitly trying to override or not override some other add-on, you should not change "
    "this number from the default value of 100.";

namespace {

constexpr const char* kBullet = "\xA5";

AddonMessage Box(const char* caption, std::string text, const char* button) {
    return AddonMessage{caption, std::move(text), button};
}

// A whole number in 2..32767, else 0.
long ParsePriority(const std::string& text) {
    if (text.empty()) return 0;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || end == text.c_str()) return 0;
    return value >= kAddonMinPriority && value <= kAddonMaxPriority ? value : 0;
}

std::string TagName(const TagEntry* tag) {
    TagHeader header{};
    GetTagHeader(tag, &header);
    return std::string(header.name, strnlen(header.name, sizeof(header.name)));
}

// Entries of the 128 that any cell uses: the byte plane's values and both
// bytes of the 16-bit plane's; values of 128 or more mark nothing.
void MarkUsedEntries(const DetailMap& map, bool used[kDetailTextureEntryCount]) {
    auto mark = [used](u32 value) {
        if (value < kDetailTextureEntryCount) used[value] = true;
    };
    for (u8 v : map.byte_plane) mark(v);
    for (u16 v : map.word_plane) {
        mark(v & 0xFF);
        mark(v >> 8);
    }
}

}  // namespace

bool IsAddonAllowedGroup(u32 group) {
    static const u32 kAllowed[] = {MakeFourCC("soli"), MakeFourCC("ditl"), MakeFourCC("form"), MakeFourCC("obpc"),
                                   MakeFourCC("reco"), MakeFourCC("save"), MakeFourCC("soun"), MakeFourCC("stli"),
                                   MakeFourCC("temp"), MakeFourCC("text")};
    for (u32 allowed : kAllowed)
        if (group == allowed) return true;
    return false;
}

std::string FindInvalidAddonFields(const AddonFields& fields) {
    std::string invalid;
    std::string file_name;
    if (fields.name.empty() || !MakeSafePathComponent(fields.name.c_str(), &file_name)) invalid += " name";
    if (fields.url.empty()) invalid += " url";
    if (!ParsePriority(fields.priority)) invalid += " version";
    return invalid;
}

u16 AddonPriority(const AddonFields& fields) { return static_cast<u16>(ParsePriority(fields.priority)); }

int RunAddonPopup(const AddonFieldsPrompt& popup, AddonFields* fields, AddonMessage* message) {
    *message = AddonMessage{};
    if (!popup || !popup(fields)) return 0;
    const std::string invalid = FindInvalidAddonFields(*fields);
    if (!invalid.empty()) {
        *message = Box("Error", FormatString("The following fields are invalid: %s", invalid.c_str()), "OK");
        return 0;
    }
    return 1;
}

int WriteAddon(const TagList& tags, const AddonFieldsPrompt& popup, AddonMessage* message) {
    AddonFields fields;
    if (!RunAddonPopup(popup, &fields, message)) return 0;
    // The plugin writer keeps the name inside plugins/: the file gets the
    // name's safe form, which the message shows.
    std::string file_name;
    MakeSafePathComponent(fields.name.c_str(), &file_name);
    if (BuildPluginFile(tags, kAddonArchiveKind, fields.name, fields.url, AddonPriority(fields))) {
        *message = Box("Success",
                       FormatString("The addon has been written to the plugins folder as '%s'", file_name.c_str()),
                       "OK");
        return 1;
    }
    std::string text = "The addon could not be created. Possible reasons include:";
    for (const char* reason : {"Tags from the destination file are open in Pirn.",
                               "The destination file is open in another program.",
                               "Some tags from the local folder were corrupt or unreadable."})
        text += std::string("\n") + kBullet + " " + reason;
    *message = Box("Error", text, "OK");
    return 0;
}

int CollectRegularAddonTags(TagList* tags, AddonMessage* message) {
    *message = AddonMessage{};
    TagList local;
    ListLocalTags(local);
    for (TagEntry* tag : local)
        if (IsAddonAllowedGroup(tag->group)) tags->push_back(tag);
    if (tags->empty()) {
        *message = Box("Message", "No addon-allowed files were found in the local folder - Nothing to do!", "OK");
        return 0;
    }
    return 1;
}

int CollectDtexAddonTags(TagList* tags, AddonMessage* message) {
    *message = AddonMessage{};
    TagList maps;
    ListGroupTags(kDmapGroup, maps);
    std::set<u32> texture_ids;
    TagList found_maps;
    for (TagEntry* tag : maps) {
        if (!IsTagLocal(tag)) continue;
        const std::string name = TagName(tag);
        const std::string id = FourCCToText(tag->tag_id);
        std::unique_ptr<DetailMap> map = LoadDetailMapTag(tag, true);
        if (!map) {
            *message = Box("Error",
                           FormatString("The detail map '%s' ('%s') could not be read. Aborting.", name.c_str(),
                                        id.c_str()),
                           "Ok");
            return 0;
        }
        bool used[kDetailTextureEntryCount] = {};
        MarkUsedEntries(*map, used);
        for (u32 i = 0; i < kDetailTextureEntryCount; ++i) {
            const u32 texture = map->entries[i].tag_id;
            if (!used[i] || texture == kNoTagId) continue;
            if (!FindTag(kDtexGroup, texture)) {
                *message = Box("Error",
                               FormatString("The detail map '%s' (%s) referenced a detail texture ('%s') which could "
                                            "not be found. Aborting.",
                                            name.c_str(), id.c_str(), FourCCToText(texture).c_str()),
                               "Ok");
                return 0;
            }
            texture_ids.insert(texture);
        }
        found_maps.push_back(tag);
    }
    if (found_maps.empty()) {
        *message = Box("Message", "No dmaps detected in the local folder - nothing to do!", "OK");
        return 0;
    }
    tags->insert(tags->end(), found_maps.begin(), found_maps.end());
    for (u32 id : texture_ids) tags->push_back(FindTag(kDtexGroup, id));
    return 1;
}

int BuildRegularAddon(const AddonFieldsPrompt& popup, AddonMessage* message) {
    TagList tags;
    if (!CollectRegularAddonTags(&tags, message)) return 0;
    return WriteAddon(tags, popup, message);
}

int BuildDtexAddon(const AddonFieldsPrompt& popup, AddonMessage* message) {
    TagList tags;
    if (!CollectDtexAddonTags(&tags, message)) return 0;
    return WriteAddon(tags, popup, message);
}

}  // namespace pirn
