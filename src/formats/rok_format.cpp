#include "formats/rok_format.h"

#include <array>
#include <charconv>
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
#include "model/document.h"
#include "model/maintenance.h"
#include "model/point_pair_table.h"
#include "settings/settings.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

constexpr std::string_view kMagic = "ROKU4";
// Some files carry a fixed-size prefix before the magic word.
constexpr size_t kPrefixBytes = 128;
constexpr int kMaxPaletteEntries = kMaterialCount;
// Materials 13..15 have no place in the file's palette.
constexpr int kWrittenMaterials = 13;

// The file's CR-ended lines, with numbers read as the format writes them.
class RokLines {
 public:
  explicit RokLines(std::string_view text)
      : lines_(text, LineReader::Ends::kCarriageReturn) {}

  // False at the end of the text. One LF after the previous CR belongs to a
  // CR LF line end, not to this line.
  bool next(std::string_view& line) {
    if (!lines_.next(line)) return false;
    if (!line.empty() && line.front() == '\n') line.remove_prefix(1);
    return true;
  }

  bool integer(int32_t& value) {
    std::string_view line;
    if (!next(line)) return ended();
    std::string_view text = TrimWhiteSpace(line);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
      error_ = Format("line %zu: %s is not an integer", lines_.lineNumber(), Quoted(line).c_str());
      return false;
    }
    return true;
  }

  bool real(double& value) {
    std::string_view line;
    if (!next(line)) return ended();
    std::string_view text = TrimWhiteSpace(line);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value)) {
      error_ = Format("line %zu: %s is not a finite number", lines_.lineNumber(), Quoted(line).c_str());
      return false;
    }
    return true;
  }

  bool skip(int count) {
    std::string_view line;
    for (int i = 0; i < count; ++i) {
      if (!next(line)) return ended();
    }
    return true;
  }

  size_t lineNumber() const { return lines_.lineNumber(); }
  const std::string& error() const { return error_; }
  bool atEnd() const { return lines_.atEnd(); }

 private:
  bool ended() {
    error_ = lines_.tooLong() ? Format("line %zu is too long", lines_.lineNumber() + 1)
                              : std::string(Translate("the file ends early"));
    return false;
  }

  LineReader lines_;
  std::string error_;
};

// A hidden flag of the file as an element state: 1 hides, 0 and 2 are kept,
// anything else is read as visible.
int32_t StateOfFlag(int32_t flag, int& odd) {
  if (flag == 1) return kStateHidden;
  if (flag == 0 || flag == kStateHidden) return flag;
  ++odd;
  return kStateNormal;
}

int32_t Channel(int32_t value, int& odd) {
  if (value >= 0 && value <= 255) return value;
  ++odd;
  return value < 0 ? 0 : 255;
}

class RokReader {
 public:
  RokReader(RokLines& in, Model& model, FormatContext& context)
      : in_(in), model_(model), context_(context), scale_(SettingsOf(context).RokImportScale) {}

  int read();

 private:
  int refuse(const std::string& why) {
    return context_.fail(FormatMessage("ROK: %s", why.c_str()));
  }
  int refuseRead(const char* section) {
    return refuse(std::string(Translate(section)) + ": " + in_.error());
  }
  // Reads the next line and reports whether it is the section word; false
  // with an error at the end of the file.
  bool sectionEnds(std::string_view word, bool& ended) {
    std::string_view line;
    if (!in_.next(line)) {
      ended = true;
      return false;
    }
    if (line == word) return true;
    pending_ = line;
    return false;
  }
  // The number on the line that sectionEnds looked at.
  bool pendingInteger(int32_t& value) {
    std::string_view text = TrimWhiteSpace(pending_);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
  }

  int readPoints();
  int readLines();
  int readSurfaces();
  int readPalette();
  void checkPartners();

  RokLines& in_;
  Model& model_;
  FormatContext& context_;
  float scale_;
  std::string_view pending_;
  int oddFlags_ = 0;
};

