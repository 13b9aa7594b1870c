// The glTF reader: tinygltf parses the JSON or the GLB container, then the
// default scene's meshes (node transforms applied) are walked through
// checked accessor views into a triangle soup that becomes the model.
#include "formats/gltf_format.h"

#include <draco/compression/decode.h>
#include <meshoptimizer.h>
#include <tiny_gltf.h>

#include <nlohmann/json.hpp>

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

#include "formats/format_support.h"
#include "formats/gltf_files.h"
#include "formats/triangle_soup.h"
#include "io/file_bytes.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/model.h"
#include "io/message_catalog.h"

namespace vexal {

using namespace gltf;

namespace {

// Palette entries a file's materials may fill; 15 is the guide material.
constexpr int kFileMaterials = 15;
// Primitives with more vertices than this merge each corner afresh.
constexpr size_t kMaxCachedVertices = size_t{1} << 20;
// Deeper node trees than this are refused rather than walked.
constexpr int kMaxNodeDepth = 256;
// A sparse accessor is expanded into memory of its own, up to this size.
constexpr size_t kMaxSparseBytes = size_t{64} << 20;

// The extensions a file may require: those this reader implements. An
// unlit material is read as its base colour, as every material is; the
// others are read by the accessors and primitives below.
bool ExtensionSupported(std::string_view extension) {
  constexpr std::array<std::string_view, 3> kSupported = {
      "KHR_materials_unlit", "KHR_mesh_quantization", "KHR_draco_mesh_compression"};
  return std::find(kSupported.begin(), kSupported.end(), extension) != kSupported.end();
}

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

// tinygltf refuses a primitive whose indices accessor has no buffer view,
// as a Draco-compressed primitive's has: those indices are dropped from the
// JSON (the decoded mesh brings its own). Returns false, leaving patched
// alone, when nothing needs patching or the JSON does not parse (tinygltf
// then says why).
bool DropCompressedIndices(std::string_view json, std::string& patched) {
  if (json.find("KHR_draco_mesh_compression") == std::string_view::npos) return false;
  nlohmann::json root = nlohmann::json::parse(json.begin(), json.end(), nullptr, false);
  if (root.is_discarded() || !root.is_object()) return false;
  const auto meshes = root.find("meshes");
  if (meshes == root.end() || !meshes->is_array()) return false;
  bool changed = false;
  for (nlohmann::json& mesh : *meshes) {
    if (!mesh.is_object() || !mesh.contains("primitives") || !mesh["primitives"].is_array())
      continue;
    for (nlohmann::json& primitive : mesh["primitives"]) {
      if (!primitive.is_object() || !primitive.contains("extensions")) continue;
      const nlohmann::json& extensions = primitive["extensions"];
      if (extensions.is_object() && extensions.contains("KHR_draco_mesh_compression"))
        changed = primitive.erase("indices") > 0 || changed;
    }
  }
  if (!changed) return false;
  patched = root.dump();
  return true;
}

// A GLB container with its JSON chunk replaced; the chunks after it are
// kept as they are.
std::vector<uint8_t> WithJsonChunk(std::span<const uint8_t> glb, std::string json) {
  uint32_t oldLength = 0;
  std::memcpy(&oldLength, glb.data() + 12, 4);
  const std::span<const uint8_t> rest = glb.subspan(20 + size_t{oldLength});
  while (json.size() % 4 != 0) json.push_back(' ');
  std::vector<uint8_t> out(glb.begin(), glb.begin() + 12);
  const auto put32 = [&out](uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
  };
  put32(static_cast<uint32_t>(json.size()));
  put32(0x4E4F534Au);  // "JSON"
  out.insert(out.end(), json.begin(), json.end());
  out.insert(out.end(), rest.begin(), rest.end());
  const uint32_t total = static_cast<uint32_t>(out.size());
  std::memcpy(out.data() + 8, &total, 4);
  return out;
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

// A checked view of one accessor's elements. A sparse accessor's elements
// are copied and patched into storage of its own.
struct AccessorData {
  const uint8_t* base = nullptr;  // null: no buffer view, every element is zero
  size_t stride = 0;
  size_t count = 0;
  int componentType = 0;
  int components = 0;
  bool normalized = false;
  std::vector<uint8_t> owned;

  double component(size_t element, int k) const {
    if (base == nullptr) return 0;
    const uint8_t* p = base + element * stride;
    switch (componentType) {
      case TINYGLTF_COMPONENT_TYPE_FLOAT: {
        float v;
        std::memcpy(&v, p + 4 * k, 4);
        return v;
      }
      case TINYGLTF_COMPONENT_TYPE_BYTE: {
        const double v = static_cast<int8_t>(p[k]);
        return normalized ? std::max(v / 127.0, -1.0) : v;
      }
      case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: {
        const double v = p[k];
        return normalized ? v / 255.0 : v;
      }
      case TINYGLTF_COMPONENT_TYPE_SHORT: {
        int16_t v;
        std::memcpy(&v, p + 2 * k, 2);
        return normalized ? std::max(v / 32767.0, -1.0) : v;
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
    case TINYGLTF_COMPONENT_TYPE_BYTE:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
      return 1;
    case TINYGLTF_COMPONENT_TYPE_SHORT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
      return 2;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
    case TINYGLTF_COMPONENT_TYPE_FLOAT:
      return 4;
    default:
      return 0;
  }
}

// Component types of positions: floats, and with KHR_mesh_quantization
// integers of one or two bytes, normalised or not.
constexpr std::initializer_list<int> kQuantizedTypes = {
    TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_COMPONENT_TYPE_BYTE,
    TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE, TINYGLTF_COMPONENT_TYPE_SHORT,
    TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT};
constexpr std::initializer_list<int> kIndexTypes = {TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE,
                                                    TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT,
                                                    TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT};

class GltfReader {
 public:
  GltfReader(const tinygltf::Model& file, TriangleSoup& soup, FormatContext& context)
      : file_(file), soup_(soup), context_(context) {}

  bool read();
  // How many primitives read() met: none means the file holds no geometry.
  int primitivesRead() const { return primitivesRead_; }
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
  // Positions, the named UV set (none when empty) and indices of a
  // KHR_draco_mesh_compression primitive, decoded.
  bool decodeDraco(const tinygltf::Value& extension, const std::string& uvName,
                   const std::string& where, AccessorData& positions, AccessorData& uvs,
                   AccessorData& indices);
  bool accessor(int index, int type, std::initializer_list<int> componentTypes, const char* what,
                AccessorData& out);
  // The checked bytes of a buffer view and its stride (0: packed).
  bool viewBytes(int viewIndex, std::span<const uint8_t>& bytes, size_t& stride);
  int paletteEntry(int material);

  const tinygltf::Model& file_;
  TriangleSoup& soup_;
  FormatContext& context_;
  // The point of each vertex of the current primitive, 0 until met.
  std::vector<int32_t> pointOfVertex_;
  // glTF material (-1 for none) of each palette entry in use.
  std::vector<int> materialOf_;
  bool sharedLast_ = false;
  int primitivesRead_ = 0;
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

bool GltfReader::viewBytes(int viewIndex, std::span<const uint8_t>& bytes, size_t& stride) {
  if (viewIndex < 0 || static_cast<size_t>(viewIndex) >= file_.bufferViews.size())
    return fail(Format("buffer view %d of %zu", viewIndex, file_.bufferViews.size()));
  const tinygltf::BufferView& view = file_.bufferViews[static_cast<size_t>(viewIndex)];
  stride = view.byteStride;
  if (view.buffer < 0 || static_cast<size_t>(view.buffer) >= file_.buffers.size()) {
    return fail(Format("buffer view %d refers to buffer %d of %zu", viewIndex, view.buffer,
                       file_.buffers.size()));
  }
  const std::vector<unsigned char>& buffer = file_.buffers[static_cast<size_t>(view.buffer)].data;
  if (view.byteOffset > buffer.size() || view.byteLength > buffer.size() - view.byteOffset) {
    return fail(Format("buffer view %d (%zu bytes at %zu) reaches past its buffer of %zu bytes",
                       viewIndex, view.byteLength, view.byteOffset, buffer.size()));
  }
  bytes = std::span<const uint8_t>(buffer.data() + view.byteOffset, view.byteLength);
  return true;
}

bool GltfReader::accessor(int index, int type, std::initializer_list<int> componentTypes,
                          const char* what, AccessorData& out) {
  if (index < 0 || static_cast<size_t>(index) >= file_.accessors.size()) {
    return fail(Format("%s accessor %d of %zu", what, index, file_.accessors.size()));
  }
  const tinygltf::Accessor& a = file_.accessors[static_cast<size_t>(index)];
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
  out.owned.clear();
  const size_t elementSize = ComponentSize(a.componentType) * static_cast<size_t>(out.components);
  out.stride = elementSize;
  if (a.bufferView >= 0) {
    std::span<const uint8_t> view;
    size_t stride = 0;
    if (!viewBytes(a.bufferView, view, stride)) return false;
    if (stride != 0) {
      if (stride < elementSize || stride > 252) {
        return fail(Format("buffer view %d has a stride of %zu", a.bufferView, stride));
      }
      out.stride = stride;
    }
    if (a.count > 0) {
      // count is at most what the view can hold, so the product below stays
      // far from overflowing.
      if (a.byteOffset > view.size() || elementSize > view.size() - a.byteOffset ||
          (a.count - 1) > (view.size() - a.byteOffset - elementSize) / out.stride) {
        return fail(Format("%s accessor %d (%zu elements) reaches past buffer view %d", what,
                           index, a.count, a.bufferView));
      }
    }
    out.base = view.data() + a.byteOffset;
  }
  if (!a.sparse.isSparse) return true;

  // Sparse: the dense elements (zero without a view) copied, then the
  // listed ones replaced.
  const std::string where = Format("%s accessor %d: sparse", what, index);
  if (a.sparse.count < 1 || static_cast<size_t>(a.sparse.count) > a.count)
    return fail(where + Format(" count %d of %zu elements", a.sparse.count, a.count));
  if (a.count > kMaxSparseBytes / elementSize)
    return fail(where + Format(" accessor of %zu elements is too large", a.count));
  const size_t replaced = static_cast<size_t>(a.sparse.count);
  const size_t indexSize = ComponentSize(a.sparse.indices.componentType);
  if (std::find(kIndexTypes.begin(), kIndexTypes.end(), a.sparse.indices.componentType) ==
      kIndexTypes.end()) {
    return fail(where + Format(" indices have component type %d", a.sparse.indices.componentType));
  }
  std::span<const uint8_t> indexView, valueView;
  size_t unusedStride = 0;
  if (!viewBytes(a.sparse.indices.bufferView, indexView, unusedStride) ||
      !viewBytes(a.sparse.values.bufferView, valueView, unusedStride)) {
    return false;
  }
  const auto fits = [&](std::span<const uint8_t> view, int offset, size_t size) {
    return offset >= 0 && static_cast<size_t>(offset) <= view.size() &&
           replaced <= (view.size() - static_cast<size_t>(offset)) / size;
  };
  if (!fits(indexView, a.sparse.indices.byteOffset, indexSize) ||
      !fits(valueView, a.sparse.values.byteOffset, elementSize)) {
    return fail(Format("%s indices or values reach past their buffer view", where.c_str()));
  }
  out.owned.assign(a.count * elementSize, 0);
  if (out.base != nullptr) {
    for (size_t e = 0; e < a.count; ++e)
      std::memcpy(out.owned.data() + e * elementSize, out.base + e * out.stride, elementSize);
  }
  const uint8_t* indices = indexView.data() + a.sparse.indices.byteOffset;
  const uint8_t* values = valueView.data() + a.sparse.values.byteOffset;
  for (size_t i = 0; i < replaced; ++i) {
    uint32_t element = 0;
    if (indexSize == 1) {
      element = indices[i];
    } else if (indexSize == 2) {
      uint16_t v;
      std::memcpy(&v, indices + 2 * i, 2);
      element = v;
    } else {
      std::memcpy(&element, indices + 4 * i, 4);
    }
    if (element >= a.count)
      return fail(where + Format(" index %u of %zu elements", element, a.count));
    std::memcpy(out.owned.data() + size_t{element} * elementSize, values + i * elementSize,
                elementSize);
  }
  out.base = out.owned.data();
  out.stride = elementSize;
  return true;
}

bool GltfReader::decodeDraco(const tinygltf::Value& extension, const std::string& uvName,
                             const std::string& where, AccessorData& positions, AccessorData& uvs,
                             AccessorData& indices) {
  const std::string what = where + ": KHR_draco_mesh_compression";
  const tinygltf::Value& viewValue = extension.Get("bufferView");
  const tinygltf::Value& attributes = extension.Get("attributes");
  if (!viewValue.IsInt() || !attributes.IsObject())
    return fail(Format("%s needs a bufferView and attributes", what.c_str()));
  std::span<const uint8_t> bytes;
  size_t unusedStride = 0;
  if (!viewBytes(viewValue.GetNumberAsInt(), bytes, unusedStride)) return false;
  draco::DecoderBuffer buffer;
  buffer.Init(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  draco::Decoder decoder;
  auto decoded = decoder.DecodeMeshFromBuffer(&buffer);
  if (!decoded.ok()) return fail(what + ": " + decoded.status().error_msg_string());
  const std::unique_ptr<draco::Mesh> mesh = std::move(decoded).value();
  const size_t points = mesh->num_points();
  // An attribute's values, one per point, as floats of the given width.
  const auto attribute = [&](const std::string& name, int8_t components, AccessorData& out) {
    const tinygltf::Value& id = attributes.Get(name);
    if (!id.IsInt() || id.GetNumberAsInt() < 0)
      return fail(Format("%s has no attribute %s", what.c_str(), name.c_str()));
    const draco::PointAttribute* values =
        mesh->GetAttributeByUniqueId(static_cast<uint32_t>(id.GetNumberAsInt()));
    if (values == nullptr || values->num_components() < components)
      return fail(what + Format(": attribute %d of %s missing", id.GetNumberAsInt(), name.c_str()));
    out.owned.assign(points * static_cast<size_t>(components) * sizeof(float), 0);
    std::vector<float> element(static_cast<size_t>(components));
    for (size_t p = 0; p < points; ++p) {
      const draco::AttributeValueIndex value =
          values->mapped_index(draco::PointIndex(static_cast<uint32_t>(p)));
      if (!values->ConvertValue<float>(value, components, element.data()))
        return fail(Format("%s: %s cannot be read as numbers", what.c_str(), name.c_str()));
      std::memcpy(out.owned.data() + p * element.size() * sizeof(float), element.data(),
                  element.size() * sizeof(float));
    }
    out.base = out.owned.data();
    out.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
    out.components = components;
    out.stride = static_cast<size_t>(components) * sizeof(float);
    out.count = points;
    out.normalized = false;
    return true;
  };
  if (!attribute("POSITION", 3, positions)) return false;
  if (!uvName.empty() && !attribute(uvName, 2, uvs)) return false;
  const size_t faces = mesh->num_faces();
  if (faces > static_cast<size_t>(kMaxCount))
    return fail(Format("%s: more than 19999 surfaces", what.c_str()));
  indices.owned.resize(faces * 3 * sizeof(uint32_t));
  for (size_t f = 0; f < faces; ++f) {
    const draco::Mesh::Face& face = mesh->face(draco::FaceIndex(static_cast<uint32_t>(f)));
    for (size_t k = 0; k < 3; ++k) {
      const uint32_t point = face[k].value();
      std::memcpy(indices.owned.data() + (3 * f + k) * sizeof(uint32_t), &point, sizeof point);
    }
  }
  indices.base = indices.owned.data();
  indices.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
  indices.components = 1;
  indices.stride = sizeof(uint32_t);
  indices.count = faces * 3;
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
    context_.warnings.push_back(
        Translate("more than 15 materials: the rest share palette entry 14"));
    sharedLast_ = true;
  }
  return kFileMaterials - 1;
}

bool GltfReader::primitive(const tinygltf::Primitive& primitive, const Matrix4& transform, int mesh,
                           int index) {
  const std::string where = Format("mesh %d primitive %d", mesh, index);
  const int mode = primitive.mode == -1 ? TINYGLTF_MODE_TRIANGLES : primitive.mode;
  if (mode < TINYGLTF_MODE_POINTS || mode > TINYGLTF_MODE_TRIANGLE_FAN)
    return fail(where + Format(": mode %d is not a glTF mode", mode));
  const bool surfaces = mode >= TINYGLTF_MODE_TRIANGLES;
  if (primitive.material < -1 ||
      (primitive.material >= 0 &&
       static_cast<size_t>(primitive.material) >= file_.materials.size())) {
    return fail(where + Format(": material %d of %zu", primitive.material, file_.materials.size()));
  }
  // The UV set the base colour texture names.
  int uvSet = 0;
  if (primitive.material >= 0) {
    const tinygltf::TextureInfo& texture =
        file_.materials[static_cast<size_t>(primitive.material)]
            .pbrMetallicRoughness.baseColorTexture;
    if (texture.index >= 0) uvSet = texture.texCoord;
  }
  if (uvSet < 0 || uvSet > 255) return fail(where + Format(": UV set %d", uvSet));
  const std::string uvName = "TEXCOORD_" + std::to_string(uvSet);

  const auto position = primitive.attributes.find("POSITION");
  if (position == primitive.attributes.end()) return fail(where + ": no POSITION");
  const auto texcoord = primitive.attributes.find(uvName);
  const bool hasUV = surfaces && texcoord != primitive.attributes.end();
  const auto draco = primitive.extensions.find("KHR_draco_mesh_compression");
  const bool compressed = draco != primitive.extensions.end();
  if (compressed && mode != TINYGLTF_MODE_TRIANGLES)
    return fail(
        Format("%s: KHR_draco_mesh_compression of a mode other than triangles", where.c_str()));
  const bool indexed = primitive.indices >= 0 || compressed;
  AccessorData positions, uvs, indices;
  if (compressed) {
    if (!decodeDraco(draco->second, hasUV ? uvName : std::string(), where, positions, uvs,
                     indices)) {
      return false;
    }
  } else {
    if (!accessor(position->second, TINYGLTF_TYPE_VEC3, kQuantizedTypes, "POSITION", positions))
      return false;
    if (hasUV &&
        !accessor(texcoord->second, TINYGLTF_TYPE_VEC2, kQuantizedTypes, uvName.c_str(), uvs)) {
      return false;
    }
    if (indexed &&
        !accessor(primitive.indices, TINYGLTF_TYPE_SCALAR, kIndexTypes, "indices", indices)) {
      return false;
    }
  }
  if (hasUV) {
    if (uvs.componentType != TINYGLTF_COMPONENT_TYPE_FLOAT && !uvs.normalized)
      return fail(Format("%s: integer %s must be normalized", where.c_str(), uvName.c_str()));
    if (uvs.count < positions.count)
      return fail(Format("%s: fewer %s than POSITION elements", where.c_str(), uvName.c_str()));
  }
  const size_t cornerCount = indexed ? indices.count : positions.count;

  size_t shapes = 0;  // triangles, line segments or points the corners make
  switch (mode) {
    case TINYGLTF_MODE_TRIANGLES:
      if (cornerCount % 3 != 0)
        return fail(where + Format(": %zu corners do not make whole triangles", cornerCount));
      shapes = cornerCount / 3;
      break;
    case TINYGLTF_MODE_TRIANGLE_STRIP:
    case TINYGLTF_MODE_TRIANGLE_FAN:
      shapes = cornerCount < 3 ? 0 : cornerCount - 2;
      break;
    case TINYGLTF_MODE_LINE:
      if (cornerCount % 2 != 0)
        return fail(where + Format(": %zu corners do not make whole lines", cornerCount));
      shapes = cornerCount / 2;
      break;
    case TINYGLTF_MODE_LINE_STRIP:
      shapes = cornerCount < 2 ? 0 : cornerCount - 1;
      break;
    case TINYGLTF_MODE_LINE_LOOP:
      shapes = cornerCount < 2 ? 0 : cornerCount;
      break;
    default:
      shapes = cornerCount;
      break;
  }
  if (surfaces && shapes > static_cast<size_t>(kMaxCount))
    return fail(Format("%s: more than 19999 surfaces", where.c_str()));
  const int32_t material = surfaces ? paletteEntry(primitive.material) : 0;
  const bool mirrored = Determinant3(transform) < 0;

  // Indexed vertices are usually shared by several triangles: each is
  // transformed and merged once. (A view holds no more elements than its
  // buffer has bytes, but a cache that large is not worth it.)
  const bool cache = indexed && positions.count <= kMaxCachedVertices;
  if (cache) pointOfVertex_.assign(positions.count, 0);
  // The point and UV at a corner of the primitive's list.
  const auto corner = [&](size_t at, int32_t& point, UV& uv) {
    size_t vertex = at;
    if (indexed) {
      const double value = indices.component(at, 0);
      if (value >= static_cast<double>(positions.count))
        return fail(where + Format(": index %.0f of %zu vertices", value, positions.count));
      vertex = static_cast<size_t>(value);
    }
    int32_t uncached = 0;
    int32_t& known = cache ? pointOfVertex_[vertex] : uncached;
    if (known == 0) {
      const double x = positions.component(vertex, 0);
      const double y = positions.component(vertex, 1);
      const double z = positions.component(vertex, 2);
      const Matrix4& m = transform;
      const VECTOR p(static_cast<float>(m[0] * x + m[4] * y + m[8] * z + m[12]),
                     static_cast<float>(m[1] * x + m[5] * y + m[9] * z + m[13]),
                     static_cast<float>(m[2] * x + m[6] * y + m[10] * z + m[14]));
      if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
        return fail(where + Format(": vertex %zu is not finite", vertex));
      known = soup_.point(p);
      if (known == 0) return fail(Format("%s: more than 19999 points", where.c_str()));
    }
    point = known;
    if (hasUV) {
      const double u = uvs.component(vertex, 0);
      const double v = uvs.component(vertex, 1);
      if (!std::isfinite(u) || !std::isfinite(v))
        return fail(where + Format(": UV %zu is not finite", vertex));
      uv = UV(static_cast<float>(u), static_cast<float>(1.0 - v));
    }
    return true;
  };

  for (size_t t = 0; t < shapes; ++t) {
    std::array<size_t, 3> at{};
    switch (mode) {
      case TINYGLTF_MODE_TRIANGLES:
        at = {3 * t, 3 * t + 1, 3 * t + 2};
        break;
      case TINYGLTF_MODE_TRIANGLE_STRIP:
        // Every other triangle of a strip is turned back to the strip's winding.
        at = t % 2 == 0 ? std::array<size_t, 3>{t, t + 1, t + 2}
                        : std::array<size_t, 3>{t, t + 2, t + 1};
        break;
      case TINYGLTF_MODE_TRIANGLE_FAN:
        at = {t + 1, t + 2, 0};
        break;
      case TINYGLTF_MODE_LINE:
        at = {2 * t, 2 * t + 1, 0};
        break;
      case TINYGLTF_MODE_LINE_STRIP:
        at = {t, t + 1, 0};
        break;
      case TINYGLTF_MODE_LINE_LOOP:
        at = {t, t + 1 == cornerCount ? 0 : t + 1, 0};
        break;
      default:
        at = {t, 0, 0};
        break;
    }
    std::array<int32_t, 3> points{};
    std::array<UV, 3> cornerUVs{};
    if (mode == TINYGLTF_MODE_POINTS) {
      if (!corner(at[0], points[0], cornerUVs[0])) return false;
      soup_.keepPoint(points[0]);
      continue;
    }
    if (!surfaces) {
      if (!corner(at[0], points[0], cornerUVs[0]) || !corner(at[1], points[1], cornerUVs[1]))
        return false;
      if (!soup_.addLine(points[0], points[1]))
        return fail(where + Format(": more than %d line segments", kMaxLineSegments));
      continue;
    }
    for (size_t k = 0; k < 3; ++k) {
      if (!corner(at[k], points[k], cornerUVs[k])) return false;
    }
    if (mirrored) {
      std::swap(points[1], points[2]);
      std::swap(cornerUVs[1], cornerUVs[2]);
    }
    if (!soup_.addTriangle(points, cornerUVs, material))
      return fail(Format("%s: more than 19999 surfaces", where.c_str()));
  }
  return true;
}

bool GltfReader::read() {
  std::vector<MeshInstance> instances;
  if (!collectInstances(instances)) return false;
  for (const MeshInstance& instance : instances) {
    const tinygltf::Mesh& mesh = file_.meshes[static_cast<size_t>(instance.mesh)];
    for (size_t p = 0; p < mesh.primitives.size(); ++p) {
      ++primitivesRead_;
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
      context_.warnings.push_back(
          Format("image %d is stored in the file; its name \"%s\" is used as the texture file",
                 source, name.c_str()));
    } else {
      context_.warnings.push_back(
          Format("image %d is stored in the file without a name: texture not taken", source));
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
  return line.empty() ? std::string(Translate("malformed glTF")) : line;
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
  std::string patchedJson;
  std::vector<uint8_t> patchedGlb;
  if (DropCompressedIndices(json, patchedJson)) {
    if (binary) {
      patchedGlb = WithJsonChunk(bytes, std::move(patchedJson));
      if (patchedGlb.size() > 0xFFFFFFFFu) return context.fail(Translate("file too large"));
      bytes = patchedGlb;
    } else {
      bytes = AsBytes(patchedJson);
    }
  }
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
    return context.fail(Format("malformed glTF: %s", exception.what()));
  }
  // Required extensions are parsed before anything that could fail on
  // them, so a file that needs one we lack is refused for that reason.
  for (const std::string& extension : file.extensionsRequired) {
    if (!ExtensionSupported(extension))
      return context.fail(Format("required extension %s is not supported", extension.c_str()));
  }
  if (!loaded) return context.fail(FirstLine(error));
  TakeWarnings(warning, context);

  TriangleSoup& soup = Soup();
  soup.clear();
  GltfReader reader(file, soup, context);
  if (!reader.read()) return 0;
  if (!soup.commit(target.model, context, reader.primitivesRead() == 0)) return 0;
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

}  // namespace vexal
