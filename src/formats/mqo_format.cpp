#include "formats/mqo_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "formats/format_support.h"
#include "formats/free_lines.h"
#include "io/blanks.h"
#include "io/byte_reader.h"
#include "io/file_bytes.h"
#include "io/text_writer.h"
#include "io/line_reader.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/model.h"
#include "model/point_pair_table.h"
#include "settings/settings.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

// File materials 0..13 land in palette entries 1..14; a face's material j
// becomes (j + 1) mod 15, so the guide material 15 is never reached.
constexpr int kFileMaterials = 15;
constexpr int kMirrorX = 1;
constexpr int kMirrorY = 2;
constexpr int kMirrorZ = 4;

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

void SkipBlanks(const char*& cursor, const char* end) {
  while (cursor < end && IsSpaceOrTab(*cursor)) ++cursor;
}

// A finite real after optional blanks, with an optional leading "+".
bool ReadReal(const char*& cursor, const char* end, double& value) {
  SkipBlanks(cursor, end);
  const char* start = cursor;
  if (start < end && *start == '+') {
    ++start;
    if (start < end && (*start == '-' || *start == '+')) return false;
  }
  const auto [next, error] = std::from_chars(start, end, value);
  if (error != std::errc() || !std::isfinite(value)) return false;
  cursor = next;
  return true;
}

// A decimal integer after optional blanks; out-of-range values fail.
bool ReadInteger(const char*& cursor, const char* end, int64_t& value) {
  SkipBlanks(cursor, end);
  const char* start = cursor;
  if (start < end && *start == '+') ++start;
  const auto [next, error] = std::from_chars(start, end, value);
  if (error != std::errc()) return false;
  cursor = next;
  return true;
}

// The text after the first occurrence of marker, or nothing.
bool After(std::string_view line, std::string_view marker, const char*& cursor, const char*& end) {
  const size_t at = line.find(marker);
  if (at == std::string_view::npos) return false;
  cursor = line.data() + at + marker.size();
  end = line.data() + line.size();
  return true;
}

// The statement word and the integer after it ("mirror 1", "BVertex 8 {").
bool ReadWordAndInteger(std::string_view line, std::string_view word, int64_t& value) {
  const char* cursor;
  const char* end;
  if (!After(line, word, cursor, end)) return false;
  return ReadInteger(cursor, end, value);
}

int32_t ColorByte(double value, double factor) {
  const double scaled = std::trunc(value * factor);
  return static_cast<int32_t>(std::clamp(scaled, 0.0, 255.0));
}

// Lines of the file (CR dropped, LF ends a line) with a way to take raw
// bytes from the current position, for the binary point lists.
class MqoLines {
 public:
  explicit MqoLines(std::string_view text) : text_(text), reader_(text) {}

  bool next(std::string_view& line) {
    if (!reader_.next(line)) return false;
    number_ = firstLine_ + reader_.lineNumber();
    return true;
  }
  size_t number() const { return number_; }
  bool tooLong() const { return reader_.tooLong(); }
  // Takes count bytes that follow the last line read; false when fewer
  // remain.
  bool take(size_t count, std::string_view& bytes) {
    const size_t position = start_ + reader_.position();
    if (count > text_.size() - position) return false;
    bytes = text_.substr(position, count);
    start_ = position + count;
    firstLine_ = number_;
    reader_ = LineReader(text_.substr(start_));
    return true;
  }

 private:
  std::string_view text_;
  LineReader reader_;
  size_t start_ = 0;
  size_t firstLine_ = 0;
  size_t number_ = 0;
};

class MqoParser {
 public:
  MqoParser(Model& model, float scale, FormatContext& context)
      : model_(model), scale_(scale), context_(context) {}

  bool read(std::string_view text);

