// Photoshop's ZIP-compressed channel data (not part of the public API): one
// zlib (deflate) stream holding rows x rowBytes bytes, optionally with
// "prediction", where each sample of a row is stored as its difference from
// the sample before it (bytes at 8 bits, big-endian values at 16 bits).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace vexal::image_detail {

enum class RowPrediction { kNone, kDelta8, kDelta16 };

// True when rows x rowBytes does not overflow, is not zero, and deflate data
// of compressedBytes could inflate to that much at all (deflate expands at
// most about 1032:1). Lets a reader refuse a tiny stream claiming a huge
// channel before it allocates the channel.
bool ZipStreamCanFill(size_t compressedBytes, size_t rows, size_t rowBytes);

// Inflates compressed into rows rows of rowBytes each, undoing prediction,
// and hands each finished row to take(rowIndex, bytes) in order. Never
// writes more than rows x rowBytes: once every row is out, data left in the
// stream is ignored. When the stream ends right after the last row its
// checksum is verified. False (some rows may have been handed over) when
// ZipStreamCanFill fails, the stream ends early, is truncated, damaged or
// fails its checksum, or kDelta16 is asked for with an odd rowBytes.
bool InflateRows(std::span<const uint8_t> compressed, size_t rows, size_t rowBytes, RowPrediction prediction,
                 const std::function<void(size_t, const uint8_t*)>& take);

}  // namespace vexal::image_detail