int RokReader::readPoints() {
  bool ended = false;
  while (!sectionEnds("LINE0", ended)) {
    if (ended) return refuse(Translate("the file ends inside the POINT section"));
    int32_t number;
    if (!pendingInteger(number)) {
      return refuse(Format("line %zu: point number %s is not an integer", in_.lineNumber(),
                           Quoted(pending_).c_str()));
    }
    int32_t zero, hidden, partner;
    double x, y, z;
    if (!in_.integer(zero) || !in_.integer(hidden) || !in_.integer(zero) || !in_.integer(partner) ||
        !in_.real(x) || !in_.real(y) || !in_.real(z)) {
      return refuseRead(MarkMessage("POINT section"));
    }
    if (model_.pointCount >= kMaxCount) {
      return refuse(Format("line %zu: more than %d points", in_.lineNumber(), kMaxCount));
    }
    const float px = static_cast<float>(x) * scale_;
    const float py = -static_cast<float>(y) * scale_;
    const float pz = -static_cast<float>(z) * scale_;
    if (!std::isfinite(px) || !std::isfinite(py) || !std::isfinite(pz)) {
      return refuse(Format("line %zu: a coordinate of point %d is out of range", in_.lineNumber(),
                           model_.pointCount + 1));
    }
    const int point = ++model_.pointCount;
    // Partners may name later points: checked once all are read.
    SetPoint(model_, point, px, py, pz, StateOfFlag(hidden, oddFlags_), partner);
  }
  return 1;
}

int RokReader::readLines() {
  bool ended = false;
  while (!sectionEnds("FACE0", ended)) {
    if (ended) return refuse(Translate("the file ends inside the LINE0 section"));
    int32_t a, b, zero, hidden;
    if (!pendingInteger(a)) {
      return refuse(Format("line %zu: line end %s is not an integer", in_.lineNumber(),
                           Quoted(pending_).c_str()));
    }
    if (!in_.integer(b) || !in_.integer(zero) || !in_.integer(hidden)) {
      return refuseRead(MarkMessage("LINE0 section"));
    }
    if (model_.lineCount >= kMaxCount) {
      return refuse(Format("line %zu: more than %d lines", in_.lineNumber(), kMaxCount));
    }
    if (a < 1 || a > model_.pointCount || b < 1 || b > model_.pointCount) {
      return refuse(Format("line %zu: line %d joins points %d and %d of %d", in_.lineNumber(),
                           model_.lineCount + 1, a, b, model_.pointCount));
    }
    const int line = ++model_.lineCount;
    SetLine(model_, line, a, b, StateOfFlag(hidden, oddFlags_));
  }
  return 1;
}

int RokReader::readSurfaces() {
  bool ended = false;
  while (!sectionEnds("END00", ended)) {
    if (ended) return refuse(Translate("the file ends inside the FACE0 section"));
    int32_t n, material, number;
    if (!pendingInteger(n)) {
      return refuse(Format("line %zu: line count %s is not an integer", in_.lineNumber(),
                           Quoted(pending_).c_str()));
    }
    if (n != 3 && n != 4) {
      return refuse(Format("line %zu: a surface of %d lines", in_.lineNumber(), n));
    }
    if (!in_.integer(material) || !in_.integer(number))
      return refuseRead(MarkMessage("FACE0 section"));
    std::array<int32_t, 4> lines{};
    for (int e = 0; e < n; ++e) {
      if (!in_.integer(lines[static_cast<size_t>(e)]))
        return refuseRead(MarkMessage("FACE0 section"));
    }
    const int surface = model_.faceCount + 1;
    if (surface > kMaxCount) {
      return refuse(Format("line %zu: more than %d surfaces", in_.lineNumber(), kMaxCount));
    }
    if (material < 0 || material >= kMaterialCount) {
      return refuse(Format("line %zu: surface %d has material %d", in_.lineNumber(), surface, material));
    }
    for (int e = 0; e < n; ++e) {
      const int32_t line = lines[static_cast<size_t>(e)];
      if (line < 1 || line > model_.lineCount) {
        return refuse(Format("line %zu: surface %d names line %d of %d", in_.lineNumber(), surface,
                             line, model_.lineCount));
      }
    }
    // A line whose first point is an end of the next edge's line runs
    // against the winding.
    std::array<int32_t, 4> references{};
    std::array<int32_t, 4> corners{};
    for (int e = 0; e < n; ++e) {
      const int32_t f = lines[static_cast<size_t>(e)];
      const LINE& first = model_.lines[f];
      const LINE& next = model_.lines[lines[static_cast<size_t>((e + 1) % n)]];
      const bool against = first.a == next.a || first.a == next.b;
      references[static_cast<size_t>(e)] = against ? -f : f;
      corners[static_cast<size_t>(e)] = against ? first.b : first.a;
    }
    for (int e = 0; e < n; ++e) {
      const LINE& line = model_.lines[std::abs(references[static_cast<size_t>(e)])];
      const int32_t end = references[static_cast<size_t>(e)] > 0 ? line.b : line.a;
      if (end != corners[static_cast<size_t>((e + 1) % n)]) {
        return refuse(Format("line %zu: the lines of surface %d do not close around it",
                             in_.lineNumber(), surface));
      }
    }
    if (n == 3) {
      corners[3] = corners[0];
      references[3] = references[0];
    } else if (corners[3] == corners[0]) {
      return refuse(Format("line %zu: the lines of surface %d do not close around it",
                           in_.lineNumber(), surface));
    }
    SetFace(model_, surface, corners[0], corners[1], corners[2], corners[3], material, kStateNormal);
    SetFaceLines(model_, surface, references[0], references[1], references[2], references[3]);
    model_.faceCount = surface;
  }
  return 1;
}

