#include "host/PropertyStore.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <string>
#include <limits>

#include "host/Numeric.h"

namespace fw {

namespace {

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c; }

std::u16string FoldedKey(std::u16string_view name) {
  std::u16string key(name);
  for (char16_t& c : key) c = FoldAscii(c);
  return key;
}

// The whole number a stored value stands for, if it is one: integer kinds as
// they are, a double without a fraction in the 32-bit range, a colour as its 32
// bits read as a signed number. A fraction is no whole number: rounding it
// quietly would hide a slip in a design (GripShape = 1.5).
std::optional<int64_t> AsWhole(const PropertyValue& v) {
  if (const auto* p = std::get_if<int16_t>(&v)) return *p;
  if (const auto* p = std::get_if<int32_t>(&v)) return *p;
  if (const auto* p = std::get_if<Colour>(&v)) return static_cast<int32_t>(p->value);
  if (const auto* p = std::get_if<double>(&v)) {
    if (!(*p >= -2147483648.0 && *p <= 2147483647.0) || std::trunc(*p) != *p) return std::nullopt;
    return static_cast<int64_t>(*p);
  }
  return std::nullopt;
}

}  // namespace

bool NamesEqual(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

bool SameValue(const PropertyValue& a, const PropertyValue& b) {
  if (a.index() != b.index()) return false;
  if (const auto* da = std::get_if<double>(&a))
    return std::bit_cast<uint64_t>(*da) == std::bit_cast<uint64_t>(std::get<double>(b));
  if (const auto* fa = std::get_if<FontValue>(&a)) {
    const FontValue& fb = std::get<FontValue>(b);
    return fa->face == fb.face &&
           std::bit_cast<uint64_t>(fa->size) == std::bit_cast<uint64_t>(fb.size) &&
           fa->bold == fb.bold && fa->italic == fb.italic && fa->underline == fb.underline &&
           fa->strikethrough == fb.strikethrough && fa->charset == fb.charset &&
           fa->weight == fb.weight;
  }
  return a == b;
}

bool operator==(const PropertyStore& a, const PropertyStore& b) {
  if (a.m_entries.size() != b.m_entries.size()) return false;
  for (size_t i = 0; i < a.m_entries.size(); ++i) {
    if (a.m_entries[i].name != b.m_entries[i].name) return false;
    if (!SameValue(a.m_entries[i].value, b.m_entries[i].value)) return false;
  }
  return true;
}

const PropertyValue* PropertyStore::Find(std::u16string_view name) const {
  std::u16string key = FoldedKey(name);
  m_asked.try_emplace(key, name);
  const auto it = m_index.find(key);
  return it == m_index.end() ? nullptr : &m_entries[it->second].value;
}

void PropertyStore::Reindex() {
  m_index.clear();
  for (size_t i = 0; i < m_entries.size(); ++i) m_index.emplace(FoldedKey(m_entries[i].name), i);
}

bool PropertyStore::Remove(std::u16string_view name) {
  const auto it = m_index.find(FoldedKey(name));
  if (it == m_index.end()) return false;
  const size_t pos = it->second;
  m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(pos));
  if (pos == m_entries.size()) {
    m_index.erase(it);  // was the last: nothing moved
  } else {
    Reindex();
  }
  return true;
}

void PropertyStore::Store(std::u16string_view name, PropertyValue value, int line) {
  Remove(name);
  m_entries.push_back(Entry{std::u16string(name), std::move(value), line});
  m_index.emplace(FoldedKey(name), m_entries.size() - 1);
}

void PropertyStore::Set(std::u16string_view name, PropertyValue value, int line) {
  Store(name, std::move(value), line);
}

void PropertyStore::Refuse(std::u16string_view name, std::u16string_view expected) const {
  const auto it = m_index.find(FoldedKey(name));
  if (it == m_index.end()) return;
  const Entry& e = m_entries[it->second];
  for (const Refusal& r : m_refusals) {
    if (NamesEqual(r.name, e.name)) return;
  }
  m_refusals.push_back(Refusal{e.name, e.line, std::u16string(expected)});
}

