#include "formats/gltf_format.h"

#include <sys/stat.h>
#include <tiny_gltf.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <sstream>
#include <string_view>
#include <vector>

#include "formats/format_registry.h"
#include "formats/format_support.h"
#include "formats/triangle_soup.h"
#include "io/file_bytes.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/model.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

// Palette entries a file's materials may fill; 15 is the guide material.
constexpr int kFileMaterials = 15;
// Primitives with more vertices than this merge each corner afresh.
constexpr size_t kMaxCachedVertices = size_t{1} << 20;
// Deeper node trees than this are refused rather than walked.
constexpr int kMaxNodeDepth = 256;

// ---- file access for tinygltf ----------------------------------------------

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

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

// A URI for a plain file name: characters other than unreserved ones and a
// few safe marks are percent-encoded.
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

// ---- reading ----------------------------------------------------------------

// JSON values nested deeper than this are refused before parsing: the
// parsed tree is freed recursively, and a file of nothing but "[" could
// exhaust the stack.
constexpr int kMaxJsonDepth = 512;

bool NestedTooDeep(std::string_view json) {
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxJsonDepth) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
}

// The JSON chunk of a GLB container, or nothing when the header does not
// describe one within the bytes (the loader then says what is wrong).
std::string_view GlbJson(std::span<const uint8_t> bytes) {
  if (bytes.size() < 20) return {};
  uint32_t length = 0;
  std::memcpy(&length, bytes.data() + 12, 4);
  if (length > bytes.size() - 20) return {};
  return std::string_view(reinterpret_cast<const char*>(bytes.data()) + 20, length);
}

// Column-major 4 x 4, as glTF stores node matrices.
using Matrix4 = std::array<double, 16>;

constexpr Matrix4 kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
  Matrix4 r{};
  for (int column = 0; column < 4; ++column) {
    for (int row = 0; row < 4; ++row) {
      double sum = 0;
      for (int k = 0; k < 4; ++k)
        sum += a[static_cast<size_t>(k * 4 + row)] * b[static_cast<size_t>(column * 4 + k)];
      r[static_cast<size_t>(column * 4 + row)] = sum;
    }
  }
  return r;
}

double Determinant3(const Matrix4& m) {
  return m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) +
         m[8] * (m[1] * m[6] - m[5] * m[2]);
}

bool AllFinite(const std::vector<double>& values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

// The node's local transform: its matrix, or translation x rotation x scale.
bool LocalTransform(const tinygltf::Node& node, Matrix4& out) {
  if (!AllFinite(node.matrix) || !AllFinite(node.translation) || !AllFinite(node.rotation) ||
      !AllFinite(node.scale)) {
    return false;
  }
  if (node.matrix.size() == 16) {
    std::copy(node.matrix.begin(), node.matrix.end(), out.begin());
    return true;
  }
  Matrix4 m = kIdentity;
  if (node.rotation.size() == 4) {
    const double x = node.rotation[0], y = node.rotation[1], z = node.rotation[2],
                 w = node.rotation[3];
    m = {1 - 2 * (y * y + z * z),
         2 * (x * y + z * w),
         2 * (x * z - y * w),
         0,
         2 * (x * y - z * w),
         1 - 2 * (x * x + z * z),
         2 * (y * z + x * w),
         0,
         2 * (x * z + y * w),
         2 * (y * z - x * w),
         1 - 2 * (x * x + y * y),
         0,
         0,
         0,
         0,
         1};
  }
  if (node.scale.size() == 3) {
    for (int column = 0; column < 3; ++column) {
      for (int row = 0; row < 3; ++row)
        m[static_cast<size_t>(column * 4 + row)] *= node.scale[static_cast<size_t>(column)];
    }
  }
  if (node.translation.size() == 3) {
    m[12] = node.translation[0];
    m[13] = node.translation[1];
    m[14] = node.translation[2];
  }
  out = m;
  return true;
}

struct MeshInstance {
  int mesh;
  Matrix4 transform;
};

// A checked view of one accessor's elements.
struct AccessorData {
  const uint8_t* base = nullptr;  // null: no buffer view, every element is zero
  size_t stride = 0;
  size_t count = 0;
  int componentType = 0;
  int components = 0;
  bool normalized = false;

  double component(size_t element, int k) const {
    if (base == nullptr) return 0;
    const uint8_t* p = base + element * stride;
    switch (componentType) {
      case TINYGLTF_COMPONENT_TYPE_FLOAT: {
        float v;
        std::memcpy(&v, p + 4 * k, 4);
        return v;
      }
      case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: {
        const double v = p[k];
        return normalized ? v / 255.0 : v;
      }
      case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
        uint16_t v;
        std::memcpy(&v, p + 2 * k, 2);
        return normalized ? v / 65535.0 : v;
      }
      case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: {
        uint32_t v;
        std::memcpy(&v, p + 4 * k, 4);
        return v;
      }
      default:
        return 0;
    }
  }
};

