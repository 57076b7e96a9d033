// Pirn's entry point; everything it does is in app/gl/program_run.h.

#include "app/gl/program_run.h"

#ifdef _WIN32
#include <windows.h>
#include <ole2.h>

namespace {

// The process services Windows wants set up before anything else: a heap
// that fragments less over long sessions of loading and freeing tags (and
// ends the process on heap corruption instead of running on), and OLE for
// the system's file dialogs.
class WindowsProcessServices {
public:
    WindowsProcessServices() {
        HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
        ULONG low_fragmentation = 2;
        HeapSetInformation(GetProcessHeap(), HeapCompatibilityInformation, &low_fragmentation,
                           sizeof low_fragmentation);
        ole_started_ = SUCCEEDED(OleInitialize(nullptr));
    }
    ~WindowsProcessServices() {
        if (ole_started_) OleUninitialize();
    }
    WindowsProcessServices(const WindowsProcessServices&) = delete;
    WindowsProcessServices& operator=(const WindowsProcessServices&) = delete;

private:
    bool ole_started_ = false;
};

}  // namespace
#endif

int main() {
#ifdef _WIN32
    WindowsProcessServices services;
#endif
    return pirn::RunProgram();
}