 private:
  bool fail(const std::string& what) {
    context_.fail(FormatMessage("line %zu: %s", lines_->number(), what.c_str()));
    return false;
  }
  bool materialChunk();
  bool objectChunk();
  bool vertexChunk();
  bool binaryVertexChunk(std::string_view line);
  bool faceChunk(int32_t base);
  bool faceLine(std::string_view line, int32_t base);
  bool addPoint(double x, double y, double z);
  void skipChunk(std::string_view opening);
  bool expandMirrors();
  bool mirrorPass(int bit, int axis);

  Model& model_;
  float scale_;
  FormatContext& context_;
  MqoLines* lines_ = nullptr;
  int materialCounter_ = 1;
  // Mirror value of every point, indexed like the point table.
  std::vector<int32_t> mirror_{0};
};

bool MqoParser::read(std::string_view text) {
  MqoLines lines(text);
  lines_ = &lines;
  std::string_view line;
  if (!lines.next(line) || line != "Metasequoia Document") {
    context_.fail(Translate("not a Metasequoia document"));
    return false;
  }
  // Version 1.1 keeps the chunks of 1.0 and adds others, skipped below.
  if (!lines.next(line) || (line != "Format Text Ver 1.0" && line != "Format Text Ver 1.1")) {
    context_.fail(Translate("not a \"Format Text Ver 1.0\" or \"Ver 1.1\" document"));
    return false;
  }
  ClearModel(model_);
  while (lines.next(line)) {
    if (StartsWith(line, "Eof")) break;
    if (StartsWith(line, "Material ")) {
      if (!materialChunk()) return false;
    } else if (StartsWith(line, "Object ")) {
      if (!objectChunk()) return false;
    } else if (!TrimBlanks(line).empty()) {
      // An empty line opens no chunk: skipping to the next "}" from there
      // would swallow the chunk that follows it.
      skipChunk(line);
    }
  }
  if (lines.tooLong()) return fail(Translate("line too long"));

  if (!CompactModel(model_, kCompactRebuildLines)) {
    context_.fail(Translate("the surfaces need more than 19999 lines"));
    return false;
  }
  ScaleModel(model_, scale_, scale_, scale_);
  for (int p = 1; p <= model_.pointCount; ++p) {
    const VECTOR& v = model_.points[p].position;
    if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) {
      context_.fail(FormatMessage("point %d out of range after scaling", p));
      return false;
    }
  }
  if (!expandMirrors()) return false;
  DeselectAll(model_);
  if (!CompactModel(model_, 0)) {
    context_.fail(Translate("more than 19999 points, lines or surfaces after mirroring"));
    return false;
  }
  return true;
}

void MqoParser::skipChunk(std::string_view opening) {
  const std::string_view trimmed = TrimBlanks(opening);
  const std::string_view word = trimmed.substr(0, std::min(trimmed.find_first_of(" \t{"), size_t{32}));
  // Chunks this reader knows and has no use for pass silently; any other
  // (the newer versions add several) is worth a warning.
  if (word != "Scene" && word != "BackImage" && word != "Thumbnail") {
    context_.warnings.push_back(FormatMessage("line %zu: chunk \"%.*s\" skipped", lines_->number(),
                                              static_cast<int>(word.size()), word.data()));
  }
  int depth = 0;
  for (char c : opening) depth += c == '{' ? 1 : c == '}' ? -1 : 0;
  if (depth <= 0) return;
  // Nested chunks close with their own braces; the chunk ends where the
  // count returns to zero.
  std::string_view line;
  while (lines_->next(line)) {
    for (char c : line) depth += c == '{' ? 1 : c == '}' ? -1 : 0;
    if (depth <= 0) return;
  }
}

