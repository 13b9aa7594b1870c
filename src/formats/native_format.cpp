#include "formats/native_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "io/file_bytes.h"
#include "io/line_reader.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/model.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

constexpr std::string_view kSeparator = "================";
constexpr std::string_view kBlanks = " \t\f\v";

inline bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

// The file is read the way it was always read: a line that is skipped or
// tested is a whole line, while numbers are taken as a stream of
// blank-separated tokens that may run over several lines. The whole line
// after the one holding the last number read is the next "line".
class NativeScanner {
 public:
  explicit NativeScanner(std::string_view text) : lines_(text) {}

  bool line(std::string_view& out) {
    pending_ = {};
    return lines_.next(out);
  }
  bool skipLine() {
    std::string_view ignored;
    return line(ignored);
  }
  bool token(std::string_view& out) {
    for (;;) {
      size_t start = 0;
      while (start < pending_.size() && IsBlank(pending_[start])) ++start;
      if (start < pending_.size()) {
        size_t end = start;
        while (end < pending_.size() && !IsBlank(pending_[end])) ++end;
        out = pending_.substr(start, end - start);
        pending_.remove_prefix(end);
        return true;
      }
      if (!lines_.next(pending_)) {
        pending_ = {};
        return false;
      }
    }
  }
  size_t lineNumber() const { return lines_.lineNumber(); }
  bool tooLong() const { return lines_.tooLong(); }
  // Nothing left after the last token taken.
  bool atEnd() const { return pending_.empty() && lines_.atEnd(); }

 private:
  LineReader lines_;
  std::string_view pending_;
};

enum class Got { kValue, kEnd, kBad };

struct PointRecord {
  double x = 0, y = 0, z = 0;
  int32_t state = 0, flags = 0, mirror = 0;
};

struct MaterialFields {
  std::array<std::optional<int32_t>, 6> colors;  // light R G B, dark R G B
  std::optional<int32_t> blend;
  std::optional<std::string> name;
  std::optional<std::string> texture;
  std::optional<int32_t> opacity;
  std::optional<float> smoothingAngle;
};

struct PictureFields {
  std::optional<int32_t> flags;
  std::optional<std::string> path;
};

// Everything read from the file, checked, before any of it reaches the
// document.
struct NativeContent {
  int32_t rotation1 = 0;
  int32_t rotation2 = 0;
  std::array<double, 3> locate{};
  double zoom = 1.0;
  int32_t pointCount = 0, lineCount = 0, faceCount = 0;
  std::vector<PointRecord> points;
  std::vector<LINE> lines;
  std::vector<FACE> faces;
  std::vector<float> uvValues;  // eight per surface, as many as were read
  std::array<MaterialFields, kMaterialCount> materials;
  std::array<PictureFields, kPictureSlots> pictures;
  std::optional<double> pictureScale, pictureDepth;
  std::array<std::optional<double>, 3> pictureOffset;
};

class NativeParser {
 public:
  NativeParser(std::string_view text, FormatContext& context) : scan_(text), context_(context) {}

  bool parse(NativeContent& out);

 private:
  bool fail(std::string why) {
    context_.reason = std::move(why);
    return false;
  }
  std::string where() const { return FormatMessage("line %zu: ", scan_.lineNumber()); }

  Got integer(int32_t& value) {
    std::string_view text;
    if (!scan_.token(text)) return scan_.tooLong() ? bad(Translate("line too long")) : Got::kEnd;
    if (ParseInteger(text, value)) return Got::kValue;
    // A number cut off by the end of the file is the end, not garbage.
    return scan_.atEnd() ? Got::kEnd
                         : bad(FormatMessage("\"%s\" is not an integer", Clip(text).c_str()));
  }
  Got real(double& value) {
    std::string_view text;
    if (!scan_.token(text)) return scan_.tooLong() ? bad(Translate("line too long")) : Got::kEnd;
    if (!ParseReal(text, value)) {
      return scan_.atEnd() ? Got::kEnd
                           : bad(FormatMessage("\"%s\" is not a number", Clip(text).c_str()));
    }
    if (!std::isfinite(value))
      return bad(FormatMessage("\"%s\" is not a finite number", Clip(text).c_str()));
    return Got::kValue;
  }
  Got bad(std::string what) {
    context_.reason = where() + what;
    return Got::kBad;
  }
  // Reads numbers whose values are ignored.
  Got ignore(int count) {
    for (int i = 0; i < count; ++i) {
      int32_t unused;
      if (const Got got = integer(unused); got != Got::kValue) return got;
    }
    return Got::kValue;
  }

