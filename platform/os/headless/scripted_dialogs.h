#pragma once
// Native dialogs of the headless backend: answers come from a script that a
// test queues before the program opens the dialog, and every request is
// recorded. An empty script answers Cancel.

#include <string>
#include <vector>

#include "platform/native_dialogs.h"

namespace pirn {
namespace headless {

// The next file or folder dialog ends with OK and these paths. filter_index
// -1 lets the file name decide, as with the real chooser; choices are the
// indices picked in the extra boxes (empty keeps the defaults).
void QueueFileDialogAnswer(const std::vector<std::string>& paths, int filter_index = -1,
                           const std::vector<u32>& choices = {});
// The next colour chooser ends with OK and this colour.
void QueueColorAnswer(const ColorRgb& color);
// The next dialog of any kind is cancelled.
void QueueDialogCancel();
// Answers to the next yes/no questions (replace an existing file...).
void QueueYesNoAnswer(bool yes);

// Everything asked since the last reset.
const std::vector<FileDialogRequest>& FileDialogRequests();
int ColorDialogCount();
const std::vector<std::string>& DialogQuestions();
const std::vector<std::string>& DialogErrors();
// Answers still queued (a test can check that all were used).
std::size_t PendingDialogAnswers();

void ResetScriptedDialogs();

}  // namespace headless
}  // namespace pirn
