// Differential fuzz target: operation sequences on ConcatinatingMemory checked against a
// plain model (a byte map plus the list of segment ranges).
//
// Input format: byte 0 picks the window, then each operation is one opcode byte followed
// by the operand bytes that opcode needs (FuzzedDataProvider decoding). Addresses mostly
// fall a little below, inside or a little above the window; now and then they are negative
// or near the ends of the 64-bit range. Every result, every overflow, every exception
// message and the whole segment layout are compared after each operation.
#include "ImageModel.h"
#include "memory/ConcatinatingMemory.h"
#include "memory/MemoryMessages.h"
#include "memory/Segment.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using fuzzing::Bytes;
using fuzzing::check;
using fuzzing::compareLayout;
using fuzzing::expectSame;
using fuzzing::mismatch;
using fuzzing::OptionalBytes;
using Model = fuzzing::ImageModel;
using vantrel::memory::ConcatinatingMemory;
using vantrel::memory::SegmentKey;
namespace msg = vantrel::memory::messages;

constexpr std::int64_t MAX_GET = 2147483647;

/// Runs call and returns the invalid-argument message it threw, or nothing.
std::optional<std::string> invalidArgument(const std::function<void()> &call) {
  try {
    call();
  } catch (const std::invalid_argument &e) {
    return std::string(e.what());
  }
  return std::nullopt;
}

void expectMessage(const std::optional<std::string> &got, const char *expected, const char *what) {
  if (expected == nullptr) {
    if (got) {
      std::fprintf(stderr, "unexpected exception: %s\n", got->c_str());
      mismatch(what);
    }
    return;
  }
  if (!got || *got != expected) {
    std::fprintf(stderr, "expected \"%s\", got \"%s\"\n", expected, got ? got->c_str() : "(no exception)");
    mismatch(what);
  }
}

/// An address near the window (mostly), negative, or far away.
std::int64_t pickAddress(FuzzedDataProvider &in, const Model &m) {
  const std::uint8_t kind = in.ConsumeIntegral<std::uint8_t>();
  const std::int64_t span = m.end() - m.base() + 1;
  switch (kind % 16) {
  case 0:
    return -static_cast<std::int64_t>(in.ConsumeIntegralInRange<std::uint16_t>(1, 400));
  case 1:
    return std::numeric_limits<std::int64_t>::max() - in.ConsumeIntegralInRange<std::int64_t>(0, 64);
  case 2:
    return std::numeric_limits<std::int64_t>::min() + in.ConsumeIntegralInRange<std::int64_t>(0, 64);
  case 3:
    return m.end() - in.ConsumeIntegralInRange<std::int64_t>(-4, 40); // near the end
  case 4:
    return m.base() + in.ConsumeIntegralInRange<std::int64_t>(-40, 4); // near the base
  default:
    return m.base() - 20 + in.ConsumeIntegralInRange<std::int64_t>(0, span + 40);
  }
}

/// The key of a segment that would start at addr; a negative address is taken as a
/// (bad) key itself, so that far-off addresses cannot overflow.
std::int64_t keyFor(std::int64_t addr, const Model &m) {
  return addr < 0 ? addr : addr - m.base();
}

/// A length: mostly small, sometimes zero, negative or beyond the get limit.
std::int64_t pickLength(FuzzedDataProvider &in) {
  const std::uint8_t kind = in.ConsumeIntegral<std::uint8_t>();
  switch (kind % 16) {
  case 0:
    return 0;
  case 1:
    return -static_cast<std::int64_t>(in.ConsumeIntegralInRange<std::uint16_t>(1, 300));
  case 2:
    return MAX_GET + in.ConsumeIntegralInRange<std::int64_t>(0, 2);
  case 3:
    return std::numeric_limits<std::int64_t>::max() - in.ConsumeIntegralInRange<std::int64_t>(0, 2);
  default:
    return in.ConsumeIntegralInRange<std::int64_t>(1, 400);
  }
}