  static bool ParseInteger(std::string_view text, int32_t& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
  }
  static bool ParseReal(std::string_view text, double& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
  }
  static std::string Clip(std::string_view text) { return std::string(text.substr(0, 40)); }

  // The header block up to and including the counts and reserved lines.
  bool parseHeader(NativeContent& out);
  bool parseTables(NativeContent& out);
  // The palette and the optional sections; a file may end anywhere here.
  bool parseTail(NativeContent& out);
  bool parseTexture(NativeContent& out);
  bool parsePictures(NativeContent& out);
  // A whole line of text for a name or path.
  Got textLine(std::optional<std::string>& out, const char* what);
  Got integerLine(std::optional<int32_t>& out);
  // Colour values outside 0..255 are brought to the nearest end, with a
  // warning: they only tint, and the rest of the document is intact.
  int32_t ColourInRange(int32_t value, const std::string& what) {
    if (value >= 0 && value <= 255) return value;
    const int32_t kept = value < 0 ? 0 : 255;
    context_.warnings.push_back(
        where() + FormatMessage("%s %d outside 0..255; %d used", what.c_str(), value, kept));
    return kept;
  }
  bool endedEarly(const char* section) {
    context_.warnings.push_back(FormatMessage(
        "the file ends inside the %s; the rest keeps its defaults", Translate(section)));
    return true;
  }

  NativeScanner scan_;
  FormatContext& context_;
};

bool NativeParser::parse(NativeContent& out) {
  std::string_view first, second;
  if (!scan_.line(first) || !scan_.line(second) || second.find("VEXAL") != 1) {
    return fail(Translate("not a native document (line 2 does not begin \"<VEXAL\")"));
  }
  return parseHeader(out) && parseTables(out) && parseTail(out);
}

bool NativeParser::parseHeader(NativeContent& out) {
  // Any failure before the counts are known leaves nothing worth loading.
  auto need = [&](Got got) {
    if (got == Got::kEnd) context_.reason = Translate("the file ends before the counts");
    return got == Got::kValue;
  };
  for (int i = 0; i < 3; ++i) scan_.skipLine();
  if (!need(integer(out.rotation1)) || !need(integer(out.rotation2))) return false;
  scan_.skipLine();
  for (double& value : out.locate) {
    if (!need(real(value))) return false;
  }
  scan_.skipLine();
  if (!need(ignore(1))) return false;
  scan_.skipLine();
  double spare = 0;
  if (!need(real(out.zoom)) || !need(real(spare))) return false;
  scan_.skipLine();
  if (!need(ignore(3))) return false;
  scan_.skipLine();
  int32_t counts[3];
  for (int32_t& count : counts) {
    if (!need(integer(count))) return false;
  }
  if (!need(ignore(1))) return false;
  const char* names[3] = {MarkMessage("point"), MarkMessage("line"), MarkMessage("surface")};
  for (int i = 0; i < 3; ++i) {
    if (counts[i] < 0 || counts[i] > kMaxCount) {
      return fail(where() + FormatMessage("%s count %d is outside 0..%d", Translate(names[i]),
                                          counts[i], kMaxCount));
    }
  }
  out.pointCount = counts[0];
  out.lineCount = counts[1];
  out.faceCount = counts[2];
  // Past the counts, an empty document may end anywhere; one with records
  // still needs its tables.
  for (int reserved : {3, 6}) {
    scan_.skipLine();
    const Got got = ignore(reserved);
    if (got == Got::kBad) return false;
    if (got == Got::kEnd) {
      if (counts[0] == 0 && counts[1] == 0 && counts[2] == 0) return true;
      return fail(Translate("the file ends before the point table"));
    }
  }
  return true;
}

