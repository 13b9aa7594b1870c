// A map from an ordered pair of point indices to a signed line index, with
// the semantics of a dense (points + 2)^2 table (lookups of absent pairs give
// 0, a later store overwrites an earlier one) in memory linear in the number
// of pairs stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vexal {

class PointPairTable {
 public:
  // Prepares for about expectedPairs stores, forgetting all earlier ones.
  void reset(size_t expectedPairs);
  void store(int32_t a, int32_t b, int32_t value);
  int32_t find(int32_t a, int32_t b) const;

 private:
  static uint64_t key(int32_t a, int32_t b) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(a)) << 32) | static_cast<uint32_t>(b);
  }
  static size_t hash(uint64_t k) {
    k ^= k >> 33;
    k *= 0xff51afd7ed558ccdULL;
    k ^= k >> 33;
    return static_cast<size_t>(k);
  }
  void grow();

  // An empty slot holds kEmpty; (uint32 -1, uint32 -1) is never a pair the
  // model can hold. Key and value share a slot so that a probe touches one
  // cache line, not two.
  static constexpr uint64_t kEmpty = ~uint64_t{0};
  struct Slot {
    uint64_t key = kEmpty;
    int32_t value = 0;
  };
  std::vector<Slot> slots_;
  size_t mask_ = 0;
  size_t used_ = 0;
};

}  // namespace vexal
