#pragma once

#include "framework/controls/control_support.h"

namespace vek::framework {

class StaticControl : public ControlBehaviour {
 public:
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  HBITMAP image() const { return m_image; }
  // The brush the parent gave at the last paint (null before the first).
  HBRUSH background() const { return m_background; }

 private:
  HBITMAP m_image = nullptr;
  HBRUSH m_background = nullptr;
};

}  // namespace vek::framework
