#include "platform/ui/window_dump.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <cstdio>

#include "platform/ui/detail/qt_text.h"
#include "platform/ui/detail/window.h"
#include "platform/ui/icons.h"

namespace platform::ui {
namespace {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string Rect(const CRect& r) {
  return "[" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " + std::to_string(r.bottom) + "]";
}

std::string Bool(bool b) { return b ? "true" : "false"; }

std::string ControlJson(const detail::Control& control) {
  using detail::Kind;
  std::string json = "{\"id\": " + std::to_string(control.id) + ", \"kind\": " + Quoted(detail::KindName(control.kind)) +
                     ", \"class\": " + Quoted(control.class_name) + ", \"text\": " + Quoted(control.Text()) +
                     ", \"visible\": " + Bool(!control.widget()->isHidden()) + ", \"enabled\": " + Bool(!(control.style & WS_DISABLED)) +
                     ", \"rect\": " + Rect(control.Placement());
  if (control.kind == Kind::CheckBox || control.kind == Kind::RadioButton) json += ", \"checked\": " + std::to_string(control.Check());
  if (control.kind == Kind::ComboBox || control.kind == Kind::ListBox) {
    json += ", \"items\": [";
    const auto items = control.Items();
    for (size_t i = 0; i < items.size(); ++i) json += (i ? ", " : "") + Quoted(items[i]);
    json += "], \"selection\": " + std::to_string(control.CurrentIndex());
  }
  if (control.kind == Kind::Spin)
    json += ", \"position\": " + std::to_string(control.SpinPos(nullptr)) + ", \"range\": [" + std::to_string(control.spin_lower) +
            ", " + std::to_string(control.spin_upper) + "]";
  if (control.kind == Kind::PushButton && control.id == (control.owner.default_id ? control.owner.default_id : -2)) json += ", \"default\": true";
  if (control.image) {
    const CSize size = GetImageSize(control.image);
    json += ", \"image\": [" + std::to_string(size.cx) + ", " + std::to_string(size.cy) + "]";
  }
  if (control.text_color) {
    char color[8];
    std::snprintf(color, sizeof color, "#%02x%02x%02x", GetRValue(*control.text_color), GetGValue(*control.text_color), GetBValue(*control.text_color));
    json += ", \"textColor\": " + Quoted(color);
  }
  if (control.font)
    json += ", \"font\": [" + Quoted(control.font->lfFaceName) + ", " + std::to_string(control.font->lfHeight) + "]";
  if (!control.tooltip.empty()) json += ", \"tooltip\": " + Quoted(control.tooltip);
  return json + "}";
}

std::string WindowJson(CDialog& dialog) {
  auto* frame = dynamic_cast<detail::DialogFrame*>(detail::Window::FromHandle(dialog.GetSafeHwnd()));
  if (!frame) return "null";
  CWnd* focus = CWnd::GetFocus();
  const bool focus_here = focus && focus->GetParent() == &dialog;
  std::string json = "{\"template\": " + Quoted(ResourceIdText(dialog.template_id())) + ", \"title\": " + Quoted(frame->Text()) +
                     ", \"window\": " + Rect(frame->Placement()) + ", \"client\": " + Rect(CRect(CPoint(), frame->ClientSize())) +
                     ", \"focus\": " + (focus_here ? std::to_string(focus->GetDlgCtrlID()) : "null") + ", \"controls\": [";
  for (size_t i = 0; i < frame->controls.size(); ++i) json += std::string(i ? ",\n    " : "\n    ") + ControlJson(*frame->controls[i]);
  return json + "]}";
}

}  // namespace

std::string JsonString(const std::string& text) { return Quoted(text); }

std::string DumpWindowsJson(const std::string& extra_members) {
  std::string json = "{\"windows\": [";
  const auto dialogs = OpenDialogs();
  for (size_t i = 0; i < dialogs.size(); ++i) json += std::string(i ? ",\n  " : "\n  ") + WindowJson(*dialogs[i]);
  json += "]";
  if (!extra_members.empty()) json += ",\n " + extra_members;
  return json + "}\n";
}

bool SaveScreenshot(CDialog& dialog, const std::string& png_path) {
  auto* frame = dynamic_cast<detail::DialogFrame*>(detail::Window::FromHandle(dialog.GetSafeHwnd()));
  if (!frame) return false;
  const CRect window = frame->Placement();
  QPixmap picture(window.Width(), window.Height());
  picture.fill(QColor(0x5a, 0x7e, 0xb0));
  QPainter painter(&picture);
  QFont caption = frame->widget()->font();
  caption.setBold(true);
  painter.setFont(caption);
  painter.setPen(Qt::white);
  painter.drawText(QRect(kFrameBorder + 4, kFrameBorder, window.Width() - 2 * kFrameBorder - 8, kCaptionHeight),
                   Qt::AlignVCenter | Qt::AlignLeft, frame->widget()->windowTitle());
  painter.drawPixmap(kFrameBorder, kFrameBorder + kCaptionHeight, frame->widget()->grab());
  painter.end();
  return picture.save(detail::ToQt(png_path), "PNG");
}

}  // namespace platform::ui
