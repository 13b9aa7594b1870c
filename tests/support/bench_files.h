// What the benchmarks share: scratch files, the limit-sized models and a
// loader that reads a file the way the open dispatcher does.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/format.h"
#include "model/document.h"
#include "settings/settings.h"

namespace vexal::testing {

// A path for a file written during the run, in memory (/dev/shm) when the
// system offers it so that export times measure our formatting and the
// commit rather than the disk's flush. The file (and an OBJ's ".mtl"
// sibling) is removed when the program ends.
std::string BenchScratchPath(const std::string& name);

const Settings& DefaultSettings();

// The size of a file in bytes; 0 when it cannot be examined.
int64_t FileSize(const std::string& path);

// Writes document with save to BenchScratchPath(name) under the default
// settings and returns the path; empty when the writer failed.
std::string WrittenFile(const std::string& name, WriterFunction save, Document& document);

// The 99 x 101 quad torus (9,999 quads and points, 19,998 lines) and the
// 66 x 101 triangle torus (13,332 triangles, 6,666 points), with normals.
std::unique_ptr<Document> QuadLimitDocument();
std::unique_ptr<Document> TriangleLimitDocument();

// Reads files as the open dispatcher does: the whole file, then the reader
// through its guard into one scratch kept between reads, swapped into the
// document on success.
class FileLoader {
 public:
  int load(Document& document, const std::string& path, ReaderFunction reader,
           FormatContext& context);

 private:
  std::unique_ptr<ReadTarget> scratch_ = std::make_unique<ReadTarget>();
  std::vector<uint8_t> bytes_;
};

}  // namespace vexal::testing
