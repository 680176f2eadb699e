// JCombo: the image combo box. A flat white face (BackMain) holds a borderless
// text box (JTexto) that shows and edits the current text, a picture button
// (JImgCbo) whose picture follows the mouse, and a rectangle border
// (ShapeBorder). Behind the face lies a platform combo box (a drop-down list)
// that holds the items and shows the dropped list when the button is pressed;
// it keeps its class, so tools that read combo boxes (CB_GETCOUNT,
// CB_GETLBTEXT, CB_GETCURSEL, WM_GETTEXT) read this one too.
//
// Items may carry a tag code ("TAG=Text": the tag is kept beside the visible
// text) for items 0 to 99; later items are plain items. The list can be saved
// to a text file and read back (see ListFilePath and jcombo::DecodeListFile for
// the encodings read: UTF-8 with or without a byte order mark, UTF-16 with a
// byte order mark or without one, and GBK).
//
// Events are raised synchronously; key and mouse arguments are by reference
// from the text box, so a handler that sets KeyAscii to 0 cancels the character.
// Mouse coordinates are pixels of the control's own client area, whichever
// part raised them.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "controls/JCombo/JComboModel.h"
#include "host/ComboBox.h"
#include "host/Input.h"
#include "host/ItemList.h"
#include "host/PictureBox.h"
#include "host/Shape.h"
#include "host/TextBox.h"
#include "host/UserControl.h"

namespace fw {

class JCombo : public UserControl {
 public:
  // The drop button's pictures, as Img(0) .. Img(3).
  enum ButtonLook : int { kLookNormal = 0, kLookHot = 1, kLookPressed = 2, kLookDisabled = 3 };

  static constexpr Colour kDefaultBackColor{0xFFFFFFu};
  static constexpr Colour kDefaultForeColor = SystemColour(COLOR_WINDOWTEXT);
  static constexpr Colour kBorderEnabled{0xB99D7Fu};
  static constexpr Colour kBorderDisabled{0xC0C0C0u};

  JCombo();
  ~JCombo() override;

  // -- Properties (each set reports the change to the host)
  std::u16string Text() const;
  void SetText(std::u16string_view text);
  // The text box's back colour; a set colours the face as well.
  Colour BackColor() const;
  void SetBackColor(Colour colour);
  std::optional<Colour> BackColorValue() const override { return BackColor(); }
  bool SetBackColorValue(Colour colour) override {
    SetBackColor(colour);
    return true;
  }
  // The text box's font object (the dropped list shows it too); a set, or a
  // change to the object, lays the control out anew.
  const std::shared_ptr<Font>& GetFont() const { return m_font; }
  void SetFont(std::shared_ptr<Font> font);
  Colour ForeColor() const;
  void SetForeColor(Colour colour);
  // The inner list's selection, -1 for none. Throws std::out_of_range for an
  // index outside -1 .. ListCount() - 1.
  int32_t ListIndex() const;
  void SetListIndex(int32_t index);
  int32_t ListCount() const;
  bool Locked() const;
  void SetLocked(bool locked);
  int32_t MaxLength() const;
  void SetMaxLength(int32_t length);
  // The text box's tooltip.
  const std::u16string& ToolTipText() const { return m_toolTipText; }
  void SetToolTipText(std::u16string_view text);
  // Kept for the host's data binding; the control does not use it.
  const std::u16string& FieldName() const { return m_fieldName; }
  void SetFieldName(std::u16string_view name);
  // The text box's selection (saved, never read back).
  int32_t SelStart() const;
  int32_t SelLength() const;
  std::u16string SelText() const;
  // Tag-code mode: items are "TAG=Text".
  bool TagCode() const { return m_items.TagMode(); }
  void SetTagCode(bool on);
  // The property, not the window state: a new control reads false while its
  // text box works; setting it enables or disables the text box and shows the
  // button and border for that state.
  bool Enabled() const { return m_enabled; }
  void SetEnabled(bool enabled) override;
  // The list file; empty: the default one (ListFilePath).
  const std::u16string& FileName() const { return m_fileName; }
  void SetFileName(std::u16string_view name);

  // -- Methods
  // Adds an item (in tag-code mode "TAG=Text"; an empty text adds nothing), at
  // `index` or at the end; selects the item added last and shows its text.
  // Raises Change.
  void AddItem(std::u16string_view item, std::optional<int32_t> index = {});
  // Replaces item `index` and shows the selected item's text; nothing happens
  // for an index outside the list. Raises Change.
  void UpdateItem(std::u16string_view item, int32_t index);
  // Item `index` (the last without one), "TAG=Text" in tag-code mode for items
  // 0 to 99.
  std::u16string GetItem(std::optional<int32_t> index = {}) const;
  // Removes item `index` (the last without one). Throws std::out_of_range for an
  // index beyond the list. Raises Change.
  void RemoveItem(std::optional<int32_t> index = {});
  // Empties the list; the text box keeps its text; no event.
  void Clear();
  // The selected item's tag in tag-code mode, else "".
  std::u16string GetTagCode() const;
  // Selects the first item from `startingFromIndex` on whose tag is `code`
  // (blanks and letter case ignored) and moves `startingFromIndex` past it;
  // not found: no selection and an empty text. Raises Change.
  bool SetTagCode(std::u16string_view code, int32_t& startingFromIndex);
  // Writes the list to the list file (UTF-8), replacing the old file only once
  // the new one is complete. Failures are silent.
  void SaveToFile();
  // Reads the list file; false (the list unchanged) when it is missing,
  // unreadable or holds no line of more than one character.
  bool LoadedFromFile();
  // Shows the button's normal picture.
  void ResetPic();

