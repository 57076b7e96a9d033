#pragma once
// The whole run of the program: brings every subsystem up in order, logging
// each step to "pirn_log.txt", runs the main loop, and takes everything down
// again, writing the preferences last (after everything that changes them
// has closed).

namespace pirn {

// The process's exit status: 0 after a graceful shutdown, else the status
// of the start-up step that failed.
int RunProgram();

// The same run with another step after the first frame in place of the
// splash (RunStartupSplash), for hosts that bring up one tool of the
// program in the real window, such as the end-to-end tests of dialogs.
int RunProgramWith(void (*first_frame_step)());

}  // namespace pirn
