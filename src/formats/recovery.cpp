#include "formats/recovery.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "formats/native_format.h"
#include "io/file_bytes.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kIndexHeader = "vexal recovery index 1";
constexpr size_t kMaxIndexBytes = size_t{1} << 20;
constexpr const char* kIndexName = "index";
constexpr const char* kLockName = "index.lock";

// The start time of a process, field 22 of /proc/<pid>/stat; 0 when it
// cannot be read. The command name (field 2) may hold blanks and
// parentheses, so the fields are counted from its last ')'.
int64_t ProcessStart(int64_t pid) {
  // The kernel reports a size of 0 for /proc files, so this is read to
  // its end rather than to its size; the line is well under 1 KiB.
  const std::string path = "/proc/" + std::to_string(pid) + "/stat";
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return 0;
  char buffer[1024];
  size_t size = 0;
  while (size < sizeof buffer) {
    const ssize_t got = ::read(descriptor, buffer + size, sizeof buffer - size);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    size += static_cast<size_t>(got);
  }
  ::close(descriptor);
  const std::string_view text(buffer, size);
  const size_t close = text.rfind(')');
  if (close == std::string_view::npos) return 0;
  // After ')' come field 3 (state) onwards; start time is the 20th of them.
  size_t at = close + 1;
  for (int field = 3; field <= 22; ++field) {
    while (at < text.size() && text[at] == ' ') ++at;
    const size_t end = std::min(text.find(' ', at), text.size());
    if (field == 22) {
      int64_t value = 0;
      const auto [ptr, error] = std::from_chars(text.data() + at, text.data() + end, value);
      return error == std::errc() && ptr == text.data() + end ? value : 0;
    }
    at = end;
  }
  return 0;
}

std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

bool Unescape(std::string_view text, std::string& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return false;
    switch (text[i]) {
      case '\\': out += '\\'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      default: return false;
    }
  }
  return true;
}

template <typename T>
bool ParseNumber(std::string_view text, T& value) {
  if (text.empty()) return false;
  const auto [ptr, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && ptr == text.data() + text.size();
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const size_t tab = line.find('\t');
    fields.push_back(line.substr(0, tab));
    if (tab == std::string_view::npos) return fields;
    line.remove_prefix(tab + 1);
  }
}

// Holds the folder's index lock for its lifetime. flock locks are released
// by the kernel when the process dies, so a crash leaves no stale lock.
class IndexLock {
 public:
  explicit IndexLock(const std::string& folder) {
    descriptor_ = ::open((fs::path(folder) / kLockName).c_str(),
                         O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor_ < 0) return;
    while (::flock(descriptor_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        ::close(descriptor_);
        descriptor_ = -1;
        return;
      }
    }
  }
  ~IndexLock() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  IndexLock(const IndexLock&) = delete;
  IndexLock& operator=(const IndexLock&) = delete;
  bool held() const { return descriptor_ >= 0; }

 private:
  int descriptor_ = -1;
};

// Every parsed line, whether or not its copy exists.
bool ReadIndex(const std::string& folder, std::vector<RecoveryEntry>& out, std::string* reason) {
  out.clear();
  const fs::path index = fs::path(folder) / kIndexName;
  std::error_code error;
  const auto status = fs::symlink_status(index, error);
  if (status.type() == fs::file_type::not_found) return true;
  if (status.type() != fs::file_type::regular) {
    if (reason) *reason = FormatMessage("%s: not a regular file", index.string().c_str());
    return false;
  }
  const auto size = fs::file_size(index, error);
  if (error || size > kMaxIndexBytes) {
    if (reason)
      *reason = FormatMessage("%s: too large for a recovery index", index.string().c_str());
    return false;
  }
  std::vector<uint8_t> bytes;
  std::string why;
  if (!ReadFileBytes(index.string(), bytes, &why)) {
    if (reason) *reason = index.string() + ": " + why;
    return false;
  }
  out = ParseRecoveryIndex(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), folder);
  return true;
}

bool WriteIndex(const std::string& folder, const std::vector<RecoveryEntry>& entries,
                std::string* reason) {
  const fs::path index = fs::path(folder) / kIndexName;
  if (entries.empty()) {
    std::error_code error;
    fs::remove(index, error);
    return true;
  }
  std::string why;
  if (!WriteFileAtomically(index.string(), FormatRecoveryIndex(entries), &why)) {
    if (reason) *reason = index.string() + ": " + why;
    return false;
  }
  return true;
}

