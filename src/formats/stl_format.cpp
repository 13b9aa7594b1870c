#include "formats/stl_format.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "formats/format_support.h"
#include "formats/triangle_soup.h"
#include "io/byte_reader.h"
#include "io/file_bytes.h"
#include "io/line_reader.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/model.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

constexpr size_t kHeaderBytes = 80;
constexpr size_t kTriangleBytes = 50;
// Lines of an ASCII file are short; a longer one is not STL.
constexpr size_t kMaxAsciiLine = 4096;

// The triangles of the last read, kept so that a second read reuses their
// room.
TriangleSoup& Soup() {
  thread_local TriangleSoup soup;
  return soup;
}

VECTOR FromFile(float x, float y, float z) {
  return VECTOR(x, z, -y);
}
VECTOR ToFile(const VECTOR& p) {
  return VECTOR(p.x, -p.z, p.y);
}

bool Finite(const VECTOR& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// The next blank-separated word of line, consumed.
std::string_view NextWord(std::string_view& line) {
  size_t start = 0;
  while (start < line.size() && IsBlank(line[start])) ++start;
  size_t end = start;
  while (end < line.size() && !IsBlank(line[end])) ++end;
  const std::string_view word = line.substr(start, end - start);
  line.remove_prefix(end);
  return word;
}

bool ParseFloat(std::string_view word, float& value) {
  const char* begin = word.data();
  const char* end = begin + word.size();
  if (begin < end && *begin == '+') ++begin;
  double parsed = 0;
  const auto [next, error] = std::from_chars(begin, end, parsed);
  if (error != std::errc() || next != end || begin == end) return false;
  value = static_cast<float>(parsed);
  return std::isfinite(value);
}

// Keywords are compared without regard to case: some programs write them
// in capitals.
bool IsKeyword(std::string_view word, std::string_view keyword) {
  if (word.size() != keyword.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(word[i])) != keyword[i]) return false;
  }
  return true;
}

bool AddTriangle(TriangleSoup& soup, const std::array<VECTOR, 3>& corners, FormatContext& context,
                 const std::string& where) {
  std::array<int32_t, 3> points{};
  for (size_t k = 0; k < 3; ++k) {
    points[k] = soup.point(corners[k]);
    if (points[k] == 0) {
      context.fail(FormatMessage("%s: more than 19999 points", where.c_str()));
      return false;
    }
  }
  if (!soup.addTriangle(points, {}, 0)) {
    context.fail(FormatMessage("%s: more than 19999 surfaces", where.c_str()));
    return false;
  }
  return true;
}

bool ReadBinary(std::span<const uint8_t> bytes, uint32_t count, TriangleSoup& soup,
                FormatContext& context) {
  ByteReader reader(bytes);
  reader.skip(kHeaderBytes + 4);
  for (uint32_t t = 0; t < count; ++t) {
    const size_t offset = reader.position();
    reader.skip(12);  // the stored normal
    std::array<VECTOR, 3> corners;
    for (VECTOR& corner : corners) {
      const float x = reader.f32le();
      const float y = reader.f32le();
      const float z = reader.f32le();
      corner = FromFile(x, y, z);
    }
    reader.skip(2);  // attribute word
    if (!reader.ok())
      return context.fail(Format("offset %zu: triangle %u truncated", offset, t + 1)) != 0;
    for (const VECTOR& corner : corners) {
      if (!Finite(corner)) {
        return context.fail(
                   Format("offset %zu: triangle %u has a non-finite corner", offset, t + 1)) != 0;
      }
    }
    if (!AddTriangle(soup, corners, context, Format("triangle %u", t + 1))) return false;
  }
  return true;
}

