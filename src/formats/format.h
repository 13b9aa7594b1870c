// What every model reader and writer shares: the calling convention of the
// open and save dispatchers.
//
// Reading. A reader is given the whole file in memory (bytes, plus the name
// it is known by: its path when it came from disk, used in messages and to
// find files it names beside it, such as an OBJ material library) and builds
// into a ReadTarget that the caller owns:
//
//   int ReadXxxBytes(std::span<const uint8_t> bytes, const std::string& name,
//                    ReadTarget& target, FormatContext& context);
//
// On entry target.model is empty (ClearModel) and target.scene holds the
// document's view; a reader that stores no view leaves the scene alone. It
// returns 1 on success, or 0 with a reason a person can read in
// context.reason (with a line number or byte offset where that helps). A
// reader never throws on bad data and needs no clean-up on failure: the
// target is scratch, swapped into the document only on success. RunReader is
// the one guard every caller goes through; it also turns an exception that
// escapes anyway (memory exhaustion) into a failure with a reason.
//
// Writing. A writer writes the document's model to a path and returns 1, or
// 0 with context.reason.
//
// Neither shows a message.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/refusal.h"
#include "model/model.h"
#include "model/scene.h"

namespace vexal {

struct Document;
struct Settings;

struct FormatContext {
  // Scales and options of the settings file; never null when a reader or
  // writer is called through the dispatchers.
  const Settings* settings = nullptr;
  // When false a reader reads only the bytes it is given and never opens a
  // file the model names (an OBJ's material library); fuzzing and tests of
  // a single file use it.
  bool readReferencedFiles = true;
  // Why the last call returned 0.
  std::string reason;
  // Oddities a reader survived (an unknown chunk, a degenerate face dropped).
  std::vector<std::string> warnings;

  int fail(std::string why) {
    reason = std::move(why);
    return 0;
  }
  // The refusal a caller passes on after a 0.
  Refusal refusal() const { return {reason}; }
};

// The scratch a reader builds into.
struct ReadTarget {
  Model model;
  SCENE scene;
};

using ReaderFunction = int (*)(std::span<const uint8_t> bytes, const std::string& name,
                               ReadTarget& target, FormatContext& context);
using WriterFunction = int (*)(Document& document, const std::string& path, FormatContext& context);

// The guard around every reader: clears target.model, copies scene into
// target.scene, runs reader and returns its result; anything thrown becomes
// a failure ("internal error: ..."). A null reader fails with "format not
// available".
int RunReader(ReaderFunction reader, std::span<const uint8_t> bytes, const std::string& name,
              const SCENE& scene, ReadTarget& target, FormatContext& context);

// Reads bytes with reader into scratch (a fresh one when null) and on
// success swaps the result into the document's model and scene; on failure
// the document is left exactly as it was. Returns the reader's result.
int LoadModelBytes(Document& document, std::span<const uint8_t> bytes, const std::string& name,
                   ReaderFunction reader, FormatContext& context, ReadTarget* scratch = nullptr);

// Reads bytes with reader into a fresh scratch and on success swaps its
// model into model; on failure model is left exactly as it was.
int LoadBytesInto(Model& model, std::span<const uint8_t> bytes, const std::string& name,
                  ReaderFunction reader, FormatContext& context);

// The same for a file on disk; a file that cannot be read fails with the
// reason of ReadFileBytes.
int LoadModelFile(Document& document, const std::string& path, ReaderFunction reader,
                  FormatContext& context);

// The bytes of a text held in memory.
inline std::span<const uint8_t> AsBytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}
// The text of bytes read from a file.
inline std::string_view AsText(std::span<const uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace vexal
