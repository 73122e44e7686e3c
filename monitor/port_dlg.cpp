#include "port_dlg.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "about_dlg.h"
#include "debug_log.h"
#include "framework/message_box.h"
#include "framework/window_order.h"
#include "kernel/error_text.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/memory.h"
#include "kernel/strings.h"
#include "monitor_globals.h"
#include "monitor_strings.h"
#include "port_list.h"
#include "port_names.h"
#include "port_workers.h"
#include "print_port.h"
#include "ps_info.h"
#include "system_helpers.h"

namespace {

constexpr int kMinRetryTimeout = 30;
constexpr int kMaxRetryTimeout = 120;
constexpr int kDefaultRetryTimeout = 90;
constexpr int kTimeoutDigits = 3;
constexpr int kNoProtocol = 3;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kSelectedTabText = 0xFF0000;  // blue
constexpr COLORREF kLateRowText = 0x0000FF;      // red
constexpr COLORREF kMaskColor = 0xFF00FF;
constexpr int kImageWidth = 16;
constexpr int kAvailableImage = 0;
constexpr int kUnavailableImage = 1;
constexpr int kServerRowImage = 1;
constexpr int kIPAddressColumn = 2;
constexpr int kListCellInset = 3;  // as XListCtrl draws the cells

// The reply's 8-bit device name: every byte its character.
CStringW EightBitText(const char* text) {
  std::u16string wide;
  for (const char* p = text; *p; ++p) wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(*p)));
  return CStringW(wide.c_str());
}

// What OK changes in a port: kept to put back when the record cannot be written.
struct PortAddress {
  int model;
  int packetType;
  BYTE network[4];
  BYTE node[6];
  BYTE ip[4];
  char psName[kPSNameLength + 1];
  signed char portId;
  int retryTimeout;

  static PortAddress Of(const CPrintPort& port) {
    PortAddress a{};
    a.model = port.m_Model;
    a.packetType = port.m_PacketType;
    std::memcpy(a.network, port.m_Network, 4);
    std::memcpy(a.node, port.m_NodeID, 6);
    std::memcpy(a.ip, port.m_IPAddress, 4);
    std::memcpy(a.psName, port.m_PSName, sizeof a.psName);
    a.portId = port.m_PortID;
    a.retryTimeout = port.m_RetryTimeout;
    return a;
  }
  void ApplyTo(CPrintPort& port) const {
    port.m_Model = model;
    port.m_PacketType = packetType;
    std::memcpy(port.m_Network, network, 4);
    std::memcpy(port.m_NodeID, node, 6);
    std::memcpy(port.m_IPAddress, ip, 4);
    std::memcpy(port.m_PSName, psName, sizeof port.m_PSName);
    port.m_PortID = portId;
    port.m_RetryTimeout = retryTimeout;
  }
};

}  // namespace

const CPortDLG::ProtocolEntry CPortDLG::m_ProtocolTable[3] = {
    {PROTOCOL_IPX, IDS_TAB_IPX, PACKET_TYPE_IPX},
    {PROTOCOL_UDP, IDS_TAB_TCPIP, PACKET_TYPE_UDP},
    {PROTOCOL_NETBEUI, IDS_TAB_NETBEUI, PACKET_TYPE_NETBEUI},
};

BEGIN_MESSAGE_MAP(CPortDLG, CDialog)
  ON_NOTIFY(TCN_SELCHANGE, IDC_PROTOCOL_TAB, OnSelChangeTab)
  ON_MESSAGE(WM_START_SEARCH, OnStartSearch)
  ON_BN_CLICKED(IDC_REFRESH, OnRefresh)
  ON_NOTIFY(LVN_ITEMCHANGED, IDC_SERVER_LIST, OnItemChanged)
  ON_NOTIFY(UDN_DELTAPOS, IDC_TIMEOUT_SPIN, OnDeltaPosSpin)
  ON_BN_CLICKED(IDC_ABOUT, OnAbout)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CPortDLG::CPortDLG(CWnd* parent)
    : CDialog(IDD_PORT, parent),
      m_Protocol(kNoProtocol),
      m_bConfigure(1),
      m_IPAddress{},
      m_pPort(nullptr),
      m_TabProtocol{kNoProtocol, kNoProtocol, kNoProtocol},
      m_TabCount(0) {}

