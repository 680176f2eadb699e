// What the image combo box decides without a window: its layout in twips, the
// TAG=Text form of its items with the tag-code table kept beside the list, and
// the list file's lines and bytes. Portable: no platform header.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fw::jcombo {

// -- Layout, in twips

constexpr int32_t kMinWidth = 400;
constexpr int32_t kHeight = 315;
constexpr int32_t kFaceHeight = 465;   // BackMain: taller than the control, clipped by it
constexpr int32_t kTextLeft = 75;
constexpr int32_t kTextTop = 60;
constexpr int32_t kTextBottom = 300;   // the text box ends one pixel above the border
constexpr int32_t kTextInset = 375;    // text box width = width - 375
constexpr int32_t kButtonInset = 285;  // button left = width - 285
constexpr int32_t kButtonTop = 30;
constexpr int32_t kButtonSide = 255;   // the pictures' 17 pixels
constexpr int32_t kListTop = 30;

struct Layout {
  int32_t width = 0;        // the control, never below kMinWidth
  int32_t height = 0;       // always kHeight
  int32_t buttonLeft = 0;   // JImgCbo, in BackMain
  int32_t textTop = 0;      // JTexto, in BackMain; may lie above the face for big fonts
  int32_t textWidth = 0;
  int32_t textHeight = 0;
};

// The layout for a requested width and the text box's font size in points.
Layout ComputeLayout(int32_t widthTwips, double fontPoints);

// -- Items in tag-code mode

// Blanks are spaces and tabs.
std::u16string TrimBlanks(std::u16string_view text);
// ASCII letters in capitals; every other character as it is.
std::u16string UpperAscii(std::u16string_view text);

struct TaggedItem {
  std::u16string tag;
  std::u16string text;
  bool separated = false;  // an "=" stood between a tag and a text
};

// Splits "TAG=Text" at its first "=" into the trimmed parts. A text without "=",
// or whose only "=" is its first or last character (that "=" is dropped), is both
// the tag and the text.
TaggedItem SplitTagItem(std::u16string_view item);

// The list the tag codes are kept beside: the platform's combo box in the control,
// a vector in tests.
class ItemStore {
 public:
  virtual ~ItemStore() = default;
  virtual int32_t Count() const = 0;
  // "" for an index outside the list.
  virtual std::u16string Item(int32_t index) const = 0;
  // Inserts at `index` (0 .. Count() - 1), or appends when there is none.
  virtual void Insert(std::u16string_view text, std::optional<int32_t> index) = 0;
  virtual void Replace(int32_t index, std::u16string_view text) = 0;
  virtual void Remove(int32_t index) = 0;
  virtual void Clear() = 0;
};

// The items' side of the control: the tag codes of items 0 to 99, the last tag
// index in use, the index of the item added or updated last, and the rules that
// keep them in step with the list.
class TaggedList {
 public:
  static constexpr int32_t kMaxTcods = 99;

  explicit TaggedList(ItemStore& store) : m_store(store) {}

  bool TagMode() const { return m_tagMode; }
  void SetTagMode(bool on) { m_tagMode = on; }
  int32_t Current() const { return m_current; }
  int32_t LastTag() const { return m_lastTag; }

  // The insert of AddItem: `index` below 0 counts as 0, beyond the last item as
  // none (append). False when nothing was added (an empty text).
  bool Add(std::u16string_view item, std::optional<int32_t> index);
  // UpdateItem's change of the list; false (and nothing changed) when `index`
  // lies outside the list.
  bool Update(std::u16string_view item, int32_t index);
  // GetItem: without an index the last item ("" for an empty list); below 0
  // counts as 0. Tag-code mode gives "tag=text" for items 0 to 99.
  std::u16string Get(std::optional<int32_t> index) const;
  // RemoveItem: without an index the last item (false on an empty list); below
  // 0 counts as 0. Throws std::out_of_range, changing nothing, for an index
  // beyond the list.
  bool Remove(std::optional<int32_t> index);
  // Empties the list and the tag codes.
  void Clear();
  // The tag code of item `index`; "" outside 0 .. 99.
  std::u16string TagOf(int32_t index) const;
  // SetTagCode's search: the first item from `startingFrom` on whose tag equals
  // `code` (blanks and case of ASCII letters ignored). `startingFrom` moves past
  // the match, wrapping to 0, so repeated calls walk through all matches.
  std::optional<int32_t> FindTag(std::u16string_view code, int32_t& startingFrom) const;

  // The list file's lines, one per item.
  std::vector<std::u16string> FileLines() const;
  // Reads the lines of a list file (see ListFileLines): the list is replaced and
  // tag-code mode follows the first line with more than one character. False,
  // with the list unchanged, when there is no such line.
  bool Load(const std::vector<std::u16string>& lines);

 private:
  ItemStore& m_store;
  std::array<std::u16string, kMaxTcods + 1> m_tcods;
  int32_t m_lastTag = 0;
  int32_t m_current = 0;
  bool m_tagMode = false;
};

// -- The list file

// Longest line read; longer ones are cut.
constexpr size_t kMaxLineLength = 80;

// Lines of a list file's text. Lines end at CR LF, CR or LF; the last one needs
// no ending. A line longer than 80 UTF-16 units is cut to 80 (79 when the cut
// would split a surrogate pair); a line starting with ";" is a comment and
// reads as ";".
std::vector<std::u16string> ListFileLines(std::u16string_view text);

// Turns a run of ASCII bytes and two-byte GBK sequences into text (the system's
// code page 936 on Windows).
using GbkRunDecoder = std::function<void(std::span<const uint8_t> run, std::u16string& out)>;

enum class ListEncoding { Utf8, Utf16LE, Utf16BE, Gbk, Unknown };

// The encoding of a list file: a byte order mark decides (UTF-8, UTF-16 LE or
// BE); without one, UTF-16 is taken only from the whole file's shape: most of
// its line ends UTF-16 line ends of one byte order (0D 00 / 0A 00, or 00 0D /
// 00 0A, at even offsets), or, in a file without line ends, a NUL on one side
// of most byte pairs. Otherwise clean 8-bit text (no UTF-16 line end, NULs on
// fewer than half the pairs, no control byte but tab, CR and LF) is UTF-8 when
// valid UTF-8 and else GBK (read as GB18030), the code page of Chinese
// Windows, in which older list files were written. Anything else is Unknown.
ListEncoding DetectListEncoding(std::span<const uint8_t> bytes);
// The file's text in that encoding, with every NUL character left out (and an
// odd byte after UTF-16 dropped); nothing for an Unknown file, so that a load
// keeps the list.
std::optional<std::u16string> DecodeListFile(std::span<const uint8_t> bytes, const GbkRunDecoder& gbkRun);

// What SaveToFile writes: UTF-8 with a byte order mark, every line ended by
// CR LF; nothing at all for no lines.
std::string EncodeListFile(const std::vector<std::u16string>& lines);

}  // namespace fw::jcombo
