// Running a model reader on text held in memory, as the open dispatcher
// does: through the one guard, into a scratch target, swapped in only on
// success.
#pragma once

#include <string>
#include <string_view>

#include "formats/format.h"
#include "model/document.h"

namespace vexal::testing {

// Copies text into a buffer of exactly its size (so the sanitizer sees any
// read past its end) and reads it with reader. On success the model (and for
// the Document form, the scene) is replaced; on failure it is untouched.
// Returns the reader's result.
int ReadInto(Model& model, ReaderFunction reader, std::string_view text, FormatContext& context,
             const std::string& name = "input");
int ReadInto(Document& document, ReaderFunction reader, std::string_view text,
             FormatContext& context, const std::string& name = "input");

}  // namespace vexal::testing
