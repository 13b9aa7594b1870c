#include "commands/primitives.h"
#include "io/message_catalog.h"

namespace vexal {

const std::array<PrimitiveButton, 7>& PrimitiveButtons() {
  static const std::array<PrimitiveButton, 7> buttons = {{{"cube", "Cube"},
                                                          {"sphere1", "Sphere 1"},
                                                          {"sphere2", "Sphere 2"},
                                                          {"sphere3", "Sphere 3"},
                                                          {"cylinder1", "Cylinder 1"},
                                                          {"cylinder2", "Cylinder 2"},
                                                          {"cylinder3", "Cylinder 3"}}};
  return buttons;
}

CommandResult RunPrimitiveButton(Document& document, std::string_view name) {
  if (name == "cube") return AddCube(document, 1.0f, 1.0f, 1.0f);
  if (name == "sphere1") return AddSphere(document, 1.0f, 6, 6);
  if (name == "sphere2") return AddSphere(document, 1.0f, 8, 8);
  if (name == "sphere3") return AddSphere(document, 1.0f, 12, 8);
  if (name == "cylinder1") return AddCylinder(document, 1.0f, 2.0f, 6, 1);
  if (name == "cylinder2") return AddCylinder(document, 1.0f, 2.0f, 8, 1);
  if (name == "cylinder3") return AddCylinder(document, 1.0f, 2.0f, 12, 1);
  return {CommandStatus::kUnknown,
          Refusal{FormatMessage("no primitive is called %.*s", static_cast<int>(name.size()),
                                name.data())}};
}

}  // namespace vexal
