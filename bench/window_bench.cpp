// The Qt list at 100,000 connections' worth of rows: the model alone, and the
// list view the window fills (hidden, as it is while FillConnectionList runs).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <array>
#include <string>
#include <variant>

#include "listing/fill_connection_list.h"
#include "synthetic_snapshot.h"
#include "window/qt/connection_list_view.h"
#include "window/qt/connection_table_model.h"
#include "window/window_description.h"

namespace {

constexpr std::int32_t kRows = 200'000;

const ReportListSettings& ListSettings() {
  return std::get<ReportListSettings>(
      FindControl(MainWindowDescription(), ControlKind::ReportList).settings);
}

const TcpTableSnapshot& Snapshot() {
  static const TcpTableSnapshot snapshot = SyntheticSnapshot(kRows, 4242);
  return snapshot;
}

// AppendRow and six SetCellText calls per row, with texts made once.
void BM_ModelAppendRow(benchmark::State& state) {
  const std::array<std::string, kConnectionListColumnCount> cells = {
      "127.1.0.1",
      "40001",
      "127.0.0.1",
      "38211",
      "4242",
      "已建立",
      "/usr/lib/corvenna/corvenna-loadgen"};
  const auto rows = static_cast<std::int32_t>(state.range(0));
  for (auto _ : state) {
    ConnectionTableModel model(ListSettings().columns);
    for (std::int32_t i = 0; i < rows; ++i) {
      const std::int32_t row = model.AppendRow(cells[0]);
      for (std::int32_t c = 1; c < kConnectionListColumnCount; ++c) {
        model.SetCellText(row, c, cells[static_cast<std::size_t>(c)]);
      }
    }
    benchmark::DoNotOptimize(model.rowCount());
  }
  state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_ModelAppendRow)->Arg(100'000)->Arg(kRows)->Unit(benchmark::kMillisecond);

// FillConnectionList into the window's list view, texts and all; the path
// is fixed so the kernel is left out.
void BM_FillConnectionListView(benchmark::State& state) {
  const ListingSource source{[] { return Snapshot(); },
                             [](std::int32_t) { return std::string("/usr/sbin/corvenna-test"); }};
  for (auto _ : state) {
    ConnectionListView view(ListSettings());
    view.resize(784, 362);
    FillConnectionList(view, source);
    benchmark::DoNotOptimize(view.Rows().rowCount());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_FillConnectionListView)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // No display is needed for the list's work.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
