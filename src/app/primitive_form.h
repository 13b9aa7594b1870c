// TPrimitiveForm "Add Primitive Objects": seven buttons, each appending its
// shape to the active document.
#pragma once

#include "app/tool_window.h"

namespace vexal::app {

class TPrimitiveForm : public ToolWindow {
  Q_OBJECT
 public:
  explicit TPrimitiveForm(TMainForm* main);
};

}  // namespace vexal::app