size_t ComponentSize(int componentType) {
  switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
      return 1;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
      return 2;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
    case TINYGLTF_COMPONENT_TYPE_FLOAT:
      return 4;
    default:
      return 0;
  }
}

class GltfReader {
 public:
  GltfReader(const tinygltf::Model& file, TriangleSoup& soup, FormatContext& context)
      : file_(file), soup_(soup), context_(context) {}

  bool read();
  // Palette entries for the materials met, after the soup was committed.
  void fillPalette(Model& model) const;

 private:
  bool fail(const std::string& why) {
    context_.fail(why);
    return false;
  }
  bool collectInstances(std::vector<MeshInstance>& instances);
  bool primitive(const tinygltf::Primitive& primitive, const Matrix4& transform, int mesh,
                 int index);
  bool accessor(int index, int type, std::initializer_list<int> componentTypes, const char* what,
                AccessorData& out);
  int paletteEntry(int material);

  const tinygltf::Model& file_;
  TriangleSoup& soup_;
  FormatContext& context_;
  // The point of each vertex of the current primitive, 0 until met.
  std::vector<int32_t> pointOfVertex_;
  // glTF material (-1 for none) of each palette entry in use.
  std::vector<int> materialOf_;
  bool sharedLast_ = false;
};

bool GltfReader::collectInstances(std::vector<MeshInstance>& instances) {
  const int meshes = static_cast<int>(file_.meshes.size());
  if (file_.scenes.empty()) {
    for (int m = 0; m < meshes; ++m) instances.push_back({m, kIdentity});
    return true;
  }
  int sceneIndex = file_.defaultScene;
  if (sceneIndex < 0) sceneIndex = 0;
  if (static_cast<size_t>(sceneIndex) >= file_.scenes.size()) {
    return fail(Format("default scene %d of %zu", sceneIndex, file_.scenes.size()));
  }
  std::vector<char> reached(file_.nodes.size(), 0);
  struct Pending {
    int node;
    Matrix4 parent;
    int depth;
  };
  std::vector<Pending> stack;
  for (int root : file_.scenes[static_cast<size_t>(sceneIndex)].nodes)
    stack.push_back({root, kIdentity, 0});
  while (!stack.empty()) {
    const Pending pending = stack.back();
    stack.pop_back();
    if (pending.node < 0 || static_cast<size_t>(pending.node) >= file_.nodes.size()) {
      return fail(Format("node %d of %zu", pending.node, file_.nodes.size()));
    }
    // A node has one parent at most; reaching one twice is a cycle or a
    // shared child, and either would repeat geometry without end.
    if (reached[static_cast<size_t>(pending.node)])
      return fail(Format("node %d reached twice", pending.node));
    reached[static_cast<size_t>(pending.node)] = 1;
    if (pending.depth > kMaxNodeDepth) return fail(Translate("node tree deeper than 256 levels"));
    const tinygltf::Node& node = file_.nodes[static_cast<size_t>(pending.node)];
    Matrix4 local;
    if (!LocalTransform(node, local))
      return fail(Format("node %d has a non-finite transform", pending.node));
    const Matrix4 world = Multiply(pending.parent, local);
    if (node.mesh >= 0) {
      if (node.mesh >= meshes)
        return fail(Format("node %d refers to mesh %d of %d", pending.node, node.mesh, meshes));
      instances.push_back({node.mesh, world});
    }
    for (int child : node.children) stack.push_back({child, world, pending.depth + 1});
  }
  return true;
}

