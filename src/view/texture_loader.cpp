#include "view/texture_loader.h"

#include <GL/gl.h>

#include <string>

#include "images/loaders.h"

namespace vexal {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::string WithSlashes(std::string_view name) {
  std::string result(name);
  for (char& c : result) {
    if (c == '\\') c = '/';
  }
  return result;
}

std::string FolderOf(std::string_view fileName) {
  size_t end = fileName.size();
  while (end > 0 && !IsSeparator(fileName[end - 1])) --end;
  return WithSlashes(fileName.substr(0, end));
}

std::string_view BaseName(std::string_view name) {
  size_t start = name.size();
  while (start > 0 && !IsSeparator(name[start - 1]) && name[start - 1] != ':') --start;
  return name.substr(start);
}

// Grey images carry no palette: spread the grey level over R, G and B.
bool ExpandGrey(NImage& image) {
  const int32_t target = image.channels == 1 ? 3 : 4;
  NImage expanded;
  if (!expanded.Allocate(image.width, image.height, target)) return false;
  const size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
  const uint8_t* in = image.pixels.data();
  uint8_t* out = expanded.pixels.data();
  for (size_t i = 0; i < count; ++i) {
    out[0] = out[1] = out[2] = in[0];
    if (target == 4) out[3] = in[1];
    in += image.channels;
    out += target;
  }
  image = std::move(expanded);
  return true;
}

struct TextureSlot {
  int32_t* loaded;
  int32_t* width;
  int32_t* height;
  unsigned* name;
  std::string_view storedName;
  bool linear;
};

// Reads the image a stored name refers to. A name written on another system
// with a drive or an absolute folder that does not exist here is also looked
// for beside the document, where such files usually travel with it.
bool ReadTextureImage(const Document& document, std::string_view storedName, NImage& image) {
  if (storedName.empty()) return false;
  const std::string path = TextureFilePath(document.scene.fileName, storedName);
  if (LoadImage(path, image, 0) != 0) return true;
  const std::string_view base = BaseName(storedName);
  if (base.size() == storedName.size() || base.empty()) return false;
  const std::string nearby = FolderOf(document.scene.fileName) + std::string(base);
  return LoadImage(nearby, image, 0) != 0;
}

bool LoadTexture(const Document& document, GLLib& gl, DocumentTextures& textures,
                 const TextureSlot& slot) {
  *slot.loaded = 0;
  *slot.width = 0;
  *slot.height = 0;
  if (!gl.Begin()) return false;
  GenerateTextureNames(textures);
  glDeleteTextures(1, slot.name);
  glGenTextures(1, slot.name);

  NImage image;
  bool loaded = ReadTextureImage(document, slot.storedName, image);
  const int32_t width = image.width, height = image.height;
  if (loaded) loaded = PrepareTextureImage(image);
  if (loaded) {
    glPushAttrib(GL_TEXTURE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, *slot.name);
    const GLenum format = image.channels == 3 ? GL_RGB : GL_RGBA;
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), image.width, image.height, 0,
                 format, GL_UNSIGNED_BYTE, image.pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glPopClientAttrib();
    glPopAttrib();
    *slot.loaded = 1;
    *slot.width = width;
    *slot.height = height;
  }
  gl.End();
  SetTextureFilter(gl, *slot.name, slot.linear);
  return loaded;
}

}  // namespace

int TextureSide(int pixels) {
  if (pixels < 12) return 8;
  if (pixels < 23) return 16;
  if (pixels < 46) return 32;
  if (pixels < 91) return 64;
  if (pixels < 182) return 128;
  if (pixels < 363) return 256;
  return 512;
}

std::string TextureFilePath(std::string_view documentFileName, std::string_view storedName) {
  const std::string name = WithSlashes(storedName);
  if (name.find(':') != std::string::npos || (!name.empty() && name[0] == '/')) return name;
  return FolderOf(documentFileName) + name;
}

bool PrepareTextureImage(NImage& image) {
  if (image.empty() || image.width <= 0 || image.height <= 0) return false;
  if (image.channels <= 2) {
    const bool converted = image.paletteChannels != 0 && image.paletteCount > 0
                               ? image.Convert(0)
                               : ExpandGrey(image);
    if (!converted) return false;
  }
  if (image.channels != 3 && image.channels != 4) return false;
  return image.Resize(TextureSide(image.width), TextureSide(image.height), 1);
}