bool NativeParser::parseTables(NativeContent& out) {
  // A table cut short would leave records the file never described: a
  // truncated document is refused rather than loaded with points at the
  // origin.
  auto need = [&](Got got, const char* table) {
    if (got == Got::kEnd)
      context_.reason =
          std::string_view(table) == "point"  ? Translate("the file ends inside the point table")
          : std::string_view(table) == "line" ? Translate("the file ends inside the line table")
                                              : Translate("the file ends inside the surface table");
    return got == Got::kValue;
  };
  // A state other than normal, selected or hidden would be taken for a
  // record marked for removal, or for nothing at all; the record itself is
  // sound, so it is kept as a normal one.
  int oddStates = 0;
  std::string firstOddState;
  auto state = [&](int32_t& value, const char* what, int index) {
    if (value < kStateNormal || value > kStateHidden) {
      if (oddStates++ == 0) {
        firstOddState =
            where() + FormatMessage("%s %d had state %d", Translate(what), index, value);
      }
      value = kStateNormal;
    }
    return true;
  };
  const int32_t points = out.pointCount;
  auto pointIndex = [&](int32_t value, const char* what, int index) {
    if (value >= 1 && value <= points) return true;
    return fail(where() + FormatMessage("%s %d refers to point %d outside 1..%d", Translate(what),
                                        index, value, points));
  };

  scan_.skipLine();
  out.points.resize(static_cast<size_t>(points) + 1);
  for (int i = 1; i <= points; ++i) {
    PointRecord& p = out.points[static_cast<size_t>(i)];
    if (!need(real(p.x), "point") || !need(real(p.y), "point") || !need(real(p.z), "point") ||
        !need(integer(p.state), "point") || !need(integer(p.flags), "point") ||
        !need(integer(p.mirror), "point")) {
      return false;
    }
    if (!state(p.state, "point", i)) return false;
    if (p.mirror < 0 || p.mirror > points) {
      return fail(where() + FormatMessage("point %d has mirror partner %d outside 0..%d", i,
                                          p.mirror, points));
    }
    const std::array<double, 3> scaled = {p.x * 0.01, -p.y * 0.01, p.z * 0.01};
    for (double value : scaled) {
      if (!std::isfinite(static_cast<float>(value))) {
        return fail(where() + FormatMessage("point %d lies beyond the float range", i));
      }
    }
  }
  // A one-sided partner cannot be kept: mirror commands assume the pairing
  // is symmetric. The geometry itself is sound, so only the pairing goes.
  int unpaired = 0;
  for (int i = 1; i <= points; ++i) {
    int32_t& partner = out.points[static_cast<size_t>(i)].mirror;
    if (partner != 0 && out.points[static_cast<size_t>(partner)].mirror != i) {
      partner = 0;
      ++unpaired;
    }
  }
  if (unpaired > 0) {
    context_.warnings.push_back(
        FormatMessage("%d mirror partners were not mutual and were dropped", unpaired));
  }

  scan_.skipLine();
  out.lines.resize(static_cast<size_t>(out.lineCount) + 1);
  for (int i = 1; i <= out.lineCount; ++i) {
    LINE& line = out.lines[static_cast<size_t>(i)];
    if (!need(integer(line.a), "line") || !need(integer(line.b), "line") ||
        !need(integer(line.state), "line")) {
      return false;
    }
    if (!pointIndex(line.a, "line", i) || !pointIndex(line.b, "line", i) ||
        !state(line.state, "line", i)) {
      return false;
    }
  }

  scan_.skipLine();
  out.faces.resize(static_cast<size_t>(out.faceCount) + 1);
  for (int i = 1; i <= out.faceCount; ++i) {
    FACE& face = out.faces[static_cast<size_t>(i)];
    for (int32_t& corner : face.corners) {
      if (!need(integer(corner), "surface")) return false;
    }
    if (!need(integer(face.material), "surface") || !need(integer(face.state), "surface")) {
      return false;
    }
    for (int32_t corner : face.corners) {
      if (!pointIndex(corner, "surface", i)) return false;
    }
    if (face.material < 0 || face.material >= kMaterialCount) {
      return fail(where() +
                  FormatMessage("surface %d has material %d outside 0..15", i, face.material));
    }
    if (!state(face.state, "surface", i)) return false;
  }
  if (oddStates > 0) {
    context_.warnings.push_back(
        oddStates > 1
            ? FormatMessage("%s (and %d more); made normal", firstOddState.c_str(), oddStates - 1)
            : FormatMessage("%s; made normal", firstOddState.c_str()));
  }
  return true;
}

