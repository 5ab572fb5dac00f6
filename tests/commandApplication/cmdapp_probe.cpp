// Helper program of the tests: starts a command application named "tool" from its own
// arguments, logs one flushed and one unflushed record, and ends through std::exit with 0
// for help, 1 when the start-up failed, 0 after a normal run.
#include "commandApplication/CmdApp.h"

#include <cstdlib>
#include <iostream>

int main(int argc, char **argv) {
  using namespace vantrel::commandApplication;
  std::vector<std::string> args(argv + 1, argv + argc);
  DeclineReason reason = DeclineReason::None;
  auto app = CmdApp::getInstance("tool", args, nullptr, std::nullopt, std::nullopt, &reason);
  if (!app) std::exit(reason == DeclineReason::Help ? 0 : 1);
  // Text through std::cout between framework output must keep its place.
  std::cout << "plain line" << std::endl;
  app->info("started");
  app->warning(app->getDefaultLogger(), "pending");
  std::cout << "last plain line" << std::endl;
  std::exit(0);
}
