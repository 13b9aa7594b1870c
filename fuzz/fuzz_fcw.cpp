// Feeds arbitrary bytes to the FCW reader: it must never read out of bounds,
// and whatever it accepts must be a valid model.
#include "formats/fcw_format.h"
#include "path_reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzPathReader(data, size, "fcw", vexal::LoadFcwFile, false);
}