/// Data whose bytes differ from add to add, so that a wrong overwrite shows.
Bytes pickData(FuzzedDataProvider &in, std::uint8_t &stamp) {
  const std::size_t n = in.ConsumeIntegralInRange<std::size_t>(0, 48);
  Bytes data(n);
  ++stamp;
  for (std::size_t i = 0; i < n; ++i)
    data[i] = static_cast<std::uint8_t>(stamp * 31 + i);
  return data;
}

/// The layout against the model, and the image text.
void compareAll(const ConcatinatingMemory &mem, const Model &m) {
  compareLayout(mem, m);
  std::string expected = "base:0x";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%" PRIx64 " end:0x%" PRIx64, static_cast<std::uint64_t>(m.base()),
                static_cast<std::uint64_t>(m.end()));
  expected += buf;
  if (!m.segments().empty()) {
    std::snprintf(buf, sizeof buf, " total:0x%" PRIx64, static_cast<std::uint64_t>(m.total()));
    expected += buf;
  }
  check(mem.toString() == expected, "toString");
}

void opAdd(FuzzedDataProvider &in, ConcatinatingMemory &mem, Model &m, std::uint8_t &stamp, int form) {
  const std::int64_t addr = pickAddress(in, m);
  Bytes data = pickData(in, stamp);
  const OptionalBytes want = m.add(addr, data);
  OptionalBytes got;
  if (form == 0) {
    got = mem.add(addr, data);
  } else if (form == 1) {
    got = mem.add(addr, std::move(data));
  } else {
    got = mem.add(addr, OptionalBytes(data));
  }
  expectSame(got, want, "add overflow", addr);
}

void opGet(FuzzedDataProvider &in, const ConcatinatingMemory &mem, const Model &m) {
  const std::int64_t addr = pickAddress(in, m);
  const std::int64_t len = pickLength(in);
  OptionalBytes got;
  const auto error = invalidArgument([&] { got = mem.get(addr, len); });
  if (addr < 0 || len < 0) {
    expectMessage(error, msg::ADDRESS_AND_LENGTH_POSITIVE, "get(addr,len) negative");
    return;
  }
  if (len > MAX_GET) {
    expectMessage(error, msg::LENGTH_UNSUPPORTED, "get(addr,len) too long");
    return;
  }
  expectMessage(error, nullptr, "get(addr,len)");
  expectSame(got, m.run(addr, len), "get(addr,len)", addr, len);
}

void opGetWhole(FuzzedDataProvider &in, const ConcatinatingMemory &mem, const Model &m) {
  const std::int64_t addr = pickAddress(in, m);
  OptionalBytes got;
  const auto error = invalidArgument([&] { got = mem.get(addr); });
  if (addr < 0) {
    expectMessage(error, msg::ADDRESS_POSITIVE, "get(addr) negative");
    return;
  }
  expectMessage(error, nullptr, "get(addr)");
  expectSame(got, m.run(addr, std::max<std::int64_t>(m.total(), 0)), "get(addr)", addr);
}

void opGetKey(FuzzedDataProvider &in, const ConcatinatingMemory &mem, const Model &m) {
  // A key of an existing segment (most of the time) or any offset.
  std::int64_t key = keyFor(pickAddress(in, m), m);
  const auto &segs = m.segments();
  if (!segs.empty() && in.ConsumeBool()) {
    auto it = segs.begin();
    std::advance(it, in.ConsumeIntegralInRange<std::size_t>(0, segs.size() - 1));
    key = it->first - m.base();
  }
  const std::int64_t len = pickLength(in);
  const bool exists = segs.count(m.base() + key) != 0;
  OptionalBytes got;
  const auto error = invalidArgument([&] { got = mem.get(SegmentKey{key}, len); });
  if (len < 0) {
    expectMessage(error, msg::LENGTH_POSITIVE, "get(key,len) negative");
    return;
  }
  if (len > MAX_GET) {
    expectMessage(error, msg::LENGTH_UNSUPPORTED, "get(key,len) too long");
    return;
  }
  expectMessage(error, nullptr, "get(key,len)");
  expectSame(got, exists ? m.run(m.base() + key, len) : std::nullopt, "get(key,len)", key, len);

  bool threw = false;
  try {
    const std::int64_t addr = mem.getAddr(SegmentKey{key});
    check(exists && addr == m.base() + key, "getAddr of a key", addr, key);
  } catch (const std::runtime_error &e) {
    threw = true;
    check(std::string(e.what()) == msg::SEGMENT_KEY_MISMATCH, "getAddr message");
  }
  check(threw == !exists, "getAddr of a missing key", key);
}

