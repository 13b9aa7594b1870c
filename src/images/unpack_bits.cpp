#include "images/image_codec_util.h"

#include <cstring>

namespace vexal::image_detail {

bool UnpackBits(ByteReader& in, uint8_t* out, size_t size) {
  size_t at = 0;
  while (at < size) {
    const int8_t head = in.i8();
    if (!in.ok()) return false;
    if (head >= 0) {
      const size_t count = static_cast<size_t>(head) + 1;
      if (count > size - at || !in.bytes(out + at, count)) return false;
      at += count;
    } else if (head != -128) {
      const size_t count = static_cast<size_t>(1 - head);
      const uint8_t value = in.u8();
      if (!in.ok() || count > size - at) return false;
      std::memset(out + at, value, count);
      at += count;
    }
  }
  return true;
}

}  // namespace vexal::image_detail
