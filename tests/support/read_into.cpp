#include "support/read_into.h"

#include <algorithm>
#include <memory>
#include <span>
#include <utility>

namespace vexal::testing {
namespace {

// One scratch for the whole test program: a target of full capacity costs
// a few milliseconds to build, and the sweeps read thousands of files.
ReadTarget& Scratch() {
  static const auto scratch = std::make_unique<ReadTarget>();
  return *scratch;
}

int Read(ReaderFunction reader, std::string_view text, const SCENE& scene, FormatContext& context,
         const std::string& name) {
  const std::unique_ptr<uint8_t[]> exact(new uint8_t[text.size() + 1]);
  std::copy(text.begin(), text.end(), exact.get());
  return RunReader(reader, std::span<const uint8_t>(exact.get(), text.size()), name, scene,
                   Scratch(), context);
}

}  // namespace

int ReadInto(Model& model, ReaderFunction reader, std::string_view text, FormatContext& context,
             const std::string& name) {
  const SCENE scene;
  if (Read(reader, text, scene, context, name) != 1) return 0;
  std::swap(model, Scratch().model);
  return 1;
}

int ReadInto(Document& document, ReaderFunction reader, std::string_view text,
             FormatContext& context, const std::string& name) {
  if (Read(reader, text, document.scene, context, name) != 1) return 0;
  std::swap(document.model, Scratch().model);
  std::swap(document.scene, Scratch().scene);
  return 1;
}

}  // namespace vexal::testing
