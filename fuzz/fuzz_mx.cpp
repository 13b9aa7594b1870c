// Feeds arbitrary bytes to the MX reader: it must never read out of bounds
// or allocate without bound, whatever it accepts must be a valid model, and
// a refusal must give a reason.
#include "formats/mx_format.h"
#include "model_reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzModelReader(data, size, "input.mx", vexal::ReadMxBytes);
}
