// What the fake runtime does to stand in for an application that is stopped while it runs:
// start a converter of its own, then wait for a stop and clean up the way the application
// does. fakeJavaStop_posix.cpp and fakeJavaStop_win32.cpp define it.
#pragma once

#include <functional>
#include <string>

/// This process's id.
unsigned long ownProcessId();

/// Starts this program again with the single argument arg, its output going where this
/// program's goes; the new process's id, or 0 when it could not be started.
unsigned long startSelf(const std::string &arg);

/// Waits (at most 30 s) for a stop request. With catchStops a SIGTERM, SIGINT or SIGHUP
/// (Windows: a console Ctrl-C, Ctrl-Break or close) ends the process helper when it is not 0, as the
/// application ends its converter, and then this program with 100 + the signal number
/// (Windows: 100 + the console event); without, a stop takes its default action. ready,
/// when given, is called once a stop is handled so: a test that stops the program after
/// ready's sign never finds it without its handlers.
void awaitStop(bool catchStops, unsigned long helper, const std::function<void()> &ready = {});
