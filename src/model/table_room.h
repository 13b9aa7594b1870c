// The one room check every edit that adds records makes before it changes
// anything: no table may pass kMaxCount (19999) records. An edit that would
// is refused with the one table-full message.
#pragma once

#include <cstdint>

#include "io/refusal.h"
#include "model/document.h"
#include "model/model.h"

namespace vexal {

// The English text of the table-full refusal (a marked message).
extern const char* const kTableFullText;

// The table-full refusal, in the message language.
Refusal TableFull();

// True when the model can take that many more points, lines and surfaces.
bool HasRoomFor(const Model& model, int64_t points, int64_t lines, int64_t faces);

// Nothing when the model has room for the records, else TableFull().
MaybeRefusal CheckRoom(const Model& model, int64_t points, int64_t lines, int64_t faces);

// How a tool refuses during a gesture: the reason goes to the status bar.
void ShowRefusal(Document& document, const Refusal& refusal);

// CheckRoom on the document's model for a tool: false, with the refusal
// shown, when the records do not fit (the tool must then change nothing).
bool HasRoom(Document& document, int64_t points, int64_t lines, int64_t faces);

}  // namespace vexal
