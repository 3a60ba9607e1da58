#include "platform/ui/data_exchange.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/message_box.h"
#include "platform/ui/detail/window.h"
#include "platform/ui/dialog.h"
#include "resources/app_resources.h"

namespace platform::ui {
namespace {

struct StandardText {
  int id;
  const char* text;
};

constexpr StandardText kStandardTexts[] = {
    {AFX_IDP_PARSE_INT, kParseIntText},
    {AFX_IDP_PARSE_INT_RANGE, kParseIntRangeText},
    {AFX_IDP_PARSE_STRING_SIZE, kParseStringSizeText},
    {AFX_IDP_PARSE_RADIO_BUTTON, kParseRadioButtonText},
    {AFX_IDP_PARSE_BYTE, kParseByteText},
    {AFX_IDP_PARSE_UINT, kParseUintText},
};

[[noreturn]] void FailWith(CDataExchange* dx, const std::string& text) {
  AfxMessageBox(text, MB_ICONEXCLAMATION);
  dx->Fail();
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A whole decimal number with blanks around it; false for anything else, and for a
// number outside [min, max] when reject_outside is set.
bool ParseDecimal(const std::string& text, bool allow_sign, long long min, long long max, long long& value) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (!allow_sign && i < text.size() && text[i] == '-') return false;
  size_t j = i;
  if (j < text.size() && (text[j] == '-' || text[j] == '+')) ++j;
  const size_t digits = j;
  while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
  if (j == digits) return false;
  size_t end = j;
  while (end < text.size() && IsBlank(text[end])) ++end;
  if (end != text.size()) return false;
  errno = 0;
  const long long parsed = std::strtoll(text.substr(i, j - i).c_str(), nullptr, 10);
  if (errno == ERANGE || parsed < min || parsed > max) return false;
  value = parsed;
  return true;
}

template <class T>
void ExchangeNumber(CDataExchange* dx, int id, T& value, bool is_signed, long long min, long long max, int message) {
  CWnd* control = dx->PrepareEditCtrl(id);
  if (!dx->m_bSaveAndValidate) {
    const std::string text = std::to_string(value);
    if (control->GetWindowText() != text) control->SetWindowText(text);
    return;
  }
  long long parsed = 0;
  if (!ParseDecimal(control->GetWindowText(), is_signed, min, max, parsed)) FailWith(dx, StandardMessage(message));
  value = static_cast<T>(parsed);
}

template <class T>
void CheckRange(CDataExchange* dx, T value, T min_value, T max_value) {
  if (!dx->m_bSaveAndValidate || (value >= min_value && value <= max_value)) return;
  FailWith(dx, StandardMessage(AFX_IDP_PARSE_INT_RANGE, std::to_string(min_value), std::to_string(max_value)));
}

detail::Control* ControlOf(CWnd* wnd) { return dynamic_cast<detail::Control*>(detail::Window::FromHandle(wnd->GetSafeHwnd())); }

}  // namespace

std::string FormatStrings(const std::string& format, const std::string* args, int count) {
  std::string out;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] >= '1' && format[i + 1] <= '9') {
      const int n = format[i + 1] - '1';
      if (n < count) out += args[n];
      ++i;
      continue;
    }
    out += format[i];
  }
  return out;
}

std::string StandardMessage(int id, const std::string& arg1, const std::string& arg2) {
  std::string format = resources::LoadString(id);
  if (format.empty())
    for (const StandardText& standard : kStandardTexts)
      if (standard.id == id) format = standard.text;
  const std::string args[] = {arg1, arg2};
  return FormatStrings(format, args, 2);
}

CWnd* CDataExchange::PrepareCtrl(int id) {
  m_idLastControl = id;
  m_bEditLastControl = false;
  return m_pDlgWnd->GetDlgItem(id);
}

CWnd* CDataExchange::PrepareEditCtrl(int id) {
  CWnd* control = PrepareCtrl(id);
  m_bEditLastControl = true;
  return control;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate && m_idLastControl != 0) {
    CWnd* control = m_pDlgWnd->GetDlgItem(m_idLastControl);
    control->SetFocus();
    detail::Control* inner = ControlOf(control);
    if (m_bEditLastControl && inner && inner->kind == detail::Kind::Edit) static_cast<CEdit*>(control)->SetSel(0, -1);
  }
  throw CUserException{};
}

