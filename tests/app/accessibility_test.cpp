// Fuelwise as assistive technology meets it: the program runs as a process of
// its own against the sample price site, and this test, another process, reads
// and operates it only through Microsoft Active Accessibility, as a screen
// reader or an automation tool does: the accessible tree from
// AccessibleObjectFromWindow and AccessibleChildren, default actions, and the
// events a WINEVENT_OUTOFCONTEXT hook receives.
//
// With FUELWISE_ACCESSIBLE_DUMP set to a file, the trees read are written there
// as text (docs/accessibility.md shows them).
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/Utf8.h"
#include "host/WideText.h"
#include "tests/app/WindowTestSupport.h"
#include "tests/app/price/SiteTestSupport.h"

namespace fw {
namespace {

using test::PumpFor;

constexpr char16_t kCaption[] = u"Fuelwise v1.0.0110";
constexpr char16_t kWarning[] = u"您还没有选择城市了!";

struct Released {
  void operator()(IUnknown* p) const {
    if (p) p->Release();
  }
};
using Object = std::unique_ptr<IAccessible, Released>;

// One element of the tree as read from outside.
struct Node {
  long role = 0;
  long state = 0;
  std::u16string name, value, description, action;
  RECT at{};
  HWND window = nullptr;  // whose client object lists it
  long childId = 0;       // 0: the client object itself
  std::vector<Node> children;
};

VARIANT Child(long id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::u16string Text(IAccessible* acc, long id, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
  BSTR text = nullptr;
  std::u16string out;
  if ((acc->*get)(Child(id), &text) == S_OK && text) out = FromWide(std::wstring(text, SysStringLen(text)));
  SysFreeString(text);
  return out;
}

long Number(IAccessible* acc, long id, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
  VARIANT v;
  VariantInit(&v);
  const long n = SUCCEEDED((acc->*get)(Child(id), &v)) && v.vt == VT_I4 ? v.lVal : 0;
  VariantClear(&v);
  return n;
}

Object ClientObject(HWND hwnd) {
  IAccessible* raw = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&raw)))) {
    raw = nullptr;
  }
  return Object(raw);
}

Node Describe(IAccessible* acc, HWND window, long id) {
  Node n;
  n.window = window;
  n.childId = id;
  n.role = Number(acc, id, &IAccessible::get_accRole);
  n.state = Number(acc, id, &IAccessible::get_accState);
  n.name = Text(acc, id, &IAccessible::get_accName);
  n.value = Text(acc, id, &IAccessible::get_accValue);
  n.description = Text(acc, id, &IAccessible::get_accDescription);
  n.action = Text(acc, id, &IAccessible::get_accDefaultAction);
  long x = 0, y = 0, w = 0, h = 0;
  if (SUCCEEDED(acc->accLocation(&x, &y, &w, &h, Child(id)))) n.at = RECT{x, y, x + w, y + h};
  return n;
}

// The client object of `hwnd` with what it lists through AccessibleChildren:
// its parts, and the client objects of its shown child windows. What is hidden
// is left out, as a screen reader leaves it out.
Node ReadTree(HWND hwnd) {
  Object acc = ClientObject(hwnd);
  if (!acc) return {};
  Node self = Describe(acc.get(), hwnd, CHILDID_SELF);
  long count = 0;
  if (FAILED(acc->get_accChildCount(&count)) || count <= 0) return self;
  std::vector<VARIANT> children(static_cast<size_t>(count));
  long got = 0;
  if (FAILED(AccessibleChildren(acc.get(), 0, count, children.data(), &got))) return self;
  for (long i = 0; i < got; ++i) {
    VARIANT& v = children[static_cast<size_t>(i)];
    if (v.vt == VT_I4) {
      Node part = Describe(acc.get(), hwnd, v.lVal);
      if (!(part.state & STATE_SYSTEM_INVISIBLE)) self.children.push_back(std::move(part));
    } else if (v.vt == VT_DISPATCH && v.pdispVal) {
      IAccessible* child = nullptr;
      HWND childWindow = nullptr;
      if (SUCCEEDED(v.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&child)))) {
        WindowFromAccessibleObject(child, &childWindow);
        child->Release();
      }
      if (childWindow && IsWindowVisible(childWindow)) self.children.push_back(ReadTree(childWindow));
    }
    VariantClear(&v);
  }
  return self;
}

