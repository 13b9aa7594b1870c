#include "commands/table_room.h"

#include <string>

#include "io/message_catalog.h"

namespace vexal {

CommandResult CheckTableRoom(const Model& model, long long points, long long lines,
                             long long surfaces, std::string_view what) {
  // `what` is a marked message ("The cube"), so it reads in the same language.
  const std::string subject(what);
  const char* name = Translate(subject.c_str());
  if (model.pointCount + points > kMaxCount) {
    return CommandResult::Refused(FormatMessage("%s would need %lld points; a model holds at most %d",
                                                name, model.pointCount + points, kMaxCount));
  }
  if (model.lineCount + lines > kMaxCount) {
    return CommandResult::Refused(FormatMessage("%s would need %lld lines; a model holds at most %d",
                                                name, model.lineCount + lines, kMaxCount));
  }
  if (model.faceCount + surfaces > kMaxCount) {
    return CommandResult::Refused(FormatMessage("%s would need %lld surfaces; a model holds at most %d",
                                                name, model.faceCount + surfaces, kMaxCount));
  }
  return {};
}

}  // namespace vexal
