#include "host/GraphicControl.h"

#include <utility>

#include "host/Form.h"
#include "host/Windowless.h"

namespace fw {

GraphicControl::GraphicControl(std::u16string kind, bool mouseTransparent)
    : Control(std::move(kind)), m_mouseTransparent(mouseTransparent) {
  SetTabStop(false);
}

GraphicControl::~GraphicControl() { Detach(); }

HWND GraphicControl::CreateControlWindow(HWND parent, const RECT& pixels, bool& windowless) {
  WindowlessSite* site = WindowlessSite::Attach(parent);
  windowless = site != nullptr;
  if (!site) return nullptr;
  m_site = site;
  m_placed = pixels;
  site->Add(this);
  return nullptr;
}

void GraphicControl::Detach() {
  if (!m_site) return;
  WindowlessSite* site = std::exchange(m_site, nullptr);
  site->Remove(this);
}

void GraphicControl::ContainerGone() {
  m_site = nullptr;
  Terminate();
}

void GraphicControl::Destroy() {
  Terminate();
  if (!ToolTipText().empty()) {
    if (Form* form = ParentForm()) form->RemoveToolTip(*this);
  }
  Detach();
}

void GraphicControl::Redraw() {
  if (m_site) m_site->Invalidate(PixelRect());
}

void GraphicControl::Refresh() {
  if (!m_site) return;
  Redraw();
  UpdateWindow(m_site->Container());
}

void GraphicControl::NotifyNameChanged() const {
  if (m_site) m_site->NotifyNameChanged(*this);
}

void GraphicControl::Replaced(const RECT& before) {
  if (!m_site) return;
  m_site->Invalidate(before);
  m_placed = PixelRect();
  if (Visible()) m_site->Invalidate(m_placed);
  if (!ToolTipText().empty()) {
    if (Form* form = ParentForm()) form->UpdateToolTip(*this);
  }
}

void GraphicControl::OnMoved() { Replaced(m_placed); }

void GraphicControl::ApplyDpi() { Replaced(m_placed); }

void GraphicControl::SetVisible(bool visible) {
  const bool was = Visible();
  Control::SetVisible(visible);
  if (was != visible) Replaced(m_placed);
}

void GraphicControl::SetEnabled(bool enabled) {
  const bool was = Enabled();
  Control::SetEnabled(enabled);
  if (was != enabled) Redraw();
}

void GraphicControl::ZOrder(int position) {
  if (m_site) m_site->Raise(this, position == 0);
}

bool GraphicControl::MoveToContainer(HWND parent) {
  if (!m_site || !IsWindow(parent)) return false;
  if (parent == ContainerHwnd()) return true;
  WindowlessSite* next = WindowlessSite::Attach(parent);
  if (!next) return false;
  if (!ToolTipText().empty()) {
    if (Form* form = ParentForm()) form->RemoveToolTip(*this);
  }
  Detach();
  // The position in twips stays and now counts from the new container's corner.
  m_site = next;
  SetContainerHwnd(parent);
  m_placed = PixelRect();
  next->Add(this);
  Replaced(m_placed);
  return true;
}

void GraphicControl::SetAccessibleAction(long role, std::u16string verb, std::u16string value) {
  m_accessibleRole = role;
  m_accessibleVerb = std::move(verb);
  m_accessibleValue = std::move(value);
}

}  // namespace fw
