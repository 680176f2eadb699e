#include "host/Form.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <exception>
#include <string>

#include "host/ColourWin.h"
#include "host/GraphicControl.h"
#include "host/Numeric.h"
#include "host/Timer.h"
#include "host/UserControl.h"
#include "host/Utf8.h"
#include "host/WideText.h"
#include "host/Windowless.h"

namespace fw {

namespace {

constexpr wchar_t kClassName[] = L"FuelwiseForm";
constexpr wchar_t kFormProp[] = L"Fuelwise.Form";
// Posted by UserControl::SendTab: the focus moves once the current message is done,
// as a queued Tab key would move it.
constexpr UINT kWmSendTab = WM_APP + 0x101;

struct BorderStyles {
  DWORD style;
  DWORD exStyle;
};

BorderStyles StylesFor(int32_t borderStyle) {
  switch (borderStyle) {
    case 0: return {WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, 0};
    case 1: return {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0};
    case 3: return {WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME};
    case 4: return {WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW};
    case 5: return {WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, WS_EX_TOOLWINDOW};
    default: return {WS_OVERLAPPEDWINDOW, 0};
  }
}

char16_t LowerChar(char16_t ch) {
  return static_cast<char16_t>(reinterpret_cast<uintptr_t>(
      CharLowerW(reinterpret_cast<LPWSTR>(static_cast<uintptr_t>(ch)))));
}

bool IsShownAndEnabled(HWND hwnd) {
  return IsWindowVisible(hwnd) && IsWindowEnabled(hwnd);
}

}  // namespace

// -- Control kinds

namespace {
struct KindEntry {
  std::u16string kind;
  ControlCreator creator;
};
std::vector<KindEntry>& Kinds() {
  static std::vector<KindEntry> kinds;
  return kinds;
}
KindEntry* FindKind(std::u16string_view kind) {
  for (auto& k : Kinds()) {
    if (NamesEqual(k.kind, kind)) return &k;
  }
  return nullptr;
}
}  // namespace

void RegisterControlKind(std::u16string_view kind, ControlCreator creator) {
  if (KindEntry* k = FindKind(kind)) {
    k->creator = std::move(creator);
    return;
  }
  Kinds().push_back({std::u16string(kind), std::move(creator)});
}

std::unique_ptr<Control> CreateControl(std::u16string_view kind) {
  RegisterStandardControls();
  KindEntry* k = FindKind(kind);
  return k && k->creator ? k->creator() : nullptr;
}

bool IsControlKindRegistered(std::u16string_view kind) {
  RegisterStandardControls();
  return FindKind(kind) != nullptr;
}

DesignParseResult LoadDesignResource(std::u16string_view name, HINSTANCE module) {
  if (!module) module = GetModuleHandleW(nullptr);
  const std::wstring wname = ToWide(name);
  HRSRC res = FindResourceW(module, wname.c_str(), L"DESIGN");
  if (!res) res = FindResourceW(module, wname.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  DesignParseResult result;
  if (!res) {
    result.error = "the design resource is missing";
    return result;
  }
  HGLOBAL data = LoadResource(module, res);
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) {
    result.error = "the design resource cannot be loaded";
    return result;
  }
  return ParseDesignUtf8(
      std::string_view(static_cast<const char*>(bytes), SizeofResource(module, res)));
}

// -- Building

Form::Form() : m_font(Font::Create(Font::DefaultValue())) {
  m_fontSubscription = m_font->Subscribe([this] { FontChanged(); });
}

Form::~Form() {
  m_modalEnded = true;
  if (m_hwnd) {
    // Skip the unload events: the derived part of this object is already gone.
    m_unloading = true;
    DestroyControls();
    DestroyWindow(m_hwnd);
  }
}

bool Form::RegisterWindowClass() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &Form::WndProcThunk;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
  }();
  return registered;
}