// Every element of the tree, depth first.
void Flatten(const Node& n, std::vector<const Node*>& out) {
  out.push_back(&n);
  for (const Node& c : n.children) Flatten(c, out);
}
std::vector<const Node*> All(const Node& tree) {
  std::vector<const Node*> out;
  Flatten(tree, out);
  return out;
}
const Node* Find(const Node& tree, long role, const std::u16string& name) {
  for (const Node* n : All(tree)) {
    if (n->role == role && n->name == name) return n;
  }
  return nullptr;
}
std::vector<std::u16string> Names(const Node& tree, long role) {
  std::vector<std::u16string> names;
  for (const Node* n : All(tree)) {
    if (n->role == role) names.push_back(n->name);
  }
  return names;
}

std::string RoleText(long role) {
  wchar_t text[64] = {};
  GetRoleTextW(static_cast<DWORD>(role), text, 64);
  return Utf16ToUtf8(FromWide(text));
}

void Dump(const Node& n, int depth, std::string& out) {
  out += std::string(static_cast<size_t>(depth) * 2, ' ') + RoleText(n.role);
  if (!n.name.empty()) out += " \"" + Utf16ToUtf8(n.name) + "\"";
  if (!n.value.empty()) out += " value \"" + Utf16ToUtf8(n.value) + "\"";
  if (!n.description.empty()) out += " description \"" + Utf16ToUtf8(n.description) + "\"";
  if (!n.action.empty()) out += " action \"" + Utf16ToUtf8(n.action) + "\"";
  if (n.childId == CHILDID_SELF && n.role == ROLE_SYSTEM_CLIENT && n.name.empty()) {
    wchar_t kind[64] = {};
    GetClassNameW(n.window, kind, 64);
    out += " (window class " + Utf16ToUtf8(FromWide(kind)) + ")";
  }
  out += "\n";
  for (const Node& c : n.children) Dump(c, depth + 1, out);
}

void DumpIfAsked(const char* title, const Node& tree) {
  wchar_t path[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"FUELWISE_ACCESSIBLE_DUMP", path, MAX_PATH)) return;
  std::string text = std::string("## ") + title + "\n\n";
  Dump(tree, 0, text);
  text += "\n";
  if (FILE* f = _wfopen(path, L"ab")) {
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
  }
}

bool DefaultAction(const Node* n) {
  if (!n) return false;
  Object acc = ClientObject(n->window);
  return acc && acc->accDoDefaultAction(Child(n->childId)) == S_OK;
}

// Sets an element's value as a tool does (put_accValue); false when there is
// no such element or it refuses.
bool SetValue(const Node* n, const std::u16string& value) {
  if (!n) return false;
  Object acc = ClientObject(n->window);
  const std::wstring wide = ToWide(value);
  BSTR text = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  const HRESULT hr = acc ? acc->put_accValue(Child(n->childId), text) : E_FAIL;
  SysFreeString(text);
  return hr == S_OK;
}

// The price rows as read: the static texts that are prices, top to bottom.
std::vector<std::u16string> PriceRows(const Node& tree) {
  std::vector<const Node*> prices;
  for (const Node* n : All(tree)) {
    const bool price = n->role == ROLE_SYSTEM_STATICTEXT && n->name.size() == 4 && n->name[1] == u'.';
    if (price) prices.push_back(n);
  }
  std::sort(prices.begin(), prices.end(), [](auto* a, auto* b) { return a->at.top < b->at.top; });
  std::vector<std::u16string> out;
  for (const Node* n : prices) out.push_back(n->name);
  return out;
}