Got NativeParser::textLine(std::optional<std::string>& out, const char* what) {
  std::string_view text;
  if (!scan_.line(text)) return scan_.tooLong() ? bad(Translate("line too long")) : Got::kEnd;
  if (text.size() >= kTextCapacity) {
    return bad(FormatMessage("%s is longer than %d bytes", Translate(what), kTextCapacity - 1));
  }
  out = std::string(text);
  return Got::kValue;
}

Got NativeParser::integerLine(std::optional<int32_t>& out) {
  std::string_view text;
  if (!scan_.line(text)) return scan_.tooLong() ? bad(Translate("line too long")) : Got::kEnd;
  const size_t start = text.find_first_not_of(kBlanks);
  const size_t end = text.find_last_not_of(kBlanks);
  int32_t value = 0;
  if (start == std::string_view::npos ||
      !ParseInteger(text.substr(start, end - start + 1), value)) {
    return bad(FormatMessage("\"%s\" is not an integer", Clip(text).c_str()));
  }
  out = value;
  return Got::kValue;
}

bool NativeParser::parseTail(NativeContent& out) {
  if (!scan_.skipLine()) return !scan_.tooLong() || fail(where() + Translate("line too long"));
  for (int m = 0; m < kMaterialCount; ++m) {
    for (int c = 0; c < 6; ++c) {
      int32_t value;
      const Got got = integer(value);
      if (got == Got::kBad) return false;
      if (got == Got::kEnd) return endedEarly(MarkMessage("palette"));
      value = ColourInRange(value, FormatMessage("material %d colour", m));
      out.materials[static_cast<size_t>(m)].colors[static_cast<size_t>(c)] = value;
    }
  }

  std::string_view text;
  if (!scan_.line(text)) return !scan_.tooLong() || fail(where() + Translate("line too long"));
  if (text == "<UV>") {
    const size_t wanted = static_cast<size_t>(out.faceCount) * 8;
    out.uvValues.reserve(wanted);
    for (size_t i = 0; i < wanted; ++i) {
      double value;
      const Got got = real(value);
      if (got == Got::kBad) return false;
      if (got == Got::kEnd) return endedEarly(MarkMessage("UV section"));
      if (!std::isfinite(static_cast<float>(value))) {
        return fail(where() + Translate("UV value beyond the float range"));
      }
      out.uvValues.push_back(static_cast<float>(value));
    }
  }
  if (!scan_.line(text)) return !scan_.tooLong() || fail(where() + Translate("line too long"));
  if (text == "<TEXTURE>" && !parseTexture(out)) return false;
  // Like the texture line, the picture line is looked for on the line after
  // whatever came before, whether or not that was a texture section.
  if (!scan_.line(text)) return !scan_.tooLong() || fail(where() + Translate("line too long"));
  if (text == "<BPICTURE>") return parsePictures(out);
  return true;
}

