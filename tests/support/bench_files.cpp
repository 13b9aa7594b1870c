#include "support/bench_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include "io/file_bytes.h"
#include "model/maintenance.h"
#include "support/test_models.h"

namespace vexal::testing {
namespace {

struct ScratchFiles {
  std::vector<std::string> paths;
  ~ScratchFiles() {
    for (const std::string& path : paths) ::unlink(path.c_str());
  }
};

}  // namespace

std::string BenchScratchPath(const std::string& name) {
  static ScratchFiles files;
  const char* folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::string path =
      std::string(folder) + "/vexal_bench_" + std::to_string(::getpid()) + "_" + name;
  files.paths.push_back(path);
  if (path.size() > 4 && path.compare(path.size() - 4, 4, ".obj") == 0) {
    files.paths.push_back(path.substr(0, path.size() - 4) + ".mtl");
  }
  return path;
}

const Settings& DefaultSettings() {
  static const Settings settings;
  return settings;
}

int64_t FileSize(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_size) : 0;
}

std::string WrittenFile(const std::string& name, WriterFunction save, Document& document) {
  const std::string path = BenchScratchPath(name);
  FormatContext context;
  context.settings = &DefaultSettings();
  if (!save(document, path, context)) return {};
  return path;
}

std::unique_ptr<Document> QuadLimitDocument() {
  auto document = std::make_unique<Document>();
  QuadTorus(document->model, 99, 101);
  RefreshNormals(document->model, kNormalsFace | kNormalsAngleSmoothed, true);
  return document;
}

std::unique_ptr<Document> TriangleLimitDocument() {
  auto document = std::make_unique<Document>();
  TriangleTorus(document->model, 66, 101);
  RefreshNormals(document->model, kNormalsFace | kNormalsAngleSmoothed, true);
  return document;
}

int FileLoader::load(Document& document, const std::string& path, ReaderFunction reader,
                     FormatContext& context) {
  std::string why;
  if (!ReadFileBytes(path, bytes_, &why)) return context.fail(why);
  return LoadModelBytes(document, bytes_, path, reader, context, scratch_.get());
}

}  // namespace vexal::testing