size_t Fetches(const std::string& page) {
  size_t n = 0;
  for (const std::string& line : RequestLog()) n += line.find(page) != std::string::npos;
  return n;
}

void Key(WORD vk, bool alt = false) {
  if (alt) keybd_event(VK_MENU, 0, 0, 0);
  keybd_event(static_cast<BYTE>(vk), 0, 0, 0);
  keybd_event(static_cast<BYTE>(vk), 0, KEYEVENTF_KEYUP, 0);
  if (alt) keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom && inner.right > inner.left && inner.bottom > inner.top;
}

// What a WINEVENT_OUTOFCONTEXT hook of this process receives from the program.
struct Event {
  DWORD event;
  HWND hwnd;
  LONG object;
  LONG child;
};
std::vector<Event>* g_events = nullptr;

void CALLBACK Record(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
  if (g_events) g_events->push_back({event, hwnd, object, child});
}

// The name an event's element has now, read as a tool reads it.
std::u16string NameOf(const Event& e) {
  IAccessible* raw = nullptr;
  VARIANT child;
  VariantInit(&child);
  if (FAILED(AccessibleObjectFromEvent(e.hwnd, static_cast<DWORD>(e.object), static_cast<DWORD>(e.child),
                                       &raw, &child)) ||
      !raw) {
    return u"<none>";
  }
  Object acc(raw);
  BSTR name = nullptr;
  std::u16string out;
  if (acc->get_accName(child, &name) == S_OK && name) out = FromWide(std::wstring(name, SysStringLen(name)));
  SysFreeString(name);
  VariantClear(&child);
  return out;
}

// The window that has the focus in `process`'s thread of `window`.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

class AccessibilityTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }

  void TearDown() override {
    if (!m_process.hProcess) return;
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(m_process.hProcess, 9);
    CloseHandle(m_process.hProcess);
    CloseHandle(m_process.hThread);
  }

  // Starts the test build of the program against the sample site and waits for
  // its window.
  void Start() {
    ASSERT_TRUE(test::StartProgramUnderTest(SiteHost(), m_process));
    ASSERT_TRUE(PumpFor(30000, [&] { return (m_main = Shown(kCaption)); })) << "no window";
    SetForegroundWindow(m_main);
    PumpFor(300);
  }
  HWND Shown(const std::u16string& title) const { return test::FindShown(title, m_process.dwProcessId); }
  bool Ended() const {
    DWORD code = 99;
    const bool ended = WaitForSingleObject(m_process.hProcess, 15000) == WAIT_OBJECT_0;
    GetExitCodeProcess(m_process.hProcess, &code);
    return ended && code == 0;
  }

  PROCESS_INFORMATION m_process{};
  HWND m_main = nullptr;
};