bool MakeFolder(const std::string& folder, std::string* reason) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) {
    if (reason)
      *reason = FormatMessage("%s: cannot create the folder: %s", folder.c_str(),
                              error.message().c_str());
    return false;
  }
  fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
  return true;
}

// The index entry a COPY argument names: its file name must be listed.
std::vector<RecoveryEntry>::iterator FindCopy(std::vector<RecoveryEntry>& entries,
                                              const std::string& copy) {
  const std::string name = fs::path(copy).filename().string();
  return std::find_if(entries.begin(), entries.end(), [&](const RecoveryEntry& entry) {
    return fs::path(entry.copy).filename().string() == name;
  });
}

// The window's platform without the file history: a copy's path is no file
// the user opened.
class WithoutHistory : public DocumentPlatform {
 public:
  explicit WithoutHistory(DocumentPlatform& inner) : inner_(inner) {}
  bool runSaveDialog(std::string& fileName, int& typeIndex) override {
    return inner_.runSaveDialog(fileName, typeIndex);
  }
  void showWarning(std::string_view text, std::string_view caption) override {
    inner_.showWarning(text, caption);
  }
  void setBusyCursor(bool busy) override { inner_.setBusyCursor(busy); }
  void setStatusText(std::string_view text) override { inner_.setStatusText(text); }
  void setCaption(std::string_view caption) override { inner_.setCaption(caption); }
  void addToHistory(const std::string& /*path*/) override {}
  uint32_t tickCount() override { return inner_.tickCount(); }
  void closeDocumentWindow() override { inner_.closeDocumentWindow(); }
  void documentOpened() override { inner_.documentOpened(); }

 private:
  DocumentPlatform& inner_;
};

}  // namespace

int OpenRecoveryCopy(Document& document, DocumentFile& file, const RecoveryEntry& entry,
                     const DocumentIo& io) {
  WithoutHistory platform(io.platform);
  DocumentIo copyIo{io.settings, platform, io.readers, io.writers};
  if (OpenDocumentFile(document, file, entry.copy, kOpenNative, copyIo) != 1) return 0;
  document.scene.fileName = entry.path;
  file.caption = entry.path.empty() ? entry.name : entry.path;
  file.saveFileName = entry.path;
  file.saveTypeIndex = kSaveNative;
  document.scene.modified = 1;
  io.platform.setCaption(file.caption);
  return 1;
}

RecoveryOwner CurrentRecoveryOwner() {
  RecoveryOwner owner;
  owner.pid = ::getpid();
  owner.start = ProcessStart(owner.pid);
  return owner;
}

bool RecoveryOwnerRuns(const RecoveryOwner& owner) {
  if (owner.pid <= 0 || owner.pid > INT32_MAX) return false;
  if (::kill(static_cast<pid_t>(owner.pid), 0) != 0 && errno != EPERM) return false;
  if (owner.start == 0) return true;
  const int64_t start = ProcessStart(owner.pid);
  return start == 0 || start == owner.start;
}

std::string DefaultRecoveryFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return std::string(state) + "/vexal/recovery";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') {
    return std::string(home) + "/.local/state/vexal/recovery";
  }
  return {};
}

std::string IsoTime(int64_t secondsSince1970) {
  const std::time_t time = static_cast<std::time_t>(secondsSince1970);
  std::tm parts{};
  if (gmtime_r(&time, &parts) == nullptr) return "?";
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

std::unique_ptr<Document> RecoveryRecords::document() const {
  auto copy = std::make_unique<Document>();
  copy->undo = UndoRing(kMinUndoSlots);
  records_.restore(copy->model);
  copy->model.pictures = pictures_;
  copy->scene = scene_;
  return copy;
}

std::string RecoveryCopyName(const RecoveryOwner& owner, int32_t document) {
  return std::to_string(owner.pid) + "-" + std::to_string(owner.start) + "-" +
         std::to_string(document) + ".vxl";
}

std::string FormatRecoveryIndex(const std::vector<RecoveryEntry>& entries) {
  std::string text(kIndexHeader);
  text += '\n';
  for (const RecoveryEntry& entry : entries) {
    text += RecoveryCopyName(entry.owner, entry.document) + '\t' + std::to_string(entry.owner.pid) +
            '\t' + std::to_string(entry.owner.start) + '\t' + std::to_string(entry.document) +
            '\t' + std::to_string(entry.written) + '\t' + Escape(entry.path) + '\t' +
            Escape(entry.name) + '\n';
  }
  return text;
}

std::vector<RecoveryEntry> ParseRecoveryIndex(std::string_view text, const std::string& folder) {
  std::vector<RecoveryEntry> entries;
  const size_t first = text.find('\n');
  if (text.substr(0, first) != kIndexHeader || first == std::string_view::npos) return entries;
  text.remove_prefix(first + 1);
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    const std::vector<std::string_view> fields = SplitTabs(line);
    if (fields.size() != 7) continue;
    RecoveryEntry entry;
    if (!ParseNumber(fields[1], entry.owner.pid) || !ParseNumber(fields[2], entry.owner.start) ||
        !ParseNumber(fields[3], entry.document) || !ParseNumber(fields[4], entry.written) ||
        !Unescape(fields[5], entry.path) || !Unescape(fields[6], entry.name)) {
      continue;
    }
    if (entry.owner.pid <= 0 || entry.owner.start < 0 || entry.document < 0) continue;
    // The name is made from the numbers, so a line cannot point anywhere
    // but at a copy of the folder.
    if (fields[0] != RecoveryCopyName(entry.owner, entry.document)) continue;
    entry.copy = (fs::path(folder) / fields[0]).string();
    entries.push_back(std::move(entry));
  }
  return entries;
}

