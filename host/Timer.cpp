#include "host/Timer.h"

#include "host/Form.h"

namespace fw {

Timer::Timer() : Control(u"Timer") { SetTabStop(false); }

Timer::~Timer() {
  if (m_id) {
    if (Form* form = ParentForm()) form->StopTimer(m_id);
  }
}

HWND Timer::CreateControlWindow(HWND, const RECT&, bool& windowless) {
  windowless = true;
  return nullptr;
}

void Timer::OnCreated() { m_created = true; }

void Timer::OnInitProperties() { Restart(); }

void Timer::OnReadProperties(const PropertyStore& props) {
  m_interval = props.ReadInt32(u"Interval", 0);
  m_enabledTimer = props.ReadBool(u"Enabled", true);
  Restart();
}

void Timer::OnWriteProperties(PropertyStore& props) {
  props.Write(u"Interval", m_interval, int32_t{0});
  props.Write(u"Enabled", m_enabledTimer, true);
}

void Timer::OnTerminate() {
  m_created = false;
  Restart();
}

void Timer::SetInterval(int32_t ms) {
  m_interval = ms < 0 ? 0 : ms;
  Restart();
}

void Timer::SetEnabled(bool enabled) {
  m_enabledTimer = enabled;
  Restart();
}

void Timer::Restart() {
  Form* form = ParentForm();
  if (m_id && form) form->StopTimer(m_id);
  m_id = 0;
  if (m_created && form && m_enabledTimer && m_interval > 0) {
    m_id = form->StartTimer(this, static_cast<UINT>(m_interval));
  }
}

void Timer::RaiseTimer() {
  if (Tick) Tick();
}

}  // namespace fw
