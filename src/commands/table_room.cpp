#include "commands/table_room.h"

#include <string>

namespace vexal {

CommandResult CheckTableRoom(const Model& model, long long points, long long lines,
                             long long surfaces, std::string_view what) {
  struct Table {
    const char* name;
    long long count;
    long long added;
  };
  const Table tables[] = {{"points", model.pointCount, points},
                          {"lines", model.lineCount, lines},
                          {"surfaces", model.faceCount, surfaces}};
  for (const Table& table : tables) {
    if (table.count + table.added > kMaxCount) {
      return CommandResult::Refused(std::string(what) + " would need " +
                                    std::to_string(table.count + table.added) + " " + table.name +
                                    "; a model holds at most " + std::to_string(kMaxCount));
    }
  }
  return {};
}

}  // namespace vexal
