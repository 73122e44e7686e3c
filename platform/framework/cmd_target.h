// The base of every object that receives messages through a message map.
#pragma once

#include "framework/message_map.h"
#include "framework/runtime_class.h"

class CCmdTarget : public CObject {
 public:
  DECLARE_DYNAMIC(CCmdTarget)

  // The entry for a message (with its notification code and control id for
  // WM_COMMAND and WM_NOTIFY), searching the class's map and then its bases'.
  const vek::framework::MessageMapEntry* FindMessageEntry(UINT message, UINT code, UINT id) const;
  // Runs the handler of a message when the map has one.
  bool DispatchMapped(UINT message, UINT code, UINT id, WPARAM wParam, LPARAM lParam, LRESULT* result);

  void BeginWaitCursor();
  void EndWaitCursor();
  void RestoreWaitCursor();

 protected:
  static const vek::framework::MessageMap* GetThisMessageMap();
  virtual const vek::framework::MessageMap* GetMessageMap() const;
};