std::vector<const PropertyStore::Entry*> PropertyStore::UnaskedEntries() const {
  std::vector<const Entry*> out;
  for (const Entry& e : m_entries) {
    if (!m_asked.contains(FoldedKey(e.name))) out.push_back(&e);
  }
  return out;
}

namespace {

// Letters added, removed, changed or two neighbours swapped, ASCII case ignored.
size_t EditDistance(std::u16string_view a, std::u16string_view b) {
  const size_t n = a.size(), m = b.size();
  std::vector<size_t> prev2(m + 1), prev(m + 1), row(m + 1);
  for (size_t j = 0; j <= m; ++j) prev[j] = j;
  for (size_t i = 1; i <= n; ++i) {
    row[0] = i;
    for (size_t j = 1; j <= m; ++j) {
      const bool same = FoldAscii(a[i - 1]) == FoldAscii(b[j - 1]);
      row[j] = std::min({prev[j] + 1, row[j - 1] + 1, prev[j - 1] + (same ? 0 : 1)});
      if (i > 1 && j > 1 && FoldAscii(a[i - 1]) == FoldAscii(b[j - 2]) &&
          FoldAscii(a[i - 2]) == FoldAscii(b[j - 1])) {
        row[j] = std::min(row[j], prev2[j - 2] + 1);
      }
    }
    prev2.swap(prev);
    prev.swap(row);
  }
  return prev[m];
}

}  // namespace

std::u16string PropertyStore::NearestAskedName(std::u16string_view name) const {
  // Near enough to be a slip of the keyboard: one edit, or one in three letters.
  const size_t limit = std::max<size_t>(1, name.size() / 3);
  std::u16string best;
  size_t bestDistance = limit + 1;
  // In the order of the names (map order), so that a tie always gives the same answer.
  std::vector<std::u16string> keys;
  keys.reserve(m_asked.size());
  for (const auto& [key, spelling] : m_asked) keys.push_back(key);
  std::sort(keys.begin(), keys.end());
  for (const std::u16string& key : keys) {
    const size_t d = EditDistance(name, key);
    if (d < bestDistance) {
      bestDistance = d;
      best = m_asked.at(key);
    }
  }
  return best;
}

bool PropertyStore::ReadBool(std::u16string_view name, bool def) const {
  const PropertyValue* v = Find(name);
  if (!v) return def;
  if (const auto* p = std::get_if<bool>(v)) return *p;
  if (const auto* p = std::get_if<int16_t>(v)) return *p != 0;
  if (const auto* p = std::get_if<int32_t>(v)) return *p != 0;
  Refuse(name, u"True or False");
  return def;
}

int16_t PropertyStore::ReadInt16(std::u16string_view name, int16_t def) const {
  const PropertyValue* v = Find(name);
  if (!v) return def;
  const std::optional<int64_t> w = AsWhole(*v);
  if (!w || *w < std::numeric_limits<int16_t>::min() || *w > std::numeric_limits<int16_t>::max()) {
    Refuse(name, u"a whole number from -32768 to 32767");
    return def;
  }
  return static_cast<int16_t>(*w);
}

int32_t PropertyStore::ReadInt32(std::u16string_view name, int32_t def) const {
  const PropertyValue* v = Find(name);
  if (!v) return def;
  const std::optional<int64_t> w = AsWhole(*v);
  if (!w) Refuse(name, u"a whole number");
  return w ? static_cast<int32_t>(*w) : def;
}

int32_t PropertyStore::ReadInt32In(std::u16string_view name, int32_t def, int32_t lo, int32_t hi) const {
  const int32_t value = ReadInt32(name, def);
  if (value >= lo && value <= hi) return value;
  if (!Contains(name)) return def;
  std::string range = hi == std::numeric_limits<int32_t>::max()
                          ? "a whole number " + std::to_string(lo) + " or above"
                          : "a whole number from " + std::to_string(lo) + " to " + std::to_string(hi);
  Refuse(name, std::u16string(range.begin(), range.end()));
  return def;
}

