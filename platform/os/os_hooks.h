#pragma once
// Extension points for other platform code (clipboard selection owner and
// the like) that must service its own events every frame or tidy up before
// the window library goes away.

namespace pirn {

using OsHookFunction = void (*)(void* context);

// Called at the end of every `OsPollEvents` (not from nested polls), in the
// order added. Adding the same (function, context) twice adds it once.
void OsAddPollHook(OsHookFunction function, void* context);
void OsRemovePollHook(OsHookFunction function, void* context);

// A file descriptor (Linux) that a wait for input also watches: platform
// code that talks to the desktop on a connection of its own (the clipboard
// selection owner) is then served while an idle program waits, by the poll
// hooks that run when the wait ends. Adding one twice adds it once.
void OsAddWaitDescriptor(int fd);
void OsRemoveWaitDescriptor(int fd);

// Called once by `OsTerminate` before the window and the library close,
// newest first; the list is emptied afterwards.
void OsAddTerminateHook(OsHookFunction function, void* context);

}  // namespace pirn
