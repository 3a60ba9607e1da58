// The error display in-process: its resources, icons, a folder for the list and its
// images, a prefix for the registry, virtual timers and a scripted prompter.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "errview/errview_dlg.h"
#include "platform/bytes.h"
#include "platform/paths.h"
#include "platform/ui/icons.h"
#include "platform/ui/modal_actions.h"
#include "platform/ui/timers.h"
#include "resources/app_resources.h"
#include "resources/builtin_scripts.h"
#include "resources/language_files.h"
#include "tests/platform/scripted_prompter.h"
#include "tests/platform/test_env.h"

namespace errview::testing {

// A 24-bit bitmap of one colour.
inline std::string SolidBitmap(int width, int height) {
  const size_t row = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  std::string file(54 + row * height, '\x60');
  auto* p = reinterpret_cast<uint8_t*>(file.data());
  p[0] = 'B', p[1] = 'M';
  platform::bytes::PutLE32(p + 10, 54);
  platform::bytes::PutLE32(p + 14, 40);
  platform::bytes::PutLE32(p + 18, static_cast<uint32_t>(width));
  platform::bytes::PutLE32(p + 22, static_cast<uint32_t>(height));
  platform::bytes::PutLE16(p + 26, 1);
  platform::bytes::PutLE16(p + 28, 24);
  platform::bytes::PutLE32(p + 30, 0);
  return file;
}

class ErrviewWindow : public ::testing::Test {
 protected:
  ErrviewWindow() {
    resources::SetAppResources(resources::LoadResources(resources::ErrviewScript(), std::nullopt));
    platform::ui::SetImageFolders({RESOURCE_IMAGES});
    platform::ui::UseVirtualTimers(true);
    inputs_ = {"U11", "0x0203", "Paper jam.", "Remove the paper.", "T9793Z", ListPath()};
  }
  ~ErrviewWindow() override {
    platform::ui::UseVirtualTimers(false);
    platform::ui::SetImageFolders({});
    resources::ResetAppResources();
  }

  std::string ListPath() const { return platform::paths::ToWindows(dir_.path() / "illust.csv"); }
  void WriteList(const std::string& text) { platform::testing::WriteAll(dir_.path() / "illust.csv", text); }
  void WriteImage(const std::string& name, int w, int h) { platform::testing::WriteAll(dir_.path() / name, SolidBitmap(w, h)); }
  std::string SettingsFile() const { return platform::paths::ToWindows(dir_.path() / "scUtil.ini"); }

  // Runs the window with the action inside its modal loop; the action ends it or the
  // framework does.
  void Run(const std::function<void(CerrviewDlg&)>& action, LanguageTag tag = LANG_ENGLISH) {
    platform::ui::ModalActions actions;
    actions.On<CerrviewDlg>([&](CerrviewDlg& dlg) { action(dlg); });
    CerrviewDlg dlg;
    dlg.SetSettingsFile(SettingsFile());
    dlg.SetLanguageTag(tag);
    dlg.SetInputs(inputs_);
    result_ = dlg.DoModal();
  }

  platform::testing::ScopedPrefix prefix_;
  platform::testing::TempDir dir_;
  platform::testing::ScriptedPrompter prompter_;
  DisplayInputs inputs_;
  platform::ui::INT_PTR result_ = 0;
};

}  // namespace errview::testing
