#include "platform/ui/menu.h"

#include <algorithm>

namespace platform::ui {

const MenuItem* CMenu::Find(UINT id_or_position, UINT flags) const {
  if (flags & MF_BYPOSITION) return id_or_position < items_.size() ? &items_[id_or_position] : nullptr;
  auto it = std::find_if(items_.begin(), items_.end(),
                         [&](const MenuItem& item) { return !(item.flags & MF_SEPARATOR) && item.id == id_or_position; });
  return it != items_.end() ? &*it : nullptr;
}

bool CMenu::AppendMenu(UINT flags, UINT_PTR id, const std::string& text) {
  items_.push_back({flags, static_cast<UINT>(id), (flags & MF_SEPARATOR) ? std::string() : text});
  return true;
}

UINT CMenu::EnableMenuItem(UINT id_or_position, UINT enable) {
  MenuItem* item = const_cast<MenuItem*>(Find(id_or_position, enable));
  if (!item) return static_cast<UINT>(-1);
  const UINT previous = item->flags & (MF_GRAYED | MF_DISABLED);
  item->flags = (item->flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  return previous;
}

bool CMenu::DeleteMenu(UINT id_or_position, UINT flags) {
  const MenuItem* item = Find(id_or_position, flags);
  if (!item) return false;
  items_.erase(items_.begin() + (item - items_.data()));
  return true;
}

UINT CMenu::GetMenuItemID(int position) const {
  if (position < 0 || position >= GetMenuItemCount()) return static_cast<UINT>(-1);
  return (items_[position].flags & MF_SEPARATOR) ? 0 : items_[position].id;
}

UINT CMenu::GetMenuState(UINT id_or_position, UINT flags) const {
  const MenuItem* item = Find(id_or_position, flags);
  return item ? item->flags : 0xFFFFFFFF;
}

std::string CMenu::GetMenuString(UINT id_or_position, UINT flags) const {
  const MenuItem* item = Find(id_or_position, flags);
  return item ? item->text : std::string();
}

bool CMenu::IsChoosable(UINT id) const {
  const MenuItem* item = Find(id, MF_BYCOMMAND);
  return item && !(item->flags & (MF_GRAYED | MF_DISABLED));
}

}  // namespace platform::ui
