// Feeds arbitrary bytes to the native document reader: it must never read
// out of bounds or allocate without bound, whatever it accepts must be a
// valid model (its surfaces' edges may lack lines, as saved), and a refusal
// must give a reason.
#include "formats/native_format.h"
#include "model_reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzModelReader(data, size, "input.vxl", vexal::ReadNativeBytes, false);
}
