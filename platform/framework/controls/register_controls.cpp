#include "framework/controls/button_control.h"
#include "framework/controls/combo_box_control.h"
#include "framework/controls/edit_control.h"
#include "framework/controls/ip_address_control.h"
#include "framework/controls/list_view_control.h"
#include "framework/controls/simple_controls.h"
#include "framework/controls/static_control.h"
#include "framework/controls/tab_control.h"

namespace vek::framework {

void RegisterDialogClass();

template <typename T>
static BehaviourFactory Make() {
  return [] { return std::make_unique<T>(); };
}

void RegisterStandardControls() {
  RegisterWindowClass(WC_STATIC, Make<StaticControl>());
  RegisterWindowClass(WC_EDIT, Make<EditControl>());
  RegisterWindowClass(WC_BUTTON, Make<ButtonControl>());
  RegisterWindowClass(WC_COMBOBOX, Make<ComboBoxControl>());
  RegisterWindowClass(WC_LISTVIEW, Make<ListViewControl>());
  RegisterWindowClass(WC_TABCONTROL, Make<TabControl>());
  RegisterWindowClass(PROGRESS_CLASS, Make<ProgressControl>());
  RegisterWindowClass(ANIMATE_CLASS, Make<AnimationControl>());
  RegisterWindowClass(UPDOWN_CLASS, Make<UpDownControl>());
  RegisterWindowClass(WC_IPADDRESS, Make<IpAddressControl>());
  RegisterDialogClass();
}

}  // namespace vek::framework
