// Every operation that writes, run once for every file operation it makes
// (open, write, fsync, close, rename, link, unlink), with that one operation
// failing as a full disk (ENOSPC), a failing disk (EIO) or a refused
// permission (EACCES) would make it fail; and again on a file system that
// cannot rename without replacing (where link and unlink stand in). After
// each run:
//   - the operation reports failure and every file of the game folder is as
//     it was (the catalogue too), or it reports success and everything is as
//     after an undisturbed run (a failure it could safely get past);
//   - no temporary file is left;
//   - a fresh Codex on the folder sees what the running one sees.
//
// A new writer joins with one line in kWriters: a name and a function that
// runs the operation on the prepared game folder (and, when it needs files
// of its own, a function that adds them first).
//
// Tag saves of the editors (TagEdit and the tag resources) go through the
// Codex's OpenTagForWriting and CloseTagForWriting as SaveLocalTag does;
// the lines below cover the writers with work of their own around it.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/addon_builder.h"
#include "codex/codex.h"
#include "codex/plugin_writer.h"
#include "collections/bitmap_export.h"
#include "collections/bitmap_import.h"
#include "collections/collection.h"
#include "collections/collection_build_request.h"
#include "collections/collection_tag.h"
#include "collections/local_collection_writer.h"
#include "collections/plate.h"
#include "collections/uprez_request.h"
#include "editors/dialog_data.h"
#include "editors/sound_data.h"
#include "editors/sound_export.h"
#include "editors/wav_file.h"
#include "models/detail_map.h"
#include "models/detail_map_tag.h"
#include "models/dtex_commands.h"
#include "models/dtex_tag.h"
#include "models/lwo_export.h"
#include "models/lwo_reader.h"
#include "models/model_from_lwo.h"
#include "models/model_import.h"
#include "platform/act_file.h"
#include "platform/file_ops.h"
#include "platform/file_system.h"
#include "platform/image_file.h"
#include "platform/log_capture.h"
#include "platform/pref_store.h"
#include "platform/scratch_stream.h"
#include "platform/strings.h"
#include "platform/user_prompts.h"
#include "tests/codex/codex_fixture_bytes.h"
#include "tests/support/test_support.h"
#include "tools/demo_game/demo_game.h"

namespace {

using codex_fixture::Code;
using codex_fixture::Data;
using codex_fixture::Tag;
using pirn::u16;
using pirn::u32;
using pirn::u8;

// --- The game folder every writer works on -------------------------------------

struct GameFolder {
    std::string root;  // ends in '/'

