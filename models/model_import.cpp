#include "models/model_import.h"

#include <memory>

#include "models/lwo_reader.h"
#include "models/model_from_lwo.h"
#include "models/model_tag_builder.h"
#include "models/three_dmf_model.h"
#include "platform/log_message.h"
#include "platform/strings.h"

namespace pirn {

const char* const kModelImportTopic = "Model Import";

namespace {

void Log(i32 level, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Log(i32 level, const char* format, ...) {
    va_list args;
    va_start(args, format);
    LogMessageV(level, kModelImportTopic, format, args);
    va_end(args);
}

void SetFailure(std::string* failure, const std::string& text) {
    if (failure) *failure = text;
}

TagEntry* Finish(TagEntry* geom) {
    Log(0, geom ? "Import Successful.\n\n" : "Import Failed.\n\n");
    return geom;
}

// The builder's end of both imports; `failed_line` is the importer's own
// line for a model the tags could not take.
TagEntry* BuildTags(const ModelObject& model, const std::string& name, UserPrompts& prompts,
                    const char* failed_line, std::string* failure) {
    ModelTagsOutcome outcome;
    std::string message;
    TagEntry* geom = BuildModelTags(model, name, prompts, &outcome, &message);
    if (outcome == ModelTagsOutcome::kCancelled) {
        Log(0, "INFO: the local tags named '%s' were kept.\n", name.c_str());
    } else if (!geom) {
        Log(0, "ERROR: %s\n", message.c_str());
        Log(2, "%s", failed_line);
        SetFailure(failure, message);
    }
    return geom;
}

// Level 1: the Log Viewer comes forward, so that what became of the
// object's polygons and images is seen, not only "Import Successful.".
void LogConversionNotes(const LwoConversionNotes& notes) {
    if (notes.split_polygons)
        Log(1, "INFO: %u polygon(s) of four or more corners were split into triangles.\n", notes.split_polygons);
    if (notes.not_convex)
        Log(1, "WARNING: %u of them are not convex; their triangles may overlap.\n", notes.not_convex);
    if (notes.skipped_points_lines)
        Log(1, "WARNING: %u polygon(s) of fewer than three corners (points and lines) were skipped.\n",
            notes.skipped_points_lines);
    if (notes.skipped_other_kinds)
        Log(1, "WARNING: %u curve, bone or metaball polygon(s) were skipped.\n", notes.skipped_other_kinds);
    for (const LwoProjectedImage& image : notes.projected_images)
        Log(1, "WARNING: surface '%s' places its image by %s projection, not by a UV map: the image is imported, "
               "but its texture coordinates are 0.\n",
            image.surface.c_str(), LwoProjectionName(image.projection));
}

}  // namespace

TagEntry* ImportLwoModel(const std::string& path, const std::string& folder, const std::string& name,
                         UserPrompts& prompts, std::string* failure) {
    SetFailure(failure, "");
    Log(0, "Beginning import of '%s' ...\n", name.c_str());
    LwoReadFailure read_failure;
    std::unique_ptr<LwoObject> object = LwoReadObjectFile(path, &read_failure);
    if (!object) {
        const std::string reason =
            FormatString("'%s' could not be read: %s", path.c_str(), LwoFailureText(read_failure).c_str());
        Log(0, "ERROR: %s\n", reason.c_str());
        SetFailure(failure, reason);
        return Finish(nullptr);
    }
    std::string message;
    LwoConversionNotes notes;
    std::unique_ptr<ModelObject> model = LwoObjectToModel(*object, folder, &message, &notes);
    LwoFreeObject(object);
    if (!model) {
        const std::string reason = FormatString("'%s' could not be converted: %s", path.c_str(), message.c_str());
        Log(0, "ERROR: %s\n", reason.c_str());
        SetFailure(failure, reason);
        return Finish(nullptr);
    }
    LogConversionNotes(notes);
    // Surfaces without an image name no file and are meant to be plain.
    for (const ModelTexture& texture : model->textures) {
        if (!texture.file_name.empty() && !HasWholePixels(texture.colour))
            Log(2, "Texture '%s' could not be loaded.\n", texture.file_name.c_str());
    }
    TagEntry* geom = BuildTags(*model, name, prompts,
                               "LWO -> Model conversion failed. If the target model is already open in Pirn or "
                               "another app, please close it first.\n",
                               failure);
    return Finish(geom);
}

TagEntry* Import3dmfModel(const std::string& path, const std::string& name, UserPrompts& prompts,
                          std::string* failure) {
    SetFailure(failure, "");
    Log(0, "Beginning import of '%s' ...\n", name.c_str());
    std::string message;
    std::unique_ptr<ModelObject> model = Load3dmfModel(path, &message);
    if (!model) {
        Log(0, "ERROR: '%s' could not be read.\n", path.c_str());
        Log(0, "3dmf parsing failed: %s\n", message.c_str());
        SetFailure(failure, FormatString("'%s' could not be read: %s", path.c_str(), message.c_str()));
        return Finish(nullptr);
    }
    TagEntry* geom = BuildTags(*model, name, prompts,
                               "3DMF -> Model conversion failed. If the target model is already open in Pirn or "
                               "another app, please close it first.\n",
                               failure);
    return Finish(geom);
}

}  // namespace pirn
