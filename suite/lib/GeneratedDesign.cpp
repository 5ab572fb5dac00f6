// Deterministic configuration-data generator (xorshift32 driven).
#include "GeneratedDesign.h"

namespace vantrel::suite {

namespace {
class XorShift {
public:
  explicit XorShift(std::uint32_t seed) : s_(seed ? seed : 0x9E3779B9u) {}
  std::uint32_t next() {
    s_ ^= s_ << 13;
    s_ ^= s_ >> 17;
    s_ ^= s_ << 5;
    return s_;
  }

private:
  std::uint32_t s_;
};

// Bytes that routing multiplexers and look-up tables of a placed design often hold.
constexpr std::uint8_t PALETTE[] = {0x01, 0x80, 0x3C, 0xC3, 0x0F, 0xF0, 0x55, 0xAA};
} // namespace

std::vector<std::uint8_t> generateConfigData(std::size_t size, std::uint32_t seed) {
  XorShift rng(seed);
  std::vector<std::uint8_t> data;
  data.reserve(size + FRAME_SIZE);
  const std::size_t frames = (size + FRAME_SIZE - 1) / FRAME_SIZE;
  const std::size_t usedFrames = frames * 11 / 20; // a design that fills about 55% of the device
  for (std::size_t f = 0; f < frames; ++f) {
    std::uint8_t frame[FRAME_SIZE] = {};
    frame[0] = static_cast<std::uint8_t>(f);
    frame[1] = static_cast<std::uint8_t>(f >> 8);
    if (f < usedFrames) {
      for (std::size_t i = 2; i < FRAME_SIZE - 2; ++i) {
        const std::uint32_t r = rng.next();
        const std::uint32_t pick = r % 100;
        if (pick < 60)
          frame[i] = 0;
        else if (pick < 85)
          frame[i] = PALETTE[(r >> 8) % sizeof(PALETTE)];
        else
          frame[i] = static_cast<std::uint8_t>(r >> 16);
      }
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i < FRAME_SIZE - 2; ++i)
      sum += frame[i];
    frame[FRAME_SIZE - 2] = static_cast<std::uint8_t>(sum);
    frame[FRAME_SIZE - 1] = static_cast<std::uint8_t>(sum >> 8);
    data.insert(data.end(), frame, frame + FRAME_SIZE);
  }
  data.resize(size);
  return data;
}

} // namespace vantrel::suite
