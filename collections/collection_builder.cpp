#include "collections/collection_builder.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>
#include <memory>

#include "collections/build_tasks.h"
#include "collections/frame_layout.h"
#include "collections/picture_file.h"
#include "platform/char_map.h"
#include "platform/file_system.h"
#include "platform/folder_listing.h"
#include "platform/log_message.h"
#include "platform/natural_compare.h"
#include "platform/palette_remap.h"
#include "platform/pixel_convert.h"
#include "platform/strings.h"

namespace pirn {

namespace {

// Runs of the builder in this program's lifetime, for the log topics.
int g_build_runs = 0;

void SortNatural(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return NaturalCompare(a.c_str(), b.c_str()) < 0; });
}

std::vector<std::string> ListSubfolders(const std::string& folder) {
    std::vector<ListedEntry> entries;
    std::vector<std::string> names;
    if (!ListFolderEntries(folder, entries)) return names;
    for (const ListedEntry& entry : entries)
        if (entry.info.IsFolder()) names.push_back(entry.name);
    SortNatural(names);
    return names;
}

std::vector<std::string> ListFiles(const std::string& folder) {
    std::vector<std::string> names;
    ListDirectoryFiles(folder, names, false, false);
    SortNatural(names);
    return names;
}

// "walk01.alpha.png": a name whose part before its extension ends in
// ".alpha" and is longer than that.
bool IsAlphaFileName(const std::string& name) {
    static const std::string kSuffix = ".alpha";
    const std::string stem = PathFileName(name, true);
    return stem.size() > kSuffix.size() && stem.compare(stem.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0;
}

void Log(const CollectionBuildState& state, i32 level, const std::string& text) {
    LogMessageText(level, state.topic, text);
}

// The frame list's checks and the count of files it needs. False, logged,
// when the sequence cannot be built from the files.
bool CheckFileCounts(const CollectionBuildState& state, const std::string& folder, const BuildScript& script,
                     u32 views, u32 frames, u64 files) {
    u64 needed = u64(frames) * views;
    if (script.has_frame_list) {
        if (script.frame_list.size() != frames) {
            Log(state, 1,
                FormatString("ERROR: script.txt in sequence folder '%s' specifies %d frames, expected %d\n",
                             folder.c_str(), int(script.frame_list.size()), int(frames)));
            return false;
        }
        needed = u64(CountDistinctFrames(script.frame_list)) * views;
    }
    if (needed > files) {
        Log(state, 1,
            FormatString("ERROR: sequence folder '%s' contains %d bitmaps, expected %d\n", folder.c_str(), int(files),
                         int(needed)));
        return false;
    }
    if (needed < files)
        Log(state, 1,
            FormatString("WARNING: sequence folder '%s' contains %d bitmaps, expected %d. Some bitmaps will not be "
                         "used.\n",
                         folder.c_str(), int(files), int(needed)));
    if (script.has_frame_list) {
        const i32 beyond = FirstFrameBeyondFiles(script.frame_list, views, files);
        if (beyond >= 0) {
            Log(state, 1,
                FormatString("ERROR: script.txt in sequence folder '%s' specified a frame index (%d), larger than the "
                             "number of frames found in the folder (%d).\n",
                             folder.c_str(), beyond + 1, int(files / views)));
            return false;
        }
    }
    return true;
}

// One colour file loaded and cropped off the builder's thread.
struct LoadedFrame {
    bool ok = false;
    std::string message;
    PixelImage image;
    BuildFrameEntry entry;
};

bool CropBuildFrame(PixelImage* rgba, const std::string& path, BuildFrameEntry* entry, std::string* message) {
    entry->full = CropBox{0, 0, i32(rgba->width), i32(rgba->height)};
    CropBox box;
    ImageBounds bounds;
    // A box of one column or one row counts as empty too: such a frame is
    // almost always a mask that did not load as one.
    if (!ImageContentBounds(*rgba, &bounds) || bounds.x0 == bounds.x1 || bounds.y0 == bounds.y1 ||
        !CropToAlpha(rgba, &box)) {
        *message = FormatString("ERROR: bitmap '%s' is empty after cropping (missing alpha channel?)\n", path.c_str());
        return false;
    }
    entry->crop = box;
    UpdateImageChecksum(rgba);
    return true;
}

void KeepBuildFrame(CollectionBuildState* state, PixelImage* rgba, const std::string& path, BuildFrameEntry* entry) {
    entry->image = static_cast<i32>(state->images.Add(rgba, path));
}

// Sequence dimensions from the folder name or the default of 8 views.
bool ChooseDimensions(const CollectionBuildState& state, const SequenceFolderName& parsed, const std::string& folder,
                      u64 files, u32* views, u32* frames) {
    if (parsed.has_dimensions) {
        if (!SequenceDimensionsFit(parsed.views, parsed.frames)) {
            Log(state, 1,
                FormatString("ERROR: the sequence folder '%s' names %d views and %d frames; each must be at least 1 "
                             "and views x frames at most %u.\n",
                             folder.c_str(), parsed.views, parsed.frames, kMaxSequenceInstances));
            return false;
        }
        *views = u32(parsed.views);
        *frames = u32(parsed.frames);
        return true;
    }
    if (files == 0 || files % 8 != 0 || !SequenceDimensionsFit(8, i64(files / 8))) {
        Log(state, 1,
            FormatString("ERROR: the sequence folder '%s' had invalid dimensions, no dimensions in script.txt and no "
                         "dimensions in the name.\n",
                         folder.c_str()));
        return false;
    }
    *views = 8;
    *frames = u32(files / 8);
    Log(state, 0,
        FormatString("INFO: Sequence dimensions not specified for '%s'; Assuming the default of 8 views.\n",
                     folder.c_str()));
    return true;
}

void SetSequenceName(CollectionSequence* sequence, const std::string& name) {
    SetElementName(sequence->name, name.c_str());
}

}  // namespace

