// Message maps: a dialog class lists which member handles which command, notification
// or message, and the framework walks the map of the class and then of its bases.
//
//   class CDlgSleepMode : public platform::ui::CDialog {
//     ...
//     void OnDisable();
//     LRESULT OnScannerChosen(WPARAM, LPARAM);
//     DECLARE_MESSAGE_MAP()
//   };
//
//   BEGIN_MESSAGE_MAP(CDlgSleepMode, platform::ui::CDialog)
//     ON_BN_CLICKED(1000, &CDlgSleepMode::OnDisable)
//     ON_MESSAGE(WM_USER + 0x101, &CDlgSleepMode::OnScannerChosen)
//     ON_WM_TIMER()
//   END_MESSAGE_MAP()
//
// Timers, system commands, close, destroy and paint go to the virtual members OnTimer,
// OnSysCommand, OnClose, OnDestroy and OnPaint; ON_WM_TIMER() and its kin are kept so a
// map reads as it always has, and expand to nothing.
#pragma once
#include <functional>
#include <vector>

#include "platform/ui/ui_types.h"

namespace platform::ui {

class CWnd;

struct MessageMapEntry {
  enum class Kind { Command, Notify, Message };
  Kind kind = Kind::Command;
  UINT code = 0;  // notification code (Command, Notify) or message number (Message)
  int first_id = 0;
  int last_id = 0;
  std::function<LRESULT(CWnd&, WPARAM, LPARAM)> handler;
};

struct MessageMap {
  const MessageMap* base = nullptr;
  std::vector<MessageMapEntry> entries;
};

// The first entry of the map chain that takes the message; null when none does.
const MessageMapEntry* FindCommandEntry(const MessageMap* map, UINT code, int id);
const MessageMapEntry* FindNotifyEntry(const MessageMap* map, UINT code, int id);
const MessageMapEntry* FindMessageEntry(const MessageMap* map, UINT message);

template <class D>
MessageMapEntry CommandEntry(UINT code, int id, void (D::*fn)()) {
  return {MessageMapEntry::Kind::Command, code, id, id, [fn](CWnd& w, WPARAM, LPARAM) -> LRESULT {
            (static_cast<D&>(w).*fn)();
            return 0;
          }};
}

template <class D>
MessageMapEntry CommandRangeEntry(UINT code, int first, int last, void (D::*fn)(UINT)) {
  return {MessageMapEntry::Kind::Command, code, first, last, [fn](CWnd& w, WPARAM wp, LPARAM) -> LRESULT {
            (static_cast<D&>(w).*fn)(LOWORD(wp));
            return 0;
          }};
}

template <class D>
MessageMapEntry NotifyEntry(UINT code, int id, void (D::*fn)(NMHDR*, LRESULT*)) {
  return {MessageMapEntry::Kind::Notify, code, id, id, [fn](CWnd& w, WPARAM, LPARAM lp) -> LRESULT {
            LRESULT result = 0;
            (static_cast<D&>(w).*fn)(reinterpret_cast<NMHDR*>(lp), &result);
            return result;
          }};
}

template <class D>
MessageMapEntry MessageEntry(UINT message, LRESULT (D::*fn)(WPARAM, LPARAM)) {
  return {MessageMapEntry::Kind::Message, message, 0, 0,
          [fn](CWnd& w, WPARAM wp, LPARAM lp) -> LRESULT { return (static_cast<D&>(w).*fn)(wp, lp); }};
}

}  // namespace platform::ui

#define DECLARE_MESSAGE_MAP()                                    \
 protected:                                                      \
  static const ::platform::ui::MessageMap* GetThisMessageMap(); \
  const ::platform::ui::MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                        \
  const ::platform::ui::MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const ::platform::ui::MessageMap* theClass::GetThisMessageMap() {                                 \
    using ThisClass [[maybe_unused]] = theClass;                                                      \
    static const ::platform::ui::MessageMap map{baseClass::GetThisMessageMap(), {

#define END_MESSAGE_MAP() \
  }                       \
  }                       \
  ;                       \
  return &map;            \
  }

#define ON_COMMAND(id, fn) ::platform::ui::CommandEntry<ThisClass>(::platform::ui::BN_CLICKED, id, fn),
#define ON_CONTROL(code, id, fn) ::platform::ui::CommandEntry<ThisClass>(code, id, fn),
#define ON_COMMAND_RANGE(first, last, fn) \
  ::platform::ui::CommandRangeEntry<ThisClass>(::platform::ui::BN_CLICKED, first, last, fn),
#define ON_BN_CLICKED(id, fn) ::platform::ui::CommandEntry<ThisClass>(::platform::ui::BN_CLICKED, id, fn),
#define ON_STN_CLICKED(id, fn) ::platform::ui::CommandEntry<ThisClass>(::platform::ui::STN_CLICKED, id, fn),
#define ON_EN_CHANGE(id, fn) ::platform::ui::CommandEntry<ThisClass>(::platform::ui::EN_CHANGE, id, fn),
#define ON_EN_UPDATE(id, fn) ::platform::ui::CommandEntry<ThisClass>(::platform::ui::EN_UPDATE, id, fn),
#define ON_EN_SETFOCUS(id, fn) ::platform::ui::CommandEntry<ThisClass>(::platform::ui::EN_SETFOCUS, id, fn),
#define ON_EN_KILLFOCUS(id, fn) ::platform::ui::CommandEntry<ThisClass>(::platform::ui::EN_KILLFOCUS, id, fn),
#define ON_CBN_SELCHANGE(id, fn) ::platform::ui::CommandEntry<ThisClass>(::platform::ui::CBN_SELCHANGE, id, fn),
#define ON_CBN_EDITCHANGE(id, fn) ::platform::ui::CommandEntry<ThisClass>(::platform::ui::CBN_EDITCHANGE, id, fn),
#define ON_LBN_SELCHANGE(id, fn) ::platform::ui::CommandEntry<ThisClass>(::platform::ui::LBN_SELCHANGE, id, fn),
#define ON_LBN_DBLCLK(id, fn) ::platform::ui::CommandEntry<ThisClass>(::platform::ui::LBN_DBLCLK, id, fn),
#define ON_NOTIFY(code, id, fn) ::platform::ui::NotifyEntry<ThisClass>(code, id, fn),
#define ON_MESSAGE(message, fn) ::platform::ui::MessageEntry<ThisClass>(message, fn),
#define ON_WM_TIMER()
#define ON_WM_SYSCOMMAND()
#define ON_WM_CLOSE()
#define ON_WM_DESTROY()
#define ON_WM_PAINT()
#define ON_WM_QUERYDRAGICON()
