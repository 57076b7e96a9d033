#include "tests/e2e/window_report_reader.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace pirn_test {

const ReportedWindow* WindowReport::Find(const std::string& className, const std::string& title) const {
    for (const ReportedWindow& w : windows)
        if (w.className == className && (title.empty() || w.title == title)) return &w;
    return nullptr;
}

const ReportedWindow* WindowReport::FindTitle(const std::string& title) const {
    for (const ReportedWindow& w : windows)
        if (w.title == title) return &w;
    return nullptr;
}

int WindowReport::Count(const std::string& className) const {
    int n = 0;
    for (const ReportedWindow& w : windows) n += w.className == className;
    return n;
}

int WindowReport::TopLevelCount() const {
    int n = 0;
    for (const ReportedWindow& w : windows) n += w.depth == 1;
    return n;
}

std::string WindowReport::Describe() const {
    std::ostringstream out;
    out << "report " << serial << ", modal " << modal << ", focus " << focus << ", " << windows.size()
        << " windows:\n";
    for (const ReportedWindow& w : windows)
        out << std::string(size_t(w.depth) * 2, ' ') << w.className << (w.visible ? "" : " (hidden)") << " \""
            << w.title << "\"\n";
    return out.str();
}

WindowReport ReadWindowReport(const std::string& path) {
    WindowReport report;
    std::ifstream in(path);
    std::string line;
    size_t expected = 0;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string key;
        fields >> key;
        if (key == "report") fields >> report.serial;
        else if (key == "native-dialog") { int on = 0; fields >> on; report.nativeDialog = on != 0; }
        else if (key == "modal") fields >> report.modal;
        else if (key == "focus") fields >> report.focus;
        else if (key == "windows") fields >> expected;
        else {
            ReportedWindow w;
            w.depth = std::atoi(key.c_str());
            std::string shown;
            fields >> w.className >> shown >> w.x >> w.y >> w.width >> w.height;
            w.visible = shown == "visible";
            const size_t open = line.find('"'), close = line.rfind('"');
            if (open != std::string::npos && close > open) w.title = line.substr(open + 1, close - open - 1);
            report.windows.push_back(w);
        }
    }
    // The file is renamed into place whole; a short one is not ours.
    if (report.windows.size() != expected) return WindowReport{};
    return report;
}

}  // namespace pirn_test
