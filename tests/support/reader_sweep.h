// The damaged-file sweep every model reader goes through: each prefix of a
// good file and each one-byte corruption of it, read through the reader's
// guard from a buffer of exactly its size (so the sanitizer sees any read
// past the end). Header-only: it reports through GoogleTest, which the
// benchmarks that share tests/support do not link.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "formats/format.h"
#include "model/validate.h"
#include "support/read_into.h"

namespace vexal::testing {

struct ReaderSweep {
  ReaderFunction reader = nullptr;
  // Settings and switches of every read (the reason and warnings are reset
  // before each).
  FormatContext context;
  // Binary formats whose header fixes the size refuse every prefix; text
  // formats may accept one, which must then be a valid model.
  bool prefixesRefused = false;
  // Whether an accepted model's surfaces must also agree with the line
  // table (as readers that rebuild lines promise).
  bool checkLineReferences = true;
  // Corruptions: from this byte on, each byte is replaced by each of
  // replacements, or, with no replacements, XOR-ed with flip.
  size_t corruptFrom = 0;
  std::vector<char> replacements;
  uint8_t flip = 0xA5;
};

namespace sweep_detail {

// Reads bytes and checks the outcome: a refusal gives a reason, an accepted
// file a valid model. Returns the reader's result.
inline int ReadAndCheck(const ReaderSweep& sweep, std::string_view bytes, Model& model,
                        const std::string& where) {
  FormatContext context;
  context.settings = sweep.context.settings;
  context.readReferencedFiles = sweep.context.readReferencedFiles;
  const int result = ReadInto(model, sweep.reader, bytes, context, "sweep");
  if (result == 1) {
    std::string why;
    EXPECT_TRUE(ValidateModel(model, &why, sweep.checkLineReferences)) << where << ": " << why;
  } else {
    EXPECT_FALSE(context.reason.empty()) << where << ": refused without a reason";
  }
  return result;
}

}  // namespace sweep_detail

// Runs the sweep over file; failures name the prefix length or the byte
// offset and value.
inline void RunReaderSweep(const ReaderSweep& sweep, std::string_view file) {
  const auto model = std::make_unique<Model>();
  for (size_t length = 0; length < file.size(); ++length) {
    const std::string where = "prefix " + std::to_string(length);
    const int result = sweep_detail::ReadAndCheck(sweep, file.substr(0, length), *model, where);
    if (sweep.prefixesRefused) {
      EXPECT_EQ(result, 0) << where;
    }
  }
  std::string corrupt(file);
  for (size_t at = sweep.corruptFrom; at < file.size(); ++at) {
    if (sweep.replacements.empty()) {
      corrupt[at] = static_cast<char>(file[at] ^ sweep.flip);
      sweep_detail::ReadAndCheck(sweep, corrupt, *model, "flip at " + std::to_string(at));
    } else {
      for (char c : sweep.replacements) {
        corrupt[at] = c;
        sweep_detail::ReadAndCheck(sweep, corrupt, *model,
                     "byte " + std::to_string(at) + " = " + std::to_string(static_cast<int>(c)));
      }
    }
    corrupt[at] = file[at];
  }
}

}  // namespace vexal::testing
