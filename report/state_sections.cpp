// Test mode, scanner status, SPD dump, special function, shading source and the
// flatbed unit's status.
#include <cstdio>
#include <string>

#include "report/scanner_parts.h"
#include "scanner/model_codes.h"
#include "scanner/setting_commands.h"
#include "scanner/status_commands.h"
#include "scanner/status_tables.h"
#include "scanner/test_settings.h"

namespace report::parts {
namespace {

using scanner::ModelSet;
using scanner::ScannerContext;

constexpr ModelSet kStapledModels = ModelSet::Range(17, 24);
constexpr ModelSet kLampModels = ModelSet{22, 23} | scanner::kCompactFamily;
constexpr uint8_t kColorImageType = 3;
constexpr ModelSet kNoSpdModels = scanner::kEarlyFamily | scanner::kCompactFamily;
constexpr ModelSet kTwoSpdModels = ModelSet{13, 28, 29} | ModelSet::Range(17, 24);
constexpr ModelSet kLongIndividualModels = ModelSet{13, 24, 28, 29} | ModelSet::Range(17, 22);
constexpr ModelSet kDelicateFeedModels = ModelSet::Range(17, 20);
constexpr uint8_t kMtfModel = 13;

bool WriteStatus(ReportFile& file, const char* heading, const scanner::StatusEntry& entry,
                 const scanner::ScannerStatus& s) {
  return file.Printf("%s\nError code, %s\nStatus, %2x %2x %2x %2x\n\n", heading, entry.short_code.c_str(), s.bytes[0],
                     s.bytes[1], s.bytes[2], s.bytes[3]);
}

bool WriteSpdBytes(ReportFile& file, const char* heading, const uint8_t (&bytes)[128]) {
  std::string text = heading;
  for (int i = 0; i < 128; ++i) {
    if (i % 16 == 0) text += "\n";
    char hex[4];
    std::snprintf(hex, sizeof(hex), "%02X ", bytes[i]);
    text += hex;
  }
  return file.Write(text + "\n\n");
}

}  // namespace

// A reduction never converts to 4 or 5, so the multi-stream resolution line is not
// written, whatever the image type.
bool WriteTestMode(ReportFile& file, const ScannerContext& c) {
  const uint8_t code = c.model_code;
  scanner::TestSettingsBlock block;
  if (!scanner::ReadTestSettings(c.host_adapter, c.target, code, block, false)) return false;
  const scanner::TestSettings s = scanner::DecodeTestSettings(block, code);
  std::string text = "<< Test Mode >>\nTest mode, " + scanner::TestModeText(s) + "\nResolution, " +
                     std::to_string(s.resolution) + "\n";
  text += "Image type, " + scanner::ImageTypeText(s) + "\n";
  text += "Feeding speed, " + scanner::SpeedText(s, code) + "\n";
  text += "Paper size, " + scanner::PaperSizeText(s, code) + "\nLength control, " + scanner::LengthControlText(s) + "\n";
  text += "Double Feed Detect, " + scanner::DoubleFeedText(s, code) + "\n";
  if (kStapledModels.Has(code)) text += "Detect Stapled Document, " + scanner::StapledText(s) + "\n";
  if (kPreImprinterModels.Has(code)) text += "Pre Imprinter, " + scanner::ImprinterBitText(s, 0) + "\n";
  if (kPostImprinterModels.Has(code)) text += "Post Imprinter, " + scanner::ImprinterBitText(s, 4) + "\n";
  if (code == kTwoImprinterModel) {
    text += "Post Imprinter Front, " + scanner::ImprinterBitText(s, 0) + "\n";
    text += "Post Imprinter Back, " + scanner::ImprinterBitText(s, 4) + "\n";
  }
  const bool lamp = kLampModels.Has(code);
  if (s.image_type != kColorImageType)
    text += (lamp ? "Lamp color, " : "CIS LED color, ") + scanner::DropoutText(s) + "\n";
  text += (lamp ? "Lamp lightening side, " : "CIS lightening side, ") + scanner::SidesText(s) + "\n";
  text += "Start/Stop Mode, " + scanner::IntervalText(s) + "\n\n";
  return file.Write(text);
}

bool WriteScannerStatus(ReportFile& file, const ScannerContext& c) {
  scanner::ScannerStatus status;
  if (scanner::ReadScannerStatus(c.host_adapter, c.target, status, false) != 1) return false;
  const auto& entry = scanner::LookupStatus(scanner::StatusTableFor(c.model_code), status.code);
  return WriteStatus(file, "<< Scanner status >>", entry, status);
}

bool WriteSpd(ReportFile& file, const ScannerContext& c) {
  if (kNoSpdModels.Has(c.model_code)) return true;
  if (!kTwoSpdModels.Has(c.model_code)) return WriteSpdBytes(file, "<< PC SDRAM SPD >>", c.spd_front);
  return WriteSpdBytes(file, "<< PC SDRAM SPD (Front)>>", c.spd_front) &&
         WriteSpdBytes(file, "<< PC SDRAM SPD (Back)>>", c.spd_back);
}

bool WriteSpecialFunction(ReportFile& file, const ScannerContext& c) {
  const uint8_t code = c.model_code;
  const bool compact = scanner::kCompactFamily.Has(code);
  if (!c.individual_settings && !compact) return true;
  const bool long_form = kLongIndividualModels.Has(code);
  uint8_t answer[4] = {};
  if (scanner::ReadIndividualSettings(c.host_adapter, c.target, long_form ? 4 : 2, answer, false) != 1) return false;
  const uint8_t flags = answer[0];
  const uint8_t offered = long_form ? answer[1] : 0;
  if (compact) return file.Printf("<< Special Function >>\nCgsCqz, %s\n\n", OnOffBit(flags, 7));
  std::string text = "<< Special Function >>\nDouble feeding image output, " + std::string(OnOffBit(flags, 6)) + "\n";
  if (kDelicateFeedModels.Has(code) && (offered & 0x20))
    text += "Delicate feed mode, " + std::string(OnOffBit(flags, 5)) + "\n";
  if (code == kMtfModel && (offered & 0x10)) text += "MTF mode, " + std::string(OnOffBit(flags, 4)) + "\n";
  if (offered & 0x08) text += "Imprinter double width mode, " + std::string(OnOffBit(flags, 3)) + "\n";
  return file.Write(text + "\n");
}

bool WriteShadingSource(ReportFile& file, const ScannerContext& c) {
  uint8_t source = 0;
  if (!scanner::ReadShadingSource(c.host_adapter, c.target, source, false)) return true;
  return file.Write(source != 0 ? "<< Shading Source >>\nUser Shading Data is used\n\n"
                                : "<< Shading Source >>\nFactory Shading Data is used\n\n");
}

bool WriteFlatbedStatus(ReportFile& file, const ScannerContext& c) {
  scanner::ScannerStatus status;
  if (scanner::ReadFlatbedStatus(c.host_adapter, c.target, status, false) != 1) return false;
  const auto& entry = scanner::LookupStatus(scanner::StatusTable::kFlatbed, status.code);
  return WriteStatus(file, "<< Flatbed Scanner status >>", entry, status);
}

}  // namespace report::parts