bool NativeParser::parseTexture(NativeContent& out) {
  int32_t entries = 0, linesPerEntry = 0;
  Got got = integer(entries);
  if (got == Got::kValue) got = integer(linesPerEntry);
  if (got == Got::kBad) return false;
  if (got == Got::kEnd) return endedEarly(MarkMessage("texture section"));
  // The stated entry count is not used: there are always sixteen materials.
  for (int m = 0; m < kMaterialCount; ++m) {
    MaterialFields& material = out.materials[static_cast<size_t>(m)];
    got = integerLine(material.blend);
    if (got == Got::kValue) got = textLine(material.name, MarkMessage("a material name"));
    if (got == Got::kValue) got = textLine(material.texture, MarkMessage("a texture file name"));
    if (got == Got::kValue && linesPerEntry > 3) got = integerLine(material.opacity);
    if (got == Got::kValue && material.opacity) {
      material.opacity = ColourInRange(*material.opacity, FormatMessage("material %d opacity", m));
    }
    if (got == Got::kValue && linesPerEntry > 4) {
      std::string_view text;
      double angle = 0;
      if (!scan_.line(text)) {
        got = scan_.tooLong() ? bad(Translate("line too long")) : Got::kEnd;
      } else {
        NativeScanner numbers(text);
        std::string_view token;
        if (!numbers.token(token) || !ParseReal(token, angle) || !std::isfinite(angle) ||
            !std::isfinite(static_cast<float>(angle))) {
          got = bad(FormatMessage("\"%s\" is not a finite number", Clip(text).c_str()));
        } else {
          material.smoothingAngle = static_cast<float>(angle);
        }
      }
    }
    if (got == Got::kBad) return false;
    if (got == Got::kEnd) return endedEarly(MarkMessage("texture section"));
  }
  return true;
}

bool NativeParser::parsePictures(NativeContent& out) {
  for (PictureFields& picture : out.pictures) {
    Got got = integerLine(picture.flags);
    if (got == Got::kValue) got = textLine(picture.path, MarkMessage("a back picture path"));
    if (got == Got::kBad) return false;
    if (got == Got::kEnd) return endedEarly(MarkMessage("back picture section"));
  }
  std::array<std::optional<double>*, 5> values = {&out.pictureScale, &out.pictureDepth,
                                                  &out.pictureOffset[0], &out.pictureOffset[1],
                                                  &out.pictureOffset[2]};
  for (std::optional<double>* value : values) {
    double number;
    const Got got = real(number);
    if (got == Got::kBad) return false;
    if (got == Got::kEnd) return endedEarly(MarkMessage("back picture section"));
    *value = number;
  }
  return true;
}

// Converts a view angle for its integer line; an angle no int can hold
// (never produced by the view itself) is written as 0.
int32_t TruncatedAngle(float angle) {
  if (!std::isfinite(angle) || std::fabs(angle) >= 2147483647.0f) return 0;
  return static_cast<int32_t>(angle);
}

// View values only place the camera and the back pictures: one that does
// not fit a float is replaced by its default rather than refusing the model.
float ViewValue(double value, float fallback) {
  const float narrowed = static_cast<float>(value);
  return std::isfinite(narrowed) ? narrowed : fallback;
}