bool LoadColourAlphaPair(const std::string& colour_path, const std::string& alpha_path, bool invert_alphas,
                         PixelImage* rgba, std::string* message) {
    PixelImage colour;
    if (!LoadPictureFile(colour_path, &colour)) {
        *message = FormatString("ERROR: the color bitmap file '%s' could not be loaded.\n", colour_path.c_str());
        return false;
    }
    // A grey colour picture keeps its greys (as RGBA it would turn white).
    if (colour.format == kFormatAlpha) GreyToRgb(&colour);
    std::vector<u8> plane;
    if (!alpha_path.empty()) {
        PixelImage alpha;
        if (!LoadPictureFile(alpha_path, &alpha)) {
            *message = FormatString("ERROR: the alpha bitmap file '%s' could not be loaded.\n", alpha_path.c_str());
            return false;
        }
        if (!AlphaPlaneOf(alpha, true, &plane)) {
            *message = FormatString("WARNING: the alpha bitmap file '%s' was not 8-bit grayscale.\n", alpha_path.c_str());
            return false;
        }
        if (alpha.width != colour.width || alpha.height != colour.height) {
            *message = FormatString(
                "ERROR: the alpha bitmap file '%s' had different dimensions than its color counterpart, '%s'.\n",
                alpha_path.c_str(), colour_path.c_str());
            return false;
        }
    }
    if (colour.format != kFormatRgba && !ToRgbaFormat(&colour)) {
        *message = FormatString("ERROR: the color bitmap file '%s' could not be loaded.\n", colour_path.c_str());
        return false;
    }
    if (!plane.empty()) SetImageChannel(&colour, 3, plane.data());
    if (invert_alphas) InvertImageChannel(&colour, 3);
    ClearTransparentPixels(&colour);
    MovePixelImage(rgba, &colour);
    return true;
}

bool AddBuildFrame(CollectionBuildState* state, PixelImage* rgba, const std::string& path, BuildFrameEntry* entry,
                   std::string* message) {
    if (!CropBuildFrame(rgba, path, entry, message)) return false;
    KeepBuildFrame(state, rgba, path, entry);
    return true;
}

