#include "collections/collection_build_request.h"

#include <cstdlib>

#include "codex/codex.h"
#include "codex/four_char_code.h"
#include "collections/local_collection_writer.h"
#include "platform/file_system.h"
#include "platform/strings.h"

namespace pirn {

namespace {

const std::vector<std::string> kOverwriteButtons = {"Overwrite", "Don't Overwrite"};

bool AskOverwrite(UserPrompts& prompts, const char* text) {
    return prompts.Ask("Overwrite Tag?", text, kOverwriteButtons) == 0;
}

void ShowCreateFailure(UserPrompts& prompts, const std::string& name) {
    prompts.ShowError(FormatString("Could not create the collection tag '%s'; it may already exist.", name.c_str()));
}

}  // namespace

bool ParseRegistrationValue(const std::string& text, i32* value) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    size_t end = text.size();
    while (end > i && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    bool negative = false;
    if (i < end && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == end) return false;
    i64 magnitude = 0;
    for (; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude >= 4097) return false;
    }
    *value = static_cast<i32>(negative ? -magnitude : magnitude);
    return true;
}

u32 ParseTagIdField(const std::string& text) {
    if (text.empty()) return kNoTagId;
    u32 code = 0;
    for (size_t i = 0; i < 4; ++i) code = (code << 8) | (i < text.size() ? static_cast<u8>(text[i]) : u8(' '));
    return code;
}

bool CheckAutoCollectionFields(const AutoCollectionFields& fields, UserPrompts& prompts,
                               CollectionBuildSettings* settings, u32* tag_id) {
    if (fields.path.empty() || !PathExists(fields.path, kPathIsFolder)) {
        prompts.ShowError("Specified folder not found.");
        return false;
    }
    if (fields.name.empty()) {
        prompts.ShowError("The name field is invalid.");
        return false;
    }
    if (!ParseRegistrationValue(fields.registration_x, &settings->registration_x)) {
        prompts.ShowError("The Reg Point X value is invalid.");
        return false;
    }
    if (!ParseRegistrationValue(fields.registration_y, &settings->registration_y)) {
        prompts.ShowError("The Reg Point Y value is invalid.");
        return false;
    }
    settings->name = fields.name;
    settings->folder = fields.path;
    settings->invert_alphas = fields.invert_alphas;
    settings->default_order = fields.frames_then_views ? kFramesThenViews : kViewsThenFrames;
    *tag_id = ParseTagIdField(fields.tag_id);
    return true;
}

TagEntry* RunAutoCollectionBuild(const CollectionBuildSettings& settings, u32 tag_id, UserPrompts& prompts) {
    const char* name = settings.name.c_str();
    std::string safe;
    if (!MakeSafePathComponent(name, &safe) || tag_id == kKeepTagId) {
        ShowCreateFailure(prompts, settings.name);
        return nullptr;
    }
    TagEntry* asked = nullptr;
    if (tag_id != kNoTagId) {
        TagEntry* holder = FindTagEntry(kCollectionGroup, tag_id);
        if (IsTagLocal(holder)) {
            if (!AskOverwrite(prompts,
                              "Another collection with the same tagid exists in the local folder. Do you want to "
                              "replace it?"))
                return nullptr;
            asked = holder;
        }
        // An archive's collection is not replaced by a build, nor one that is open.
        if ((IsTagTaken(holder) && !IsTagLocal(holder)) || GetTagUseCount(holder) > 0) {
            ShowCreateFailure(prompts, settings.name);
            return nullptr;
        }
    }
    if (LocalTagFileExists(kCollectionGroup, name)) {
        TagEntry* by_name = FindLocalCollectionByName(name);
        if (!asked || by_name != asked) {  // not the tag just asked about
            if (!AskOverwrite(prompts,
                              "Another collection with the same name already exists in the local folder. Do you "
                              "want to replace it?"))
                return nullptr;
        }
        if (GetTagUseCount(by_name) > 0) {
            ShowCreateFailure(prompts, settings.name);
            return nullptr;
        }
    }

    TagEntry* built = nullptr;
    const int ok = BuildCollection(settings, [&](Collection* collection) {
        built = SaveCollectionAsLocalTag(collection, tag_id, name);
        return built != nullptr;
    });
    if (!ok) {
        prompts.ShowError("Failed to create the new collection.");
        return nullptr;
    }
    return built;
}

}  // namespace pirn