bool GltfReader::accessor(int index, int type, std::initializer_list<int> componentTypes,
                          const char* what, AccessorData& out) {
  if (index < 0 || static_cast<size_t>(index) >= file_.accessors.size()) {
    return fail(Format("%s accessor %d of %zu", what, index, file_.accessors.size()));
  }
  const tinygltf::Accessor& a = file_.accessors[static_cast<size_t>(index)];
  if (a.sparse.isSparse) return fail(Format("%s accessor %d is sparse", what, index));
  if (a.type != type) return fail(Format("%s accessor %d has the wrong element type", what, index));
  if (std::find(componentTypes.begin(), componentTypes.end(), a.componentType) ==
      componentTypes.end()) {
    return fail(Format("%s accessor %d has component type %d", what, index, a.componentType));
  }
  out.componentType = a.componentType;
  out.components = type == TINYGLTF_TYPE_SCALAR ? 1 : type;
  out.normalized = a.normalized;
  out.count = a.count;
  out.base = nullptr;
  const size_t elementSize = ComponentSize(a.componentType) * static_cast<size_t>(out.components);
  out.stride = elementSize;
  if (a.bufferView < 0) return true;
  if (static_cast<size_t>(a.bufferView) >= file_.bufferViews.size()) {
    return fail(Format("%s accessor %d refers to buffer view %d of %zu", what, index, a.bufferView,
                       file_.bufferViews.size()));
  }
  const tinygltf::BufferView& view = file_.bufferViews[static_cast<size_t>(a.bufferView)];
  if (view.buffer < 0 || static_cast<size_t>(view.buffer) >= file_.buffers.size()) {
    return fail(Format("buffer view %d refers to buffer %d of %zu", a.bufferView, view.buffer,
                       file_.buffers.size()));
  }
  const std::vector<unsigned char>& buffer = file_.buffers[static_cast<size_t>(view.buffer)].data;
  if (view.byteOffset > buffer.size() || view.byteLength > buffer.size() - view.byteOffset) {
    return fail(Format("buffer view %d (%zu bytes at %zu) reaches past its buffer of %zu bytes",
                       a.bufferView, view.byteLength, view.byteOffset, buffer.size()));
  }
  if (view.byteStride != 0) {
    if (view.byteStride < elementSize || view.byteStride > 252) {
      return fail(Format("buffer view %d has a stride of %zu", a.bufferView, view.byteStride));
    }
    out.stride = view.byteStride;
  }
  if (a.count > 0) {
    // count is at most what the view can hold, so the product below stays
    // far from overflowing.
    if (a.byteOffset > view.byteLength || elementSize > view.byteLength - a.byteOffset ||
        (a.count - 1) > (view.byteLength - a.byteOffset - elementSize) / out.stride) {
      return fail(Format("%s accessor %d (%zu elements) reaches past buffer view %d", what, index,
                         a.count, a.bufferView));
    }
  }
  out.base = buffer.data() + view.byteOffset + a.byteOffset;
  return true;
}

int GltfReader::paletteEntry(int material) {
  for (size_t i = 0; i < materialOf_.size(); ++i) {
    if (materialOf_[i] == material) return static_cast<int>(i);
  }
  if (materialOf_.size() < static_cast<size_t>(kFileMaterials)) {
    materialOf_.push_back(material);
    return static_cast<int>(materialOf_.size()) - 1;
  }
  if (!sharedLast_) {
    context_.warnings.push_back("more than 15 materials: the rest share palette entry 14");
    sharedLast_ = true;
  }
  return kFileMaterials - 1;
}

