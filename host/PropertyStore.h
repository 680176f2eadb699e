// The property store: the saved settings of one control, as named, typed values.
// Controls read it when they are built and write it when a design is saved.
// Portable: no platform header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "host/Colour.h"

namespace fw {

// A font as saved with a control. `size` is in points and may be fractional
// (9, 10.5). `bold` and `weight` are both kept because a saved font carries
// both; the Win32 side decides how they combine when it makes the real font.
struct FontValue {
  std::u16string face;
  double size = 9.0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  int32_t charset = 0;    // 0 .. 255, e.g. 134 for Chinese GB
  int32_t weight = 400;   // 0 .. 1000

  friend bool operator==(const FontValue&, const FontValue&) = default;
};

// A picture or icon as saved: the name of a resource compiled into the exe, or,
// for a picture that came from elsewhere (a file, the program itself), the
// picture's own bytes (a .bmp or .ico file image). Neither means "no picture".
struct PictureRef {
  std::u16string resource;
  std::vector<uint8_t> data = {};

  bool empty() const { return resource.empty() && data.empty(); }
  friend bool operator==(const PictureRef&, const PictureRef&) = default;
};

// One saved value. int16_t and int32_t are distinct kinds because the controls'
// tables save some values as 16-bit and others as 32-bit.
using PropertyValue =
    std::variant<bool, int16_t, int32_t, double, std::u16string, Colour, FontValue, PictureRef>;

// Names are equal when they differ only in the case of ASCII letters ("PictureSize"
// finds "pictureSize"); any other character, full-width letters included, must
// match exactly.
bool NamesEqual(std::u16string_view a, std::u16string_view b);

// The same value of the same kind; doubles are compared bit for bit, so a NaN
// equals itself and -0.0 differs from 0.0 (what a writer and reader must keep).
bool SameValue(const PropertyValue& a, const PropertyValue& b);

class PropertyStore {
 public:
  struct Entry {
    std::u16string name;  // as last written
    PropertyValue value;
    int line = 0;  // the design-file line it was read from; 0 when it came from elsewhere
  };

  // A stored value a read could not use: of another kind than the property's,
  // or outside its range. The read gave its default instead.
  struct Refusal {
    std::u16string name;  // as stored
    int line = 0;
    std::u16string expected;  // what the property takes, e.g. "a whole number"
  };

  // Typed reads. A missing name gives `def`. Numeric kinds convert:
  //   - to 16 or 32 bits from any integer kind, from a double (rounded to nearest,
  //     halves to even) and from a colour (its 32 bits as a signed number), when
  //     the value fits; a value that does not fit gives `def`, never a wrapped one;
  //   - to double from any integer kind;
  //   - to bool from an integer kind (non-zero is true);
  //   - to a colour from an integer kind (its bits; a 16-bit value sign-extends).
  // Any other kind mismatch (text read as a number, a font read as text) gives `def`.
  // Each read that finds a value it cannot use and gives `def` instead notes it
  // among the Refusals, so that whoever built from the store can report it.
  bool ReadBool(std::u16string_view name, bool def) const;
  int16_t ReadInt16(std::u16string_view name, int16_t def) const;
  int32_t ReadInt32(std::u16string_view name, int32_t def) const;
  // The same for a property with a range: a whole number outside lo .. hi is
  // refused too and gives `def`.
  int32_t ReadInt32In(std::u16string_view name, int32_t def, int32_t lo, int32_t hi) const;
  double ReadDouble(std::u16string_view name, double def) const;
  std::u16string ReadText(std::u16string_view name, std::u16string_view def) const;
  Colour ReadColour(std::u16string_view name, Colour def) const;
  FontValue ReadFont(std::u16string_view name, const FontValue& def) const;
  PictureRef ReadPicture(std::u16string_view name, const PictureRef& def) const;

  // Saving. A value equal to `def` is left out, and an entry already held under
  // that name is removed, so reading it back with the same default gives it again.
  // Otherwise the value is stored at the end of the order under the name as given
  // (an older entry of that name is dropped first): a control that saves its
  // properties in its table's order into a store loaded from a file gets the
  // table's order and spelling back out.
  void Write(std::u16string_view name, bool value, bool def);
  void Write(std::u16string_view name, int16_t value, int16_t def);
  void Write(std::u16string_view name, int32_t value, int32_t def);
  void Write(std::u16string_view name, double value, double def);
  void Write(std::u16string_view name, std::u16string_view value, std::u16string_view def);
  // Without this overload a string literal would convert to bool.
  void Write(std::u16string_view name, const char16_t* value, const char16_t* def);
  void Write(std::u16string_view name, Colour value, Colour def);
  void Write(std::u16string_view name, const FontValue& value, const FontValue& def);
  void Write(std::u16string_view name, const PictureRef& value, const PictureRef& def);

  // Stores a value without a default to compare with (the design-file reader,
  // which gives the value's line). Same placement rule as Write.
  void Set(std::u16string_view name, PropertyValue value, int line = 0);
  // Removes the entry of that name; false when there was none.
  bool Remove(std::u16string_view name);

  const PropertyValue* Find(std::u16string_view name) const;
  bool Contains(std::u16string_view name) const { return Find(name) != nullptr; }

  // For a reader that checks more than the kind (a range): the stored value of
  // `name` is noted as refused, `expected` saying what the property takes. The
  // reader then uses its default. Nothing happens when the name is not stored.
  void Refuse(std::u16string_view name, std::u16string_view expected) const;
  // The values refused since the last ClearRefusals, each name once, in order.
  const std::vector<Refusal>& Refusals() const { return m_refusals; }
  void ClearRefusals() const { m_refusals.clear(); }

  // Every read (Read*, Find, Contains) notes the name it asked for, stored or
  // not, so that whoever built a control from the store can tell the names no
  // reader knew: a misspelt name in a design would otherwise do nothing unseen.
  void ClearAsked() const { m_asked.clear(); }
  // The entries whose names no read asked for since the last ClearAsked, in order.
  std::vector<const Entry*> UnaskedEntries() const;
  // Of the names asked for but not stored, the one nearest `name` (fewest letters
  // added, removed, changed or swapped with a neighbour, ASCII case ignored),
  // spelt as the reader asked; "" when none is within one edit or one in three
  // letters of `name`.
  std::u16string NearestAskedName(std::u16string_view name) const;

  // The entries in the order they were stored.
  const std::vector<Entry>& Entries() const { return m_entries; }
  size_t Size() const { return m_entries.size(); }
  bool Empty() const { return m_entries.empty(); }

  // Same names (exact spelling), same order, SameValue values.
  friend bool operator==(const PropertyStore& a, const PropertyStore& b);

 private:
  void Store(std::u16string_view name, PropertyValue value, int line);
  void Reindex();

  std::vector<Entry> m_entries;
  // Noted by the reads, which are const: a record of what a reader met, not
  // part of the stored values (equality ignores it, as it ignores the lines).
  mutable std::vector<Refusal> m_refusals;
  // The names asked for: key as in m_index, value as the reader spelt it.
  mutable std::unordered_map<std::u16string, std::u16string> m_asked;
  // Key: the name with ASCII letters lowered; value: position in m_entries.
  std::unordered_map<std::u16string, size_t> m_index;
};

}  // namespace fw
