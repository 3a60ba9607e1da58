// The ASPI manager ("wnaspi32.dll") backed by a bus: requests complete at once, in
// the caller's thread, except those of a target that never answers.
#pragma once
#include <memory>

#include "emulator/bus.h"
#include "platform/aspi/aspi.h"

namespace emulator {

platform::DWORD SendAspiCommand(Bus& bus, void* srb);

// A library with both entries bound to the bus.
std::shared_ptr<platform::aspi::AspiLibrary> MakeAspiLibrary(std::shared_ptr<Bus> bus);

}  // namespace emulator