CPortDLG::~CPortDLG() = default;

void CPortDLG::DoDataExchange(CDataExchange* exchange) {
  CDialog::DoDataExchange(exchange);
  DDX_Control(exchange, IDC_PROTOCOL_TAB, m_Tab);
  DDX_Control(exchange, IDC_SERVER_LIST, m_List);
  DDX_Control(exchange, IDC_SEARCH_ADDRESS, m_IPCtrl);
  DWORD address = static_cast<DWORD>(m_IPAddress[0]) | (static_cast<DWORD>(m_IPAddress[1]) << 8) |
                  (static_cast<DWORD>(m_IPAddress[2]) << 16) | (static_cast<DWORD>(m_IPAddress[3]) << 24);
  DDX_IPAddress(exchange, m_IPCtrl, address);
  for (int i = 0; i < 4; ++i) m_IPAddress[i] = static_cast<BYTE>(address >> (8 * i));
}

void CPortDLG::EnableControls(std::initializer_list<int> ids, BOOL enable) {
  for (int id : ids)
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(enable);
}

void CPortDLG::InsertColumn(int position, UINT headingId, int format, LPCWSTR widest, int extra) {
  std::u16string heading = MonitorString(headingId);
  // The widest content is drawn a few pixels in from both sides of its cell.
  int width = std::max(m_List.GetStringWidth(heading.c_str()) + extra,
                       m_List.GetStringWidth(widest) + 2 * kListCellInset);
  m_List.InsertColumn(position, heading.c_str(), format, width);
}

BOOL CPortDLG::OnInitDialog() {
  CDialog::OnInitDialog();
  ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ::SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

  m_Title = MonitorString(m_bConfigure ? IDS_CONFIGURE_PORT : IDS_ADD_PORT).c_str();
  SetWindowText(m_Title.GetString());

  m_TabImages.Create(IDB_PROTOCOL_TABS, kImageWidth, 0, kMaskColor);
  m_Tab.SetFont(GetFont());
  m_Tab.m_SelectedTextColor = kSelectedTabText;
  m_Tab.m_TextColor = kBlack;
  m_Tab.SetPadding(CSize(8, 3));
  m_Tab.SetImageList(&m_TabImages);

  EnableControls({IDC_PORT_GROUP, IDC_PORT_NAME_LABEL, IDC_TIMEOUT_LABEL, IDC_SECONDS_LABEL, IDC_PORT_NAME,
                  IDC_TIMEOUT, IDC_TIMEOUT_SPIN, IDC_REFRESH, IDOK},
                 FALSE);

  // A tab for each transport the administrator enabled; in Configure mode only the
  // port's own, unless bit 0 of "Settings" lets a port move to another transport.
  m_Protocol = kNoProtocol;
  m_TabCount = 0;
  for (const ProtocolEntry& entry : m_ProtocolTable) {
    bool offered = (g_Protocols & entry.bit) &&
                   ((g_Settings & 1) || !m_bConfigure || (m_pPort && entry.transport == m_pPort->m_PacketType));
    if (!offered) continue;
    if (m_TabCount == 0) m_Protocol = entry.transport;
    m_TabProtocol[m_TabCount] = entry.transport;
    std::u16string name = MonitorString(static_cast<UINT>(entry.stringId));
    if (g_SupportedProtocols & entry.bit) {
      // Refresh follows the selected tab (OnSelChangeTab): it searches only where the transport works.
      m_Tab.InsertItem(TCIF_TEXT | TCIF_IMAGE, m_TabCount, name.c_str(), kAvailableImage, 0);
      if (m_bConfigure && m_pPort && entry.transport == m_pPort->m_PacketType) {
        m_Protocol = entry.transport;
        m_Tab.SetCurSel(m_TabCount);
      }
    } else {
      m_Tab.InsertItem(TCIF_TEXT | TCIF_IMAGE, m_TabCount, name.c_str(), kUnavailableImage, 0);
    }
    ++m_TabCount;
  }

  InsertColumn(0, IDS_COLUMN_DEVICE_NAME, LVCFMT_LEFT, u"MMMMMMMMMMMM", 0);
  InsertColumn(1, IDS_COLUMN_PID, LVCFMT_CENTER, u"555", 10);
  InsertColumn(2, IDS_COLUMN_NODE, LVCFMT_CENTER, u"024EDDDDDDDD", 0);
  InsertColumn(3, IDS_COLUMN_VERSION, LVCFMT_CENTER, u"8.88", 10);
  if (m_Protocol == PACKET_TYPE_UDP)
    InsertColumn(kIPAddressColumn, IDS_COLUMN_IP_ADDRESS, LVCFMT_CENTER, u"255.255.255.255", 0);
  m_ListImages.Create(IDB_SERVER_ROW, kImageWidth, 0, kMaskColor);
  m_List.SetImageList(&m_ListImages, LVSIL_SMALL);

  auto* nameEdit = static_cast<CEdit*>(GetDlgItem(IDC_PORT_NAME));
  auto* timeoutEdit = static_cast<CEdit*>(GetDlgItem(IDC_TIMEOUT));
  if (m_bConfigure && m_pPort) {
    SetDlgItemText(IDC_PORT_NAME, m_pPort->m_PortName);
    EnableControls({IDC_PORT_NAME}, FALSE);
  }
  if (nameEdit) nameEdit->LimitText(kPortNameLength);
  char timeout[16];
  std::snprintf(timeout, sizeof timeout, "%d", m_bConfigure && m_pPort ? m_pPort->m_RetryTimeout : kDefaultRetryTimeout);
  SetDlgItemText(IDC_TIMEOUT, timeout);
  if (timeoutEdit) timeoutEdit->LimitText(kTimeoutDigits);

  if (CWnd* configure = GetDlgItem(IDC_CONFIGURE)) configure->ShowWindow(SW_HIDE);

  UpdateData(FALSE);
  ShowWindow(SW_SHOW);
  UpdateWindow();
  // The first search starts once the dialog is on the screen.
  PostMessage(WM_START_SEARCH);
  return TRUE;
}

