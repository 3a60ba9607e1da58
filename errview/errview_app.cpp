#include "errview/errview_app.h"

#include "errview/command_line_info.h"
#include "errview/control_ids.h"
#include "errview/errview_dlg.h"
#include "platform/desktop.h"
#include "platform/handles.h"
#include "platform/language.h"
#include "platform/message_box.h"
#include "platform/named.h"
#include "platform/paths.h"
#include "resources/app_resources.h"
#include "resources/builtin_scripts.h"
#include "resources/language_files.h"

namespace errview {
namespace {

constexpr const char* kInstanceMutex = "QMXUtilityErrorDisplayCheckMutex";
constexpr const char* kLanguagePrefix = "errview";

}  // namespace

bool CerrviewApp::InitInstance(int argc, const char* const* argv) {
  CUCommandLineInfo command_line;
  platform::ParseCommandLine(argc, argv, command_line);
  inputs_ = command_line.inputs;

  resources::SetAppResources(
      resources::LoadProgramResources(resources::ErrviewScript(), platform::paths::ProgramFolder(), kLanguagePrefix));
  language_ = SelectLanguageTag(platform::GetUserDefaultLangID(), platform::GetSystemDefaultLangID());
  platform::SetAppName(resources::LoadString(id::kAppName));

  if (!CheckSingleInstance()) return false;

  CerrviewDlg window;
  window.SetLanguageTag(language_);
  window.SetInputs(inputs_);
  window.DoModal();
  return false;
}

int CerrviewApp::ExitInstance() {
  if (instance_mutex_) platform::CloseHandle(instance_mutex_);
  instance_mutex_ = nullptr;
  return 0;
}

bool CerrviewApp::CheckSingleInstance() {
  platform::HANDLE mutex = platform::CreateMutex(false, kInstanceMutex);
  if (!mutex) return false;
  if (platform::GetLastError() == platform::ERROR_ALREADY_EXISTS) {
    platform::CloseHandle(mutex);
    if (platform::HWND window = platform::FindWindowWithProperty(kWindowProperty))
      platform::SetForegroundWindow(platform::GetLastActivePopup(window));
    return false;
  }
  instance_mutex_ = mutex;
  return true;
}

}  // namespace errview
