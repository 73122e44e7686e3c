// CPrintServer: the wizard's record of one print server found on the network.
//
// The record keeps a private copy of the device's information reply. Its getters
// read settings out of the copy and its setters write new settings into it in
// place; the edited copy is what a configuration upload sends back to the device.
//
// The reply comes from the network and is trusted in nothing: a field is present
// only when its section was reached by the walk, has a non-zero length and holds
// the whole field, and the field lies inside the copy. Getters of an absent field
// give their default and setters leave the copy alone (they return FALSE).
#pragma once

#include <string>

#include "kernel/types.h"
#include "protocol/capabilities.h"
#include "protocol/section_walk.h"

class XUDPSocket;

// m_Transport bits.
constexpr DWORD PS_TRANSPORT_IPX = 0x1;
constexpr DWORD PS_TRANSPORT_UDP = 0x4;

// m_PortStatus: 2 bits per port (port 1 in bits 0-1), or the whole byte
// PS_STATUS_DOWNLOAD while the device is in download mode.
constexpr BYTE PS_PORT_READY = 0;
constexpr BYTE PS_PORT_PAPER_OUT = 1;
constexpr BYTE PS_PORT_OFFLINE = 2;
constexpr BYTE PS_PORT_BUSY = 3;
constexpr BYTE PS_STATUS_DOWNLOAD = 255;
// Their words in GetStatusText: strings of the wizard's table, with the English
// text where no table has them.
constexpr UINT IDS_PS_DOWNLOAD_MODE = 107;
constexpr UINT IDS_PS_PORT_PAPER_OUT = 108;
constexpr UINT IDS_PS_PORT_OFFLINE = 109;
constexpr UINT IDS_PS_PORT_READY = 114;
constexpr UINT IDS_PS_PORT_BUSY = 115;

// System flags bit of a device that answers the port-information query.
constexpr BYTE PS_SYSTEM_PORT_INFO = 0x04;

constexpr int PS_MAX_PORTS = 3;
constexpr int PS_TEXT_LENGTH = 20;
// The shared result text of the text getters; GetPortTypes fills all of it, so
// its buffer has one character more for the terminator.
constexpr int PS_SCRATCH_LENGTH = 100;
// Length of the text GetPortTypes returns: 5 characters per port slot.
constexpr int PS_PORT_TYPES_TEXT = 100;
constexpr int PS_PORT_TYPE_SLOT = 5;

// Field positions in the sections, relative to the section's length byte.
namespace PSField {
// System section.
constexpr int SystemFlags = 1;
constexpr int SystemSwitches = 2;
constexpr int SystemSetting = 3;
constexpr int Password = 4;
constexpr int PasswordWidth = 9;  // 8 characters and a NUL
constexpr int VersionText = 13;
constexpr int VersionTextWidth = 15;
// Identity part of a "NET" reply (reply offsets).
constexpr int MacAddress = 6;
constexpr int FirmwareMajor = 12;
constexpr int FirmwareMinor = 13;
constexpr int Name = 14;
constexpr int NameWidth = 18;
constexpr int PortsAndModel = 33;
constexpr int IPAddress = 34;
// IP section.
constexpr int SubnetMask = 1;
constexpr int Gateway = 5;
constexpr int DHCP = 9;
// Wireless section.
constexpr int CommType = 1;
constexpr int SSID = 2;
constexpr int SSIDWidth = 32;
constexpr int Domain = 34;
constexpr int Channel = 35;
constexpr int TxRate = 36;
constexpr int AuthType = 42;
constexpr int WEPMode = 43;
constexpr int WEPKeyIndex = 44;
constexpr int WEPKey64 = 45;  // four 6-byte slots
constexpr int WEPKey64Slot = 6;
constexpr int WEPKey64Width = 5;
constexpr int WEPKey128 = 69;
constexpr int WEPKey128Width = 13;
constexpr int WEPKeyFormat = 84;
constexpr int LoginMode = 85;
constexpr int WirelessOption = 86;
// Security section.
constexpr int TxRateG = 1;
constexpr int Method8021X = 2;
constexpr int User8021X = 3;
constexpr int Password8021X = 24;
constexpr int Width8021X = 21;
constexpr int WPAPSK = 45;
constexpr int WPAPSKWidth = 64;
constexpr int TxMode = 109;
constexpr int Encryption = 110;
// Port-type section.
constexpr int PortTypes = 1;
constexpr int PortDigits = 2;
// Key section: the modulus from byte 1, L bytes.
constexpr int Modulus = 1;
}  // namespace PSField