TEST_F(AccessibilityTest, ReadAndOperatedFromAnotherProcess) {
  Start();
  RECT window{};
  GetWindowRect(m_main, &window);
  Node tree = ReadTree(m_main);
  DumpIfAsked("The main window at start", tree);

  // The frame: its title bar named by the caption, and its one button (the
  // window has no maximise or minimise button) named as its menu names the
  // command, where it is drawn, pressable.
  const Node* title = Find(tree, ROLE_SYSTEM_TITLEBAR, kCaption);
  ASSERT_TRUE(title);
  EXPECT_TRUE(Inside(title->at, window));
  EXPECT_EQ(title->at.top, window.top);
  const Node* closeButton = Find(tree, ROLE_SYSTEM_PUSHBUTTON, u"关闭");
  ASSERT_TRUE(closeButton);
  EXPECT_TRUE(Inside(closeButton->at, title->at));
  EXPECT_EQ(closeButton->at.right, window.right - 6);  // 18 wide, 3 + 21 in from the right
  EXPECT_EQ(closeButton->action, u"Press");
  EXPECT_EQ(closeButton->state & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_PRESSED), 0);
  EXPECT_FALSE(Find(tree, ROLE_SYSTEM_PUSHBUTTON, u"最大化"));
  EXPECT_FALSE(Find(tree, ROLE_SYSTEM_PUSHBUTTON, u"最小化"));

  // The two header containers, the two boxes named by their labels, the
  // refresh button, the status bar's two panels.
  EXPECT_TRUE(Find(tree, ROLE_SYSTEM_GROUPING, u"所在城市"));
  EXPECT_TRUE(Find(tree, ROLE_SYSTEM_GROUPING, u"原油趋势"));
  const Node* province = Find(tree, ROLE_SYSTEM_COMBOBOX, u"省份");
  const Node* city = Find(tree, ROLE_SYSTEM_COMBOBOX, u"城市");
  const Node* refresh = Find(tree, ROLE_SYSTEM_PUSHBUTTON, u"刷新");
  ASSERT_TRUE(province && city && refresh);
  EXPECT_EQ(province->value, u"请选择省份");
  EXPECT_TRUE(province->state & STATE_SYSTEM_FOCUSABLE);
  EXPECT_TRUE(province->state & STATE_SYSTEM_COLLAPSED);
  EXPECT_EQ(refresh->action, u"Press");
  EXPECT_TRUE(refresh->state & STATE_SYSTEM_FOCUSABLE);
  SYSTEMTIME today{};
  GetLocalTime(&today);
  wchar_t date[64] = {};
  GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &today, nullptr, date, 64, nullptr);
  const Node* bar = nullptr;
  for (const Node* n : All(tree)) {
    if (n->role == ROLE_SYSTEM_STATUSBAR) bar = n;
  }
  ASSERT_TRUE(bar);
  std::vector<std::u16string> panels;
  for (const Node& panel : bar->children) panels.push_back(panel.name);
  EXPECT_EQ(panels, (std::vector<std::u16string>{u"Design By fuelwise-dev", FromWide(date)}));

  // A province and a city chosen through the boxes' own objects: the four
  // rows, each a fuel and its price, top to bottom.
  ASSERT_TRUE(SetValue(province, u"广东"));
  tree = ReadTree(m_main);
  city = Find(tree, ROLE_SYSTEM_COMBOBOX, u"城市");
  ASSERT_TRUE(city);
  ClearRequestLog();
  ASSERT_TRUE(SetValue(city, u"广州"));
  PumpFor(300);
  EXPECT_EQ(Fetches("guangzhou"), 1u);
  tree = ReadTree(m_main);
  DumpIfAsked("The main window with Guangzhou's prices", tree);
  province = Find(tree, ROLE_SYSTEM_COMBOBOX, u"省份");
  city = Find(tree, ROLE_SYSTEM_COMBOBOX, u"城市");
  ASSERT_TRUE(province && city);
  EXPECT_EQ(province->value, u"广东");
  EXPECT_EQ(city->value, u"广州");
  EXPECT_EQ(PriceRows(tree), (std::vector<std::u16string>{u"7.17", u"7.74", u"8.38", u"7.41"}));

  // Refresh pressed by its default action fetches the page again.
  refresh = Find(tree, ROLE_SYSTEM_PUSHBUTTON, u"刷新");
  ASSERT_TRUE(DefaultAction(refresh));
  EXPECT_TRUE(PumpFor(3000, [] { return Fetches("guangzhou") == 2; })) << "refresh fetched nothing";

  // A status panel's default action opens the about window: a dialog with its
  // texts and its link. Escape closes it.
  bar = nullptr;
  for (const Node* n : All(tree)) {
    if (n->role == ROLE_SYSTEM_STATUSBAR) bar = n;
  }
  ASSERT_TRUE(bar && !bar->children.empty());
  EXPECT_TRUE(DefaultAction(&bar->children[0]));
  HWND about = nullptr;
  ASSERT_TRUE(PumpFor(5000, [&] { return (about = Shown(u"关于")); })) << "the panel opened nothing";
  PumpFor(200);
  const Node aboutTree = ReadTree(about);
  DumpIfAsked("The about window", aboutTree);
  EXPECT_EQ(aboutTree.role, ROLE_SYSTEM_DIALOG);
  EXPECT_EQ(aboutTree.name, u"关于");
  EXPECT_TRUE(Find(aboutTree, ROLE_SYSTEM_TITLEBAR, u"关于"));
  EXPECT_TRUE(Find(aboutTree, ROLE_SYSTEM_PUSHBUTTON, u"关闭"));
  EXPECT_TRUE(Find(aboutTree, ROLE_SYSTEM_PUSHBUTTON, u"退出"));
  EXPECT_FALSE(Find(aboutTree, ROLE_SYSTEM_PUSHBUTTON, u"最大化")) << "no maximise button there";
  std::vector<std::u16string> texts = Names(aboutTree, ROLE_SYSTEM_STATICTEXT);
  EXPECT_NE(std::find(texts.begin(), texts.end(), kCaption), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), u"By fuelwise-dev"), texts.end());
  const Node* link = Find(aboutTree, ROLE_SYSTEM_LINK, u"2018/01/10");
  ASSERT_TRUE(link);
  EXPECT_EQ(link->value, u"mailto:fuelwise-dev@example.com");
  EXPECT_EQ(link->action, u"Jump");
  EXPECT_TRUE(link->state & STATE_SYSTEM_LINKED);
  SetForegroundWindow(about);
  Key(VK_ESCAPE);
  EXPECT_TRUE(PumpFor(3000, [&] { return !Shown(u"关于"); })) << "Escape left the about window open";
  EXPECT_TRUE(IsWindowEnabled(m_main));

  // F1 opens it too; its close button's default action closes it.
  SetForegroundWindow(m_main);
  Key(VK_F1);
  ASSERT_TRUE(PumpFor(5000, [&] { return (about = Shown(u"关于")); })) << "F1 opened nothing";
  PumpFor(200);
  const Node* aboutClose = nullptr;
  const Node again = ReadTree(about);
  aboutClose = Find(again, ROLE_SYSTEM_PUSHBUTTON, u"关闭");
  ASSERT_TRUE(DefaultAction(aboutClose));
  EXPECT_TRUE(PumpFor(3000, [&] { return !Shown(u"关于"); })) << "its close button left it open";

  // The warning box: an alert whose description is its prompt; Escape closes it.
  tree = ReadTree(m_main);
  ASSERT_TRUE(SetValue(Find(tree, ROLE_SYSTEM_COMBOBOX, u"省份"), u"浙江"));  // no city any more
  tree = ReadTree(m_main);
  ASSERT_TRUE(DefaultAction(Find(tree, ROLE_SYSTEM_PUSHBUTTON, u"刷新")));
  HWND box = nullptr;
  ASSERT_TRUE(PumpFor(5000, [&] { return (box = Shown(u"提示")); })) << "no warning box";
  PumpFor(200);
  const Node boxTree = ReadTree(box);
  DumpIfAsked("The message box (the warning)", boxTree);
  EXPECT_EQ(boxTree.role, ROLE_SYSTEM_ALERT);
  EXPECT_EQ(boxTree.name, u"提示");
  EXPECT_EQ(boxTree.description, kWarning);
  texts = Names(boxTree, ROLE_SYSTEM_STATICTEXT);
  EXPECT_NE(std::find(texts.begin(), texts.end(), kWarning), texts.end());
  EXPECT_TRUE(Find(boxTree, ROLE_SYSTEM_PUSHBUTTON, u"OK"));
  SetForegroundWindow(box);
  Key(VK_ESCAPE);
  EXPECT_TRUE(PumpFor(3000, [&] { return !Shown(u"提示"); })) << "Escape left the box open";

  // The close button's default action ends the program as its click does.
  tree = ReadTree(m_main);
  const Node* close = Find(tree, ROLE_SYSTEM_PUSHBUTTON, u"关闭");
  ASSERT_TRUE(close);
  EXPECT_TRUE(DefaultAction(close));
  EXPECT_TRUE(Ended()) << "pressing close did not end the program";
}

