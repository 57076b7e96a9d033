#include "collections/uprez_builder.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>

#include "collections/bitmap_codec.h"
#include "collections/build_tasks.h"
#include "collections/frame_layout.h"
#include "collections/high_res_image.h"
#include "collections/hue_regions.h"
#include "collections/uprez_resample.h"
#include "collections/uprez_scale.h"
#include "platform/char_map.h"
#include "platform/file_system.h"
#include "platform/log_message.h"
#include "platform/natural_compare.h"
#include "platform/strings.h"

namespace pirn {

namespace {

// Runs of this builder in the program's lifetime (apart from the standard
// builder's), for the log topics.
int g_uprez_runs = 0;

// Alternate scale of an instance: 10 / target as unsigned 16.16.
constexpr double kAlternateScaleNumerator = 655360.0;

void Log(const UpResState& state, i32 level, const std::string& text) { LogMessageText(level, state.topic, text); }

bool IsHighResAlphaName(const std::string& name) {
    return PathFileName(name, true).find(".alpha") != std::string::npos;
}

std::vector<std::string> ListHighResFiles(const std::string& folder) {
    std::vector<std::string> names;
    ListDirectoryFiles(folder, names, false, false);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return NaturalCompare(a.c_str(), b.c_str()) < 0; });
    std::vector<std::string> files;
    for (const std::string& name : names)
        if (name != "script.txt" && !IsHighResAlphaName(name)) files.push_back(folder + name);
    return files;
}

// The checks of a sequence's files against its frames and views; false,
// logged, when the sequence cannot be matched.
bool CheckHighResFiles(const UpResState& state, const std::string& folder, const BuildScript& script, u32 views,
                       u32 frames, u64 files) {
    if (script.has_frame_list) {
        if (script.frame_list.size() != frames) {
            Log(state, 2,
                FormatString("ERROR: script.txt in sequence folder '%s' specifies %d frames, expected %d\n",
                             folder.c_str(), int(script.frame_list.size()), int(frames)));
            return false;
        }
        const u64 needed = u64(CountDistinctFrames(script.frame_list)) * views;
        if (needed != files) {
            Log(state, 2,
                FormatString("ERROR: sequence folder '%s' contains %d bitmaps, expected %d\n", folder.c_str(),
                             int(files), int(needed)));
            return false;
        }
        const i32 beyond = FirstFrameBeyondFiles(script.frame_list, views, files);
        if (beyond >= 0) {
            Log(state, 2,
                FormatString("ERROR: script.txt in sequence folder '%s' specified a frame index (%d), larger than the "
                             "number of frames found in the folder (%d).\n",
                             folder.c_str(), beyond + 1, views ? int(files / views) : 0));
            return false;
        }
        return true;
    }
    if (files != u64(frames) * views) {
        Log(state, 1,
            FormatString("WARNING: sequence folder '%s' contains %d bitmaps, expected %d. Sequence may not be "
                         "constructed.\n",
                         folder.c_str(), int(files), int(u64(frames) * views)));
        return false;
    }
    return true;
}

// One instance's picture, loaded and cropped off the builder's thread.
struct HighResLoad {
    BitmapInstance* instance = nullptr;
    u32 frame = 0;
    u32 view = 0;
    std::string path;
    bool ok = false;
    std::string problem;
    PixelImage image;
    CropBox full;
    CropBox crop;
};

void LoadAndCrop(HighResLoad* load, bool invert_alphas) {
    if (!LoadHighResImage(load->path, invert_alphas, &load->image, &load->problem)) return;
    load->full = CropBox{0, 0, i32(load->image.width), i32(load->image.height)};
    if (!CropToAlpha(&load->image, &load->crop)) {
        load->problem =
            FormatString("ERROR: bitmap '%s' is empty after cropping (missing alpha channel?)\n", load->path.c_str());
        return;
    }
    UpdateImageChecksum(&load->image);
    load->ok = true;
}

void KeepRecord(UpResState* state, std::unique_ptr<UpResInstanceRecord> record) {
    UpResInstanceRecord* kept = record.get();
    state->records.push_back(std::move(record));
    state->by_instance[kept->instance] = kept;
    if (kept->source && !state->by_bitmap.count(kept->source)) state->by_bitmap[kept->source] = kept;
}

