#include "platform/ui/application.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStyleFactory>
#include <cstdlib>
#include <string>

#include "platform/ui/detail/hooks.h"
#include "platform/ui/detail/runtime.h"
#include "platform/ui/geometry.h"

namespace platform::ui {
namespace {

constexpr const char* kFontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf",
};

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

void SetUp(QApplication& app) {
  app.setQuitOnLastWindowClosed(false);
  app.setStyle(QStyleFactory::create("Fusion"));
  QString family = "DejaVu Sans";
  for (const char* file : kFontFiles) {
    const int id = QFontDatabase::addApplicationFont(file);
    if (id >= 0 && !QFontDatabase::applicationFontFamilies(id).isEmpty())
      family = QFontDatabase::applicationFontFamilies(id).front();
  }
  QFont font(family);
  font.setPixelSize(kFontPixelSize);
  // The condensed cut: its widths are close to the 8-point dialog font the templates
  // were laid out for, so captions fit their buttons.
  font.setStretch(QFont::SemiCondensed);
  font.setHintingPreference(QFont::PreferFullHinting);
  font.setStyleStrategy(QFont::PreferAntialias);
  app.setFont(font);
  detail::InstallEventHooks(app);
}

}  // namespace

void InitApplication(const char* program_name) {
  if (QApplication::instance()) return;
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if ((!platform || !*platform) && !HasDisplay()) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Qt keeps references to both for the application's life; only the name, so that
  // nothing on the program's command line reaches Qt.
  static std::string s_name = program_name && *program_name ? program_name : "scanutil";
  static char* s_argv[] = {s_name.data(), nullptr};
  static int s_argc = 1;
  auto* app = new QApplication(s_argc, s_argv);  // lives as long as the process
  SetUp(*app);
}

void EnsureApplication() { InitApplication("scanutil"); }

bool IsHeadless() {
  EnsureApplication();
  return QGuiApplication::platformName() == "offscreen";
}

void ProcessPendingEvents() {
  if (QApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace platform::ui
