#include <clocale>

#include <QApplication>
#include <QSurfaceFormat>

#include "app/main_form.h"

int main(int argc, char** argv) {
  // The views use the fixed-function pipeline: ask for a compatibility
  // profile before any widget exists.
  QSurfaceFormat format;
  format.setRenderableType(QSurfaceFormat::OpenGL);
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setDepthBufferSize(24);
  format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  QSurfaceFormat::setDefaultFormat(format);

  QApplication application(argc, argv);
  // QApplication adopts the user's locale; model files are written with
  // printf and must keep "." as their decimal point whatever the desktop's
  // language.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName("Vexal");
  QApplication::setWindowIcon(QIcon(":/icons/vexal.svg"));
  vexal::app::TMainForm form(QApplication::applicationFilePath());
  form.handleTerminationSignals();
  form.show();
  return QApplication::exec();
}