void CPortDLG::OnSelChangeTab(NMHDR*, LRESULT* result) {
  m_List.DeleteAllItems();
  if (m_Protocol == PACKET_TYPE_UDP) m_List.DeleteColumn(kIPAddressColumn);
  // Without a tab (no transport the dialog knows is enabled) nothing is selected.
  int selected = m_Tab.GetCurSel();
  m_Protocol = selected >= 0 && selected < m_TabCount ? m_TabProtocol[selected] : kNoProtocol;
  CWnd* label = GetDlgItem(IDC_SEARCH_ADDRESS_LABEL);
  auto showAddress = [&](int show) {
    if (label) label->ShowWindow(show);
    m_IPCtrl.ShowWindow(show);
  };
  EnableControls({IDC_REFRESH}, TransportWorks(m_Protocol));
  for (const ProtocolEntry& entry : m_ProtocolTable) {
    if (entry.transport != m_Protocol) continue;
    // The address of a directed search, and the servers' addresses, on TCP/IP only.
    const bool tcpip = m_Protocol == PACKET_TYPE_UDP;
    showAddress(tcpip ? SW_SHOW : SW_HIDE);
    if (tcpip) InsertColumn(kIPAddressColumn, IDS_COLUMN_IP_ADDRESS, LVCFMT_CENTER, u"255.255.255.255", 0);
    if (TransportWorks(m_Protocol)) {
      UpdateWindow();
      OnRefresh();
    }
  }
  if (result) *result = 0;
}

bool CPortDLG::TransportWorks(int protocol) {
  for (const ProtocolEntry& entry : m_ProtocolTable)
    if (entry.transport == protocol) return (g_SupportedProtocols & entry.bit) != 0;
  return false;
}

LRESULT CPortDLG::OnStartSearch(WPARAM, LPARAM) {
  LRESULT result = 0;
  OnSelChangeTab(nullptr, &result);
  return 0;
}

