#pragma once
// The program's own report of its window tree (PIRN_WINDOW_REPORT, see
// ui/window_report.h), read back by the end-to-end tests: which of Pirn's
// windows are open, shown, modal and focused, since xdotool sees only the
// one native window that holds them all.

#include <string>
#include <vector>

namespace pirn_test {

struct ReportedWindow {
    int depth = 0;  // 1: a child of the root
    std::string className;
    bool visible = false;
    int x = 0, y = 0, width = 0, height = 0;  // screen
    std::string title;
};

struct WindowReport {
    long long serial = 0;  // 0: no report yet
    bool nativeDialog = false;
    std::string modal;  // class of the top modal window, "-" for none
    std::string focus;
    std::vector<ReportedWindow> windows;

    // The first window of the class (and title, when given); null when none.
    const ReportedWindow* Find(const std::string& className, const std::string& title = "") const;
    const ReportedWindow* FindTitle(const std::string& title) const;
    bool Has(const std::string& className) const { return Find(className) != nullptr; }
    int Count(const std::string& className) const;
    // Windows at depth 1 (the layers and the menu bar are there too).
    int TopLevelCount() const;
    // A line per window, for messages.
    std::string Describe() const;
};

// Reads the report file; serial 0 when it is missing or cut short.
WindowReport ReadWindowReport(const std::string& path);

}  // namespace pirn_test
