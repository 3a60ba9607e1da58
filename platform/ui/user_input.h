// What a user does to a dialog, for tests and automation. Each goes the way the real
// input goes (the control's own click, the keyboard filter, the context menu), and
// each refuses (returns false) what a user could not do: a hidden or disabled control,
// a read-only edit, an item that is not there.
#pragma once
#include <string>
#include <vector>

#include "platform/ui/dialog.h"

namespace platform::ui {

// Buttons, check boxes and radio buttons (toggled by their own rules), group box
// captions, statics with SS_NOTIFY.
bool Click(CWnd* control);
// Puts the focus on the control as a click into it does (edits, buttons, lists).
bool Focus(CWnd* control);
// Replaces an edit's text (or an editable combo's) as typing does.
bool Type(CWnd* control, const std::string& text);
// Sends the characters to the control as key presses, one by one, as a keyboard does.
bool TypeKeys(CWnd* control, const std::string& text);
// Picks an item of a combo or list box as the user does (CBN_SELCHANGE follows).
bool Select(CWnd* control, int index);
// One click on an up-down control's up (+1) or down (-1) arrow.
bool Spin(CWnd* control, int direction);
// VK_RETURN or VK_ESCAPE (or another key) pressed in the dialog, going to the control
// with the focus.
bool PressKey(CDialog& dialog, UINT vk);
// Closes the dialog by its window's close box.
bool CloseBox(CDialog& dialog);
// Right click on the dialog's background: the items of the context menu that stands
// in for the system menu (its texts, separators as "-").
std::vector<std::string> OpenContextMenu(CDialog& dialog);
// Chooses an item of the context menu that OpenContextMenu showed; false when it is
// not there or not enabled.
bool ChooseContextMenuItem(CDialog& dialog, UINT id);

}  // namespace platform::ui
