// Internal to the OS layer: the registry behind interrupt.h as the file and process code and
// the per-OS handlers use it; interrupt.cpp defines the shared part, interrupt_posix.cpp and
// interrupt_win32.cpp the handlers.
#pragma once

#include <mutex>

#include "platform/process.h"

namespace vantrel::platform::detail {

/// The registry's lock. Creating or renaming a registered file and starting a child happen
/// while it is held: once the clean-up has begun it holds the lock until the process ends,
/// so nothing is created, renamed into place or started after the clean-up looked.
/// Recursive, so that a holder may register names.
std::unique_lock<std::recursive_mutex> lockInterruptRegistry();

/// Registers a started child until unregisterChild; the clean-up ends every registered
/// child that still runs.
void registerChild(ChildProcess *child);
void unregisterChild(ChildProcess *child);

/// Records that an interruption arrived. Async-signal-safe: a signal handler calls it.
void noteInterrupt() noexcept;

/// The clean-up: takes the registry's lock for good, ends the children (asked with the stop
/// this process received, given CHILD_GRACE_MILLIS, killed, waited for) and removes the
/// registered files this run produced. The caller then ends the process.
void cleanUpAfterInterrupt(StopRequest received);

/// The per-OS handlers: installs them (false when they could not be installed) and puts
/// back what was there before.
bool installInterruptHandlers();
void uninstallInterruptHandlers();

} // namespace vantrel::platform::detail
