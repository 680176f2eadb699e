// The font object the controls share by reference. A control that is handed a
// font keeps the object itself, so a later change to it (a new size, bold on)
// reaches every holder: they subscribe to its change notification.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/Gdi.h"
#include "host/PropertyStore.h"

namespace fw {

class Font;

// Keeps a listener subscribed while it lives; unsubscribes on destruction.
class FontSubscription {
 public:
  FontSubscription() = default;
  FontSubscription(FontSubscription&&) noexcept = default;
  FontSubscription& operator=(FontSubscription&& other) noexcept;
  FontSubscription(const FontSubscription&) = delete;
  FontSubscription& operator=(const FontSubscription&) = delete;
  ~FontSubscription();
  void reset();

 private:
  friend class Font;
  struct Registry;
  FontSubscription(std::weak_ptr<Registry> registry, int id) : m_registry(std::move(registry)), m_id(id) {}
  std::weak_ptr<Registry> m_registry;
  int m_id = 0;
};

class Font {
 public:
  static std::shared_ptr<Font> Create(const FontValue& value);
  static std::shared_ptr<Font> Create(std::u16string face, double size, bool bold = false);
  // The form's font when its design names none: Tahoma 8.25 pt, the classic dialog
  // face and size, fixed so a design looks the same on every machine.
  static FontValue DefaultValue();

  explicit Font(const FontValue& value);
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // A new object with the same settings (the holders of this one are not told).
  std::shared_ptr<Font> Clone() const;

  const FontValue& Value() const { return m_value; }
  const std::u16string& Name() const { return m_value.face; }
  double Size() const { return m_value.size; }
  bool Bold() const { return m_value.bold; }
  bool Italic() const { return m_value.italic; }
  bool Underline() const { return m_value.underline; }
  bool Strikethrough() const { return m_value.strikethrough; }
  int32_t Charset() const { return m_value.charset; }
  int32_t Weight() const { return m_value.weight; }

  // Each setter compares, stores, then tells the subscribers.
  void SetValue(const FontValue& value);
  void SetName(std::u16string_view face);
  void SetSize(double points);
  void SetBold(bool bold);
  void SetItalic(bool italic);
  void SetUnderline(bool underline);
  void SetStrikethrough(bool strikethrough);
  void SetCharset(int32_t charset);
  void SetWeight(int32_t weight);

  [[nodiscard]] FontSubscription Subscribe(std::function<void()> listener);

  // The logical font for a device of `dpi` dots per inch: height
  // -(size * dpi / 72) rounded half to even; weight 700 when bold.
  LOGFONTW ToLogFont(int dpi) const;
  unique_hfont CreateHandle(int dpi) const;

 private:
  void Changed();

  FontValue m_value;
  std::shared_ptr<FontSubscription::Registry> m_registry;
};

// Pixels per logical inch of the screen (96 under the test display).
int ScreenDpi();
// The dpi `hwnd` is shown at: the platform's per-window answer where it has
// one (looked up at run time, so the program still starts without it), else
// the screen's.
int WindowDpi(HWND hwnd);

}  // namespace fw