// The ASCII form, checked statement by statement.
bool ReadAscii(std::string_view text, TriangleSoup& soup, FormatContext& context) {
  LineReader lines(text, LineReader::Ends::kLineFeed, kMaxAsciiLine);
  enum class Expect { kSolid, kFacetOrEnd, kOuterLoop, kVertex, kEndLoop, kEndFacet };
  Expect expect = Expect::kSolid;
  std::array<VECTOR, 3> corners;
  int corner = 0;
  bool sawSolidEnd = false;
  std::string_view line;
  const auto fail = [&](const std::string& what) {
    context.fail(FormatMessage("line %zu: %s", lines.lineNumber(), what.c_str()));
    return false;
  };
  while (lines.next(line)) {
    std::string_view rest = line;
    const std::string_view word = NextWord(rest);
    if (word.empty()) continue;
    switch (expect) {
      case Expect::kSolid:
        if (!IsKeyword(word, "solid")) return fail(Translate("\"solid\" expected"));
        expect = Expect::kFacetOrEnd;
        sawSolidEnd = false;
        break;
      case Expect::kFacetOrEnd:
        if (IsKeyword(word, "endsolid")) {
          expect = Expect::kSolid;
          sawSolidEnd = true;
          break;
        }
        if (!IsKeyword(word, "facet")) return fail(Translate("\"facet\" or \"endsolid\" expected"));
        if (!IsKeyword(NextWord(rest), "normal")) return fail(Translate("\"facet normal\" expected"));
        // The stored normal is not used (and some programs write "nan" for
        // a degenerate facet); three values must stand there all the same.
        for (int i = 0; i < 3; ++i) {
          if (NextWord(rest).empty()) return fail(Translate("a facet normal needs three values"));
        }
        expect = Expect::kOuterLoop;
        break;
      case Expect::kOuterLoop:
        if (!IsKeyword(word, "outer") || !IsKeyword(NextWord(rest), "loop")) return fail(Translate("\"outer loop\" expected"));
        expect = Expect::kVertex;
        corner = 0;
        break;
      case Expect::kVertex: {
        if (!IsKeyword(word, "vertex")) return fail(Translate("\"vertex\" expected"));
        float x, y, z;
        if (!ParseFloat(NextWord(rest), x) || !ParseFloat(NextWord(rest), y) ||
            !ParseFloat(NextWord(rest), z)) {
          return fail(Translate("a vertex needs three finite numbers"));
        }
        corners[static_cast<size_t>(corner++)] = FromFile(x, y, z);
        if (corner == 3) expect = Expect::kEndLoop;
        break;
      }
      case Expect::kEndLoop:
        if (!IsKeyword(word, "endloop")) return fail(Translate("\"endloop\" expected after three vertices"));
        expect = Expect::kEndFacet;
        break;
      case Expect::kEndFacet:
        if (!IsKeyword(word, "endfacet")) return fail(Translate("\"endfacet\" expected"));
        if (!AddTriangle(soup, corners, context, FormatMessage("line %zu", lines.lineNumber()))) {
          return false;
        }
        expect = Expect::kFacetOrEnd;
        break;
    }
  }
  if (lines.tooLong()) {
    context.fail(FormatMessage("line %zu: line too long for STL", lines.lineNumber() + 1));
    return false;
  }
  if (!sawSolidEnd || expect != Expect::kSolid) {
    context.fail(Translate("the file ends before \"endsolid\""));
    return false;
  }
  return true;
}

// The written triangles: corner slots of each non-guide surface.
template <typename Visit>
void ForEachTriangle(const Model& model, Visit&& visit) {
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.material == kGuideMaterial) continue;
    if (!IsQuad(face)) {
      visit(face, 0, 1, 2);
    } else if (ChooseQuadSplit(model, s) == 1) {
      visit(face, 0, 1, 2);
      visit(face, 2, 3, 0);
    } else {
      visit(face, 0, 1, 3);
      visit(face, 1, 2, 3);
    }
  }
}

struct FileTriangle {
  VECTOR normal;
  std::array<VECTOR, 3> corners;
};

std::vector<FileTriangle> FileTriangles(const Model& model) {
  std::vector<FileTriangle> triangles;
  triangles.reserve(static_cast<size_t>(model.faceCount) * 2);
  ForEachTriangle(model, [&](const FACE& face, int a, int b, int c) {
    FileTriangle t;
    const int slots[3] = {a, b, c};
    for (size_t k = 0; k < 3; ++k) {
      t.corners[k] = ToFile(model.points[face.corners[static_cast<size_t>(slots[k])]].position);
    }
    t.normal = TriangleNormal(t.corners[0], t.corners[1], t.corners[2]);
    triangles.push_back(t);
  });
  return triangles;
}

void PutNumber(OutputBuffer& out, float value) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value);
  if (error != std::errc()) return;
  out.put(' ');
  out.bytes(text, static_cast<size_t>(end - text));
}

