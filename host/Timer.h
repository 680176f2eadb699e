// The Timer control: no window, an Interval in milliseconds and an Enabled switch;
// it raises its Timer event (the Tick callback) through the form's WM_TIMER, so
// ticks keep coming while a modal form runs its own message loop.
#pragma once

#include <cstdint>
#include <functional>

#include "host/Control.h"

namespace fw {

class Timer : public Control {
 public:
  Timer();
  ~Timer() override;

  // 0 stops the timer (the platform's timers cannot be shorter than about 10 ms).
  int32_t Interval() const { return m_interval; }
  void SetInterval(int32_t ms);
  bool Enabled() const { return m_enabledTimer; }
  void SetEnabled(bool enabled) override;

  // The Timer event.
  std::function<void()> Tick;

 protected:
  HWND CreateControlWindow(HWND parent, const RECT& pixels, bool& windowless) override;
  void OnCreated() override;
  void OnInitProperties() override;
  void OnReadProperties(const PropertyStore& props) override;
  void OnWriteProperties(PropertyStore& props) override;
  void OnTerminate() override;

 private:
  friend class Form;
  void RaiseTimer();
  void Restart();

  int32_t m_interval = 0;
  bool m_enabledTimer = true;
  bool m_created = false;
  uintptr_t m_id = 0;
};

}  // namespace fw
