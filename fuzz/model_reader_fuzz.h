// A model reader under the fuzzer, from memory through the guard every
// caller uses: whatever it accepts must be a valid model, and a refusal must
// say why. Nothing outside the input is read (no material libraries).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

#include "formats/format.h"
#include "model/validate.h"
#include "settings/settings.h"

// linesForEveryEdge: every surface edge must be on a line. The native
// document stores its line table as written, so a surface whose edges have
// no lines loads as it was saved; the other readers build their lines.
inline int FuzzModelReader(const uint8_t* data, size_t size, const char* name,
                           vexal::ReaderFunction reader, bool linesForEveryEdge = true) {
  static const auto target = std::make_unique<vexal::ReadTarget>();
  static const vexal::Settings settings;
  static const vexal::SCENE scene;
  vexal::FormatContext context;
  context.settings = &settings;
  context.readReferencedFiles = false;
  const std::span<const uint8_t> bytes(data, size);
  if (vexal::RunReader(reader, bytes, name, scene, *target, context) == 1) {
    std::string why;
    if (!vexal::ValidateModel(target->model, &why, linesForEveryEdge)) {
      std::fprintf(stderr, "accepted an invalid model: %s\n", why.c_str());
      __builtin_trap();
    }
  } else if (context.reason.empty()) {
    std::fprintf(stderr, "refused without a reason\n");
    __builtin_trap();
  }
  return 0;
}
