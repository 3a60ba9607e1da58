// Dialog data exchange and validation. DoDataExchange calls the DDX_ functions for
// each control and the DDV_ functions right after the DDX_ of the value they check.
// When saving, a value that does not parse or is out of range shows the framework's
// standard message (string table ids 0xF110.., with the English texts below when the
// resources lack them) through AfxMessageBox with MB_ICONEXCLAMATION, puts the focus
// on the control (edits get all their text selected) and ends the exchange:
// UpdateData returns false and the dialog stays open.
#pragma once
#include <cstdint>
#include <string>

#include "platform/ui/ui_types.h"

namespace platform::ui {

class CDialog;
class CWnd;

// String ids and English texts of the standard messages.
constexpr int AFX_IDP_PARSE_INT = 0xF110;
constexpr int AFX_IDP_PARSE_INT_RANGE = 0xF112;
constexpr int AFX_IDP_PARSE_STRING_SIZE = 0xF114;
constexpr int AFX_IDP_PARSE_RADIO_BUTTON = 0xF115;
constexpr int AFX_IDP_PARSE_BYTE = 0xF116;
constexpr int AFX_IDP_PARSE_UINT = 0xF117;
constexpr const char* kParseIntText = "Please enter an integer.";
constexpr const char* kParseIntRangeText = "Please enter an integer between %1 and %2.";
constexpr const char* kParseStringSizeText = "Please enter no more than %1 characters.";
constexpr const char* kParseRadioButtonText = "Please select a button.";
constexpr const char* kParseByteText = "Please enter an integer between 0 and 255.";
constexpr const char* kParseUintText = "Please enter a positive integer.";

// The standard message's text: the string of `id` from the program's resources, else
// the English text; %1 and %2 replaced by the arguments.
std::string StandardMessage(int id, const std::string& arg1 = {}, const std::string& arg2 = {});
// Replaces %1 .. %9 by the arguments (missing ones by nothing); other text stays.
std::string FormatStrings(const std::string& format, const std::string* args, int count);

// Thrown by Fail and caught by UpdateData; never let it leave DoDataExchange otherwise.
struct CUserException {};

class CDataExchange {
 public:
  CDataExchange(CDialog* dialog, bool save_and_validate) : m_pDlgWnd(dialog), m_bSaveAndValidate(save_and_validate) {}

  // The control the next DDV_ refers to.
  CWnd* PrepareCtrl(int id);
  CWnd* PrepareEditCtrl(int id);
  // Focus to the last prepared control, then throws CUserException.
  [[noreturn]] void Fail();

  CDialog* m_pDlgWnd;
  bool m_bSaveAndValidate;
  int m_idLastControl = 0;
  bool m_bEditLastControl = false;
};

// Text: decimal for the numbers, with spaces and tabs allowed around them.
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, unsigned& value);
void DDX_Text(CDataExchange* dx, int id, long& value);
void DDX_Text(CDataExchange* dx, int id, BYTE& value);
void DDX_Text(CDataExchange* dx, int id, std::string& value);
// Check state 0, 1 or 2.
void DDX_Check(CDataExchange* dx, int id, int& value);
void DDX_Check(CDataExchange* dx, int id, bool& value);
// The index of the checked button of the radio group starting at id; -1 when none.
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
void DDX_CBString(CDataExchange* dx, int id, std::string& value);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
// Attaches a member control object to the control.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

void DDV_MinMaxInt(CDataExchange* dx, int value, int min_value, int max_value);
void DDV_MinMaxLong(CDataExchange* dx, long value, long min_value, long max_value);
void DDV_MinMaxUInt(CDataExchange* dx, unsigned value, unsigned min_value, unsigned max_value);
void DDV_MinMaxDWord(CDataExchange* dx, DWORD value, DWORD min_value, DWORD max_value);
void DDV_MinMaxByte(CDataExchange* dx, BYTE value, BYTE min_value, BYTE max_value);
// Also limits the edit's text length when loading.
void DDV_MaxChars(CDataExchange* dx, const std::string& value, int max_chars);

}  // namespace platform::ui
