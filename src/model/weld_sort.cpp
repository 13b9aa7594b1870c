#include "model/weld.h"

#include <deque>
#include <utility>
#include <vector>

namespace vexal {
namespace {

template <typename Key>
bool AllEqual(const std::vector<Key>& keys, int lo, int hi) {
  for (int k = lo + 1; k <= hi; ++k) {
    if (!(keys[k] == keys[lo])) return false;
  }
  return true;
}

// The order the partitions below leave a range of equal keys in, without
// their quadratic walk. With every key equal, a partition swaps the middle
// entry to the front, keeps it there and rotates the rest left by one, then
// goes on with the rest; a deque does each of those steps in constant time.
void EqualRangeOrder(std::vector<int32_t>& items, int lo, int hi, std::deque<int32_t>& run) {
  run.assign(items.begin() + lo, items.begin() + hi + 1);
  for (int out = lo; out <= hi; ++out) {
    const size_t middle = (run.size() - 1) / 2;
    std::swap(run[0], run[middle]);
    items[out] = run.front();
    run.pop_front();
    if (run.size() > 1) {
      run.push_back(run.front());
      run.pop_front();
    }
  }
}

template <typename Key>
void QuicksortRange(std::vector<Key>& keys, std::vector<int32_t>& items, int n) {
  // The two halves of a partition never touch, so the order they are sorted
  // in does not matter; a stack of ranges keeps deep (degenerate) splits off
  // the call stack.
  std::vector<std::pair<int, int>> ranges;
  ranges.emplace_back(1, n);
  auto exchange = [&](int a, int b) {
    std::swap(keys[a], keys[b]);
    std::swap(items[a], items[b]);
  };
  std::deque<int32_t> run;
  while (!ranges.empty()) {
    const auto [lo, hi] = ranges.back();
    ranges.pop_back();
    if (lo >= hi) continue;
    // Short runs cost little either way.
    if (hi - lo >= 32 && AllEqual(keys, lo, hi)) {
      EqualRangeOrder(items, lo, hi, run);
      continue;
    }
    exchange((lo + hi) / 2, lo);
    int i = lo;
    int j = hi;
    while (i < j) {
      if (keys[i] > keys[i + 1]) {
        exchange(i, i + 1);
        ++i;
      } else {
        exchange(i + 1, j);
        --j;
      }
    }
    ranges.emplace_back(lo, i - 1);
    ranges.emplace_back(i + 1, hi);
  }
}

}  // namespace

void WeldQuicksort(std::vector<float>& keys, std::vector<int32_t>& items, int n) {
  QuicksortRange(keys, items, n);
}
void WeldQuicksort(std::vector<int32_t>& keys, std::vector<int32_t>& items, int n) {
  QuicksortRange(keys, items, n);
}

}  // namespace vexal
