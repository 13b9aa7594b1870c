// The file side of glTF reading and writing: a tinygltf loader that reads
// regular files only and never writes or decodes images, and the path and
// URI helpers both directions share.
#pragma once

#include <tiny_gltf.h>

#include <string>
#include <string_view>

namespace vexal::gltf {

bool IsRegularFile(const std::string& path);

// A loader whose external files (buffers named by URI) are regular files
// only, which refuses every write and leaves images undecoded: images are
// referred to by name, their pixels are never needed here.
tinygltf::TinyGLTF MakeLoader();

// The folder of path with its trailing "/", or "" when path names none.
std::string FolderOf(const std::string& path);
// The last component of path, after any "/", "\\" or ":".
std::string FileNameOf(std::string_view path);

// A URI with its %XX escapes decoded (a malformed escape stays as it is).
std::string PercentDecoded(std::string_view uri);
// A URI for a plain file name: characters other than unreserved ones and a
// few safe marks are percent-encoded.
std::string PercentEncoded(std::string_view name);

}  // namespace vexal::gltf