  // The list file: FileName trimmed, or the program's folder, "\", the
  // control's name on its form ("comWhere(1)" for an array member) and ".Txt".
  std::wstring ListFilePath() const;

  // -- Events
  EventHandler Click;
  EventHandler Change;
  MouseHandler MouseMove;
  MouseHandler MouseDown;
  KeyPressHandler KeyPress;
  KeyHandler KeyDown;
  KeyHandler KeyUp;

  // -- The parts, for those who look at what was drawn
  HWND InnerComboHwnd() const { return m_list.hWnd(); }
  const TextBox& TextPart() const { return m_text; }
  const PictureBox& FacePart() const { return m_face; }
  const PictureBox& ButtonPart() const { return m_button; }
  const Shape& BorderPart() const { return m_border; }
  // The picture the button shows, or -1 when it shows none of the four.
  int ShownLook() const;

 protected:
  void OnCreated() override;
  void OnInitProperties() override;
  void OnReadProperties(const PropertyStore& props) override;
  void OnWriteProperties(PropertyStore& props) override;
  void OnResize() override;
  void OnGotFocus() override;
  bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;
  // A combo box named by its label, its value the text; its children are the
  // drop button (an "Open"/"Close" push button, Alt+Down), the text box
  // (named by the label too) and, while dropped, the list: a list named by
  // the label whose items are list items.
  void OnAccessibleSelf(AccessibleItem& self) const override;
  int OnAccessiblePartCount() const override { return 1; }
  void OnAccessiblePart(int part, AccessibleItem& item) const override;
  bool OnAccessibleDefaultAction(int part) override;
  bool OnAccessibleSetValue(int part, std::u16string_view value) override;
  void OnAccessibleChildWindows(std::vector<HWND>& windows) const override;

 private:
  class InnerList;
  class FaceText;
  class ListStore;
  class FieldAnswer;
  class ComboAnswer;
  class ListAnswer;

  // -- Events of the parts
  void OnTextChange();
  void OnTextMouseDown(int button, int shift, float x, float y);
  void OnTextMouseUp(int button, int shift, float x, float y);
  void OnTextKeyDown(int& keyCode, int shift);
  void OnButtonMouseDown(int button, int shift, float x, float y);
  void OnButtonMouseMove(int button, int shift, float x, float y);
  void OnListChoose();
  void OnListCloseUp();
  // The platform's list dropped, and its selection moved while dropped:
  // readers hear the selected item take the focus.
  void OnListDropped();
  void OnListSelectionMoved();
  // The verb of the drop button and of the control: "Open" or "Close".
  std::u16string DropVerb() const;
  bool Dropped() const;
  // The name the label before the control gives it ("" without one).
  std::u16string LabelName() const { return FieldLabel().value_or(u""); }
  // Up and Down in the closed text box: the item before or after the one the
  // text shows (the first when it shows none), chosen as a choice in the list
  // chooses it.
  void ChooseNeighbour(int step);
  // The list's dropped platform window (a pop-up of its own).
  HWND DroppedListHwnd() const;

  void Layout();
  // The button's drop-down: shows the pressed picture and toggles the list.
  void OpenCombo();
  void ShowLook(ButtonLook look);
  // The inner list's items, through the platform's CB_ messages.
  ItemList Items() const;
  // The selected item's text, "" without a selection.
  std::u16string ListText() const;
  // Puts `text` in the text box; the text box raises Change when it differs.
  void SetBoxText(std::u16string_view text);
  void SelectItem(int32_t index);
  void RaiseChange();
  void RaiseMouse(const MouseHandler& handler, HWND part, int button, int shift, float x, float y);
  void ApplyFont();

  std::unique_ptr<InnerList> m_listOwner;
  std::unique_ptr<FaceText> m_textOwner;
  ComboBox& m_list;
  TextBox& m_text;
  PictureBox m_face;
  PictureBox m_button;
  Shape m_border;
  std::array<std::shared_ptr<Picture>, 4> m_img;
  std::unique_ptr<ListStore> m_store;
  std::unique_ptr<FieldAnswer> m_fieldAnswer;
  std::unique_ptr<ComboAnswer> m_comboAnswer;
  std::unique_ptr<ListAnswer> m_listAnswer;
  jcombo::TaggedList m_items;

  std::shared_ptr<Font> m_font;
  FontSubscription m_fontSubscription;
  bool m_enabled = false;
  std::u16string m_fileName;
  std::u16string m_fieldName;
  std::u16string m_toolTipText;
  bool m_layingOut = false;
  bool m_textPressed = false;  // a left press on the text box, not yet released
  int32_t m_indexAtDrop = -1;  // the selection when the list last dropped
};

// Lets design files place the kind "JCombo".
void RegisterJCombo();

}  // namespace fw