void ScanHighResSequence(UpResState* state, u32 index) {
    CollectionSequence* sequence = state->collection->sequences[index].get();
    const std::string name(sequence->name, strnlen(sequence->name, sizeof sequence->name));
    std::string folder_name;
    if (!MakeSafeFolderName(name, &folder_name)) {
        Log(*state, 2, FormatString("ERROR: sequence '%s' has no name a folder can have; it is skipped.\n", name.c_str()));
        return;
    }
    const std::string folder = state->folder + folder_name + "/";
    std::vector<std::string> files = ListHighResFiles(folder);
    BuildScript script;
    script.order = state->order;
    script.align = state->align;
    script.reverse_views = state->reverse_views;
    ReadBuildScript(folder, &script);
    if (script.align != kAlignUnset) state->sequence_align[index] = script.align;
    Log(*state, 1, FormatString("scanning sequence '%s'\n", name.c_str()));

    const u32 frames = u32(sequence->frames.size());
    const u32 views = frames ? u32(sequence->frames[0].instances.size()) : 0;
    if (!CheckHighResFiles(*state, folder, script, views, frames, files.size())) return;
    if (script.order == kFramesThenViews) ReorderFramesThenViews(files, views);
    if (script.reverse_views) ReverseFrameViews(files, views);

    std::vector<HighResLoad> loads;
    for (u32 f = 0; f < frames; ++f) {
        const i32 source = script.has_frame_list ? script.frame_list[f] : i32(f);
        if (source < 0) continue;
        for (u32 v = 0; v < views && v < sequence->frames[f].instances.size(); ++v) {
            BitmapInstance* instance = &sequence->frames[f].instances[v];
            if (!instance->standard.bitmap) {
                Log(*state, 0,
                    FormatString("INFO: '%s' frame %u view %u shows no bitmap; its high-resolution file is not used.\n",
                                 name.c_str(), f + 1, v + 1));
                continue;
            }
            HighResLoad load;
            load.instance = instance;
            load.frame = f;
            load.view = v;
            load.path = files[size_t(source) * views + v];
            loads.push_back(std::move(load));
        }
    }
    RunBuildTasks(loads.size(), [&](size_t k) { LoadAndCrop(&loads[k], state->invert_alphas); });

    for (HighResLoad& load : loads) {
        if (!load.ok) {
            if (!load.problem.empty()) Log(*state, 2, load.problem);
            Log(*state, 2,
                FormatString("ERROR: could not create UpRes bitmap instance for '%s' (bad format?)\n", load.path.c_str()));
            continue;
        }
        ++state->images_loaded;
        auto record = std::make_unique<UpResInstanceRecord>();
        record->instance = load.instance;
        record->source = load.instance->standard.bitmap;
        record->sequence = index;
        record->frame = load.frame;
        record->view = load.view;
        record->full = load.full;
        record->crop = record->loaded_crop = load.crop;
        record->image = state->images.Add(&load.image, load.path);
        KeepRecord(state, std::move(record));
    }
}

// The record of each instance of a sequence, frames outer, views inner.
template <typename Visit>
void ForEachSequenceInstance(UpResState* state, u32 index, Visit visit) {
    CollectionSequence* sequence = state->collection->sequences[index].get();
    for (u32 f = 0; f < sequence->frames.size(); ++f)
        for (u32 v = 0; v < sequence->frames[f].instances.size(); ++v) visit(&sequence->frames[f].instances[v], f, v);
}

UpResInstanceRecord* RecordOf(const UpResState& state, const BitmapInstance* instance) {
    auto it = state.by_instance.find(instance);
    return it == state.by_instance.end() ? nullptr : it->second;
}

void MirrorCropBox(const BitmapInstance& instance, UpResInstanceRecord* record) {
    const CropBox before = record->crop;
    if (instance.flags & kInstanceMirrored) {
        record->crop.x0 = record->full.x1 - 1 - before.x1;
        record->crop.x1 = record->full.x1 - 1 - before.x0;
    }
    if (instance.flags & kInstanceFlipped) {
        record->crop.y0 = record->full.y1 - 1 - before.y1;
        record->crop.y1 = record->full.y1 - 1 - before.y0;
    }
}

