#include "collections/uprez_request.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "codex/codex.h"
#include "collections/collection_tag.h"
#include "collections/frame_layout.h"
#include "collections/local_collection_writer.h"
#include "platform/file_system.h"
#include "platform/strings.h"

namespace pirn {

namespace {

// Loads a collection from one of its sources.
bool LoadFromSource(TagSource* source, Collection* collection) {
    if (!source || !source->owner) return false;
    TagHeader header{};
    std::FILE* stream = OpenTagSource(source, &header);
    if (!stream) return false;
    const int ok = LoadCollection(collection, stream, &header, true);
    CloseTagForReading(source->owner);
    return ok == 1;
}

std::string TagName(TagEntry* tag) {
    TagHeader header{};
    GetTagHeader(tag, &header);
    return std::string(header.name, strnlen(header.name, sizeof header.name));
}

}  // namespace

bool ParseScaleField(const std::string& text, double low, double high, double* value) {
    const char* begin = text.c_str();
    while (*begin == ' ' || *begin == '\t') ++begin;
    if (*begin == '\0') return false;
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(begin, &end);
    if (errno != 0 || end == begin) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0' || !std::isfinite(parsed) || parsed < low || parsed > high) return false;
    *value = parsed;
    return true;
}

bool CheckAutoUpResFields(const AutoUpResFields& fields, UserPrompts& prompts, UpResSettings* settings) {
    if (!fields.collection || !IsTagAvailable(fields.collection)) {
        prompts.ShowError("You must choose a collection.");
        return false;
    }
    if (fields.high_res_path.empty() || !PathExists(fields.high_res_path, kPathIsFolder)) {
        prompts.ShowError("Specified folder not found.");
        return false;
    }
    double scale = 0, object_scale = 0, tolerance = 0;
    if (!ParseScaleField(fields.scale, 0.01, 32, &scale)) {
        prompts.ShowError("Invalid scale.");
        return false;
    }
    if (!ParseScaleField(fields.object_scale, 0, 32, &object_scale)) {
        prompts.ShowError("Invalid object scale.");
        return false;
    }
    if (!ParseScaleField(fields.scale_tolerance, 0, 32, &tolerance)) {
        prompts.ShowError("Invalid tolerance.");
        return false;
    }
    settings->folder = fields.high_res_path;
    settings->target_scale = object_scale * scale;
    settings->tolerance = tolerance;
    settings->align = fields.align_individually ? kAlignBitmapsIndividually : kAlignWholeSequence;
    settings->order = fields.frames_then_views ? kFramesThenViews : kViewsThenFrames;
    settings->invert_alphas = fields.invert_alphas;
    return true;
}

bool ConfirmUpResTarget(TagEntry* collection, UserPrompts& prompts) {
    if (!IsTagLocal(collection)) return true;
    if (!GetEffectiveArchiveSource(collection)) {
        prompts.ShowError("Cannot Up-Res a collection from the local folder.");
        return false;
    }
    return prompts.Ask("Overwrite Tag?",
                       "The specified collection already exists in the local folder. Do you want to replace it?",
                       {"Overwrite", "Don't Overwrite"}) == 0;
}

TagEntry* RunUpRes(TagEntry* collection, const UpResSettings& settings, UserPrompts& prompts) {
    if (GetTagUseCount(collection) > 0) {
        prompts.ShowError("The collection is open; close it before building its high-resolution version.");
        return nullptr;
    }
    TagSource* source = GetEffectiveArchiveSource(collection);
    const u32 tag_id = collection->tag_id;
    const std::string name = source ? std::string(source->header.name, strnlen(source->header.name, 32)) : "";
    auto loaded = std::make_unique<Collection>();
    InitCollection(loaded.get());
    if (!LoadFromSource(source, loaded.get())) {
        prompts.ShowError("The specified collection could not be loaded.");
        return nullptr;
    }
    BuildScript script;
    ReadBuildScript(settings.folder, &script);
    TagEntry* saved = nullptr;
    const int ok = UpResCollection(loaded.get(), settings, script, [&](Collection* built) {
        saved = SaveCollectionAsLocalTag(built, tag_id, name.c_str());
        return saved != nullptr;
    });
    FreeCollection(loaded.get());
    if (!ok) {
        prompts.ShowError("The high-resolution collection could not be built; the log tells why.");
        return nullptr;
    }
    return saved;
}

bool CheckHighResFoldersCollection(TagEntry* collection, UserPrompts& prompts) {
    if (!collection || !IsTagAvailable(collection)) {
        prompts.ShowError("You must pick a collection first.");
        return false;
    }
    return true;
}

std::string CreateHighResFolders(TagEntry* collection, const std::string& location, UserPrompts& prompts) {
    if (!CheckHighResFoldersCollection(collection, prompts)) return "";
    auto loaded = std::make_unique<Collection>();
    InitCollection(loaded.get());
    if (!LoadFromSource(GetEffectiveSource(collection), loaded.get())) {
        prompts.ShowError("The specified collection could not be loaded.");
        return "";
    }
    std::string folder_name;
    if (!MakeSafeFolderName(TagName(collection), &folder_name)) folder_name = "collection";
    const std::string root = EnsureTrailingSlash(location) + folder_name + "/";
    bool ok = MakeDirectory(root);
    for (const auto& sequence : loaded->sequences) {
        std::string sequence_folder;
        if (MakeSafeFolderName(std::string(sequence->name, strnlen(sequence->name, sizeof sequence->name)),
                               &sequence_folder))
            ok = MakeDirectory(root + sequence_folder) && ok;
    }
    FreeCollection(loaded.get());
    if (!ok) {
        prompts.ShowError(FormatString("The folders could not be made in '%s'.", location.c_str()));
        return "";
    }
    return root;
}

}  // namespace pirn