bool Form::CreateWindowFor(const PropertyStore& props, std::u16string caption) {
  if (m_hwnd) return false;
  if (!RegisterWindowClass()) return false;
  m_unloaded.clear();
  m_changes.clear();
  m_buildErrors.clear();
  m_default = m_cancel = nullptr;
  m_displayedDefault = nullptr;
  ReadFormProperties(props);
  if (caption.empty()) caption = props.ReadText(u"Caption", m_name);
  BorderStyles bs = StylesFor(m_borderStyle);
  if (m_maxButton) bs.style = *m_maxButton ? bs.style | WS_MAXIMIZEBOX : bs.style & ~WS_MAXIMIZEBOX;
  if (m_minButton) bs.style = *m_minButton ? bs.style | WS_MINIMIZEBOX : bs.style & ~WS_MINIMIZEBOX;
  const DWORD style = bs.style | WS_CLIPCHILDREN;
  const DWORD exStyle = bs.exStyle | WS_EX_CONTROLPARENT | (m_showInTaskbar ? WS_EX_APPWINDOW : 0);
  // Sized at the screen's dpi until the window has its own.
  m_dpi = ScreenDpi();
  RECT rc{0, 0, TwipsToPixelsX(m_clientWidth), TwipsToPixelsY(m_clientHeight)};
  AdjustWindowRectEx(&rc, style, FALSE, exStyle);
  const std::wstring text = ToWide(caption);
  HWND hwnd = CreateWindowExW(exStyle, kClassName, text.c_str(), style, CW_USEDEFAULT,
                              CW_USEDEFAULT, rc.right - rc.left, rc.bottom - rc.top, nullptr,
                              nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd) return false;
  detail::CountHandle(HandleKind::Window, +1);
  const int dpi = WindowDpi(hwnd);
  if (dpi != m_dpi) {
    m_dpi = dpi;
    SetClientSize(m_clientWidth, m_clientHeight);
  }
  if (props.Contains(u"Left") || props.Contains(u"Top")) {
    m_startUpPosition = 0;
    SetWindowPos(hwnd, nullptr, TwipsToPixelsX(props.ReadInt32(u"Left", 0)),
                 TwipsToPixelsY(props.ReadInt32(u"Top", 0)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (m_icon) SetIcon(m_icon);
  return true;
}

void Form::ReadFormProperties(const PropertyStore& props) {
  m_clientWidth = props.ReadInt32(u"ClientWidth", props.ReadInt32(u"ScaleWidth", 4800));
  m_clientHeight = props.ReadInt32(u"ClientHeight", props.ReadInt32(u"ScaleHeight", 3600));
  m_borderStyle = props.ReadInt32(u"BorderStyle", 2);
  m_moveable = props.ReadBool(u"Moveable", true);
  m_showInTaskbar = props.ReadBool(u"ShowInTaskbar", true);
  m_startUpPosition = props.ReadInt32(u"StartUpPosition", 3);
  m_backColor = props.ReadColour(u"BackColor", SystemColour(COLOR_BTNFACE));
  m_foreColor = props.ReadColour(u"ForeColor", SystemColour(COLOR_BTNTEXT));
  if (props.Contains(u"Font")) m_font->SetValue(props.ReadFont(u"Font", Font::DefaultValue()));
  const PictureRef icon = props.ReadPicture(u"Icon", {});
  if (!icon.empty()) m_icon = LoadPictureRef(icon);
}

bool Form::Create(int32_t clientWidthTwips, int32_t clientHeightTwips, std::u16string caption) {
  PropertyStore props;
  props.Set(u"ClientWidth", clientWidthTwips);
  props.Set(u"ClientHeight", clientHeightTwips);
  if (m_name.empty()) m_name = u"Form1";
  return CreateWindowFor(props, std::move(caption));
}

bool Form::Load(const DesignNode& design) { return BuildFromDesign(design, design.name); }

bool Form::BuildFromDesign(const DesignNode& design, std::u16string source) {
  if (m_hwnd) return false;
  m_name = design.name;
  m_designSource = std::move(source);
  design.props.ClearRefusals();
  design.props.ClearAsked();
  if (!CreateWindowFor(design.props, {})) return false;
  ReportRefusals(design.props, m_name);
  ReportUnknownNames(design.props, m_name);
  BuildChildren(design, nullptr);
  SortTabOrder();
  DockAligned();
  OnLoad();
  return m_hwnd != nullptr;
}

bool Form::LoadFromResource(std::u16string_view name, HINSTANCE module) {
  DesignParseResult parsed = LoadDesignResource(name, module);
  if (!parsed.root) {
    m_buildErrors.push_back(u"design: " + Utf8ToUtf16(parsed.error));
    return false;
  }
  return BuildFromDesign(*parsed.root, std::u16string(name));
}

void Form::ReportRefusals(const PropertyStore& props, std::u16string_view control) {
  for (const PropertyStore::Refusal& r : props.Refusals()) {
    std::u16string text = m_designSource;
    if (r.line > 0) text += u" line " + Utf8ToUtf16(std::to_string(r.line));
    text += u": ";
    text += control;
    text += u" property ";
    text += r.name;
    if (const PropertyValue* v = props.Find(r.name)) text += u" = " + DesignValueText(*v);
    text += u": expected ";
    text += r.expected;
    text += u"; the default is kept";
    m_buildErrors.push_back(std::move(text));
  }
  props.ClearRefusals();
}

void Form::ReportUnknownNames(const PropertyStore& props, std::u16string_view control) {
  for (const PropertyStore::Entry* e : props.UnaskedEntries()) {
    std::u16string text = m_designSource;
    if (e->line > 0) text += u" line " + Utf8ToUtf16(std::to_string(e->line));
    text += u": ";
    text += control;
    text += u" property ";
    text += e->name;
    text += u" = " + DesignValueText(e->value);
    text += u": no such property";
    const std::u16string nearest = props.NearestAskedName(e->name);
    if (!nearest.empty()) text += u" (did you mean " + nearest + u"?)";
    text += u"; the value is ignored";
    m_buildErrors.push_back(std::move(text));
  }
}

void Form::BuildChildren(const DesignNode& node, Control* container) {
  for (const DesignNode& child : node.children) {
    std::unique_ptr<Control> control = CreateControl(child.kind);
    if (!control) {
      m_buildErrors.push_back(child.kind + u" " + child.name);
      continue;
    }
    Control* raw = control.get();
    const PropertyStore& p = child.props;
    p.ClearRefusals();
    p.ClearAsked();
    const bool placed = PlaceControl(std::move(control), child.name, container, p.ReadInt32(u"Left", 0),
                                     p.ReadInt32(u"Top", 0), p.ReadInt32(u"Width", 0),
                                     p.ReadInt32(u"Height", 0), child.index, &p);
    std::u16string qualified = child.name;
    if (child.index) qualified += u"(" + Utf8ToUtf16(std::to_string(*child.index)) + u")";
    ReportRefusals(p, qualified);
    if (placed) ReportUnknownNames(p, qualified);
    if (!placed) {
      m_buildErrors.push_back(child.kind + u" " + child.name);
      continue;
    }
    if (!child.children.empty()) BuildChildren(child, raw->IsContainer() ? raw : container);
  }
}

bool Form::PlaceControl(std::unique_ptr<Control> control, std::u16string name, Control* container,
                        int32_t left, int32_t top, int32_t width, int32_t height,
                        std::optional<int32_t> index, const PropertyStore* props) {
  if (!m_hwnd || !control) return false;
  HWND parent = container && container->hWnd() ? container->hWnd() : m_hwnd;
  control->m_form = this;
  // Extender settings come first: they decide the window's style and place.
  if (props) {
    control->m_visible = props->ReadBool(u"Visible", true);
    control->m_tabStop = props->ReadBool(u"TabStop", true);
    control->m_tabIndex = props->ReadInt32(u"TabIndex", static_cast<int32_t>(m_controls.size()));
    control->m_tag = props->ReadText(u"Tag", u"");
    control->m_align = props->ReadInt32(u"Align", 0);
    control->OnBeforeCreate(*props);
  } else {
    control->m_tabIndex = static_cast<int32_t>(m_controls.size());
  }
  const int x = TwipsToPixelsX(left);
  const int y = TwipsToPixelsY(top);
  const RECT rc{x, y, x + TwipsToPixelsX(width), y + TwipsToPixelsY(height)};
  if (!control->Create(parent, rc, std::move(name), index)) return false;
  control->m_left = left;
  control->m_top = top;
  control->m_width = width;
  control->m_height = height;
  Control* raw = control.get();
  raw->SetTabStop(raw->m_tabStop);
  m_controls.push_back(std::move(control));
  if (props) {
    raw->ReadProperties(*props);
    if (props->ReadBool(u"Default", false)) SetDefaultControl(raw);
    if (props->ReadBool(u"Cancel", false)) m_cancel = raw;
    const std::u16string tip = props->ReadText(u"ToolTipText", u"");
    if (!tip.empty()) raw->SetToolTipText(tip);
  } else {
    raw->InitProperties();
  }
  if (raw->hWnd() && raw->m_visible) ShowWindow(raw->hWnd(), SW_SHOWNA);
  if (raw->m_align != 0) DockAligned();
  return true;
}

DesignNode Form::SaveDesign() {
  DesignNode root;
  root.kind = u"Form";
  root.name = m_name;
  PropertyStore& p = root.props;
  p.Write(u"Caption", Caption(), u"");
  p.Write(u"ClientWidth", ScaleWidth(), int32_t{0});
  p.Write(u"ClientHeight", ScaleHeight(), int32_t{0});
  p.Write(u"BorderStyle", m_borderStyle, int32_t{2});
  p.Write(u"BackColor", m_backColor, SystemColour(COLOR_BTNFACE));
  p.Write(u"ForeColor", m_foreColor, SystemColour(COLOR_BTNTEXT));
  p.Write(u"Font", m_font->Value(), Font::DefaultValue());
  p.Write(u"Icon", PictureRefOf(m_icon.get()), PictureRef{});
  p.Write(u"Moveable", m_moveable, true);
  p.Write(u"ShowInTaskbar", m_showInTaskbar, true);
  p.Write(u"StartUpPosition", m_startUpPosition, int32_t{3});
  SaveChildren(root, nullptr);
  return root;
}

void Form::SaveChildren(DesignNode& parent, Control* container) {
  for (const auto& c : m_controls) {
    if (c->Container() != container) continue;
    DesignNode node;
    node.kind = c->Kind();
    node.name = c->Name();
    node.index = c->Index();
    PropertyStore& cp = node.props;
    cp.Write(u"Left", c->Left(), int32_t{0});
    cp.Write(u"Top", c->Top(), int32_t{0});
    cp.Write(u"Width", c->Width(), int32_t{0});
    cp.Write(u"Height", c->Height(), int32_t{0});
    cp.Write(u"Visible", c->Visible(), true);
    cp.Write(u"TabStop", c->TabStop(), true);
    cp.Write(u"Tag", c->Tag(), u"");
    cp.Write(u"Align", c->Align(), int32_t{0});
    cp.Write(u"ToolTipText", c->ToolTipText(), u"");
    cp.Write(u"Default", m_default == c.get(), false);
    cp.Write(u"Cancel", m_cancel == c.get(), false);
    c->WriteProperties(cp);
    SaveChildren(node, c.get());
    parent.children.push_back(std::move(node));
  }
}

// -- Showing

void Form::ShowControls() {
  // Controls draw before the form first appears, so its first paint is complete.
  // The window tree is walked rather than the form's list, so that controls made
  // by other controls (their constituent parts) hear of it too.
  UserControl::RaiseShowBelow(m_hwnd, true);
}

void Form::PositionAtStart(HWND owner) {
  if (m_startUpPosition != 1 && m_startUpPosition != 2) return;
  RECT area{};
  if (m_startUpPosition == 1 && owner) {
    GetWindowRect(owner, &area);
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT rc{};
  GetWindowRect(m_hwnd, &rc);
  const int w = rc.right - rc.left;
  const int h = rc.bottom - rc.top;
  const int x = area.left + HalveTowardZero(area.right - area.left - w);
  const int y = area.top + HalveTowardZero(area.bottom - area.top - h);
  SetWindowPos(m_hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  m_startUpPosition = 0;
}

void Form::Show() {
  if (!m_hwnd) return;
  if (!IsWindowVisible(m_hwnd)) {
    PositionAtStart(GetWindow(m_hwnd, GW_OWNER));
    ShowControls();
    ShowWindow(m_hwnd, m_pendingWindowState == 1   ? SW_SHOWMINIMIZED
                       : m_pendingWindowState == 2 ? SW_SHOWMAXIMIZED
                                                   : SW_SHOW);
    // The first control in tab order takes the focus, as in a dialog.
    if (!m_lastFocus) {
      HWND first = GetNextDlgTabItem(m_hwnd, nullptr, FALSE);
      if (first) ::SetFocus(first);
    }
    UpdateWindow(m_hwnd);
  } else {
    SetForegroundWindow(m_hwnd);
  }
}

void Form::ShowModal(Form* owner) {
  if (!m_hwnd) return;
  HWND ownerHwnd = owner ? owner->hWnd() : nullptr;
  if (ownerHwnd) SetWindowLongPtrW(m_hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerHwnd));
  const bool disableOwner = ownerHwnd && IsWindowEnabled(ownerHwnd);
  if (disableOwner) EnableWindow(ownerHwnd, FALSE);
  m_modalOwner = disableOwner ? ownerHwnd : nullptr;
  ++m_modalDepth;
  m_modalEnded = false;
  Show();
  MSG msg;
  while (!m_modalEnded && m_hwnd && IsWindowVisible(m_hwnd)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      // WM_QUIT ends every loop up to the thread's own.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    if (!PreTranslateMessage(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  --m_modalDepth;
  // The owner comes back before this form goes, so that activation returns to it.
  if (m_modalOwner) {
    EnableWindow(m_modalOwner, TRUE);
    if (m_hwnd && IsWindowVisible(m_hwnd)) SetActiveWindow(m_modalOwner);
    m_modalOwner = nullptr;
  }
  if (m_hwnd && IsWindowVisible(m_hwnd)) ShowWindow(m_hwnd, SW_HIDE);
}

void Form::Hide() {
  if (!m_hwnd) return;
  if (m_modalOwner) {
    EnableWindow(m_modalOwner, TRUE);
    SetActiveWindow(m_modalOwner);
    m_modalOwner = nullptr;
  }
  m_modalEnded = true;
  ShowWindow(m_hwnd, SW_HIDE);
  UserControl::RaiseShowBelow(m_hwnd, false);
}

bool Form::Unload() {
  if (!m_hwnd || m_unloading) return m_hwnd == nullptr;
  bool cancel = false;
  OnQueryUnload(cancel);
  if (cancel || !m_hwnd) return !m_hwnd;
  m_unloading = true;
  m_modalEnded = true;
  if (m_modalOwner) {
    EnableWindow(m_modalOwner, TRUE);
    SetActiveWindow(m_modalOwner);
    m_modalOwner = nullptr;
  }
  OnUnload();
  // The focus leaves the controls before they end, so none hears of it afterwards.
  if (HWND focus = GetFocus(); focus && IsChild(m_hwnd, focus)) ::SetFocus(m_hwnd);
  DestroyControls();
  if (m_hwnd) DestroyWindow(m_hwnd);
  m_unloading = false;
  return true;
}

void Form::DestroyControls() {
  for (auto& [id, timer] : m_timers) KillTimer(m_hwnd, id);
  m_timers.clear();
  // Children before their containers: the reverse of the order they were built in.
  for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) (*it)->Destroy();
  for (auto& c : m_controls) m_unloaded.push_back(std::move(c));
  m_controls.clear();
  m_default = m_cancel = m_displayedDefault = nullptr;
  m_lastFocus = nullptr;
}

// -- Properties

std::u16string Form::Caption() const {
  if (!m_hwnd) return {};
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(m_hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(m_hwnd, text.data(), static_cast<int>(text.size()))));
  return FromWide(text);
}

void Form::SetCaption(std::u16string_view caption) {
  if (m_hwnd) SetWindowTextW(m_hwnd, ToWide(caption).c_str());
}

void Form::SetIcon(std::shared_ptr<Picture> icon) {
  m_icon = std::move(icon);
  if (!m_hwnd) return;
  HICON h = m_icon && m_icon->GetType() == Picture::Type::Icon ? m_icon->Icon() : nullptr;
  SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(h));
  SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(h));
}

void Form::SetBorderStyle(int32_t style) {
  m_borderStyle = style;
  ApplyBorderStyle();
}

bool Form::MaxButton() const {
  return m_maxButton.value_or((StylesFor(m_borderStyle).style & WS_MAXIMIZEBOX) != 0);
}

void Form::SetMaxButton(bool on) {
  m_maxButton = on;
  ApplyBorderStyle();
}

bool Form::MinButton() const {
  return m_minButton.value_or((StylesFor(m_borderStyle).style & WS_MINIMIZEBOX) != 0);
}

void Form::SetMinButton(bool on) {
  m_minButton = on;
  ApplyBorderStyle();
}

int32_t Form::WindowState() const {
  if (!m_hwnd || !IsWindowVisible(m_hwnd)) return m_pendingWindowState;
  if (IsIconic(m_hwnd)) return 1;
  if (IsZoomed(m_hwnd)) return 2;
  return 0;
}

void Form::SetWindowState(int32_t state) {
  if (state < 0 || state > 2) return;
  m_pendingWindowState = state;
  if (!m_hwnd || !IsWindowVisible(m_hwnd)) return;
  ShowWindow(m_hwnd, state == 1 ? SW_MINIMIZE : state == 2 ? SW_MAXIMIZE : SW_RESTORE);
}

void Form::Refresh() {
  if (m_hwnd) {
    RedrawWindow(m_hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
}

void Form::ApplyBorderStyle() {
  if (!m_hwnd) return;
  RECT client{};
  GetClientRect(m_hwnd, &client);
  BorderStyles bs = StylesFor(m_borderStyle);
  if (m_maxButton) bs.style = *m_maxButton ? bs.style | WS_MAXIMIZEBOX : bs.style & ~WS_MAXIMIZEBOX;
  if (m_minButton) bs.style = *m_minButton ? bs.style | WS_MINIMIZEBOX : bs.style & ~WS_MINIMIZEBOX;
  const LONG_PTR keep = GetWindowLongPtrW(m_hwnd, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED);
  const DWORD newStyle = bs.style | WS_CLIPCHILDREN | static_cast<DWORD>(keep);
  const DWORD newEx = bs.exStyle | WS_EX_CONTROLPARENT | (m_showInTaskbar ? WS_EX_APPWINDOW : 0);
  SetWindowLongPtrW(m_hwnd, GWL_STYLE, newStyle);
  SetWindowLongPtrW(m_hwnd, GWL_EXSTYLE, newEx);
  // The client area keeps its size; the outer rectangle follows the new border.
  AdjustWindowRectEx(&client, newStyle, FALSE, newEx);
  SetWindowPos(m_hwnd, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Form::SetShowInTaskbar(bool show) {
  m_showInTaskbar = show;
  ApplyBorderStyle();
}

void Form::SetBackColor(Colour colour) {
  m_backColor = colour;
  if (m_hwnd) InvalidateRect(m_hwnd, nullptr, TRUE);
  NotifyAmbient(nullptr, u"BackColor");
}

void Form::SetForeColor(Colour colour) {
  m_foreColor = colour;
  NotifyAmbient(nullptr, u"ForeColor");
}

void Form::SetFont(std::shared_ptr<Font> font) {
  if (!font) return;
  m_font = std::move(font);
  m_fontSubscription = m_font->Subscribe([this] { FontChanged(); });
  FontChanged();
}

void Form::FontChanged() {
  ApplyToolTipFont();
  NotifyAmbient(nullptr, u"Font");
}

void Form::ApplyToolTipFont() {
  if (!m_toolTip) return;
  // The platform's tooltip font is a Latin face that need not hold the glyphs
  // of this program's Chinese tips; the form's font is chosen for its texts.
  unique_hfont font = m_font->CreateHandle(m_dpi);
  SendMessageW(m_toolTip, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  m_toolTipFont = std::move(font);  // the old one goes once the tip has the new
}

int Form::TwipsToPixelsX(int32_t twips) const { return fw::TwipsToPixels(twips, m_dpi); }
int Form::TwipsToPixelsY(int32_t twips) const { return fw::TwipsToPixels(twips, m_dpi); }
int32_t Form::PixelsToTwipsX(int pixels) const { return fw::PixelsToTwips(pixels, m_dpi); }
int32_t Form::PixelsToTwipsY(int pixels) const { return fw::PixelsToTwips(pixels, m_dpi); }

int32_t Form::ScaleWidth() const {
  if (!m_hwnd) return m_clientWidth;
  RECT rc{};
  GetClientRect(m_hwnd, &rc);
  // The design's twips are kept while the pixels they became still hold.
  return TwipsToPixelsX(m_clientWidth) == rc.right ? m_clientWidth : PixelsToTwipsX(rc.right);
}

int32_t Form::ScaleHeight() const {
  if (!m_hwnd) return m_clientHeight;
  RECT rc{};
  GetClientRect(m_hwnd, &rc);
  return TwipsToPixelsY(m_clientHeight) == rc.bottom ? m_clientHeight : PixelsToTwipsY(rc.bottom);
}

void Form::SetClientSize(int32_t widthTwips, int32_t heightTwips) {
  m_clientWidth = widthTwips;
  m_clientHeight = heightTwips;
  if (!m_hwnd) return;
  RECT rc{0, 0, TwipsToPixelsX(widthTwips), TwipsToPixelsY(heightTwips)};
  AdjustWindowRectEx(&rc, static_cast<DWORD>(GetWindowLongPtrW(m_hwnd, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE)));
  SetWindowPos(m_hwnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {
RECT WindowRectOf(HWND hwnd) {
  RECT rc{};
  if (hwnd) GetWindowRect(hwnd, &rc);
  return rc;
}
}  // namespace

int32_t Form::Left() const { return PixelsToTwipsX(WindowRectOf(m_hwnd).left); }
int32_t Form::Top() const { return PixelsToTwipsY(WindowRectOf(m_hwnd).top); }
int32_t Form::Width() const {
  const RECT rc = WindowRectOf(m_hwnd);
  return PixelsToTwipsX(rc.right - rc.left);
}
int32_t Form::Height() const {
  const RECT rc = WindowRectOf(m_hwnd);
  return PixelsToTwipsY(rc.bottom - rc.top);
}

void Form::Move(int32_t left, int32_t top, std::optional<int32_t> width,
                std::optional<int32_t> height) {
  if (!m_hwnd) return;
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (!width && !height) flags |= SWP_NOSIZE;
  const RECT rc = WindowRectOf(m_hwnd);
  const int w = width ? TwipsToPixelsX(*width) : rc.right - rc.left;
  const int h = height ? TwipsToPixelsY(*height) : rc.bottom - rc.top;
  m_startUpPosition = 0;
  SetWindowPos(m_hwnd, nullptr, TwipsToPixelsX(left), TwipsToPixelsY(top), w, h, flags);
}

void Form::SetUserMode(bool userMode) {
  if (userMode == m_userMode) return;
  m_userMode = userMode;
  for (const auto& c : m_controls) {
    if (auto* uc = dynamic_cast<UserControl*>(c.get())) uc->RaiseAmbientChanged(u"UserMode");
  }
}

// -- Controls

Control* Form::Find(std::u16string_view name, std::optional<int32_t> index) const {
  for (const auto& c : m_controls) {
    if (NamesEqual(c->Name(), name) && c->Index() == index) return c.get();
  }
  return nullptr;
}

std::vector<Control*> Form::Array(std::u16string_view name) const {
  std::vector<Control*> members;
  for (const auto& c : m_controls) {
    if (c->Index() && NamesEqual(c->Name(), name)) members.push_back(c.get());
  }
  std::sort(members.begin(), members.end(),
            [](Control* a, Control* b) { return *a->Index() < *b->Index(); });
  return members;
}

void Form::SetDefaultControl(Control* control) {
  m_default = control;
  UpdateDisplayedDefault();
}

Control* Form::ActiveControl() const {
  HWND focus = GetFocus();
  for (HWND h = focus; h && h != m_hwnd; h = GetParent(h)) {
    if (Control* c = Control::FromHwnd(h)) return c;
  }
  return m_lastFocus ? Control::FromHwnd(m_lastFocus) : nullptr;
}

Control* Form::DisplayAsDefaultControl() const {
  HWND focus = m_hwnd ? GetFocus() : nullptr;
  if (focus && IsChild(m_hwnd, focus)) {
    if (auto* uc = dynamic_cast<UserControl*>(Control::FromHwnd(focus)); uc && uc->DefaultCancel()) {
      return uc;
    }
  }
  return m_default;
}

void Form::UpdateDisplayedDefault() {
  Control* now = DisplayAsDefaultControl();
  if (now == m_displayedDefault) return;
  Control* before = std::exchange(m_displayedDefault, now);
  if (auto* uc = dynamic_cast<UserControl*>(before)) uc->RaiseAmbientChanged(u"DisplayAsDefault");
  if (auto* uc = dynamic_cast<UserControl*>(now)) uc->RaiseAmbientChanged(u"DisplayAsDefault");
}

void Form::FocusChanged(HWND focus) {
  if (focus && IsChild(m_hwnd, focus)) m_lastFocus = focus;
  UpdateDisplayedDefault();
}

void Form::SortTabOrder() {
  // The dialog manager walks the z-order, so within each container the controls
  // that take the focus are stacked in TabIndex order, first on top. Controls the
  // host draws on their container (labels, lines, shapes, images) have no window
  // and lie below them all, later ones above earlier ones, as in the design.
  std::map<HWND, std::vector<Control*>> windowed;
  for (const auto& c : m_controls) {
    if (c->hWnd()) windowed[GetParent(c->hWnd())].push_back(c.get());
  }
  std::map<HWND, HWND> lastInParent;
  auto stack = [&](Control* c) {
    HWND parent = GetParent(c->hWnd());
    auto it = lastInParent.find(parent);
    HWND after = it == lastInParent.end() ? HWND_TOP : it->second;
    SetWindowPos(c->hWnd(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    lastInParent[parent] = c->hWnd();
  };
  for (auto& [parent, list] : windowed) {
    std::stable_sort(list.begin(), list.end(),
                     [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
    for (Control* c : list) stack(c);
  }
}

Control* Form::NextInTabOrder(const Control& from) const {
  Control* best = nullptr;
  Control* first = nullptr;
  for (const auto& c : m_controls) {
    HWND h = c->hWnd();
    if (c.get() == &from || !h || !c->CanGetFocus() || !c->TabStop()) continue;
    if (!IsWindowVisible(h) || !IsWindowEnabled(h)) continue;
    if (!first || c->TabIndex() < first->TabIndex()) first = c.get();
    if (c->TabIndex() > from.TabIndex() && (!best || c->TabIndex() < best->TabIndex())) {
      best = c.get();
    }
  }
  return best ? best : first;
}

void Form::DockAligned() {
  if (!m_hwnd) return;
  // Only the form docks: each aligned control on it takes its edge of what the
  // earlier ones left of the client area. A control inside a container keeps
  // the place its design gives it, whatever its Align says: the container is
  // laid out by its designer (the status bar inside the skinned frame sits
  // within the frame's border, not over it).
  RECT free{};
  GetClientRect(m_hwnd, &free);
  for (const auto& c : m_controls) {
    if (c->Align() == 0 || !c->hWnd() || c->ContainerHwnd() != m_hwnd) continue;
    RECT rc = c->PixelRect();
    const int w = rc.right - rc.left;
    const int h = rc.bottom - rc.top;
    switch (c->Align()) {
      case 1: rc = {free.left, free.top, free.right, free.top + h}; free.top += h; break;
      case 2: rc = {free.left, free.bottom - h, free.right, free.bottom}; free.bottom -= h; break;
      case 3: rc = {free.left, free.top, free.left + w, free.bottom}; free.left += w; break;
      case 4: rc = {free.right - w, free.top, free.right, free.bottom}; free.right -= w; break;
      default: continue;
    }
    c->m_left = PixelsToTwipsX(rc.left);
    c->m_top = PixelsToTwipsY(rc.top);
    c->m_width = PixelsToTwipsX(rc.right - rc.left);
    c->m_height = PixelsToTwipsY(rc.bottom - rc.top);
    SetWindowPos(c->hWnd(), nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Form::NotifyAmbient(Control* container, std::u16string_view name) {
  for (const auto& c : m_controls) {
    if (c->Container() != container) continue;
    if (auto* uc = dynamic_cast<UserControl*>(c.get())) uc->RaiseAmbientChanged(name);
  }
}

void Form::RecordChange(Control& control, std::u16string_view property) {
  m_changes.push_back({control.QualifiedName(), std::u16string(property)});
  if (PropertyChangedHook) PropertyChangedHook(control, property);
}

namespace {

// The tooltip tool of a control: its own window, or, for a windowless control,
// its area of its container's client. False when it has neither.
bool ToolOf(HWND form, const Control& control, TTTOOLINFOW& ti) {
  ti = TTTOOLINFOW{};
  ti.cbSize = sizeof ti;
  if (control.hWnd()) {
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = form;
    ti.uId = reinterpret_cast<UINT_PTR>(control.hWnd());
    return true;
  }
  if (!control.ContainerHwnd()) return false;
  ti.uFlags = TTF_SUBCLASS;
  ti.hwnd = control.ContainerHwnd();
  ti.uId = reinterpret_cast<UINT_PTR>(&control);
  return true;
}

}  // namespace

HWND Form::ToolTipWindow() {
  // Made for the first tip: most windows have none, and each window costs a
  // round trip to the window server while the form is built.
  if (!m_toolTip && m_hwnd) {
    m_toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    if (m_toolTip) SendMessageW(m_toolTip, TTM_SETMAXTIPWIDTH, 0, 400);
    ApplyToolTipFont();
  }
  return m_toolTip;
}

void Form::UpdateToolTip(Control& control) {
  TTTOOLINFOW ti{};
  if (control.ToolTipText().empty() && !m_toolTip) return;
  if (!ToolTipWindow() || !ToolOf(m_hwnd, control, ti)) return;
  std::wstring text = ToWide(control.ToolTipText());
  // A hidden windowless control has no area to hover.
  const RECT area = control.hWnd() || !control.Visible() ? RECT{} : control.PixelRect();
  if (SendMessageW(m_toolTip, TTM_GETTOOLCOUNT, 0, 0) > 0 &&
      SendMessageW(m_toolTip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti))) {
    ti.lpszText = text.data();
    if (text.empty()) {
      SendMessageW(m_toolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
      return;
    }
    SendMessageW(m_toolTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    if (!control.hWnd()) {
      ti.rect = area;
      SendMessageW(m_toolTip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    return;
  }
  ti.lpszText = text.data();
  ti.rect = area;
  if (!text.empty()) SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Form::RemoveToolTip(Control& control) {
  TTTOOLINFOW ti{};
  if (m_toolTip && ToolOf(m_hwnd, control, ti)) {
    SendMessageW(m_toolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

UINT_PTR Form::StartTimer(Timer* timer, UINT interval) {
  if (!m_hwnd) return 0;
  const UINT_PTR id = m_nextTimerId++;
  if (!SetTimer(m_hwnd, id, interval, nullptr)) return 0;
  m_timers[id] = timer;
  return id;
}

void Form::StopTimer(UINT_PTR id) {
  if (!id) return;
  if (m_hwnd) KillTimer(m_hwnd, id);
  m_timers.erase(id);
}

void Form::QueueTab(bool shift) {
  if (m_hwnd) PostMessageW(m_hwnd, kWmSendTab, shift ? 1 : 0, 0);
}

// -- Keyboard

bool Form::PreTranslateMessage(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !msg.hwnd) return false;
  Form* form = FromHwnd(GetAncestor(msg.hwnd, GA_ROOT));
  return form && form->TranslateKeys(msg);
}

int Form::RunMessageLoop() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    if (got < 0) return -1;
    if (!PreTranslateMessage(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return static_cast<int>(msg.wParam);
}

Control* Form::FindAccessKeyTarget(char16_t ch) const {
  // Controls are searched in tab order (the windows' z-order, containers entered
  // depth first); hidden and disabled ones do not answer.
  Control* found = nullptr;
  std::function<void(HWND)> walk = [&](HWND parent) {
    for (HWND h = GetWindow(parent, GW_CHILD); h && !found; h = GetWindow(h, GW_HWNDNEXT)) {
      if (!IsShownAndEnabled(h)) continue;
      Control* c = Control::FromHwnd(h);
      if (c && c->HasAccessKey(ch)) {
        found = c;
        return;
      }
      walk(h);
    }
    if (found) return;
    // The windowless controls lie below the windows, the topmost first.
    if (WindowlessSite* site = WindowlessSite::Of(parent)) {
      const auto& drawn = site->Controls();
      for (auto it = drawn.rbegin(); it != drawn.rend(); ++it) {
        if ((*it)->Visible() && (*it)->Enabled() && (*it)->HasAccessKey(ch)) {
          found = *it;
          return;
        }
      }
    }
  };
  walk(m_hwnd);
  return found;
}

bool Form::TranslateKeys(MSG& msg) {
  HWND focus = GetFocus();
  if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
    const LRESULT code =
        focus ? SendMessageW(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) : 0;
    if (!(code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))) {
      Control* target = msg.wParam == VK_RETURN ? m_default : m_cancel;
      if (target && target->hWnd() && IsShownAndEnabled(target->hWnd())) {
        target->PressAccessKey(msg.wParam == VK_RETURN ? 13 : 27);
        return true;
      }
    }
  }
  if (msg.message == WM_SYSCHAR || msg.message == WM_CHAR) {
    const auto ch = static_cast<char16_t>(msg.wParam);
    bool mnemonic = msg.message == WM_SYSCHAR;
    if (!mnemonic && focus && ch > u' ') {
      // A plain letter is an access key only where the focused control takes no
      // characters, as in a dialog.
      const LRESULT code = SendMessageW(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
      mnemonic = !(code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | DLGC_HASSETSEL));
    }
    if (mnemonic) {
      if (Control* target = FindAccessKeyTarget(LowerChar(ch))) {
        target->PressAccessKey(LowerChar(ch));
        return true;
      }
    }
  }
  return IsDialogMessageW(m_hwnd, &msg) != FALSE;
}

// -- The window procedure

Form* Form::FromHwnd(HWND hwnd) {
  return hwnd ? static_cast<Form*>(GetPropW(hwnd, kFormProp)) : nullptr;
}

LRESULT CALLBACK Form::WndProcThunk(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  Form* self = FromHwnd(hwnd);
  if (msg == WM_NCCREATE) {
    self = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    SetPropW(hwnd, kFormProp, self);
    self->m_hwnd = hwnd;
  }
  if (!self) {
    if (msg == WM_NCDESTROY) WindowlessSite::Release(hwnd);
    return DefWindowProcW(hwnd, msg, w, l);
  }
  try {
    const LRESULT r = self->WndProc(msg, w, l);
    if (msg == WM_NCDESTROY) {
      WindowlessSite::Release(hwnd);
      RemovePropW(hwnd, kFormProp);
      self->m_hwnd = nullptr;
      self->m_toolTip = nullptr;
      self->m_toolTipFont.reset();
      detail::CountHandle(HandleKind::Window, -1);
    }
    return r;
  } catch (...) {
    return DefWindowProcW(hwnd, msg, w, l);
  }
}

LRESULT Form::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (IsRoutedMouseMessage(msg) || msg == WM_CAPTURECHANGED) {
    WindowlessSite* site = WindowlessSite::Of(m_hwnd);
    if (site && site->RouteMouse(msg, w, l)) return 0;
  }
  switch (msg) {
    case WM_CLOSE: return OnWmClose(w, l);
    case WM_ACTIVATE: return OnWmActivate(w, l);
    case WM_ERASEBKGND: return OnWmEraseBkgnd(w, l);
    case WM_PAINT: return OnWmPaint(w, l);
    case WM_GETOBJECT: return OnWmGetObject(w, l);
    case WM_PRINTCLIENT: return OnWmPrintClient(w, l);
    case WM_SIZE: return OnWmSize(w, l);
    case WM_TIMER: return OnWmTimer(w, l);
    case WM_SYSCOMMAND: return OnWmSysCommand(w, l);
    case WM_SETCURSOR:
      if (OnWmSetCursor(w, l)) return TRUE;
      break;
    case WM_DESTROY:
      // The window may go without Unload (its owner destroyed, say): the controls
      // end with it all the same, the windowless ones and their timers too.
      DestroyControls();
      return DefWindowProcW(m_hwnd, msg, w, l);
    case kWmSendTab: return OnWmSendTab(w, l);
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
    case WM_SETTINGCHANGE: return OnWmSystemChange(msg, w, l);
    case WM_DPICHANGED: return OnWmDpiChanged(w, l);
    default: break;
  }
  LRESULT result = 0;
  if (ReflectToChild(m_hwnd, msg, w, l, result)) return result;
  if (OnMessage(msg, w, l, result)) return result;
  return DefWindowProcW(m_hwnd, msg, w, l);
}

LRESULT Form::OnWmClose(WPARAM, LPARAM) {
  Unload();
  return 0;
}

LRESULT Form::OnWmActivate(WPARAM w, LPARAM l) {
  if (LOWORD(w) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(m_hwnd, focus)) m_lastFocus = focus;
    OnDeactivate();
    return DefWindowProcW(m_hwnd, WM_ACTIVATE, w, l);
  }
  // Give the focus back to the control that had it, as a dialog does; the default
  // handling would put it on the form itself.
  const bool restore = m_lastFocus && IsWindow(m_lastFocus) && IsChild(m_hwnd, m_lastFocus) &&
                       !HIWORD(w) /* not minimised */;
  if (restore) ::SetFocus(m_lastFocus);
  else DefWindowProcW(m_hwnd, WM_ACTIVATE, w, l);
  OnActivate();
  return 0;
}

LRESULT Form::OnWmEraseBkgnd(WPARAM w, LPARAM) {
  // With windowless controls on the form, the paint composes the background
  // with them: erasing first would show the bare colour for a moment.
  const WindowlessSite* site = WindowlessSite::Of(m_hwnd);
  if (site && site->HasShownControls()) return 1;
  RECT rc{};
  GetClientRect(m_hwnd, &rc);
  FillSolid(reinterpret_cast<HDC>(w), rc, ToColorRef(m_backColor));
  return 1;
}

LRESULT Form::OnWmPaint(WPARAM w, LPARAM l) {
  const WindowlessSite* site = WindowlessSite::Of(m_hwnd);
  if (!site || !site->HasShownControls()) return DefWindowProcW(m_hwnd, WM_PAINT, w, l);
  unique_hdc_paint paint(m_hwnd);
  if (!paint) return 0;
  const RECT area = paint.PaintRect();
  const COLORREF back = ToColorRef(m_backColor);
  site->Compose(paint.get(), area, [&](HDC mem) { FillSolid(mem, area, back); });
  return 0;
}

LRESULT Form::OnWmPrintClient(WPARAM w, LPARAM) {
  RECT rc{};
  GetClientRect(m_hwnd, &rc);
  const HDC dc = reinterpret_cast<HDC>(w);
  FillSolid(dc, rc, ToColorRef(m_backColor));
  if (const WindowlessSite* site = WindowlessSite::Of(m_hwnd)) site->Paint(dc, rc);
  return 0;
}

// The form's client object: the form itself as it describes itself, then its
// windowless controls as parts, then its child windows.
class Form::Accessibility final : public AccessibleSource {
 public:
  explicit Accessibility(Form& owner) : m_owner(owner) {}

  HWND AccessibleWindow() const override { return m_owner.hWnd(); }
  void DescribeSelf(AccessibleItem& self) const override { m_owner.OnAccessibleSelf(self); }
  int PartCount() const override {
    const WindowlessSite* site = WindowlessSite::Of(m_owner.hWnd());
    return site ? site->PartCount() : 0;
  }
  void DescribePart(int part, AccessibleItem& item) const override {
    if (const WindowlessSite* site = WindowlessSite::Of(m_owner.hWnd())) site->DescribePart(part, item);
  }
  bool DoDefaultAction(int part) override {
    WindowlessSite* site = WindowlessSite::Of(m_owner.hWnd());
    return part >= 0 && site && site->DoDefaultAction(part);
  }

 private:
  Form& m_owner;
};

LRESULT Form::OnWmGetObject(WPARAM w, LPARAM l) {
  if (!m_accessibility) m_accessibility = std::make_unique<Accessibility>(*this);
  if (const LRESULT r = m_accessibility->AnswerGetObject(w, l)) return r;
  return DefWindowProcW(m_hwnd, WM_GETOBJECT, w, l);
}

LRESULT Form::OnWmSize(WPARAM, LPARAM) {
  DockAligned();
  OnResize();
  return 0;
}

LRESULT Form::OnWmTimer(WPARAM w, LPARAM l) {
  auto it = m_timers.find(w);
  if (it == m_timers.end()) return DefWindowProcW(m_hwnd, WM_TIMER, w, l);
  it->second->RaiseTimer();
  return 0;
}

LRESULT Form::OnWmSysCommand(WPARAM w, LPARAM l) {
  if ((w & 0xFFF0) == SC_MOVE && !m_moveable) return 0;
  return DefWindowProcW(m_hwnd, WM_SYSCOMMAND, w, l);
}

LRESULT Form::OnWmSetCursor(WPARAM w, LPARAM l) {
  // Only the form's own client area: controls answer for theirs.
  if (reinterpret_cast<HWND>(w) == m_hwnd && LOWORD(l) == HTCLIENT) {
    if (LPCWSTR id = StandardCursorId(m_mousePointer)) {
      SetCursor(LoadCursorW(nullptr, id));
      return TRUE;
    }
  }
  return FALSE;
}

LRESULT Form::OnWmSendTab(WPARAM w, LPARAM) {
  HWND focus = GetFocus();
  if (focus && !IsChild(m_hwnd, focus)) return 0;
  HWND next = GetNextDlgTabItem(m_hwnd, focus, w != 0);
  if (next) ::SetFocus(next);
  return 0;
}

LRESULT Form::OnWmSystemChange(UINT msg, WPARAM w, LPARAM l) {
  ForwardSystemChange(m_hwnd, msg, w, l);
  InvalidateRect(m_hwnd, nullptr, TRUE);
  return DefWindowProcW(m_hwnd, msg, w, l);
}

LRESULT Form::OnWmDpiChanged(WPARAM w, LPARAM l) {
  // The platform's answer for the window may not follow the message yet (and
  // does not when the message is only sent): the message's dpi is the one.
  const int dpi = HIWORD(w);
  if (dpi <= 0) return 0;
  m_dpi = dpi;
  // Twips are the design's units and stay; every pixel follows from them anew:
  // the windows first, so that what each control makes at the new dpi fits the
  // place it already has.
  for (const auto& c : m_controls) {
    c->ApplyWindowRect();
    c->OnMoved();
  }
  if (const auto* suggested = reinterpret_cast<const RECT*>(l)) {
    SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  DockAligned();
  ApplyToolTipFont();
  for (const auto& c : m_controls) c->ApplyDpi();
  OnDpiChanged();
  RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return 0;
}

}  // namespace fw
