// The listing's hot parts at the size of a loaded server: 200,000 rows, as
// 100,000 loopback connections (both ends) give.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <span>
#include <string>
#include <vector>

#include "cli/table_output.h"
#include "cli/text_connection_list.h"
#include "listing/fill_connection_list.h"
#include "listing/linux/netlink_dump_builder.h"
#include "listing/linux/sock_diag_parse.h"
#include "listing/linux/socket_owner_map.h"
#include "listing/platform_listing.h"
#include "listing/row_texts.h"
#include "null_connection_list.h"
#include "synthetic_snapshot.h"

namespace {

constexpr std::int32_t kRows = 200'000;

const TcpTableSnapshot& Snapshot() {
  static const TcpTableSnapshot snapshot = SyntheticSnapshot(kRows, ::getpid());
  return snapshot;
}

// Decoding and the seven texts of every row, with a fixed path: the list
// filling without the kernel.
void BM_FillConnectionListTexts(benchmark::State& state) {
  const ListingSource source{[] { return Snapshot(); },
                             [](std::int32_t) { return std::string("/usr/sbin/corvenna-test"); }};
  for (auto _ : state) {
    NullConnectionList list;
    FillConnectionList(list, source);
    benchmark::DoNotOptimize(list.Bytes());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_FillConnectionListTexts)->Unit(benchmark::kMillisecond);

// The same with the real path lookup of this process for every row.
void BM_FillConnectionListRealPaths(benchmark::State& state) {
  const ListingSource source{[] { return Snapshot(); }, ProcessImagePath};
  for (auto _ : state) {
    NullConnectionList list;
    FillConnectionList(list, source);
    benchmark::DoNotOptimize(list.Bytes());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_FillConnectionListRealPaths)->Unit(benchmark::kMillisecond);

// Into the lister's own list, which keeps every text.
void BM_FillTextConnectionList(benchmark::State& state) {
  const ListingSource source{[] { return Snapshot(); },
                             [](std::int32_t) { return std::string("/usr/sbin/corvenna-test"); }};
  for (auto _ : state) {
    TextConnectionList list;
    FillConnectionList(list, source);
    benchmark::DoNotOptimize(list.Rows().data());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_FillTextConnectionList)->Unit(benchmark::kMillisecond);

void BM_RowTexts(benchmark::State& state) {
  const TcpTableSnapshot& snapshot = Snapshot();
  for (auto _ : state) {
    std::size_t bytes = 0;
    for (std::int32_t i = 1; i <= kRows; ++i) {
      const ConnectionRow row = DecodeTcpTableRow(snapshot, i);
      bytes += DottedAddress(row.localAddress).size() + PortText(row.localPort).size() +
               DottedAddress(row.remoteAddress).size() + PortText(row.remotePort).size() +
               ProcessIdText(row.owningPid).size() + TcpStateLabel(row.state).size();
    }
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_RowTexts)->Unit(benchmark::kMillisecond);

void BM_ProcessImagePath(benchmark::State& state) {
  const std::int32_t pid = ::getpid();
  for (auto _ : state) benchmark::DoNotOptimize(ProcessImagePath(pid));
}
BENCHMARK(BM_ProcessImagePath);

// The owner scan over this machine's real /proc: its cost follows the number
// of descriptors open, so run it under the load generator for a real figure.
void BM_ScanSocketOwners(benchmark::State& state) {
  std::size_t found = 0;
  for (auto _ : state) {
    const SocketOwnerMap owners = ScanSocketOwners("/proc", kRows);
    found = owners.size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["sockets"] = static_cast<double>(found);
}
BENCHMARK(BM_ScanSocketOwners)->Unit(benchmark::kMillisecond);

void BM_TakeTcpTableSnapshot(benchmark::State& state) {
  std::int32_t rows = 0;
  for (auto _ : state) {
    const TcpTableSnapshot snapshot = TakeTcpTableSnapshot();
    rows = ReadableTcpTableRowCount(snapshot);
    benchmark::DoNotOptimize(rows);
  }
  state.counters["rows"] = rows;
}
BENCHMARK(BM_TakeTcpTableSnapshot)->Unit(benchmark::kMillisecond);

// A sock_diag dump of 200,000 IPv4 sockets laid end to end, as the kernel
// sends them (each message with one small attribute).
const std::vector<std::uint8_t>& RecordedDump() {
  static const std::vector<std::uint8_t> bytes = [] {
    NetlinkDumpBuilder builder;
    for (std::int32_t i = 0; i < kRows; ++i) {
      DiagSocketFields fields;
      fields.state = 1;
      fields.source = {127, 1, static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i)};
      fields.sourcePort = static_cast<std::uint16_t>(32768 + i % 28000);
      fields.destination = {127, 0, 0, 1};
      fields.destinationPort = 40000;
      fields.inode = static_cast<std::uint32_t>(100000 + i);
      builder.Socket(fields);
    }
    builder.Done();
    return builder.Bytes();
  }();
  return bytes;
}

void BM_ParseSockDiagReplies(benchmark::State& state) {
  const std::vector<std::uint8_t>& bytes = RecordedDump();
  for (auto _ : state) {
    std::vector<KernelTcpSocket> sockets;
    benchmark::DoNotOptimize(ParseSockDiagReplies(std::span(bytes), sockets));
    benchmark::DoNotOptimize(sockets.data());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ParseSockDiagReplies)->Unit(benchmark::kMillisecond);

const std::vector<TextRow>& TextRows() {
  static const std::vector<TextRow> rows = [] {
    TextConnectionList list;
    const ListingSource source{[] { return Snapshot(); },
                               [](std::int32_t) { return std::string("/usr/sbin/corvenna-test"); }};
    FillConnectionList(list, source);
    return list.Rows();
  }();
  return rows;
}

void BM_FormatConnectionTable(benchmark::State& state) {
  const auto layout = static_cast<TableLayout>(state.range(0));
  const std::vector<TextRow>& rows = TextRows();
  const TextRow titles = {"本地地址", "本地端口", "远程地址", "远程端口", "进程号", "状态", "路径"};
  for (auto _ : state) benchmark::DoNotOptimize(FormatConnectionTable(titles, rows, layout));
  state.SetItemsProcessed(state.iterations() * kRows);
  state.SetLabel(layout == TableLayout::Aligned ? "aligned" : "tab-separated");
}
BENCHMARK(BM_FormatConnectionTable)
    ->Arg(static_cast<int>(TableLayout::TabSeparated))
    ->Arg(static_cast<int>(TableLayout::Aligned))
    ->Unit(benchmark::kMillisecond);

}  // namespace