bool MqoParser::materialChunk() {
  std::string_view line;
  while (lines_->next(line)) {
    if (StartsWith(line, "}")) return true;
    if (materialCounter_ < kFileMaterials) {
      MATERIAL& material = model_.materials[static_cast<size_t>(materialCounter_)];
      const size_t open = line.find('"');
      const size_t close = open == std::string_view::npos ? open : line.find('"', open + 1);
      if (close != std::string_view::npos) {
        std::string_view name = line.substr(open + 1, close - open - 1);
        name = name.substr(0, name.find(' '));
        if (!SetText(material.name, name)) return fail(Translate("material name longer than 259 characters"));
      }
      const char* cursor;
      const char* end;
      if (After(line, " col(", cursor, end)) {
        double r, g, b, a;
        if (ReadReal(cursor, end, r) && ReadReal(cursor, end, g) && ReadReal(cursor, end, b) &&
            ReadReal(cursor, end, a)) {
          material.light = {ColorByte(r, 255), ColorByte(g, 255), ColorByte(b, 255), ColorByte(a, 255)};
          material.dark = {ColorByte(r, 128), ColorByte(g, 128), ColorByte(b, 128), ColorByte(a, 255)};
        } else {
          context_.warnings.push_back(FormatMessage(
              "line %zu: material colour without four finite numbers skipped", lines_->number()));
        }
      }
      if (After(line, " tex(\"", cursor, end)) {
        const std::string_view rest(cursor, static_cast<size_t>(end - cursor));
        const size_t quote = rest.find('"');
        if (quote != std::string_view::npos && !SetText(material.texture, rest.substr(0, quote))) {
          return fail(Translate("texture file name longer than 259 characters"));
        }
      }
    }
    ++materialCounter_;
  }
  return true;
}

bool MqoParser::objectChunk() {
  const int32_t base = model_.pointCount;
  int32_t mirror = 0;
  std::string_view line;
  while (lines_->next(line)) {
    if (StartsWith(line, "}")) break;
    int64_t value = 0;
    if (Contains(line, "mirror ")) {
      if (ReadWordAndInteger(line, "mirror ", value)) mirror = value != 0 ? kMirrorX : 0;
    } else if (Contains(line, "mirror_axis ")) {
      if (ReadWordAndInteger(line, "mirror_axis ", value)) {
        mirror = static_cast<int32_t>(value & (kMirrorX | kMirrorY | kMirrorZ));
      }
    } else if (Contains(line, "BVertex ")) {
      if (!binaryVertexChunk(line)) return false;
    } else if (Contains(line, "vertex ") || Contains(line, "Vertex ")) {
      if (!vertexChunk()) return false;
    } else if (Contains(line, "face ")) {
      if (!faceChunk(base)) return false;
    }
  }
  // The object's final mirror setting applies to all of its points.
  for (int32_t p = base + 1; p <= model_.pointCount; ++p) mirror_[static_cast<size_t>(p)] = mirror;
  return true;
}

bool MqoParser::addPoint(double x, double y, double z) {
  if (model_.pointCount >= kMaxCount) return fail(Translate("more than 19999 points"));
  const int32_t p = ++model_.pointCount;
  SetPoint(model_, p, static_cast<float>(x), static_cast<float>(y), static_cast<float>(z),
           kStateNormal, 0);
  mirror_.push_back(0);
  return true;
}

bool MqoParser::vertexChunk() {
  std::string_view line;
  while (lines_->next(line)) {
    if (Contains(line, "}")) return true;
    const char* cursor = line.data();
    const char* end = cursor + line.size();
    double x, y, z;
    if (!ReadReal(cursor, end, x) || !ReadReal(cursor, end, y) || !ReadReal(cursor, end, z)) {
      return fail(Translate("a point needs three finite numbers"));
    }
    if (!addPoint(x, y, z)) return false;
  }
  return true;
}

