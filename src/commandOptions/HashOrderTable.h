// A chained hash table keyed by text whose iteration order is the order of its buckets.
#pragma once

#include "commandOptions/CodeUnitHash.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace vantrel::commandOptions {

/// Chained hash table with a fixed, reproducible iteration order. The help text lists
/// options in this order, so it is part of the tool's visible behaviour:
/// - the bucket of a key is foldedHash(key) modulo the bucket count;
/// - the bucket count starts at 16 and doubles whenever the entry count exceeds three
///   quarters of it (entries are never removed, so it never shrinks);
/// - iteration visits buckets in ascending order and, within one bucket, entries in the
///   order they were first inserted;
/// - putting a value under an existing key replaces the value and keeps the key's place.
template <typename V> class HashOrderTable {
public:
  static constexpr std::size_t INITIAL_BUCKETS = 16;

  HashOrderTable() : buckets_(INITIAL_BUCKETS) {}

  /// Files value under key; an existing key keeps its place and gets the new value.
  void put(const std::string &key, V value) {
    if (V *existing = find(key)) {
      *existing = std::move(value);
      return;
    }
    entries_.push_back(Entry{key, std::move(value), foldedHash(key)});
    buckets_[entries_.back().hash % buckets_.size()].push_back(entries_.size() - 1);
    if (entries_.size() > buckets_.size() / 4 * 3) grow();
  }

  /// The value under key, or nullptr.
  V *find(const std::string &key) {
    const std::vector<std::size_t> &bucket = buckets_[foldedHash(key) % buckets_.size()];
    for (std::size_t index : bucket)
      if (entries_[index].key == key) return &entries_[index].value;
    return nullptr;
  }
  const V *find(const std::string &key) const { return const_cast<HashOrderTable *>(this)->find(key); }

  bool contains(const std::string &key) const { return find(key) != nullptr; }
  std::size_t size() const { return entries_.size(); }
  std::size_t bucketCount() const { return buckets_.size(); }

  /// Calls f(key, value) for every entry in iteration order.
  template <typename F> void forEach(F &&f) const {
    for (const std::vector<std::size_t> &bucket : buckets_)
      for (std::size_t index : bucket)
        f(entries_[index].key, entries_[index].value);
  }

  /// The keys in iteration order.
  std::vector<std::string> keys() const {
    std::vector<std::string> out;
    out.reserve(entries_.size());
    forEach([&out](const std::string &key, const V &) { out.push_back(key); });
    return out;
  }

  /// The values in iteration order.
  std::vector<V> values() const {
    std::vector<V> out;
    out.reserve(entries_.size());
    forEach([&out](const std::string &, const V &value) { out.push_back(value); });
    return out;
  }

private:
  struct Entry {
    std::string key;
    V value;
    std::uint32_t hash;
  };

  // Redistributes into twice as many buckets. Entries are re-filed in order of first
  // insertion, so each new bucket keeps its entries in insertion order.
  void grow() {
    std::vector<std::vector<std::size_t>> bigger(buckets_.size() * 2);
    for (std::size_t index = 0; index < entries_.size(); ++index)
      bigger[entries_[index].hash % bigger.size()].push_back(index);
    buckets_ = std::move(bigger);
  }

  std::vector<Entry> entries_;                    // in order of first insertion
  std::vector<std::vector<std::size_t>> buckets_; // indices into entries_
};

} // namespace vantrel::commandOptions
