// TPipeForm "Pipe Settings": the segment count, radius and offset of the
// pipe (kept in the settings) and "Apply", which builds the pipe around the
// active document's selected lines.
#pragma once

#include "app/tool_window.h"

namespace vexal::app {

class NumberEdit;

class TPipeForm : public ToolWindow {
  Q_OBJECT
 public:
  explicit TPipeForm(TMainForm* main);
  ~TPipeForm() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void fieldsNormalized() override { store(); }

 private:
  // Normalises the three fields and stores them in the settings.
  void store();

  NumberEdit* segments_;
  NumberEdit* radius_;
  NumberEdit* offset_;
};

}  // namespace vexal::app