bool SameBox(const CropBox& a, const CropBox& b) { return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1; }

// The collection's hue changes, or the script's when there are as many,
// cut to those a pixel can name.
void ChooseLabelHues(UpResState* state, const BuildScript& script) {
    const u32 own = GetCollectionHueChangeCount(*state->collection);
    if (!script.hue_changes.empty() && script.hue_changes.size() == own) {
        state->hues = script.hue_changes;
    } else {
        if (!script.hue_changes.empty())
            Log(*state, 2,
                FormatString("ERROR: %d hue changes specified in script.txt, expected %d. Script hues ignored.\n",
                             int(script.hue_changes.size()), int(own)));
        for (const auto& hue : state->collection->hue_changes) state->hues.push_back(*hue);
    }
    if (state->hues.size() > kMaxPixelHueChanges) {
        Log(*state, 1,
            FormatString("WARNING: high-resolution pixels can name only the first %u hue changes; the other %d are "
                         "not marked.\n",
                         kMaxPixelHueChanges, int(state->hues.size() - kMaxPixelHueChanges)));
        state->hues.resize(kMaxPixelHueChanges);
    }
}

bool CheckTargetScale(const UpResState& state) {
    const double target = state.target_scale;
    if (!(target > 0) || !std::isfinite(target)) {
        Log(state, 2, FormatString("FATAL: the target scale (%.2lf) must be above 0.\n", target));
        return false;
    }
    if (std::llround(kAlternateScaleNumerator / target) > 0xFFFFFFFFll) {
        Log(state, 2, FormatString("FATAL: the target scale (%g) is too small to be stored.\n", target));
        return false;
    }
    return true;
}

std::vector<ScalePair> MakeScalePairs(const UpResState& state) {
    std::vector<ScalePair> pairs;
    for (const auto& record : state.records) {
        ScalePair pair;
        pair.width = record->source->width;
        pair.height = record->source->height;
        pair.image_width = u32(record->crop.x1 - record->crop.x0 + 1);
        pair.image_height = u32(record->crop.y1 - record->crop.y0 + 1);
        pair.bitmap_name = std::string(record->source->name, strnlen(record->source->name, sizeof record->source->name));
        pair.image_name = PathFileName(state.images[record->image].path, false);
        pairs.push_back(std::move(pair));
    }
    return pairs;
}

}  // namespace

void ScanHighResFolder(UpResState* state) {
    state->sequence_align.assign(state->collection->sequences.size(), state->align);
    for (u32 s = 0; s < state->collection->sequences.size(); ++s) ScanHighResSequence(state, s);
}

void RecoverUpResRecords(UpResState* state) {
    Log(*state, 0, "********* All folders loaded, now attempting upres process\n");
    for (u32 s = 0; s < state->collection->sequences.size(); ++s) {
        u32 filled = 0;
        u32 instances = 0;
        ForEachSequenceInstance(state, s, [&](BitmapInstance* instance, u32 f, u32 v) {
            ++instances;
            if (RecordOf(*state, instance) || !instance->standard.bitmap) return;
            auto kept = state->by_bitmap.find(instance->standard.bitmap);
            if (kept == state->by_bitmap.end()) return;
            auto copy = std::make_unique<UpResInstanceRecord>(*kept->second);
            copy->instance = instance;
            copy->sequence = s;
            copy->frame = f;
            copy->view = v;
            copy->crop = copy->loaded_crop;
            KeepRecord(state, std::move(copy));
            ++filled;
        });
        const std::string name(state->collection->sequences[s]->name);
        if (filled > 0)
            Log(*state, 0,
                FormatString("'%s': recovered %d/%d bitmaps from other sequences\n", name.c_str(), int(filled),
                             int(instances)));
        const UpResInstanceRecord* first = nullptr;
        bool warned = false;
        ForEachSequenceInstance(state, s, [&](BitmapInstance* instance, u32, u32) {
            UpResInstanceRecord* record = RecordOf(*state, instance);
            if (!record) return;
            if (!first) {
                first = record;
            } else if (!warned && !SameBox(record->full, first->full)) {
                Log(*state, 2,
                    FormatString("ERROR: sequence '%s': not all bitmaps are the same size; Alignment not preserved!\n",
                                 name.c_str()));
                warned = true;
            }
            MirrorCropBox(*instance, record);
        });
    }
}

