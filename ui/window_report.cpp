#include "ui/window_report.h"

#include <cstdio>
#include <cstdlib>

#include "platform/file_system.h"
#include "ui/frame_step.h"
#include "ui/window.h"
#include "ui/window_system.h"
#include "ui/window_system_internal.h"

namespace pirn {

namespace {

const char* ClassOf(const Window* w) { return w ? w->GetClassName() : "-"; }

void AppendWindow(const Window* w, int depth, std::string* out, int* count) {
    if (w->IsDestroyed() || WindowInternals::IsDetached(w)) return;
    const Rect& r = w->GetFrameScreenRect();
    const char* title = w->GetTitle();
    std::string line = std::to_string(depth) + ' ' + ClassOf(w) + (w->IsVisible() ? " visible " : " hidden ") +
                       std::to_string(r.left) + ' ' + std::to_string(r.top) + ' ' + std::to_string(r.Width()) + ' ' +
                       std::to_string(r.Height()) + " \"";
    // Titles are one line; a stray line end would split the record.
    for (const char* c = title ? title : ""; *c; ++c) line += (*c == '\n' || *c == '\r') ? ' ' : *c;
    line += "\"\n";
    *out += line;
    ++*count;
    for (const Window* c = w->GetFirstChild(); c; c = c->GetNextSibling()) AppendWindow(c, depth + 1, out, count);
}

}  // namespace

std::string DescribeWindowTree() {
    std::string windows;
    int count = 0;
    if (const Window* root = GetScreenLayers().root)
        for (const Window* c = root->GetFirstChild(); c; c = c->GetNextSibling()) AppendWindow(c, 1, &windows, &count);
    std::string out;
    out += std::string("native-dialog ") + (IsNativeDialogMode() ? "1" : "0") + '\n';
    out += std::string("modal ") + ClassOf(GetTopModalWindow()) + '\n';
    out += std::string("focus ") + ClassOf(GetFocusWindow()) + '\n';
    out += "windows " + std::to_string(count) + '\n';
    return out + windows;
}

void PublishWindowReport() {
    static const char* path = std::getenv(kWindowReportVariable);
    if (!path || !*path) return;
    static std::string last;
    static unsigned long long writes = 0;
    std::string now = DescribeWindowTree();
    if (now == last) return;
    SafeFileWriter out;
    if (!out.Open(path)) return;
    const std::string text = "report " + std::to_string(writes + 1) + '\n' + now;
    if (std::fwrite(text.data(), 1, text.size(), out.stream()) != text.size() || !out.Commit()) return;
    ++writes;
    last.swap(now);
}

}  // namespace pirn