bool GltfReader::primitive(const tinygltf::Primitive& primitive, const Matrix4& transform, int mesh,
                           int index) {
  const std::string where = Format("mesh %d primitive %d", mesh, index);
  if (primitive.mode != -1 && primitive.mode != TINYGLTF_MODE_TRIANGLES) {
    return fail(where + Format(": mode %d is not triangles", primitive.mode));
  }
  const auto position = primitive.attributes.find("POSITION");
  if (position == primitive.attributes.end()) return fail(where + ": no POSITION");
  AccessorData positions;
  if (!accessor(position->second, TINYGLTF_TYPE_VEC3, {TINYGLTF_COMPONENT_TYPE_FLOAT}, "POSITION",
                positions)) {
    return false;
  }
  AccessorData uvs;
  const auto texcoord = primitive.attributes.find("TEXCOORD_0");
  const bool hasUV = texcoord != primitive.attributes.end();
  if (hasUV) {
    if (!accessor(texcoord->second, TINYGLTF_TYPE_VEC2,
                  {TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE,
                   TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT},
                  "TEXCOORD_0", uvs)) {
      return false;
    }
    if (uvs.componentType != TINYGLTF_COMPONENT_TYPE_FLOAT && !uvs.normalized) {
      return fail(where + ": integer TEXCOORD_0 must be normalized");
    }
    if (uvs.count < positions.count)
      return fail(where + ": fewer TEXCOORD_0 than POSITION elements");
  }
  AccessorData indices;
  size_t cornerCount = positions.count;
  if (primitive.indices >= 0) {
    if (!accessor(primitive.indices, TINYGLTF_TYPE_SCALAR,
                  {TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT,
                   TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT},
                  "indices", indices)) {
      return false;
    }
    cornerCount = indices.count;
  }
  if (cornerCount % 3 != 0)
    return fail(where + Format(": %zu corners do not make whole triangles", cornerCount));
  if (cornerCount / 3 > static_cast<size_t>(kMaxCount))
    return fail(where + ": more than 19999 surfaces");
  if (primitive.material < -1 ||
      (primitive.material >= 0 &&
       static_cast<size_t>(primitive.material) >= file_.materials.size())) {
    return fail(where + Format(": material %d of %zu", primitive.material, file_.materials.size()));
  }
  const int32_t material = paletteEntry(primitive.material);
  const bool mirrored = Determinant3(transform) < 0;

  // Indexed vertices are usually shared by several triangles: each is
  // transformed and merged once. (A view holds no more elements than its
  // buffer has bytes, but a cache that large is not worth it.)
  const bool cache = primitive.indices >= 0 && positions.count <= kMaxCachedVertices;
  if (cache) pointOfVertex_.assign(positions.count, 0);
  for (size_t t = 0; t < cornerCount / 3; ++t) {
    std::array<int32_t, 3> points{};
    std::array<UV, 3> triangleUVs{};
    for (size_t k = 0; k < 3; ++k) {
      size_t vertex = 3 * t + k;
      if (primitive.indices >= 0) {
        const double value = indices.component(vertex, 0);
        if (value >= static_cast<double>(positions.count)) {
          return fail(where + Format(": index %.0f of %zu vertices", value, positions.count));
        }
        vertex = static_cast<size_t>(value);
      }
      int32_t& cached = cache ? pointOfVertex_[vertex] : points[k];
      if (cached == 0) {
        const double x = positions.component(vertex, 0);
        const double y = positions.component(vertex, 1);
        const double z = positions.component(vertex, 2);
        const Matrix4& m = transform;
        const VECTOR p(static_cast<float>(m[0] * x + m[4] * y + m[8] * z + m[12]),
                       static_cast<float>(m[1] * x + m[5] * y + m[9] * z + m[13]),
                       static_cast<float>(m[2] * x + m[6] * y + m[10] * z + m[14]));
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
          return fail(where + Format(": vertex %zu is not finite", vertex));
        }
        cached = soup_.point(p);
        if (cached == 0) return fail(where + ": more than 19999 points");
      }
      points[k] = cached;
      if (hasUV) {
        const double u = uvs.component(vertex, 0);
        const double v = uvs.component(vertex, 1);
        if (!std::isfinite(u) || !std::isfinite(v))
          return fail(where + Format(": UV %zu is not finite", vertex));
        triangleUVs[k] = UV(static_cast<float>(u), static_cast<float>(1.0 - v));
      }
    }
    if (mirrored) {
      std::swap(points[1], points[2]);
      std::swap(triangleUVs[1], triangleUVs[2]);
    }
    if (!soup_.addTriangle(points, triangleUVs, material))
      return fail(where + ": more than 19999 surfaces");
  }
  return true;
}

bool GltfReader::read() {
  std::vector<MeshInstance> instances;
  if (!collectInstances(instances)) return false;
  for (const MeshInstance& instance : instances) {
    const tinygltf::Mesh& mesh = file_.meshes[static_cast<size_t>(instance.mesh)];
    for (size_t p = 0; p < mesh.primitives.size(); ++p) {
      if (!primitive(mesh.primitives[p], instance.transform, instance.mesh, static_cast<int>(p)))
        return false;
    }
  }
  // Texture references are checked here, before anything is built.
  for (int material : materialOf_) {
    if (material < 0) continue;
    const int texture =
        file_.materials[static_cast<size_t>(material)].pbrMetallicRoughness.baseColorTexture.index;
    if (texture < -1 || texture >= static_cast<int>(file_.textures.size())) {
      return fail(Format("material %d refers to texture %d of %zu", material, texture,
                         file_.textures.size()));
    }
    if (texture < 0) continue;
    const int source = file_.textures[static_cast<size_t>(texture)].source;
    if (source < -1 || source >= static_cast<int>(file_.images.size())) {
      return fail(
          Format("texture %d refers to image %d of %zu", texture, source, file_.images.size()));
    }
  }
  return true;
}

int32_t ColorByte(double value, double factor) {
  if (!std::isfinite(value)) return 0;
  return static_cast<int32_t>(std::clamp(std::trunc(value * factor), 0.0, 255.0));
}