class CPrintServer {
 public:
  CPrintServer();
  virtual ~CPrintServer();
  CPrintServer(const CPrintServer&) = delete;
  CPrintServer& operator=(const CPrintServer&) = delete;

  // Takes a copy of an information reply. TRUE when accepted; a refused reply
  // leaves the record reset.
  BOOL ParseReply(const BYTE* reply, int length);
  // Back to the state without a reply; keeps m_Transport, m_NodeID, m_IPAddress.
  void Reset();

  // The exchanges with the device, each on its own UDP socket, blocking the
  // caller. QueryStatus asks for the printer status (m_PortStatus, m_PortStatus2);
  // TRUE when a valid status reply came within 3500 ms. SendConfig writes the
  // stored reply back to the device as its configuration (secured exchange, block
  // upload or whole upload, by the capabilities) and then has the device restart;
  // TRUE when the device took it.
  BOOL QueryStatus();
  // The status query's two halves, for a caller that asks many devices at once:
  // the request of the record's generation (PS_REQUEST_LENGTH bytes) and its
  // configured address (4 bytes) to send it to (FALSE, nothing built, for a
  // record that cannot be asked: not found over UDP, or without IP settings);
  // and the reply, whose status bytes are taken when it is
  // a valid one of the record's generation (TRUE), else nothing changes.
  BOOL BuildStatusRequest(BYTE* request, BYTE* address);
  BOOL TakeStatusReply(const BYTE* reply, int length);
  BOOL SendConfig();
  // How long SendConfig can take at most for this record's upload path (ms),
  // for a caller that shows the progress of the send.
  DWORD SendConfigTimeLimit() const;
  // QueryPortInfo asks a device that announces it (extended reply, system flags
  // bit 2) for the three texts of each port that is not offline, at its
  // configured address, into m_PortInfo (cleared first); m_PortInfoRead is 1
  // once it ran. TRUE when at least one port answered.
  BOOL QueryPortInfo();
  // Has a device found over UDP restart: the restart request, twice, to
  // m_IPAddress; no answer comes. TRUE when both went out.
  BOOL Restart();
  // "Download Mode" for the whole-byte status 255, else each port's status word
  // ("Ok", "Paper Out", "Offline", "Busy") in port order, separated by ", ".
  LPCSTR GetStatusText();

  // Capability tests; all need generation 5 and an extended reply.
  PSCapabilities GetCapabilities() const;
  BOOL IsExtended() const;
  BOOL HasWireless() const;
  BOOL HasWirelessOption() const;
  BOOL HasGRates() const;
  BOOL Has8021X() const;
  BOOL HasWPAPSK() const;
  BOOL HasWPA2PSK() const;
  BOOL HasTxMode() const;
  BOOL HasSecureConfig() const;

  // Identity and address.
  BYTE GetFirmwareMajor() const;
  BYTE GetFirmwareMinor() const;
  LPCSTR GetVersionText();
  BYTE GetModelCode() const;
  LPCSTR GetNodeIDText();
  LPCSTR GetName();
  BOOL SetName(LPCSTR name);
  int GetPortCount() const;
  LPCSTR GetPassword();
  BOOL SetPassword(LPCSTR password);
  BOOL HasIPSettings() const;
  BYTE* GetIPAddress();
  BYTE* GetSubnetMask();
  BYTE* GetGateway();
  BOOL HasDHCPSwitch() const;
  int GetDHCP() const;
  BOOL SetDHCP(int on);
  LPCSTR GetPortTypes();
  // The device's RSA modulus, big-endian; *pLength (when given) receives its
  // length in bytes, 0 with a NULL result.
  BYTE* GetRSAModulus(int* pLength = NULL);

  // Wireless section.
  int GetCommType();
  BOOL SetCommType(int type);
  LPCSTR GetSSID();
  BOOL SetSSID(LPCSTR ssid);
  int GetDomain() const;
  int GetChannel() const;
  BOOL SetChannel(int channel);
  int GetTxRate() const;
  BOOL SetTxRate(int index);
  int GetAuthType() const;
  BOOL SetAuthType(int type);
  int GetWEPMode();
  BOOL SetWEPMode(int mode);
  int GetWEPKeyIndex();
  BOOL SetWEPKeyIndex(int index);
  BYTE* GetWEPKey64();
  // Slots 0 to 3 of the 64-bit keys; slot 0 is GetWEPKey64.
  BYTE* GetWEPKey64Slot(int slot);
  BYTE* GetWEPKey128();
  // The first 64-bit key and the 128-bit key with the byte after each, where an
  // alphanumeric key ends with its zero; NULL when that byte is not in the section.
  BYTE* GetWEPKeyText64();
  BYTE* GetWEPKeyText128();
  int GetWEPKeyFormat();
  BOOL SetWEPKeyFormat(int format);
  int GetLoginMode();
  int GetWirelessOption();
  BOOL SetWirelessOption(int option);