bool RecoveryFolder::entries(std::vector<RecoveryEntry>& out, std::string* reason) const {
  std::vector<RecoveryEntry> all;
  if (!ReadIndex(folder_, all, reason)) return false;
  out.clear();
  for (RecoveryEntry& entry : all) {
    std::error_code error;
    if (fs::symlink_status(entry.copy, error).type() == fs::file_type::regular) {
      out.push_back(std::move(entry));
    }
  }
  return true;
}

std::vector<RecoveryEntry> RecoveryFolder::recoverable() const {
  std::vector<RecoveryEntry> all;
  std::vector<RecoveryEntry> dead;
  if (!entries(all, nullptr)) return dead;
  for (RecoveryEntry& entry : all) {
    if (!RecoveryOwnerRuns(entry.owner)) dead.push_back(std::move(entry));
  }
  return dead;
}

bool RecoveryFolder::writeCopy(Document& snapshot, const RecoveryOwner& owner, int32_t document,
                               const std::string& path, const std::string& name, int64_t written,
                               std::string* reason) {
  if (folder_.empty()) {
    if (reason) *reason = Translate("no folder for recovery copies (HOME is not set)");
    return false;
  }
  if (!MakeFolder(folder_, reason)) return false;
  RecoveryEntry entry;
  entry.owner = owner;
  entry.document = document;
  entry.written = written;
  entry.path = path;
  entry.name = name;
  entry.copy = (fs::path(folder_) / RecoveryCopyName(owner, document)).string();
  FormatContext context;
  if (SaveNativeFile(snapshot, entry.copy, context) != 1) {
    if (reason) *reason = entry.copy + ": " + context.reason;
    return false;
  }
  IndexLock lock(folder_);
  if (!lock.held()) {
    if (reason) *reason = FormatMessage("%s: cannot lock the recovery index", folder_.c_str());
    return false;
  }
  std::vector<RecoveryEntry> all;
  // An unreadable index is replaced: it could only ever hide copies.
  if (!ReadIndex(folder_, all, nullptr)) all.clear();
  const auto same = std::find_if(all.begin(), all.end(), [&](const RecoveryEntry& e) {
    return e.owner == owner && e.document == document;
  });
  if (same != all.end()) {
    *same = std::move(entry);
  } else {
    all.push_back(std::move(entry));
  }
  return WriteIndex(folder_, all, reason);
}

bool RecoveryFolder::removeCopy(const RecoveryOwner& owner, int32_t document,
                                std::string* reason) {
  if (folder_.empty()) return true;
  std::error_code error;
  if (!fs::exists(folder_, error)) return true;
  IndexLock lock(folder_);
  if (!lock.held()) {
    if (reason) *reason = FormatMessage("%s: cannot lock the recovery index", folder_.c_str());
    return false;
  }
  std::vector<RecoveryEntry> all;
  if (!ReadIndex(folder_, all, reason)) return false;
  fs::remove(fs::path(folder_) / RecoveryCopyName(owner, document), error);
  const auto kept = std::remove_if(all.begin(), all.end(), [&](const RecoveryEntry& e) {
    return e.owner == owner && e.document == document;
  });
  if (kept == all.end()) return true;
  all.erase(kept, all.end());
  return WriteIndex(folder_, all, reason);
}