void GltfReader::fillPalette(Model& model) const {
  for (size_t entry = 0; entry < materialOf_.size(); ++entry) {
    MATERIAL& palette = model.materials[entry];
    const int index = materialOf_[entry];
    if (index < 0) {
      // glTF's default material: plain white.
      palette.light = {255, 255, 255, 255};
      palette.dark = {128, 128, 128, 255};
      continue;
    }
    const tinygltf::Material& material = file_.materials[static_cast<size_t>(index)];
    if (!material.name.empty() && !SetText(palette.name, material.name)) {
      context_.warnings.push_back(
          Format("material %d: name longer than 259 characters not taken", index));
    }
    const std::vector<double>& color = material.pbrMetallicRoughness.baseColorFactor;
    if (color.size() == 4) {
      palette.light = {ColorByte(color[0], 255), ColorByte(color[1], 255), ColorByte(color[2], 255),
                       ColorByte(color[3], 255)};
      palette.dark = {ColorByte(color[0], 128), ColorByte(color[1], 128), ColorByte(color[2], 128),
                      ColorByte(color[3], 255)};
    }
    const int texture = material.pbrMetallicRoughness.baseColorTexture.index;
    if (texture < 0) continue;
    const int source = file_.textures[static_cast<size_t>(texture)].source;
    if (source < 0) continue;
    const tinygltf::Image& image = file_.images[static_cast<size_t>(source)];
    std::string name;
    if (!image.uri.empty() && image.uri.rfind("data:", 0) != 0) {
      name = PercentDecoded(image.uri);
    } else if (!image.name.empty()) {
      name = image.name;
      context_.warnings.push_back("image " + std::to_string(source) +
                                  " is stored in the file; its name \"" + name +
                                  "\" is used as the texture file");
    } else {
      context_.warnings.push_back("image " + std::to_string(source) +
                                  " is stored in the file without a name: texture not taken");
      continue;
    }
    if (!SetText(palette.texture, name)) {
      context_.warnings.push_back(
          Format("material %d: texture name longer than 259 characters not taken", index));
    }
  }
}

// The triangles of the last read, kept so that a second read reuses their
// room.
TriangleSoup& Soup() {
  thread_local TriangleSoup soup;
  return soup;
}

void TakeWarnings(const std::string& text, FormatContext& context) {
  size_t start = 0;
  int taken = 0;
  while (start < text.size() && taken < 8) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) {
      context.warnings.push_back(text.substr(start, end - start));
      ++taken;
    }
    start = end + 1;
  }
}

std::string FirstLine(const std::string& text) {
  std::string line = text.substr(0, text.find('\n'));
  return line.empty() ? std::string("malformed glTF") : line;
}

// ---- writing ----------------------------------------------------------------

struct Vertex {
  VECTOR position;
  VECTOR normal;
  UV uv;
};

// Where a texture name written in the document is read from: as it stands
// when absolute, else beside the document; failing that, its file name
// beside the document.
std::string TextureSource(const Document& document, std::string_view stored) {
  std::string name(stored);
  std::replace(name.begin(), name.end(), '\\', '/');
  const std::string folder = FolderOf(document.scene.fileName);
  const std::string direct =
      (!name.empty() && (name[0] == '/' || name.find(':') != std::string::npos)) ? name
                                                                                 : folder + name;
  if (IsRegularFile(direct)) return direct;
  return folder + FileNameOf(name);
}

const char* ImageMimeType(std::string_view name) {
  std::string extension(ExtensionOf(name));
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == ".png") return "image/png";
  if (extension == ".jpg" || extension == ".jpeg") return "image/jpeg";
  return nullptr;
}

VECTOR UnitNormal(const VECTOR& n) {
  const double length = std::sqrt(static_cast<double>(n.x) * n.x + static_cast<double>(n.y) * n.y +
                                  static_cast<double>(n.z) * n.z);
  if (!(length > 1e-12) || !std::isfinite(length)) return VECTOR(0, 1, 0);
  return VECTOR(static_cast<float>(n.x / length), static_cast<float>(n.y / length),
                static_cast<float>(n.z / length));
}

class GltfBuilder {
 public:
  GltfBuilder(Document& document, FormatContext& context, bool binary)
      : document_(document), model_(document.model), context_(context), binary_(binary) {}

  // Fills the tinygltf model; textures to copy beside a ".gltf" are listed.
  bool build(tinygltf::Model& out, const std::string& binName);
  struct Copy {
    std::string source;
    std::string name;
  };
  const std::vector<Copy>& copies() const { return copies_; }

 private:
  uint32_t vertexOf(int32_t point, const VECTOR& normal, const UV& uv);
  size_t append(const void* data, size_t bytes);
  int addView(size_t offset, size_t length, int target);
  int material(tinygltf::Model& out, int palette);

  Document& document_;
  const Model& model_;
  FormatContext& context_;
  bool binary_;
  std::vector<Vertex> vertices_;
  std::vector<int32_t> firstOfPoint_;
  std::vector<int32_t> nextOfVertex_;
  std::vector<unsigned char> data_;
  tinygltf::Model* out_ = nullptr;
  std::vector<Copy> copies_;
};

