#include "app/ui/root_menu_commands.h"

#include <memory>
#include <string>
#include <vector>

#include "app/game_archives.h"
#include "app/image_conversion.h"
#include "app/ui/archive_browser.h"
#include "app/ui/codex_start.h"
#include "app/ui/pirn_splash_screen.h"
#include "app/ui/window_view.h"
#include "codex/archive_list.h"
#include "codex/codex_catalogue.h"
#include "codex/four_char_code.h"
#include "codex/local_folder.h"
#include "codex/ui/tag_editor_open.h"
#include "collections/ui/auto_collection_dialog.h"
#include "collections/ui/auto_uprez_dialog.h"
#include "models/lwo_export.h"
#include "models/model_import.h"
#include "models/three_dmf_model.h"
#include "platform/file_system.h"
#include "platform/image_file.h"
#include "platform/log_message.h"
#include "platform/native_dialogs.h"
#include "platform/os/os_window.h"
#include "platform/strings.h"
#include "platform/zarn_path.h"
#include "ui/file_dialogs.h"
#include "ui/log_viewer.h"
#include "ui/message_box_prompts.h"
#include "ui/message_box_window.h"

namespace pirn {

namespace {

constexpr char kProgramTitle[] = "Pirn";
constexpr char kConversionTopic[] = "Image Conversion";

void ShowErrorBox(const std::string& text) { ShowMessageBox("Error", text.c_str(), "OK", nullptr); }

// The text of a box followed by one line per problem.
std::string WithProblems(std::string text, const std::vector<std::string>& problems) {
    for (const std::string& problem : problems) text += "\n" + problem;
    return text;
}

}  // namespace

void AddArchivesFromDialog() {
    std::vector<ImageFile> files;
    if (!ChooseOpenFiles("Select Archives", &files, kFileKindArchive, nullptr)) return;
    std::vector<std::string> paths;
    for (const ImageFile& file : files) paths.push_back(file.path);
    AddArchivesToWorkingSet(paths);
}

void NewCollection() { PromptNewTag(MakeFourCC(".256"), nullptr); }

void NewScript() { PromptNewTag(MakeFourCC("scri"), nullptr); }

void ImportModel() {
    ImageFile file;
    if (!ChooseOpenFile("Import Model", &file, kFileKindModel, nullptr)) return;
    std::string folder, base_name, extension;
    SplitPath(file.path, &folder, &base_name, &extension);
    std::string failure;
    TagEntry* geom = nullptr;
    switch (file.type) {
        case kTypeLwo:
            geom = ImportLwoModel(file.path, folder, base_name, MessageBoxPrompts(), &failure);
            break;
        case kType3dmf:
            geom = Import3dmfModel(file.path, base_name, MessageBoxPrompts(), &failure);
            break;
        default:
            ShowErrorBox("Unsupported model format");
            return;
    }
    if (geom) OpenTagEditor(geom);
    else if (!failure.empty()) ShowErrorBox("The model could not be imported.\n" + failure);
}

void OpenArchiveBrowserCommand() { OpenArchiveBrowser(); }

void ShowLogViewerCommand() { ShowLogViewer(); }

void ReloadLocalFolder() { PollLocalFolder(true); }

void ReloadPluginsFolder() {
    CloseArchiveBrowser();
    CloseAllArchives();  // archives with a tag in use stay open
    AddGameArchives();
    OpenArchiveBrowser();
}

void ChooseZarnFolder() {
    if (CountTagUses() != 0) {
        ShowErrorBox("Please close all open tags first.");
        return;
    }
    std::string folder = GetZarnPath();
    if (!OsChooseFolder("Select your Zarnhold folder", &folder, nullptr)) return;
    SetZarnPath(folder);
    InitCodex();
}

void RunRecursiveImageConversion() {
    FileDialogOptions mode;
    AddFileDialogChoices(mode, "Mode:", 0, {{"Full", kConvertFull}, {"Alpha Only", kConvertAlphaOnly}});
    std::string folder;
    u32 target_type = kTypeUnknown;
    if (!ChooseExportFolder("Choose a folder", &folder, &target_type, kFileKindImage, &mode)) return;
    const ImageConversionResult result =
        ConvertImagesBelow(folder, target_type, GetFileDialogChoice(mode, 0), [](const std::string& path) {
            OsSetWindowTitle(("Processing... " + path).c_str());
        });
    OsSetWindowTitle(kProgramTitle);
    for (const std::string& line : result.not_written) LogMessage(0, kConversionTopic, "%s\n", line.c_str());
    std::string text = FormatString("%d files processed", static_cast<int>(result.written.size()));
    if (!result.not_written.empty()) {
        text += FormatString("\n%d more could not be converted; the Log Viewer lists them under \"%s\".",
                             static_cast<int>(result.not_written.size()), kConversionTopic);
    }
    ShowMessageBox("Operation complete", text.c_str(), "OK", nullptr);
}

void Convert3dmfToLwo() {
    ImageFile file;
    if (!ChooseOpenFile("Open 3DMF file", &file, kFileKindModel, nullptr)) return;
    std::string message;
    std::unique_ptr<ModelObject> model = Load3dmfModel(file.path, &message);
    if (!model) {
        ShowErrorBox(FormatString(
            "The selected model file could not be loaded as 3DMF. The error returned was:\n%s", message.c_str()));
        return;
    }
    std::string folder;
    if (!ChooseExportFolder("Choose a destination folder", &folder, nullptr, kFileKindModel, nullptr)) return;
    std::string base_name;
    SplitPath(file.path, nullptr, &base_name, nullptr);
    const LwoExportResult result = ExportLwoModel(*model, folder, base_name);
    if (!result.written) ShowErrorBox(WithProblems("LWO creation failed.", result.problems));
    else if (!result.problems.empty()) ShowErrorBox(WithProblems("The export was not complete:", result.problems));
}

void BuildStandardCollection() { RunAutoCollectionDialog(); }

void BuildHighResCollection() { RunAutoUpResDialog(); }

void OpenWindowSpyCommand() { OpenWindowSpy(); }

void ShowAboutBoxCommand() { ShowAboutBox(); }

}  // namespace pirn
