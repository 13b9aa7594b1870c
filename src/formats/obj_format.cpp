#include "formats/obj_format.h"

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
#include "io/file_bytes.h"
#include "io/text_writer.h"
#include "io/line_reader.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/model.h"
#include "settings/settings.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

constexpr size_t kMaxTextureCoordinates = 80000;
constexpr size_t kMaxJoinedLine = 8190;
constexpr size_t kMaterialNameSlots = 256;
constexpr size_t kMaxMaterialName = 255;
// Materials 0..14 take names, colours and textures from a file; 15 is the
// guide material and stays as it is.
constexpr int kFileMaterials = 15;

// A statement word alone or followed by a blank (space or tab); rest is
// what follows the blank.
bool IsStatement(std::string_view text, std::string_view word, std::string_view& rest) {
  if (text.size() < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (text[i] != word[i]) return false;
  }
  if (text.size() == word.size()) {
    // Empty, but still pointing into the text: a null view must not reach
    // the copies that store names.
    rest = text.substr(word.size());
    return true;
  }
  if (!IsSpaceOrTab(text[word.size()])) return false;
  rest = text.substr(word.size() + 1);
  return true;
}

// Powers of ten exactly representable as doubles.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a real after optional blanks, as a free-format conversion would:
// an optional sign, digits, a fraction and an exponent. False when no number
// stands there or it is not finite.
//
// Plain decimals of up to 19 digits (what exporters write) take a fast path:
// an integer mantissa below 2^53 divided by an exact power of ten is the
// correctly rounded double. Everything else goes to std::from_chars.
bool ReadReal(const char*& cursor, const char* end, double& value) {
  while (cursor < end && IsSpaceOrTab(*cursor)) ++cursor;
  const char* p = cursor;
  bool negative = false;
  if (p < end && (*p == '-' || *p == '+')) {
    negative = *p == '-';
    ++p;
  }
  uint64_t mantissa = 0;
  int digits = 0;
  int fraction = 0;
  while (p < end && IsDigit(*p) && digits < 19) {
    mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
    ++p;
    ++digits;
  }
  if (p < end && *p == '.') {
    ++p;
    while (p < end && IsDigit(*p) && digits < 19) {
      mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
      ++p;
      ++digits;
      ++fraction;
    }
  }
  const bool plainEnd = p == end || !(IsDigit(*p) || *p == '.' || *p == 'e' || *p == 'E');
  if (digits > 0 && plainEnd && mantissa < (uint64_t{1} << 53) && fraction <= 22) {
    value = static_cast<double>(mantissa) / kExactPowersOfTen[fraction];
    if (negative) value = -value;
    cursor = p;
    return true;
  }
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

std::string LineReason(size_t line, const std::string& what) {
  return FormatMessage("line %zu: %s", line, what.c_str());
}


// The file name without its folder (either kind of separator).
std::string_view FileNameOf(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string WithExtension(const std::string& path, std::string_view extension) {
  const size_t slash = path.find_last_of('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = path.find_last_of('.');
  std::string result = (dot == std::string::npos || dot < nameStart) ? path : path.substr(0, dot);
  result.append(extension);
  return result;
}

MATERIAL DefaultMaterial(int index) {
  MATERIAL m{};
  const PaletteColors colors = DefaultPaletteColors(index);
  m.light = {colors.light[0], colors.light[1], colors.light[2], 255};
  m.dark = {colors.dark[0], colors.dark[1], colors.dark[2], 255};
  m.smoothingAngle = 59.5f;
  char name[16];
  std::snprintf(name, sizeof name, "mat_%02d", index);
  SetText(m.name, name);
  return m;
}

int32_t ColorByte(double value, double factor) {
  // Truncated like an integer conversion, then kept in the 0..255 a colour
  // channel can hold.
  const double scaled = std::trunc(value * factor);
  return static_cast<int32_t>(std::clamp(scaled, 0.0, 255.0));
}

struct ParsedFace {
  std::array<int32_t, 4> corners;
  std::array<UV, 4> uv;
  int32_t material;
};

// The parser's tables, filled before the model is touched.
struct ObjWorkspace {
  std::vector<VECTOR> points;
  std::vector<UV> uvs;
  std::vector<ParsedFace> faces;
  std::vector<std::array<int32_t, 2>> lines;
};

// Everything a file says, gathered before the model is touched so that a
// refused file leaves the model as it was.
class ObjParser {
 public:
  ObjParser(ObjWorkspace& workspace, float scale, const std::string& folder, bool readLibraries,
            FormatContext& context)
      : scale_(scale),
        folder_(folder),
        readLibraries_(readLibraries),
        context_(context),
        points_(workspace.points),
        uvs_(workspace.uvs),
        faces_(workspace.faces),
        lines_(workspace.lines) {
    points_.clear();
    uvs_.clear();
    faces_.clear();
    lines_.clear();
    for (int i = 0; i < kMaterialCount; ++i) palette_[static_cast<size_t>(i)] = DefaultMaterial(i);
  }

  bool parseObj(std::string_view text);
  bool commit(Model& model);
  ObjCounts counts() const {
    return {static_cast<int>(points_.size()), static_cast<int>(uvs_.size()),
            static_cast<int>(faces_.size()), static_cast<int>(lines_.size())};
  }

 private:
  // Calls handle(line, lineNumber) for every logical line: CR dropped, LF
  // ending a line, a line ending in a backslash joined with the next.
  template <typename Handler>
  bool forEachLine(std::string_view text, const char* what, Handler&& handle);
  bool statement(std::string_view line, size_t number);
  bool vertex(std::string_view rest, size_t number);
  bool textureCoordinate(std::string_view rest, size_t number);
  bool face(std::string_view rest, size_t number);
  enum class Scan { kDone, kUnusual, kFailed };
  Scan scanPlainFace(std::string_view rest, size_t number);
  bool scanFace(std::string_view rest, size_t number);
  bool addFace(size_t number);
  bool useMaterial(std::string_view name, size_t number, const char* what);
  void readLibrary(std::string_view name);
  bool libraryStatement(std::string_view line, size_t number);
  [[gnu::cold]] [[gnu::noinline]] bool badIndex(size_t number, const char* table, int64_t value,
                                                 int64_t count) {
    return fail(number,
                FormatMessage("face refers to %s %lld of %lld read", Translate(table),
                              static_cast<long long>(value), static_cast<long long>(count)));
  }
  [[gnu::cold]] bool fail(size_t number, const std::string& what) {
    context_.fail(LineReason(number, what));
    return false;
  }

  float scale_;
  const std::string& folder_;
  bool readLibraries_;
  FormatContext& context_;
  std::vector<VECTOR>& points_;
  std::vector<UV>& uvs_;
  std::vector<ParsedFace>& faces_;
  std::vector<std::array<int32_t, 2>>& lines_;
  std::vector<std::string> names_;
  std::array<MATERIAL, kMaterialCount> palette_;
  int current_ = 0;
  // Scratch of one face line, kept to reuse its storage.
  std::vector<int32_t> facePoints_;
  std::vector<UV> faceUVs_;
  std::string joined_;
  std::string libraryName_;
};

template <typename Handler>
bool ObjParser::forEachLine(std::string_view text, const char* what, Handler&& handle) {
  LineReader reader(text);
  std::string_view line;
  while (reader.next(line)) {
    const size_t number = reader.lineNumber();
    std::string_view trimmed = TrimBlanks(line);
    // A backslash at the end of a line joins the next line to it, as written
    // (a backslash elsewhere, as in a Windows path, is text).
    if (!trimmed.empty() && trimmed.back() == '\\') {
      joined_.assign(trimmed.substr(0, trimmed.size() - 1));
      for (;;) {
        std::string_view more;
        if (!reader.next(more)) break;
        const std::string_view end = TrimBlanks(more);
        const bool continues = !end.empty() && end.back() == '\\';
        if (continues) more = more.substr(0, static_cast<size_t>(&end.back() - more.data()));
        if (joined_.size() + more.size() > kMaxJoinedLine) {
          context_.fail(LineReason(
              number, FormatMessage("continued %s line longer than 8190 characters", what)));
          return false;
        }
        joined_.append(more);
        if (!continues) break;
      }
      trimmed = TrimBlanks(joined_);
    }
    if (trimmed.empty()) continue;
    if (!handle(trimmed, number)) return false;
  }
  if (reader.tooLong()) {
    context_.fail(LineReason(reader.lineNumber() + 1, FormatMessage("%s line too long", what)));
    return false;
  }
  return true;
}

bool ObjParser::parseObj(std::string_view text) {
  return forEachLine(text, "OBJ", [this](std::string_view line, size_t number) {
    return statement(line, number);
  });
}

bool ObjParser::statement(std::string_view line, size_t number) {
  std::string_view rest;
  switch (line[0]) {
    case '#':
    case 'o':
    case 'g':
    case 's':
      return true;
    case 'v':
      if (IsStatement(line, "v", rest)) return vertex(rest, number);
      if (IsStatement(line, "vt", rest)) return textureCoordinate(rest, number);
      if (IsStatement(line, "vn", rest)) return true;
      break;
    case 'f':
      if (IsStatement(line, "f", rest)) return face(rest, number);
      break;
    case 'p':
      if (IsStatement(line, "p", rest)) return true;
      break;
    case 'l':
      if (IsStatement(line, "l", rest)) return true;
      break;
    case 'u':
      if (IsStatement(line, "usemtl", rest)) return useMaterial(TrimBlanks(rest), number, "usemtl");
      break;
    case 'm':
      if (IsStatement(line, "mtllib", rest)) {
        readLibrary(TrimBlanks(rest));
        return context_.reason.empty();
      }
      break;
    default:
      break;
  }
  const std::string_view word = line.substr(0, std::min<size_t>(line.find_first_of(" \t"), 32));
  return fail(number, FormatMessage("not an OBJ statement: \"%.*s\"", static_cast<int>(word.size()),
                                    word.data()));
}

bool ObjParser::vertex(std::string_view rest, size_t number) {
  const char* cursor = rest.data();
  const char* end = cursor + rest.size();
  double x, y, z;
  if (!ReadReal(cursor, end, x) || !ReadReal(cursor, end, y) || !ReadReal(cursor, end, z)) {
    return fail(number, Translate("a point needs three finite numbers"));
  }
  if (points_.size() >= static_cast<size_t>(kMaxCount)) {
    return fail(number, Translate("more than 19999 points"));
  }
  const VECTOR p(static_cast<float>(x * scale_), static_cast<float>(y * scale_),
                 static_cast<float>(z * scale_));
  if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
    return fail(number, Translate("point out of range after scaling"));
  }
  points_.push_back(p);
  return true;
}

bool ObjParser::textureCoordinate(std::string_view rest, size_t number) {
  const char* cursor = rest.data();
  const char* end = cursor + rest.size();
  double u = 0.0;
  double v = 0.0;
  if (!ReadReal(cursor, end, u))
    return fail(number, Translate("a texture coordinate needs a finite number"));
  // v may be left out (one-dimensional textures); it then reads as 0.
  const char* afterU = cursor;
  if (!ReadReal(cursor, end, v)) {
    cursor = afterU;
    while (cursor < end && IsSpaceOrTab(*cursor)) ++cursor;
    if (cursor < end) return fail(number, Translate("a texture coordinate needs finite numbers"));
    v = 0.0;
  }
  if (uvs_.size() >= kMaxTextureCoordinates) {
    return fail(number, Translate("more than 80000 texture coordinates"));
  }
  const UV uv{static_cast<float>(u), static_cast<float>(v)};
  if (!std::isfinite(uv.u) || !std::isfinite(uv.v)) {
    return fail(number, Translate("texture coordinate out of range"));
  }
  uvs_.push_back(uv);
  return true;
}

// Reads the vertices of a face written the usual way: blank-separated
// "p", "p/t", "p//n" or "p/t/n" with optional minus signs. Anything else is
// left to scanFace, which gives the same result for these forms.
ObjParser::Scan ObjParser::scanPlainFace(std::string_view rest, size_t number) {
  const int64_t pointCount = static_cast<int64_t>(points_.size());
  const int64_t uvCount = static_cast<int64_t>(uvs_.size());
  const char* p = rest.data();
  const char* end = p + rest.size();
  // A number of at most 9 digits with an optional minus; false when none.
  const auto readIndex = [&](int64_t& value, bool& relative) {
    relative = p < end && *p == '-';
    if (relative) ++p;
    const char* start = p;
    value = 0;
    while (p < end && IsDigit(*p) && p - start < 9) value = value * 10 + (*p++ - '0');
    return p > start && (p == end || !IsDigit(*p));
  };
  for (;;) {
    while (p < end && IsSpaceOrTab(*p)) ++p;
    if (p == end) return Scan::kDone;
    int64_t value;
    bool relative;
    if (!readIndex(value, relative)) return Scan::kUnusual;
    const int64_t point = relative ? pointCount - value + 1 : value;
    if (point < 1 || point > pointCount) {
      badIndex(number, MarkMessage("point"), relative ? -value : value, pointCount);
      return Scan::kFailed;
    }
    UV uv{};
    if (p < end && *p == '/') {
      ++p;
      if (p < end && *p != '/' && !IsSpaceOrTab(*p)) {
        if (!readIndex(value, relative)) return Scan::kUnusual;
        const int64_t index = relative ? uvCount - value + 1 : value;
        if (index < 1 || index > uvCount) {
          badIndex(number, MarkMessage("texture coordinate"), relative ? -value : value, uvCount);
          return Scan::kFailed;
        }
        uv = uvs_[static_cast<size_t>(index - 1)];
      }
      if (p < end && *p == '/') {
        ++p;
        if (p < end && !IsSpaceOrTab(*p) && !readIndex(value, relative)) return Scan::kUnusual;
      }
    }
    if (p < end && !IsSpaceOrTab(*p)) return Scan::kUnusual;
    facePoints_.push_back(static_cast<int32_t>(point));
    faceUVs_.push_back(uv);
  }
}

bool ObjParser::face(std::string_view rest, size_t number) {
  facePoints_.clear();
  faceUVs_.clear();
  const Scan plain = scanPlainFace(rest, number);
  if (plain == Scan::kFailed) return false;
  if (plain == Scan::kUnusual) {
    facePoints_.clear();
    faceUVs_.clear();
    if (!scanFace(rest, number)) return false;
  }
  return addFace(number);
}

// Scans a face character by character: digits build a number, a minus
// before its digits makes it relative, "/" moves to the next field of the
// vertex, a blank to the next vertex; other characters are skipped.
bool ObjParser::scanFace(std::string_view rest, size_t number) {
  const int64_t pointCount = static_cast<int64_t>(points_.size());
  const int64_t uvCount = static_cast<int64_t>(uvs_.size());
  // Scanning state of the current vertex and number.
  int field = 0;
  int64_t value = 0;
  bool digits = false;
  bool relative = false;
  bool started = false;  // the vertex has any number or separator
  int32_t point = 0;
  UV uv{};

  const auto endNumber = [&]() -> bool {
    if (digits) {
      if (field == 0) {
        const int64_t index = relative ? pointCount - value + 1 : value;
        if (index < 1 || index > pointCount) {
          return badIndex(number, MarkMessage("point"), relative ? -value : value, pointCount);
        }
        point = static_cast<int32_t>(index);
      } else if (field == 1) {
        const int64_t index = relative ? uvCount - value + 1 : value;
        if (index < 1 || index > uvCount) {
          return badIndex(number, MarkMessage("texture coordinate"), relative ? -value : value,
                          uvCount);
        }
        uv = uvs_[static_cast<size_t>(index - 1)];
      }
    }
    value = 0;
    digits = false;
    relative = false;
    return true;
  };

  const auto endVertex = [&]() -> bool {
    if (point == 0) {
      if (started) return fail(number, Translate("face vertex without a point index"));
      return true;
    }
    facePoints_.push_back(point);
    faceUVs_.push_back(uv);
    point = 0;
    uv = UV{};
    field = 0;
    started = false;
    return true;
  };

  const char* cursor = rest.data();
  const char* end = cursor + rest.size();
  for (; cursor <= end; ++cursor) {
    // The line is scanned as if a blank followed it.
    const char c = cursor < end ? *cursor : ' ';
    if (c >= '0' && c <= '9') {
      // Saturates far above any table size, so a long digit run cannot
      // overflow and still fails the range check.
      if (value < (int64_t{1} << 40)) value = value * 10 + (c - '0');
      digits = true;
      started = true;
    } else if (c == '-') {
      if (!digits) relative = true;
    } else if (c == '/') {
      if (!endNumber()) return false;
      ++field;
      started = true;
    } else if (IsSpaceOrTab(c)) {
      if (!endNumber() || !endVertex()) return false;
      field = 0;
    }
  }

  return true;
}

bool ObjParser::addFace(size_t number) {
  const size_t count = facePoints_.size();
  if (count < 2) return true;
  const int32_t material = current_ % kFileMaterials;
  if (count == 2) {
    if (lines_.size() >= static_cast<size_t>(kMaxCount))
      return fail(number, Translate("more than 19999 lines"));
    lines_.push_back({facePoints_[0], facePoints_[1]});
    return true;
  }
  const size_t surfaces = count == 4 ? 1 : count - 2;
  if (faces_.size() + surfaces > static_cast<size_t>(kMaxCount)) {
    return fail(number, Translate("more than 19999 surfaces"));
  }
  bool skipped = false;
  const auto add = [&](std::array<int32_t, 4> corners, std::array<UV, 4> uv, int n) {
    if (CollapseRepeatedCorners(corners, uv, n) == 0) {
      skipped = true;
      return;
    }
    faces_.push_back({corners, uv, material});
  };
  if (count == 4) {
    add({facePoints_[0], facePoints_[1], facePoints_[2], facePoints_[3]},
        {faceUVs_[0], faceUVs_[1], faceUVs_[2], faceUVs_[3]}, 4);
  } else {
    for (size_t k = 2; k < count; ++k) {
      add({facePoints_[0], facePoints_[k - 1], facePoints_[k], facePoints_[0]},
          {faceUVs_[0], faceUVs_[k - 1], faceUVs_[k], faceUVs_[0]}, 3);
    }
  }
  if (skipped) {
    context_.warnings.push_back(
        LineReason(number, Translate("face without three distinct corners skipped")));
  }
  return true;
}

bool ObjParser::useMaterial(std::string_view name, size_t number, const char* what) {
  if (name.size() > kMaxMaterialName) {
    return fail(number, FormatMessage("%s name longer than 255 characters", what));
  }
  for (size_t i = 0; i < names_.size(); ++i) {
    if (names_[i] == name) {
      current_ = static_cast<int>(i);
      return true;
    }
  }
  size_t position;
  if (names_.size() < kMaterialNameSlots) {
    position = names_.size();
    names_.emplace_back(name);
  } else {
    // A full table keeps overwriting its last entry.
    position = kMaterialNameSlots - 1;
    names_[position] = std::string(name);
  }
  if (position < static_cast<size_t>(kFileMaterials)) SetText(palette_[position].name, name);
  current_ = static_cast<int>(position);
  return true;
}

void ObjParser::readLibrary(std::string_view name) {
  if (!readLibraries_ || name.empty()) return;
  std::string path = folder_;
  path.append(name);
  // Libraries named with Windows separators still open here.
  std::replace(path.begin() + static_cast<std::ptrdiff_t>(folder_.size()), path.end(), '\\', '/');
  std::vector<uint8_t> bytes;
  std::string why;
  if (!ReadFileBytes(path, bytes, &why)) {
    context_.warnings.push_back(FormatMessage("material library %.*s skipped: %s",
                                              static_cast<int>(name.size()), name.data(),
                                              why.c_str()));
    return;
  }
  libraryName_ = std::string(name);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  forEachLine(text, "MTL", [this](std::string_view line, size_t number) {
    return libraryStatement(line, number);
  });
  if (!context_.reason.empty()) context_.reason = libraryName_ + ", " + context_.reason;
}

bool ObjParser::libraryStatement(std::string_view line, size_t number) {
  if (line[0] == '#') return true;
  std::string_view rest;
  if (IsStatement(line, "newmtl", rest)) return useMaterial(TrimBlanks(rest), number, "newmtl");
  if (current_ >= kFileMaterials) return true;
  MATERIAL& material = palette_[static_cast<size_t>(current_)];
  if (IsStatement(line, "map_Kd", rest)) {
    if (!SetText(material.texture, TrimBlanks(rest))) {
      return fail(number, Translate("texture file name longer than 259 characters"));
    }
    return true;
  }
  if (IsStatement(line, "Kd", rest)) {
    const char* cursor = rest.data();
    const char* end = cursor + rest.size();
    double r, g, b;
    if (!ReadReal(cursor, end, r) || !ReadReal(cursor, end, g) || !ReadReal(cursor, end, b)) {
      // "Kd spectral" and "Kd xyz" give no RGB to take.
      context_.warnings.push_back(
          libraryName_ + ", " +
          LineReason(number, Translate("Kd without three finite numbers skipped")));
      return true;
    }
    material.light = {ColorByte(r, 255), ColorByte(g, 255), ColorByte(b, 255), material.light[3]};
    material.dark = {ColorByte(r, 128), ColorByte(g, 128), ColorByte(b, 128), material.dark[3]};
  }
  return true;
}

bool ObjParser::commit(Model& model) {
  if (points_.empty()) {
    context_.fail(Translate("no points"));
    return false;
  }
  ClearModel(model);
  model.materials = palette_;
  model.pointCount = static_cast<int32_t>(points_.size());
  for (size_t i = 0; i < points_.size(); ++i) {
    VERT& v = model.points[i + 1];
    v.position = points_[i];
  }
  model.lineCount = static_cast<int32_t>(lines_.size());
  for (size_t i = 0; i < lines_.size(); ++i) {
    model.lines[i + 1] = LINE{lines_[i][0], lines_[i][1], kStateNormal};
  }
  model.faceCount = static_cast<int32_t>(faces_.size());
  for (size_t i = 0; i < faces_.size(); ++i) {
    FACE& f = model.faces[i + 1];
    f.corners = faces_[i].corners;
    f.uv = faces_[i].uv;
    f.material = faces_[i].material;
  }
  if (!CompactModel(model, kCompactRebuildLines | kCompactRequirePoints)) {
    context_.fail(Translate("the surfaces need more than 19999 lines"));
    return false;
  }
  return true;
}

}  // namespace

int ReadObjBytes(std::span<const uint8_t> bytes, const std::string& name, ReadTarget& target,
                 FormatContext& context) {
  const float scale = context.settings ? context.settings->ObjImportScale : 1.0f;
  ObjWorkspace workspace;
  const std::string folder = FolderOf(name);
  ObjParser parser(workspace, scale, folder, context.readReferencedFiles, context);
  if (!parser.parseObj(AsText(bytes))) return 0;
  return parser.commit(target.model) ? 1 : 0;
}

int ParseObjText(std::string_view text, ObjCounts& counts, FormatContext& context) {
  context.reason.clear();
  const float scale = context.settings ? context.settings->ObjImportScale : 1.0f;
  const std::string noFolder;
  ObjWorkspace workspace;
  ObjParser parser(workspace, scale, noFolder, false, context);
  if (!parser.parseObj(text)) return 0;
  counts = parser.counts();
  return 1;
}

int LoadObjFile(Document& document, const std::string& path, FormatContext& context) {
  return LoadModelFile(document, path, ReadObjBytes, context);
}

int SaveObjFile(Document& document, const std::string& path, FormatContext& context) {
  const Model& model = document.model;
  // The reader refuses a file without points, so an empty model is refused
  // here, before the file is made.
  if (model.pointCount <= 0)
    return context.fail(
        Translate("OBJ: the model is empty; an OBJ file without points could not be opened again"));
  const float scale = context.settings ? context.settings->ObjExportScale : 1.0f;
  const bool groups = context.settings && context.settings->ObjExportGroup == 1;
  const bool library = groups && context.settings->ObjExportMaterial == 1;
  const std::string libraryPath = WithExtension(path, ".mtl");

  TextWriter out;
  out.printf("# Created by %s v%s\n\n", "Vexal", "2.72");
  if (library) out.printf("\nmtllib %s\n", std::string(FileNameOf(libraryPath)).c_str());
  out.put("\ng\n");
  for (int p = 1; p <= model.pointCount; ++p) {
    const VECTOR& v = model.points[p].position;
    out.printf("v %f %f %f\n", static_cast<double>(v.x * scale), static_cast<double>(v.y * scale),
               static_cast<double>(v.z * scale));
  }
  if (model.pointCount > 0) out.printf("# %d vertices\n\n", model.pointCount);
  for (int s = 1; s <= model.faceCount; ++s) {
    for (const UV& uv : model.faces[s].uv) {
      out.printf("vt %f %f\n", static_cast<double>(uv.u), static_cast<double>(uv.v));
    }
  }
  if (model.faceCount > 0) out.printf("# %d texture vertices\n\n", 4 * model.faceCount);
  for (int s = 1; s <= model.faceCount; ++s) {
    for (const VECTOR& n : model.faces[s].cornerNormals) {
      out.printf("vn %f %f %f\n", static_cast<double>(n.x), static_cast<double>(n.y),
                 static_cast<double>(n.z));
    }
  }
  if (model.faceCount > 0) out.printf("# %d vertex normals\n\n", 4 * model.faceCount);
  if (groups) out.put("g default\n");

  std::array<bool, kMaterialCount> used{};
  for (int s = 1; s <= model.faceCount; ++s) {
    const int32_t m = model.faces[s].material;
    if (m >= 0 && m < kMaterialCount) used[static_cast<size_t>(m)] = true;
  }
  for (int m = 0; m < kFileMaterials; ++m) {
    if (!used[static_cast<size_t>(m)]) continue;
    const std::string name(TextOf(model.materials[static_cast<size_t>(m)].name));
    out.printf(groups ? "usemtl %s\n" : "g %s\n", name.c_str());
    int written = 0;
    for (int s = 1; s <= model.faceCount; ++s) {
      const FACE& f = model.faces[s];
      if (f.material != m) continue;
      const int base = 4 * s - 3;
      const auto& c = f.corners;
      if (IsQuad(f)) {
        out.printf("f %d/%d/%d %d/%d/%d %d/%d/%d %d/%d/%d\n", c[0], base, base, c[1], base + 1,
                   base + 1, c[2], base + 2, base + 2, c[3], base + 3, base + 3);
      } else {
        out.printf("f %d/%d/%d %d/%d/%d %d/%d/%d\n", c[0], base, base, c[1], base + 1, base + 1,
                   c[2], base + 2, base + 2);
      }
      ++written;
    }
    out.printf("# %d elements\n\n", written);
  }

  // Lines that no exported surface borders would otherwise be lost.
  const std::vector<int32_t> freeLines = FreeLines(model);
  for (int32_t l : freeLines) out.printf("f %d %d\n", model.lines[l].a, model.lines[l].b);
  if (!freeLines.empty()) out.printf("# %d lines\n\n", static_cast<int>(freeLines.size()));

  std::string why;
  if (!out.buffer().commit(path, &why)) return context.fail(why);
  if (!library) return 1;

  TextWriter mtl;
  mtl.printf("# Created by %s v%s\n\n", "Vexal", "2.72");
  for (int m = 0; m < kFileMaterials; ++m) {
    const MATERIAL& material = model.materials[static_cast<size_t>(m)];
    mtl.printf("newmtl %s\n", std::string(TextOf(material.name)).c_str());
    const std::string_view texture = TextOf(material.texture);
    if (!texture.empty()) mtl.printf("map_Kd %s\n", std::string(FileNameOf(texture)).c_str());
    const double r = material.light[0] / 255.0;
    const double g = material.light[1] / 255.0;
    const double b = material.light[2] / 255.0;
    mtl.printf("Ka %6.5f %6.5f %6.5f\n", r * 0.25, g * 0.25, b * 0.25);
    mtl.printf("Kd %6.5f %6.5f %6.5f\n", r, g, b);
    mtl.printf("Ks %6.5f %6.5f %6.5f\n", r, g, b);
    mtl.printf("Ns %6.5f\n", 5.0);
    mtl.put("\n");
  }
  if (!mtl.buffer().commit(libraryPath, &why))
    return context.fail(FormatMessage("material library: %s", why.c_str()));
  return 1;
}

}  // namespace vexal
