#include "platform/ui/caption_fit.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>
#include <climits>

#include "platform/format.h"
#include "platform/ui/application.h"
#include "platform/ui/detail/qt_text.h"
#include "platform/ui/detail/styles.h"
#include "platform/ui/geometry.h"
#include "platform/ui/ui_types.h"

namespace platform::ui {
namespace {

using detail::Kind;

// Room a push button's frame and focus rectangle take on each side.
constexpr int kButtonTextMargin = 3;
// Room a group box caption takes beyond its text, as the frame draws it.
constexpr int kGroupCaptionExtra = 16;

std::optional<std::string> Overflow(int needed, int have, const char* what) {
  if (needed <= have) return std::nullopt;
  return platform::Format("%s %d px in %d px", what, needed, have);
}

}  // namespace

std::optional<std::string> CaptionOverflow(const resources::ControlTemplate& control, std::string_view text) {
  if (text.empty()) return std::nullopt;
  EnsureApplication();
  const DWORD style = detail::ControlStyle(control);
  const Kind kind = detail::ControlKindOf(control, style);
  const CRect rect = DialogRectToPixels(control.x, control.y, control.cx, control.cy);
  const QFontMetrics metrics(QApplication::font());
  const std::string shown = detail::LineFeeds(std::string(text));
  const QString one_line = detail::ToQt(detail::StripMnemonics(shown));
  QStyle* qstyle = QApplication::style();
  switch (kind) {
    case Kind::PushButton:
      return Overflow(metrics.horizontalAdvance(one_line) + 2 * kButtonTextMargin, rect.Width(), "text");
    case Kind::CheckBox:
      return Overflow(metrics.horizontalAdvance(one_line) + qstyle->pixelMetric(QStyle::PM_IndicatorWidth) +
                          qstyle->pixelMetric(QStyle::PM_CheckBoxLabelSpacing),
                      rect.Width(), "text and box");
    case Kind::RadioButton:
      return Overflow(metrics.horizontalAdvance(one_line) + qstyle->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                          qstyle->pixelMetric(QStyle::PM_RadioButtonLabelSpacing),
                      rect.Width(), "text and button");
    case Kind::GroupBox:
      return Overflow(metrics.horizontalAdvance(one_line) + kGroupCaptionExtra, rect.Width(), "caption");
    case Kind::Static: {
      const QString label = detail::ToQt((style & SS_NOPREFIX) ? shown : detail::StripMnemonics(shown));
      const bool wraps = (style & SS_TYPEMASK) != SS_LEFTNOWORDWRAP;
      const QRect drawn = metrics.boundingRect(QRect(0, 0, rect.Width(), INT_MAX / 2), wraps ? Qt::TextWordWrap : 0, label);
      if (auto wide = Overflow(drawn.width(), rect.Width(), "text")) return wide;
      return Overflow(drawn.height(), rect.Height(), "text height");
    }
    default:
      return std::nullopt;
  }
}

}  // namespace platform::ui
