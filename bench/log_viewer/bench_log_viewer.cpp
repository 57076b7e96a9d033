// Appending lines to one Log Viewer topic, headless. Prints the time per
// line for logs of 1,000 to 20,000 lines and the ratio of the per-line time
// at 20,000 to that at 1,000 (1.0 is perfectly linear), the per-line time of
// the last thousand lines of the longest run against its first thousand,
// and, as a reference measured in the same run, appending the same lines to
// a plain string. Then the same for messages that carry no line break (a
// message sent in pieces, a text streamed into a box): every piece goes on
// one line, whose wrapping must cost only what the piece adds.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/log_message.h"
#include "platform/os/headless/headless_os.h"
#include "platform/os/os_window.h"
#include "ui/frame_step.h"
#include "ui/interface_font.h"
#include "ui/log_viewer.h"
#include "ui/window_system.h"

using namespace pirn;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

std::unique_ptr<InterfaceFont> MakeFont() {
    std::string error;
    if (auto font = LoadFont(std::string(PIRN_RUN_RES_DIR) + "/orvane.pirnfont", &error)) {
        std::printf("font: generated interface font\n");
        return font;
    }
    // Without the generated resources: every character 7 px wide.
    std::printf("font: fixed 7-px stand-in (%s)\n", error.c_str());
    auto font = std::make_unique<InterfaceFont>();
    font->ascent = 10;
    font->line_spacing = 12;
    font->tab_width = 4;
    font->styles[0].trailer[3] = 1;
    for (FontGlyph& g : font->styles[0].glyphs)
        for (i8& a : g.advance) a = 7;
    return font;
}

std::string LineText(int i) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "INFO: building bitmap %d of collection \"desert rocks\": 32 x 48, %d colours\n",
                  i, 12 + i % 200);
    return buf;
}

// Appends n messages (lines, or pieces of one line); fills per-thousand
// times.
double AppendMessages(int n, InterfaceFont* font, std::vector<double>* perThousand, bool pieces) {
    headless::Reset();
    OsInit();
    ResetWindowSystem();
    InitWindowSystem(1280, 1024);
    SetRunning(true);
    SetDefaultFont(font);
    InstallLogViewer();
    ShowLogViewer();  // on screen, as when the user watches a build
    std::vector<std::string> lines;
    lines.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        lines.push_back(LineText(i));
        if (pieces) lines.back().back() = ' ';
    }
    const auto start = Clock::now();
    auto chunk = start;
    for (int i = 0; i < n; ++i) {
        LogMessageText(0, "BuildCollection 0 (desert rocks)", lines[size_t(i)]);
        if ((i + 1) % 1000 == 0 && perThousand) {
            const auto now = Clock::now();
            perThousand->push_back(Seconds(chunk, now));
            chunk = now;
        }
    }
    const double total = Seconds(start, Clock::now());
    SetLogHandler(nullptr);
    ResetWindowSystem();
    SetDefaultFont(nullptr);
    return total;
}

double AppendToString(int n) {
    std::vector<std::string> lines;
    for (int i = 0; i < n; ++i) lines.push_back(LineText(i));
    const auto start = Clock::now();
    std::string text;
    for (const std::string& l : lines) text += l;
    const double t = Seconds(start, Clock::now());
    if (text.empty()) std::printf("?");
    return t;
}

}  // namespace

double AppendLines(int n, InterfaceFont* font, std::vector<double>* perThousand) {
    return AppendMessages(n, font, perThousand, false);
}

// The per-thousand times of the best of several runs of n pieces.
std::vector<double> BestPieceChunks(int n, InterfaceFont* font, int runs) {
    std::vector<double> best;
    for (int run = 0; run < runs; ++run) {
        std::vector<double> chunks;
        AppendMessages(n, font, &chunks, true);
        if (best.empty()) best = chunks;
        for (size_t i = 0; i < chunks.size() && i < best.size(); ++i) best[i] = std::min(best[i], chunks[i]);
    }
    return best;
}

int main() {
    std::unique_ptr<InterfaceFont> font = MakeFont();
    const int sizes[] = {1000, 2000, 5000, 10000, 20000};
    double perLine1000 = 0, perLine20000 = 0;
    std::vector<double> thousands;
    AppendLines(1000, font.get(), nullptr);  // warm-up
    std::printf("%8s %12s %14s %14s\n", "lines", "total ms", "us per line", "string us/line");
    for (int n : sizes) {
        // Best of seven (and each thousand's best), to keep the noise of a
        // shared machine out of the ratios.
        double best = 1e30;
        for (int run = 0; run < 7; ++run) {
            std::vector<double> chunks;
            const double t = AppendLines(n, font.get(), n == 20000 ? &chunks : nullptr);
            best = std::min(best, t);
            if (n == 20000) {
                if (thousands.empty()) thousands = chunks;
                for (size_t i = 0; i < chunks.size() && i < thousands.size(); ++i)
                    thousands[i] = std::min(thousands[i], chunks[i]);
            }
        }
        const double ref = AppendToString(n);
        const double perLine = best / n;
        if (n == 1000) perLine1000 = perLine;
        if (n == 20000) perLine20000 = perLine;
        std::printf("%8d %12.2f %14.3f %14.4f\n", n, best * 1e3, perLine * 1e6, ref / n * 1e6);
    }
    std::printf("ratio per-line time 20000 / 1000 lines: %.2f\n", perLine20000 / perLine1000);
    if (thousands.size() >= 2)
        std::printf("ratio last 1000 / first 1000 lines of the 20000-line log: %.2f\n",
                    thousands.back() / thousands.front());
    const std::vector<double> pieces = BestPieceChunks(20000, font.get(), 3);
    if (pieces.size() >= 2)
        std::printf("20000 pieces on one line: first 1000 %.2f ms, last 1000 %.2f ms, ratio last / first %.2f\n",
                    pieces.front() * 1e3, pieces.back() * 1e3, pieces.back() / pieces.front());
    return 0;
}
