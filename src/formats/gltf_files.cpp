#include "formats/gltf_files.h"
#include "io/message_catalog.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "io/file_bytes.h"

namespace vexal::gltf {

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

namespace {

bool FileExists(const std::string& path, void*) {
  return IsRegularFile(path);
}

std::string ExpandFilePath(const std::string& path, void*) {
  return path;
}

// Only regular files: a URI naming a device or a folder is not data.
bool ReadWholeFile(std::vector<unsigned char>* out, std::string* error, const std::string& path,
                   void*) {
  std::string why = Translate("not a regular file");
  std::vector<uint8_t> bytes;
  if (!IsRegularFile(path) || !ReadFileBytes(path, bytes, &why)) {
    if (error) *error += path + ": " + why + "\n";
    return false;
  }
  *out = std::move(bytes);
  return true;
}

bool RefuseWrite(std::string* error, const std::string&, const std::vector<unsigned char>&, void*) {
  if (error) *error += "unexpected write\n";
  return false;
}

// Images are referred to by name; their pixels are never needed here.
bool KeepImageUndecoded(tinygltf::Image*, const int, std::string*, std::string*, int, int,
                        const unsigned char*, int, void*) {
  return true;
}

}  // namespace

tinygltf::TinyGLTF MakeLoader() {
  tinygltf::TinyGLTF loader;
  loader.SetFsCallbacks({&FileExists, &ExpandFilePath, &ReadWholeFile, &RefuseWrite, nullptr});
  loader.SetImageLoader(&KeepImageUndecoded, nullptr);
  loader.SetImageWriter(nullptr, nullptr);
  return loader;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileNameOf(std::string_view path) {
  const size_t slash = path.find_last_of("/\\:");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string PercentDecoded(std::string_view uri) {
  std::string out;
  for (size_t i = 0; i < uri.size(); ++i) {
    const auto hex = [](char c) {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      if (c >= 'A' && c <= 'F') return c - 'A' + 10;
      return -1;
    };
    if (uri[i] == '%' && i + 2 < uri.size() && hex(uri[i + 1]) >= 0 && hex(uri[i + 2]) >= 0) {
      out.push_back(static_cast<char>(hex(uri[i + 1]) * 16 + hex(uri[i + 2])));
      i += 2;
    } else {
      out.push_back(uri[i]);
    }
  }
  return out;
}

std::string PercentEncoded(std::string_view name) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string out;
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
        std::strchr("-._~()!$&'*+,;=@", c) != nullptr) {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kHex[u >> 4]);
      out.push_back(kHex[u & 15]);
    }
  }
  return out;
}

}  // namespace vexal::gltf