// Screen readers follow through events: the focus as Tab moves it, the new
// prices as their rows change, the warning as it opens.
TEST_F(AccessibilityTest, EventsFollowTheFocusThePricesAndTheWarning) {
  Start();
  std::vector<Event> events;
  g_events = &events;
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, Record, m_process.dwProcessId, 0,
                                       WINEVENT_OUTOFCONTEXT);
  ASSERT_TRUE(hook);
  struct Unhook {
    HWINEVENTHOOK h;
    ~Unhook() {
      UnhookWinEvent(h);
      g_events = nullptr;
    }
  } unhook{hook};

  // Each Tab: a focus event for the window that has the focus now, and one
  // naming the control that takes it; from the province box on, the order is
  // province, city, refresh.
  SetForegroundWindow(m_main);
  PumpFor(200);
  std::vector<std::u16string> reached;  // what each Tab's focus events name
  for (int i = 0; i < 6; ++i) {
    events.clear();
    Key(VK_TAB);
    PumpFor(400);
    const HWND focus = FocusOf(m_main);
    ASSERT_TRUE(focus) << "tab " << i;
    bool told = false;
    std::u16string named;
    for (const Event& e : events) {
      if (e.event != EVENT_OBJECT_FOCUS) continue;
      told = told || e.hwnd == focus;
      const std::u16string name = NameOf(e);
      if (!name.empty()) named = name;
    }
    EXPECT_TRUE(told) << "tab " << i << ": no focus event for the focused window";
    reached.push_back(named);
  }
  const size_t province = static_cast<size_t>(std::find(reached.begin(), reached.end(), u"省份") - reached.begin());
  ASSERT_LE(province + 3, reached.size()) << "Tab never reached the province box early enough";
  EXPECT_EQ(std::vector<std::u16string>(reached.begin() + static_cast<long>(province),
                                        reached.begin() + static_cast<long>(province) + 3),
            (std::vector<std::u16string>{u"省份", u"城市", u"刷新"}));

  // A city chosen: each price row tells its new name.
  Node tree = ReadTree(m_main);
  ASSERT_TRUE(SetValue(Find(tree, ROLE_SYSTEM_COMBOBOX, u"省份"), u"广东"));
  tree = ReadTree(m_main);
  events.clear();
  ASSERT_TRUE(SetValue(Find(tree, ROLE_SYSTEM_COMBOBOX, u"城市"), u"广州"));
  PumpFor(500);
  std::vector<std::u16string> renamed;
  for (const Event& e : events) {
    if (e.event == EVENT_OBJECT_NAMECHANGE && e.object == OBJID_CLIENT) renamed.push_back(NameOf(e));
  }
  for (const char16_t* price : {u"7.17", u"7.74", u"8.38", u"7.41"}) {
    EXPECT_NE(std::find(renamed.begin(), renamed.end(), price), renamed.end()) << Utf16ToUtf8(price);
  }

  // The warning announces itself as an alert when it opens.
  tree = ReadTree(m_main);
  ASSERT_TRUE(SetValue(Find(tree, ROLE_SYSTEM_COMBOBOX, u"省份"), u"浙江"));
  events.clear();
  tree = ReadTree(m_main);
  ASSERT_TRUE(DefaultAction(Find(tree, ROLE_SYSTEM_PUSHBUTTON, u"刷新")));
  HWND box = nullptr;
  ASSERT_TRUE(PumpFor(5000, [&] { return (box = Shown(u"提示")); })) << "no warning box";
  PumpFor(300);
  const auto alerts = std::count_if(events.begin(), events.end(), [&](const Event& e) {
    return e.event == EVENT_SYSTEM_ALERT && e.hwnd == box;
  });
  EXPECT_EQ(alerts, 1);
  PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(PumpFor(3000, [&] { return !Shown(u"提示"); }));
  PostMessageW(m_main, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(Ended());
}

}  // namespace
}  // namespace fw
