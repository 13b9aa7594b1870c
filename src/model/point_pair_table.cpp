#include "model/point_pair_table.h"

#include <algorithm>

namespace vexal {

void PointPairTable::reset(size_t expectedPairs) {
  size_t capacity = 64;
  while (capacity < expectedPairs * 2) capacity <<= 1;
  slots_.assign(capacity, Slot{});
  mask_ = capacity - 1;
  used_ = 0;
}

void PointPairTable::grow() {
  std::vector<Slot> old = std::move(slots_);
  const size_t capacity = old.size() * 2;
  slots_.assign(capacity, Slot{});
  mask_ = capacity - 1;
  for (const Slot& entry : old) {
    if (entry.key == kEmpty) continue;
    size_t slot = hash(entry.key) & mask_;
    while (slots_[slot].key != kEmpty) slot = (slot + 1) & mask_;
    slots_[slot] = entry;
  }
}

void PointPairTable::store(int32_t a, int32_t b, int32_t value) {
  if (slots_.empty()) reset(64);
  if ((used_ + 1) * 2 > slots_.size()) grow();
  const uint64_t k = key(a, b);
  size_t slot = hash(k) & mask_;
  while (slots_[slot].key != kEmpty) {
    if (slots_[slot].key == k) {
      slots_[slot].value = value;
      return;
    }
    slot = (slot + 1) & mask_;
  }
  slots_[slot] = Slot{k, value};
  ++used_;
}

int32_t PointPairTable::find(int32_t a, int32_t b) const {
  if (slots_.empty()) return 0;
  const uint64_t k = key(a, b);
  size_t slot = hash(k) & mask_;
  while (slots_[slot].key != kEmpty) {
    if (slots_[slot].key == k) return slots_[slot].value;
    slot = (slot + 1) & mask_;
  }
  return 0;
}

}  // namespace vexal
