// Win32 side of interrupted runs: a console control handler for Ctrl-C, Ctrl-Break and the
// closing of the console. Windows runs it on a thread of its own, so it cleans up there and
// then ends the process with the status a console-interrupted program ends with.
#include <windows.h>

#include "platform/interrupt.h"
#include "platform/interruptRegistry.h"

namespace vantrel::platform::detail {

namespace {

BOOL WINAPI onConsoleEvent(DWORD event) {
  switch (event) {
  case CTRL_C_EVENT:
  case CTRL_BREAK_EVENT:
  case CTRL_CLOSE_EVENT:
    break;
  default:
    return FALSE; // log-off and shut-down concern services; the next handler decides
  }
  noteInterrupt();
  // The children on the same console received the event too and are cleaning up; the
  // clean-up waits for them (and kills the ones that do not end).
  cleanUpAfterInterrupt(event == CTRL_C_EVENT ? StopRequest::Interrupt : StopRequest::Terminate);
  // Not ExitProcess: the other threads stop where they are, and no library's detach code
  // runs behind a lock one of them may hold.
  ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(STATUS_CONTROL_C_EXIT));
  return TRUE;
}

} // namespace

bool installInterruptHandlers() {
  return ::SetConsoleCtrlHandler(onConsoleEvent, TRUE) != 0;
}

void uninstallInterruptHandlers() {
  ::SetConsoleCtrlHandler(onConsoleEvent, FALSE);
  // An event that arrived just before is being handled on its own thread: the clean-up
  // ends the process, and this thread waits for that rather than ending it halfway.
  stopIfInterrupted();
}

} // namespace vantrel::platform::detail
