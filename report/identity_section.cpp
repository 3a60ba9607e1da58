// The "<< Scanner >>" section: interface, identity, serial number, versions, options.
#include <string>
#include <vector>

#include "platform/format.h"
#include "report/scanner_parts.h"
#include "scanner/memory_commands.h"
#include "scanner/model_codes.h"
#include "scanner/text_forms.h"

namespace report::parts {
namespace {

using platform::Format;
using scanner::ModelSet;
using scanner::OnOff;
using scanner::ScannerContext;
using Lines = std::vector<std::string>;

constexpr ModelSet kPaperDetectModels = {12, 14, 15, 16, 25, 26, 27, 32};
constexpr ModelSet kBuzzerModels = ModelSet::Range(12, 29) | ModelSet{32};
constexpr ModelSet kCompatibleModels = {12, 14, 15, 16, 33, 34};
constexpr ModelSet kCenterBoardModels = {13, 28, 29};
constexpr ModelSet kCcdBoardModels = {22, 23};

std::string Suffix(char revision) { return revision ? std::string(1, revision) : std::string(); }

std::string FirstLine(const ScannerContext& c) { return "Firm version, " + scanner::FirmwareVersionText(c, false); }

void AddFirmware(Lines& lines, const ScannerContext& c) {
  lines.push_back(FirstLine(c));
  lines.push_back("Suffix, " + Suffix(c.firmware_revision));
  lines.push_back(Format("CONTROL Board version, %d", c.control_board));
}

void AddTwoMemories(Lines& lines, const ScannerContext& c) {
  lines.push_back(Format("Front Memory, %d MB", c.memory_mb));
  lines.push_back(Format("Back Memory, %d MB", c.back_memory_mb));
}

std::string PairedGateArray(const ScannerContext& c, int index) {
  return Format("GA%d version, %d-%d", index + 1, c.gate_array[index], c.gate_array_second[index]);
}

// The three firmware lines of the interface-board family, with their revisions.
void AddInterfaceBoardFirmware(Lines& lines, const ScannerContext& c) {
  lines.push_back("IF Firm version, " + scanner::FirmwareVersionText(c, false));
  lines.push_back("Suffix, " + Suffix(c.firmware_revision));
  lines.push_back("IF Boot Firm version, " + scanner::SecondVersionText(c, false));
  lines.push_back("Suffix, " + Suffix(c.second_revision));
  lines.push_back("Mecha Conrol Firm version, " + scanner::ThirdVersionText(c, false));
  lines.push_back("Suffix, " + Suffix(c.third_revision));
  lines.push_back(Format("Memory, %d MB", c.memory_mb));
}

Lines VersionLines(const ScannerContext& c) {
  const uint8_t code = c.model_code;
  Lines lines;
  if (scanner::kProductionFamily.Has(code)) {
    AddFirmware(lines, c);
    for (int i = 0; i < 3; ++i) lines.push_back(Format("GA%d version, %d", i + 1, c.gate_array[i]));
    lines.push_back(Format("IF board version, %d", c.interface_board));
    lines.push_back(Format("Drive board version, %d", c.drive_board));
    lines.push_back(Format("Memory, %d MB", c.memory_mb));
  } else if (kCenterBoardModels.Has(code)) {
    AddFirmware(lines, c);
    lines.push_back(Format("Center board version, %d", c.interface_board));
    lines.push_back(Format("Drive board version, %d", c.drive_board));
    lines.push_back(PairedGateArray(c, 0));
    lines.push_back(PairedGateArray(c, 1));
    AddTwoMemories(lines, c);
  } else if (scanner::kWideBodyFamily.Has(code)) {  // 17 to 24
    AddFirmware(lines, c);
    if (kCcdBoardModels.Has(code)) {
      lines.push_back(Format("CCD (F) Board Version, %d", c.extra_board[0]));
      lines.push_back(Format("CCD (B) Board Version, %d", c.extra_board[1]));
    }
    lines.push_back(Format("Drive board version, %d", c.drive_board));
    lines.push_back(PairedGateArray(c, 0));
    lines.push_back(PairedGateArray(c, 1));
    lines.push_back(Format("GA3 version, %d", c.gate_array[2]));
    AddTwoMemories(lines, c);
  } else if (code == kTwoImprinterModel) {
    AddInterfaceBoardFirmware(lines, c);
    if (c.pre_imprinter) lines.push_back("Post Imprinter Front Firm version, " + scanner::FourthVersionText(c));
    if (c.post_imprinter) lines.push_back("Post Imprinter Back Firm version, " + scanner::FifthVersionText(c));
  } else if (scanner::kInterfaceBoardFamily.Has(code)) {  // 33, 34
    AddInterfaceBoardFirmware(lines, c);
    if (c.post_imprinter) lines.push_back("Post Imprinter Firm version, " + scanner::FifthVersionText(c));
  } else {
    AddFirmware(lines, c);
    lines.push_back(Format("GA version, %d", c.gate_array[0]));
  }
  return lines;
}

bool OverUsb(const ScannerContext& c) {
  return c.interface_kind == scanner::kInterfaceStiUsbHigh || c.interface_kind == scanner::kInterfaceStiUsbFull;
}

Lines OptionLines(const ScannerContext& c) {
  const uint8_t code = c.model_code;
  Lines lines;
  if (!OverUsb(c)) lines.push_back("Terminator, " + scanner::TerminatorText(c, OnOff::kPlain));
  if (kPreImprinterModels.Has(code)) lines.push_back("Pre Imprinter, " + scanner::PreImprinterText(c, OnOff::kPlain));
  if (kPostImprinterModels.Has(code))
    lines.push_back("Post Imprinter, " + scanner::PostImprinterText(c, OnOff::kPlain));
  if (code == kTwoImprinterModel) {
    lines.push_back("Post Imprinter Front, " + scanner::PreImprinterText(c, OnOff::kPlain));
    lines.push_back("Post Imprinter Back, " + scanner::PostImprinterText(c, OnOff::kPlain));
  }
  if (kPaperDetectModels.Has(code)) lines.push_back("Paper detect size, " + scanner::PaperModeText(c));
  if (kBuzzerModels.Has(code)) lines.push_back("Buzzer, " + scanner::BuzzerText(c));
  if (kCompatibleModels.Has(code)) lines.push_back("Compatible, " + scanner::CompatibleModeText(c));
  if (scanner::FlatbedRowApplies(c)) lines.push_back("Flatbed, " + scanner::FlatbedText(c, OnOff::kPlain));
  return lines;
}

bool WriteLines(ReportFile& file, const Lines& lines) {
  for (const std::string& line : lines) {
    if (!file.Write(line + "\n")) return false;
  }
  return true;
}

std::string Field(const char* text, size_t size) {
  size_t n = 0;
  while (n < size && text[n]) ++n;
  return std::string(text, n);
}

}  // namespace

void WriteIdentity(ReportFile& file, const ScannerContext& c) {
  Lines head = {"<< Scanner >>", "Interface, " + scanner::InterfaceText(c)};
  if (c.interface_kind == scanner::kInterfaceAspiScsi) {
    head.push_back(Format("Host Adapter #, %d", c.host_adapter));
    head.push_back(Format("SCSI ID, %d", c.target));
  }
  head.push_back("Vendor, " + Field(c.vendor, sizeof(c.vendor)));
  std::string product = "Product, " + Field(c.model_name, sizeof(c.model_name));
  if (c.model_code == 34 && c.color_option) product += " +Color Option";
  head.push_back(product);
  if (!WriteLines(file, head)) return;
  char serial[17] = {};
  if (!scanner::ReadIdentityText(c.host_adapter, c.target, serial, false)) return;
  Lines rest = {"USB ID #, " + Field(serial, 16)};
  for (const std::string& line : VersionLines(c)) rest.push_back(line);
  for (const std::string& line : OptionLines(c)) rest.push_back(line);
  rest.push_back("");
  WriteLines(file, rest);
}

}  // namespace report::parts
