// Setting commands against an emulated scanner, their dialogs driven by modal actions.
#pragma once
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/ui/modal_actions.h"
#include "platform/ui/user_input.h"
#include "platform/ui/window_dump.h"
#include "tests/scanner/scanner_fixture.h"

namespace settings::testing {

namespace ui = platform::ui;

// One command as the scanner saw it: opcode, data type, transfer length, data sent.
struct Sent {
  uint8_t opcode = 0;
  uint8_t type = 0;
  uint32_t length = 0;
  std::vector<uint8_t> data;
  friend bool operator==(const Sent&, const Sent&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const Sent& s) {
  os << std::hex << "{" << int(s.opcode) << " " << int(s.type) << " len " << s.length << " [";
  for (uint8_t b : s.data) os << " " << int(b);
  return os << " ]}" << std::dec;
}

class SettingsTest : public scanner::testing::ScannerTest {
 protected:
  // The vendor and flatbed commands (E0, E1, E8, E9), in order.
  std::vector<Sent> Settings() const {
    std::vector<Sent> sent;
    for (const auto& e : Exchanges()) {
      const std::vector<uint8_t> cdb = e.Cdb();
      if (cdb.size() < 9 || (cdb[0] != 0xE0 && cdb[0] != 0xE1 && cdb[0] != 0xE8 && cdb[0] != 0xE9)) continue;
      const uint32_t length = (uint32_t{cdb[6]} << 16) | (uint32_t{cdb[7]} << 8) | cdb[8];
      sent.push_back({cdb[0], cdb[2], length, e.data_out});
    }
    return sent;
  }
  // Only the writes (E1, E9).
  std::vector<Sent> Writes() const {
    std::vector<Sent> writes;
    for (const Sent& s : Settings())
      if (s.opcode == 0xE1 || s.opcode == 0xE9) writes.push_back(s);
    return writes;
  }

  static bool Visible(ui::CDialog& d, int id) { return d.GetDlgItem(id)->IsWindowVisible(); }
  static bool Enabled(ui::CDialog& d, int id) { return d.GetDlgItem(id)->IsWindowEnabled(); }
  static bool Checked(ui::CDialog& d, int id) { return d.IsDlgButtonChecked(id) == ui::BST_CHECKED; }
  static ui::CRect ClientRect(ui::CDialog& d) {
    ui::CRect r;
    d.GetClientRect(&r);
    return r;
  }
  static ui::CRect ControlRect(ui::CDialog& d, int id) {
    ui::CRect r;
    d.GetDlgItem(id)->GetWindowRect(&r);
    d.ScreenToClient(&r);
    return r;
  }

  // Writes a screenshot when UI_TEST_SHOTS names a folder.
  static void Shot(ui::CDialog& d, const std::string& name) {
    if (const char* dir = std::getenv("UI_TEST_SHOTS")) ui::SaveScreenshot(d, std::string(dir) + "/" + name + ".png");
  }

  ui::ModalActions actions_;
};

}  // namespace settings::testing
