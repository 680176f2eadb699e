#include "controls/JCombo/JCombo.h"

#include <oleacc.h>

#include <cstdint>
#include <limits>
#include <stdexcept>

#include "controls/JCombo/ListFile.h"
#include "host/Form.h"
#include "host/ItemList.h"
#include "host/WideText.h"

namespace fw {

using namespace jcombo;

namespace {

constexpr const char16_t* kLookResources[] = {u"JCOMBO_BUTTON_NORMAL", u"JCOMBO_BUTTON_HOT",
                                              u"JCOMBO_BUTTON_PRESSED", u"JCOMBO_BUTTON_DISABLED"};

// ListIndex is saved as a 16-bit value.
int16_t To16(int32_t v) {
  return static_cast<int16_t>(v < INT16_MIN ? INT16_MIN : v > INT16_MAX ? INT16_MAX : v);
}

// Posted to itself: the list drops once a tool's call has returned (the drop
// lets waiting window events run).
UINT ToolDropMessage() {
  static const UINT message = RegisterWindowMessageW(L"FuelwiseComboToolDrop");
  return message;
}

// Posted to itself when the list drops: once it shows, its selected item is
// where a reader's focus is.
UINT ListDroppedMessage() {
  static const UINT message = RegisterWindowMessageW(L"FuelwiseComboListDropped");
  return message;
}

}  // namespace

// The platform's drop-down list: items only, no edit box of its own (the face's
// text box is the edit box), never a tab stop.
class JCombo::InnerList : public ComboBox {
 public:
  InnerList() {
    PropertyStore p;
    p.Set(u"Style", int32_t{2});
    OnBeforeCreate(p);
  }
};

// The face's text box: no border of its own (the face draws one).
class JCombo::FaceText : public TextBox {
 public:
  FaceText() {
    PropertyStore p;
    p.Set(u"BorderStyle", int32_t{0});
    OnBeforeCreate(p);
  }
};

// The tag codes' view of the inner list.
class JCombo::ListStore : public ItemStore {
 public:
  explicit ListStore(const ComboBox& box) : m_box(box) {}

  int32_t Count() const override { return List().Count(); }
  std::u16string Item(int32_t index) const override {
    return index >= 0 && index < Count() ? List().Item(index) : std::u16string();
  }
  void Insert(std::u16string_view text, std::optional<int32_t> index) override {
    List().Add(text, index);
  }
  void Replace(int32_t index, std::u16string_view text) override {
    // The platform has no replace: a delete and an insert, keeping the selection.
    const int32_t selected = List().Selection();
    List().Remove(index);
    List().Add(text, index);
    if (selected == index) List().Select(index);
  }
  void Remove(int32_t index) override { List().Remove(index); }
  void Clear() override { List().Clear(); }

 private:
  ItemList List() const { return ItemList(m_box.hWnd(), kComboBoxMessages); }
  const ComboBox& m_box;
};

// The text box as readers meet it: the platform's editable text, named by the
// label the control has.
class JCombo::FieldAnswer final : public ForeignAccessibleSource {
 public:
  explicit FieldAnswer(const JCombo& owner) : m_owner(owner) {}
  void DescribeSelf(AccessibleItem& self) const override { self.name = m_owner.LabelName(); }

 private:
  const JCombo& m_owner;
};

// The platform's combo box behind the face, which holds the keyboard while the
// list is dropped: named by the label, its value the text the control shows.
class JCombo::ComboAnswer final : public ForeignAccessibleSource {
 public:
  explicit ComboAnswer(const JCombo& owner) : m_owner(owner) {}
  void DescribeSelf(AccessibleItem& self) const override {
    self.role = ROLE_SYSTEM_COMBOBOX;
    self.name = m_owner.LabelName();
    self.value = m_owner.Text();
  }