void opHas(FuzzedDataProvider &in, const ConcatinatingMemory &mem, const Model &m) {
  const std::int64_t addr = pickAddress(in, m);
  const std::int64_t len = pickLength(in);
  bool got = false;
  auto error = invalidArgument([&] { got = mem.has(addr); });
  if (addr < 0) {
    expectMessage(error, msg::ADDRESS_POSITIVE, "has(addr) negative");
  } else {
    expectMessage(error, nullptr, "has(addr)");
    check(got == m.holds(addr), "has(addr)", addr);
  }
  error = invalidArgument([&] { got = mem.has(addr, len); });
  if (addr < 0 || len < 0) {
    expectMessage(error, msg::ADDRESS_AND_LENGTH_POSITIVE, "has(addr,len) negative");
  } else {
    expectMessage(error, nullptr, "has(addr,len)");
    check(got == m.holdsAny(addr, len), "has(addr,len)", addr, len);
  }
  std::int64_t inter = 0;
  error = invalidArgument([&] { inter = mem.intersection(addr, len); });
  if (len < 0) {
    expectMessage(error, msg::LENGTH_POSITIVE, "intersection negative");
  } else {
    expectMessage(error, nullptr, "intersection");
    check(inter == m.intersection(addr, len), "intersection", addr, len);
  }
}

void opFill(FuzzedDataProvider &in, ConcatinatingMemory &mem, Model &m) {
  const std::int64_t addr = pickAddress(in, m);
  // fill builds len bytes, so lengths stay small here (negative ones still come).
  std::int64_t len = pickLength(in);
  if (len > 600) len = len % 600;
  Bytes pattern(in.ConsumeIntegralInRange<std::size_t>(0, 5));
  for (std::size_t i = 0; i < pattern.size(); ++i)
    pattern[i] = static_cast<std::uint8_t>(0xA0 + i);
  bool got = false;
  const auto error = invalidArgument([&] { got = mem.fill(addr, len, pattern); });
  if (addr < 0 || len < 0) {
    expectMessage(error, msg::ADDRESS_AND_LENGTH_POSITIVE, "fill negative");
    return;
  }
  if (pattern.empty()) {
    expectMessage(error, msg::PATTERN_EMPTY, "fill without pattern");
    return;
  }
  expectMessage(error, nullptr, "fill");
  if (m.holdsAny(addr, len)) {
    check(!got, "fill over data", addr, len);
    return;
  }
  Bytes bytes(static_cast<std::size_t>(len));
  const auto p = static_cast<std::int64_t>(pattern.size());
  for (std::int64_t i = 0; i < len; ++i)
    bytes[static_cast<std::size_t>(i)] = pattern[static_cast<std::size_t>((addr % p + i) % p)];
  const bool want = !m.add(addr, bytes).has_value();
  check(got == want, "fill result", addr, len);
}