    std::string Path(const std::string& relative) const { return root + relative; }
    pirn::TagEntry* Find(const char (&group)[5], const char (&id)[5]) const {
        return pirn::FindTag(Code(group), Code(id));
    }
};

const Tag kMesh{Code("mesh"), Code("hill"), "Hill", Data("mesh data of the hill")};
const Tag kUnit{Code("unit"), Code("arch"), "Archer", Data("archer in the foundation")};
const Tag kAddonUnit{Code("unit"), Code("knig"), "Knight", Data("knight of the add-on")};
const Tag kLocalText{Code("text"), Code("wrd1"), "Words", Data("local words")};
const Tag kLocalUnit{Code("unit"), Code("arch"), "Archer", Data("archer overridden locally")};

pirn::PixelImage SmallPicture() {
    pirn::PixelImage image;
    const u8 pixels[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    pirn::SetImagePixels(&image, 3, 2, pirn::kFormatRgb, pixels);
    return image;
}

std::vector<u8> EncodedPicture(u32 type) {
    std::vector<u8> bytes;
    pirn::PixelImage image = SmallPicture();
    image.pixels[0] = 200;  // not what the savers write
    pirn::EncodeImageBytes(type, image, &bytes);
    return bytes;
}

// Opens the folder as the program does at start-up: archives of tags/ and
// plugins/, the local folder, the default working set.
void OpenGame(const GameFolder& game) {
    pirn::UnloadCodex();
    pirn::AddArchivesInFolder(game.Path("tags"));
    pirn::AddArchivesInFolder(game.Path("plugins"));
    pirn::SetLocalFolder(game.Path("local"));
    pirn::SetDefaultWorkingSet();
}

void LayOutGame(const GameFolder& game) {
    using namespace codex_fixture;
    pirn_test::WriteAll(game.Path("tags/foundation"), ArchiveBytes(3, 0, "Foundation", {kMesh, kUnit}));
    pirn_test::WriteAll(game.Path("plugins/Addon"), ArchiveBytes(6, 10, "Addon", {kAddonUnit}));
    pirn_test::WriteAll(game.Path("local/Text/Words"), TagFile(kLocalText));
    pirn_test::WriteAll(game.Path("local/Units/Archer"), TagFile(kLocalUnit));
    pirn_test::WriteAll(game.Path("res/prefs.txt"), std::string("ShowSplash 1\nZarnPath \"" + game.root + "\"\n"));
    pirn_test::WriteAll(game.Path("pictures/picture.bmp"), EncodedPicture(pirn::kTypeBmp));
    pirn_test::WriteAll(game.Path("pictures/picture.png"), EncodedPicture(pirn::kTypePng));
    pirn_test::WriteAll(game.Path("pictures/picture.tiff"), EncodedPicture(pirn::kTypeTiff));
    pirn::SetPrefsPath(game.Path("res/prefs.txt"));
    pirn::Prefs().Clear();
    pirn::ReadPrefs();
}

// --- The writers ---------------------------------------------------------------------

bool SaveTag(pirn::TagEntry* tag, pirn::TagHeader header, const std::string& data) {
    std::FILE* out = pirn::OpenTagForWriting(tag, &header, nullptr);
    if (!out) return false;
    bool written = std::fwrite(data.data(), 1, data.size(), out) == data.size();
    return pirn::CloseTagForWriting(tag, &header, written ? 1 : 0) == 1;
}

bool SaveLocalTag(GameFolder& game) {
    pirn::TagEntry* tag = game.Find("text", "wrd1");
    pirn::TagHeader header{};
    pirn::GetTagHeader(tag, &header);
    return SaveTag(tag, header, "the words, saved again");
}

bool SaveNewTag(GameFolder&) {
    pirn::TagHeader header{};
    pirn::TagEntry* tag = pirn::CreateTag(Code("text"), pirn::kNoTagId, "Fresh Words", &header, 0);
    return tag && SaveTag(tag, header, "fresh words");
}

bool RenameTag(GameFolder& game) {
    return pirn::ChangeTagInfo(game.Find("text", "wrd1"), pirn::kKeepTagId, "Other Words") != nullptr;
}

bool GiveTagNewId(GameFolder& game) {
    return pirn::ChangeTagInfo(game.Find("text", "wrd1"), Code("wrd9"), nullptr) != nullptr;
}

bool RenameTagAndGiveNewId(GameFolder& game) {
    return pirn::ChangeTagInfo(game.Find("unit", "arch"), Code("arc9"), "Bowman") != nullptr;
}

bool RenameArchiveOnlyTag(GameFolder& game) {
    return pirn::ChangeTagInfo(game.Find("mesh", "hill"), pirn::kKeepTagId, "Mountain") != nullptr;
}

bool CopyTag(GameFolder& game) { return pirn::CopyTag(game.Find("unit", "arch"), nullptr) != nullptr; }

bool CopyTagToLocal(GameFolder& game) { return pirn::CopyTagToLocal(game.Find("unit", "knig")) == 1; }

bool DeleteTag(GameFolder& game) { return pirn::DeleteTag(game.Find("text", "wrd1")) == 1; }

bool DisassembleArchive(GameFolder& game) {
    return pirn::DisassembleArchive(pirn::FindArchiveByName("foundation"), game.Path("unpacked")) == 1;
}

pirn::TagList LocalTags() {
    pirn::TagList tags;
    pirn::ListLocalTags(tags);
    return tags;
}

bool BuildNewPlugin(GameFolder&) { return pirn::BuildPluginFile(LocalTags(), 6, "Fresh Addon", "url", 5) == 1; }

bool RebuildOpenPlugin(GameFolder&) { return pirn::BuildPluginFile(LocalTags(), 6, "Addon", "url", 5) == 1; }

bool WritePreferences(GameFolder&) {
    pirn::SetPrefInt("ShowSplash", 2);
    pirn::SetPrefString("LastImageSavePath", "pictures/");
    return pirn::WritePrefs();
}

bool SavePicture(GameFolder& game, const char* name, u32 type) {
    pirn::ImageFile file;
    pirn::InitImageFile(&file, game.Path(std::string("pictures/") + name));
    file.type = type;
    file.image = SmallPicture();
    return pirn::SaveImageFile(&file);
}
bool SaveBmp(GameFolder& game) { return SavePicture(game, "picture.bmp", pirn::kTypeBmp); }
bool SavePng(GameFolder& game) { return SavePicture(game, "picture.png", pirn::kTypePng); }
bool SaveTiff(GameFolder& game) { return SavePicture(game, "picture.tiff", pirn::kTypeTiff); }

// --- Writers of the collections, editors, models and the program ------------------

// Answers every question with its first button (replace, overwrite) and
// keeps the errors out of the way.
class FirstButtonPrompts : public pirn::UserPrompts {
public:
    void ShowError(const std::string&) override {}
    int Ask(const std::string&, const std::string&, const std::vector<std::string>&) override { return 0; }
};

// A collection of two 2-byte bitmaps.
std::unique_ptr<pirn::Collection> SmallCollection() {
    auto collection = std::make_unique<pirn::Collection>();
    pirn::InitCollection(collection.get());
    for (u32 i = 0; i < pirn::kColorTableBytes; ++i) collection->colors[i] = u8(i * 3);
    for (int b = 0; b < 2; ++b) {
        auto bitmap = std::make_unique<pirn::CollectionBitmap>();
        std::snprintf(bitmap->name, sizeof bitmap->name, "Brick %d", b + 1);
        bitmap->width = u16(3 + b);
        bitmap->height = 2;
        bitmap->bytes_per_pixel = 2;
        bitmap->pixels.resize(size_t(bitmap->width) * bitmap->height * 2);
        for (size_t i = 0; i < bitmap->pixels.size(); i += 2) {
            bitmap->pixels[i] = 255;
            bitmap->pixels[i + 1] = u8(10 + i / 2 + b);
        }
        collection->bitmaps.push_back(std::move(bitmap));
    }
    return collection;
}

std::vector<const pirn::CollectionBitmap*> BitmapsOf(const pirn::Collection& collection) {
    std::vector<const pirn::CollectionBitmap*> bitmaps;
    for (const auto& bitmap : collection.bitmaps) bitmaps.push_back(bitmap.get());
    return bitmaps;
}

// What one of our tag writers makes of a record, as tag data.
std::vector<u8> TagDataWrittenBy(const std::function<bool(std::FILE*, pirn::TagHeader*)>& write) {
    std::FILE* stream = pirn::OpenScratchFile();
    pirn::TagHeader header{};
    header.data_offset = 0;
    std::vector<u8> data;
    if (stream && write(stream, &header) && std::fflush(stream) == 0 && std::fseek(stream, 0, SEEK_END) == 0) {
        data.resize(size_t(std::ftell(stream)));
        std::rewind(stream);
        data.resize(std::fread(data.data(), 1, data.size(), stream));
    }
    if (stream) std::fclose(stream);
    return data;
}

constexpr const char (&kTextureId)[5] = "tx01";

pirn::DtexTag* SmallTexture(pirn::DtexTag* dtex) {
    std::vector<u8> rgb(4 * 4 * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = u8(i * 11);
    dtex->SetPixels(rgb.data(), 4, 4);
    return dtex;
}

pirn::DetailMap SmallDetailMap() {
    pirn::DetailMap map;
    pirn::InitDetailMap(&map);
    pirn::SetDetailMapSize(&map, 2, 2);
    map.entries[0].tag_id = Code(kTextureId);
    pirn::SetDetailTextureDescription(&map.entries[0], "Grass");
    return map;
}

bool SaveCollectionTag(GameFolder&) {
    std::unique_ptr<pirn::Collection> collection = SmallCollection();
    return pirn::SaveCollectionAsLocalTag(collection.get(), pirn::kNoTagId, "Bricks") != nullptr;
}

// A local collection named "Bricks" for the save that replaces it.
void AddLocalCollection(GameFolder& game) {
    std::unique_ptr<pirn::Collection> collection = SmallCollection();
    collection->bitmaps.pop_back();
    Tag tag{Code(".256"), Code("brk1"), "Bricks", TagDataWrittenBy([&](std::FILE* out, pirn::TagHeader* header) {
                return pirn::SaveCollection(collection.get(), out, header) == 1;
            })};
    tag.version = 4;
    pirn_test::WriteAll(game.Path("local/Collections/Bricks"), codex_fixture::TagFile(tag));
}

bool ReplaceCollectionTag(GameFolder& game) {
    std::unique_ptr<pirn::Collection> collection = SmallCollection();
    return pirn::SaveCollectionAsLocalTag(collection.get(), Code("brk1"), "Bricks") != nullptr;
}

// The dialog editor's writer into a local dialog tag made for it.
bool SaveDialogTag(GameFolder&) {
    pirn::DialogData dialog;
    dialog.version = 2;
    dialog.rect = {0, 0, 320, 200};
    for (const char* text : {"OK", "Cancel", "Name:"}) {
        pirn::DialogControl control;
        control.type = Code("butn");
        control.id = u16(dialog.controls.size() + 1);
        control.rect = {10, 20 * int(dialog.controls.size()), 90, 20 * int(dialog.controls.size()) + 16};
        control.text = text;
        dialog.controls.push_back(control);
    }
    pirn::TagHeader header{};
    pirn::TagEntry* tag = pirn::CreateTag(Code("bina"), pirn::kNoTagId, "Fresh Dialog", &header, 0);
    if (!tag) return false;
    std::FILE* out = pirn::OpenTagForWriting(tag, &header, nullptr);
    if (!out) return false;
    return pirn::CloseTagForWriting(tag, &header, pirn::WriteDialog(dialog, out) != 0 ? 1 : 0) == 1;
}

bool SaveDtexTag(GameFolder&) {
    auto* dtex = static_cast<pirn::DtexTag*>(
        pirn::DtexResources().CreateTagResource(pirn::kDtexGroup, "Fresh Texture", pirn::kNoTagId));
    if (!dtex) return false;
    const bool saved = SmallTexture(dtex)->Save() == 1;
    pirn::ReleaseResource(&pirn::DtexResources(), dtex);
    return saved;
}

bool SaveDmapTag(GameFolder&) {
    pirn::TagHeader header{};
    pirn::TagEntry* tag = pirn::CreateTag(pirn::kDmapGroup, pirn::kNoTagId, "Fresh Map", &header, 0);
    return tag && pirn::SaveDetailMapTag(tag, &header, SmallDetailMap()) == 1;
}

// A LightWave box from the test data, with a small picture in place of
// its texture (a large one makes every run build a large collection).
void AddLwoModel(GameFolder& game) {
    pirn_test::WriteAll(game.Path("models/boxuv.lwo"), pirn_test::ReadAll(pirn_test::TestDataDir() + "/lwo/LWO2/boxuv.lwo"));
    pirn_test::WriteAll(game.Path("models/boxuv.png"), EncodedPicture(pirn::kTypePng));
}

bool ImportLwoModel(GameFolder& game) {
    FirstButtonPrompts prompts;
    return pirn::ImportLwoModel(game.Path("models/boxuv.lwo"), game.Path("models"), "Box", prompts) != nullptr;
}

// The box already imported once (untextured, which is quicker): its four
// local tags are replaced.
void AddImportedModel(GameFolder& game) {
    AddLwoModel(game);
    pirn::UnlinkFile(game.Path("models/boxuv.png"));
    OpenGame(game);
    FirstButtonPrompts prompts;
    pirn::ImportLwoModel(game.Path("models/boxuv.lwo"), game.Path("models"), "Box", prompts);
    pirn::UnloadCodex();
}

bool ExportLwoModel(GameFolder& game) {
    pirn::LwoReadFailure failure;
    std::unique_ptr<pirn::LwoObject> object = pirn::LwoReadObjectFile(game.Path("models/boxuv.lwo"), &failure);
    std::string message;
    std::unique_ptr<pirn::ModelObject> model =
        object ? pirn::LwoObjectToModel(*object, game.Path("models"), &message) : nullptr;
    if (!model) return false;
    const pirn::LwoExportResult result = pirn::ExportLwoModel(*model, game.Path("export"), "Box");
    return result.written && result.problems.empty();
}

// "Roll" is decoded and written in three pieces, so that writes fail part
// way through a file too.
bool ExportWav(GameFolder& game) {
    pirn::SoundData sound{};
    for (const char* name : {"Roll", "Crack"}) {
        pirn::SoundPermutation permutation;
        permutation.record.flags = 1;
        permutation.record.bits_per_sample = 16;
        permutation.record.channels = 1;
        permutation.record.sample_rate = 22050u << 16;
        permutation.record.packet_count = name[0] == 'R' ? 2 * pirn::kWavChunkSamples / 64 + 1 : 1;
        permutation.name = name;
        pirn::Ima4Packet packet{};
        packet.header = 0x1234;
        for (int i = 0; i < 32; ++i) packet.codes[i] = pirn::u8(i * 37);
        permutation.packets.assign(permutation.record.packet_count, packet);
        sound.permutations.push_back(permutation);
    }
    const pirn::SoundExportResult result =
        pirn::ExportSoundPermutations(sound, pirn::AllSoundPermutations(sound), game.Path("pictures"));
    return result.failed.empty() && result.written.size() == sound.permutations.size();
}

void AddColorTable(GameFolder& game) {
    pirn_test::WriteAll(game.Path("pictures/colours.act"), std::vector<u8>(pirn::kActTableSize, 0x42));
}

bool WriteColorTable(GameFolder& game) {
    u8 table[pirn::kActTableSize];
    for (u32 i = 0; i < pirn::kActTableSize; ++i) table[i] = u8(i);
    return pirn::WriteActFile(game.Path("pictures/colours.act"), table, 16) == 1;
}

bool ExportPlate(GameFolder& game) {
    std::unique_ptr<pirn::Collection> collection = SmallCollection();
    FirstButtonPrompts prompts;
    return pirn::ExportPlate(*collection, BitmapsOf(*collection), false, 0, game.Path("pictures/picture.png"), 0,
                             prompts);
}

bool ExportBitmaps(GameFolder& game) {
    std::unique_ptr<pirn::Collection> collection = SmallCollection();
    FirstButtonPrompts prompts;
    return pirn::ExportBitmaps(*collection, BitmapsOf(*collection), false, game.Path("pictures"), pirn::kMapByName,
                               pirn::kTypeBmp, prompts) == collection->bitmaps.size();
}

bool ExportDtexImage(GameFolder& game) {
    pirn::DtexTag dtex(nullptr);
    return pirn::SaveDtexImageFile(*SmallTexture(&dtex), game.Path("pictures/picture.tiff")) == nullptr;
}

bool AskAddonName(pirn::AddonFields* fields) {
    fields->name = "Fresh Addon";
    fields->priority = "50";
    return true;
}

bool BuildRegularAddon(GameFolder&) {
    pirn::AddonMessage message;
    return pirn::BuildRegularAddon(AskAddonName, &message) == 1;
}

// A local detail map whose cells use a local detail texture.
void AddDetailTerrain(GameFolder& game) {
    Tag map{Code("dmap"), Code("map1"), "Meadow", TagDataWrittenBy([](std::FILE* out, pirn::TagHeader* header) {
                return pirn::WriteDetailMap(SmallDetailMap(), out, header) == 1;
            })};
    map.version = pirn::kDmapCurrentVersion;
    pirn::DtexTag dtex(nullptr);
    Tag texture{Code("dtex"), Code(kTextureId), "Grass", TagDataWrittenBy([&](std::FILE* out, pirn::TagHeader* header) {
                    return SmallTexture(&dtex)->WriteTag(out, header) == 1;
                })};
    pirn_test::WriteAll(game.Path("local/Detail Maps/Meadow"), codex_fixture::TagFile(map));
    pirn_test::WriteAll(game.Path("local/Detail Textures/Grass"), codex_fixture::TagFile(texture));
}

bool BuildDtexAddon(GameFolder&) {
    pirn::AddonMessage message;
    return pirn::BuildDtexAddon(AskAddonName, &message) == 1;
}

// The walk of the demo game's frames for both builders (the other
// sequences only make every run longer), and an archive with the
// collection the high-resolution builder starts from.
void AddBuilderArt(GameFolder& game) {
    // Made once: the demo game takes a while to draw.
    static const pirn::demo::DemoGame demo = pirn::demo::BuildDemoGame();
    static const pirn::demo::DemoTag knight = pirn::demo::MakeDemoKnightFramesTag();
    for (const pirn::demo::DemoFile& file : demo.files)
        if (file.path.rfind(pirn::demo::kDemoArtFolder, 0) == 0 && file.path.find("/walk") != std::string::npos)
            pirn_test::WriteAll(game.Path(file.path), file.bytes);
    Tag tag{knight.group, knight.tag_id, knight.name, knight.data, knight.user_data, knight.version};
    pirn_test::WriteAll(game.Path("tags/knights"), codex_fixture::ArchiveBytes(3, 1, "Knights", {tag}));
}

std::string ArtFolder(const GameFolder& game, const char* which) {
    return game.Path(std::string(pirn::demo::kDemoArtFolder) + "/" + which);
}

bool BuildStandardCollection(GameFolder& game) {
    pirn::CollectionBuildSettings settings;
    settings.name = "Built Knight";
    settings.folder = ArtFolder(game, pirn::demo::kDemoStandardArt);
    settings.registration_x = pirn::demo::kDemoKnightRegistrationX;
    settings.registration_y = pirn::demo::kDemoKnightRegistrationY;
    FirstButtonPrompts prompts;
    return pirn::RunAutoCollectionBuild(settings, pirn::kNoTagId, prompts) != nullptr;
}

bool BuildHighResCollection(GameFolder& game) {
    pirn::UpResSettings settings;
    settings.folder = ArtFolder(game, pirn::demo::kDemoHighResArt);
    settings.target_scale = 2.0;
    FirstButtonPrompts prompts;
    pirn::TagEntry* knight = pirn::FindTag(Code(".256"), Code(pirn::demo::kDemoKnightFramesId));
    return knight && pirn::RunUpRes(knight, settings, prompts) != nullptr;
}

struct WriterCase {
    const char* name;
    bool (*run)(GameFolder& game);
    // Extra files before the folder is opened, for writers that need them.
    void (*prepare)(GameFolder& game) = nullptr;
    // Writers of many files, each safe on its own, may stop after some.
    bool may_stop_midway = false;
    // Files (a folder of them) the operation reads and passes over, with a
    // line saying so, when one cannot be read, as it does a missing one
    // (the pictures of a model): a failed read there may end in a success
    // that differs from the undisturbed one.
    const char* passed_over_inputs = nullptr;
    // The builders pass over a picture they cannot read in the same way and
    // read hundreds of them: only what they write is made to fail.
    bool only_writes_fail = false;
};

const WriterCase kWriters[] = {
    {"SaveLocalTag", SaveLocalTag},
    {"SaveNewTag", SaveNewTag},
    {"RenameTag", RenameTag},
    {"GiveTagNewId", GiveTagNewId},
    {"RenameTagAndGiveNewId", RenameTagAndGiveNewId},
    {"RenameArchiveOnlyTag", RenameArchiveOnlyTag},
    {"CopyTag", CopyTag},
    {"CopyTagToLocal", CopyTagToLocal},
    {"DeleteTag", DeleteTag},
    {"DisassembleArchive", DisassembleArchive, nullptr, true},
    {"BuildNewPlugin", BuildNewPlugin},
    {"RebuildOpenPlugin", RebuildOpenPlugin},
    {"WritePreferences", WritePreferences},
    {"SaveBmp", SaveBmp},
    {"SavePng", SavePng},
    {"SaveTiff", SaveTiff},
    {"SaveCollectionTag", SaveCollectionTag},
    {"ReplaceCollectionTag", ReplaceCollectionTag, AddLocalCollection},
    {"SaveDialogTag", SaveDialogTag},
    {"SaveDtexTag", SaveDtexTag},
    {"SaveDmapTag", SaveDmapTag},
    {"ImportLwoModel", ImportLwoModel, AddLwoModel, false, "/models/"},
    {"ReimportLwoModel", ImportLwoModel, AddImportedModel, false, "/models/"},
    {"ExportLwoModel", ExportLwoModel, AddLwoModel, true, "/models/"},
    {"ExportWav", ExportWav, nullptr, true},
    {"WriteColorTable", WriteColorTable, AddColorTable},
    {"ExportPlate", ExportPlate},
    {"ExportBitmaps", ExportBitmaps, nullptr, true},
    {"ExportDtexImage", ExportDtexImage},
    {"BuildRegularAddon", BuildRegularAddon},
    {"BuildDtexAddon", BuildDtexAddon, AddDetailTerrain},
    {"BuildStandardCollection", BuildStandardCollection, AddBuilderArt, false, nullptr, true},
    {"BuildHighResCollection", BuildHighResCollection, AddBuilderArt, false, nullptr, true},
};

// --- What is checked ------------------------------------------------------------------

using FileTree = std::map<std::string, std::vector<u8>>;

// Every file under root with its bytes. Each run has a folder of its own,
// so the folder's own path (which the preferences hold) reads as "{game}/".
FileTree ReadTree(const std::string& root) {
    namespace fs = std::filesystem;
    const std::string placeholder = "{game}/";
    FileTree tree;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        if (!item.is_regular_file()) continue;
        std::vector<u8> bytes = pirn_test::ReadAll(item.path().string());
        std::string text(bytes.begin(), bytes.end());
        for (size_t at; (at = text.find(root)) != std::string::npos;) text.replace(at, root.size(), placeholder);
        tree[fs::relative(item.path(), root).string()] = std::vector<u8>(text.begin(), text.end());
    }
    return tree;
}

std::vector<std::string> TempFiles(const FileTree& tree) {
    std::vector<std::string> temps;
    for (const auto& [path, bytes] : tree)
        if (pirn::IsSafeSaveTempName(pirn::PathFileName(path, false))) temps.push_back(path);
    return temps;
}

// What the catalogue shows: every archive and every available tag with its
// effective copy's header and data.
std::vector<std::string> Catalogue() {
    std::vector<std::string> lines;
    for (u32 i = 0; pirn::Archive* archive = pirn::GetArchive(i); ++i)
        lines.push_back(pirn::FormatString("archive %s kind %u priority %u %s entries %zu", archive->file_name.c_str(),
                                           archive->header.kind, archive->header.priority,
                                           archive->active ? "active" : "inactive", archive->entries.size()));
    pirn::TagList tags;
    pirn::ListAllTags(tags);
    pirn::SortTagList(tags);
    for (pirn::TagEntry* tag : tags) {
        pirn::TagHeader header{};
        std::string data;
        if (std::FILE* in = pirn::OpenTagForReading(tag, &header)) {
            data.resize(header.data_length);
            data.resize(std::fread(&data[0], 1, data.size(), in));
            pirn::CloseTagForReading(tag);
        }
        lines.push_back(pirn::FormatString(
            "%s %s '%s' in %s file '%s' version %u user %u length %u data '%s'",
            pirn::FourCCToText(tag->group).c_str(), pirn::FourCCToText(tag->tag_id).c_str(), header.name,
            pirn::GetTagLocation(tag), tag->local_source ? tag->local_source->file_name.c_str() : "",
            header.version, header.user_data, header.data_length, data.c_str()));
    }
    return lines;
}

// A fresh Codex opened on the folder, with the running one's working set.
std::vector<std::string> FreshCatalogue(const GameFolder& game) {
    std::vector<std::string> active;
    for (u32 i = 0; pirn::Archive* archive = pirn::GetArchive(i); ++i)
        if (archive->active) active.push_back(archive->file_name);
    OpenGame(game);
    pirn::ArchiveList working_set;
    for (const std::string& name : active)
        if (pirn::Archive* archive = pirn::FindArchiveByName(name)) working_set.push_back(archive);
    pirn::SetWorkingSet(working_set);
    return Catalogue();
}

// Fails the `fail_at`-th file operation (1-based; 0 fails none) with `error`,
// and counts them all (or only those that change files). On a file system without renames that refuse to
// replace, every such rename is answered EINVAL, so that the link and unlink
// that stand in for it are tried instead.
class FaultInjector {
public:
    FaultInjector(size_t fail_at, int error, bool without_noreplace, bool only_writes)
        : fail_at_(fail_at), error_(error) {
        pirn::SetFileFaultHook([this, without_noreplace, only_writes](pirn::FileOp op, const std::string& what,
                                                                      bool changes_files) {
            if (only_writes && !changes_files) return 0;
            ++count_;
            no_replace_renames_ += op == pirn::FileOp::kRenameNoReplace;
            if (count_ != fail_at_)
                return without_noreplace && op == pirn::FileOp::kRenameNoReplace ? EINVAL : 0;
            failed_ = std::string(pirn::FileOpName(op)) + " " + what;
            failed_writing_ = changes_files;
            return error_;
        });
    }
    ~FaultInjector() { Remove(); }
    void Remove() { pirn::SetFileFaultHook(nullptr); }
    size_t count() const { return count_; }
    size_t no_replace_renames() const { return no_replace_renames_; }
    const std::string& failed() const { return failed_; }
    bool failed_writing() const { return failed_writing_; }

private:
    size_t fail_at_;
    int error_;
    size_t count_ = 0;
    size_t no_replace_renames_ = 0;
    std::string failed_;
    bool failed_writing_ = false;
};

struct Outcome {
    bool reported_success = false;
    FileTree before;
    std::vector<std::string> catalogue_before;
    FileTree after;
    std::vector<std::string> catalogue_after;
    std::vector<std::string> fresh_catalogue;
    size_t operations = 0;
    size_t no_replace_renames = 0;
    std::string failed;
    bool failed_writing = false;  // the failed operation would have changed the disk
};

// Thousands of saves, each synced to disk: in memory where the system has a
// memory file system, they take a second instead of a minute.
std::string ScratchBase() {
#ifdef _WIN32
    static const std::string base;
#else
    static const std::string base = access("/dev/shm", W_OK | X_OK) == 0 ? "/dev/shm" : "";
#endif
    return base;
}

// Lays out a game in a folder of its own, opens it, runs the writer with the
// given failure and looks at everything afterwards.
Outcome RunWriter(const WriterCase& writer, size_t fail_at, int error, bool without_noreplace) {
    pirn_test::TempDir dir(ScratchBase());
    GameFolder game{dir.path() + "/"};
    LayOutGame(game);
    if (writer.prepare) writer.prepare(game);
    OpenGame(game);
    Outcome outcome;
    outcome.before = ReadTree(game.root);
    outcome.catalogue_before = Catalogue();
    {
        FaultInjector injector(fail_at, error, without_noreplace, writer.only_writes_fail);
        outcome.reported_success = writer.run(game);
        injector.Remove();
        outcome.operations = injector.count();
        outcome.no_replace_renames = injector.no_replace_renames();
        outcome.failed = injector.failed();
        outcome.failed_writing = injector.failed_writing();
    }
    pirn::PollLocalFolder(false);  // what the next frame does
    outcome.after = ReadTree(game.root);
    outcome.catalogue_after = Catalogue();
    outcome.fresh_catalogue = FreshCatalogue(game);
    pirn::UnloadCodex();
    return outcome;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += "  " + line + "\n";
    return text;
}

std::vector<std::string> ChangedFiles(const FileTree& before, const FileTree& after, bool new_files_count) {
    std::vector<std::string> changed;
    for (const auto& [path, bytes] : before) {
        auto found = after.find(path);
        if (found == after.end())
            changed.push_back(path + " (gone)");
        else if (found->second != bytes)
            changed.push_back(path + " (changed)");
    }
    if (new_files_count)
        for (const auto& [path, bytes] : after)
            if (!before.count(path)) changed.push_back(path + " (new)");
    return changed;
}

void PrintTo(const WriterCase& writer, std::ostream* out) { *out << writer.name; }

class WriteFailureTest : public ::testing::TestWithParam<WriterCase> {
protected:
    void TearDown() override {
        pirn::SetFileFaultHook(nullptr);
        pirn::UnloadCodex();
        pirn::SetPrefsPath("res/prefs.txt");
        pirn::Prefs().Clear();
    }
    pirn::ScopedLogCapture quiet_log;  // every failure is logged; not wanted in the test output
};

TEST_P(WriteFailureTest, EveryFailurePointLeavesTheOldFilesOrTheFinishedResult) {
    const WriterCase& writer = GetParam();
#ifdef _WIN32
    // Every Windows file system renames without replacing: no fallback.
    const bool file_systems[] = {false};
#else
    const bool file_systems[] = {false, true};
#endif
    for (bool without_noreplace : file_systems) {
        const std::string file_system = without_noreplace ? " (no rename without replacing)" : "";
        const Outcome clean = RunWriter(writer, 0, 0, without_noreplace);
        ASSERT_TRUE(clean.reported_success) << writer.name << file_system << " fails without any failure";
        ASSERT_GT(clean.operations, 0u) << writer.name << " touches no file through the file layer";
        EXPECT_EQ(clean.catalogue_after, clean.fresh_catalogue) << "after an undisturbed run";
        if (without_noreplace && clean.no_replace_renames == 0) return;

        for (size_t point = 1; point <= clean.operations; ++point) {
            for (int error : {ENOSPC, EIO, EACCES}) {
                const Outcome run = RunWriter(writer, point, error, without_noreplace);
                const std::string where = std::string(writer.name) + file_system + ", failing operation " +
                                          std::to_string(point) + " of " + std::to_string(clean.operations) + " (" +
                                          run.failed + ") with " + std::strerror(error);
                EXPECT_TRUE(TempFiles(run.after).empty()) << where << ": temporary files left:\n"
                                                          << Join(TempFiles(run.after));
                EXPECT_EQ(run.catalogue_after, run.fresh_catalogue)
                    << where << ": the running Codex and a fresh one differ";
                // A write that did not happen cannot be a success; a failed
                // read (of a file looked at again after the work was done)
                // may be got past.
                EXPECT_FALSE(run.reported_success && run.failed_writing) << where << ": reported success";
                const bool input_passed_over = writer.passed_over_inputs && !run.failed_writing &&
                                               run.failed.find(writer.passed_over_inputs) != std::string::npos;
                if (run.reported_success && input_passed_over) {
                    // A result without that input; what was there before stays.
                    EXPECT_EQ(ChangedFiles(run.before, run.after, false), std::vector<std::string>()) << where;
                } else if (run.reported_success) {
                    // Got past the failure: the result must be the whole one.
                    EXPECT_EQ(ChangedFiles(clean.after, run.after, true), std::vector<std::string>()) << where;
                    EXPECT_EQ(run.catalogue_after, clean.catalogue_after) << where;
                } else {
                    EXPECT_EQ(ChangedFiles(run.before, run.after, !writer.may_stop_midway),
                              std::vector<std::string>())
                        << where << ": files changed by a failed operation";
                    EXPECT_EQ(run.catalogue_after, run.catalogue_before) << where << ": the catalogue changed";
                }
                if (::testing::Test::HasFailure()) return;  // the first broken point tells enough
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Writers, WriteFailureTest, ::testing::ValuesIn(kWriters),
                         [](const ::testing::TestParamInfo<WriterCase>& writer) { return std::string(writer.param.name); });

}  // namespace
