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

// The price rows as read: each one element, its fuel the name and its price
// and unit the value ("92#汽油 7.74 元/升"), top to bottom.
std::vector<std::u16string> PriceRows(const Node& tree) {
  std::vector<const Node*> rows;
  for (const Node* n : All(tree)) {
    if (n->role == ROLE_SYSTEM_STATICTEXT && n->value.ends_with(u"元/升")) rows.push_back(n);
  }
  std::sort(rows.begin(), rows.end(), [](auto* a, auto* b) { return a->at.top < b->at.top; });
  std::vector<std::u16string> out;
  for (const Node* n : rows) out.push_back(n->name + u" " + n->value);
  return out;
}

// The texts that are a price alone ("7.74"): read apart from their rows.
size_t LonePrices(const Node& tree) {
  const std::vector<const Node*> all = All(tree);
  return static_cast<size_t>(std::count_if(all.begin(), all.end(), [](const Node* n) {
    return n->role == ROLE_SYSTEM_STATICTEXT && n->name.size() == 4 && n->name[1] == u'.';
  }));
}

const std::vector<std::u16string> kGuangzhouRows = {u"89#汽油 7.17 元/升", u"92#汽油 7.74 元/升",
                                                    u"95#汽油 8.38 元/升", u"0#柴油 7.41 元/升"};

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

// The child id under which `container`'s client object lists the object of
// `window`; 0 when it does not.
long ChildIdOf(HWND container, HWND window) {
  Object acc = ClientObject(container);
  long count = 0;
  if (!acc || FAILED(acc->get_accChildCount(&count))) return 0;
  for (long id = 1; id <= count; ++id) {
    IDispatch* child = nullptr;
    if (acc->get_accChild(Child(id), &child) != S_OK || !child) continue;
    IAccessible* object = nullptr;
    HWND found = nullptr;
    if (SUCCEEDED(child->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&object)))) {
      WindowFromAccessibleObject(object, &found);
      object->Release();
    }
    child->Release();
    if (found == window) return id;
  }
  return 0;
}

// The name of what accNavigate reaches from child `start` of `container`'s
// client object in direction `dir` ("<none>" for nothing); a window reached
// is named by its own client object.
std::u16string NavigateName(HWND container, long start, long dir) {
  Object acc = ClientObject(container);
  VARIANT to;
  VariantInit(&to);
  if (!acc || acc->accNavigate(dir, Child(start), &to) != S_OK) return u"<none>";
  std::u16string name = u"<none>";
  if (to.vt == VT_I4) {
    name = Text(acc.get(), to.lVal, &IAccessible::get_accName);
  } else if (to.vt == VT_DISPATCH && to.pdispVal) {
    IAccessible* object = nullptr;
    HWND window = nullptr;
    if (SUCCEEDED(to.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&object)))) {
      WindowFromAccessibleObject(object, &window);
      object->Release();
    }
    if (window) name = ReadTree(window).name;
  }
  VariantClear(&to);
  return name;
}

// The role of an event's element, read as a tool reads it.
long RoleOf(const Event& e) {
  IAccessible* raw = nullptr;
  VARIANT child;
  VariantInit(&child);
  if (FAILED(AccessibleObjectFromEvent(e.hwnd, static_cast<DWORD>(e.object), static_cast<DWORD>(e.child),
                                       &raw, &child)) ||
      !raw) {
    return 0;
  }
  Object acc(raw);
  VARIANT role;
  VariantInit(&role);
  const long r = SUCCEEDED(acc->get_accRole(child, &role)) && role.vt == VT_I4 ? role.lVal : 0;
  VariantClear(&role);
  VariantClear(&child);
  return r;
}