bool MqoParser::binaryVertexChunk(std::string_view line) {
  int64_t count = 0;
  if (!ReadWordAndInteger(line, "BVertex ", count) || count < 0) {
    return fail(Translate("BVertex without a point count"));
  }
  if (count > kMaxCount - model_.pointCount) return fail(Translate("more than 19999 points"));
  std::string_view skipped;
  if (!lines_->next(skipped)) return fail(Translate("BVertex data missing"));
  std::string_view data;
  if (!lines_->take(static_cast<size_t>(count) * 12, data)) {
    return fail(
        FormatMessage("BVertex count %lld larger than the data", static_cast<long long>(count)));
  }
  ByteReader bytes(reinterpret_cast<const uint8_t*>(data.data()), data.size());
  for (int64_t i = 0; i < count; ++i) {
    const float x = bytes.f32le();
    const float y = bytes.f32le();
    const float z = bytes.f32le();
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) {
      return fail(FormatMessage("BVertex point %lld is not finite", static_cast<long long>(i)));
    }
    if (!addPoint(x, y, z)) return false;
  }
  lines_->next(skipped);
  return true;
}

bool MqoParser::faceChunk(int32_t base) {
  std::string_view line;
  while (lines_->next(line)) {
    if (Contains(line, "}")) return true;
    if (!faceLine(line, base)) return false;
  }
  return true;
}

bool MqoParser::faceLine(std::string_view line, int32_t base) {
  const char* cursor = line.data();
  const char* end = cursor + line.size();
  int64_t count = 0;
  if (!ReadInteger(cursor, end, count)) return fail(Translate("a face needs its vertex count"));
  if (count < 2 || count > 4) {
    context_.warnings.push_back(FormatMessage("line %zu: face of %lld vertices skipped",
                                              lines_->number(), static_cast<long long>(count)));
    return true;
  }
  const int n = static_cast<int>(count);
  const int64_t objectPoints = model_.pointCount - base;
  std::array<int32_t, 4> index{};
  if (!After(line, " V(", cursor, end)) return fail(Translate("a face needs V(...)"));
  for (int i = 0; i < n; ++i) {
    int64_t value = 0;
    if (!ReadInteger(cursor, end, value)) return fail(FormatMessage("a face needs %d indices", n));
    if (value < 0 || value >= objectPoints) {
      return fail(FormatMessage("face index %lld outside the object's %lld points",
                                static_cast<long long>(value),
                                static_cast<long long>(objectPoints)));
    }
    index[static_cast<size_t>(i)] = base + 1 + static_cast<int32_t>(value);
  }
  if (n == 2) {
    if (model_.lineCount >= kMaxCount) return fail(Translate("more than 19999 lines"));
    ++model_.lineCount;
    SetLine(model_, model_.lineCount, index[0], index[1], kStateNormal);
    return true;
  }
  int32_t material = 0;
  if (After(line, " M(", cursor, end)) {
    int64_t value = 0;
    if (!ReadInteger(cursor, end, value)) return fail(Translate("M( without a number"));
    // M(-1) is the format's "no material": it lands in 0 like a face
    // without M(; anything below is treated the same.
    material = value < 0 ? 0 : static_cast<int32_t>((value + 1) % kFileMaterials);
  }
  std::array<UV, 4> uv{};
  if (After(line, " UV(", cursor, end)) {
    for (int i = 0; i < n; ++i) {
      double u, v;
      if (!ReadReal(cursor, end, u) || !ReadReal(cursor, end, v)) {
        return fail(FormatMessage("UV( needs %d finite numbers", 2 * n));
      }
      uv[static_cast<size_t>(i)] = UV{static_cast<float>(u), static_cast<float>(1.0 - v)};
    }
  }
  const int corners = CollapseRepeatedCorners(index, uv, n);
  if (corners == 0) {
    context_.warnings.push_back(
        FormatMessage("line %zu: face without three distinct corners skipped", lines_->number()));
    return true;
  }
  if (model_.faceCount >= kMaxCount) return fail(Translate("more than 19999 surfaces"));
  const int32_t s = ++model_.faceCount;
  if (corners == 3) {
    SetFace(model_, s, index[2], index[1], index[0], index[2], material, kStateNormal);
    SetFaceUV(model_, s, uv[2], uv[1], uv[0], uv[2]);
  } else {
    SetFace(model_, s, index[3], index[2], index[1], index[0], material, kStateNormal);
    SetFaceUV(model_, s, uv[3], uv[2], uv[1], uv[0]);
  }
  return true;
}

