// Feeds arbitrary bytes to the STL reader (binary and ASCII): it must never
// read out of bounds or allocate without bound, whatever it accepts must be
// a valid model, and whatever it refuses must leave the model as it was and
// say why.
#include "formats/stl_format.h"
#include "model_reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzModelReader(data, size, "/nonexistent-vexal-fuzz/input.stl", vexal::ReadStlBytes);
}