uint32_t GltfBuilder::vertexOf(int32_t point, const VECTOR& normal, const UV& uv) {
  for (int32_t v = firstOfPoint_[static_cast<size_t>(point)]; v >= 0;
       v = nextOfVertex_[static_cast<size_t>(v)]) {
    const Vertex& known = vertices_[static_cast<size_t>(v)];
    if (known.normal.x == normal.x && known.normal.y == normal.y && known.normal.z == normal.z &&
        known.uv.u == uv.u && known.uv.v == uv.v) {
      return static_cast<uint32_t>(v);
    }
  }
  const int32_t v = static_cast<int32_t>(vertices_.size());
  vertices_.push_back({model_.points[point].position, normal, uv});
  nextOfVertex_.push_back(firstOfPoint_[static_cast<size_t>(point)]);
  firstOfPoint_[static_cast<size_t>(point)] = v;
  return static_cast<uint32_t>(v);
}

size_t GltfBuilder::append(const void* data, size_t bytes) {
  while (data_.size() % 4 != 0) data_.push_back(0);
  const size_t offset = data_.size();
  const auto* p = static_cast<const unsigned char*>(data);
  data_.insert(data_.end(), p, p + bytes);
  return offset;
}

int GltfBuilder::addView(size_t offset, size_t length, int target) {
  tinygltf::BufferView view;
  view.buffer = 0;
  view.byteOffset = offset;
  view.byteLength = length;
  view.target = target;
  out_->bufferViews.push_back(view);
  return static_cast<int>(out_->bufferViews.size()) - 1;
}

int GltfBuilder::material(tinygltf::Model& out, int palette) {
  const MATERIAL& source = model_.materials[static_cast<size_t>(palette)];
  tinygltf::Material material;
  material.name = std::string(TextOf(source.name));
  const std::string_view texture = TextOf(source.texture);
  const bool textured = !texture.empty();
  const double alpha = Channel(source.light[3]) / 255.0;
  if (textured && source.blend == 0) {
    material.pbrMetallicRoughness.baseColorFactor = {1.0, 1.0, 1.0, alpha};
  } else {
    material.pbrMetallicRoughness.baseColorFactor = {Channel(source.light[0]) / 255.0,
                                                     Channel(source.light[1]) / 255.0,
                                                     Channel(source.light[2]) / 255.0, alpha};
  }
  material.pbrMetallicRoughness.metallicFactor = 0.0;
  const int32_t view = document_.scene.alphaMode;
  if (view == 2 && Channel(source.light[3]) < 255) {
    material.alphaMode = "BLEND";
  } else if (view == 1 && textured) {
    material.alphaMode = "MASK";
    material.alphaCutoff = 0.125;
  }
  if (textured) {
    const std::string name = FileNameOf(texture);
    const std::string sourcePath = TextureSource(document_, texture);
    const char* mime = ImageMimeType(name);
    tinygltf::Image image;
    image.name = name;
    bool embedded = false;
    if (binary_ && mime != nullptr) {
      std::vector<uint8_t> bytes;
      std::string why;
      if (ReadFileBytes(sourcePath, bytes, &why)) {
        image.bufferView = addView(append(bytes.data(), bytes.size()), bytes.size(), 0);
        image.mimeType = mime;
        embedded = true;
      } else {
        context_.warnings.push_back("texture " + std::string(texture) + " not embedded: " + why);
      }
    } else if (mime == nullptr) {
      context_.warnings.push_back("texture " + name +
                                  " is neither PNG nor JPEG: referred to by name only");
    }
    if (!embedded) {
      image.uri = PercentEncoded(name);
      if (!binary_) copies_.push_back({sourcePath, name});
    }
    out.images.push_back(image);
    tinygltf::Texture gltfTexture;
    gltfTexture.source = static_cast<int>(out.images.size()) - 1;
    out.textures.push_back(gltfTexture);
    material.pbrMetallicRoughness.baseColorTexture.index =
        static_cast<int>(out.textures.size()) - 1;
  }
  out.materials.push_back(material);
  return static_cast<int>(out.materials.size()) - 1;
}