bool ScaleUpResImages(UpResState* state) {
    const double r = state->target_scale / state->computed_scale;
    const u32 count = state->images.size();
    std::vector<std::pair<u32, u32>> sizes(count);
    for (u32 i = 0; i < count; ++i) {
        const PixelImage& image = state->images[i].image;
        const i64 w = std::llround(image.width * r);
        const i64 h = std::llround(image.height * r);
        if (w < 1 || h < 1 || w > i64(kMaxStoredBitmapSide) || h > i64(kMaxStoredBitmapSide)) {
            Log(*state, 2,
                FormatString("FATAL: the image '%s' (%ux%u) would be resized to %lldx%lld pixels.\n",
                             state->images[i].path.c_str(), image.width, image.height, static_cast<long long>(w),
                             static_cast<long long>(h)));
            return false;
        }
        sizes[i] = {u32(w), u32(h)};
    }
    state->resized.assign(count, UpResImage());
    RunBuildTasks(count, [&](size_t i) {
        PixelImage& image = state->images[u32(i)].image;
        std::vector<u8> labels;
        LabelHueRegions(image, state->hues, &labels);
        UpResImage& out = state->resized[i];
        out.width = sizes[i].first;
        out.height = sizes[i].second;
        ResampleUpResImage(image, labels, out.width, out.height, &out.pixels);
        FreeImagePixels(&image);
    });
    for (auto& record : state->records) {
        const UpResImage& image = state->resized[record->image];
        record->crop.x0 = i32(std::lround(record->crop.x0 * r));
        record->crop.y0 = i32(std::lround(record->crop.y0 * r));
        record->crop.x1 = record->crop.x0 + i32(image.width) - 1;
        record->crop.y1 = record->crop.y0 + i32(image.height) - 1;
    }
    state->computed_scale = state->target_scale;
    return true;
}

void RebuildUpResSequence(UpResState* state, u32 index) {
    const double s = state->computed_scale;
    const i32 align = state->sequence_align.empty() ? state->align : state->sequence_align[index];
    struct Origin {
        UpResInstanceRecord* record;
        double x, y;
        u32 group;
    };
    std::vector<Origin> origins;
    ForEachSequenceInstance(state, index, [&](BitmapInstance* instance, u32 f, u32 v) {
        UpResInstanceRecord* record = RecordOf(*state, instance);
        if (!record) return;
        const double w = record->source->width;
        const double h = record->source->height;
        const double x = (record->crop.x0 + record->crop.x1 + 1) / 2.0 - (w / 2 - instance->standard.x) * s;
        const double y = (record->crop.y0 + record->crop.y1 + 1) / 2.0 - (h / 2 - instance->standard.y) * s;
        u32 group = 0;
        if (align == kAlignBitmapsIndividually)
            group = u32(origins.size());
        else if (align == kAlignViewsIndividually)
            group = v;
        else if (align == kAlignFramesIndividually)
            group = f;
        origins.push_back({record, x, y, group});
    });
    std::map<u32, std::pair<double, double>> sums;
    std::map<u32, u32> counts;
    for (const Origin& origin : origins) {
        sums[origin.group].first += origin.x;
        sums[origin.group].second += origin.y;
        ++counts[origin.group];
    }
    for (const Origin& origin : origins) {
        const double n = counts[origin.group];
        const i64 gx = std::llround(sums[origin.group].first / n);
        const i64 gy = std::llround(sums[origin.group].second / n);
        origin.record->alternate_x = i32(gx - origin.record->crop.x0);
        origin.record->alternate_y = i32(gy - origin.record->crop.y0);
    }
}