// The palette is optional and changes nothing but colours: one cut short
// is reported and read as far as it goes; one longer than the palette is
// refused.
int RokReader::readPalette() {
  std::string_view line;
  if (!in_.next(line) || line != "PALC0") return 1;
  int32_t count, unused;
  if (!in_.integer(count)) {
    context_.warnings.push_back(FormatMessage("ROK: palette: %s", in_.error().c_str()));
    return 1;
  }
  if (count < 0 || count > kMaxPaletteEntries) {
    return refuse(Format("line %zu: a palette of %d entries", in_.lineNumber(), count));
  }
  if (!in_.integer(unused)) {
    context_.warnings.push_back(FormatMessage("ROK: palette: %s", in_.error().c_str()));
    return 1;
  }
  int odd = 0;
  for (int m = 0; m < count; ++m) {
    std::array<int32_t, 7> values{};
    for (int32_t& value : values) {
      if (!in_.integer(value)) {
        context_.warnings.push_back(Format("ROK: palette entry %d: %s", m, in_.error().c_str()));
        return 1;
      }
    }
    SetMaterialColors(model_, m, Channel(values[0], odd), Channel(values[1], odd), Channel(values[2], odd),
                      model_.materials[static_cast<size_t>(m)].light[3], Channel(values[3], odd),
                      Channel(values[4], odd), Channel(values[5], odd),
                      model_.materials[static_cast<size_t>(m)].dark[3]);
  }
  if (odd > 0) {
    context_.warnings.push_back(Format("ROK: %d palette values outside 0..255 clamped", odd));
  }
  return 1;
}

void RokReader::checkPartners() {
  int cleared = 0;
  std::vector<int32_t> partners(static_cast<size_t>(model_.pointCount) + 1, 0);
  for (int i = 1; i <= model_.pointCount; ++i) {
    const int32_t p = model_.points[i].mirror;
    if (p != 0 && model_.points[p].mirror == i) {
      partners[static_cast<size_t>(i)] = p;
    } else if (p != 0) {
      ++cleared;
    }
  }
  for (int i = 1; i <= model_.pointCount; ++i) model_.points[i].mirror = partners[static_cast<size_t>(i)];
  if (cleared > 0) {
    context_.warnings.push_back(Format("ROK: %d one-sided mirror partners dropped", cleared));
  }
}

int RokReader::read() {
  // The 14 header numbers and the "POINT" line.
  if (!in_.skip(15)) return refuseRead(MarkMessage("header"));
  if (!readPoints()) return 0;
  for (int i = 1; i <= model_.pointCount; ++i) {
    const int32_t partner = model_.points[i].mirror;
    if (partner < 0 || partner > model_.pointCount) {
      return refuse(Format("point %d has mirror partner %d of %d", i, partner, model_.pointCount));
    }
  }
  checkPartners();
  if (!readLines() || !readSurfaces()) return 0;
  if (!readPalette()) return 0;
  if (oddFlags_ > 0) {
    context_.warnings.push_back(Format("ROK: %d hidden flags other than 0, 1 or 2 read as visible", oddFlags_));
  }
  if (!CompactModel(model_, 0)) return refuse(Format("the model passes the %d record limit", kMaxCount));
  return 1;
}

void PutInt(OutputBuffer& out, int value) { out.printf("%5d\r", value); }
void PutReal(OutputBuffer& out, double value) { out.printf("%16.9f\r", value); }

// What a ROK file keeps of the model: only points with a mirror partner,
// numbered from 1 in table order, and only the lines between two of them.
struct RokNumbering {
  std::vector<int32_t> pointNumber;  // by model point, 0 when left out
  std::vector<int32_t> lineNumber;   // by model line, 0 when left out
  PointPairTable written;            // both directions of a kept line -> model line
  int32_t lines = 0;

