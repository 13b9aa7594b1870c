#include "settings/manual_path.h"

#include "io/message_catalog.h"

#include <filesystem>
#include <system_error>

namespace vexal {

std::vector<std::string> ManualLocations(const std::string& executablePath,
                                         const std::string& buildTreeManual) {
  namespace fs = std::filesystem;
  std::vector<std::string> locations;
  fs::path folder = fs::path(executablePath).parent_path();
  if (folder.empty()) folder = ".";
  locations.push_back(
      (folder.lexically_normal() / ".." / "share" / "doc" / "vexal" / "manual" / "index.html")
          .lexically_normal()
          .string());
  if (!buildTreeManual.empty()) locations.push_back(buildTreeManual);
  return locations;
}

std::string FindManual(const std::vector<std::string>& locations) {
  for (const std::string& location : locations) {
    std::error_code error;
    if (std::filesystem::is_regular_file(location, error)) return location;
  }
  return {};
}

std::string ManualNotFoundText(const std::vector<std::string>& locations) {
  std::string text = Translate("The manual was not found. It was looked for in:");
  for (const std::string& location : locations) text += "\n" + location;
  return text;
}

}  // namespace vexal
