// The subcommands of vexal-tool; each takes the arguments after its name and
// returns the process exit status.
#pragma once

namespace vexal::cli {

int RunNewCommand(int argc, char** argv);
int RunInfoCommand(int argc, char** argv);
int RunConvertCommand(int argc, char** argv);
int RunImageCommand(int argc, char** argv);
// Headless OpenGL render of a model to a PNG.
int RunRenderCommand(int argc, char** argv);
// A model's preview picture for file managers.
int RunThumbnailCommand(int argc, char** argv);
// Runs menu commands and set-up steps on a document, then saves it.
int RunApplyCommand(int argc, char** argv);
// Lists or discards the recovery copies of ended runs of the modeller.
int RunRecoverCommand(int argc, char** argv);

}  // namespace vexal::cli
