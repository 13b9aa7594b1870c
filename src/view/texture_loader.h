// The OpenGL textures of a document window: one per palette entry and one
// per background picture slot. Images are read through the image loaders,
// made power-of-two (8..512 a side), and uploaded once per load; drawing
// only binds them.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "images/image.h"
#include "model/document.h"
#include "view/gl_context.h"

namespace vexal {

// Texture object names of one window (0 = not generated yet). They belong to
// the window's context: when that context is re-created, ForgetTextureNames
// and load everything again.
struct DocumentTextures {
  std::array<unsigned, kMaterialCount> material{};
  std::array<unsigned, kPictureSlots> picture{};
  // What each material texture object holds: the stored name it was loaded
  // from and the material's run-time fields that load set.
  struct Loaded {
    std::string name;
    int32_t loaded = 0;
    int32_t width = 0;
    int32_t height = 0;
  };
  std::array<Loaded, kMaterialCount> materialState{};
};

// The texture side for an image side: 8 below 12, 16 below 23, 32 below 46,
// 64 below 91, 128 below 182, 256 below 363, else 512.
int TextureSide(int pixels);

// Where a stored texture or picture name is read from. A name with ":"
// (a drive) is used as stored; so is an absolute name. Any other name is
// relative to the folder of the document file (the current folder when the
// document has none). Windows "\" separators in the stored name are read as
// folder separators.
std::string TextureFilePath(std::string_view documentFileName, std::string_view storedName);

// Makes a decoded image uploadable: palette expanded to 3 or 4 channels,
// grey (and grey with alpha) expanded to RGB (RGBA), then resized
// bilinearly to TextureSide of each side. False, image unchanged in size,
// when it is empty or cannot be converted.
bool PrepareTextureImage(NImage& image);

// Generates any missing names (context must be current).
void GenerateTextureNames(DocumentTextures& textures);
// Deletes the 19 texture objects (makes the context current itself).
void DeleteTextureNames(GLLib& gl, DocumentTextures& textures);
// Forgets the names without deleting them, after their context has gone.
void ForgetTextureNames(DocumentTextures& textures);

// (Re)loads the texture of palette entry `material` (0..15): a fresh texture
// object, the material's loaded flag and texture size set from the file
// (0 and 0x0 when it cannot be read), the filter from SCENE.linearTexture.
// Returns the loaded flag. Without a context nothing is uploaded and the
// material is left without texture.
bool LoadMaterialTexture(Document& document, GLLib& gl, DocumentTextures& textures, int material);
// The same for background picture slot 0..2 with SCENE.linearBackPicture.
bool LoadPictureTexture(Document& document, GLLib& gl, DocumentTextures& textures, int slot);
// All 16 materials and all 3 pictures, as after opening a file.
void LoadAllTextures(Document& document, GLLib& gl, DocumentTextures& textures);

// Undo and redo restore whole palette entries, run-time fields included, so
// a snapshot taken before the textures were loaded (the base snapshot of an
// opened file) would mark loaded textures as missing. This puts back the
// loaded flag and size of every material whose texture name is the one its
// texture object was loaded from.
void SyncMaterialTextureState(Document& document, const DocumentTextures& textures);

// Nearest or linear minification and magnification for one texture.
void SetTextureFilter(GLLib& gl, unsigned name, bool linear);
// SetTextureFilter for the 16 material or the 3 picture textures.
void SetMaterialTextureFilters(GLLib& gl, const DocumentTextures& textures, bool linear);
void SetPictureTextureFilters(GLLib& gl, const DocumentTextures& textures, bool linear);

// A document observer that reloads a material's texture when undo or redo
// changes its file name, keeps the other materials' texture state across
// undo and redo (SyncMaterialTextureState on paletteChanged), and passes
// every notification on to `next` (which may be null).
class TextureReloader : public DocumentObserver {
 public:
  TextureReloader(Document& document, GLLib& gl, DocumentTextures& textures,
                  DocumentObserver* next = nullptr)
      : document_(document), gl_(gl), textures_(textures), next_(next) {}

  void selectionMenusChanged() override;
  void statusTextChanged(std::string_view text) override;
  void undoButtonsChanged(bool canUndo, bool canRedo) override;
  void textureChanged(int material) override;
  void countLineChanged(std::string_view text) override;
  void pivotFieldsChanged() override;
  void paletteChanged() override;
  void redrawRequested() override;

 private:
  Document& document_;
  GLLib& gl_;
  DocumentTextures& textures_;
  DocumentObserver* next_;
};

}  // namespace vexal
