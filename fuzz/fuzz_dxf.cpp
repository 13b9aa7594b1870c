// Feeds arbitrary bytes to the DXF reader: it must never read out of bounds or
// allocate without bound, whatever it accepts must be a valid model, and a
// file it refuses must leave the document's model as it was.
#include "formats/dxf_format.h"
#include "path_reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzPathReader(data, size, "dxf", vexal::LoadDxfFile, true);
}