  int32_t numberOf(const Model& model, int32_t point) const {
    return point >= 1 && point <= model.pointCount ? pointNumber[static_cast<size_t>(point)] : 0;
  }
};

RokNumbering NumberRokRecords(const Model& model) {
  RokNumbering numbering;
  numbering.pointNumber.assign(static_cast<size_t>(model.pointCount) + 1, 0);
  int32_t points = 0;
  for (int i = 1; i <= model.pointCount; ++i) {
    if (model.points[i].mirror != 0) numbering.pointNumber[static_cast<size_t>(i)] = ++points;
  }
  numbering.lineNumber.assign(static_cast<size_t>(model.lineCount) + 1, 0);
  numbering.written.reset(static_cast<size_t>(model.lineCount) * 2);
  for (int i = 1; i <= model.lineCount; ++i) {
    const LINE& line = model.lines[i];
    if (numbering.numberOf(model, line.a) == 0 || numbering.numberOf(model, line.b) == 0) continue;
    numbering.lineNumber[static_cast<size_t>(i)] = ++numbering.lines;
    numbering.written.store(line.a, line.b, i);
    numbering.written.store(line.b, line.a, i);
  }
  return numbering;
}

// The magic word and the fixed view block.
void PutRokHeader(OutputBuffer& out) {
  out.put("ROKU4\r");
  for (double value : {-0.9, -0.25, 0.0, 0.0, 0.0, 1.5, 1.0, 1.0}) PutReal(out, value);
  PutInt(out, 1);
  PutInt(out, 0);
  for (double value : {345.0, 345.0, 306.0, 138.0}) PutReal(out, value);
}

void PutRokPoints(OutputBuffer& out, const Model& model, const RokNumbering& numbering, float scale) {
  out.put("POINT\r");
  for (int i = 1; i <= model.pointCount; ++i) {
    const VERT& point = model.points[i];
    if (numbering.pointNumber[static_cast<size_t>(i)] == 0) continue;
    PutInt(out, numbering.pointNumber[static_cast<size_t>(i)]);
    PutInt(out, 0);
    PutInt(out, point.state == kStateHidden ? 1 : 0);
    PutInt(out, 0);
    PutInt(out, numbering.numberOf(model, point.mirror));
    PutReal(out, point.position.x * scale);
    PutReal(out, -point.position.y * scale);
    PutReal(out, -point.position.z * scale);
  }
}

void PutRokLines(OutputBuffer& out, const Model& model, const RokNumbering& numbering) {
  out.put("LINE0\r");
  for (int i = 1; i <= model.lineCount; ++i) {
    if (numbering.lineNumber[static_cast<size_t>(i)] == 0) continue;
    const LINE& line = model.lines[i];
    PutInt(out, numbering.numberOf(model, line.a));
    PutInt(out, numbering.numberOf(model, line.b));
    PutInt(out, 0);
    PutInt(out, line.state == kStateHidden ? 1 : 0);
  }
}

// The surfaces of the written materials whose corners and edges were all
// kept. Returns how many were left out for an edge without a line.
int PutRokFaces(OutputBuffer& out, const Model& model, const RokNumbering& numbering) {
  out.put("FACE0\r");
  int32_t surfaces = 0;
  int unlinked = 0;
  for (int s2 = 1; s2 <= model.faceCount; ++s2) {
    const FACE& face = model.faces[s2];
    if (face.material < 0 || face.material >= kWrittenMaterials) continue;
    const int n = CornerCount(face);
    bool allWritten = true;
    for (int k = 0; k < n; ++k) {
      allWritten = allWritten && numbering.numberOf(model, face.corners[static_cast<size_t>(k)]) != 0;
    }
    if (!allWritten) continue;
    // The file names a surface by its lines, so each edge needs one: the
    // stored reference when it matches the edge, else any line on the edge.
    std::array<int32_t, 4> edgeLines{};
    for (int e = 0; e < n; ++e) {
      const int32_t a = face.corners[static_cast<size_t>(e)];
      const int32_t b = face.corners[static_cast<size_t>((e + 1) % n)];
      const int32_t reference = std::abs(face.lines[static_cast<size_t>(e)]);
      int32_t line = 0;
      if (reference >= 1 && reference <= model.lineCount) {
        const LINE& candidate = model.lines[reference];
        if ((candidate.a == a && candidate.b == b) || (candidate.a == b && candidate.b == a)) line = reference;
      }
      if (line == 0) line = numbering.written.find(a, b);
      edgeLines[static_cast<size_t>(e)] = line > 0 ? numbering.lineNumber[static_cast<size_t>(line)] : 0;
    }
    bool linked = true;
    for (int e = 0; e < n; ++e) linked = linked && edgeLines[static_cast<size_t>(e)] != 0;
    if (!linked) {
      ++unlinked;
      continue;
    }
    PutInt(out, n);
    PutInt(out, face.material);
    PutInt(out, ++surfaces);
    for (int e = 0; e < n; ++e) PutInt(out, edgeLines[static_cast<size_t>(e)]);
  }
  return unlinked;
}

