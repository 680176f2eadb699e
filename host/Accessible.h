// What assistive technology and UI automation read from a window through the
// platform's accessibility interface (IAccessible): the window itself, the parts
// it draws that have no window of their own (a container's labels and images, a
// status bar's panels, a frame's caption buttons), and its child windows, which
// answer for themselves.
//
// A window that has something to say derives from AccessibleSource and answers
// WM_GETOBJECT with AnswerGetObject. Every answer is read from the source when
// asked, so it follows the live properties (a caption changed a moment ago reads
// as changed); NotifyPartNameChanged tells listeners that a part's name changed.
//
// Child ids: 0 is the window itself, 1 .. PartCount() its parts in order, then
// its child windows in the window list's order (the top of the z-order first).
//
// oleacc is loaded on the first question, not at start-up: a program no tool
// reads never loads it.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/AccessibleText.h"

struct IAccessible;

namespace fw {

// One element as assistive technology sees it (roles and states are oleacc.h's
// ROLE_SYSTEM_* and STATE_SYSTEM_* values). For the window itself, what is
// left unset keeps the platform's standard answer; for a part, it reads empty.
struct AccessibleItem {
  std::optional<long> role;                    // ROLE_SYSTEM_*
  std::optional<std::u16string> name;
  std::optional<std::u16string> value;
  std::optional<std::u16string> description;
  std::optional<std::u16string> defaultAction;  // the verb accDoDefaultAction performs
  std::optional<std::u16string> keyboardShortcut;  // "Alt+R" for an access key
  std::optional<long> state;                   // STATE_SYSTEM_* flags
  std::optional<RECT> location;                // screen coordinates
};

class AccessibleSource {
 public:
  AccessibleSource() = default;
  AccessibleSource(const AccessibleSource&) = delete;
  AccessibleSource& operator=(const AccessibleSource&) = delete;
  // Objects handed out earlier (a tool may hold them longer) answer "not
  // connected" from now on.
  virtual ~AccessibleSource();

  // The window the answers are about.
  virtual HWND AccessibleWindow() const = 0;
  // The window itself.
  virtual void DescribeSelf(AccessibleItem& self) const {}
  // The parts, numbered from 0 (child id = part + 1).
  virtual int PartCount() const { return 0; }
  virtual void DescribePart(int part, AccessibleItem& item) const {}
  // Performs the default action of the window itself (part -1) or of a part;
  // false when it has none (the window itself then gets the platform's).
  virtual bool DoDefaultAction(int part) { return false; }
  // Sets the value of the window itself (part -1) or of a part, as a tool asks
  // (put_accValue); false when it cannot be set.
  virtual bool SetValue(int part, std::u16string_view value) { return false; }
  // Takes the focus or the selection (SELFLAG_* flags, accSelect) for the
  // window itself (part -1) or a part; false when it cannot. By default the
  // window itself takes the focus (SELFLAG_TAKEFOCUS) when it is shown and
  // enabled, and a part refuses.
  virtual bool Select(int part, long flags);
  // The parts selected (numbered from 0), for get_accSelection; none by default
  // (the window itself then answers as the platform's standard object does).
  virtual std::vector<int> SelectedParts() const { return {}; }
  // Whether the child windows follow the parts as children.
  virtual bool ListsChildWindows() const { return true; }
  // The windows listed after the parts: by default the window's children, the
  // top of the z-order first. A window may list others (a dropped list that the
  // platform makes a pop-up of its own).
  virtual std::vector<HWND> ChildWindows() const;

  // The answer to WM_GETOBJECT: an object of this source for OBJID_CLIENT; 0
  // for any other object, or when it cannot be made (let the platform answer).
  LRESULT AnswerGetObject(WPARAM w, LPARAM l);
  // Makes the object AnswerGetObject hands out (a reference the caller owns).
  HRESULT CreateObject(IAccessible** out);
  // Raises EVENT_OBJECT_NAMECHANGE for a part.
  void NotifyPartNameChanged(int part) const;
  // Raises `event` (EVENT_OBJECT_*) for the window itself (part -1) or a part.
  void NotifyEvent(DWORD event, int part) const;

 private:
  std::shared_ptr<AccessibleSource*> m_anchor;
};

// A source answering for a window the platform made (a platform control, the
// list a combo box drops): it subclasses the window and answers its
// WM_GETOBJECT for OBJID_CLIENT, until the window goes or the source does.
class ForeignAccessibleSource : public AccessibleSource {
 public:
  ~ForeignAccessibleSource() override;
  // Answers for `hwnd` from now on (and no longer for an earlier window).
  bool AnswerFor(HWND hwnd);
  HWND AccessibleWindow() const override { return m_hwnd; }
  // A platform window's children are its own business.
  bool ListsChildWindows() const override { return false; }

 private:
  void Stop();
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR id,
                                       DWORD_PTR data);
  HWND m_hwnd = nullptr;
};

// The live setting a region of a window has for assistive technology (the
// values of UI Automation's LiveSetting property).
enum class LiveSetting : long { Off = 0, Polite = 1, Assertive = 2 };
// Gives the client object of `hwnd` (child `childId`) the live setting, through
// the platform's property services (IAccPropServices::SetHwndProp); what they
// answer (Windows honours it; some platforms answer E_NOTIMPL).
HRESULT SetLiveSetting(HWND hwnd, long childId, LiveSetting setting);
// Tells assistive technology that the live region at (hwnd, OBJID_CLIENT,
// childId) changed (EVENT_OBJECT_LIVEREGIONCHANGED), so a reader speaks it
// without the focus moving there.
void NotifyLiveRegionChanged(HWND hwnd, long childId = CHILDID_SELF);

// The platform's standard accessible object of `hwnd` for `objectId`
// (OBJID_WINDOW, OBJID_CLIENT ...), through oleacc loaded on demand.
HRESULT StandardAccessible(HWND hwnd, LONG objectId, IAccessible** out);
// What a tool gets asking `hwnd` for `objectId` (AccessibleObjectFromWindow).
HRESULT AccessibleFromWindow(HWND hwnd, LONG objectId, IAccessible** out);


}  // namespace fw