  // Security section.
  int GetTxRateG() const;
  BOOL SetTxRateG(int index);
  int Get8021XMethod();
  BOOL Set8021XMethod(int method);
  LPCSTR Get8021XUser();
  BOOL Set8021XUser(LPCSTR user);
  LPCSTR Get8021XPassword();
  BOOL Set8021XPassword(LPCSTR password);
  LPCSTR GetWPAPSK();
  BOOL SetWPAPSK(LPCSTR key);
  int GetTxMode() const;
  BOOL SetTxMode(int index);
  int GetEncryption() const;
  BOOL SetEncryption(int on);

 public:
  DWORD m_Transport;
  int m_Generation;
  BYTE m_Network[4];
  BYTE m_NodeID[6];
  BYTE m_IPAddress[4];
  int m_ReplyLength;
  BYTE* m_pReply;
  int m_Extended;
  BYTE m_PortStatus;
  BYTE m_PortStatus2;
  DWORD m_StatusTick;
  int m_PortInfoRead;
  std::string m_PortInfo[PS_MAX_PORTS][3];

 private:
  // A field of width bytes at offset in a section: present when the section was
  // reached, its length byte is non-zero and holds the whole field, and the field
  // lies inside the copy.
  BYTE* SectionField(BYTE* section, int offset, int width) const;
  // A field at a fixed reply offset, inside the copy.
  BYTE* ReplyField(int offset, int width) const;
  BYTE* WirelessField(int offset, int width = 1) const;
  BYTE* SecurityField(BOOL gate, int offset, int width = 1) const;
  // The upload paths of SendConfig, over a socket aimed at the device.
  BOOL SecureUpload(XUDPSocket& socket);
  BOOL BlockUpload(XUDPSocket& socket);
  BOOL WholeUpload(XUDPSocket& socket);
  // One datagram from the device (any sender while m_IPAddress is the broadcast
  // address) within timeoutMs; 0 when none came.
  int ReceiveFromDevice(XUDPSocket& socket, BYTE* buffer, DWORD timeoutMs);
  // The restart request, twice, over a socket aimed at the device; TRUE when
  // both went out.
  BOOL SendRestart(XUDPSocket& socket);
  // Clears out and writes at most width characters of field, up to a NUL.
  static LPCSTR FormatText(char* out, int outSize, const BYTE* field, int width);
  static void WriteText(BYTE* field, int width, LPCSTR text);
  const BYTE* FixedName() const;

  char m_NameText[PS_TEXT_LENGTH];
  char m_VersionText[PS_TEXT_LENGTH];
  char m_NodeIDText[PS_TEXT_LENGTH];
  char m_StatusText[PS_TEXT_LENGTH];
  char m_ScratchText[PS_SCRATCH_LENGTH + 1];

  // Views into m_pReply, NULL when absent; only the one of m_Generation is set.
  BYTE* m_pGeneration3;
  BYTE* m_pGeneration4;
  BYTE* m_pGeneration5;
  BYTE* m_pIdentity;
  BYTE* m_pSystem;
  BYTE* m_pGeneral;
  BYTE* m_pIP;
  BYTE* m_pNames;
  BYTE* m_pPort;
  BYTE* m_pKeyText;
  BYTE* m_pSixth;
  BYTE* m_pWireless;
  BYTE* m_pPortTypes;  // into m_pReply, or m_DefaultPortTypes when they did not fit
  BYTE* m_pSecurity;
  BYTE* m_pText;
  BYTE* m_pKey;
  // The bytes after the general section.
  BYTE* m_pGeneralValue;
  BYTE* m_pGeneralLength1;
  BYTE* m_pGeneralText1;
  BYTE* m_pGeneralLength2;
  BYTE* m_pGeneralText2;
  BYTE* m_pKeyTextData;
  BYTE m_DefaultPortTypes[4];
};
