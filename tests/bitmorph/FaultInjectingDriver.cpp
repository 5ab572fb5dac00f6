// Test-only program: the conversion driver with a fault of the program injected, so that a
// test can see what the top-level handler makes of an error nobody expected. The fault is a
// std::invalid_argument thrown through the platform layer's write seam when the flash file
// is written (once: the writer's own clean-up must still run).
#include "bitmorph/Bitmorph.h"
#include "platform/file.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace {

class ThrowOnFlashWrite : public vantrel::platform::IoFaultHook {
public:
  bool allowWrite(const std::string &path, std::size_t) override {
    if (!thrown_ && path.find(".flash") != std::string::npos) {
      thrown_ = true;
      throw std::invalid_argument("injected fault while writing " + path);
    }
    return true;
  }

private:
  bool thrown_ = false;
};

} // namespace

int main(int argc, char **argv) {
  static ThrowOnFlashWrite hook;
  vantrel::platform::setIoFaultHook(&hook);
  vantrel::bitmorph::Bitmorph::main(std::vector<std::string>(argv + 1, argv + argc));
  return 0;
}
