// One status refresh of the main window's monitoring against an emulated USB scanner:
// status, caution report and the counter reads of a compact model.
#include <benchmark/benchmark.h>

#include "device/device_library.h"
#include "emulator/device_builder.h"
#include "emulator/install.h"
#include "scanner/identify.h"
#include "tests/platform/test_env.h"
#include "utility/status_monitor.h"

namespace {

class NoView : public utility::StatusView {
 public:
  void UpdateStatusControls() override {}
  void LayoutErrorCode(bool) override {}
  void UpdatePartStates() override {}
  void DisableParts() override {}
  void InformationRefresh() override {}
  bool IsForeground() override { return true; }
  void FlashTaskbar() override {}
  void StartStatusTimer(unsigned) override {}
  void StopStatusTimer() override {}
  bool StatusTimerRunning() override { return false; }
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  void InvalidateWindow() override {}
};

void BM_StatusRefresh(benchmark::State& state) {
  platform::testing::ScopedPrefix prefix;
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T4783Z").OnStiUsb().LockMode(2);
  emulator::Install(builder.Build());
  device::OpenDeviceLibrary(device::kOpenAspi | device::kOpenStillImage);
  std::vector<device::DeviceRecord> records;
  device::EnumerateDevices(records);
  scanner::ScannerContext context;
  scanner::IdentifyScanner(context, records.front(), false);
  settings::CCounterRecord counters;
  utility::StatusDisplay display;
  NoView view;
  utility::StatusMonitor monitor(context, counters, display, view, [](scanner::ScannerContext&) { return 0; });
  for (auto _ : state) monitor.Refresh(false);
  device::CloseDeviceLibrary();
  emulator::Uninstall();
}
BENCHMARK(BM_StatusRefresh)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
