#include "platform/ui/wait_cursor.h"

#include <QApplication>
#include <QCursor>

namespace platform::ui {
namespace {
int g_depth = 0;
}

void BeginWaitCursor() {
  ++g_depth;
  if (QApplication::instance()) QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void EndWaitCursor() {
  if (g_depth == 0) return;
  --g_depth;
  if (QApplication::instance() && QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

int WaitCursorDepth() { return g_depth; }

void CWaitCursor::Restore() {
  if (QApplication::instance() && !QApplication::overrideCursor()) QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

}  // namespace platform::ui
