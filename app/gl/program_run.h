#pragma once
// The whole run of the program: brings every subsystem up in order, logging
// each step to "pirn_log.txt", runs the main loop, and takes everything down
// again, writing the preferences last (after everything that changes them
// has closed).

namespace pirn {

// The process's exit status: 0 after a graceful shutdown, else the status
// of the start-up step that failed.
int RunProgram();

}  // namespace pirn