void GenerateTextureNames(DocumentTextures& textures) {
  for (unsigned& name : textures.material) {
    if (name == 0) glGenTextures(1, &name);
  }
  for (unsigned& name : textures.picture) {
    if (name == 0) glGenTextures(1, &name);
  }
}

void DeleteTextureNames(GLLib& gl, DocumentTextures& textures) {
  if (gl.Begin()) {
    glDeleteTextures(kMaterialCount, textures.material.data());
    glDeleteTextures(kPictureSlots, textures.picture.data());
    gl.End();
  }
  ForgetTextureNames(textures);
}

void ForgetTextureNames(DocumentTextures& textures) { textures = DocumentTextures{}; }

bool LoadMaterialTexture(Document& document, GLLib& gl, DocumentTextures& textures, int material) {
  if (material < 0 || material >= kMaterialCount) return false;
  MATERIAL& entry = document.model.materials[material];
  const bool loaded = LoadTexture(document, gl, textures,
                                  {&entry.textureLoaded, &entry.textureWidth, &entry.textureHeight,
                                   &textures.material[material], TextOf(entry.texture),
                                   document.scene.linearTexture != 0});
  textures.materialState[material] = {std::string(TextOf(entry.texture)), entry.textureLoaded,
                                      entry.textureWidth, entry.textureHeight};
  return loaded;
}

void SyncMaterialTextureState(Document& document, const DocumentTextures& textures) {
  for (int m = 0; m < kMaterialCount; ++m) {
    MATERIAL& entry = document.model.materials[m];
    const DocumentTextures::Loaded& state = textures.materialState[m];
    if (TextOf(entry.texture) != state.name) continue;
    entry.textureLoaded = state.loaded;
    entry.textureWidth = state.width;
    entry.textureHeight = state.height;
  }
}

bool LoadPictureTexture(Document& document, GLLib& gl, DocumentTextures& textures, int slot) {
  if (slot < 0 || slot >= kPictureSlots) return false;
  BPICTURE& picture = document.model.pictures[slot];
  return LoadTexture(document, gl, textures,
                     {&picture.loaded, &picture.width, &picture.height, &textures.picture[slot],
                      TextOf(picture.path), document.scene.linearBackPicture != 0});
}

void LoadAllTextures(Document& document, GLLib& gl, DocumentTextures& textures) {
  for (int material = 0; material < kMaterialCount; ++material) {
    LoadMaterialTexture(document, gl, textures, material);
  }
  for (int slot = 0; slot < kPictureSlots; ++slot) LoadPictureTexture(document, gl, textures, slot);
}

void SetTextureFilter(GLLib& gl, unsigned name, bool linear) {
  if (!gl.Begin()) return;
  glPushAttrib(GL_TEXTURE_BIT);
  glBindTexture(GL_TEXTURE_2D, name);
  const GLint filter = linear ? GL_LINEAR : GL_NEAREST;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glPopAttrib();
  gl.End();
}

void SetMaterialTextureFilters(GLLib& gl, const DocumentTextures& textures, bool linear) {
  for (unsigned name : textures.material) SetTextureFilter(gl, name, linear);
}

void SetPictureTextureFilters(GLLib& gl, const DocumentTextures& textures, bool linear) {
  for (unsigned name : textures.picture) SetTextureFilter(gl, name, linear);
}

void TextureReloader::selectionMenusChanged() {
  if (next_) next_->selectionMenusChanged();
}
void TextureReloader::statusTextChanged(std::string_view text) {
  if (next_) next_->statusTextChanged(text);
}
void TextureReloader::undoButtonsChanged(bool canUndo, bool canRedo) {
  if (next_) next_->undoButtonsChanged(canUndo, canRedo);
}
void TextureReloader::textureChanged(int material) {
  LoadMaterialTexture(document_, gl_, textures_, material);
  if (next_) next_->textureChanged(material);
}
void TextureReloader::countLineChanged(std::string_view text) {
  if (next_) next_->countLineChanged(text);
}
void TextureReloader::pivotFieldsChanged() {
  if (next_) next_->pivotFieldsChanged();
}
void TextureReloader::paletteChanged() {
  SyncMaterialTextureState(document_, textures_);
  if (next_) next_->paletteChanged();
}
void TextureReloader::redrawRequested() {
  if (next_) next_->redrawRequested();
}

}  // namespace vexal
