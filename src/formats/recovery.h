// Recovery copies: every modified document is written now and then, as an
// ordinary native document, into one folder per user, so that a crash, a
// power cut or a logout costs at most the last interval of work.
//
// The folder holds the copies and one small index. A copy is named after
// the process that owns it and the document's number in that process:
// "<pid>-<start>-<document>.vxl", where start is the process's start time
// (clock ticks after boot), so a later process that happens to get the same
// pid is not taken for the owner. The index is a text file "index":
//
//   vexal recovery index 1
//   <copy name> TAB <pid> TAB <start> TAB <document> TAB <written> TAB <path> TAB <name>
//
// one line per copy, LF ended; written is seconds since 1970 (UTC); path is
// the document's file (empty for a document never saved) and name its
// caption; a backslash, tab, CR or LF inside them is written as \\, \t, \r,
// \n. Every change of the index happens under an exclusive lock of the file
// "index.lock" and replaces the index through a temporary file, so two
// running instances never lose each other's lines.
//
// Reading treats the index as hostile: it is read only up to 1 MiB, a line
// that does not parse, names a copy outside the folder or whose copy name
// disagrees with its owner fields is skipped, and only copies that exist are
// reported.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <string_view>
#include <vector>

#include "formats/document_io.h"
#include "model/document.h"
#include "model/model_snapshot.h"

namespace vexal {

// The process a copy belongs to.
struct RecoveryOwner {
  int64_t pid = 0;
  int64_t start = 0;  // start time in clock ticks after boot; 0 when unknown
  bool operator==(const RecoveryOwner&) const = default;
};

// This process.
RecoveryOwner CurrentRecoveryOwner();
// True while the owner still runs (the pid exists and, when both start
// times are known, it started when the owner did).
bool RecoveryOwnerRuns(const RecoveryOwner& owner);

struct RecoveryEntry {
  std::string copy;  // full path of the copy
  RecoveryOwner owner;
  int32_t document = 0;  // the document's number inside its process
  int64_t written = 0;   // seconds since 1970, UTC
  std::string path;      // the document's file, empty when never saved
  std::string name;      // the document's caption
  // The path, or the caption of a document that has none.
  const std::string& original() const { return path.empty() ? name : path; }
};

// "$XDG_STATE_HOME/vexal/recovery" (an absolute XDG_STATE_HOME only), else
// "$HOME/.local/state/vexal/recovery"; empty when neither is set.
std::string DefaultRecoveryFolder();

// "2026-12-07T20:34:07Z".
std::string IsoTime(int64_t secondsSince1970);

// The model and view of a document, copied so that it can be written while
// the document goes on changing: the records in use, the palette, the back
// pictures and the view. Making it is all the user waits for; the document
// the writer needs is built from it on the worker.
class RecoveryRecords {
 public:
  explicit RecoveryRecords(const Document& document)
      : records_(document.model), pictures_(document.model.pictures), scene_(document.scene) {}
  // A document holding the copied model and view, with the smallest ring.
  std::unique_ptr<Document> document() const;

 private:
  ModelSnapshot records_;
  std::array<BPICTURE, kPictureSlots> pictures_;
  SCENE scene_;
};

class RecoveryFolder {
 public:
  explicit RecoveryFolder(std::string folder) : folder_(std::move(folder)) {}
  const std::string& path() const { return folder_; }

  // The index entries whose copies exist, in index order. False with a
  // reason when the index exists but cannot be read; a missing folder or
  // index is an empty list.
  bool entries(std::vector<RecoveryEntry>& out, std::string* reason) const;
  // The entries whose owners no longer run: what a new start offers.
  std::vector<RecoveryEntry> recoverable() const;

