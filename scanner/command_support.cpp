#include "scanner/command_support.h"

#include "device/device_library.h"
#include "scanner/cdb.h"
#include "scanner/check_result.h"
#include "scanner/debug_settings.h"

namespace scanner::detail {

void SendReady(uint8_t ha, uint8_t target) { cdb::TestUnitReady(ha, target); }

bool Judge(uint16_t result, bool quiet) { return quiet ? result == 0 : CheckScannerResult(result); }

bool Simulated() { return device::SimulatedScanner(); }

int SimValue(std::string_view key, int def) { return DebugInt(key, def); }

}  // namespace scanner::detail
