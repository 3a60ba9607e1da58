// Menus as the dialogs use them: the system menu of a dialog. The desktop has no
// system menu, so its items are offered in the dialog's context menu (right click on
// the dialog's background); choosing one sends WM_SYSCOMMAND with the item's id.
#pragma once
#include <string>
#include <vector>

#include "platform/ui/ui_types.h"

namespace platform::ui {

struct MenuItem {
  UINT flags = MF_STRING;  // MF_SEPARATOR, MF_GRAYED, MF_DISABLED
  UINT id = 0;
  std::string text;
};

class CMenu {
 public:
  bool AppendMenu(UINT flags, UINT_PTR id = 0, const std::string& text = {});
  // The previous state (MF_ENABLED, MF_GRAYED, MF_DISABLED), or -1 when there is no
  // such item. Only MF_BYCOMMAND is supported besides MF_BYPOSITION.
  UINT EnableMenuItem(UINT id_or_position, UINT enable);
  bool DeleteMenu(UINT id_or_position, UINT flags);
  bool RemoveMenu(UINT id_or_position, UINT flags) { return DeleteMenu(id_or_position, flags); }
  int GetMenuItemCount() const { return static_cast<int>(items_.size()); }
  UINT GetMenuItemID(int position) const;
  // The item's flags; 0xFFFFFFFF when there is no such item.
  UINT GetMenuState(UINT id_or_position, UINT flags) const;
  std::string GetMenuString(UINT id_or_position, UINT flags) const;

  // An item that can be chosen: present, not a separator, neither grayed nor disabled.
  bool IsChoosable(UINT id) const;
  const std::vector<MenuItem>& items() const { return items_; }
  void Reset(std::vector<MenuItem> items) { items_ = std::move(items); }

 private:
  const MenuItem* Find(UINT id_or_position, UINT flags) const;
  std::vector<MenuItem> items_;
};

}  // namespace platform::ui
