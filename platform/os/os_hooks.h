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

// Called once by `OsTerminate` before the window and the library close,
// newest first; the list is emptied afterwards.
void OsAddTerminateHook(OsHookFunction function, void* context);

}  // namespace pirn
