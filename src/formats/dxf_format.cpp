#include "formats/dxf_format.h"

#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/format_support.h"
#include "io/blanks.h"
#include "io/file_bytes.h"
#include "io/line_reader.h"
#include "io/message_catalog.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/point_pair_table.h"
#include "settings/settings.h"

namespace vexal {
namespace {

bool StartsWith(std::string_view text, std::string_view keyword) {
  return text.substr(0, keyword.size()) == keyword;
}

bool ParseInt(std::string_view text, int32_t& value) {
  text = TrimWhiteSpace(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

bool ParseReal(std::string_view text, double& value) {
  text = TrimWhiteSpace(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

// Group code and value pairs over the file's lines.
class PairReader {
 public:
  enum Result { kPair, kEnd, kBad };

  explicit PairReader(std::string_view text) : lines_(text) {}

  Result next() {
    std::string_view codeLine;
    if (!lines_.next(codeLine))
      return lines_.tooLong() ? bad(Translate("a line is too long")) : kEnd;
    codeLine_ = lines_.lineNumber();
    if (!ParseInt(codeLine, code)) {
      return bad(Format("line %zu: group code %s is not a number", codeLine_,
                        Quoted(codeLine).c_str()));
    }
    if (!lines_.next(value)) {
      if (lines_.tooLong()) return bad(Translate("a line is too long"));
      // A code without its value: the file was cut inside an entity.
      return kEnd;
    }
    return kPair;
  }

  size_t line() const { return codeLine_; }
  const std::string& error() const { return error_; }

  int32_t code = 0;
  std::string_view value;

 private:
  Result bad(std::string why) {
    error_ = FormatMessage("DXF: %s", why.c_str());
    return kBad;
  }

  LineReader lines_;
  size_t codeLine_ = 0;
  std::string error_;
};

// Layer names by number in order of first appearance; the 256th and every
// later new name take number 255. Names are told apart by their first 259
// characters, which also bounds what the table holds.
class LayerTable {
 public:
  int numberOf(std::string_view name) {
    name = name.substr(0, kNameLength);
    if (last_ >= 0 && names_[static_cast<size_t>(last_)] == name) return last_;
    for (size_t i = 0; i < names_.size(); ++i) {
      if (names_[i] == name) return last_ = static_cast<int>(i);
    }
    if (names_.size() < kLastSlot + 1) {
      names_.emplace_back(name);
    } else {
      names_[kLastSlot] = std::string(name);
    }
    return last_ = static_cast<int>(names_.size() - 1);
  }

  int materialOf(std::string_view name) { return numberOf(name) % 15; }

 private:
  static constexpr size_t kLastSlot = 255;
  static constexpr size_t kNameLength = 259;
  std::vector<std::string> names_;
  int last_ = -1;
};

// What a group value holds, read or refused with the line it stood on.
struct ValueParser {
  PairReader& pairs;
  std::string error;

  bool real(double& value) {
    if (!ParseReal(pairs.value, value) || !std::isfinite(value)) {
      error = Format("DXF: line %zu: %s is not a finite number", pairs.line() + 1,
                     Quoted(pairs.value).c_str());
      return false;
    }
    return true;
  }

  bool coordinate(float scale, float& out) {
    double value;
    if (!real(value)) return false;
    out = static_cast<float>(value) * scale;
    if (!std::isfinite(out)) {
      error = Format("DXF: line %zu: coordinate %s is out of range", pairs.line() + 1,
                     Quoted(pairs.value).c_str());
      return false;
    }
    return true;
  }

  bool integer(int32_t& value) {
    if (!ParseInt(pairs.value, value)) {
      error = Format("DXF: line %zu: %s is not an integer", pairs.line() + 1,
                     Quoted(pairs.value).c_str());
      return false;
    }
    return true;
  }
};

// Reads the groups of the current entity up to the next group 0, handing
// each to visit (which returns false to refuse the file).
template <typename Visit>
PairReader::Result ReadEntity(PairReader& pairs, Visit&& visit, bool& refused) {
  while (true) {
    const PairReader::Result result = pairs.next();
    if (result != PairReader::kPair) return result;
    if (pairs.code == 0) return result;
    if (!visit()) {
      refused = true;
      return PairReader::kBad;
    }
  }
}

// Walks from the pair in result to the next entity named wanted (a group 0
// pair), counting the entities named other on the way, which the reader of
// wanted ignores. False at the EOF entity (sawEof set), at the end of the
// text and at a bad pair, which result then tells apart.
bool NextEntity(PairReader& pairs, PairReader::Result& result, std::string_view wanted,
                std::string_view other, int& ignored, bool& sawEof) {
  while (result == PairReader::kPair) {
    if (pairs.code == 0) {
      if (StartsWith(pairs.value, "EOF")) {
        sawEof = true;
        return false;
      }
      if (StartsWith(pairs.value, other)) ++ignored;
      if (StartsWith(pairs.value, wanted)) return true;
    }
    result = pairs.next();
  }
  return false;
}

enum class SurfaceKind { kNone, kFaces, kPolyface };

SurfaceKind FindSurfaceKind(std::string_view text, std::string& error) {
  PairReader pairs(text);
  PairReader::Result result;
  while ((result = pairs.next()) == PairReader::kPair) {
    if (pairs.code != 0) continue;
    if (StartsWith(pairs.value, "POLYLINE")) return SurfaceKind::kPolyface;
    if (StartsWith(pairs.value, "3DFACE")) return SurfaceKind::kFaces;
    if (StartsWith(pairs.value, "EOF")) break;
  }
  if (result == PairReader::kBad) error = pairs.error();
  return SurfaceKind::kNone;
}

class DxfReader {
 public:
  DxfReader(std::string_view text, Model& model, FormatContext& context)
      : text_(text), model_(model), context_(context),
        scale_(SettingsOf(context).DxfImportScale) {}

  int readFaces();
  int readPolyface();

 private:
  struct PolyFace {
    std::array<int32_t, 4> corners;  // signed: negative starts an invisible edge
    bool quad;
    int32_t material;
    bool removed;
  };

  int refuse(std::string why) { return context_.fail(std::move(why)); }
  int endOfFile(bool sawEof);
  int addLine(int32_t a, int32_t b);
  int buildPolyface(std::vector<PolyFace>& faces);

  std::string_view text_;
  Model& model_;
  FormatContext& context_;
  float scale_;
  LayerTable layers_;
  PointPairTable pairTable_;
};

int DxfReader::endOfFile(bool sawEof) {
  if (!sawEof) context_.warnings.push_back(Translate("DXF: the file has no EOF entity"));
  return 1;
}

int DxfReader::readFaces() {
  PairReader pairs(text_);
  ValueParser parse{pairs, {}};
  bool sawEof = false;
  int ignored = 0;
  PairReader::Result result = pairs.next();
  while (NextEntity(pairs, result, "3DFACE", "POLYLINE", ignored, sawEof)) {
    const size_t entityLine = pairs.line();
    if (model_.faceCount >= kMaxCount) {
      return refuse(Format("DXF: line %zu: more than %d surfaces", entityLine, kMaxCount));
    }
    std::array<VECTOR, 4> corner{};
    bool fourthGiven = false;
    bool layerGiven = false;
    int material = 0;
    bool refused = false;
    result = ReadEntity(
        pairs,
        [&]() {
          const int32_t code = pairs.code;
          if (code == 8) {
            material = layers_.materialOf(pairs.value);
            layerGiven = true;
            return true;
          }
          if (code < 10 || code > 33 || code % 10 > 3) return true;
          const int axis = code / 10 - 1;
          const int index = code % 10;
          if (index == 3) fourthGiven = true;
          float* target = axis == 0 ? &corner[index].x : axis == 1 ? &corner[index].y : &corner[index].z;
          return parse.coordinate(scale_, *target);
        },
        refused);
    if (refused) return refuse(parse.error);
    if (result == PairReader::kBad) return refuse(pairs.error());
    if (result == PairReader::kEnd) {
      return refuse(Format("DXF: the file ends inside the 3DFACE entity of line %zu", entityLine));
    }
    if (!layerGiven) material = layers_.materialOf("0");

    const bool quad = fourthGiven && !(corner[3] == corner[2]);
    const int first = model_.pointCount + 1;
    const int corners = quad ? 4 : 3;
    for (int k = 0; k < corners; ++k) {
      SetPoint(model_, first + k, corner[k].x, corner[k].y, corner[k].z, kStateNormal, 0);
    }
    model_.pointCount += corners;
    const int surface = ++model_.faceCount;
    SetFace(model_, surface, first, first + 1, first + 2, quad ? first + 3 : first, material,
            kStateNormal);
  }
  if (result == PairReader::kBad) return refuse(pairs.error());
  if (ignored > 0) {
    context_.warnings.push_back(Format("DXF: %d POLYLINE entities ignored in a 3DFACE file", ignored));
  }
  if (!CompactModel(model_, kCompactMerge | kCompactRebuildLines)) {
    return refuse(Format("DXF: the merged model passes the %d record limit", kMaxCount));
  }
  return endOfFile(sawEof);
}

int DxfReader::addLine(int32_t a, int32_t b) {
  if (model_.lineCount >= kMaxCount) {
    return refuse(Format("DXF: the surfaces need more than %d lines", kMaxCount));
  }
  const int32_t line = ++model_.lineCount;
  SetLine(model_, line, a, b, kStateNormal);
  pairTable_.store(a, b, -line);
  pairTable_.store(b, a, -line);
  return 1;
}

int DxfReader::readPolyface() {
  PairReader pairs(text_);
  ValueParser parse{pairs, {}};
  std::vector<PolyFace> faces;
  bool sawEof = false;
  int ignored = 0;
  PairReader::Result result = pairs.next();
  while (NextEntity(pairs, result, "POLYLINE", "3DFACE", ignored, sawEof)) {
    const size_t polylineLine = pairs.line();
    const int32_t base = model_.pointCount;
    const size_t firstFace = faces.size();
    bool refused = false;
    bool closed = false;
    result = ReadEntity(pairs, [] { return true; }, refused);
    while (result == PairReader::kPair) {
      if (StartsWith(pairs.value, "SEQEND")) {
        closed = true;
        result = ReadEntity(pairs, [] { return true; }, refused);
        break;
      }
      if (StartsWith(pairs.value, "EOF") || StartsWith(pairs.value, "POLYLINE")) break;
      if (!StartsWith(pairs.value, "VERTEX")) {
        result = ReadEntity(pairs, [] { return true; }, refused);
        continue;
      }
      const size_t vertexLine = pairs.line();
      VECTOR position;
      int32_t flags = 0;
      std::array<int32_t, 4> index{};
      bool layerGiven = false;
      int material = 0;
      result = ReadEntity(
          pairs,
          [&]() {
            switch (pairs.code) {
              case 8:
                material = layers_.materialOf(pairs.value);
                layerGiven = true;
                return true;
              case 10: return parse.coordinate(scale_, position.x);
              case 20: return parse.coordinate(scale_, position.y);
              case 30: return parse.coordinate(scale_, position.z);
              case 70: return parse.integer(flags);
              case 71:
              case 72:
              case 73:
              case 74: return parse.integer(index[static_cast<size_t>(pairs.code - 71)]);
              default: return true;
            }
          },
          refused);
      if (refused) return refuse(parse.error);
      if (result == PairReader::kEnd) break;
      if (result == PairReader::kBad) return refuse(pairs.error());
      if (!layerGiven) material = layers_.materialOf("0");

      if ((flags & 192) == 192) {
        if (model_.pointCount >= kMaxCount) {
          return refuse(Format("DXF: line %zu: more than %d points", vertexLine, kMaxCount));
        }
        const int point = ++model_.pointCount;
        SetPoint(model_, point, position.x, position.y, position.z, kStateNormal, 0);
      } else if ((flags & 192) == 128) {
        if (faces.size() >= static_cast<size_t>(kMaxCount)) {
          return refuse(Format("DXF: line %zu: more than %d surfaces", vertexLine, kMaxCount));
        }
        const bool quad = index[3] != 0;
        const int corners = quad ? 4 : 3;
        PolyFace face{{}, quad, material, false};
        int negatives = 0;
        for (int k = 0; k < corners; ++k) {
          const int32_t value = index[static_cast<size_t>(k)];
          // Checked against the mesh once its SEQEND is read; this bound
          // only keeps the arithmetic below from overflowing.
          if (value == 0 || value < -kMaxCount || value > kMaxCount) {
            return refuse(Format("DXF: line %zu: face record index %d is outside the mesh",
                                 vertexLine, value));
          }
          face.corners[static_cast<size_t>(k)] = value > 0 ? value + base : value - base;
          if (value < 0) ++negatives;
        }
        if (!quad) face.corners[3] = face.corners[0];
        if (quad || negatives > 1) {
          for (int32_t& c : face.corners) c = std::abs(c);
        }
        faces.push_back(face);
      }
    }
    if (result == PairReader::kBad) return refuse(refused ? parse.error : pairs.error());
    if (result == PairReader::kEnd && !closed) {
      return refuse(Format("DXF: the file ends inside the POLYLINE of line %zu", polylineLine));
    }
    if (!closed) {
      context_.warnings.push_back(
          Format("DXF: the POLYLINE of line %zu has no SEQEND", polylineLine));
    }
    const int32_t last = model_.pointCount;
    for (size_t f = firstFace; f < faces.size(); ++f) {
      for (int32_t corner : faces[f].corners) {
        const int32_t point = std::abs(corner);
        if (point <= base || point > last) {
          return refuse(Format(
              "DXF: a face record of the POLYLINE of line %zu names vertex %d of a mesh of %d",
              polylineLine, point - base, last - base));
        }
      }
    }
  }
  if (result == PairReader::kBad) return refuse(pairs.error());
  if (ignored > 0) {
    context_.warnings.push_back(Format("DXF: %d 3DFACE entities ignored in a polyface file", ignored));
  }
  if (!buildPolyface(faces)) return 0;
  return endOfFile(sawEof);
}

// Lines for the surfaces' edges, and triangle pairs split along an invisible
// edge joined back into quads. The pair table holds, per pair of points, a
// positive 1-based face number of the triangle whose invisible edge it is, or
// a negative line index once the edge has a line.
int DxfReader::buildPolyface(std::vector<PolyFace>& faces) {
  pairTable_.reset(faces.size() * 4);
  for (size_t t = 0; t < faces.size(); ++t) {
    PolyFace& face = faces[t];
    const int32_t self = static_cast<int32_t>(t) + 1;
    if (face.quad) {
      for (int j = 0; j < 4; ++j) {
        const int32_t a = face.corners[static_cast<size_t>(j)];
        const int32_t b = face.corners[static_cast<size_t>((j + 1) % 4)];
        if (pairTable_.find(a, b) >= 0 && !addLine(a, b)) return 0;
      }
      continue;
    }
    for (int n = 0; n < 3; ++n) {
      const int32_t raw = face.corners[static_cast<size_t>(n)];
      const int32_t a = std::abs(raw);
      const int32_t b = std::abs(face.corners[static_cast<size_t>((n + 1) % 3)]);
      const int32_t entry = pairTable_.find(a, b);
      if (raw >= 0) {
        if (entry >= 0 && !addLine(a, b)) return 0;
        continue;
      }
      if (entry == 0) {
        pairTable_.store(a, b, self);
        pairTable_.store(b, a, self);
        continue;
      }
      if (entry < 0 || entry == self) continue;
      // Another triangle owns the same invisible edge: it takes this
      // triangle's far corner between the edge's two ends.
      PolyFace& other = faces[static_cast<size_t>(entry - 1)];
      const int32_t far = std::abs(face.corners[static_cast<size_t>((n + 2) % 3)]);
      int hidden = -1;
      for (int k = 0; k < 3; ++k) {
        if (other.corners[static_cast<size_t>(k)] < 0) hidden = k;
      }
      std::array<int32_t, 3> ring{};
      for (int k = 0; k < 3; ++k) ring[static_cast<size_t>(k)] = std::abs(other.corners[static_cast<size_t>(k)]);
      if (hidden < 0 || far == ring[0] || far == ring[1] || far == ring[2]) continue;
      std::array<int32_t, 4> quad{};
      int w = 0;
      for (int k = 0; k < 3; ++k) {
        quad[static_cast<size_t>(w++)] = ring[static_cast<size_t>(k)];
        if (k == hidden) quad[static_cast<size_t>(w++)] = far;
      }
      other.corners = quad;
      other.quad = true;
      face.removed = true;
      pairTable_.store(a, b, 0);
      pairTable_.store(b, a, 0);
      break;
    }
  }

  int surface = 0;
  int skipped = 0;
  for (PolyFace& face : faces) {
    if (face.removed) continue;
    for (int32_t& c : face.corners) c = std::abs(c);
    if (!face.quad) face.corners[3] = face.corners[0];
    std::array<UV, 4> noUv{};
    const int corners = CollapseRepeatedCorners(face.corners, noUv, face.quad ? 4 : 3);
    if (corners == 0) {
      ++skipped;
      continue;
    }
    for (int j = 0; j < corners; ++j) {
      const int32_t a = face.corners[static_cast<size_t>(j)];
      const int32_t b = face.corners[static_cast<size_t>((j + 1) % corners)];
      if (pairTable_.find(a, b) >= 0 && !addLine(a, b)) return 0;
    }
    ++surface;
    SetFace(model_, surface, face.corners[0], face.corners[1], face.corners[2], face.corners[3],
            face.material, kStateNormal);
  }
  model_.faceCount = surface;
  if (skipped > 0) {
    context_.warnings.push_back(
        Format("DXF: %d face records without three distinct corners skipped", skipped));
  }
  RelinkFaces(model_);
  return 1;
}

// Writes "%f" of value into out followed by CR LF.
void PutReal(OutputBuffer& out, float value) { out.printf("%f\r\n", static_cast<double>(value)); }

// Layer names go out one per line: a line break inside one would shift
// every pair after it.
std::string LayerName(const MATERIAL& material) {
  std::string name(TextOf(material.name));
  for (char& c : name) {
    if (c == '\r' || c == '\n') c = '_';
  }
  return name;
}

// The position written for a point: scaled, and turned +90 degrees about X
// when the setting asks for it.
VECTOR ExportPosition(const Model& model, int point, const Settings& settings) {
  const VECTOR& p = model.points[point].position;
  const float s = settings.DxfExportScale;
  if (settings.DxfRotateExport != 0) return VECTOR(p.x * s, -p.z * s, p.y * s);
  return VECTOR(p.x * s, p.y * s, p.z * s);
}

// DXF holds surfaces only, and its reader refuses a file without one: a
// model with nothing to write is refused before the file is made.
bool HasWrittenSurface(const Model& model) {
  for (int s = 1; s <= model.faceCount; ++s) {
    if (model.faces[s].material >= 0 && model.faces[s].material < kGuideMaterial) return true;
  }
  return false;
}

constexpr const char* kNothingToWrite = MarkMessage(
    "DXF: the model has no surfaces to write (guide surfaces are left out); an empty DXF file "
    "could not be opened again");

int Commit(const OutputBuffer& out, const std::string& path, FormatContext& context) {
  std::string why;
  if (!out.commit(path, &why)) return context.fail(FormatMessage("DXF: %s", why.c_str()));
  return 1;
}

}  // namespace

int ReadDxfBytes(std::span<const uint8_t> bytes, const std::string& /*name*/, ReadTarget& target,
                 FormatContext& context) {
  std::string_view text = AsText(bytes);
  // A UTF-8 byte order mark some editors put in front of a text file.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

  std::string error;
  const SurfaceKind kind = FindSurfaceKind(text, error);
  if (kind == SurfaceKind::kNone) {
    return context.fail(error.empty() ? Translate("DXF: no 3DFACE or POLYLINE entity") : error);
  }

  Model* model = &target.model;
  DxfReader reader(text, *model, context);
  const int read = kind == SurfaceKind::kFaces ? reader.readFaces() : reader.readPolyface();
  if (!read) return 0;
  if (!CompactModel(*model, kCompactRequirePoints)) {
    return context.fail(model->pointCount <= 0
                            ? Translate("DXF: the file holds no points")
                            : Translate("DXF: the model passes the 19999 record limit"));
  }
  if (SettingsOf(context).DxfRotateImport != 0) {
    for (int i = 1; i <= model->pointCount; ++i) {
      VECTOR& p = model->points[i].position;
      p.set(p.x, p.z, -p.y);
    }
  }
  return 1;
}

int LoadDxfFile(Document& document, const std::string& path, FormatContext& context) {
  return LoadModelFile(document, path, ReadDxfBytes, context);
}

int SaveDxf3DFaceFile(Document& document, const std::string& path, FormatContext& context) {
  const Model& model = document.model;
  if (!HasWrittenSurface(model)) return context.fail(Translate(kNothingToWrite));
  const Settings& settings = SettingsOf(context);
  std::array<std::string, kMaterialCount> names;
  for (int m = 0; m < kMaterialCount; ++m) names[static_cast<size_t>(m)] = LayerName(model.materials[static_cast<size_t>(m)]);

  OutputBuffer out;
  out.put("0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\n");
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.material < 0 || face.material >= kGuideMaterial) continue;
    out.put("3DFACE\r\n8\r\n");
    out.put(names[static_cast<size_t>(face.material)]);
    out.printf("\r\n62\r\n%d\r\n", face.material);
    const bool quad = IsQuad(face);
    for (int k = 0; k < 4; ++k) {
      const int corner = k < 3 ? face.corners[static_cast<size_t>(k)] : face.corners[quad ? 3 : 2];
      const VECTOR p = ExportPosition(model, corner, settings);
      out.printf("1%d\r\n", k);
      PutReal(out, p.x);
      out.printf("2%d\r\n", k);
      PutReal(out, p.y);
      out.printf("3%d\r\n", k);
      PutReal(out, p.z);
    }
    out.put("0\r\n");
  }
  out.put("ENDSEC\r\n0\r\nEOF\r\n");
  return Commit(out, path, context);
}

int SaveDxfPolylineFile(Document& document, const std::string& path, FormatContext& context) {
  const Model& model = document.model;
  if (!HasWrittenSurface(model)) return context.fail(Translate(kNothingToWrite));
  const Settings& settings = SettingsOf(context);

  OutputBuffer out;
  out.put("0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\n");
  std::vector<int32_t> local(static_cast<size_t>(model.pointCount) + 1, 0);
  std::vector<int32_t> used;
  std::vector<int> surfaces;
  for (int m = 0; m < kGuideMaterial; ++m) {
    const std::string name = LayerName(model.materials[static_cast<size_t>(m)]);
    // Points numbered 1..n in order of first use by this material's surfaces.
    used.clear();
    surfaces.clear();
    for (int s = 1; s <= model.faceCount; ++s) {
      const FACE& face = model.faces[s];
      if (face.material != m) continue;
      surfaces.push_back(s);
      for (int k = 0; k < CornerCount(face); ++k) {
        const int32_t point = face.corners[static_cast<size_t>(k)];
        if (local[static_cast<size_t>(point)] == 0) {
          used.push_back(point);
          local[static_cast<size_t>(point)] = static_cast<int32_t>(used.size());
        }
      }
    }
    out.put("POLYLINE\r\n8\r\n");
    out.put(name);
    out.printf("\r\n66\r\n1\r\n70\r\n64\r\n71\r\n%d\r\n72\r\n%d\r\n0\r\n", static_cast<int>(used.size()),
               static_cast<int>(surfaces.size()));
    for (int32_t point : used) {
      const VECTOR p = ExportPosition(model, point, settings);
      out.put("VERTEX\r\n8\r\n");
      out.put(name);
      out.put("\r\n10\r\n");
      PutReal(out, p.x);
      out.put("20\r\n");
      PutReal(out, p.y);
      out.put("30\r\n");
      PutReal(out, p.z);
      out.put("70\r\n192\r\n0\r\n");
    }
    for (int s : surfaces) {
      const FACE& face = model.faces[s];
      const auto number = [&](int k) { return local[static_cast<size_t>(face.corners[static_cast<size_t>(k)])]; };
      out.put("VERTEX\r\n8\r\n");
      out.put(name);
      out.printf("\r\n10\r\n0\r\n20\r\n0\r\n30\r\n0\r\n70\r\n128\r\n71\r\n%d\r\n72\r\n%d\r\n73\r\n%d\r\n",
                 number(0), number(1), number(2));
      if (IsQuad(face)) out.printf("74\r\n%d\r\n", number(3));
      out.put("0\r\n");
    }
    out.put("SEQEND\r\n0\r\n");
    for (int32_t point : used) local[static_cast<size_t>(point)] = 0;
  }
  out.put("ENDSEC\r\n0\r\nEOF\r\n");
  return Commit(out, path, context);
}

}  // namespace vexal
