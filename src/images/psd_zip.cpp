#include "images/psd_zip.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

namespace vexal::image_detail {
namespace {

// The best deflate can do is one 258-byte match per 2 bits.
constexpr size_t kMaxDeflateRatio = 1032;

void UndoPrediction(RowPrediction prediction, uint8_t* row, size_t rowBytes) {
  if (prediction == RowPrediction::kDelta8) {
    for (size_t i = 1; i < rowBytes; ++i) row[i] = static_cast<uint8_t>(row[i] + row[i - 1]);
  } else if (prediction == RowPrediction::kDelta16) {
    unsigned previous = (unsigned{row[0]} << 8) | row[1];
    for (size_t i = 2; i + 1 < rowBytes; i += 2) {
      const unsigned value = (((unsigned{row[i]} << 8) | row[i + 1]) + previous) & 0xFFFF;
      row[i] = static_cast<uint8_t>(value >> 8);
      row[i + 1] = static_cast<uint8_t>(value);
      previous = value;
    }
  }
}

// Owns an inflate stream over one input span, fed in pieces zlib's 32-bit
// counters can take.
class Inflater {
 public:
  explicit Inflater(std::span<const uint8_t> input) : input_(input) {
    ready_ = inflateInit(&stream_) == Z_OK;
  }
  ~Inflater() {
    if (ready_) inflateEnd(&stream_);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  bool ready() const { return ready_; }

  // One inflate call into out[0, size). Returns zlib's status; *produced is
  // the number of bytes written.
  int step(uint8_t* out, size_t size, size_t* produced) {
    if (stream_.avail_in == 0 && fed_ < input_.size()) {
      const size_t piece = std::min<size_t>(input_.size() - fed_, UINT_MAX);
      // zlib never writes through next_in; its type just lacks the const.
      stream_.next_in = const_cast<Bytef*>(input_.data() + fed_);
      stream_.avail_in = static_cast<uInt>(piece);
      fed_ += piece;
    }
    const uInt room = static_cast<uInt>(std::min<size_t>(size, UINT_MAX));
    stream_.next_out = out;
    stream_.avail_out = room;
    const int status = inflate(&stream_, Z_NO_FLUSH);
    *produced = room - stream_.avail_out;
    return status;
  }

 private:
  std::span<const uint8_t> input_;
  size_t fed_ = 0;
  z_stream stream_{};
  bool ready_ = false;
};

}  // namespace

bool ZipStreamCanFill(size_t compressedBytes, size_t rows, size_t rowBytes) {
  if (rows == 0 || rowBytes == 0 || rows > SIZE_MAX / rowBytes) return false;
  return compressedBytes >= rows * rowBytes / kMaxDeflateRatio;
}

bool InflateRows(std::span<const uint8_t> compressed, size_t rows, size_t rowBytes, RowPrediction prediction,
                 const std::function<void(size_t, const uint8_t*)>& take) {
  if (!ZipStreamCanFill(compressed.size(), rows, rowBytes)) return false;
  if (prediction == RowPrediction::kDelta16 && rowBytes % 2 != 0) return false;
  Inflater inflater(compressed);
  if (!inflater.ready()) return false;
  std::vector<uint8_t> row(rowBytes);
  bool ended = false;
  for (size_t r = 0; r < rows; ++r) {
    size_t filled = 0;
    while (filled < rowBytes) {
      if (ended) return false;  // the stream ended before the last row
      size_t produced = 0;
      const int status = inflater.step(row.data() + filled, rowBytes - filled, &produced);
      filled += produced;
      // Z_BUF_ERROR here means the input ran out: a truncated stream.
      if (status == Z_STREAM_END) {
        ended = true;
      } else if (status != Z_OK) {
        return false;
      }
    }
    UndoPrediction(prediction, row.data(), rowBytes);
    take(r, row.data());
  }
  // Every row is out. Reading on to the end of the stream verifies its
  // checksum; one byte more than the rows hold means a longer stream,
  // which is cut here rather than inflated further.
  while (!ended) {
    uint8_t spare = 0;
    size_t produced = 0;
    const int status = inflater.step(&spare, 1, &produced);
    if (produced > 0) return true;
    if (status == Z_STREAM_END) {
      ended = true;
    } else if (status != Z_OK) {
      return false;
    }
  }
  return true;
}

}  // namespace vexal::image_detail
