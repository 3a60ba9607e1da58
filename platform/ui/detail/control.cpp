#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstdlib>

#include "platform/ui/detail/image.h"
#include "platform/ui/detail/qt_text.h"
#include "platform/ui/detail/styles.h"
#include "platform/ui/detail/window.h"
#include "platform/ui/icons.h"

namespace platform::ui::detail {
namespace {

class CheckWidget : public QCheckBox {
 public:
  CheckWidget(QWidget* parent, bool automatic) : QCheckBox(parent), automatic_(automatic) {}

 protected:
  void nextCheckState() override {
    if (automatic_) QCheckBox::nextCheckState();
  }

 private:
  bool automatic_;
};

class RadioWidget : public QRadioButton {
 public:
  RadioWidget(QWidget* parent, bool automatic) : QRadioButton(parent), automatic_(automatic) { setAutoExclusive(false); }

 protected:
  void nextCheckState() override {
    if (automatic_) setChecked(true);
  }

 private:
  bool automatic_;
};

// Two arrow buttons, stacked or side by side (UDS_HORZ).
class SpinWidget : public QWidget {
 public:
  SpinWidget(QWidget* parent, bool horizontal) : QWidget(parent), horizontal_(horizontal) {
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setArrowType(horizontal ? Qt::RightArrow : Qt::UpArrow);
    down_->setArrowType(horizontal ? Qt::LeftArrow : Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
      b->setFocusPolicy(Qt::NoFocus);
      b->setAutoRepeat(true);
    }
  }
  QToolButton* up() const { return up_; }
  QToolButton* down() const { return down_; }

 protected:
  void resizeEvent(QResizeEvent*) override {
    const int w = width(), h = height();
    if (horizontal_) {
      down_->setGeometry(0, 0, w / 2, h);
      up_->setGeometry(w / 2, 0, w - w / 2, h);
    } else {
      up_->setGeometry(0, 0, w, h / 2);
      down_->setGeometry(0, h / 2, w, h - h / 2);
    }
  }

