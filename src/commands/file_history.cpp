#include "commands/file_history.h"

#include <algorithm>

namespace vexal {

void FileHistory::add(const std::string& path) {
  if (path.empty()) return;
  entries_.erase(std::remove(entries_.begin(), entries_.end(), path), entries_.end());
  entries_.insert(entries_.begin(), path);
  if (entries_.size() > kCapacity) entries_.resize(kCapacity);
}

void FileHistory::assign(const std::vector<std::string>& paths) {
  entries_.clear();
  for (const std::string& path : paths) {
    if (!path.empty() && entries_.size() < kCapacity) entries_.push_back(path);
  }
}

std::string FileHistory::caption(size_t index) const {
  return "&" + std::to_string((index + 1) % 10) + " " + entries_.at(index);
}

}  // namespace vexal