bool MqoParser::expandMirrors() {
  return mirrorPass(kMirrorX, 0) && mirrorPass(kMirrorY, 1) && mirrorPass(kMirrorZ, 2);
}

bool MqoParser::mirrorPass(int bit, int axis) {
  const int32_t points = model_.pointCount;
  std::vector<int32_t> copyOf(static_cast<size_t>(points) + 1, 0);
  bool any = false;
  for (int32_t p = 1; p <= points; ++p) {
    if ((mirror_[static_cast<size_t>(p)] & bit) == 0) continue;
    if (model_.pointCount >= kMaxCount) {
      context_.fail(Translate("more than 19999 points after mirroring"));
      return false;
    }
    const int32_t q = ++model_.pointCount;
    VECTOR position = model_.points[p].position;
    if (axis == 0) position.x = -position.x;
    if (axis == 1) position.y = -position.y;
    if (axis == 2) position.z = -position.z;
    SetPoint(model_, q, position.x, position.y, position.z, kStateNormal, 0);
    mirror_.push_back(mirror_[static_cast<size_t>(p)]);
    copyOf[static_cast<size_t>(p)] = q;
    any = true;
  }
  if (!any) return true;
  for (int32_t p = 1; p <= points; ++p) {
    const int32_t q = copyOf[static_cast<size_t>(p)];
    if (q == 0) continue;
    if (bit == kMirrorX) {
      model_.points[p].mirror = q;
      model_.points[q].mirror = p;
    } else {
      const int32_t partner = model_.points[p].mirror;
      model_.points[q].mirror =
          partner >= 1 && partner <= points ? copyOf[static_cast<size_t>(partner)] : 0;
    }
  }
  const auto mapped = [&](int32_t p) {
    const int32_t q = p >= 1 && p <= points ? copyOf[static_cast<size_t>(p)] : 0;
    return q != 0 ? q : p;
  };

  const int32_t lineCount = model_.lineCount;
  std::vector<int32_t> lineCopy(static_cast<size_t>(lineCount) + 1, 0);
  for (int32_t l = 1; l <= lineCount; ++l) {
    const LINE& line = model_.lines[l];
    if (mapped(line.a) == line.a && mapped(line.b) == line.b) continue;
    if (model_.lineCount >= kMaxCount) {
      context_.fail(Translate("more than 19999 lines after mirroring"));
      return false;
    }
    const int32_t copy = ++model_.lineCount;
    SetLine(model_, copy, mapped(line.a), mapped(line.b), kStateNormal);
    lineCopy[static_cast<size_t>(l)] = copy;
  }

  // Pairs of the lines so far, for edges whose surface knew no line.
  PointPairTable pairs;
  bool pairsBuilt = false;
  const int32_t faceCount = model_.faceCount;
  for (int32_t s = 1; s <= faceCount; ++s) {
    const FACE source = model_.faces[s];
    bool touched = false;
    for (int32_t c : source.corners) touched = touched || mapped(c) != c;
    if (!touched) continue;
    if (model_.faceCount >= kMaxCount) {
      context_.fail(Translate("more than 19999 surfaces after mirroring"));
      return false;
    }
    const int32_t copy = ++model_.faceCount;
    FACE& face = model_.faces[copy];
    face = FACE{};
    for (size_t j = 0; j < 4; ++j) face.corners[j] = mapped(source.corners[j]);
    face.material = source.material;
    face.state = kStateNormal;
    face.uv = source.uv;
    const int corners = CornerCount(face);
    for (int j = 0; j < corners; ++j) {
      const int32_t r = source.lines[static_cast<size_t>(j)];
      const int32_t l = r < 0 ? -r : r;
      if (l >= 1 && l <= lineCount) {
        const int32_t target = lineCopy[static_cast<size_t>(l)] != 0 ? lineCopy[static_cast<size_t>(l)] : l;
        face.lines[static_cast<size_t>(j)] = r < 0 ? -target : target;
        continue;
      }
      const int32_t d = face.corners[static_cast<size_t>(j)];
      const int32_t e = face.corners[static_cast<size_t>((j + 1) % corners)];
      if (!pairsBuilt) {
        pairs.reset(static_cast<size_t>(model_.lineCount) * 2);
        for (int32_t i = 1; i <= model_.lineCount; ++i) {
          pairs.store(model_.lines[i].a, model_.lines[i].b, i);
          pairs.store(model_.lines[i].b, model_.lines[i].a, -i);
        }
        pairsBuilt = true;
      }
      int32_t found = pairs.find(d, e);
      if (found == 0) {
        if (model_.lineCount >= kMaxCount) {
          context_.fail(Translate("more than 19999 lines after mirroring"));
          return false;
        }
        found = ++model_.lineCount;
        SetLine(model_, found, d, e, kStateNormal);
        pairs.store(d, e, found);
        pairs.store(e, d, -found);
      }
      face.lines[static_cast<size_t>(j)] = found;
    }
    if (corners == 3) face.lines[3] = face.lines[0];
    FlipFace(model_, copy);
  }
  return true;
}


