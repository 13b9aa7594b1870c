// JPEG through libjpeg (interface version 62). RGB output gives 3 channels,
// greyscale 1 channel with a grey ramp palette; CMYK and other output
// spaces are refused.
#include <cstdio>
// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>
#include <jerror.h>

#include <csetjmp>
#include <vector>

#include "images/image_codec_util.h"
#include "images/loaders.h"

namespace vexal {
namespace {

struct JpegError {
  jpeg_error_mgr manager;
  jmp_buf jump;
  bool endedEarly;
};

void OnError(j_common_ptr info) {
  auto* error = reinterpret_cast<JpegError*>(info->err);
  longjmp(error->jump, 1);
}
void OnMessage(j_common_ptr) {}

// Many real files carry harmless corrupt-data warnings (stray bytes before
// a marker), so warnings are survived, except the end of the data coming
// before the last scan: libjpeg would show the rest as grey, and a cut
// file should be refused like in every other loader.
void OnEmit(j_common_ptr info, int level) {
  auto* error = reinterpret_cast<JpegError*>(info->err);
  if (level < 0 && error->manager.msg_code == JWRN_JPEG_EOF) error->endedEarly = true;
}

struct JpegLayout {
  JDIMENSION width = 0, height = 0;
  int components = 0;
  bool grey = false;
};

// The libjpeg calls that can longjmp own no objects with destructors.
bool ReadHeader(jpeg_decompress_struct& info, JpegError& error, JpegLayout& layout) {
  if (setjmp(error.jump)) return false;
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
  // A few hundred bytes of entropy-coded data can describe any size: the
  // pixel budget, not the file size, bounds the work.
  if (info.image_width == 0 || info.image_height == 0 || info.image_width > kMaxImageSide ||
      info.image_height > kMaxImageSide ||
      uint64_t{info.image_width} * info.image_height > kMaxPicturePixels) {
    return false;
  }
  if (info.jpeg_color_space == JCS_GRAYSCALE) {
    info.out_color_space = JCS_GRAYSCALE;
  } else if (info.jpeg_color_space == JCS_YCbCr || info.jpeg_color_space == JCS_RGB) {
    info.out_color_space = JCS_RGB;
  } else {
    return false;
  }
  jpeg_start_decompress(&info);
  layout.width = info.output_width;
  layout.height = info.output_height;
  layout.components = info.output_components;
  layout.grey = info.out_color_space == JCS_GRAYSCALE;
  return (layout.grey && layout.components == 1) || (!layout.grey && layout.components == 3);
}

bool ReadRows(jpeg_decompress_struct& info, JpegError& error, NImage& image) {
  if (setjmp(error.jump)) return false;
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.row(static_cast<int32_t>(info.output_scanline));
    if (jpeg_read_scanlines(&info, &row, 1) != 1) return false;
  }
  if (error.endedEarly) return false;
  jpeg_finish_decompress(&info);
  return !error.endedEarly;
}

}  // namespace

bool LoadJpegImage(ImageBytes file, NImage& image) {
  image.Clear();
  // Start-of-image marker followed by another marker.
  if (file.size() < 4 || file[0] != 0xFF || file[1] != 0xD8 || file[2] != 0xFF) return false;
  jpeg_decompress_struct info{};
  JpegError error{};
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = OnError;
  error.manager.output_message = OnMessage;
  error.manager.emit_message = OnEmit;
  jpeg_create_decompress(&info);
  // Progressive files buffer whole coefficient planes; 16384^2 stays far
  // below this, and hostile headers cannot ask for more.
  info.mem->max_memory_to_use = 1024L * 1024 * 1024;
  jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
  JpegLayout layout;
  bool ok = ReadHeader(info, error, layout);
  if (ok) ok = image.Allocate(static_cast<int32_t>(layout.width), static_cast<int32_t>(layout.height), layout.components);
  if (ok) ok = ReadRows(info, error, image);
  if (ok && layout.grey) ok = image_detail::SetGreyRamp(image);
  jpeg_destroy_decompress(&info);
  if (!ok) {
    image.Clear();
    return false;
  }
  return true;
}

}  // namespace vexal
