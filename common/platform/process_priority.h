#pragma once

namespace kestrix {

// Raises the process's priority for a long job (on) and puts it back to what it was when the
// program started (off). Best effort: where the system refuses, nothing changes and nothing is said.
void SetBusyPriority(bool on);

// The process's scheduling niceness now (lower runs sooner); 0 where the system has none.
int CurrentNiceness();

}  // namespace kestrix
