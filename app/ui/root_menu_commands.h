#pragma once
// What the root menu's items do, one function per command. Each asks what
// it needs through the program's dialogs and boxes and tells the user
// about every failure in a box.

namespace pirn {

// "Add Archives": the chosen archives join the working set.
void AddArchivesFromDialog();
// "New Collection" and "New Script": a new tag named by the user, in its
// editor.
void NewCollection();
void NewScript();
// "New Model From File": a LightWave or 3DMF model becomes the four tags
// of a model in the local folder, and its geometry opens.
void ImportModel();
void OpenArchiveBrowserCommand();
void ShowLogViewerCommand();
// "Reload Local Folder": the local folder read again at once.
void ReloadLocalFolder();
// "Reload Plugins Folder": every archive that is not in use closed and
// the game's archives added again, so that plugins added or removed
// meanwhile show.
void ReloadPluginsFolder();
// "Choose Zarn Folder": another game folder, and the Codex started on it;
// refused while any tag is in use.
void ChooseZarnFolder();
// "Recursive Image Conversion": every image below a chosen folder saved in
// the chosen format, or as its alpha channel alone; the count in a box.
void RunRecursiveImageConversion();
// "Convert 3DMF to LWO": a 3DMF model written as a LightWave object with
// its textures into a chosen folder.
void Convert3dmfToLwo();
void BuildStandardCollection();
void BuildHighResCollection();
void OpenWindowSpyCommand();
void ShowAboutBoxCommand();

}  // namespace pirn