void Commit(const NativeContent& in, ReadTarget& target) {
  Model& model = target.model;
  model.pointCount = in.pointCount;
  for (int i = 1; i <= in.pointCount; ++i) {
    const PointRecord& p = in.points[static_cast<size_t>(i)];
    SetPoint(model, i, static_cast<float>(p.x * 0.01), static_cast<float>(-p.y * 0.01),
             static_cast<float>(p.z * 0.01), p.state, p.mirror);
    model.points[static_cast<size_t>(i)].flags = p.flags;
  }
  model.lineCount = in.lineCount;
  for (int i = 1; i <= in.lineCount; ++i)
    model.lines[static_cast<size_t>(i)] = in.lines[static_cast<size_t>(i)];
  model.faceCount = in.faceCount;
  for (int i = 1; i <= in.faceCount; ++i) {
    const FACE& face = in.faces[static_cast<size_t>(i)];
    SetFace(model, i, face.corners[0], face.corners[1], face.corners[2], face.corners[3],
            face.material, face.state);
  }
  for (size_t k = 0; k < in.uvValues.size(); ++k) {
    FACE& face = model.faces[k / 8 + 1];
    UV& uv = face.uv[(k % 8) / 2];
    (k % 2 == 0 ? uv.u : uv.v) = in.uvValues[k];
  }
  for (int m = 0; m < kMaterialCount; ++m) {
    const MaterialFields& fields = in.materials[static_cast<size_t>(m)];
    MATERIAL& material = model.materials[static_cast<size_t>(m)];
    for (size_t c = 0; c < 6; ++c) {
      if (!fields.colors[c]) continue;
      (c < 3 ? material.light[c] : material.dark[c - 3]) = *fields.colors[c];
    }
    if (fields.blend) material.blend = *fields.blend;
    if (fields.name) SetText(material.name, *fields.name);
    if (fields.texture) SetText(material.texture, *fields.texture);
    if (fields.opacity) material.light[3] = *fields.opacity;
    material.dark[3] = material.light[3];
    if (fields.smoothingAngle) material.smoothingAngle = *fields.smoothingAngle;
  }
  for (int s = 0; s < kPictureSlots; ++s) {
    const PictureFields& fields = in.pictures[static_cast<size_t>(s)];
    BPICTURE& picture = model.pictures[static_cast<size_t>(s)];
    if (fields.flags) {
      picture.flipSide = *fields.flags & 1;
      picture.flip = (*fields.flags >> 1) & 1;
    }
    if (fields.path) SetText(picture.path, *fields.path);
  }

  SCENE& scene = target.scene;
  scene.angle.x = static_cast<float>(-static_cast<int64_t>(in.rotation1));
  scene.angle.y = static_cast<float>(in.rotation2);
  scene.target.set(ViewValue(in.locate[0] * 0.01, 0.0f), ViewValue(in.locate[1] * 0.01, 0.0f),
                   ViewValue(in.locate[2] * 0.01, 0.0f));
  scene.zoom = ViewValue(in.zoom, 1.0f);
  if (in.pictureScale) scene.pictureScale = ViewValue(*in.pictureScale, 1.0f);
  if (in.pictureDepth) scene.pictureDepth = ViewValue(*in.pictureDepth, 2.0f);
  float* offset[3] = {&scene.pictureOffset.x, &scene.pictureOffset.y, &scene.pictureOffset.z};
  for (size_t i = 0; i < 3; ++i) {
    if (in.pictureOffset[i]) *offset[i] = ViewValue(*in.pictureOffset[i], 0.0f);
  }
}

// Appends " " and the number right-aligned in width (as " %10d").
void PutInteger(OutputBuffer& out, int32_t value, size_t width = 10) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  const size_t length = static_cast<size_t>(result.ptr - buffer);
  out.put(' ');
  for (size_t i = length; i < width; ++i) out.put(' ');
  out.put(std::string_view(buffer, length));
}

// Appends the number with `precision` decimals right-aligned in width, as
// printf's "%W.Pf" (both round the exact binary value correctly).
void PutFixed(OutputBuffer& out, double value, int precision, size_t width) {
  char buffer[400];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
  const size_t length = static_cast<size_t>(result.ptr - buffer);
  for (size_t i = length; i < width; ++i) out.put(' ');
  out.put(std::string_view(buffer, length));
}

void PutIntegerLine(OutputBuffer& out, std::initializer_list<int32_t> values) {
  for (int32_t value : values) PutInteger(out, value);
  out.put(" \r\n");
}

void PutRealLine(OutputBuffer& out, double value) {
  out.put(' ');
  PutFixed(out, value, 9, 15);
  out.put(" \r\n");
}

// A view value that is not finite is written as its default, so the file
// stays readable; the model itself is never altered this way.
double FiniteOr(float value, double fallback) {
  return std::isfinite(value) ? static_cast<double>(value) : fallback;
}

