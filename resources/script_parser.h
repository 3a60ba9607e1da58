// Resource scripts: the program's texts and dialog templates as UTF-8 text, a subset
// of the Windows resource compiler's language (see FORMAT.md beside this file).
//
//   // comment to the end of the line; so is a line part starting with '#'
//   STRINGTABLE
//   BEGIN
//     3141, "User Utility"          // id, text; the comma may be left out
//     5117 "Line one.\r\nLine two."
//   END
//
//   161 DIALOG 0, 0, 186, 62        // id (number or name) DIALOG x, y, cx, cy
//   CAPTION "Select Scanner"
//   STYLE DS_MODALFRAME | WS_POPUP  // optional flags, joined by '|'
//   FONT 8, "DejaVu Sans"
//   BEGIN
//     LTEXT "Scanner:", IDC_STATIC, 7, 7, 40, 8
//     COMBOBOX 1098, 7, 18, 172, 60, CBS_DROPDOWNLIST | NOT WS_TABSTOP
//     DEFPUSHBUTTON "OK", IDOK, 75, 41, 50, 14
//     CONTROL "", 1050, "msctls_updown32", UDS_ARROWKEYS, 60, 18, 10, 14
//   END
//
//   128 ICON "scanutil.ico"
//   130 BITMAP "banner.bmp"
//
//   1 VERSIONINFO                   // at most one; FILEVERSION/PRODUCTVERSION a,b,c,d
//   FILEVERSION 1,0,0,1
//   BEGIN                           // nested BLOCK "name" BEGIN ... END and
//     BLOCK "VarFileInfo"           // VALUE "name", "text" or numbers, ...
//     BEGIN
//       VALUE "Translation", 0x409, 1200
//     END
//   END
//
// Controls: LTEXT RTEXT CTEXT PUSHBUTTON DEFPUSHBUTTON GROUPBOX CHECKBOX AUTOCHECKBOX
// RADIOBUTTON AUTORADIOBUTTON ICON take "text", id, x, y, cx, cy [, style];
// EDITTEXT COMBOBOX LISTBOX take id, x, y, cx, cy [, style]; CONTROL takes
// "text", id, "class", style, x, y, cx, cy. A control id is a number from -1 to 65535
// or one of IDC_STATIC (-1), IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO.
// An ICON control's text may also be a number (the icon's id).
//
// Strings: backslash escapes \n \r \t \" \\, and "" for one quote; a string ends on
// its own line. Keywords are case-insensitive; '{' and '}' stand for BEGIN and END.
// Numbers are decimal or 0x hexadecimal; string, dialog, icon and bitmap ids run from
// 0 to 65535 and may not repeat; coordinates from -32768 to 32767.
#pragma once
#include <optional>
#include <string_view>

#include "resources/resource_script.h"
#include "resources/script_error.h"

namespace resources {

struct ScriptParseResult {
  std::optional<ResourceScript> script;  // absent when the text is malformed
  ScriptError error;                     // line 0 and no reason when it parsed
};

// Any bytes are accepted: a malformed script yields the first error and no script.
ScriptParseResult ParseResourceScript(std::string_view text);

}  // namespace resources