 private:
  bool horizontal_;
  QToolButton* up_;
  QToolButton* down_;
};

Qt::Alignment TextAlignment(DWORD style, Kind kind) {
  if (kind == Kind::Edit) {
    if (style & ES_RIGHT) return Qt::AlignRight | Qt::AlignVCenter;
    if (style & ES_CENTER) return Qt::AlignHCenter | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
  }
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: return Qt::AlignHCenter | Qt::AlignTop;
    case SS_RIGHT: return Qt::AlignRight | Qt::AlignTop;
    default: return Qt::AlignLeft | Qt::AlignTop;
  }
}

std::string Grouped(int value) {
  const std::string digits = std::to_string(value < 0 ? -static_cast<long long>(value) : value);
  std::string out = value < 0 ? "-" : "";
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

bool ParseBuddyInt(const std::string& text, int& value) {
  std::string digits;
  for (char c : text)
    if (c != ',' && c != ' ') digits += c;
  if (digits.empty()) return false;
  char* end = nullptr;
  const long parsed = std::strtol(digits.c_str(), &end, 10);
  if (*end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX) return false;
  value = static_cast<int>(parsed);
  return true;
}

std::unique_ptr<CWnd> MakeHandleObject(Kind kind) {
  switch (kind) {
    case Kind::PushButton: case Kind::CheckBox: case Kind::RadioButton: case Kind::GroupBox: return std::make_unique<CButton>();
    case Kind::Edit: return std::make_unique<CEdit>();
    case Kind::Static: case Kind::Icon: case Kind::Picture: case Kind::Frame: return std::make_unique<CStatic>();
    case Kind::ComboBox: return std::make_unique<CComboBox>();
    case Kind::ListBox: return std::make_unique<CListBox>();
    case Kind::Spin: return std::make_unique<CSpinButtonCtrl>();
    case Kind::Custom: break;
  }
  return std::make_unique<CWnd>();
}

}  // namespace

Control::Control(DialogFrame& owner_frame, const resources::ControlTemplate& control, size_t position)
    : owner(owner_frame),
      index(position),
      id(control.id),
      kind(ControlKindOf(control, ControlStyle(control))),
      class_name(control.class_name) {
  style = ControlStyle(control);
  handle_object = MakeHandleObject(kind);
  handle_object->m_hWnd = handle();
  object = handle_object.get();
  Build(control);
}

Control::~Control() {
  for (CWnd* member : attached) member->m_hWnd = nullptr;
  if (handle_object) handle_object->m_hWnd = nullptr;
}

void Control::Build(const resources::ControlTemplate& control) {
  QWidget* parent = owner.widget();
  const DWORD type = style & BS_TYPEMASK;
  switch (kind) {
    case Kind::Static:
    case Kind::Icon:
    case Kind::Picture: {
      auto* label = new QLabel(parent);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap((style & SS_TYPEMASK) != SS_LEFTNOWORDWRAP);
      label->setAlignment(kind == Kind::Static ? TextAlignment(style, kind) : Qt::AlignLeft | Qt::AlignTop);
      if (style & SS_SUNKEN) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      widget_ = label;
      break;
    }
    case Kind::Frame: {
      auto* frame = new QFrame(parent);
      const DWORD t = style & SS_TYPEMASK;
      frame->setFrameStyle(t == SS_ETCHEDHORZ ? QFrame::HLine | QFrame::Sunken
                           : t == SS_ETCHEDVERT ? QFrame::VLine | QFrame::Sunken
                                                : QFrame::Box | QFrame::Sunken);
      widget_ = frame;
      break;
    }
    case Kind::PushButton: {
      auto* button = new QPushButton(parent);
      button->setAutoDefault(false);
      button->setDefault(type == BS_DEFPUSHBUTTON);
      widget_ = button;
      break;
    }
    case Kind::CheckBox: {
      auto* check = new CheckWidget(parent, type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE);
      check->setTristate(type == BS_3STATE || type == BS_AUTO3STATE);
      widget_ = check;
      break;
    }
    case Kind::RadioButton: widget_ = new RadioWidget(parent, type == BS_AUTORADIOBUTTON); break;
    case Kind::GroupBox: {
      auto* group = new QGroupBox(parent);
      group->setAttribute(Qt::WA_TransparentForMouseEvents);
      group->setFocusPolicy(Qt::NoFocus);
      widget_ = group;
      break;
    }
    case Kind::Edit: {
      if (style & ES_MULTILINE) {
        auto* edit = new QPlainTextEdit(parent);
        edit->setTabChangesFocus(true);
        edit->setLineWrapMode((style & ES_AUTOHSCROLL) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
        edit->setVerticalScrollBarPolicy((style & WS_VSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy((style & WS_HSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this] {
          if (!programmatic_) OnUserEdit();
        });
        widget_ = edit;
      } else {
        auto* edit = new QLineEdit(parent);
        edit->setAlignment(TextAlignment(style, kind));
        if (style & ES_PASSWORD) edit->setEchoMode(QLineEdit::Password);
        if (style & ES_NUMBER) edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
        if (!(style & WS_BORDER)) edit->setFrame(false);
        QObject::connect(edit, &QLineEdit::textEdited, edit, [this] { OnUserEdit(); });
        widget_ = edit;
      }
      break;
    }
    case Kind::ComboBox: {
      auto* combo = new QComboBox(parent);
      combo->setEditable((style & 0x3) != CBS_DROPDOWNLIST);
      combo->setInsertPolicy(QComboBox::NoInsert);
      QObject::connect(combo, &QComboBox::activated, combo, [this] { Notify(CBN_SELCHANGE); });
      if (combo->isEditable())
        QObject::connect(combo, &QComboBox::editTextChanged, combo, [this] {
          if (!programmatic_) Notify(CBN_EDITCHANGE);
        });
      widget_ = combo;
      break;
    }
    case Kind::ListBox: {
      auto* list = new QListWidget(parent);
      QObject::connect(list, &QListWidget::currentRowChanged, list, [this] {
        if (!programmatic_ && (style & LBS_NOTIFY)) Notify(LBN_SELCHANGE);
      });
      widget_ = list;
      break;
    }
    case Kind::Spin: {
      auto* spin = new SpinWidget(parent, style & UDS_HORZ);
      QObject::connect(spin->up(), &QToolButton::clicked, spin, [this] { UserSpin(+1); });
      QObject::connect(spin->down(), &QToolButton::clicked, spin, [this] { UserSpin(-1); });
      widget_ = spin;
      break;
    }
    case Kind::Custom: {
      auto* frame = new QFrame(parent);
      frame->setFrameStyle(QFrame::Box | QFrame::Plain);
      widget_ = frame;
      break;
    }
  }
  if (auto* button = qobject_cast<QAbstractButton*>(widget_)) {
    QObject::connect(button, &QAbstractButton::clicked, button, [this] {
      if (kind == Kind::RadioButton && (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON) UpdateAutoRadioGroup();
      Notify(BN_CLICKED);
    });
  }
  const bool focusable = kind == Kind::PushButton || kind == Kind::CheckBox || kind == Kind::RadioButton ||
                         kind == Kind::Edit || kind == Kind::ComboBox || kind == Kind::ListBox;
  widget_->setFocusPolicy(!focusable ? Qt::NoFocus : (style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
  Tag(widget_);
  text_ = control.text;
  ShowText();
  if (kind == Kind::Icon || kind == Kind::Picture) {
    // An ICON's text names the icon by number or name.
    const std::string& name = control.text;
    const bool numeric = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!name.empty()) {
      const resources::ResourceId image_id = numeric ? resources::ResourceId(std::atoi(name.c_str())) : resources::ResourceId(name);
      SetImage(kind == Kind::Icon ? LoadIcon(image_id) : LoadBitmap(image_id));
    }
    text_.clear();
  }
  const CRect rect = DialogRectToPixels(control.x, control.y, control.cx, control.cy);
  if (kind == Kind::Icon) {
    Place(CRect(rect.left, rect.top, rect.left + kIconSize, rect.top + kIconSize));
  } else {
    Place(rect);
  }
  widget_->setVisible(style & WS_VISIBLE);
  widget_->setEnabled(!(style & WS_DISABLED));
  if (kind == Kind::Edit && (style & ES_READONLY)) StyleChanged(style & ~ES_READONLY);
}

void Control::ShowText() {
  programmatic_ = true;
  if (auto* label = qobject_cast<QLabel*>(widget_)) {
    if (kind == Kind::Static)
      label->setText(ToQt((style & SS_NOPREFIX) ? LineFeeds(text_) : StripMnemonics(LineFeeds(text_))));
  } else if (auto* group = qobject_cast<QGroupBox*>(widget_)) {
    group->setTitle(ToQt(text_));
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget_)) {
    button->setText(image && kind == Kind::PushButton ? QString() : ToQt(LineFeeds(text_)));
  } else if (auto* line = qobject_cast<QLineEdit*>(widget_)) {
    line->setText(ToQt(text_));
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget_)) {
    if (in_user_edit_) {
      // A handler rewriting the text while the edit is still taking a key: the
      // document is replaced once the edit is done with it.
      QTimer::singleShot(0, plain, [this] { ShowText(); });
    } else {
      plain->setPlainText(ToQt(LineFeeds(text_)));
    }
  } else if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
    if (combo->isEditable()) combo->setEditText(ToQt(text_));
  }
  programmatic_ = false;
}

std::string Control::Text() const {
  if (auto* combo = qobject_cast<QComboBox*>(widget_)) return FromQt(combo->currentText());
  if (auto* list = qobject_cast<QListWidget*>(widget_)) return list->currentItem() ? FromQt(list->currentItem()->text()) : std::string();
  return text_;
}

void Control::SetText(const std::string& text) {
  text_ = text;
  ShowText();
  // A single-line edit reports every change of its text, a multi-line one only
  // the user's.
  if (kind == Kind::Edit && !IsMultiLine()) {
    Notify(EN_UPDATE);
    Notify(EN_CHANGE);
  }
}

void Control::OnUserEdit() {
  if (auto* line = qobject_cast<QLineEdit*>(widget_)) text_ = FromQt(line->text());
  if (auto* plain = qobject_cast<QPlainTextEdit*>(widget_)) text_ = CrLf(FromQt(plain->toPlainText()));
  in_user_edit_ = true;
  Notify(EN_UPDATE);
  Notify(EN_CHANGE);
  in_user_edit_ = false;
}

void Control::Notify(WORD code) { owner.Command(id, code, handle()); }

CRect Control::Placement() const {
  const QRect g = widget_->geometry();
  return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

void Control::Place(const CRect& rect) {
  int height = std::max(0, rect.Height());
  if (kind == Kind::ComboBox) {
    dropped_height = height;
    height = std::min(height, kComboBoxHeight);
  }
  widget_->setGeometry(rect.left, rect.top, std::max(0, rect.Width()), height);
}

CPoint Control::ClientOrigin() const {
  const CPoint dialog = owner.ClientOrigin();
  const QRect g = widget_->geometry();
  return {dialog.x + g.left(), dialog.y + g.top()};
}

CSize Control::ClientSize() const { return {widget_->width(), widget_->height()}; }

void Control::StyleChanged(DWORD old_style) {
  const DWORD changed = old_style ^ style;
  if (changed & WS_VISIBLE) widget_->setVisible(style & WS_VISIBLE);
  if (changed & WS_DISABLED) widget_->setEnabled(!(style & WS_DISABLED));
  if (changed & ES_READONLY && kind == Kind::Edit) {
    const bool read_only = style & ES_READONLY;
    if (auto* line = qobject_cast<QLineEdit*>(widget_)) line->setReadOnly(read_only);
    if (auto* plain = qobject_cast<QPlainTextEdit*>(widget_)) plain->setReadOnly(read_only);
  }
}

bool Control::IsReadOnly() const { return kind == Kind::Edit && (style & ES_READONLY); }

bool Control::UserClick() {
  if (!widget_->isVisible() || !widget_->isEnabled()) return false;
  if (auto* button = qobject_cast<QAbstractButton*>(widget_)) {
    button->click();
    return true;
  }
  if (kind == Kind::GroupBox) {
    Notify(BN_CLICKED);
    return true;
  }
  if ((kind == Kind::Static || kind == Kind::Icon || kind == Kind::Picture) && (style & SS_NOTIFY)) {
    Notify(STN_CLICKED);
    return true;
  }
  return false;
}

bool Control::UserType(const std::string& text) {
  if (!widget_->isVisible() || !widget_->isEnabled()) return false;
  if (kind == Kind::Edit) {
    if (IsReadOnly()) return false;
    text_ = text;
    ShowText();
    Notify(EN_UPDATE);
    Notify(EN_CHANGE);
    return true;
  }
  if (auto* combo = qobject_cast<QComboBox*>(widget_); combo && combo->isEditable()) {
    text_ = text;
    ShowText();
    Notify(CBN_EDITCHANGE);
    return true;
  }
  return false;
}

bool Control::UserSelect(int position) {
  if (!widget_->isVisible() || !widget_->isEnabled()) return false;
  if (position < 0 || position >= ItemCount()) return false;
  SetCurrentIndex(position);
  if (kind == Kind::ComboBox) Notify(CBN_SELCHANGE);
  if (kind == Kind::ListBox && (style & LBS_NOTIFY)) Notify(LBN_SELCHANGE);
  return kind == Kind::ComboBox || kind == Kind::ListBox;
}

bool Control::UserSpin(int direction) {
  if (kind != Kind::Spin || !widget_->isVisible() || !widget_->isEnabled()) return false;
  bool error = false;
  NMUPDOWN change;
  change.hdr = {handle(), static_cast<UINT_PTR>(static_cast<WORD>(id)), UDN_DELTAPOS};
  change.iPos = SpinPos(&error);
  change.iDelta = spin_lower <= spin_upper ? direction : -direction;
  if (owner.Notify(change.hdr) != 0) return true;
  const int low = std::min(spin_lower, spin_upper), high = std::max(spin_lower, spin_upper);
  int next = spin_pos + change.iDelta;
  if (next < low) next = (style & UDS_WRAP) ? high : low;
  if (next > high) next = (style & UDS_WRAP) ? low : high;
  SetSpinPos(next);
  return true;
}

int Control::Check() const {
  if (auto* check = qobject_cast<QCheckBox*>(widget_)) {
    switch (check->checkState()) {
      case Qt::Checked: return 1;
      case Qt::PartiallyChecked: return 2;
      default: return 0;
    }
  }
  if (auto* radio = qobject_cast<QRadioButton*>(widget_)) return radio->isChecked() ? 1 : 0;
  return 0;
}

void Control::SetCheck(int check) {
  if (auto* box = qobject_cast<QCheckBox*>(widget_)) {
    box->setCheckState(check == 1 ? Qt::Checked : check == 2 && box->isTristate() ? Qt::PartiallyChecked : Qt::Unchecked);
  }
  if (auto* radio = qobject_cast<QRadioButton*>(widget_)) radio->setChecked(check == 1);
}

void Control::UpdateAutoRadioGroup() {
  // The group runs from the last control with WS_GROUP up to the next one.
  size_t first = index;
  while (first > 0 && !(owner.controls[first]->style & WS_GROUP)) --first;
  for (size_t i = first; i < owner.controls.size(); ++i) {
    Control& other = *owner.controls[i];
    if (i > first && (other.style & WS_GROUP)) break;
    if (&other != this && other.kind == Kind::RadioButton && (other.style & BS_TYPEMASK) == BS_AUTORADIOBUTTON) other.SetCheck(0);
  }
}

int Control::AddItem(const std::string& text) {
  const bool sorted = (kind == Kind::ComboBox && (style & CBS_SORT)) || (kind == Kind::ListBox && (style & LBS_SORT));
  int position = ItemCount();
  if (sorted) {
    position = 0;
    while (position < ItemCount() && QString::compare(ToQt(ItemText(position)), ToQt(text), Qt::CaseInsensitive) <= 0) ++position;
  }
  return InsertItem(position, text);
}

int Control::InsertItem(int position, const std::string& text) {
  if (position < 0 || position > ItemCount()) position = ItemCount();
  programmatic_ = true;
  if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
    const int current = combo->currentIndex();
    combo->insertItem(position, ToQt(text));
    // Adding an item never selects it.
    combo->setCurrentIndex(current < 0 ? -1 : current >= position ? current + 1 : current);
  } else if (auto* list = qobject_cast<QListWidget*>(widget_)) {
    list->insertItem(position, ToQt(text));
  } else {
    programmatic_ = false;
    return CB_ERR;
  }
  if (kind == Kind::ComboBox && qobject_cast<QComboBox*>(widget_)->isEditable()) ShowText();
  programmatic_ = false;
  item_data.insert(item_data.begin() + position, 0);
  return position;
}

int Control::DeleteItem(int position) {
  if (position < 0 || position >= ItemCount()) return CB_ERR;
  programmatic_ = true;
  if (auto* combo = qobject_cast<QComboBox*>(widget_)) combo->removeItem(position);
  if (auto* list = qobject_cast<QListWidget*>(widget_)) delete list->takeItem(position);
  programmatic_ = false;
  item_data.erase(item_data.begin() + position);
  return ItemCount();
}

void Control::ClearItems() {
  programmatic_ = true;
  if (auto* combo = qobject_cast<QComboBox*>(widget_)) combo->clear();
  if (auto* list = qobject_cast<QListWidget*>(widget_)) list->clear();
  programmatic_ = false;
  item_data.clear();
}

int Control::ItemCount() const {
  if (auto* combo = qobject_cast<QComboBox*>(widget_)) return combo->count();
  if (auto* list = qobject_cast<QListWidget*>(widget_)) return list->count();
  return 0;
}

int Control::CurrentIndex() const {
  if (auto* combo = qobject_cast<QComboBox*>(widget_)) return combo->currentIndex();
  if (auto* list = qobject_cast<QListWidget*>(widget_)) return list->currentRow();
  return CB_ERR;
}

int Control::SetCurrentIndex(int position) {
  const bool valid = position >= 0 && position < ItemCount();
  programmatic_ = true;
  if (auto* combo = qobject_cast<QComboBox*>(widget_)) combo->setCurrentIndex(valid ? position : -1);
  if (auto* list = qobject_cast<QListWidget*>(widget_)) list->setCurrentRow(valid ? position : -1);
  programmatic_ = false;
  return valid ? position : CB_ERR;
}

std::string Control::ItemText(int position) const {
  if (position < 0 || position >= ItemCount()) return {};
  if (auto* combo = qobject_cast<QComboBox*>(widget_)) return FromQt(combo->itemText(position));
  if (auto* list = qobject_cast<QListWidget*>(widget_)) return FromQt(list->item(position)->text());
  return {};
}

std::vector<std::string> Control::Items() const {
  std::vector<std::string> items;
  for (int i = 0; i < ItemCount(); ++i) items.push_back(ItemText(i));
  return items;
}

int Control::SpinPos(bool* error) const {
  if (error) *error = false;
  int value = spin_pos;
  if ((style & UDS_SETBUDDYINT) && buddy) {
    if (!ParseBuddyInt(buddy->Text(), value)) {
      if (error) *error = true;
      return spin_pos;
    }
    const_cast<Control*>(this)->spin_pos = value;
  }
  return value;
}

int Control::SetSpinPos(int pos) {
  const int previous = spin_pos;
  spin_pos = std::clamp(pos, std::min(spin_lower, spin_upper), std::max(spin_lower, spin_upper));
  WriteBuddyInt();
  return previous;
}

void Control::WriteBuddyInt() {
  if (!(style & UDS_SETBUDDYINT) || !buddy) return;
  buddy->SetText((style & UDS_NOTHOUSANDS) ? std::to_string(spin_pos) : Grouped(spin_pos));
}

void Control::AlignToBuddy() {
  if (!buddy || !(style & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT))) return;
  CRect rect = buddy->Placement();
  const int overlap = (buddy->kind == Kind::Edit && (buddy->style & WS_BORDER)) ? kSpinBuddyOverlap : 0;
  int x = 0, width = kSpinAlignedWidth;
  if (style & UDS_ALIGNLEFT) {
    x = rect.left;
    rect.left += kSpinAlignedWidth;
    width += overlap;
  } else {
    rect.right -= kSpinAlignedWidth;
    x = rect.right - overlap;
  }
  buddy->Place(rect);
  Place(CRect(x, rect.top, x + width, rect.bottom));
}

void Control::SetImage(const Image* new_image) {
  image = new_image;
  if (auto* label = qobject_cast<QLabel*>(widget_)) {
    if (image) {
      label->setPixmap(image->pixmap);
    } else {
      label->setPixmap(QPixmap());
    }
  }
  if (auto* button = qobject_cast<QPushButton*>(widget_)) {
    // An icon button shows its icon in place of its caption.
    button->setIcon(image ? QIcon(image->pixmap) : QIcon());
    if (image) button->setIconSize(image->pixmap.size());
    button->setText(image ? QString() : ToQt(LineFeeds(text_)));
  }
}

void Control::SetLimit(int chars) {
  if (auto* line = qobject_cast<QLineEdit*>(widget_)) line->setMaxLength(chars > 0 ? chars : 32767);
}

}  // namespace platform::ui::detail
