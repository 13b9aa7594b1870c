#include "io/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <random>

#include "io/message_catalog.h"
#include "io/text_format.h"

namespace vexal {
namespace {

void SetReason(std::string* reason, std::string text) {
  if (reason) *reason = std::move(text);
}

std::string ErrnoText() { return std::strerror(errno); }

}  // namespace

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out, std::string* reason) {
  out.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    SetReason(reason, FormatMessage("cannot open: %s", ErrnoText().c_str()));
    return false;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    SetReason(reason, Translate("cannot open: not a regular file"));
    return false;
  }
  if (static_cast<uint64_t>(info.st_size) > kMaxInputFileBytes) {
    ::close(fd);
    SetReason(reason, Translate("file too large"));
    return false;
  }
  out.resize(static_cast<size_t>(info.st_size));
  size_t done = 0;
  while (done < out.size()) {
    const ssize_t got = ::read(fd, out.data() + done, out.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  ::close(fd);
  if (done != out.size()) {
    out.clear();
    SetReason(reason, Translate("read error"));
    return false;
  }
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* reason) {
  std::string directory = ".";
  if (const auto slash = path.find_last_of('/'); slash != std::string::npos) {
    directory = slash == 0 ? "/" : path.substr(0, slash);
  }
  std::random_device random;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".vexal-%08x.tmp", random());
    temporary = path + suffix;
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    SetReason(reason, FormatMessage("cannot write: %s", ErrnoText().c_str()));
    return false;
  }
  size_t done = 0;
  bool ok = true;
  while (done < bytes.size()) {
    const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      ok = false;
      break;
    }
    done += static_cast<size_t>(wrote);
  }
  std::string failure = ok ? std::string() : ErrnoText();
  if (ok && ::fsync(fd) != 0) {
    ok = false;
    failure = ErrnoText();
  }
  if (::close(fd) != 0 && ok) {
    ok = false;
    failure = ErrnoText();
  }
  if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
    ok = false;
    failure = ErrnoText();
  }
  if (!ok) {
    ::unlink(temporary.c_str());
    SetReason(reason, FormatMessage("cannot write: %s", failure.c_str()));
    return false;
  }
  return true;
}

void OutputBuffer::printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendFormatted(data_, format, args);
  va_end(args);
}

void OutputBuffer::u16le(uint16_t v) {
  u8(static_cast<uint8_t>(v));
  u8(static_cast<uint8_t>(v >> 8));
}
void OutputBuffer::u32le(uint32_t v) {
  u16le(static_cast<uint16_t>(v));
  u16le(static_cast<uint16_t>(v >> 16));
}
void OutputBuffer::u16be(uint16_t v) {
  u8(static_cast<uint8_t>(v >> 8));
  u8(static_cast<uint8_t>(v));
}
void OutputBuffer::u32be(uint32_t v) {
  u16be(static_cast<uint16_t>(v >> 16));
  u16be(static_cast<uint16_t>(v));
}
void OutputBuffer::f32le(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  u32le(bits);
}
void OutputBuffer::f32be(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  u32be(bits);
}
void OutputBuffer::patchU32le(size_t offset, uint32_t v) {
  for (int i = 0; i < 4; ++i) data_[offset + i] = static_cast<char>(v >> (8 * i));
}
void OutputBuffer::patchU32be(size_t offset, uint32_t v) {
  for (int i = 0; i < 4; ++i) data_[offset + i] = static_cast<char>(v >> (8 * (3 - i)));
}
void OutputBuffer::patchU16be(size_t offset, uint16_t v) {
  data_[offset] = static_cast<char>(v >> 8);
  data_[offset + 1] = static_cast<char>(v);
}

}  // namespace vexal