void WriteObjectHeader(TextWriter& out, const char* name, double facet) {
  out.printf("Object \"%s\" {\n", name);
  out.put("\tvisible 15\n\tlocking 0\n\tshading 1\n");
  out.printf("\tfacet %.1f\n", facet);
  out.put("\tcolor 0.898 0.498 0.698\n\tcolor_type 0\n");
}

// Writes the listed points (flag set) in point order and fills local with
// their 0-based positions in that list.
void WritePointList(TextWriter& out, const Model& model, const std::vector<uint8_t>& usedPoints,
                    std::vector<int32_t>& local, float scale) {
  int count = 0;
  for (int p = 1; p <= model.pointCount; ++p) count += usedPoints[static_cast<size_t>(p)];
  out.printf("\tvertex %d {\n", count);
  int next = 0;
  for (int p = 1; p <= model.pointCount; ++p) {
    if (!usedPoints[static_cast<size_t>(p)]) continue;
    local[static_cast<size_t>(p)] = next++;
    const VECTOR& v = model.points[p].position;
    out.printf("\t\t%.4f %.4f %.4f\n", static_cast<double>(v.x * scale),
               static_cast<double>(v.y * scale), static_cast<double>(v.z * scale));
  }
  out.put("\t}\n");
}

}  // namespace

int ReadMqoBytes(std::span<const uint8_t> bytes, const std::string& /*name*/, ReadTarget& target,
                 FormatContext& context) {
  const float scale = context.settings ? context.settings->MqoImportScale : 0.01f;
  MqoParser parser(target.model, scale, context);
  return parser.read(AsText(bytes)) ? 1 : 0;
}

int LoadMqoFile(Document& document, const std::string& path, FormatContext& context) {
  return LoadModelFile(document, path, ReadMqoBytes, context);
}

