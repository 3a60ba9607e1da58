// The context's values as the window and the report show them. Every text is empty
// while the context is not connected.
#pragma once
#include <string>

#include "scanner/scanner_context.h"

namespace scanner {

// "Enable" / "Disable" as they stand, or the string-table texts 2041 / 2042.
enum class OnOff { kPlain, kStrings };

std::string ModelNameText(const ScannerContext& c);
// With the revision: "." and the revision character when it is not 0.
std::string FirmwareVersionText(const ScannerContext& c, bool with_revision);
std::string SecondVersionText(const ScannerContext& c, bool with_revision);
std::string ThirdVersionText(const ScannerContext& c, bool with_revision);
std::string FourthVersionText(const ScannerContext& c);
std::string FifthVersionText(const ScannerContext& c);
std::string InterfaceText(const ScannerContext& c);
std::string ControlBoardText(const ScannerContext& c);
std::string InterfaceBoardText(const ScannerContext& c);
std::string DriveBoardText(const ScannerContext& c);
// index 0-2: gate arrays 1-3.
std::string GateArrayText(const ScannerContext& c, int index);
std::string MemoryText(const ScannerContext& c);
std::string BackMemoryText(const ScannerContext& c);
std::string TerminatorText(const ScannerContext& c, OnOff style);
std::string PreImprinterText(const ScannerContext& c, OnOff style);
std::string PostImprinterText(const ScannerContext& c, OnOff style);
std::string FlatbedText(const ScannerContext& c, OnOff style);
// Whether the flatbed's row is shown: always for the unit itself, else for a model that
// takes one while the unit is attached.
bool FlatbedRowApplies(const ScannerContext& c);
std::string CompatibleModeText(const ScannerContext& c);
std::string PaperModeText(const ScannerContext& c);
std::string BuzzerText(const ScannerContext& c);
// "%d min" when enabled, else "Disable".
std::string SleepText(const ScannerContext& c, bool enabled, int minutes);
// String 2003 with the minutes when enabled, else string 2042.
std::string CautionSleepText(const ScannerContext& c, bool enabled, int minutes);

// The compatible-mode name table: code → string id.
struct CompatibleName {
  uint8_t code;
  int string_id;
};
const CompatibleName* FindCompatibleName(uint8_t code);

}  // namespace scanner
