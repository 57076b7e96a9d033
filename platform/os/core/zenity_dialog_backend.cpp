#include "platform/os/core/zenity_dialog_backend.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/native_dialog_zenity.h"
#include "platform/os/core/child_process.h"

namespace pirn {
namespace {

std::string CurrentFolder() {
    std::string folder(4096, '\0');
    if (getcwd(&folder[0], folder.size()) == nullptr) return std::string();
    folder.resize(folder.find('\0'));
    return folder;
}

// A scratch configuration folder holding one GLib keyfile settings file,
// removed with everything in it when the object goes away.
class PrivateSettings {
public:
    PrivateSettings() = default;
    ~PrivateSettings() {
        if (!folder_.empty()) RemoveTree(folder_);
    }
    PrivateSettings(const PrivateSettings&) = delete;
    PrivateSettings& operator=(const PrivateSettings&) = delete;

    bool Create(const std::string& keyfile) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/pirn-colors-XXXXXX";
        if (mkdtemp(&pattern[0]) == nullptr) return false;
        folder_ = pattern;
        const std::string settings = folder_ + "/glib-2.0/settings";
        if (mkdir((folder_ + "/glib-2.0").c_str(), 0700) != 0 || mkdir(settings.c_str(), 0700) != 0) return false;
        std::FILE* file = std::fopen((settings + "/keyfile").c_str(), "wb");
        if (file == nullptr) return false;
        const bool written = std::fwrite(keyfile.data(), 1, keyfile.size(), file) == keyfile.size();
        return std::fclose(file) == 0 && written;
    }
    std::string Read() const {
        std::string text;
        if (folder_.empty()) return text;
        std::FILE* file = std::fopen((folder_ + "/glib-2.0/settings/keyfile").c_str(), "rb");
        if (file == nullptr) return text;
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0 && text.size() < (1u << 20)) {
            text.append(buffer, got);
        }
        std::fclose(file);
        return text;
    }
    const std::string& folder() const { return folder_; }

private:
    // Only what GTK may have left there: files and folders, no links followed.
    static void RemoveTree(const std::string& path) {
        if (DIR* dir = opendir(path.c_str())) {
            while (dirent* entry = readdir(dir)) {
                const std::string name = entry->d_name;
                if (name == "." || name == "..") continue;
                const std::string child = path + "/" + name;
                struct stat status;
                if (lstat(child.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
                    RemoveTree(child);
                } else {
                    unlink(child.c_str());
                }
            }
            closedir(dir);
        }
        rmdir(path.c_str());
    }

    std::string folder_;
};

}  // namespace

ZenityDialogBackend::ZenityDialogBackend(std::function<u64()> parent_window, std::string program)
    : parent_window_(std::move(parent_window)), program_(std::move(program)) {}

bool ZenityDialogBackend::Run(const std::vector<std::string>& args, std::string* output,
                              const std::vector<std::string>& env) {
    std::vector<std::string> argv;
    argv.reserve(args.size() + 1);
    argv.push_back(program_);
    argv.insert(argv.end(), args.begin(), args.end());
    ChildProcessResult result;
    if (!RunChildProcess(argv, [] { return RunNativeDialogFrame(); }, &result, env)) {
        if (!reported_missing_) {
            std::fprintf(stderr, "Pirn: cannot run %s; native dialogs are unavailable.\n", program_.c_str());
            reported_missing_ = true;
        }
        return false;
    }
    if (output != nullptr) *output = result.output;
    return result.exit_code == 0 && !result.output_cut;
}

bool ZenityDialogBackend::RunFileDialog(const FileDialogRequest& request, FileDialogAnswer* answer) {
    const ZenityParent parent{parent_window_ ? parent_window_() : 0};
    std::string output;
    if (!Run(ZenityFileSelectionArgs(request, CurrentFolder(), parent), &output)) return false;
    FileDialogAnswer got;
    got.paths = ParseZenityFileOutput(output, request.kind == FileDialogKind::kOpenFiles);
    if (got.paths.empty()) return false;
    // The chooser cannot show extra lists, so each is asked right after it;
    // cancelling one cancels the whole dialog.
    for (const FileDialogBox& box : request.boxes) {
        if (box.choices.empty()) {
            got.chosen_indices.push_back(0);  // nothing to ask
            continue;
        }
        std::string choice;
        if (!Run(ZenityChoiceArgs(request.title, box, parent), &choice)) return false;
        u32 index = box.default_index;
        ParseZenityChoice(choice, box, &index);
        got.chosen_indices.push_back(index);
    }
    *answer = std::move(got);
    return true;
}

bool ZenityDialogBackend::RunColorDialog(const ColorRgb& initial, CustomColors* custom, ColorRgb* chosen) {
    const ZenityParent parent{parent_window_ ? parent_window_() : 0};
    // The chooser shows and edits its custom colours through GTK's settings;
    // a keyfile settings store of our own carries the table in and out.
    PrivateSettings settings;
    std::vector<std::string> env;
    if (settings.Create(GtkCustomColorsKeyfile(*custom))) {
        env = {"GSETTINGS_BACKEND=keyfile", "XDG_CONFIG_HOME=" + settings.folder()};
    }
    std::string output;
    if (!Run(ZenityColorArgs(initial, parent), &output, env)) return false;
    ColorRgb color;
    if (!ParseZenityColor(output, &color)) return false;
    const std::vector<ColorRgb> kept = ParseGtkCustomColors(settings.Read());
    if (!kept.empty()) MergeCustomColors(kept, custom);
    *chosen = color;
    return true;
}

bool ZenityDialogBackend::AskYesNo(const std::string& title, const std::string& text) {
    const ZenityParent parent{parent_window_ ? parent_window_() : 0};
    return Run(ZenityQuestionArgs(title, text, parent), nullptr);
}

void ZenityDialogBackend::ShowError(const std::string& title, const std::string& text) {
    const ZenityParent parent{parent_window_ ? parent_window_() : 0};
    Run(ZenityErrorArgs(title, text, parent), nullptr);
}

}  // namespace pirn