 private:
  const JCombo& m_owner;
};

// The dropped list: a list named by the label, its items list items, the
// selected one selected and, while the list has the keyboard, focused.
class JCombo::ListAnswer final : public ForeignAccessibleSource {
 public:
  explicit ListAnswer(JCombo& owner) : m_owner(owner) {}
  void DescribeSelf(AccessibleItem& self) const override {
    self.role = ROLE_SYSTEM_LIST;
    self.name = m_owner.LabelName();
  }
  int PartCount() const override { return m_owner.ListCount(); }
  void DescribePart(int part, AccessibleItem& item) const override {
    item.role = ROLE_SYSTEM_LISTITEM;
    item.name = m_owner.m_store->Item(part);
    const HWND list = AccessibleWindow();
    long state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (part == m_owner.ListIndex()) {
      state |= STATE_SYSTEM_SELECTED;
      if (m_owner.Dropped()) state |= STATE_SYSTEM_FOCUSED;
    }
    RECT rc{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&rc));
    RECT client{};
    GetClientRect(list, &client);
    RECT shown{};
    if (!IsWindowVisible(list) || !IntersectRect(&shown, &rc, &client)) state |= STATE_SYSTEM_INVISIBLE;
    item.state = state;
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    item.location = rc;
  }
  // Selecting an item moves the list's selection, as an arrow key does; the
  // choice is made when the list closes on it.
  bool Select(int part, long flags) override {
    if (part < 0) return AccessibleSource::Select(part, flags);
    if (!(flags & (SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS | SELFLAG_ADDSELECTION))) return false;
    if (part >= m_owner.ListCount()) return false;
    m_owner.Items().Select(part);
    if (m_owner.Dropped()) {
      m_owner.OnListSelectionMoved();
    } else {
      m_owner.OnListChoose();
    }
    return true;
  }
  std::vector<int> SelectedParts() const override {
    const int32_t selected = m_owner.ListIndex();
    if (selected < 0) return {};
    return {static_cast<int>(selected)};
  }

 private:
  JCombo& m_owner;
};

JCombo::JCombo()
    : UserControl(u"JCombo", /*container=*/true),
      m_listOwner(std::make_unique<InnerList>()),
      m_textOwner(std::make_unique<FaceText>()),
      m_list(*m_listOwner),
      m_text(*m_textOwner),
      m_store(std::make_unique<ListStore>(m_list)),
      m_fieldAnswer(std::make_unique<FieldAnswer>(*this)),
      m_comboAnswer(std::make_unique<ComboAnswer>(*this)),
      m_listAnswer(std::make_unique<ListAnswer>(*this)),
      m_items(*m_store) {}

JCombo::~JCombo() {
  // The window goes first, with the parts in it, while every member still
  // exists; its last messages stay away from this half-destroyed object.
  if (hWnd()) SetWindowLongPtrW(hWnd(), GWLP_USERDATA, 0);
  DestroyDetached();
}

// -- Building

