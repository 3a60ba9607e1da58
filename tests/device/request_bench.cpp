// Round trip of one request through the still-image worker against the emulator.
#include <benchmark/benchmark.h>

#include "device/device_library.h"
#include "emulator/device_builder.h"
#include "emulator/driver_keys.h"
#include "emulator/install.h"
#include "platform/system.h"
#include "tests/platform/test_env.h"

namespace {

void Run(benchmark::State& state, bool lock_held, bool wow64) {
  platform::testing::ScopedPrefix prefix;
  platform::system::ForceWow64ForTest(wow64);
  emulator::BusBuilder builder;
  builder.Device("A").Product("DE-T4783Z").OnStiUsb().LockMode(2).CompatibleMode(17, 0);
  auto bus = builder.Build();
  emulator::Install(bus);
  device::OpenDeviceLibrary(device::kOpenStillImage);
  std::vector<device::DeviceRecord> records;
  device::EnumerateDevices(records);
  if (lock_held) device::LockScanner(1, 0);
  uint8_t data[2];
  for (auto _ : state) {
    device::ScsiRequestBlock block{};
    block.SRB_Flags = platform::aspi::SRB_DIR_IN;
    block.SRB_BufLen = 2;
    block.SRB_BufPointer = data;
    block.SRB_SenseLen = device::kSenseLength;
    block.SRB_CDBLen = 10;
    block.CDBByte[0] = 0xE0;
    block.CDBByte[2] = 0xA2;
    block.CDBByte[8] = 2;
    benchmark::DoNotOptimize(device::ExecuteRequest(block));
    bus->Find("A")->ClearLog();
  }
  device::UnlockScanner();
  device::CloseDeviceLibrary();
  emulator::Uninstall();
  platform::system::ForceWow64ForTest(std::nullopt);
}

void BM_RequestLockingEachTime(benchmark::State& state) { Run(state, false, false); }
void BM_RequestLockHeld(benchmark::State& state) { Run(state, true, false); }
void BM_RequestWow64LockHeld(benchmark::State& state) { Run(state, true, true); }
BENCHMARK(BM_RequestLockingEachTime);
BENCHMARK(BM_RequestLockHeld);
BENCHMARK(BM_RequestWow64LockHeld);

}  // namespace

BENCHMARK_MAIN();