void PutRokPalette(OutputBuffer& out, const Model& model) {
  out.put("END00\rPALC0\r");
  PutInt(out, kWrittenMaterials);
  PutInt(out, 0);
  for (int m = 0; m < kWrittenMaterials; ++m) {
    const MATERIAL& material = model.materials[static_cast<size_t>(m)];
    for (int c = 0; c < 3; ++c) PutInt(out, material.light[static_cast<size_t>(c)]);
    for (int c = 0; c < 3; ++c) PutInt(out, material.dark[static_cast<size_t>(c)]);
    PutInt(out, 0);
  }
}

// The fixed background colours, lights and view switches, then one line
// attribute record per written line.
void PutRokTrailer(OutputBuffer& out, int32_t lines) {
  out.put("ENDP0\rBAKC0\r");
  PutInt(out, 7);
  PutInt(out, 8);
  constexpr int kBackground[7][4] = {{255, 255, 255, 0}, {13, 206, 212, 0}, {3, 4, 206, 0},
                                     {255, 19, 2, 0},    {21, 111, 16, 0},  {121, 78, 2, 0},
                                     {0, 0, 0, 0}};
  for (const auto& row : kBackground) {
    for (int value : row) PutInt(out, value);
  }
  out.put("ENDB0\rLIT00\r");
  PutInt(out, 3);
  PutInt(out, 0);
  constexpr double kLights[3][3] = {{0.574988908, 0.511101252, 0.638876565},
                                    {-0.574988908, 0.511101252, 0.638876565},
                                    {0.0, -0.668964732, 0.743294146}};
  for (const auto& light : kLights) {
    for (double value : light) PutReal(out, value);
    PutInt(out, 0);
  }
  out.put("ENDL0\rVIEW0\r");
  for (int value : {1, 1, 0, 0}) PutInt(out, value);
  out.put("ENDV0\rLINE2\r");
  for (int32_t i = 1; i <= lines; ++i) {
    PutInt(out, i);
    PutInt(out, 0);
    PutInt(out, 9);
    PutInt(out, 1);
  }
  out.put("ENDL2\r");
}

}  // namespace

int ReadRokBytes(std::span<const uint8_t> bytes, const std::string& /*name*/, ReadTarget& target,
                 FormatContext& context) {
  const std::string_view text = AsText(bytes);

  RokLines in(text);
  std::string_view line;
  if (!in.next(line) || line != kMagic) {
    if (text.size() <= kPrefixBytes) return context.fail(Translate("ROK: not a ROK file (no \"ROKU4\" line)"));
    in = RokLines(text.substr(kPrefixBytes));
    if (!in.next(line) || line != kMagic) {
      return context.fail(Translate("ROK: not a ROK file (no \"ROKU4\" line at the start or at byte 128)"));
    }
  }

  RokReader reader(in, target.model, context);
  return reader.read();
}

int LoadRokFile(Document& document, const std::string& path, FormatContext& context) {
  return LoadModelFile(document, path, ReadRokBytes, context);
}

int SaveRokFile(Document& document, const std::string& path, FormatContext& context) {
  const Model& model = document.model;
  const float scale = SettingsOf(context).RokExportScale;
  const RokNumbering numbering = NumberRokRecords(model);

  OutputBuffer out;
  PutRokHeader(out);
  PutRokPoints(out, model, numbering, scale);
  PutRokLines(out, model, numbering);
  const int unlinked = PutRokFaces(out, model, numbering);
  if (unlinked > 0) {
    context.warnings.push_back(Format("ROK: %d surfaces without lines on their edges left out", unlinked));
  }
  PutRokPalette(out, model);
  PutRokTrailer(out, numbering.lines);

  std::string why;
  if (!out.commit(path, &why)) return context.fail(FormatMessage("ROK: %s", why.c_str()));
  return 1;
}

}  // namespace vexal