void opRemove(FuzzedDataProvider &in, ConcatinatingMemory &mem, Model &m) {
  std::int64_t addr = pickAddress(in, m);
  const auto &segs = m.segments();
  if (!segs.empty() && in.ConsumeBool()) {
    auto it = segs.begin();
    std::advance(it, in.ConsumeIntegralInRange<std::size_t>(0, segs.size() - 1));
    addr = it->first;
  }
  bool got = false;
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
  case 0: {
    const auto error = invalidArgument([&] { got = mem.remove(addr); });
    if (addr < 0) {
      expectMessage(error, msg::ADDRESS_POSITIVE, "remove(addr) negative");
      return;
    }
    expectMessage(error, nullptr, "remove(addr)");
    check(got == m.removeSegmentAt(addr), "remove(addr)", addr);
    break;
  }
  case 1: {
    // The key form: an offset from the base, which may be negative for a bad key.
    got = mem.remove(SegmentKey{keyFor(addr, m)});
    check(got == m.removeSegmentAt(addr), "remove(key)", addr);
    break;
  }
  case 2: {
    const std::int64_t len = pickLength(in);
    const auto error = invalidArgument([&] { got = mem.remove(addr, len); });
    if (addr < 0 || len < 0) {
      expectMessage(error, msg::ADDRESS_AND_LENGTH_POSITIVE, "remove(addr,len) negative");
      return;
    }
    expectMessage(error, nullptr, "remove(addr,len)");
    check(!got, "remove(addr,len) removes nothing");
    break;
  }
  default: {
    const std::int64_t len = pickLength(in);
    const auto error = invalidArgument([&] { got = mem.remove(SegmentKey{keyFor(addr, m)}, len); });
    if (len < 0) {
      expectMessage(error, msg::LENGTH_POSITIVE, "remove(key,len) negative");
      return;
    }
    expectMessage(error, nullptr, "remove(key,len)");
    check(!got, "remove(key,len) removes nothing");
    break;
  }
  }
}

/// copy into an image with another window equals adding each segment there in order.
void opCopy(const ConcatinatingMemory &mem, const Model &m, FuzzedDataProvider &in) {
  const std::int64_t base = m.base() + in.ConsumeIntegralInRange<std::int64_t>(-10, 60);
  const std::int64_t end = base + in.ConsumeIntegralInRange<std::int64_t>(1, 300);
  if (base < 0) return;
  ConcatinatingMemory other(base, end);
  Model otherModel(base, end);
  check(other.copy(&mem), "copy");
  for (const auto &seg : m.segments())
    otherModel.add(seg.first, m.segmentBytes(seg.first));
  compareAll(other, otherModel);
  check(!other.copy(nullptr), "copy of null");
}

/// take moves out exactly what get would copy; added elsewhere, the run follows the add
/// rule as copied bytes would.
void opTake(FuzzedDataProvider &in, ConcatinatingMemory &mem, Model &m) {
  const std::int64_t addr = pickAddress(in, m);
  const bool whole = in.ConsumeBool();
  const std::int64_t len = whole ? 0 : pickLength(in);
  vantrel::memory::Segment run;
  const auto error = invalidArgument([&] { run = whole ? mem.take(addr) : mem.take(addr, len); });
  if (addr < 0 || len < 0) {
    expectMessage(error, msg::ADDRESS_AND_LENGTH_POSITIVE, "take negative");
    return;
  }
  expectMessage(error, nullptr, "take");
  const OptionalBytes want = m.run(addr, whole ? m.total() : len);
  check(run.base() == addr, "take base");
  expectSame(run.length() == 0 ? OptionalBytes() : run.get(), want, "take", addr, len);
  if (want) m.removeRange(addr, addr + static_cast<std::int64_t>(want->size()) - 1);
  compareAll(mem, m);
  const std::int64_t dest = pickAddress(in, m);
  const OptionalBytes overflow = m.add(dest, want.value_or(Bytes()));
  expectSame(mem.add(dest, std::move(run)), overflow, "add of a taken run", dest);
}

