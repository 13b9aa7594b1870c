// The run/literal packing used by the layers of "EDGE" files.
//
// A block holds a list of runs (position, length, value) and a list of
// literal bytes; a run is inserted before the literal whose index equals its
// position, runs at the literal count come after the last literal. The
// output has a size known to the caller: anything beyond it is dropped,
// anything missing stays 0.
#include <algorithm>
#include <cstring>
#include <vector>

#include "images/loaders.h"
#include "io/byte_reader.h"

namespace vexal {

namespace {

struct EdgeRun {
  int32_t position;
  int32_t length;
  uint8_t value;
};

constexpr size_t kRunRecordBytes = 9;

}  // namespace

bool CEdgeCompress::Decode(ByteReader& reader, uint8_t* out, size_t outSize) {
  if (outSize > 0) std::memset(out, 0, outSize);

  const int32_t runCount = reader.i32le();
  if (!reader.ok() || runCount < 0 ||
      static_cast<size_t>(runCount) > reader.remaining() / kRunRecordBytes) {
    reader.fail();
    return false;
  }
  std::vector<EdgeRun> runs(static_cast<size_t>(runCount));
  for (EdgeRun& run : runs) {
    run.position = reader.i32le();
    run.length = reader.i32le();
    run.value = reader.u8();
    // A negative length has no meaning; it can only come from damage.
    if (run.length < 0) {
      reader.fail();
      return false;
    }
  }
  const int32_t literalCount = reader.i32le();
  if (!reader.ok() || literalCount < 0 || static_cast<size_t>(literalCount) > reader.remaining()) {
    reader.fail();
    return false;
  }
  const std::span<const uint8_t> literals = reader.span(static_cast<size_t>(literalCount));
  if (!reader.ok()) return false;

  // The output position is 64-bit: run lengths of up to 2^31 each may add up
  // far beyond outSize, and only the part inside the output is written.
  uint64_t position = 0;
  size_t nextRun = 0;
  for (int64_t literal = 0; literal <= literalCount; ++literal) {
    while (nextRun < runs.size() && runs[nextRun].position == literal) {
      const EdgeRun& run = runs[nextRun];
      if (position < outSize) {
        const uint64_t room = outSize - position;
        const uint64_t count = std::min<uint64_t>(room, static_cast<uint64_t>(run.length));
        std::memset(out + position, run.value, static_cast<size_t>(count));
      }
      position += static_cast<uint64_t>(run.length);
      ++nextRun;
    }
    if (literal < literalCount) {
      if (position < outSize) out[position] = literals[static_cast<size_t>(literal)];
      ++position;
    }
  }
  return true;
}

}  // namespace vexal
