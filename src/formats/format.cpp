#include "formats/format.h"

#include <exception>
#include <memory>
#include <utility>

#include "io/file_bytes.h"
#include "model/document.h"
#include "io/message_catalog.h"

namespace vexal {

int RunReader(ReaderFunction reader, std::span<const uint8_t> bytes, const std::string& name,
              const SCENE& scene, ReadTarget& target, FormatContext& context) {
  if (reader == nullptr) return context.fail(Translate("format not available"));
  // Whatever the reader throws (only memory exhaustion, as readers check
  // their sizes) must not reach the caller's event loop.
  context.reason.clear();
  try {
    ClearModel(target.model);
    target.scene = scene;
    const int result = reader(bytes, name, target, context);
    if (result != 1 && context.reason.empty()) context.reason = Translate("refused without a reason");
    return result == 1 ? 1 : 0;
  } catch (const std::exception& error) {
    return context.fail(FormatMessage("internal error: %s", error.what()));
  } catch (...) {
    return context.fail(Translate("internal error"));
  }
}

int LoadBytesInto(Model& model, std::span<const uint8_t> bytes, const std::string& name,
                  ReaderFunction reader, FormatContext& context) {
  std::unique_ptr<ReadTarget> scratch;
  try {
    scratch = std::make_unique<ReadTarget>();
  } catch (const std::exception&) {
    return context.fail(Translate("out of memory"));
  }
  if (RunReader(reader, bytes, name, SCENE{}, *scratch, context) != 1) return 0;
  std::swap(model, scratch->model);
  return 1;
}

int LoadModelBytes(Document& document, std::span<const uint8_t> bytes, const std::string& name,
                   ReaderFunction reader, FormatContext& context, ReadTarget* scratch) {
  std::unique_ptr<ReadTarget> own;
  if (scratch == nullptr) {
    try {
      own = std::make_unique<ReadTarget>();
    } catch (const std::exception&) {
      return context.fail(Translate("out of memory"));
    }
    scratch = own.get();
  }
  if (RunReader(reader, bytes, name, document.scene, *scratch, context) != 1) return 0;
  std::swap(document.model, scratch->model);
  std::swap(document.scene, scratch->scene);
  return 1;
}

int LoadModelFile(Document& document, const std::string& path, ReaderFunction reader,
                  FormatContext& context) {
  std::vector<uint8_t> bytes;
  std::string why;
  if (!ReadFileBytes(path, bytes, &why)) return context.fail(why);
  return LoadModelBytes(document, bytes, path, reader, context);
}

}  // namespace vexal