/// takeRuns moves out every byte of a range, gaps kept; the runs go back where they were.
void opTakeRuns(FuzzedDataProvider &in, ConcatinatingMemory &mem, Model &m) {
  const std::int64_t first = pickAddress(in, m);
  const __int128 wanted = static_cast<__int128>(first) + in.ConsumeIntegralInRange<std::int64_t>(-2, 120);
  const std::int64_t last = wanted > std::numeric_limits<std::int64_t>::max()
                                ? std::numeric_limits<std::int64_t>::max()
                                : static_cast<std::int64_t>(wanted);
  std::vector<vantrel::memory::Segment> runs;
  const auto error = invalidArgument([&] { runs = mem.takeRuns(first, last); });
  if (first < 0 || last < first) {
    expectMessage(error, msg::ADDRESS_AND_LENGTH_POSITIVE, "takeRuns bounds");
    return;
  }
  expectMessage(error, nullptr, "takeRuns");
  std::vector<std::pair<std::int64_t, Bytes>> want;
  for (const auto &[s, e] : m.segments()) {
    if (e < first || s > last) continue;
    const std::int64_t from = std::max(s, first);
    want.emplace_back(from, *m.run(from, std::min(e, last) - from + 1));
  }
  check(runs.size() == want.size(), "takeRuns count");
  for (std::size_t i = 0; i < runs.size() && i < want.size(); ++i) {
    check(runs[i].base() == want[i].first, "takeRuns address");
    expectSame(runs[i].get(), OptionalBytes(want[i].second), "takeRuns bytes", want[i].first);
  }
  m.removeRange(first, last);
  compareAll(mem, m);
  for (std::size_t i = 0; i < runs.size() && i < want.size(); ++i)
    expectSame(mem.add(want[i].first, std::move(runs[i])), m.add(want[i].first, want[i].second), "runs back");
}

struct Window {
  std::int64_t base;
  std::int64_t end;
};

constexpr Window WINDOWS[] = {
    {16, 300}, {0, 63}, {100, 200}, {0, 1}, {5, 6}, {1000, 1100},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const Window w = WINDOWS[in.ConsumeIntegral<std::uint8_t>() % (sizeof WINDOWS / sizeof WINDOWS[0])];
  ConcatinatingMemory mem(w.base, w.end);
  Model m(w.base, w.end);
  std::uint8_t stamp = 0;
  int ops = 0;
  while (in.remaining_bytes() > 0 && ops++ < 400) {
    switch (in.ConsumeIntegral<std::uint8_t>() % 18) {
    case 0:
    case 1:
    case 2:
    case 3:
      opAdd(in, mem, m, stamp, 0);
      break;
    case 4:
      opAdd(in, mem, m, stamp, 1);
      break;
    case 5:
      opAdd(in, mem, m, stamp, 2);
      break;
    case 6:
    case 7:
      opGet(in, mem, m);
      break;
    case 8:
      opGetWhole(in, mem, m);
      break;
    case 9:
      opGetKey(in, mem, m);
      break;
    case 10:
      opHas(in, mem, m);
      break;
    case 11:
      opFill(in, mem, m);
      break;
    case 12:
      opRemove(in, mem, m);
      break;
    case 13:
      opCopy(mem, m, in);
      break;
    case 14: {
      // A null array is refused and changes nothing.
      const auto error = invalidArgument([&] { mem.add(pickAddress(in, m), OptionalBytes()); });
      expectMessage(error, msg::CANNOT_ADD_EMPTY, "add of null");
      break;
    }
    case 16:
      opTake(in, mem, m);
      break;
    case 17:
      opTakeRuns(in, mem, m);
      break;
    default:
      if (in.ConsumeBool()) {
        // The whole window: refused when any byte is held, else filled completely.
        Bytes pattern(in.ConsumeIntegralInRange<std::size_t>(0, 3), 0x5A);
        bool got = false;
        const auto error = invalidArgument([&] { got = mem.fill(pattern); });
        if (pattern.empty()) {
          expectMessage(error, msg::PATTERN_EMPTY, "fill(pattern) without pattern");
        } else {
          expectMessage(error, nullptr, "fill(pattern)");
          const bool want = m.total() == 0;
          check(got == want, "fill(pattern)");
          if (want) m.add(m.base(), Bytes(static_cast<std::size_t>(m.end() - m.base() + 1), 0x5A));
        }
      } else if (in.ConsumeIntegralInRange<int>(0, 3) == 0) {
        mem.clear();
        m.clear();
      }
      break;
    }
    compareAll(mem, m);
  }
  return 0;
}