bool RecoveryFolder::discard(const std::string& copy, std::string* reason) {
  IndexLock lock(folder_);
  if (!lock.held()) {
    if (reason) *reason = FormatMessage("%s: cannot lock the recovery index", folder_.c_str());
    return false;
  }
  std::vector<RecoveryEntry> all;
  if (!ReadIndex(folder_, all, reason)) return false;
  const auto found = FindCopy(all, copy);
  if (found == all.end()) {
    if (reason)
      *reason = FormatMessage("%s: not a recovery copy of %s", copy.c_str(), folder_.c_str());
    return false;
  }
  if (RecoveryOwnerRuns(found->owner)) {
    if (reason)
      *reason = FormatMessage("%s: the program that wrote it is still running", copy.c_str());
    return false;
  }
  std::error_code error;
  fs::remove(found->copy, error);
  all.erase(found);
  return WriteIndex(folder_, all, reason);
}

bool RecoveryFolder::adopt(const std::string& copy, const RecoveryOwner& owner, int32_t document,
                           std::string* reason) {
  IndexLock lock(folder_);
  if (!lock.held()) {
    if (reason) *reason = FormatMessage("%s: cannot lock the recovery index", folder_.c_str());
    return false;
  }
  std::vector<RecoveryEntry> all;
  if (!ReadIndex(folder_, all, reason)) return false;
  const auto found = FindCopy(all, copy);
  if (found == all.end()) {
    if (reason)
      *reason = FormatMessage("%s: not a recovery copy of %s", copy.c_str(), folder_.c_str());
    return false;
  }
  if (RecoveryOwnerRuns(found->owner)) {
    if (reason)
      *reason = FormatMessage("%s: the program that wrote it is still running", copy.c_str());
    return false;
  }
  const std::string renamed = (fs::path(folder_) / RecoveryCopyName(owner, document)).string();
  std::error_code error;
  fs::rename(found->copy, renamed, error);
  if (error) {
    if (reason) *reason = found->copy + ": " + error.message();
    return false;
  }
  found->copy = renamed;
  found->owner = owner;
  found->document = document;
  return WriteIndex(folder_, all, reason);
}

int RecoveryKeeper::update(std::span<const RecoveryDocument> documents, bool waitForWrites) {
  wait();
  {
    std::lock_guard lock(mutex_);
    for (int32_t number : failed_) written_.erase(number);
    failed_.clear();
  }
  std::vector<Job> jobs;
  for (const RecoveryDocument& entry : documents) {
    const Document& document = *entry.document;
    const auto known = written_.find(entry.number);
    if (document.scene.modified == 0) {
      if (known != written_.end()) forget(entry.number);
      continue;
    }
    if (known != written_.end() && known->second == document.revision) continue;
    written_[entry.number] = document.revision;
    jobs.push_back({entry.number, RecoveryRecords(document), entry.path, entry.name});
  }
  const int started = static_cast<int>(jobs.size());
  if (jobs.empty()) return 0;
  const int64_t now = static_cast<int64_t>(std::time(nullptr));
  worker_ = std::thread([this, jobs = std::move(jobs), now]() mutable {
    for (const Job& job : jobs) {
      std::string reason;
      const std::unique_ptr<Document> snapshot = job.records.document();
      if (!folder_.writeCopy(*snapshot, owner_, job.number, job.path, job.name, now, &reason)) {
        std::lock_guard lock(mutex_);
        failed_.push_back(job.number);
        error_ = reason;
      }
    }
  });
  if (waitForWrites) wait();
  return started;
}

void RecoveryKeeper::forget(int32_t number) {
  wait();
  written_.erase(number);
  folder_.removeCopy(owner_, number, nullptr);
}

void RecoveryKeeper::forgetAll() {
  wait();
  std::vector<RecoveryEntry> all;
  if (folder_.entries(all, nullptr)) {
    for (const RecoveryEntry& entry : all) {
      if (entry.owner == owner_) folder_.removeCopy(owner_, entry.document, nullptr);
    }
  }
  written_.clear();
}

void RecoveryKeeper::wait() {
  if (worker_.joinable()) worker_.join();
}

std::string RecoveryKeeper::lastError() {
  std::lock_guard lock(mutex_);
  return error_;
}

bool RecoveryKeeper::adopt(const std::string& copy, int32_t number, uint64_t revision,
                           std::string* reason) {
  wait();
  if (!folder_.adopt(copy, owner_, number, reason)) return false;
  written_[number] = revision;
  return true;
}

}  // namespace vexal