int SaveMqoFile(Document& document, const std::string& path, FormatContext& context) {
  const Model& model = document.model;
  const float scale = context.settings ? context.settings->MqoExportScale : 100.0f;
  TextWriter out;
  out.put("Metasequoia Document\nFormat Text Ver 1.0\n\n");
  out.put("Scene {\n\tpos 0.0000 0.0000 1500.0000\n\tlookat 0.0000 0.0000 0.0000\n"
          "\thead -0.5236\n\tpich 0.5236\n\tortho 0\n\tzoom2 5.0000\n"
          "\tamb 0.250 0.250 0.250\n}\n");
  out.put("Material 15 {\n");
  for (int m = 0; m < kFileMaterials; ++m) {
    const MATERIAL& material = model.materials[static_cast<size_t>(m)];
    out.printf("\t\"%s\" shader(3) col(%.3f %.3f %.3f %.3f) dif(1.000) amb(0.250) emi(0.250) "
               "spc(0.000) power(5.00)",
               std::string(TextOf(material.name)).c_str(), material.light[0] / 255.0,
               material.light[1] / 255.0, material.light[2] / 255.0, material.light[3] / 255.0);
    const std::string_view texture = TextOf(material.texture);
    if (!texture.empty()) {
      out.printf(" tex(\"%s\")\n", std::string(texture).c_str());
    } else {
      out.put("\n");
    }
  }
  out.put("}\n");

  const size_t slots = static_cast<size_t>(model.pointCount) + 1;
  std::vector<uint8_t> usedPoints(slots, 0);
  std::vector<int32_t> local(slots, 0);

  const std::vector<int32_t> freeLines = FreeLines(model);
  if (!freeLines.empty()) {
    for (int32_t l : freeLines) {
      usedPoints[static_cast<size_t>(model.lines[l].a)] = 1;
      usedPoints[static_cast<size_t>(model.lines[l].b)] = 1;
    }
    WriteObjectHeader(out, "line", 59.5);
    WritePointList(out, model, usedPoints, local, scale);
    out.printf("\tface %d {\n", static_cast<int>(freeLines.size()));
    for (int32_t l : freeLines) {
      out.printf("\t\t2 V(%d %d)\n", local[static_cast<size_t>(model.lines[l].a)],
                 local[static_cast<size_t>(model.lines[l].b)]);
    }
    out.put("\t}\n}\n");
  }

  for (int m = 0; m < kFileMaterials; ++m) {
    std::fill(usedPoints.begin(), usedPoints.end(), 0);
    int faces = 0;
    for (int s = 1; s <= model.faceCount; ++s) {
      const FACE& f = model.faces[s];
      if (f.material != m) continue;
      ++faces;
      for (int32_t c : f.corners) usedPoints[static_cast<size_t>(c)] = 1;
    }
    if (faces == 0) continue;
    const MATERIAL& material = model.materials[static_cast<size_t>(m)];
    WriteObjectHeader(out, std::string(TextOf(material.name)).c_str(),
                      static_cast<double>(material.smoothingAngle));
    WritePointList(out, model, usedPoints, local, scale);
    out.printf("\tface %d {\n", faces);
    for (int s = 1; s <= model.faceCount; ++s) {
      const FACE& f = model.faces[s];
      if (f.material != m) continue;
      const auto at = [&](int corner) { return local[static_cast<size_t>(f.corners[static_cast<size_t>(corner)])]; };
      const bool quad = IsQuad(f);
      // Corners are written in reverse; a triangle's corner 3 repeats 0.
      const std::array<int, 4> order = quad ? std::array<int, 4>{3, 2, 1, 0} : std::array<int, 4>{2, 1, 0, 0};
      const int written = quad ? 4 : 3;
      if (quad) {
        out.printf("\t\t4 V(%d %d %d %d) M(%d)", at(3), at(2), at(1), at(0), m);
      } else {
        out.printf("\t\t3 V(%d %d %d) M(%d)", at(2), at(1), at(0), m);
      }
      bool anyUV = false;
      for (int i = 0; i < written; ++i) {
        const UV& uv = f.uv[static_cast<size_t>(order[static_cast<size_t>(i)])];
        anyUV = anyUV || uv.u != 0.0f || uv.v != 0.0f;
      }
      if (!anyUV) {
        out.put("\n");
        continue;
      }
      out.put(" UV(");
      for (int i = 0; i < written; ++i) {
        const UV& uv = f.uv[static_cast<size_t>(order[static_cast<size_t>(i)])];
        out.printf(i == 0 ? "%.5f %.5f" : " %.5f %.5f", static_cast<double>(uv.u),
                   1.0 - static_cast<double>(uv.v));
      }
      out.put(")\n");
    }
    out.put("\t}\n}\n");
  }
  out.put("Eof\n");
  std::string why;
  if (!out.buffer().commit(path, &why)) return context.fail(why);
  return 1;
}

}  // namespace vexal
