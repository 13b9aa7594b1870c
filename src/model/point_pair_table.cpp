#include "model/point_pair_table.h"

#include <algorithm>

namespace vexal {

void PointPairTable::reset(size_t expectedPairs) {
  size_t capacity = 64;
  while (capacity < expectedPairs * 2) capacity <<= 1;
  keys_.assign(capacity, kEmpty);
  values_.assign(capacity, 0);
  mask_ = capacity - 1;
  used_ = 0;
}

void PointPairTable::grow() {
  std::vector<uint64_t> oldKeys = std::move(keys_);
  std::vector<int32_t> oldValues = std::move(values_);
  const size_t capacity = oldKeys.size() * 2;
  keys_.assign(capacity, kEmpty);
  values_.assign(capacity, 0);
  mask_ = capacity - 1;
  for (size_t i = 0; i < oldKeys.size(); ++i) {
    if (oldKeys[i] == kEmpty) continue;
    size_t slot = hash(oldKeys[i]) & mask_;
    while (keys_[slot] != kEmpty) slot = (slot + 1) & mask_;
    keys_[slot] = oldKeys[i];
    values_[slot] = oldValues[i];
  }
}

void PointPairTable::store(int32_t a, int32_t b, int32_t value) {
  if (keys_.empty()) reset(64);
  if ((used_ + 1) * 2 > keys_.size()) grow();
  const uint64_t k = key(a, b);
  size_t slot = hash(k) & mask_;
  while (keys_[slot] != kEmpty) {
    if (keys_[slot] == k) {
      values_[slot] = value;
      return;
    }
    slot = (slot + 1) & mask_;
  }
  keys_[slot] = k;
  values_[slot] = value;
  ++used_;
}

int32_t PointPairTable::find(int32_t a, int32_t b) const {
  if (keys_.empty()) return 0;
  const uint64_t k = key(a, b);
  size_t slot = hash(k) & mask_;
  while (keys_[slot] != kEmpty) {
    if (keys_[slot] == k) return values_[slot];
    slot = (slot + 1) & mask_;
  }
  return 0;
}

}  // namespace vexal