bool GltfBuilder::build(tinygltf::Model& out, const std::string& binName) {
  out_ = &out;
  out.asset.version = "2.0";
  out.asset.generator = "Vexal 2.72";
  firstOfPoint_.assign(static_cast<size_t>(model_.pointCount) + 1, -1);

  std::array<std::vector<uint32_t>, kMaterialCount> indices;
  for (int s = 1; s <= model_.faceCount; ++s) {
    const FACE& face = model_.faces[s];
    if (face.material == kGuideMaterial || face.material < 0 || face.material >= kMaterialCount)
      continue;
    std::vector<uint32_t>& list = indices[static_cast<size_t>(face.material)];
    const auto corner = [&](int slot) {
      const size_t k = static_cast<size_t>(slot);
      const UV uv(face.uv[k].u, 1.0f - face.uv[k].v);
      list.push_back(vertexOf(face.corners[k], UnitNormal(face.cornerNormals[k]), uv));
    };
    const auto triangle = [&](int a, int b, int c) {
      corner(a);
      corner(b);
      corner(c);
    };
    if (!IsQuad(face)) {
      triangle(0, 1, 2);
    } else if (ChooseQuadSplit(model_, s) == 1) {
      triangle(0, 1, 2);
      triangle(2, 3, 0);
    } else {
      triangle(0, 1, 3);
      triangle(1, 2, 3);
    }
  }

  tinygltf::Scene scene;
  out.defaultScene = 0;
  if (!vertices_.empty()) {
    const size_t count = vertices_.size();
    std::vector<float> positions, normals, uvs;
    positions.reserve(count * 3);
    normals.reserve(count * 3);
    uvs.reserve(count * 2);
    std::vector<double> low(3, 0), high(3, 0);
    for (size_t i = 0; i < count; ++i) {
      const Vertex& v = vertices_[i];
      const float p[3] = {v.position.x, v.position.y, v.position.z};
      for (size_t k = 0; k < 3; ++k) {
        positions.push_back(p[k]);
        low[k] = i == 0 ? p[k] : std::min(low[k], static_cast<double>(p[k]));
        high[k] = i == 0 ? p[k] : std::max(high[k], static_cast<double>(p[k]));
      }
      normals.insert(normals.end(), {v.normal.x, v.normal.y, v.normal.z});
      uvs.insert(uvs.end(), {v.uv.u, v.uv.v});
    }
    const auto attribute = [&](const std::vector<float>& values, int type) {
      tinygltf::Accessor accessor;
      accessor.bufferView = addView(append(values.data(), values.size() * sizeof(float)),
                                    values.size() * sizeof(float), TINYGLTF_TARGET_ARRAY_BUFFER);
      accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
      accessor.count = count;
      accessor.type = type;
      out.accessors.push_back(accessor);
      return static_cast<int>(out.accessors.size()) - 1;
    };
    const int positionAccessor = attribute(positions, TINYGLTF_TYPE_VEC3);
    out.accessors.back().minValues = low;
    out.accessors.back().maxValues = high;
    const int normalAccessor = attribute(normals, TINYGLTF_TYPE_VEC3);
    const int uvAccessor = attribute(uvs, TINYGLTF_TYPE_VEC2);

    tinygltf::Mesh mesh;
    const bool small = count <= 65535;
    for (int m = 0; m < kMaterialCount; ++m) {
      const std::vector<uint32_t>& list = indices[static_cast<size_t>(m)];
      if (list.empty()) continue;
      tinygltf::Accessor accessor;
      if (small) {
        std::vector<uint16_t> narrow(list.begin(), list.end());
        accessor.bufferView = addView(append(narrow.data(), narrow.size() * 2), narrow.size() * 2,
                                      TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
        accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT;
      } else {
        accessor.bufferView = addView(append(list.data(), list.size() * 4), list.size() * 4,
                                      TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
        accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
      }
      accessor.count = list.size();
      accessor.type = TINYGLTF_TYPE_SCALAR;
      out.accessors.push_back(accessor);
      tinygltf::Primitive primitive;
      primitive.attributes["POSITION"] = positionAccessor;
      primitive.attributes["NORMAL"] = normalAccessor;
      primitive.attributes["TEXCOORD_0"] = uvAccessor;
      primitive.indices = static_cast<int>(out.accessors.size()) - 1;
      primitive.mode = TINYGLTF_MODE_TRIANGLES;
      primitive.material = material(out, m);
      mesh.primitives.push_back(primitive);
    }
    out.meshes.push_back(mesh);
    tinygltf::Node node;
    node.mesh = 0;
    out.nodes.push_back(node);
    scene.nodes.push_back(0);

    while (data_.size() % 4 != 0) data_.push_back(0);
    tinygltf::Buffer buffer;
    buffer.data = std::move(data_);
    if (!binary_) buffer.uri = PercentEncoded(binName);
    out.buffers.push_back(std::move(buffer));
  }
  out.scenes.push_back(scene);
  return true;
}

int SaveGltf(Document& document, const std::string& path, FormatContext& context, bool binary) {
  const char* format = binary ? "GLB" : "glTF";
  const std::string folder = FolderOf(path);
  const std::string fileName = FileNameOf(path);
  const std::string binName = ReplaceExtension(fileName, ".bin");
  tinygltf::Model file;
  GltfBuilder builder(document, context, binary);
  if (!builder.build(file, binName)) return 0;
  tinygltf::TinyGLTF writer = MakeLoader();

  if (binary) {
    std::ostringstream stream;
    if (!writer.WriteGltfSceneToStream(&file, stream, false, true)) {
      return context.fail(std::string(format) + ": the container could not be made");
    }
    std::string why;
    if (!WriteFileAtomically(path, stream.str(), &why))
      return context.fail(std::string(format) + ": " + why);
    return 1;
  }

  // tinygltf writes the JSON and the buffer file itself: both go to a
  // folder of their own beside the target, then each is renamed into place,
  // so a failed save leaves the files already there as they were.
  std::string staging = (folder.empty() ? std::string("./") : folder) + ".vexal-gltf-XXXXXX";
  if (::mkdtemp(staging.data()) == nullptr) {
    return context.fail(std::string(format) + ": cannot create a temporary folder beside " + path);
  }
  const std::string stagedJson = staging + "/" + fileName;
  const std::string stagedBin =
      staging + "/" + (file.buffers.empty() ? std::string() : file.buffers[0].uri);
  const auto cleanUp = [&]() {
    std::remove(stagedJson.c_str());
    if (!file.buffers.empty()) std::remove(stagedBin.c_str());
    ::rmdir(staging.c_str());
  };
  bool written = false;
  try {
    written = writer.WriteGltfSceneToFile(&file, stagedJson, false, false, true, false);
  } catch (const std::exception&) {
    written = false;
  }
  if (!written) {
    cleanUp();
    return context.fail(std::string(format) + ": cannot write " + path);
  }
  for (const GltfBuilder::Copy& copy : builder.copies()) {
    const std::string target = folder + copy.name;
    if (copy.source == target) continue;
    std::vector<uint8_t> bytes;
    std::string why;
    if (!ReadFileBytes(copy.source, bytes, &why)) {
      context.warnings.push_back("texture " + copy.name + " not copied: " + why);
      continue;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!WriteFileAtomically(target, text, &why)) {
      context.warnings.push_back("texture " + copy.name + " not copied: " + why);
    }
  }
  if ((!file.buffers.empty() && std::rename(stagedBin.c_str(), (folder + binName).c_str()) != 0) ||
      std::rename(stagedJson.c_str(), path.c_str()) != 0) {
    cleanUp();
    return context.fail(std::string(format) + ": cannot write " + path);
  }
  ::rmdir(staging.c_str());
  return 1;
}

}  // namespace

int ReadGltfBytes(std::span<const uint8_t> bytes, const std::string& name, ReadTarget& target,
                  FormatContext& context) {
  if (bytes.size() > 0xFFFFFFFFu) return context.fail(Translate("file too large"));
  tinygltf::Model file;
  std::string error, warning;
  tinygltf::TinyGLTF loader = MakeLoader();
  const std::string folder = FolderOf(name);
  const bool binary = bytes.size() >= 4 && std::memcmp(bytes.data(), "glTF", 4) == 0;
  const std::string_view json =
      binary ? GlbJson(bytes)
             : std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (NestedTooDeep(json))
    return context.fail(Format("JSON nested deeper than %d levels", kMaxJsonDepth));
  bool loaded = false;
  try {
    if (binary) {
      loaded = loader.LoadBinaryFromMemory(&file, &error, &warning, bytes.data(),
                                           static_cast<unsigned int>(bytes.size()), folder);
    } else {
      loaded = loader.LoadASCIIFromString(&file, &error, &warning,
                                          reinterpret_cast<const char*>(bytes.data()),
                                          static_cast<unsigned int>(bytes.size()), folder);
    }
  } catch (const std::exception& exception) {
    return context.fail(std::string("malformed glTF: ") + exception.what());
  }
  if (!loaded) return context.fail(FirstLine(error));
  TakeWarnings(warning, context);

  TriangleSoup& soup = Soup();
  soup.clear();
  GltfReader reader(file, soup, context);
  if (!reader.read()) return 0;
  if (!soup.commit(target.model, context)) return 0;
  reader.fillPalette(target.model);
  if (soup.droppedTriangles() > 0) {
    context.warnings.push_back(Format("%d degenerate triangles dropped", soup.droppedTriangles()));
  }
  return 1;
}

int LoadGltfBytes(Model& model, std::span<const uint8_t> bytes, const std::string& name,
                  FormatContext& context) {
  return LoadBytesInto(model, bytes, name, ReadGltfBytes, context);
}

int LoadGltfFile(Document& document, const std::string& path, FormatContext& context) {
  std::vector<uint8_t> bytes;
  std::string why;
  if (!ReadFileBytes(path, bytes, &why)) return context.fail(why);
  return LoadModelBytes(document, bytes, path, ReadGltfBytes, context);
}

int SaveGltfFile(Document& document, const std::string& path, FormatContext& context) {
  return SaveGltf(document, path, context, false);
}

int SaveGlbFile(Document& document, const std::string& path, FormatContext& context) {
  return SaveGltf(document, path, context, true);
}


}  // namespace vexal
