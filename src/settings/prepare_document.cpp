#include "settings/prepare_document.h"

#include "model/document.h"
#include "settings/settings.h"

namespace vexal {

void PrepareDocument(Document& document, const Settings& settings) {
  InitializeDocument(document, settings.UndoDepth);
  ApplySceneDefaults(settings, document.scene);
  document.useAngleSmooth = settings.UseAngleSmooth != 0;
}

}  // namespace vexal
