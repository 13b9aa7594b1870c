// The main window's list of recent files: at most ten paths, most recent
// first.
#pragma once

#include <string>
#include <vector>

namespace vexal {

class FileHistory {
 public:
  static constexpr size_t kCapacity = 10;

  // An empty path is ignored; an equal entry moves to the top; the list is
  // cut to ten entries.
  void add(const std::string& path);
  const std::vector<std::string>& entries() const { return entries_; }
  // Replaces the list (empty entries dropped), as read from the settings.
  void assign(const std::vector<std::string>& paths);
  // The menu caption of entry index (0-based): "&<k mod 10> <path>".
  std::string caption(size_t index) const;

 private:
  std::vector<std::string> entries_;
};

}  // namespace vexal
