// The table of model readers and writers that the open and save dispatchers
// and vexal-tool use.
//
// Readers are listed in the order the dispatcher tries them when a file is
// opened without a type (open index 0, 1 or 11); each carries the open index
// of the Open dialog's type list (2 native .. 10 FCW; LWOB and LWO2 share 8;
// 11 is "All Files", after which come 12 glTF (".gltf" and ".glb") and 13
// STL; 52 is a reader that always fails). Writers are listed by the save
// index of the Save dialog's type list (1 native .. 14 FCW, 15 glTF, 16 GLB,
// 17 STL binary, 18 STL ASCII).
//
// A format whose reader or writer is not built yet has a null function in
// its slot; the lookups below still return the slot, and the dispatchers
// treat it as a reader or writer that fails with "format not available".
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "formats/format.h"

namespace vexal {

inline constexpr int kOpenTryAll = 0;
inline constexpr int kOpenSupportedFiles = 1;
inline constexpr int kOpenAllFiles = 11;
inline constexpr int kOpenNative = 2;
inline constexpr int kOpenAlwaysFails = 52;
inline constexpr int kSaveNative = 1;
inline constexpr int kFirstSaveIndex = 1;
inline constexpr int kLastSaveIndex = 18;
inline constexpr int kOpenGltf = 12;
inline constexpr int kOpenStl = 13;

struct ReaderEntry {
  int openIndex;
  const char* name;       // shown by "vexal-tool info" as "Format : <name>"
  const char* extension;  // the Open dialog's filter extension, with the dot; "" for none
  ReaderFunction load;    // null until the format is built
};

struct WriterEntry {
  int saveIndex;
  const char* name;
  const char* extension;  // with the dot
  WriterFunction save;    // null until the format is built
};

// The readers in the order they are tried.
std::span<const ReaderEntry> ReaderTable();
// The writers, ordered by save index 1..18.
std::span<const WriterEntry> WriterTable();

// The writer of a save index; null for an index outside 1..18.
const WriterEntry* FindWriter(int saveIndex);

// The save index for a file name's extension (case-insensitive). When more
// than one writer shares the extension (".dxf": 3 and 4, ".lwo": 5 and 6,
// ".stl": 17 binary and 18 ASCII),
// typeIndex picks among them when it is one of their indices, otherwise the
// first is used. typeIndex is also honoured when the extension has a single
// writer only if it names that writer. Returns 0 for an unknown extension or
// a typeIndex that names a writer of another extension.
int SaveIndexForPath(std::string_view path, int typeIndex = 0);

// The extension of a path including the dot ("" when there is none); a dot
// in a folder name does not count.
std::string_view ExtensionOf(std::string_view path);
// path with its extension replaced by newExtension (which includes the dot).
std::string ReplaceExtension(std::string_view path, std::string_view newExtension);
// The file name a Save dialog stands for: a typed name that does not end in
// typeExtension (with the dot, compared without regard to case) gets it
// added, so "plain" with the native type is "plain.vxl" and "a.v2" is
// "a.v2.vxl"; a name that ends in it is kept as typed. An empty extension or
// an empty name changes nothing.
std::string AddSaveExtension(std::string_view name, std::string_view typeExtension);

// A reader that fails on every file: the last entry of the try-all order.
int ReadNothing(std::span<const uint8_t> bytes, const std::string& name, ReadTarget& target,
                FormatContext& context);

}  // namespace vexal
