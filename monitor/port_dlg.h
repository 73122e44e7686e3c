// CPortDLG: the Add Port and Configure Port dialog. One tab per transport (IPX,
// TCP/IP, NetBEUI) searches the network for print servers (port_dlg_search.cpp)
// and lists every printer port of every server that answers; the person picks
// one, the dialog proposes a port name that no port has, and OK creates the port
// (Add) or points the configured port at the chosen server (Configure) and
// writes its record. It runs on the spooler's thread that called AddPort or
// ConfigurePort; the search blocks that thread while it runs.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "framework/controls.h"
#include "framework/dialog.h"
#include "resources/resource_ids.h"
#include "xip_address_ctrl.h"
#include "xlist_ctrl.h"
#include "xtab_ctrl.h"

class CPrintPort;
class CPSInfo;
class XSocket;

class CPortDLG : public CDialog {
 public:
  explicit CPortDLG(CWnd* parent = nullptr);
  ~CPortDLG() override;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* exchange) override;

  // Appends the row of a found record.
  void InsertServerItem(CPSInfo* record);
  // Puts "LPT:PS<node 4><node 5>-<n>" with the first n that no port has into the
  // port name edit; leaves the edit as it is when the ports cannot be listed.
  void SetUniquePortName(const BYTE node[6]);
  // TRUE when no port of this or another monitor has the name (in any case);
  // FALSE also when the ports cannot be listed.
  BOOL CheckUniquePortName(LPCWSTR name);
  BOOL IsKnownNode(const BYTE node[6]);
  // Empties the list and g_PSInfoList.
  void ClearPSInfoList();

  struct ProtocolEntry {
    int bit;       // of "Protocols" and of the transports found working
    int stringId;  // the tab's name
    int transport;
  };
  static const ProtocolEntry m_ProtocolTable[3];

  XTabCtrl m_Tab;
  XListCtrl m_List;
  CStringW m_Title;  // also the caption of the dialog's message boxes
  CImageList m_TabImages;
  CImageList m_ListImages;
  int m_Protocol;    // the selected tab's transport; 3: none
  int m_bConfigure;  // 0 Add Port, 1 Configure Port
  XIPAddressCtrl m_IPCtrl;
  BYTE m_IPAddress[4];  // the directed search's address, first number first
  CPrintPort* m_pPort;  // Configure Port: the port configured
  int m_TabProtocol[3];

 protected:
  void OnSelChangeTab(NMHDR* header, LRESULT* result);
  LRESULT OnStartSearch(WPARAM wParam, LPARAM lParam);
  void OnRefresh();
  void OnItemChanged(NMHDR* header, LRESULT* result);
  void OnDeltaPosSpin(NMHDR* header, LRESULT* result);
  void OnAbout();
  void OnDestroy();
  DECLARE_MESSAGE_MAP()

 private:
  void InsertColumn(int position, UINT headingId, int format, LPCWSTR widest, int extra);
  void EnableControls(std::initializer_list<int> ids, BOOL enable);
  // Whether the probes found the transport working: only then is there a search.
  static bool TransportWorks(int protocol);
  // The selected row's record, or null.
  CPSInfo* SelectedRecord();
  // The selected tab's transport, as its tab names it.
  std::u16string TransportName() const;
  // That the search found no print server on the tab's transport.
  void SayNoServerAnswered();
  // A monitor string, in a box with the dialog's title, with the port name and
  // then the reason put in for its %s marks.
  void ShowError(UINT stringId, LPCWSTR name = nullptr, LPCWSTR reason = nullptr);
  // The time-out edit's value, clamped (compared as unsigned) to 30..120.
  int TimeoutSeconds();
  // The controls after a search that listed nothing: no port to name or add; the
  // time-out of the port being configured stays to be changed.
  void ShowEmptyList();
  // The search's reply handling.
  void TakeSearchReply(const BYTE* datagram, int length, int requestsSent, XSocket* socket);

  int m_TabCount;
};