void PutLine(OutputBuffer& out, std::string_view text) {
  out.put(text);
  out.put("\r\n");
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// A line break would shift every later line of the file; a non-finite
// number could not be read back. Either would make the saved document
// unreadable: returns 0 with the reason for the first such value, else 1.
int CheckNativeWritable(const Model& model, FormatContext& context) {
  for (int m = 0; m < kMaterialCount; ++m) {
    const MATERIAL& material = model.materials[static_cast<size_t>(m)];
    if (HasLineBreak(TextOf(material.name)) || HasLineBreak(TextOf(material.texture))) {
      return context.fail(FormatMessage("material %d has a line break in its name or texture", m));
    }
    if (!std::isfinite(material.smoothingAngle)) {
      return context.fail(FormatMessage("material %d has a smoothing angle that is not finite", m));
    }
  }
  for (int s = 0; s < kPictureSlots; ++s) {
    if (HasLineBreak(TextOf(model.pictures[static_cast<size_t>(s)].path))) {
      return context.fail(FormatMessage("back picture %d has a line break in its path", s + 1));
    }
  }
  for (int i = 1; i <= model.pointCount; ++i) {
    const VECTOR& p = model.points[static_cast<size_t>(i)].position;
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
      return context.fail(FormatMessage("point %d has a coordinate that is not finite", i));
    }
  }
  for (int i = 1; i <= model.faceCount; ++i) {
    for (const UV& uv : model.faces[static_cast<size_t>(i)].uv) {
      if (!std::isfinite(uv.u) || !std::isfinite(uv.v)) {
        return context.fail(FormatMessage("surface %d has a UV that is not finite", i));
      }
    }
  }
  return 1;
}

// The version lines and the view block, with the table counts.
void PutNativeScreenInfo(OutputBuffer& out, const Model& model, const SCENE& scene) {
  PutLine(out, kSeparator);
  PutLine(out, std::string("<VEXAL_VER.") + kNativeVersion + ">");
  PutLine(out, kSeparator);
  PutLine(out, "<SCREEN_INFO>");
  PutLine(out, "=ROTATE=");
  PutIntegerLine(out, {-TruncatedAngle(scene.angle.x)});
  PutIntegerLine(out, {TruncatedAngle(scene.angle.y)});
  PutLine(out, "=LOCATE=");
  PutRealLine(out, FiniteOr(scene.target.x, 0.0) * 100.0);
  PutRealLine(out, FiniteOr(scene.target.y, 0.0) * 100.0);
  PutRealLine(out, FiniteOr(scene.target.z, 0.0) * 100.0);
  PutLine(out, "=GRID=");
  PutIntegerLine(out, {0});
  PutLine(out, "=ZOOM=");
  PutRealLine(out, FiniteOr(scene.zoom, 1.0));
  PutRealLine(out, 1.0);
  PutLine(out, "=LOCK=");
  PutIntegerLine(out, {1, 1, 1});
  PutLine(out, "=COUNT=");
  PutIntegerLine(out, {model.pointCount, model.lineCount, model.faceCount, 0});
  PutLine(out, "=RESERVED=");
  PutIntegerLine(out, {0, 0, 0});
  PutLine(out, "=RESERVED=");
  PutIntegerLine(out, {0, 0, 0});
  PutIntegerLine(out, {0, 0, 0});
}

// The point, line and surface tables.
void PutNativeTables(OutputBuffer& out, const Model& model) {
  PutLine(out, "<POINT>");
  for (int i = 1; i <= model.pointCount; ++i) {
    const VERT& v = model.points[static_cast<size_t>(i)];
    PutRealLine(out, static_cast<double>(v.position.x) * 100.0);
    // Negating before scaling writes y = 0 as "-0.000000000", as files
    // written before always did.
    PutRealLine(out, -static_cast<double>(v.position.y) * 100.0);
    PutRealLine(out, static_cast<double>(v.position.z) * 100.0);
    PutIntegerLine(out, {v.state, v.flags, v.mirror});
  }
  PutLine(out, "<LINE>");
  for (int i = 1; i <= model.lineCount; ++i) {
    const LINE& line = model.lines[static_cast<size_t>(i)];
    PutIntegerLine(out, {line.a, line.b, line.state});
  }
  PutLine(out, "<SURFACE>");
  for (int i = 1; i <= model.faceCount; ++i) {
    const FACE& face = model.faces[static_cast<size_t>(i)];
    PutIntegerLine(out, {face.corners[0], face.corners[1], face.corners[2], face.corners[3],
                         face.material, face.state});
  }
}