void CPortDLG::InsertServerItem(CPSInfo* record) {
  if (record == nullptr) return;
  int row = m_List.GetItemCount();
  row = m_List.InsertItem(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, row, EightBitText(record->m_Name).GetString(), 0, 0,
                          kServerRowImage, record->m_bLate ? kLateRowText : 0);
  if (row < 0) return;
  WCHAR text[32];
  const BYTE* n = record->m_NodeID;
  wsprintfW(text, u"%d", record->m_PortID);
  m_List.SetItemText(row, 1, text);
  int next = 2;
  if (m_Protocol == PACKET_TYPE_UDP) {
    const BYTE* ip = record->m_IPAddress;
    wsprintfW(text, u"%d.%d.%d.%d", ip[0], ip[1], ip[2], ip[3]);
    m_List.SetItemText(row, next++, text);
  }
  wsprintfW(text, u"%02X%02X%02X%02X%02X%02X", n[0], n[1], n[2], n[3], n[4], n[5]);
  m_List.SetItemText(row, next++, text);
  wsprintfW(text, u"%X.%02X", record->m_Version[0], record->m_Version[1]);
  m_List.SetItemText(row, next, text);
  m_List.Invalidate();
  m_List.UpdateWindow();
}

CPSInfo* CPortDLG::SelectedRecord() {
  POSITION position = m_List.GetFirstSelectedItemPosition();
  if (position == nullptr) return nullptr;
  return PSInfoAt(m_List.GetNextSelectedItem(position));
}

void CPortDLG::OnItemChanged(NMHDR*, LRESULT* result) {
  EnableControls({IDOK}, FALSE);
  if (CPSInfo* record = SelectedRecord()) {
    if (!m_bConfigure) SetUniquePortName(record->m_NodeID);
    // A server that answered only the unflagged request cannot take a port.
    if (!record->m_bLate) EnableControls({IDOK}, TRUE);
  }
  if (result) *result = 0;
}

void CPortDLG::SetUniquePortName(const BYTE node[6]) {
  std::vector<std::u16string> names;
  if (!EnumerateAllPortNames(&names)) return;
  // Names differ in more than case: the records of two would be one registry key.
  for (int n = 1;; ++n) {
    WCHAR candidate[32];
    wsprintfW(candidate, u"LPT:PS%02X%02X-%d", node[4], node[5], n);
    bool taken = std::any_of(names.begin(), names.end(),
                             [&](const std::u16string& name) { return SamePortNameNoCase(name.c_str(), candidate); });
    if (!taken) {
      SetDlgItemText(IDC_PORT_NAME, candidate);
      return;
    }
  }
}

BOOL CPortDLG::CheckUniquePortName(LPCWSTR name) {
  bool taken = true;
  return PortNameTaken(name, &taken) && !taken ? TRUE : FALSE;
}

void CPortDLG::OnDeltaPosSpin(NMHDR* header, LRESULT* result) {
  auto* change = reinterpret_cast<NMUPDOWN*>(header);
  CStringW text;
  GetDlgItemText(IDC_TIMEOUT, text);
  long value = std::strtol(vek::ToNarrow(text.GetString()).c_str(), nullptr, 10);
  if (change) value -= change->iDelta;
  auto seconds = static_cast<unsigned>(value);
  seconds = std::clamp<unsigned>(seconds, kMinRetryTimeout, kMaxRetryTimeout);
  char out[16];
  std::snprintf(out, sizeof out, "%u", seconds);
  SetDlgItemText(IDC_TIMEOUT, out);
  if (result) *result = 0;
}

int CPortDLG::TimeoutSeconds() {
  CStringW text;
  GetDlgItemText(IDC_TIMEOUT, text);
  long value = std::strtol(vek::ToNarrow(text.GetString()).c_str(), nullptr, 10);
  auto seconds = static_cast<unsigned>(static_cast<int>(std::clamp<long>(value, INT32_MIN, INT32_MAX)));
  return static_cast<int>(std::clamp<unsigned>(seconds, kMinRetryTimeout, kMaxRetryTimeout));
}

