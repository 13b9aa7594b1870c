#include "commands/material_utility.h"

#include "commands/edit_frame.h"
#include "model/maintenance.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

// Paths may use either separator: Windows paths from old files, "/" here.
size_t NameStart(std::string_view path) {
  const size_t separator = path.find_last_of("\\/:");
  return separator == std::string_view::npos ? 0 : separator + 1;
}

// From the last "." of the file name on, or empty.
size_t ExtensionStart(std::string_view path) {
  const size_t dot = path.find_last_of('.');
  return dot == std::string_view::npos || dot < NameStart(path) ? path.size() : dot;
}

std::string Folder(std::string_view path) { return std::string(path.substr(0, NameStart(path))); }
std::string FileName(std::string_view path) { return std::string(path.substr(NameStart(path))); }
std::string Extension(std::string_view path) { return std::string(path.substr(ExtensionStart(path))); }
std::string WithoutExtension(std::string_view path) {
  return std::string(path.substr(0, ExtensionStart(path)));
}

bool Store(TextBuffer& buffer, const std::string& text, const char* what, int material,
           CommandResult& result) {
  if (SetText(buffer, text)) return true;
  result = CommandResult::Refused(FormatMessage("the %s of material %d would pass %d characters",
                                                Translate(what), material, kTextCapacity - 1));
  return false;
}

}  // namespace

CommandResult RewriteMaterials(std::array<MATERIAL, kMaterialCount>& materials,
                               const MaterialRewrites& rewrites) {
  std::array<MATERIAL, kMaterialCount> work = materials;
  CommandResult result;
  std::string folder = rewrites.folder;
  if (folder.empty() || (folder.back() != '\\' && folder.back() != '/')) {
    folder += folder.find('/') != std::string::npos && folder.find('\\') == std::string::npos ? '/' : '\\';
  }
  const std::string extension = Extension(rewrites.extension);
  for (int k = 0; k < kMaterialCount; ++k) {
    MATERIAL& material = work[static_cast<size_t>(k)];
    if (rewrites.textureFolder && !TextOf(material.texture).empty()) {
      if (!Store(material.texture, folder + FileName(TextOf(material.texture)), MarkMessage("texture file"), k,
                 result)) {
        return result;
      }
    }
    if (rewrites.nameFromTexture) {
      const std::string title = WithoutExtension(FileName(TextOf(material.texture)));
      if (!title.empty() && !Store(material.name, title, MarkMessage("name"), k, result)) return result;
    }
    if (rewrites.textureFromName && !TextOf(material.texture).empty()) {
      const std::string_view texture = TextOf(material.texture);
      if (!Store(material.texture, Folder(texture) + std::string(TextOf(material.name)) + Extension(texture),
                 MarkMessage("texture file"), k, result)) {
        return result;
      }
    }
    if (rewrites.textureExtension && !TextOf(material.texture).empty()) {
      if (!Store(material.texture, WithoutExtension(TextOf(material.texture)) + extension,
                 MarkMessage("texture file"), k, result)) {
        return result;
      }
    }
    if (rewrites.smoothing) material.smoothingAngle = rewrites.angle;
  }
  materials = work;
  return result;
}

MaterialRewrites UtilityDialogStart(const std::string* documentPath, std::string_view programFolder) {
  MaterialRewrites start;
  start.extension = ".bmp";
  if (!documentPath) return start;
  const size_t slash = documentPath->rfind('/');
  if (slash != std::string::npos) start.folder = documentPath->substr(0, slash == 0 ? 1 : slash);
  if (start.folder.empty() || start.folder == ".") start.folder = programFolder;
  return start;
}

CommandResult RunMaterialUtility(Document& document, const MaterialRewrites& rewrites) {
  std::array<MATERIAL, kMaterialCount> materials = document.model.materials;
  CommandResult rewritten = RewriteMaterials(materials, rewrites);
  if (!rewritten.ok()) return rewritten;
  EditSteps steps;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [&](Document& doc) {
    doc.model.materials = materials;
    doc.notify().paletteChanged();
    return CommandResult{};
  });
}

}  // namespace vexal