bool ScanSequenceFolder(CollectionBuildState* state, const std::string& folder_name, const std::string& colour_folder,
                        const std::string& alpha_folder) {
    const SequenceFolderName parsed = ParseSequenceFolderName(folder_name);
    Log(*state, 0, FormatString("scanning sequence folder '%s'\n", colour_folder.c_str()));
    BuildScript script;
    ReadBuildScript(colour_folder, &script);

    std::vector<std::string> colours;
    std::vector<std::string> alphas;
    for (const std::string& name : ListFiles(colour_folder)) {
        if (name == "script.txt") continue;
        (IsAlphaFileName(name) ? alphas : colours).push_back(colour_folder + name);
    }
    if (alphas.empty() && alpha_folder != colour_folder && PathExists(alpha_folder, kPathIsFolder))
        for (const std::string& name : ListFiles(alpha_folder)) alphas.push_back(alpha_folder + name);
    if (!alphas.empty() && alphas.size() != colours.size()) {
        Log(*state, 1,
            FormatString("ERROR: found %d alphas for sequence '%s', expected %d\n", int(alphas.size()),
                         parsed.name.c_str(), int(colours.size())));
        return false;
    }

    u32 views = 0;
    u32 frames = 0;
    if (!ChooseDimensions(*state, parsed, colour_folder, colours.size(), &views, &frames)) return false;
    const i32 order = script.order != kOrderUnset ? script.order : state->default_order;
    if (!CheckFileCounts(*state, colour_folder, script, views, frames, colours.size())) return false;
    if (order == kFramesThenViews) {
        ReorderFramesThenViews(colours, views);
        if (!alphas.empty()) ReorderFramesThenViews(alphas, views);
    }

    std::vector<LoadedFrame> loaded(colours.size());
    RunBuildTasks(colours.size(), [&](size_t k) {
        LoadedFrame& frame = loaded[k];
        const std::string alpha = alphas.empty() ? std::string() : alphas[k];
        frame.ok = LoadColourAlphaPair(colours[k], alpha, state->invert_alphas, &frame.image, &frame.message) &&
                   CropBuildFrame(&frame.image, colours[k], &frame.entry, &frame.message);
    });
    const u32 kept_before = state->images.size();
    for (size_t k = 0; k < loaded.size(); ++k) {
        LoadedFrame& frame = loaded[k];
        ++state->images_loaded;
        if (!frame.ok) {
            Log(*state, 1, frame.message);
            // Pictures only this sequence brought in would be bitmaps no view shows.
            state->images.Truncate(kept_before);
            return false;
        }
        KeepBuildFrame(state, &frame.image, colours[k], &frame.entry);
    }

    BuildSequence sequence;
    // Names in a collection are the program's 8-bit text; file names UTF-8.
    sequence.name = Utf8ToCharMap(parsed.name);
    sequence.views = views;
    sequence.frames = frames;
    sequence.entries.resize(size_t(views) * frames);
    for (u32 f = 0; f < frames; ++f) {
        const i32 source = script.has_frame_list ? script.frame_list[f] : i32(f);
        if (source < 0) continue;
        for (u32 v = 0; v < views; ++v) sequence.entries[size_t(f) * views + v] = loaded[size_t(source) * views + v].entry;
    }
    state->sequences.push_back(std::move(sequence));
    return true;
}

void ScanCollectionFolders(CollectionBuildState* state, const std::string& root_folder) {
    const std::string root = EnsureTrailingSlash(root_folder);
    std::vector<std::string> names = ListSubfolders(root + "bitmaps/");
    for (const std::string& name : ListSubfolders(root + "alphas/"))
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    SortNatural(names);
    if (!names.empty()) {
        for (const std::string& name : names)
            ScanSequenceFolder(state, name, root + "bitmaps/" + name + "/", root + "alphas/" + name + "/");
    } else {
        for (const std::string& name : ListSubfolders(root)) {
            std::string colour = root + name + "/bitmaps/";
            std::string alpha = root + name + "/alphas/";
            if (!PathExists(colour, kPathIsFolder)) colour = alpha = root + name + "/";
            ScanSequenceFolder(state, name, colour, alpha);
        }
    }
}

