// The small common controls: progress bar, animation, up-down.
#pragma once

#include "framework/controls/control_support.h"

namespace vek::framework {

class ProgressControl : public ControlBehaviour {
 public:
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  int m_low = 0;
  int m_high = 100;
  int m_position = 0;
  int m_step = 10;
};

// Plays a clip of pictures; the front ends show its frames while it plays.
class AnimationControl : public ControlBehaviour {
 public:
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  UINT m_clip = 0;
  bool m_playing = false;
};

// Up-down: a position in a range, moved by the user's clicks; the parent may refuse
// a move in UDN_DELTAPOS. With UDS_SETBUDDYINT the buddy window shows the position.
class UpDownControl : public ControlBehaviour {
 public:
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void ShowInBuddy();
  int m_low = 100;  // the control's own default range runs downwards
  int m_high = 0;
  int m_position = 0;
  HWND m_buddy = nullptr;
  HWND m_self = nullptr;
};

}  // namespace vek::framework