double PropertyStore::ReadDouble(std::u16string_view name, double def) const {
  const PropertyValue* v = Find(name);
  if (!v) return def;
  if (const auto* p = std::get_if<double>(v)) return *p;
  if (const auto* p = std::get_if<int16_t>(v)) return *p;
  if (const auto* p = std::get_if<int32_t>(v)) return *p;
  Refuse(name, u"a number");
  return def;
}

std::u16string PropertyStore::ReadText(std::u16string_view name, std::u16string_view def) const {
  const PropertyValue* v = Find(name);
  if (const auto* p = v ? std::get_if<std::u16string>(v) : nullptr) return *p;
  Refuse(name, u"a text in double quotes");
  return std::u16string(def);
}

Colour PropertyStore::ReadColour(std::u16string_view name, Colour def) const {
  const PropertyValue* v = Find(name);
  if (!v) return def;
  if (const auto* p = std::get_if<Colour>(v)) return *p;
  if (const auto* p = std::get_if<int32_t>(v)) return Colour(static_cast<uint32_t>(*p));
  if (const auto* p = std::get_if<int16_t>(v)) return Colour(static_cast<uint32_t>(int32_t{*p}));
  Refuse(name, u"a colour, &H and up to eight hex digits and &");
  return def;
}

FontValue PropertyStore::ReadFont(std::u16string_view name, const FontValue& def) const {
  const PropertyValue* v = Find(name);
  if (const auto* p = v ? std::get_if<FontValue>(v) : nullptr) return *p;
  Refuse(name, u"a font, BeginProperty ... EndProperty");
  return def;
}

PictureRef PropertyStore::ReadPicture(std::u16string_view name, const PictureRef& def) const {
  const PropertyValue* v = Find(name);
  if (const auto* p = v ? std::get_if<PictureRef>(v) : nullptr) return *p;
  Refuse(name, u"a picture, res:NAME or data:\"...\"");
  return def;
}

namespace {

template <class T>
void WriteIfNotDefault(PropertyStore& store, std::u16string_view name, T value, const T& def) {
  if (value == def) {
    store.Remove(name);
  } else {
    store.Set(name, PropertyValue(std::in_place_type<T>, std::move(value)));
  }
}

}  // namespace

void PropertyStore::Write(std::u16string_view name, bool value, bool def) {
  WriteIfNotDefault(*this, name, value, def);
}
void PropertyStore::Write(std::u16string_view name, int16_t value, int16_t def) {
  WriteIfNotDefault(*this, name, value, def);
}
void PropertyStore::Write(std::u16string_view name, int32_t value, int32_t def) {
  WriteIfNotDefault(*this, name, value, def);
}
void PropertyStore::Write(std::u16string_view name, double value, double def) {
  WriteIfNotDefault(*this, name, value, def);
}
void PropertyStore::Write(std::u16string_view name, std::u16string_view value, std::u16string_view def) {
  if (value == def) {
    Remove(name);
  } else {
    Set(name, PropertyValue(std::in_place_type<std::u16string>, value));
  }
}
void PropertyStore::Write(std::u16string_view name, const char16_t* value, const char16_t* def) {
  Write(name, std::u16string_view(value ? value : u""), std::u16string_view(def ? def : u""));
}
void PropertyStore::Write(std::u16string_view name, Colour value, Colour def) {
  WriteIfNotDefault(*this, name, value, def);
}
void PropertyStore::Write(std::u16string_view name, const FontValue& value, const FontValue& def) {
  WriteIfNotDefault(*this, name, value, def);
}
void PropertyStore::Write(std::u16string_view name, const PictureRef& value, const PictureRef& def) {
  WriteIfNotDefault(*this, name, value, def);
}

}  // namespace fw