void DDX_Text(CDataExchange* dx, int id, int& value) { ExchangeNumber(dx, id, value, true, INT_MIN, INT_MAX, AFX_IDP_PARSE_INT); }
void DDX_Text(CDataExchange* dx, int id, unsigned& value) { ExchangeNumber(dx, id, value, false, 0, UINT_MAX, AFX_IDP_PARSE_UINT); }
void DDX_Text(CDataExchange* dx, int id, long& value) { ExchangeNumber(dx, id, value, true, INT_MIN, INT_MAX, AFX_IDP_PARSE_INT); }

void DDX_Text(CDataExchange* dx, int id, BYTE& value) {
  unsigned wide = value;
  ExchangeNumber(dx, id, wide, false, 0, 255, AFX_IDP_PARSE_BYTE);
  value = static_cast<BYTE>(wide);
}

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
  CWnd* control = dx->PrepareEditCtrl(id);
  if (dx->m_bSaveAndValidate) {
    value = control->GetWindowText();
  } else if (control->GetWindowText() != value) {
    control->SetWindowText(value);
  }
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
  auto* button = static_cast<CButton*>(dx->PrepareCtrl(id));
  if (dx->m_bSaveAndValidate) {
    value = button->GetCheck();
  } else {
    button->SetCheck(value);
  }
}

void DDX_Check(CDataExchange* dx, int id, bool& value) {
  int check = value ? 1 : 0;
  DDX_Check(dx, id, check);
  value = check != 0;
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
  detail::Control* first = ControlOf(dx->PrepareCtrl(id));
  if (!first) return;
  auto& controls = first->owner.controls;
  if (dx->m_bSaveAndValidate) value = -1;
  int position = 0;
  for (size_t i = first->index; i < controls.size(); ++i) {
    detail::Control& control = *controls[i];
    if (i > first->index && (control.style & WS_GROUP)) break;
    if (control.kind != detail::Kind::RadioButton) continue;
    if (dx->m_bSaveAndValidate) {
      if (control.Check() == 1) value = position;
    } else {
      control.SetCheck(position == value ? 1 : 0);
    }
    ++position;
  }
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
  auto* combo = static_cast<CComboBox*>(dx->PrepareCtrl(id));
  if (dx->m_bSaveAndValidate) {
    index = combo->GetCurSel();
  } else {
    combo->SetCurSel(index);
  }
}

void DDX_CBString(CDataExchange* dx, int id, std::string& value) {
  auto* combo = static_cast<CComboBox*>(dx->PrepareCtrl(id));
  if (dx->m_bSaveAndValidate) {
    value = combo->GetWindowText();
    return;
  }
  const int found = combo->FindStringExact(-1, value);
  if (found != CB_ERR) {
    combo->SetCurSel(found);
  } else {
    combo->SetWindowText(value);
  }
}

void DDX_LBIndex(CDataExchange* dx, int id, int& index) {
  auto* list = static_cast<CListBox*>(dx->PrepareCtrl(id));
  if (dx->m_bSaveAndValidate) {
    index = list->GetCurSel();
  } else {
    list->SetCurSel(index);
  }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (control.GetSafeHwnd()) return;
  CWnd* item = dx->PrepareCtrl(id);
  detail::Control* inner = ControlOf(item);
  if (!inner) return;
  control.m_hWnd = item->GetSafeHwnd();
  inner->attached.push_back(&control);
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int min_value, int max_value) { CheckRange(dx, value, min_value, max_value); }
void DDV_MinMaxLong(CDataExchange* dx, long value, long min_value, long max_value) { CheckRange(dx, value, min_value, max_value); }
void DDV_MinMaxUInt(CDataExchange* dx, unsigned value, unsigned min_value, unsigned max_value) { CheckRange(dx, value, min_value, max_value); }
void DDV_MinMaxDWord(CDataExchange* dx, DWORD value, DWORD min_value, DWORD max_value) { CheckRange(dx, value, min_value, max_value); }

void DDV_MinMaxByte(CDataExchange* dx, BYTE value, BYTE min_value, BYTE max_value) {
  CheckRange<unsigned>(dx, value, min_value, max_value);
}

void DDV_MaxChars(CDataExchange* dx, const std::string& value, int max_chars) {
  if (!dx->m_bSaveAndValidate) {
    if (dx->m_idLastControl && dx->m_bEditLastControl)
      static_cast<CEdit*>(dx->m_pDlgWnd->GetDlgItem(dx->m_idLastControl))->SetLimitText(static_cast<UINT>(max_chars));
    return;
  }
  if (static_cast<int>(value.size()) > max_chars) FailWith(dx, StandardMessage(AFX_IDP_PARSE_STRING_SIZE, std::to_string(max_chars)));
}

}  // namespace platform::ui