// The palette colours, every surface's UVs, then each material's blend
// flag, name, texture, opacity and smoothing angle.
void PutNativeMaterials(OutputBuffer& out, const Model& model) {
  PutLine(out, "<PALETTE>");
  for (const MATERIAL& material : model.materials) {
    PutIntegerLine(out, {material.light[0], material.light[1], material.light[2], material.dark[0],
                         material.dark[1], material.dark[2]});
  }
  PutLine(out, "<UV>");
  for (int i = 1; i <= model.faceCount; ++i) {
    for (const UV& uv : model.faces[static_cast<size_t>(i)].uv) {
      out.put(' ');
      PutFixed(out, static_cast<double>(uv.u), 6, 0);
      out.put(' ');
      PutFixed(out, static_cast<double>(uv.v), 6, 0);
    }
    out.put(" \r\n");
  }
  PutLine(out, "<TEXTURE>");
  PutLine(out, std::to_string(kMaterialCount) + " 5");
  for (const MATERIAL& material : model.materials) {
    PutLine(out, std::to_string(material.blend));
    PutLine(out, TextOf(material.name));
    PutLine(out, TextOf(material.texture));
    PutLine(out, std::to_string(material.light[3]));
    PutFixed(out, static_cast<double>(material.smoothingAngle), 6, 0);
    out.put("\r\n");
  }
}

// The background pictures with their scale, depth and offset.
void PutNativePictures(OutputBuffer& out, const Model& model, const SCENE& scene) {
  PutLine(out, "<BPICTURE>");
  for (const BPICTURE& picture : model.pictures) {
    PutLine(out, std::to_string((picture.flipSide ? 1 : 0) | (picture.flip ? 2 : 0)));
    PutLine(out, TextOf(picture.path));
  }
  PutFixed(out, FiniteOr(scene.pictureScale, 1.0), 6, 0);
  out.put(" \r\n");
  PutFixed(out, FiniteOr(scene.pictureDepth, 2.0), 6, 0);
  out.put(" \r\n");
  for (float value : {scene.pictureOffset.x, scene.pictureOffset.y, scene.pictureOffset.z}) {
    PutFixed(out, FiniteOr(value, 0.0), 6, 0);
    out.put(' ');
  }
  out.put("\r\n");
}

}  // namespace

int ReadNativeBytes(std::span<const uint8_t> bytes, const std::string& /*name*/, ReadTarget& target,
                    FormatContext& context) {
  NativeContent content;
  NativeParser parser(AsText(bytes), context);
  if (!parser.parse(content)) {
    if (context.reason.empty()) context.reason = Translate("not a native document");
    return 0;
  }
  if (!(content.zoom > 0.0) || !std::isfinite(static_cast<float>(content.zoom))) {
    context.warnings.push_back(Translate("the stored zoom is not a positive number; 1 is used"));
    content.zoom = 1.0;
  }
  Commit(content, target);
  // The counts were checked above, so the limit check cannot refuse; it is
  // kept so that a loaded model passes the same gate as every other.
  if (CompactModel(target.model, 0) == 0) return context.fail(Translate("a table passes 19999 records"));
  RelinkFaces(target.model);
  return 1;
}

int LoadNativeFile(Document& document, const std::string& path, FormatContext& context) {
  return LoadModelFile(document, path, ReadNativeBytes, context);
}

int SaveNativeFile(Document& document, const std::string& path, FormatContext& context) {
  const Model& model = document.model;
  const SCENE& scene = document.scene;
  if (!CheckNativeWritable(model, context)) return 0;

  OutputBuffer out;
  PutNativeScreenInfo(out, model, scene);
  PutNativeTables(out, model);
  PutNativeMaterials(out, model);
  PutNativePictures(out, model, scene);

  std::string reason;
  if (!out.commit(path, &reason)) return context.fail(reason);
  return 1;
}

}  // namespace vexal
