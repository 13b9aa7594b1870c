#include "app/primitive_form.h"

#include <QGridLayout>
#include <QPushButton>

#include "app/main_form.h"
#include "commands/command_arguments.h"
#include "commands/primitives.h"

namespace vexal::app {

TPrimitiveForm::TPrimitiveForm(TMainForm* main)
    : ToolWindow(main, "PrimitiveForm", "Add Primitive Objects") {
  auto* layout = new QGridLayout(this);
  int index = 0;
  for (const PrimitiveButton& button : PrimitiveButtons()) {
    const QString caption = QString::fromUtf8(button.caption.data(), static_cast<qsizetype>(button.caption.size()));
    auto* push = new QPushButton(caption, this);
    push->setObjectName(QString::fromUtf8(button.name.data(), static_cast<qsizetype>(button.name.size())) + "Btn");
    // The cube on its own row, then the spheres beside the cylinders.
    if (index == 0) {
      layout->addWidget(push, 0, 0, 1, 2);
    } else {
      layout->addWidget(push, 1 + (index - 1) % 3, (index - 1) / 3);
    }
    const std::string name(button.name);
    connect(push, &QPushButton::clicked, this, [this, name] {
      CommandArguments arguments{PrimitiveChoice{name}};
      main_->command(kPrimitiveAddCommand, arguments);
    });
    ++index;
  }
  adjustSize();
}

}  // namespace vexal::app