void AssembleBuiltCollection(CollectionBuildState* state, i32 registration_x, i32 registration_y,
                             Collection* collection) {
    std::vector<PixelImage*> pictures;
    for (BuildImage& image : state->images.images()) pictures.push_back(&image.image);
    u8 palette[kPaletteBytes];
    if (!pictures.empty()) BuildSharedPalette(pictures, kFormatIndexAlpha, palette);

    std::vector<CollectionBitmap*> bitmaps(state->images.size(), nullptr);
    for (u32 i = 0; i < state->images.size(); ++i) {
        const BuildImage& image = state->images[i];
        const std::string name = Utf8ToCharMap(PathFileName(image.path, true));
        if (image.image.format != kFormatIndexAlpha && image.image.format != kFormatColorIndex) {
            Log(*state, 1, FormatString("ERROR: The bitmap '%s' was neither 8 or 16-bit\n", name.c_str()));
            continue;
        }
        bitmaps[i] = AddBitmapFromImage(collection, image.image, name.c_str(), nullptr, false);
        if (!bitmaps[i])
            Log(*state, 1, FormatString("ERROR: The bitmap '%s' could not be added (palette mismiatch?)\n", name.c_str()));
    }

    for (const BuildSequence& built : state->sequences) {
        CollectionSequence* sequence = AddSequence(collection, built.name.c_str());
        SetSequenceName(sequence, built.name);
        ResizeSequence(sequence, static_cast<u16>(built.views), static_cast<u16>(built.frames));
        for (u32 f = 0; f < built.frames; ++f)
            for (u32 v = 0; v < built.views; ++v) {
                const BuildFrameEntry& entry = built.entries[size_t(f) * built.views + v];
                if (entry.image < 0 || !bitmaps[size_t(entry.image)]) continue;
                const i64 x = i64(registration_x) - entry.crop.x0;
                const i64 y = i64(registration_y) - entry.crop.y0;
                if (x < std::numeric_limits<i16>::min() || y < std::numeric_limits<i16>::min() ||
                    x > std::numeric_limits<i16>::max() || y > std::numeric_limits<i16>::max()) {
                    Log(*state, 1,
                        FormatString("ERROR: bitmap '%s' lies too far from the registration point; frame %u, view %u "
                                     "of '%s' is left empty.\n",
                                     state->images[u32(entry.image)].path.c_str(), f + 1, v + 1, built.name.c_str()));
                    continue;
                }
                BitmapInstance* instance = GetSequenceInstance(sequence, f, v);
                instance->standard.bitmap = bitmaps[size_t(entry.image)];
                instance->standard.x = static_cast<i16>(x);
                instance->standard.y = static_cast<i16>(y);
            }
    }
}

int BuildCollection(const CollectionBuildSettings& settings, const CollectionWriter& write) {
    CollectionBuildState state;
    state.invert_alphas = settings.invert_alphas;
    state.default_order = settings.default_order;
    state.topic = FormatString("BuildCollection %d (%s)", g_build_runs++, settings.name.c_str());
    Log(state, 0,
        FormatString("****************** Begin BuildCollection log for '%s' ******************\n",
                     settings.name.c_str()));
    const auto start = std::chrono::steady_clock::now();

    ScanCollectionFolders(&state, settings.folder);
    int result = 0;
    if (state.images.size() == 0) {
        Log(state, 1, FormatString("ERROR: no usable bitmaps were found in '%s'.\n", settings.folder.c_str()));
    } else {
        auto collection = std::make_unique<Collection>();
        InitCollection(collection.get());
        CopyStringBounded(collection->name, settings.name.c_str(), sizeof collection->name);
        AssembleBuiltCollection(&state, settings.registration_x, settings.registration_y, collection.get());
        Log(state, 0, "Writing collection data to disk...");
        result = write(collection.get()) ? 1 : 0;
        Log(state, 0, FormatString("%s\n", result ? "ok." : "failed!"));
        FreeCollection(collection.get());
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    Log(state, 0, FormatString("%.2lfs elpased\n", seconds));
    return result;
}

}  // namespace pirn