void CPortDLG::ShowError(UINT stringId, LPCWSTR name, LPCWSTR reason) {
  std::u16string format = MonitorString(stringId);
  CStringW text;
  if (name && reason) text.Format(format.c_str(), name, reason);
  else if (name) text.Format(format.c_str(), name);
  else text = format.c_str();
  MessageBox(text.GetString(), m_Title.GetString(), MB_ICONERROR);
}

void CPortDLG::OnOK() {
  // Everything is checked before anything changes: the address control, the name,
  // the row, and the port itself under the lock of the port list.
  if (!UpdateData(TRUE)) return;
  CStringW name;
  GetDlgItemText(IDC_PORT_NAME, name);
  if (!m_bConfigure) {
    if (!IsUsablePortName(name.GetString())) {
      ShowError(IDS_INVALID_PORT_NAME);
      return;
    }
    // A port of another monitor counts too: the spooler knows a port by its name alone.
    bool taken = true;
    if (!PortNameTaken(name.GetString(), &taken)) {
      ShowError(IDS_PORTS_NOT_LISTED, name.GetString());
      return;
    }
    if (taken) {
      ShowError(IDS_PORT_EXISTS, name.GetString());
      return;
    }
  }
  CPSInfo* record = SelectedRecord();
  if (record == nullptr) return;
  if (m_bConfigure && m_pPort == nullptr) return;

  PortAddress chosen{};
  chosen.model = record->m_Model;
  chosen.packetType = m_Protocol;
  std::memcpy(chosen.network, record->m_Network, 4);
  std::memcpy(chosen.node, record->m_NodeID, 6);
  std::memcpy(chosen.ip, record->m_IPAddress, 4);
  std::memcpy(chosen.psName, record->m_PSName, kPSNameLength);
  chosen.psName[kPSNameLength] = 0;
  chosen.portId = static_cast<signed char>(record->m_PortID);
  chosen.retryTimeout = TimeoutSeconds();

  EnterCriticalSection(&g_PortLock);
  CPrintPort* port = nullptr;
  if (m_bConfigure) {
    // The port as the list has it now, and idle: a job may have started meanwhile.
    port = FindPortByName(m_pPort->m_PortName);
    if (port != m_pPort || port->IsJobActive()) {
      LeaveCriticalSection(&g_PortLock);
      ShowError(IDS_PORT_IN_USE);
      return;
    }
  } else {
    if (FindPortByNameNoCase(name.GetString())) {
      LeaveCriticalSection(&g_PortLock);
      ShowError(IDS_PORT_EXISTS, name.GetString());
      return;
    }
    port = new CPrintPort;
    std::memset(port->m_PortName, 0, sizeof port->m_PortName);
    std::memcpy(port->m_PortName, name.GetString(), static_cast<std::size_t>(name.GetLength()) * sizeof(WCHAR));
  }
  const PortAddress before = PortAddress::Of(*port);
  chosen.ApplyTo(*port);
  if (!port->Save()) {
    DWORD error = GetLastError();
    if (m_bConfigure) {
      before.ApplyTo(*port);
      port->Save();  // the record as it was, as far as it can be written
    } else {
      port->Delete();
      delete port;
    }
    LeaveCriticalSection(&g_PortLock);
    theDebugLog.Trace("CPortDLG::OnOK() = %d[Save Failed]", error);
    ShowError(IDS_PORT_NOT_SAVED, name.GetString(), vek::ToWide(vek::ErrorText(error)).c_str());
    return;
  }
  if (!m_bConfigure) g_PortList.AddTail(port);
  LeaveCriticalSection(&g_PortLock);
  EndDialog(IDOK);
}

void CPortDLG::OnAbout() {
  CAboutDLG about(this);
  about.DoModal();
}

void CPortDLG::ClearPSInfoList() {
  if (m_List.m_hWnd) {
    m_List.DeleteAllItems();
    m_List.Invalidate();
    m_List.UpdateWindow();
  }
  FreePSInfoList();
}

void CPortDLG::OnDestroy() {
  Default();
  m_List.DeleteAllItems();
  m_List.SetImageList(nullptr, LVSIL_SMALL);
  m_Tab.SetImageList(nullptr);
  m_TabImages.DeleteImageList();
  m_ListImages.DeleteImageList();
  ClearPSInfoList();
}