  // Writes snapshot as the copy of (owner, document) and records it in the
  // index, replacing the document's earlier copy. The folder is made (mode
  // 0700) when missing. False with a reason when the copy or the index
  // cannot be written; the earlier copy is then still there.
  bool writeCopy(Document& snapshot, const RecoveryOwner& owner, int32_t document,
                 const std::string& path, const std::string& name, int64_t written,
                 std::string* reason);
  // Deletes the copy of (owner, document) and its index line, if any.
  bool removeCopy(const RecoveryOwner& owner, int32_t document, std::string* reason);
  // Deletes the copy the path or file name names. Refused (false with a
  // reason) when the index does not list it or its owner still runs.
  bool discard(const std::string& copy, std::string* reason);
  // Makes a recovered copy the copy of (owner, document): renamed to the new
  // owner's name and kept until that document is saved or closed. Refused
  // like discard.
  bool adopt(const std::string& copy, const RecoveryOwner& owner, int32_t document,
             std::string* reason);

 private:
  std::string folder_;
};

// Opens a recovery copy into a freshly created document as the document it
// is a copy of: the original path (none for one never saved) and caption,
// marked modified, saved as native, and the copy kept out of the file
// history. Returns 1, or 0 as OpenDocumentFile does on failure.
int OpenRecoveryCopy(Document& document, DocumentFile& file, const RecoveryEntry& entry,
                     const DocumentIo& io);

// One open document as the keeper sees it.
struct RecoveryDocument {
  int32_t number = 0;  // unique inside the process, > 0
  const Document* document = nullptr;
  std::string path;  // its file, empty when never saved
  std::string name;  // its caption
};

// The recovery copies of one running process: which documents need a copy,
// the copies' writing and their removal. The owner of the documents calls
// update() from a timer (every AutoSaveSeconds) and forget() when a
// document closes; a clean quit calls forgetAll().
class RecoveryKeeper {
 public:
  RecoveryKeeper(std::string folder, RecoveryOwner owner)
      : folder_(std::move(folder)), owner_(owner) {}
  ~RecoveryKeeper() { wait(); }
  RecoveryKeeper(const RecoveryKeeper&) = delete;
  RecoveryKeeper& operator=(const RecoveryKeeper&) = delete;

  // A modified document whose revision changed since its last copy (or that
  // has none) gets a copy; a document that is no longer modified (saved)
  // loses its copy. The documents are copied here and written on a worker
  // thread, so the caller is held up only for the copies; with wait set
  // (the program is being ended) the writes finish before the return. A
  // write that failed is tried again at the next update. Returns the number
  // of copies started.
  int update(std::span<const RecoveryDocument> documents, bool wait);
  // The document closed: its copy goes.
  void forget(int32_t number);
  // A clean quit: every copy of the process goes.
  void forgetAll();
  // Blocks until the worker has written what it was given.
  void wait();
  // Why the last failed write failed (empty when none failed).
  std::string lastError();
  // Takes over a recovered copy as the copy of document `number`, written
  // at `revision` (so it is not written again until the document changes).
  bool adopt(const std::string& copy, int32_t number, uint64_t revision, std::string* reason);
  const RecoveryFolder& folder() const { return folder_; }
  const RecoveryOwner& owner() const { return owner_; }

 private:
  struct Job {
    int32_t number;
    RecoveryRecords records;
    std::string path;
    std::string name;
  };
  RecoveryFolder folder_;
  RecoveryOwner owner_;
  // The revision of each document's copy, as handed to the worker.
  std::map<int32_t, uint64_t> written_;
  std::thread worker_;
  std::mutex mutex_;  // guards failed_ and error_
  std::vector<int32_t> failed_;
  std::string error_;
};

// The index text of a list of entries (the copies by file name) and back.
// Parsing skips what the header comment says is skipped.
std::string FormatRecoveryIndex(const std::vector<RecoveryEntry>& entries);
std::vector<RecoveryEntry> ParseRecoveryIndex(std::string_view text, const std::string& folder);

// The copy's file name for an owner and document.
std::string RecoveryCopyName(const RecoveryOwner& owner, int32_t document);

}  // namespace vexal
