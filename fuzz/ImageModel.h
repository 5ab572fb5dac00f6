// Shared by the fuzz targets: a plain model of the image add rule and the checks that
// compare an image with it.
#pragma once

#include "FuzzCheck.h"
#include "memory/SegmentedMemory.h"

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fuzzing {

using Bytes = vantrel::flashDevice::Bytes;
using OptionalBytes = vantrel::flashDevice::OptionalBytes;

/// The add rule stated plainly: which bytes are held, and which ranges form segments.
class ImageModel {
public:
  ImageModel(std::int64_t base, std::int64_t end) : base_(base), end_(end) {}

  std::int64_t base() const { return base_; }
  std::int64_t end() const { return end_; }
  const std::map<std::int64_t, std::int64_t> &segments() const { return segs_; }
  /// Every held byte by address.
  const std::map<std::int64_t, std::uint8_t> &bytes() const { return bytes_; }

  /// Clip to the window, overwrite, join the first segment the data overlaps or touches,
  /// merge any later segment it overlaps. Returns the overflow.
  OptionalBytes add(std::int64_t addr, const Bytes &data) {
    const auto len = static_cast<std::int64_t>(data.size());
    if (len == 0) return std::nullopt;
    const __int128 last = static_cast<__int128>(addr) + len - 1;
    if (addr > end_ || last < base_) return std::nullopt;
    const std::int64_t s = addr < base_ ? base_ : addr;
    const std::int64_t e = last > end_ ? end_ : static_cast<std::int64_t>(last);
    OptionalBytes overflow;
    const bool frontCut = addr < base_;
    const bool backCut = last > end_;
    if (frontCut && !backCut) overflow = Bytes(data.begin(), data.begin() + (base_ - addr));
    if (backCut && !frontCut) overflow = Bytes(data.begin() + (e - addr + 1), data.end());
    for (std::int64_t a = s; a <= e; ++a)
      bytes_[a] = data[static_cast<std::size_t>(a - addr)];

    // The first segment in address order that overlaps s..e, ends at s - 1 or begins at e + 1.
    auto target = segs_.end();
    for (auto it = segs_.begin(); it != segs_.end(); ++it) {
      const std::int64_t ss = it->first, se = it->second;
      if ((ss <= e && s <= se) || se == s - 1 || ss == e + 1) {
        target = it;
        break;
      }
    }
    std::int64_t ns = s, ne = e;
    if (target != segs_.end()) {
      ns = std::min(ns, target->first);
      ne = std::max(ne, target->second);
      segs_.erase(target);
    }
    // Later segments that the grown run overlaps are merged into it.
    for (auto it = segs_.lower_bound(ns); it != segs_.end() && it->first <= ne;) {
      ne = std::max(ne, it->second);
      it = segs_.erase(it);
    }
    segs_[ns] = ne;
    return overflow;
  }

  /// The held bytes from addr up to the first gap, at most len of them; null when none.
  OptionalBytes run(std::int64_t addr, std::int64_t len) const {
    Bytes out;
    auto it = bytes_.find(addr);
    for (std::int64_t a = addr;
         it != bytes_.end() && it->first == a && static_cast<std::int64_t>(out.size()) < len; ++it, ++a)
      out.push_back(it->second);
    if (out.empty()) return std::nullopt;
    return out;
  }

  bool holds(std::int64_t addr) const { return bytes_.count(addr) != 0; }

  bool holdsAny(std::int64_t addr, std::int64_t len) const {
    if (len <= 0) return false;
    auto it = bytes_.lower_bound(addr);
    return it != bytes_.end() && static_cast<__int128>(it->first) < static_cast<__int128>(addr) + len;
  }

  bool removeSegmentAt(std::int64_t start) {
    auto it = segs_.find(start);
    if (it == segs_.end()) return false;
    for (std::int64_t a = it->first; a <= it->second; ++a)
      bytes_.erase(a);
    segs_.erase(it);
    return true;
  }

  /// Takes the bytes of first..last out; segments keep the parts before and after them.
  void removeRange(std::int64_t first, std::int64_t last) {
    for (auto it = bytes_.lower_bound(first); it != bytes_.end() && it->first <= last;)
      it = bytes_.erase(it);
    std::map<std::int64_t, std::int64_t> kept;
    for (const auto &[s, e] : segs_) {
      if (e < first || s > last) {
        kept[s] = e;
        continue;
      }
      if (s < first) kept[s] = first - 1;
      if (e > last) kept[last + 1] = e;
    }
    segs_ = std::move(kept);
  }

  void clear() {
    bytes_.clear();
    segs_.clear();
  }

  std::int64_t total() const { return static_cast<std::int64_t>(bytes_.size()); }

  Bytes segmentBytes(std::int64_t start) const {
    Bytes out;
    const std::int64_t last = segs_.at(start);
    for (auto it = bytes_.find(start); it != bytes_.end() && it->first <= last; ++it)
      out.push_back(it->second);
    return out;
  }

  std::int64_t intersection(std::int64_t addr, std::int64_t len) const {
    const __int128 last = static_cast<__int128>(addr) + len - 1;
    if (addr > end_ || last < base_) return 0;
    __int128 inside = len;
    if (addr < base_) inside -= static_cast<__int128>(base_) - addr;
    if (last > end_) inside -= last - end_;
    return static_cast<std::int64_t>(inside);
  }

private:
  std::int64_t base_;
  std::int64_t end_;
  std::map<std::int64_t, std::uint8_t> bytes_;
  std::map<std::int64_t, std::int64_t> segs_; // start -> last address (inclusive)
};

/// The segment layout, total, emptiness and every segment's bytes against the model.
inline void compareLayout(const vantrel::memory::SegmentedMemory &mem, const ImageModel &m) {
  const auto keys = mem.iterator();
  const auto &segs = m.segments();
  check(keys.size() == segs.size(), "segment count", static_cast<std::int64_t>(keys.size()),
        static_cast<std::int64_t>(segs.size()));
  check(mem.getNumSegments() == segs.size(), "getNumSegments");
  check(mem.isEmpty() == segs.empty(), "isEmpty");
  check(mem.total() == m.total(), "total", mem.total(), m.total());
  auto it = segs.begin();
  for (vantrel::memory::SegmentKey key : keys) {
    check(mem.getAddr(key) == mem.base() + key.value, "getAddr", mem.getAddr(key), key.value);
    check(mem.getAddr(key) == it->first, "segment start", mem.getAddr(key), it->first);
    check(mem.getLen(key) == it->second - it->first + 1, "segment length", mem.getLen(key), it->first);
    expectSame(mem.get(key), std::optional(m.segmentBytes(it->first)), "segment bytes", it->first);
    ++it;
  }
}

/// The held bytes alone against the model, however they are split into segments.
inline void compareBytes(const vantrel::memory::SegmentedMemory &mem, const ImageModel &m) {
  std::map<std::int64_t, std::uint8_t> held;
  for (vantrel::memory::SegmentKey key : mem.iterator()) {
    const auto bytes = mem.get(key);
    check(bytes.has_value() && !bytes->empty(), "segment without bytes");
    const std::int64_t start = mem.getAddr(key);
    for (std::size_t i = 0; i < bytes->size(); ++i)
      check(held.emplace(start + static_cast<std::int64_t>(i), (*bytes)[i]).second, "overlapping segments");
  }
  check(held == m.bytes(), "held bytes");
}

} // namespace fuzzing