// Hears every event of `pid`'s windows (0: of every process) while it lives.
class Listener {
 public:
  explicit Listener(DWORD pid) {
    g_events = &m_events;
    m_hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, Record, pid, 0, WINEVENT_OUTOFCONTEXT);
  }
  ~Listener() {
    if (m_hook) UnhookWinEvent(m_hook);
    g_events = nullptr;
  }
  bool Hooked() const { return m_hook != nullptr; }
  std::vector<Event>& Events() { return m_events; }
  // The events `event` heard so far.
  std::vector<Event> Of(DWORD event) const {
    std::vector<Event> out;
    for (const Event& e : m_events) {
      if (e.event == event) out.push_back(e);
    }
    return out;
  }

 private:
  std::vector<Event> m_events;
  HWINEVENTHOOK m_hook = nullptr;
};

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
  EXPECT_EQ(PriceRows(tree), kGuangzhouRows);
  EXPECT_EQ(LonePrices(tree), 0u) << "a price is read apart from its fuel";

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
  // The link is named for what it does; the date it shows describes it.
  const Node* link = Find(aboutTree, ROLE_SYSTEM_LINK, u"发送邮件 fuelwise-dev@example.com");
  ASSERT_TRUE(link);
  EXPECT_EQ(link->description, u"2018/01/10");
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

