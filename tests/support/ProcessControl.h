// Test helper shared by every area: stops a process the way a user, a build system or a
// closed terminal does, names the status a process so stopped ends with, kills processes and
// puts a process into a job. Defined in
// ProcessControl_posix.cpp / ProcessControl_win32.cpp; test programs compile the one of their OS.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::testing {

/// The ways a test stops a process: SIGINT, SIGTERM, SIGHUP on POSIX.
enum class Stop { Interrupt, Terminate, HangUp };

/// The signal number of a stop (POSIX numbering; the same numbers name the stops on
/// Windows, where they are sent as console events).
int signalNumber(Stop stop);

/// Sends the stop to process pid: kill(pid, signal) on POSIX. On Windows a console event
/// (Ctrl-C for Interrupt, Ctrl-Break otherwise) to every process of this process's
/// console. False when it could not be sent.
bool sendStop(std::uint64_t pid, Stop stop);

/// Sends the stop to the whole process group of process pid, as a terminal's Ctrl-C reaches
/// every process of its foreground group: kill(-group, signal) on POSIX. On Windows the
/// same as sendStop (a console event reaches every process of the console).
bool sendStopToGroup(std::uint64_t pid, Stop stop);

/// After a stop sent to this process itself: waits until it can have been handled. POSIX
/// delivers the signal before kill returns; a Windows console event is handled on a thread
/// of its own, later, so this waits (up to EVENT_LIMIT_MILLIS; the clean-up ends the
/// process meanwhile).
void awaitOwnStop();

/// Ends process pid at once, with no chance to clean up (SIGKILL; TerminateProcess), as a
/// task manager or a time limit does; nothing it started is told.
bool killProcess(std::uint64_t pid);

/// Starts this program again with args as a plain child, as a wrapper script starts a worker:
/// in this process's process group with its standard streams (Windows: on its console and
/// in its job), never waited for. Its id, or 0 when it could not be started.
std::uint64_t startWorker(const std::vector<std::string> &args);

/// Whether the process with that id still runs (on POSIX an ended one that was not reaped
/// yet does not).
bool processRuns(std::uint64_t pid);

/// Delivers the Windows console event (CTRL_C_EVENT 0, CTRL_BREAK_EVENT 1, CTRL_CLOSE_EVENT
/// 2) to the process with that id the way the system does: on a new thread of that process
/// that runs its console handlers; no shared console is needed. False on POSIX or when the
/// delivery failed.
bool deliverConsoleEvent(std::uint64_t pid, int event);

/// The status a program stopped by stop ends with, as the platform layer reports it:
/// 128 + N on POSIX, STATUS_CONTROL_C_EXIT (0xC000013A, as a signed integer) on Windows.
int stoppedExitValue(Stop stop);

/// Ends this process the way a crash ends a program, leaving no core file: by SIGSEGV
/// (POSIX), with the status of an access violation, 0xC0000005 (Windows).
[[noreturn]] void crashProcess();

/// This process's id and its parent's.
std::uint64_t ownProcessId();
std::uint64_t parentProcessId();

/// Makes this process ignore the stop (SIG_IGN; on Windows every console event).
void ignoreStop(Stop stop);

/// Windows: makes a console event end this process with STATUS_CONTROL_C_EXIT, as the
/// system's default handler does (Wine's ends it with status 0, as a program that handles
/// the event itself and exits normally would). POSIX: nothing (the default actions hold).
void endByConsoleEventsAsWindowsDoes();

/// Windows: puts this process into a new job that allows no breakaway (as a build system or
/// a service host may run it); false when that fails. POSIX: false (there are no jobs).
bool enterNewJob();

/// Makes sendStop work for the children this process starts afterwards, and tells whether
/// this stop can be sent at all. Windows: gives this process a console when it has none
/// (its children share it), makes it ignore the events it sends there itself, and tries
/// the event (Wine 8 delivers Ctrl-C but refuses Ctrl-Break). POSIX: true.
bool stopDeliverable(Stop stop);

} // namespace vantrel::testing
