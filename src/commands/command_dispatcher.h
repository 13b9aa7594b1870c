// The one way a command runs: every main-menu item, toolbar button,
// shortcut and `vexal-tool apply --run` step passes its name from the
// command table through RunCommand, which checks the item's enable rule with
// the same code the menus use and then runs the command on the active
// document. Commands that need a window of their own (a dialog, a tool
// window, a file dialog, the window arrangement) are marked so and handed
// to the host; without a host (a headless run) they are refused.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/command_table.h"
#include "io/refusal.h"
#include "model/document.h"
#include "model/edit_frame.h"
#include "tools/workspace.h"

namespace vexal {

// The application side of the dispatcher: it shows windows and dialogs.
class CommandHost {
 public:
  virtual ~CommandHost() = default;
  // Runs a command that needs a window; false when the host has none for
  // that name.
  virtual bool runWindowCommand(std::string_view name) = 0;
};

// The values a window's button hands to its command
// (commands/command_arguments.h).
struct CommandArguments;

// What a command acts on and what its enable rule reads.
struct CommandTarget {
  Document* document = nullptr;  // the active document window's, or null
  int documentCount = 0;
  Workspace* workspace = nullptr;
  CommandHost* host = nullptr;   // null without windows
  bool pointClipboardFilled = false;
  bool paletteClipboardFilled = false;
  // The active window could get an OpenGL context.
  bool openGLAvailable = true;
  // The window's values, for the commands that take them; null otherwise.
  CommandArguments* arguments = nullptr;
};

enum class CommandStatus {
  kDone,
  kUnknown,      // no item of that name in the command table
  kDisabled,     // its enable rule says no
  kNeedsWindow,  // it needs a window and there is no host with one for it
  kRefused,      // it looked and refused (a full table, nothing to act on)
};

struct CommandResult {
  CommandStatus status = CommandStatus::kDone;
  Refusal refusal;  // why, for everything but kDone

  CommandResult() = default;
  CommandResult(CommandStatus status_, Refusal refusal_ = {})
      : status(status_), refusal(std::move(refusal_)) {}
  // An edit's outcome as a command's result: done, or refused with its reason.
  CommandResult(EditOutcome outcome)  // NOLINT(google-explicit-constructor)
      : status(outcome.ok() ? CommandStatus::kDone : CommandStatus::kRefused),
        refusal(std::move(outcome.refusal)) {}
  // The other way, for a command's change run in the edit frame: anything
  // but kDone stops the frame.
  operator EditOutcome() const {  // NOLINT(google-explicit-constructor)
    return ok() ? EditOutcome{} : EditOutcome::Refused(refusal);
  }

  bool ok() const { return status == CommandStatus::kDone; }
  static CommandResult Refused(Refusal refusal) {
    return {CommandStatus::kRefused, std::move(refusal)};
  }
  static CommandResult Refused(std::string reason) { return Refused(Refusal{std::move(reason)}); }
  // Done, or kRefused with the refusal.
  static CommandResult From(MaybeRefusal refusal) {
    return refusal ? Refused(std::move(*refusal)) : CommandResult{};
  }
};

enum class CommandKind {
  kDocument,  // runs in the core on the active document
  kWindow,    // shown by the host
};

struct CommandDefinition {
  std::string_view name;
  CommandKind kind = CommandKind::kDocument;
  // For kDocument; the target's document is non-null when the enable rule
  // allows the command, but a rule of kAlways runs without one too.
  std::function<CommandResult(CommandTarget&)> run;
  // The menu check mark, for items that have one.
  std::function<bool(const Document&)> checked;
};

// A command behind a window's button: it acts on the window's values,
// which the target carries. None of them has a menu item, so each names
// its own enable rule and the caption its messages use.
struct ArgumentCommand {
  std::string_view name;
  std::string_view caption;
  EnableRule rule = EnableRule::kDocument;
  std::function<CommandResult(CommandTarget&, CommandArguments&)> run;
};
const ArgumentCommand* FindArgumentCommand(std::string_view name);
const std::vector<ArgumentCommand>& ArgumentCommands();

// Every command that exists, by name.
const CommandDefinition* FindCommandDefinition(std::string_view name);
const std::vector<CommandDefinition>& CommandDefinitions();

// The enable rule of the named item for this target (false for unknown
// commands, and for window commands without a host).
bool CommandEnabled(std::string_view name, const CommandTarget& target);
// The check mark; nothing for items without one or without a document.
std::optional<bool> CommandChecked(std::string_view name, const CommandTarget& target);
CommandResult RunCommand(std::string_view name, CommandTarget& target);

// The rule itself, shared by the menus and RunCommand.
bool EnableRuleHolds(EnableRule rule, const CommandTarget& target);

// Registration, one function per family of commands. AddWindowCommands
// runs last: every menu item no family runs in the core is the host's.
void AddViewCommands(std::vector<CommandDefinition>& commands);
void AddEditCommands(std::vector<CommandDefinition>& commands);
void AddWindowCommands(std::vector<CommandDefinition>& commands);
void AddSelectionCommands(std::vector<CommandDefinition>& commands);
void AddWeldCommands(std::vector<CommandDefinition>& commands);
void AddMirrorCommands(std::vector<CommandDefinition>& commands);
void AddLineCommands(std::vector<CommandDefinition>& commands);
void AddPointCommands(std::vector<CommandDefinition>& commands);
void AddTopologyCommands(std::vector<CommandDefinition>& commands);
void AddHideShowCommands(std::vector<CommandDefinition>& commands);
void AddClipboardCommands(std::vector<CommandDefinition>& commands);
void AddPaintCommands(std::vector<CommandDefinition>& commands);

// Sets the target's clipboard flags from its workspace's clipboards (left
// as they are without a workspace).
void FillClipboardFlags(CommandTarget& target);
void AddGeneratorCommands(std::vector<CommandDefinition>& commands);
void AddWindowApplyCommands(std::vector<ArgumentCommand>& commands);

}  // namespace vexal
