#pragma once
// A system dialog runs its own modal loop; while it is open this timer keeps
// the program's frames coming, as the native-dialog mode asks of every
// backend.

namespace pirn {
namespace win32 {

class DialogFrameTimer {
public:
    DialogFrameTimer();
    ~DialogFrameTimer();
    DialogFrameTimer(const DialogFrameTimer&) = delete;
    DialogFrameTimer& operator=(const DialogFrameTimer&) = delete;

private:
    unsigned long long id_ = 0;
};

}  // namespace win32
}  // namespace pirn