// What a reader expects of each object: the chart a picture named by its
// tooltip, the line a separator, no header strip repeating its group's name,
// the sizing grips grips, the combo boxes' standard children, neighbours found
// on screen, the focus taken through the object, the warning one picture.
TEST_F(AccessibilityTest, EachObjectIsWhatAReaderExpects) {
  Start();
  // The grips come with the pointer's first move over the frame (told to the
  // frame directly: the pointer of a shared display may be anywhere).
  const Node before = ReadTree(m_main);
  const Node* titleBar = Find(before, ROLE_SYSTEM_TITLEBAR, kCaption);
  ASSERT_TRUE(titleBar);
  PostMessageW(titleBar->window, WM_MOUSEMOVE, 0, MAKELPARAM(60, 80));
  PumpFor(300);
  const Node tree = ReadTree(m_main);
  DumpIfAsked("The main window at start, the pointer over it", tree);

  const std::u16string chart = u"数据来源于油价网 (Http://" + FromWide(SiteHost()) + u"/)";
  EXPECT_TRUE(Find(tree, ROLE_SYSTEM_GRAPHIC, chart)) << "the chart named by its tooltip";
  EXPECT_EQ(Names(tree, ROLE_SYSTEM_SEPARATOR).size(), 1u) << "the line above the rows";
  EXPECT_EQ(Names(tree, ROLE_SYSTEM_GRIP).size(), 2u) << "the frame's sizing grips";
  for (const char16_t* group : {u"所在城市", u"原油趋势"}) {
    EXPECT_FALSE(Find(tree, ROLE_SYSTEM_STATICTEXT, group)) << "a header repeats " << Utf16ToUtf8(group);
  }
  for (const Node* n : All(tree)) {
    wchar_t kind[64] = {};
    GetClassNameW(n->window, kind, 64);
    EXPECT_STRNE(kind, L"FuelwiseXPContainerHeader") << "a header strip is listed";
  }

  // The province box: the drop button, then its text field, both telling
  // what they are.
  const Node* province = Find(tree, ROLE_SYSTEM_COMBOBOX, u"省份");
  ASSERT_TRUE(province);
  std::vector<std::pair<long, std::u16string>> children;
  for (const Node& c : province->children) children.emplace_back(c.role, c.name);
  EXPECT_EQ(children, (std::vector<std::pair<long, std::u16string>>{
                          {ROLE_SYSTEM_PUSHBUTTON, u"Open"}, {ROLE_SYSTEM_TEXT, u"省份"}}));

  // Neighbours on screen, from the container's object.
  HWND group = GetParent(province->window);
  const Node* city = Find(tree, ROLE_SYSTEM_COMBOBOX, u"城市");
  ASSERT_TRUE(city);
  long provinceLabel = 0;
  for (const Node* n : All(tree)) {
    if (n->window == group && n->childId > 0 && n->name == u"省  份:") provinceLabel = n->childId;
  }
  ASSERT_GT(provinceLabel, 0);
  const long provinceId = ChildIdOf(group, province->window);
  const long cityId = ChildIdOf(group, city->window);
  ASSERT_TRUE(provinceId > 0 && cityId > 0);
  struct Step {
    long from, dir;
    std::u16string_view reached;
  } const steps[] = {
      {provinceLabel, NAVDIR_RIGHT, u"省份"}, {provinceId, NAVDIR_DOWN, u"城市"},
      {cityId, NAVDIR_UP, u"省份"},          {cityId, NAVDIR_LEFT, u"城  市:"},
      {provinceId, NAVDIR_LEFT, u"省  份:"},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(NavigateName(group, s.from, s.dir), s.reached) << "from " << s.from << " way " << s.dir;
  }

  // The focus taken through the object (accSelect) lands in the box.
  Object groupObject = ClientObject(group);
  ASSERT_TRUE(groupObject);
  EXPECT_EQ(groupObject->accSelect(SELFLAG_TAKEFOCUS, Child(cityId)), S_OK);
  PumpFor(200);
  EXPECT_TRUE(IsChild(city->window, FocusOf(m_main))) << "accSelect took no focus";

  // The warning sign: one picture, not nine tiles.
  ASSERT_TRUE(DefaultAction(Find(tree, ROLE_SYSTEM_PUSHBUTTON, u"刷新")));
  HWND box = nullptr;
  ASSERT_TRUE(PumpFor(5000, [&] { return (box = Shown(u"提示")); })) << "no warning box";
  PumpFor(200);
  const Node boxTree = ReadTree(box);
  DumpIfAsked("The message box (the warning), read again", boxTree);
  EXPECT_EQ(Names(boxTree, ROLE_SYSTEM_GRAPHIC), std::vector<std::u16string>{u"警告"});
  const Node* sign = Find(boxTree, ROLE_SYSTEM_GRAPHIC, u"警告");
  ASSERT_TRUE(sign);
  EXPECT_EQ(sign->at.right - sign->at.left, 48) << "the whole sign: three tiles of 16";
  EXPECT_EQ(sign->at.bottom - sign->at.top, 48);
  PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(PumpFor(3000, [&] { return !Shown(u"提示"); }));
  PostMessageW(m_main, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(Ended());
}

// A keyboard user with a reader: focus events on named objects only, a
// dropped list read as a list whose arrows fetch nothing, the new prices
// spoken once as a live region when the list closes on a city.
TEST_F(AccessibilityTest, KeysInADroppedListAndThePricesSpoken) {
  Start();
  Listener listener(m_process.dwProcessId);
  ASSERT_TRUE(listener.Hooked());
  Node tree = ReadTree(m_main);
  ASSERT_TRUE(SetValue(Find(tree, ROLE_SYSTEM_COMBOBOX, u"省份"), u"广东"));
  tree = ReadTree(m_main);
  const Node* city = Find(tree, ROLE_SYSTEM_COMBOBOX, u"城市");
  ASSERT_TRUE(city);
  HWND group = GetParent(city->window);
  Object groupObject = ClientObject(group);
  ASSERT_TRUE(groupObject);
  ASSERT_EQ(groupObject->accSelect(SELFLAG_TAKEFOCUS, Child(ChildIdOf(group, city->window))), S_OK);
  PumpFor(300);

  // Each focus event names what it is about; the box's own comes last.
  std::vector<Event> focus = listener.Of(EVENT_OBJECT_FOCUS);
  ASSERT_FALSE(focus.empty());
  for (const Event& e : focus) EXPECT_FALSE(NameOf(e).empty()) << "an unnamed object took the focus";
  EXPECT_EQ(NameOf(focus.back()), u"城市");
  EXPECT_EQ(RoleOf(focus.back()), ROLE_SYSTEM_COMBOBOX);

  // Alt+Down drops the list: the focus is on its selected item.
  listener.Events().clear();
  SetForegroundWindow(m_main);
  Key(VK_DOWN, /*alt=*/true);
  PumpFor(500);
  focus = listener.Of(EVENT_OBJECT_FOCUS);
  ASSERT_FALSE(focus.empty()) << "dropping the list moved no focus";
  for (const Event& e : focus) EXPECT_FALSE(NameOf(e).empty()) << "an unnamed object took the focus";
  EXPECT_EQ(RoleOf(focus.back()), ROLE_SYSTEM_LISTITEM);

  // Two arrows: two items take the focus in turn; no page is fetched.
  ClearRequestLog();
  listener.Events().clear();
  Key(VK_DOWN);
  PumpFor(400);
  Key(VK_DOWN);
  PumpFor(400);
  focus = listener.Of(EVENT_OBJECT_FOCUS);
  std::vector<std::u16string> items;
  for (const Event& e : focus) {
    EXPECT_EQ(RoleOf(e), ROLE_SYSTEM_LISTITEM);
    items.push_back(NameOf(e));
  }
  ASSERT_EQ(items.size(), 2u);
  EXPECT_NE(items[0], items[1]);
  EXPECT_TRUE(RequestLog().empty()) << "an arrow in the dropped list fetched " << RequestLog().front();

  // Enter closes the list on the item reached: one page, and the new prices
  // spoken once, from the group of rows.
  listener.Events().clear();
  Key(VK_RETURN);
  ASSERT_TRUE(PumpFor(5000, [&] { return !listener.Of(EVENT_OBJECT_LIVEREGIONCHANGED).empty(); }))
      << "the new prices were not announced";
  PumpFor(500);
  EXPECT_EQ(RequestLog().size(), 1u);
  const std::vector<Event> live = listener.Of(EVENT_OBJECT_LIVEREGIONCHANGED);
  ASSERT_EQ(live.size(), 1u);
  EXPECT_EQ(live[0].hwnd, group);
  EXPECT_EQ(live[0].child, CHILDID_SELF);
  const std::vector<std::u16string> rows = PriceRows(ReadTree(live[0].hwnd));
  EXPECT_EQ(rows.size(), 4u);
  tree = ReadTree(m_main);
  EXPECT_EQ(Find(tree, ROLE_SYSTEM_COMBOBOX, u"城市")->value, items[1]);
  PostMessageW(m_main, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(Ended());
}

// A site that does not answer: the problem the window shows is spoken where
// it appears, without the focus moving there.
TEST_F(AccessibilityTest, TheProblemIsSpoken) {
  Listener listener(0);  // the program's process does not exist yet
  ASSERT_TRUE(listener.Hooked());
  const std::wstring site = L"http://127.0.0.1:" + std::to_wstring(ClosedPort());
  ASSERT_TRUE(test::StartProgram({L"--price-site", site, L"--chart-site", site}, m_process));
  ASSERT_TRUE(PumpFor(30000, [&] { return (m_main = Shown(kCaption)); })) << "no window";
  PumpFor(500);
  const Node tree = ReadTree(m_main);
  const Node* bar = nullptr;
  for (const Node* n : All(tree)) {
    if (n->role == ROLE_SYSTEM_STATUSBAR) bar = n;
  }
  ASSERT_TRUE(bar && !bar->children.empty());
  const std::u16string problem = bar->children[0].name;
  EXPECT_NE(problem, u"Design By fuelwise-dev") << "no problem shown";
  std::vector<std::u16string> spoken;
  for (const Event& e : listener.Of(EVENT_OBJECT_LIVEREGIONCHANGED)) {
    if (e.hwnd == bar->window) spoken.push_back(NameOf(e));
  }
  EXPECT_EQ(spoken, std::vector<std::u16string>{problem});
  PostMessageW(m_main, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(Ended());
}

}  // namespace
}  // namespace fw