void PutVector(OutputBuffer& out, const VECTOR& v) {
  PutNumber(out, v.x);
  PutNumber(out, v.y);
  PutNumber(out, v.z);
}

// The soup into the model; a file without triangles is an empty model.
int Commit(TriangleSoup& soup, bool empty, ReadTarget& target, FormatContext& context) {
  if (!soup.commit(target.model, context, empty)) return 0;
  if (soup.droppedTriangles() > 0) {
    context.warnings.push_back(Format("%d degenerate triangles dropped", soup.droppedTriangles()));
  }
  return 1;
}

}  // namespace

int ReadStlBytes(std::span<const uint8_t> bytes, const std::string& /*name*/, ReadTarget& target,
                 FormatContext& context) {
  TriangleSoup& soup = Soup();
  soup.clear();
  // A binary file is known by its size alone; anything else is read as
  // text, and a file that is neither says why for both.
  std::string notBinary = Translate("shorter than a binary header");
  if (bytes.size() >= kHeaderBytes + 4) {
    ByteReader header(bytes);
    header.skip(kHeaderBytes);
    const uint32_t count = header.u32le();
    const uint64_t needed = kHeaderBytes + 4 + uint64_t{count} * kTriangleBytes;
    if (needed == bytes.size()) {
      if (!ReadBinary(bytes, count, soup, context)) return 0;
      return Commit(soup, count == 0, target, context);
    }
    notBinary = Format("binary STL: %u triangles need %llu bytes, the file has %zu", count,
                       static_cast<unsigned long long>(needed), bytes.size());
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  FormatContext ascii;
  if (!ReadAscii(text, soup, ascii)) {
    return context.fail(FormatMessage("not an STL file: %s; ASCII STL: %s", notBinary.c_str(),
                                      ascii.reason.c_str()));
  }
  return Commit(soup, soup.triangleCount() == 0 && soup.droppedTriangles() == 0, target, context);
}

int LoadStlBytes(Model& model, std::span<const uint8_t> bytes, const std::string& name,
                 FormatContext& context) {
  return LoadBytesInto(model, bytes, name, ReadStlBytes, context);
}

int LoadStlFile(Document& document, const std::string& path, FormatContext& context) {
  std::vector<uint8_t> bytes;
  std::string why;
  if (!ReadFileBytes(path, bytes, &why)) return context.fail(why);
  return LoadModelBytes(document, bytes, path, ReadStlBytes, context);
}

int SaveStlFile(Document& document, const std::string& path, FormatContext& context) {
  const std::vector<FileTriangle> triangles = FileTriangles(document.model);
  OutputBuffer out;
  char header[kHeaderBytes] = {};
  // Not "solid": readers take a header starting so for the ASCII form.
  constexpr std::string_view kHeader = "binary STL written by Vexal";
  std::memcpy(header, kHeader.data(), kHeader.size());
  out.bytes(header, sizeof header);
  out.u32le(static_cast<uint32_t>(triangles.size()));
  for (const FileTriangle& t : triangles) {
    out.f32le(t.normal.x);
    out.f32le(t.normal.y);
    out.f32le(t.normal.z);
    for (const VECTOR& c : t.corners) {
      out.f32le(c.x);
      out.f32le(c.y);
      out.f32le(c.z);
    }
    out.u16le(0);
  }
  std::string why;
  if (!out.commit(path, &why)) return context.fail(FormatMessage("STL: %s", why.c_str()));
  return 1;
}

int SaveStlAsciiFile(Document& document, const std::string& path, FormatContext& context) {
  const std::vector<FileTriangle> triangles = FileTriangles(document.model);
  OutputBuffer out;
  out.put("solid vexal\n");
  for (const FileTriangle& t : triangles) {
    out.put("  facet normal");
    PutVector(out, t.normal);
    out.put("\n    outer loop\n");
    for (const VECTOR& c : t.corners) {
      out.put("      vertex");
      PutVector(out, c);
      out.put('\n');
    }
    out.put("    endloop\n  endfacet\n");
  }
  out.put("endsolid vexal\n");
  std::string why;
  if (!out.commit(path, &why)) return context.fail(FormatMessage("STL: %s", why.c_str()));
  return 1;
}


}  // namespace vexal
