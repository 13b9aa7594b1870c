// vexal-tool: the modeller's core without windows, for batch work and tests.
//
//   vexal-tool new OUT [--type N]
//   vexal-tool info FILE
//   vexal-tool convert IN OUT [--type N] [--open-type N] [--settings FILE.ini]
//   vexal-tool image FILE [--format CODE] [--png OUT]
//   vexal-tool render IN OUT.png [options]
//   vexal-tool apply IN OUT [--settings FILE.ini] STEP...
//   vexal-tool recover --list | --discard COPY
//   vexal-tool thumbnail [-s SIZE] IN OUT.png
//
// Without --settings the user's own settings file applies when there is one
// (vexal.ini beside the program, else ~/.config/vexal/vexal.ini).
//
// Exit status 0 on success (and for --help after any command), 1 when a
// file cannot be read or written (one line on stderr naming the file and the
// reason), 2 for a usage error.
#include <cstdio>
#include <cstring>
#include <string_view>

#include "cli/commands.h"
#include "io/message_catalog.h"

namespace {

constexpr const char* kUsage =
    "usage: vexal-tool COMMAND [ARGUMENTS]\n"
    "\n"
    "commands:\n"
    "  new OUT [--type N]      write a new document holding the default object\n"
    "  info FILE               open FILE and print its point, line and polygon counts\n"
    "  convert IN OUT [--type N] [--open-type N] [--settings FILE.ini]\n"
    "                          open IN with any reader (or the open type given) and\n"
    "                          write OUT with the writer of its extension; --type\n"
    "                          picks the save type where the extension has two\n"
    "                          writers (.dxf 3 or 4, .lwo 5 or 6, .stl 17 binary\n"
    "                          or 18 ASCII) and is the open type otherwise;\n"
    "                          --settings applies the scales and\n"
    "                          options of a settings file\n"
    "  image FILE [--format CODE] [--png OUT]\n"
    "                          load an image and print its size and format\n"
    "  render IN OUT.png [--size WxH] [--renderer gl|soft] [--angles X,Y] [--zoom Z]\n"
    "         [--view wire|faces|all] [--ortho] [--settings FILE.ini]\n"
    "                          draw a model's view into a PNG\n"
    "  apply IN OUT [--settings FILE.ini] STEP...\n"
    "                          open IN, run menu commands and set-up steps on it\n"
    "                          (see vexal-tool apply --help) and write OUT\n"
    "  recover --list          list the recovery copies left by ended runs of the\n"
    "                          modeller: copy, original path (or name), time\n"
    "  recover --discard COPY  delete one of them\n"
    "  thumbnail [-s SIZE] IN OUT.png\n"
    "                          a preview of the model, shaded on a transparent\n"
    "                          background, at most SIZE pixels (default 128)\n"
    "\n"
    "  without --settings, the user's settings file applies when there is one:\n"
    "  vexal.ini beside the program, else $XDG_CONFIG_HOME/vexal/vexal.ini\n"
    "  (~/.config/vexal/vexal.ini)\n"
    "\n"
    "  --help                  show this text\n"
    "  --version               show the version\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string_view command = argv[1];
  int rest = argc - 2;
  char** arguments = argv + 2;
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "--version") {
    std::printf("vexal-tool %s\n", VEXAL_VERSION_TEXT);
    return 0;
  }
  // Help is never an error: "vexal-tool COMMAND --help" shows the commands
  // ("apply" answers it with the list of its steps).
  for (int i = 0; command != "apply" && i < rest; ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  if (command == "new") return vexal::cli::RunNewCommand(rest, arguments);
  if (command == "info") return vexal::cli::RunInfoCommand(rest, arguments);
  if (command == "convert") return vexal::cli::RunConvertCommand(rest, arguments);
  if (command == "image") return vexal::cli::RunImageCommand(rest, arguments);
  if (command == "render") return vexal::cli::RunRenderCommand(rest, arguments);
  if (command == "thumbnail") return vexal::cli::RunThumbnailCommand(rest, arguments);
  if (command == "apply") return vexal::cli::RunApplyCommand(rest, arguments);
  if (command == "recover") return vexal::cli::RunRecoverCommand(rest, arguments);
  std::fprintf(stderr, "%s\n", vexal::FormatMessage("vexal-tool: unknown command \"%s\" (see vexal-tool --help)", argv[1]).c_str());
  return 2;
}
