// A model reader under the fuzzer, from memory through the guard every
// caller uses: whatever it accepts must be a valid model, and a refusal must
// say why and leave the document's model as it was. Nothing outside the
// input is read (no material libraries).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

#include "formats/format.h"
#include "model/document.h"
#include "model/validate.h"
#include "settings/settings.h"

// name: the file's name as the reader sees it; a path into a folder that
// does not exist keeps the URIs of external files from leading anywhere.
// linesForEveryEdge: every surface edge must be on a line. The native
// document stores its line table as written, so a surface whose edges have
// no lines loads as it was saved; the other readers build their lines.
inline int FuzzModelReader(const uint8_t* data, size_t size, const char* name,
                           vexal::ReaderFunction reader, bool linesForEveryEdge = true) {
  static const auto document = std::make_unique<vexal::Document>();
  static const auto scratch = std::make_unique<vexal::ReadTarget>();
  static const vexal::Settings settings;
  vexal::FormatContext context;
  context.settings = &settings;
  context.readReferencedFiles = false;
  const vexal::Model& model = document->model;
  const int points = model.pointCount;
  const int lines = model.lineCount;
  const int faces = model.faceCount;
  const std::span<const uint8_t> bytes(data, size);
  if (vexal::LoadModelBytes(*document, bytes, name, reader, context, scratch.get()) == 1) {
    std::string why;
    if (!vexal::ValidateModel(model, &why, linesForEveryEdge)) {
      std::fprintf(stderr, "accepted an invalid model: %s\n", why.c_str());
      __builtin_trap();
    }
  } else if (context.reason.empty()) {
    std::fprintf(stderr, "refused without a reason\n");
    __builtin_trap();
  } else if (model.pointCount != points || model.lineCount != lines || model.faceCount != faces) {
    std::fprintf(stderr, "a refused file changed the model\n");
    __builtin_trap();
  }
  return 0;
}