void JCombo::OnCreated() {
  UserControl::OnCreated();
  for (size_t k = 0; k < m_img.size(); ++k) m_img[k] = Picture::FromResource(kLookResources[k]);
  m_font = UserControl::GetFont();

  // Layout moves the parts to their places once the properties are in.
  const int w = ScaleWidth();
  if (m_list.Create(hWnd(), RECT{0, 2, w, 23}, u"JCombo")) {
    m_list.SetTabStop(false);
    // A selection moved in the dropped list is not yet a choice (the arrow
    // keys pass items on their way): the choice is the item the list closes
    // on (CBN_SELENDOK). A selection set while the list is closed chooses.
    m_list.Click = [this] {
      if (Dropped()) {
        OnListSelectionMoved();
      } else {
        OnListChoose();
      }
    };
    m_list.DropDown = [this] {
      m_indexAtDrop = ListIndex();
      PostMessageW(hWnd(), ListDroppedMessage(), 0, 0);
    };
    m_list.SetVisible(true);
    m_comboAnswer->AnswerFor(m_list.hWnd());
    m_listAnswer->AnswerFor(DroppedListHwnd());
  }
  if (m_face.Create(hWnd(), RECT{0, 0, w, 31}, u"BackMain")) {
    PropertyStore p;
    p.Set(u"BackColor", kDefaultBackColor);
    p.Set(u"BorderStyle", int32_t{0});
    m_face.ReadProperties(p);
    m_face.MouseMove = [this](int b, int s, float x, float y) {
      RaiseMouse(MouseMove, m_face.hWnd(), b, s, x, y);
    };
    m_face.SetVisible(true);
  }
  if (m_text.Create(m_face.hWnd(), RECT{5, 4, w - 20, 20}, u"JTexto")) {
    m_text.SetBackColor(kDefaultBackColor);
    m_text.SetText(u"0");
    m_text.Change = [this] { OnTextChange(); };
    m_text.KeyDown = [this](int& k, int s) { OnTextKeyDown(k, s); };
    m_text.KeyPress = [this](int& k) {
      if (KeyPress) KeyPress(k);
    };
    m_text.KeyUp = [this](int& k, int s) {
      if (KeyUp) KeyUp(k, s);
    };
    m_text.MouseDown = [this](int b, int s, float x, float y) { OnTextMouseDown(b, s, x, y); };
    m_text.MouseUp = [this](int b, int s, float x, float y) { OnTextMouseUp(b, s, x, y); };
    m_text.MouseMove = [this](int b, int s, float x, float y) {
      RaiseMouse(MouseMove, m_text.hWnd(), b, s, x, y);
    };
    // Assistive technology hears the platform announce the text box; the combo
    // box it belongs to follows, so a reader says which field it is and ends
    // on the control's own object.
    m_text.GotFocus = [this] { NotifyAccessibleFocus(); };
    m_text.SetVisible(true);
    m_fieldAnswer->AnswerFor(m_text.hWnd());
  }
  if (m_button.Create(m_face.hWnd(), RECT{w - 19, 2, w - 2, 19}, u"JImgCbo")) {
    PropertyStore p;
    p.Set(u"BackColor", kDefaultBackColor);
    p.Set(u"BorderStyle", int32_t{0});
    m_button.ReadProperties(p);
    m_button.SetPicture(m_img[kLookNormal]);
    m_button.MouseDown = [this](int b, int s, float x, float y) { OnButtonMouseDown(b, s, x, y); };
    m_button.MouseMove = [this](int b, int s, float x, float y) { OnButtonMouseMove(b, s, x, y); };
    m_button.SetVisible(true);
  }
  if (m_border.Create(m_face.hWnd(), RECT{0, 0, w, 21}, u"ShapeBorder")) {
    m_border.SetBorderColor(kBorderEnabled);
    // Below the text box and the button: it draws only where they leave the face.
    SetWindowPos(m_border.hWnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_border.SetVisible(true);
  }
  // The face lies over the platform's combo box, which shows only its dropped list.
  SetWindowPos(m_list.hWnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ApplyFont();
  SetWindowCaption(m_text.Text());
}

void JCombo::ApplyFont() {
  // One font object for the text box, the dropped list and the control itself.
  UserControl::SetFont(m_font);
  m_text.SetFont(m_font);
  m_list.SetFont(m_font);
  m_fontSubscription = m_font->Subscribe([this] { Layout(); });
}

void JCombo::OnInitProperties() {
  // A new control: the members' defaults (Enabled and TagCode false, no file).
  Layout();
}

void JCombo::OnReadProperties(const PropertyStore& p) {
  // The text box's properties first; BackColor read from a design colours the
  // text box alone.
  m_text.SetText(p.ReadText(u"Text", u"0"));
  m_text.SetBackColor(p.ReadColour(u"BackColor", kDefaultBackColor));
  if (p.Contains(u"Font")) m_font->SetValue(p.ReadFont(u"Font", m_font->Value()));
  m_text.SetForeColor(p.ReadColour(u"ForeColor", kDefaultForeColor));
  m_text.SetLocked(p.ReadBool(u"Locked", false));
  m_text.SetMaxLength(p.ReadInt32In(u"MaxLength", 0, 0, std::numeric_limits<int32_t>::max()));
  m_toolTipText = p.ReadText(u"ToolTipText", u"");
  m_text.SetToolTipText(m_toolTipText);
  m_fieldName = p.ReadText(u"FieldName", u"");
  // The list is empty while a design is read: a saved selection finds no item,
  // and then stays unselected, as the platform leaves it.
  Items().Select(p.ReadInt16(u"ListIndex", -1));
  Layout();
  // The flag alone: the text box, the button and the border keep their looks.
  m_enabled = p.ReadBool(u"Enabled", false);
  m_items.SetTagMode(p.ReadBool(u"TagCode", false));
  m_fileName = p.ReadText(u"FileName", u"");
}

void JCombo::OnWriteProperties(PropertyStore& p) {
  const AmbientProperties ambient = Ambient();
  p.Write(u"Text", Text(), u"0");
  p.Write(u"BackColor", BackColor(), kDefaultBackColor);
  p.Write(u"Font", m_font->Value(), ambient.font->Value());
  p.Write(u"ForeColor", ForeColor(), kDefaultForeColor);
  p.Write(u"ListIndex", To16(ListIndex()), int16_t{-1});
  p.Write(u"Locked", Locked(), false);
  p.Write(u"MaxLength", MaxLength(), int32_t{0});
  p.Write(u"ToolTipText", m_toolTipText, u"");
  p.Write(u"FieldName", m_fieldName, u"");
  p.Write(u"Enabled", m_enabled, false);
  p.Write(u"TagCode", m_items.TagMode(), false);
  // Read-only properties, so never read back: they are written only so that a
  // saved design records the selection the control had.
  p.Write(u"SelStart", SelStart(), int32_t{0});
  p.Write(u"SelLength", SelLength(), int32_t{0});
  p.Write(u"SelText", SelText(), u"");
  p.Write(u"FileName", m_fileName, u"");
}

// -- Layout

void JCombo::OnResize() { Layout(); }

void JCombo::Layout() {
  if (m_layingOut || !hWnd()) return;
  m_layingOut = true;
  const jcombo::Layout l = ComputeLayout(Width(), m_font ? m_font->Size() : 9.0);
  m_face.Move(0, 0, l.width, kFaceHeight);
  m_border.Move(0, 0, l.width, kHeight);
  m_button.Move(l.buttonLeft, kButtonTop, kButtonSide, kButtonSide);
  m_list.Move(0, kListTop, l.width, kHeight);
  if (Width() != l.width || Height() != l.height) Move(Left(), Top(), l.width, l.height);
  m_text.Move(kTextLeft, l.textTop, l.textWidth, l.textHeight);
  m_layingOut = false;
}

// -- Properties

std::u16string JCombo::Text() const { return m_text.Text(); }

void JCombo::SetText(std::u16string_view text) {
  SetBoxText(text);
  PropertyChanged(u"Text");
}

Colour JCombo::BackColor() const { return m_text.BackColor(); }

void JCombo::SetBackColor(Colour colour) {
  m_text.SetBackColor(colour);
  m_face.SetBackColor(colour);
  m_face.Refresh();
  PropertyChanged(u"BackColor");
}

void JCombo::SetFont(std::shared_ptr<Font> font) {
  if (!font) return;
  m_font = std::move(font);
  ApplyFont();
  Layout();
  PropertyChanged(u"Font");
}

Colour JCombo::ForeColor() const { return m_text.ForeColor(); }

void JCombo::SetForeColor(Colour colour) {
  m_text.SetForeColor(colour);
  PropertyChanged(u"ForeColor");
}

int32_t JCombo::ListIndex() const { return Items().Selection(); }

void JCombo::SetListIndex(int32_t index) {
  if (index < -1 || index >= ListCount()) throw std::out_of_range("ListIndex: no item at that index");
  Items().Select(index);
  PropertyChanged(u"ListIndex");
  if (index >= 0) SetBoxText(ListText());
}

int32_t JCombo::ListCount() const { return m_store->Count(); }

bool JCombo::Locked() const { return m_text.Locked(); }

void JCombo::SetLocked(bool locked) {
  m_text.SetLocked(locked);
  PropertyChanged(u"Locked");
}

int32_t JCombo::MaxLength() const { return m_text.MaxLength(); }

void JCombo::SetMaxLength(int32_t length) {
  m_text.SetMaxLength(length);
  PropertyChanged(u"MaxLength");
}

void JCombo::SetToolTipText(std::u16string_view text) {
  m_toolTipText = text;
  m_text.SetToolTipText(m_toolTipText);
  PropertyChanged(u"ToolTipText");
}

void JCombo::SetFieldName(std::u16string_view name) {
  m_fieldName = name;
  PropertyChanged(u"FieldName");
}

int32_t JCombo::SelStart() const { return m_text.SelStart(); }
int32_t JCombo::SelLength() const { return m_text.SelLength(); }
std::u16string JCombo::SelText() const { return m_text.SelText(); }

void JCombo::SetTagCode(bool on) {
  m_items.SetTagMode(on);
  PropertyChanged(u"TagCode");
}

void JCombo::SetEnabled(bool enabled) {
  m_enabled = enabled;
  PropertyChanged(u"Enabled");
  m_text.SetEnabled(enabled);
  if (enabled) {
    ResetPic();
    m_border.SetBorderColor(kBorderEnabled);
  } else {
    ShowLook(kLookDisabled);
    m_border.SetBorderColor(kBorderDisabled);
  }
  m_border.Refresh();
}

void JCombo::SetFileName(std::u16string_view name) {
  m_fileName = name;
  PropertyChanged(u"FileName");
}

// -- Methods

void JCombo::AddItem(std::u16string_view item, std::optional<int32_t> index) {
  m_items.Add(item, index);
  SelectItem(m_items.Current());
  HWND self = hWnd();
  SetBoxText(ListText());
  if (IsWindow(self)) RaiseChange();
}

void JCombo::UpdateItem(std::u16string_view item, int32_t index) {
  if (!m_items.Update(item, index)) return;
  HWND self = hWnd();
  SetBoxText(ListText());
  if (IsWindow(self)) RaiseChange();
}

std::u16string JCombo::GetItem(std::optional<int32_t> index) const { return m_items.Get(index); }

void JCombo::RemoveItem(std::optional<int32_t> index) {
  if (m_items.Remove(index)) RaiseChange();
}

void JCombo::Clear() { m_items.Clear(); }

std::u16string JCombo::GetTagCode() const {
  const int32_t selected = ListIndex();
  if (selected < 0 || !m_items.TagMode()) return {};
  return m_items.TagOf(selected);
}

bool JCombo::SetTagCode(std::u16string_view code, int32_t& startingFromIndex) {
  const std::optional<int32_t> found = m_items.FindTag(code, startingFromIndex);
  HWND self = hWnd();
  if (found) {
    SelectItem(*found);
    SetBoxText(ListText());
  } else {
    Items().Select(-1);
    SetBoxText(u"");
  }
  if (IsWindow(self)) RaiseChange();
  return found.has_value();
}

std::wstring JCombo::ListFilePath() const {
  const std::u16string name = TrimBlanks(m_fileName);
  if (!name.empty()) return ToWide(name);
  std::wstring exe(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
    if (n < exe.size()) {
      exe.resize(n);
      break;
    }
    exe.resize(exe.size() * 2);
  }
  const size_t slash = exe.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"." : exe.substr(0, slash);
  // The qualified name: two members of one array keep two files.
  return folder + L"\\" + ToWide(QualifiedName()) + L".Txt";
}

void JCombo::SaveToFile() {
  try {
    ReplaceFileContents(ListFilePath(), EncodeListFile(m_items.FileLines()));
  } catch (...) {
    // A save that cannot be made leaves the old file and says nothing.
  }
}

bool JCombo::LoadedFromFile() {
  try {
    const auto bytes = ReadWholeFile(ListFilePath());
    if (!bytes || bytes->empty()) return false;
    // A file of no encoding one can tell leaves the list as it was.
    const auto text = DecodeListFile(*bytes, DecodeGbkRun);
    if (!text) return false;
    return m_items.Load(ListFileLines(*text));
  } catch (...) {
    return false;
  }
}

void JCombo::ResetPic() {
  if (ShownLook() != kLookNormal) ShowLook(kLookNormal);
}

int JCombo::ShownLook() const {
  const std::shared_ptr<Picture>& shown = m_button.GetPicture();
  for (size_t k = 0; k < m_img.size(); ++k) {
    if (shown && shown == m_img[k]) return static_cast<int>(k);
  }
  return -1;
}

// -- Events of the parts

void JCombo::OnTextChange() {
  // The control's own window text follows, for tools that read windows.
  SetWindowCaption(m_text.Text());
  NotifyAccessibleValueChange();
  RaiseChange();
}

void JCombo::OnTextMouseDown(int button, int shift, float x, float y) {
  if (button == kButtonLeft) m_textPressed = true;
  RaiseMouse(MouseDown, m_text.hWnd(), button, shift, x, y);
}

void JCombo::OnTextMouseUp(int button, int shift, float x, float y) {
  if (button != kButtonLeft || !m_textPressed) return;
  m_textPressed = false;
  RECT rc{};
  GetClientRect(m_text.hWnd(), &rc);
  if (x >= 0 && y >= 0 && x < rc.right && y < rc.bottom && Click) Click();
}

void JCombo::OnTextKeyDown(int& keyCode, int shift) {
  if (KeyDown) KeyDown(keyCode, shift);
  // F4 and Alt+Down drop the list, as on the platform's combo boxes; the keys
  // then move through the list. Alt+F4 is left to close the window.
  const bool alt = (shift & kAltMask) != 0;
  if ((keyCode == VK_F4 && !alt) || (keyCode == VK_DOWN && alt)) {
    keyCode = 0;
    if (ShownLook() != kLookDisabled) OpenCombo();
  } else if ((keyCode == VK_UP || keyCode == VK_DOWN) && !alt) {
    const int step = keyCode == VK_UP ? -1 : 1;
    keyCode = 0;
    if (ShownLook() != kLookDisabled) ChooseNeighbour(step);
  }
}

void JCombo::ChooseNeighbour(int step) {
  // The keys step from the item the text shows, as the platform's list follows
  // its edit box: a text no item has (a prompt, something typed) starts from
  // none, whatever the list still has selected.
  const int32_t count = ListCount();
  const std::u16string text = Text();
  int32_t at = ListIndex();
  if (at < 0 || m_store->Item(at) != text) {
    at = -1;
    for (int32_t i = 0; i < count && at < 0; ++i) {
      if (m_store->Item(i) == text) at = i;
    }
  }
  const int32_t to = at < 0 ? 0 : at + step;
  if (to < 0 || to >= count || (to == at && to == ListIndex())) return;
  Items().Select(to);
  OnListChoose();
}

void JCombo::OnButtonMouseDown(int, int, float, float) {
  if (ShownLook() == kLookDisabled) return;
  OpenCombo();
}

void JCombo::OnButtonMouseMove(int button, int shift, float x, float y) {
  if (ShownLook() == kLookDisabled) return;
  if (ShownLook() != kLookHot) ShowLook(kLookHot);
  RaiseMouse(MouseMove, m_button.hWnd(), button, shift, x, y);
}

void JCombo::OnListChoose() { SetBoxText(ListText()); }

void JCombo::OnListSelectionMoved() {
  HWND list = DroppedListHwnd();
  const int32_t selected = ListIndex();
  if (!list || selected < 0) return;
  NotifyWinEvent(EVENT_OBJECT_SELECTION, list, OBJID_CLIENT, selected + 1);
  NotifyWinEvent(EVENT_OBJECT_FOCUS, list, OBJID_CLIENT, selected + 1);
}

void JCombo::OnListDropped() {
  if (!Dropped()) return;
  HWND list = DroppedListHwnd();
  const int32_t selected = ListIndex();
  NotifyWinEvent(EVENT_OBJECT_FOCUS, list, OBJID_CLIENT, selected >= 0 ? selected + 1 : CHILDID_SELF);
}

bool JCombo::Dropped() const {
  return m_list.hWnd() && SendMessageW(m_list.hWnd(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

std::u16string JCombo::DropVerb() const { return Dropped() ? u"Close" : u"Open"; }

void JCombo::OnListCloseUp() {
  // The list had the keyboard while it was dropped; the text box takes it back.
  if (GetFocus() == m_list.hWnd()) m_text.SetFocus();
}

void JCombo::OnGotFocus() {
  // The control itself shows nothing to type into: its text box does.
  m_text.SetFocus();
}

bool JCombo::OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  if (msg == ToolDropMessage()) {
    if (ShownLook() != kLookDisabled) OpenCombo();
    result = 0;
    return true;
  }
  if (msg == ListDroppedMessage()) {
    OnListDropped();
    result = 0;
    return true;
  }
  if (msg == WM_COMMAND && reinterpret_cast<HWND>(l) == m_list.hWnd()) {
    switch (HIWORD(w)) {
      case CBN_CLOSEUP: OnListCloseUp(); break;
      case CBN_SELENDOK: OnListChoose(); break;  // the list closes on an item: the choice
      case CBN_SELENDCANCEL:
        // Closed on nothing (Escape, a click elsewhere): the selection the
        // keys or the pointer moved goes back to the one the text shows. The
        // platform says this also when the closed box loses the keyboard.
        if (Dropped() && ListIndex() != m_indexAtDrop && m_indexAtDrop < ListCount()) {
          Items().Select(m_indexAtDrop);
        }
        break;
      default: return false;
    }
    result = 0;
    return true;
  }
  return false;
}

// -- Assistive technology

HWND JCombo::DroppedListHwnd() const {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  return m_list.hWnd() && GetComboBoxInfo(m_list.hWnd(), &info) ? info.hwndList : nullptr;
}

void JCombo::OnAccessibleSelf(AccessibleItem& self) const {
  self.role = ROLE_SYSTEM_COMBOBOX;
  self.name = LabelName();
  self.value = Text();
  const bool dropped = Dropped();
  self.defaultAction = DropVerb();
  long state = dropped ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
  if (!hWnd() || !IsWindowVisible(hWnd())) state |= STATE_SYSTEM_INVISIBLE;
  if (!IsWindowEnabled(m_text.hWnd()) || ShownLook() == kLookDisabled) {
    state |= STATE_SYSTEM_UNAVAILABLE;
  } else {
    state |= STATE_SYSTEM_FOCUSABLE;
  }
  const HWND focus = GetFocus();
  if (focus && (focus == hWnd() || IsChild(hWnd(), focus))) state |= STATE_SYSTEM_FOCUSED;
  self.state = state;
}

void JCombo::OnAccessiblePart(int part, AccessibleItem& item) const {
  if (part != 0) return;
  item.role = ROLE_SYSTEM_PUSHBUTTON;
  item.name = DropVerb();
  item.defaultAction = DropVerb();
  item.keyboardShortcut = u"Alt+Down";
  long state = 0;
  if (!m_button.hWnd() || !IsWindowVisible(m_button.hWnd())) state |= STATE_SYSTEM_INVISIBLE;
  if (ShownLook() == kLookDisabled) state |= STATE_SYSTEM_UNAVAILABLE;
  if (ShownLook() == kLookPressed) state |= STATE_SYSTEM_PRESSED;
  item.state = state;
  RECT rc{};
  if (m_button.hWnd()) GetWindowRect(m_button.hWnd(), &rc);
  item.location = rc;
}

bool JCombo::OnAccessibleDefaultAction(int part) {
  if (part > 0 || ShownLook() == kLookDisabled || !hWnd()) return false;
  return PostMessageW(hWnd(), ToolDropMessage(), 0, 0) != 0;
}

bool JCombo::OnAccessibleSetValue(int part, std::u16string_view value) {
  if (part != -1 || ShownLook() == kLookDisabled) return false;
  // An item's text chooses that item, as a choice in the list does; any other
  // text is typed into the text box, unless it is locked.
  const int32_t count = ListCount();
  for (int32_t i = 0; i < count; ++i) {
    if (m_store->Item(i) == value) {
      Items().Select(i);
      OnListChoose();
      return true;
    }
  }
  if (Locked()) return false;
  SetBoxText(value);
  return true;
}

void JCombo::OnAccessibleChildWindows(std::vector<HWND>& windows) const {
  // The face and the platform's closed combo box are drawing and storage; a
  // reader finds the text box and the list.
  windows.clear();
  if (m_text.hWnd()) windows.push_back(m_text.hWnd());
  if (HWND list = DroppedListHwnd()) windows.push_back(list);
}

// -- Helpers

void JCombo::OpenCombo() {
  ShowLook(kLookPressed);
  HWND list = m_list.hWnd();
  const bool dropped = SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0) != 0;
  // A dropped list takes the keyboard, and closes when it loses it, as the
  // platform's own combo boxes do.
  if (!dropped) ::SetFocus(list);
  SendMessageW(list, CB_SHOWDROPDOWN, dropped ? FALSE : TRUE, 0);
  HWND self = hWnd();
  DoEvents();
  if (IsWindow(self)) ResetPic();
}

void JCombo::ShowLook(ButtonLook look) {
  if (m_button.GetPicture() != m_img[look]) m_button.SetPicture(m_img[look]);
}

ItemList JCombo::Items() const { return ItemList(m_list.hWnd(), kComboBoxMessages); }

std::u16string JCombo::ListText() const {
  const int32_t selected = ListIndex();
  return selected >= 0 ? m_store->Item(selected) : std::u16string();
}

void JCombo::SetBoxText(std::u16string_view text) {
  if (m_text.Text() != text) m_text.SetText(text);
}

void JCombo::SelectItem(int32_t index) {
  if (index >= 0 && index < ListCount()) Items().Select(index);
}

void JCombo::RaiseChange() {
  if (Change) Change();
}

void JCombo::RaiseMouse(const MouseHandler& handler, HWND part, int button, int shift, float x,
                        float y) {
  if (!handler) return;
  POINT origin{0, 0};
  MapWindowPoints(part, hWnd(), &origin, 1);
  handler(button, shift, x + static_cast<float>(origin.x), y + static_cast<float>(origin.y));
}

void RegisterJCombo() {
  RegisterControlKind(u"JCombo", [] { return std::make_unique<JCombo>(); });
}

}  // namespace fw
