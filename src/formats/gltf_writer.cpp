// The glTF writer: one mesh with a triangle primitive per palette entry in
// use, built into a tinygltf model and written as ".gltf" with its ".bin"
// (and the textures) beside it, or as one ".glb".
#include "formats/gltf_format.h"
#include "io/message_catalog.h"

#include <sys/stat.h>
#include <tiny_gltf.h>

#include <nlohmann/json.hpp>
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
#include "formats/gltf_files.h"
#include "formats/triangle_soup.h"
#include "io/file_bytes.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/model.h"

namespace vexal {

using namespace gltf;

namespace {

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
        context_.warnings.push_back(
            Format("texture %s not embedded: %s", std::string(texture).c_str(), why.c_str()));
      }
    } else if (mime == nullptr) {
      context_.warnings.push_back(
          Format("texture %s is neither PNG nor JPEG: referred to by name only", name.c_str()));
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

  // An empty model is written without a scene: tinygltf writes a scene
  // without nodes as null, which no reader accepts.
  if (!vertices_.empty()) {
    tinygltf::Scene scene;
    out.defaultScene = 0;
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
    out.scenes.push_back(scene);
  }
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
      return context.fail(Format("%s: the container could not be made", format));
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
    return context.fail(
        Format("%s: cannot create a temporary folder beside %s", format, path.c_str()));
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
    return context.fail(Format("%s: cannot write %s", format, path.c_str()));
  }
  for (const GltfBuilder::Copy& copy : builder.copies()) {
    const std::string target = folder + copy.name;
    if (copy.source == target) continue;
    std::vector<uint8_t> bytes;
    std::string why;
    if (!ReadFileBytes(copy.source, bytes, &why)) {
      context.warnings.push_back(
          Format("texture %s not copied: %s", copy.name.c_str(), why.c_str()));
      continue;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!WriteFileAtomically(target, text, &why)) {
      context.warnings.push_back(
          Format("texture %s not copied: %s", copy.name.c_str(), why.c_str()));
    }
  }
  if ((!file.buffers.empty() && std::rename(stagedBin.c_str(), (folder + binName).c_str()) != 0) ||
      std::rename(stagedJson.c_str(), path.c_str()) != 0) {
    cleanUp();
    return context.fail(Format("%s: cannot write %s", format, path.c_str()));
  }
  ::rmdir(staging.c_str());
  return 1;
}

}  // namespace

int SaveGltfFile(Document& document, const std::string& path, FormatContext& context) {
  return SaveGltf(document, path, context, false);
}

int SaveGlbFile(Document& document, const std::string& path, FormatContext& context) {
  return SaveGltf(document, path, context, true);
}

}  // namespace vexal
