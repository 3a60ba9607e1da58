// One scanner's report part against an emulated USB scanner: listing, selection,
// identification and every section of a wide-body model with its flatbed.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "device/device_library.h"
#include "emulator/device_builder.h"
#include "emulator/install.h"
#include "platform/clock.h"
#include "report/scanner_sections.h"
#include "tests/platform/scripted_prompter.h"
#include "tests/platform/test_env.h"

namespace {

void BM_ScannerReport(benchmark::State& state) {
  platform::testing::ScopedPrefix prefix;
  platform::ScopedFakeClock clock;
  platform::testing::ScriptedPrompter prompter;
  std::filesystem::create_directories(prefix.drive_c());
  emulator::BusBuilder builder;
  builder.Device("S").Product("DE-T8713ZP").OnStiUsb(2).Imprinters(true, true).FlatbedAttached();
  emulator::Install(builder.Build());
  device::OpenDeviceLibrary(device::kOpenAspi | device::kOpenStillImage);
  scanner::ScannerContext window;
  scanner::ResetContext(window);
  for (auto _ : state) {
    report::ReportFile file;
    file.Create("C:\\bench.txt");
    report::ReportContext context{window};
    benchmark::DoNotOptimize(report::WriteScannerSections(file, context));
  }
  device::CloseDeviceLibrary();
  emulator::Uninstall();
}
BENCHMARK(BM_ScannerReport)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace

BENCHMARK_MAIN();