bool LinkUpResBitmaps(UpResState* state) {
    Collection* collection = state->collection;
    const u32 n = GetCollectionBitmapCount(*collection);
    const u32 unique = u32(state->resized.size());
    if (u64(n) + unique > kMaxSequenceInstances) {
        Log(*state, 2,
            FormatString("FATAL: %u bitmaps and %u high-resolution images are more than the %u bitmaps a collection "
                         "holds.\n",
                         n, unique, kMaxSequenceInstances));
        return false;
    }
    for (const auto& record : state->records) {
        const i32 limit_low = std::numeric_limits<i16>::min(), limit_high = std::numeric_limits<i16>::max();
        if (record->alternate_x < limit_low || record->alternate_x > limit_high || record->alternate_y < limit_low ||
            record->alternate_y > limit_high) {
            Log(*state, 2,
                FormatString("FATAL: the high-resolution origin of '%s' frame %u view %u (%d, %d) lies outside the "
                             "16-bit range.\n",
                             collection->sequences[record->sequence]->name, record->frame + 1, record->view + 1,
                             record->alternate_x, record->alternate_y));
            return false;
        }
    }
    for (u32 i = 0; i < unique; ++i) {
        const UpResImage& image = state->resized[i];
        const std::string name = Utf8ToCharMap(PathFileName(state->images[i].path, false));
        if (!AddCollectionBitmap(collection, name.c_str(), 0, image.pixels.data(), image.width, image.height,
                                 kUpResPixelBytes, nullptr)) {
            Log(*state, 2, FormatString("FATAL: the high-resolution bitmap '%s' could not be added.\n", name.c_str()));
            return false;
        }
    }
    const u32 scale = u32(std::llround(kAlternateScaleNumerator / state->target_scale));
    for (const auto& record : state->records) {
        BitmapInstance* instance = record->instance;
        instance->flags |= kInstanceHasAlternate;
        instance->alternate.bitmap = GetCollectionBitmap(*collection, n + record->image);
        instance->alternate.index = static_cast<u16>(n + record->image);
        instance->alternate.x = static_cast<i16>(record->alternate_x);
        instance->alternate.y = static_cast<i16>(record->alternate_y);
        instance->alternate.scale = scale;
    }
    return true;
}

int UpResCollection(Collection* collection, const UpResSettings& settings, const BuildScript& script,
                    const UpResWriter& write) {
    UpResState state;
    state.collection = collection;
    state.folder = EnsureTrailingSlash(settings.folder);
    state.target_scale = settings.target_scale;
    state.align = script.align != kAlignUnset ? script.align : settings.align;
    state.order = script.order != kOrderUnset ? script.order : settings.order;
    state.reverse_views = script.has_reverse_views && script.reverse_views;
    state.invert_alphas = settings.invert_alphas;
    const std::string name(collection->name, strnlen(collection->name, sizeof collection->name));
    state.topic = FormatString("UpRes %d (%s)", g_uprez_runs++, name.c_str());
    Log(state, 0, FormatString("****************** Begin UpRes log for '%s' ******************\n", name.c_str()));
    const auto start = std::chrono::steady_clock::now();

    bool ok = CheckTargetScale(state);
    if (ok) {
        ChooseLabelHues(&state, script);
        ScanHighResFolder(&state);
        RecoverUpResRecords(&state);
        ok = ComputeGlobalScale(
            MakeScalePairs(state), settings.tolerance, [&](i32 level, const std::string& text) { Log(state, level, text); },
            &state.computed_scale);
    }
    if (ok && state.computed_scale < state.target_scale) {
        Log(state, 2,
            FormatString("FATAL: computed scale (%.2lf) must not be less than the target scale (%.2lf).\n",
                         state.computed_scale, state.target_scale));
        ok = false;
    }
    ok = ok && ScaleUpResImages(&state);
    if (ok)
        for (u32 s = 0; s < collection->sequences.size(); ++s) RebuildUpResSequence(&state, s);
    ok = ok && LinkUpResBitmaps(&state);

    Log(state, 0, FormatString("%d instances, %d unique\n", int(state.images_loaded), int(state.images.size())));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    Log(state, 0, FormatString("%.2lfs elpased\n", seconds));
    if (!ok) return 0;
    if (!write(collection)) {
        Log(state, 2, "ERROR: the collection could not be written to the local folder.\n");
        return 0;
    }
    return 1;
}

}  // namespace pirn
