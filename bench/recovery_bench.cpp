// Recovery copies and the undo ring at the 19,999 limit (every table full:
// testing::FullSheet). The user waits only for RecoveryRecords; the write
// runs on the keeper's worker. The ring's memory is reported as a counter
// (MB) at depths 10 and 100.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "formats/recovery.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "support/bench_files.h"
#include "support/test_models.h"

namespace vexal {
namespace {

std::unique_ptr<Document> SheetDocument(int undoSlots) {
  auto document = std::make_unique<Document>();
  InitializeDocument(*document, undoSlots);
  testing::FullSheet(document->model);
  RefreshSelection(*document);
  ResetUndo(*document);
  return document;
}

const Document& Sheet() {
  static const std::unique_ptr<Document> sheet = SheetDocument(kUndoSlots);
  return *sheet;
}

void BM_RecoveryRecordsAtLimit(benchmark::State& state) {
  for (auto _ : state) {
    RecoveryRecords records(Sheet());
    benchmark::DoNotOptimize(&records);
  }
}
BENCHMARK(BM_RecoveryRecordsAtLimit)->Unit(benchmark::kMillisecond);

// What the worker does: the native text of the whole model, written and
// renamed into place, and the index updated under its lock.
void BM_RecoveryWriteAtLimit(benchmark::State& state) {
  const std::string folder = testing::BenchScratchPath("recovery");
  RecoveryFolder recovery(folder);
  const RecoveryOwner owner = CurrentRecoveryOwner();
  const auto snapshot = RecoveryRecords(Sheet()).document();
  for (auto _ : state) {
    if (!recovery.writeCopy(*snapshot, owner, 1, "/bench/sheet.vxl", "sheet.vxl", 0, nullptr)) {
      state.SkipWithError("the copy was not written");
      break;
    }
  }
  state.counters["MB"] =
      static_cast<double>(std::filesystem::file_size(folder + "/" + RecoveryCopyName(owner, 1))) /
      1e6;
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_RecoveryWriteAtLimit)->Unit(benchmark::kMillisecond);

// A ring of `depth` slots filled by as many pushes at the limit.
void BM_UndoRingMemoryAtLimit(benchmark::State& state) {
  const int depth = static_cast<int>(state.range(0));
  size_t bytes = 0;
  for (auto _ : state) {
    auto document = SheetDocument(depth);
    for (int i = 0; i < depth; ++i) {
      document->model.points[1 + i].position.x += 1.0f;
      PushUndo(*document, 1);
    }
    bytes = document->undo.memoryBytes();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_UndoRingMemoryAtLimit)->Arg(10)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);

// One Undo and one Redo in a full ring of 100 slots.
void BM_UndoRedoStepAtLimit(benchmark::State& state) {
  auto document = SheetDocument(100);
  for (int i = 0; i < 100; ++i) {
    document->model.points[1 + i].position.x += 1.0f;
    PushUndo(*document, 1);
  }
  for (auto _ : state) {
    StepUndo(*document, -1);
    StepUndo(*document, 1);
  }
  state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BM_UndoRedoStepAtLimit)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexal
