// NetBIOS through its network control blocks: UCHAR Netbios(PNCB), over the
// simulated NetBIOS segments (one per LANA; configuration and test hooks in
// net/netbios_segment.h).
//
// Commands (ncb_command; OR in ASYNCH for an asynchronous one):
//  NCBRESET     must come first: every other command on a LANA this process has not
//               reset fails with NRC_ENVNOTDEF. It deletes the process's names on the
//               LANA and completes its pending commands there with NRC_CMDCAN.
//               ncb_callname[2] is the name table size (0: 16; at most 253, the
//               name numbers 2..254).
//  NCBADDNAME   claims a unique name (ncb_name) on the segment: the claim is sent
//  NCBADDGRNAME and repeated over the claim period, and any station holding or
//               claiming the name objects (any holder for a unique claim; a unique
//               holder for a group claim), so two claims at once both fail. An
//               objection gives NRC_INUSE; a name this process already has on the
//               LANA gives NRC_DUPNAME at once; a full table NRC_NAMTFUL; a name
//               starting with '*' or 0 NRC_NOWILD. Success returns the name number
//               in ncb_num. Group names have many holders.
//  NCBDELNAME   removes ncb_name (unknown: NRC_NOWILD). Receives pending on the name
//               complete with NRC_NAMERR and no data.
//  NCBDGSEND    one datagram of ncb_length bytes (at most 1500, else NRC_BUFLEN)
//               from name number ncb_num (NRC_ILLNN when not ours) to ncb_callname:
//               a unique or group name, or "*" for every name on the segment. It
//               reaches this process's own names too. Datagrams are never queued: a
//               station with no receive pending on the name loses it.
//  NCBDGRECV    waits for a datagram to name number ncb_num (0xFF: any of our
//               names). Pending receives complete in the order they were issued. The
//               sender's name goes to ncb_callname, the receiving name's number to
//               ncb_num, the bytes to ncb_buffer and their count to ncb_length; a
//               datagram longer than ncb_length is cut to it and completes with
//               NRC_INCOMP. Synchronous, it waits until a datagram or a cancel comes.
//  NCBCANCEL    cancels the pending command ncb_buffer points to, on the same LANA;
//               it completes with NRC_CMDCAN. NRC_CANOCCR when nothing of that is
//               pending (it completed already), NRC_CANCEL for a command that cannot
//               be cancelled.
//  NCBASTAT     status of the local adapter (ncb_callname "*"): ADAPTER_STATUS and a
//               NAME_BUFFER per name of this process on the LANA, as far as ncb_length
//               holds them (NRC_INCOMP when cut). Other adapters are not reachable
//               (NRC_CMDTMO).
// A LANA that is not configured gives NRC_BRIDGE, an unknown command NRC_ILLCMD.
//
// Asynchronous commands: when accepted, ncb_retcode and ncb_cmd_cplt read NRC_PENDING
// and the manual-reset event ncb_event (when set) is reset; Netbios returns 0. On
// completion ncb_cmd_cplt (written last) and ncb_retcode hold the result, then the
// event is signalled and ncb_post (when set) is called with the NCB, from whichever
// thread completed it. Only NCBDGRECV stays pending: every other asynchronous command
// completes before Netbios returns, which then returns its result as a synchronous
// one would. A command that ends without data (cancelled, name deleted, reset) leaves
// ncb_length 0. A pending NCB belongs to the layer: the caller must not change or
// free it until it completes; issued again meanwhile, it is refused with NRC_TOOMANY
// and left as it was. A post routine may run on the layer's own thread, which also
// answers other stations: it must not issue the commands that wait (NCBADDNAME,
// NCBADDGRNAME, a synchronous NCBDGRECV). Netbios(nullptr) returns NRC_INVADDRESS.
#pragma once

#include <cstddef>

#include "kernel/types.h"

constexpr int NCBNAMSZ = 16;

using PUCHAR = UCHAR*;

struct NCB {
  UCHAR ncb_command;
  UCHAR ncb_retcode;
  UCHAR ncb_lsn;
  UCHAR ncb_num;
  PUCHAR ncb_buffer;
  WORD ncb_length;
  UCHAR ncb_callname[NCBNAMSZ];
  UCHAR ncb_name[NCBNAMSZ];
  UCHAR ncb_rto;
  UCHAR ncb_sto;
  void (*ncb_post)(NCB* ncb);
  UCHAR ncb_lana_num;
  UCHAR ncb_cmd_cplt;
  UCHAR ncb_reserve[10];
  HANDLE ncb_event;
};
using PNCB = NCB*;

UCHAR Netbios(PNCB ncb);

// Commands.
constexpr UCHAR ASYNCH = 0x80;
constexpr UCHAR NCBDGSEND = 0x20;
constexpr UCHAR NCBDGRECV = 0x21;
constexpr UCHAR NCBADDNAME = 0x30;
constexpr UCHAR NCBDELNAME = 0x31;
constexpr UCHAR NCBRESET = 0x32;
constexpr UCHAR NCBASTAT = 0x33;
constexpr UCHAR NCBCANCEL = 0x35;
constexpr UCHAR NCBADDGRNAME = 0x36;

// Return codes: every code of the interface, so that a code can be named.
constexpr UCHAR NRC_GOODRET = 0x00;    // good return
constexpr UCHAR NRC_BUFLEN = 0x01;     // illegal buffer length
constexpr UCHAR NRC_ILLCMD = 0x03;     // illegal command
constexpr UCHAR NRC_CMDTMO = 0x05;     // command timed out
constexpr UCHAR NRC_INCOMP = 0x06;     // message incomplete
constexpr UCHAR NRC_BADDR = 0x07;      // illegal buffer address
constexpr UCHAR NRC_SNUMOUT = 0x08;    // session number out of range
constexpr UCHAR NRC_NORES = 0x09;      // no resource available
constexpr UCHAR NRC_SCLOSED = 0x0A;    // session closed
constexpr UCHAR NRC_CMDCAN = 0x0B;     // command cancelled
constexpr UCHAR NRC_DUPNAME = 0x0D;    // duplicate name in the local table
constexpr UCHAR NRC_NAMTFUL = 0x0E;    // name table full
constexpr UCHAR NRC_ACTSES = 0x0F;     // name has active sessions
constexpr UCHAR NRC_LOCTFUL = 0x11;    // local session table full
constexpr UCHAR NRC_REMTFUL = 0x12;    // remote session table full
constexpr UCHAR NRC_ILLNN = 0x13;      // illegal name number
constexpr UCHAR NRC_NOCALL = 0x14;     // no callname
constexpr UCHAR NRC_NOWILD = 0x15;     // name not found, or '*' or 0 where a name is needed
constexpr UCHAR NRC_INUSE = 0x16;      // name in use on a remote adapter
constexpr UCHAR NRC_NAMERR = 0x17;     // name deleted
constexpr UCHAR NRC_SABORT = 0x18;     // session ended abnormally
constexpr UCHAR NRC_NAMCONF = 0x19;    // name conflict detected
constexpr UCHAR NRC_IFBUSY = 0x21;     // interface busy
constexpr UCHAR NRC_TOOMANY = 0x22;    // too many commands outstanding
constexpr UCHAR NRC_BRIDGE = 0x23;     // no such LANA
constexpr UCHAR NRC_CANOCCR = 0x24;    // command completed while the cancel was made
constexpr UCHAR NRC_CANCEL = 0x26;     // command not valid to cancel
constexpr UCHAR NRC_DUPENV = 0x30;     // name defined by another local process
constexpr UCHAR NRC_ENVNOTDEF = 0x34;  // no reset yet
constexpr UCHAR NRC_OSRESNOTAV = 0x35; // operating system resources exhausted
constexpr UCHAR NRC_MAXAPPS = 0x36;    // too many applications
constexpr UCHAR NRC_NOSAPS = 0x37;     // no service access points
constexpr UCHAR NRC_NORESOURCES = 0x38;  // requested resources not available
constexpr UCHAR NRC_INVADDRESS = 0x39;   // invalid NCB address
constexpr UCHAR NRC_INVDDID = 0x3B;      // invalid NCB DDID
constexpr UCHAR NRC_LOCKFAIL = 0x3C;     // lock of the user area failed
constexpr UCHAR NRC_OPENERR = 0x3F;      // NetBIOS not loaded
constexpr UCHAR NRC_SYSTEM = 0x40;       // system error
constexpr UCHAR NRC_PENDING = 0xFF;      // asynchronous command not yet finished

// NCBASTAT: the adapter, followed by name_count NAME_BUFFER entries. 60 + 255 * 18
// bytes hold the largest table.
struct ADAPTER_STATUS {
  UCHAR adapter_address[6];
  UCHAR rev_major;
  UCHAR reserved0;
  UCHAR adapter_type;  // 0xFE Ethernet
  UCHAR rev_minor;
  WORD duration;
  WORD frmr_recv;
  WORD frmr_xmit;
  WORD iframe_recv_err;
  WORD xmit_aborts;
  DWORD xmit_success;
  DWORD recv_success;
  WORD iframe_xmit_err;
  WORD recv_buff_unavail;
  WORD t1_timeouts;
  WORD ti_timeouts;
  DWORD reserved1;
  WORD free_ncbs;
  WORD max_cfg_ncbs;
  WORD max_ncbs;
  WORD xmit_buf_unavail;
  WORD max_dgram_size;
  WORD pending_sess;
  WORD max_cfg_sess;
  WORD max_sess;
  WORD max_sess_pkt_size;
  WORD name_count;
};
using PADAPTER_STATUS = ADAPTER_STATUS*;

struct NAME_BUFFER {
  UCHAR name[NCBNAMSZ];
  UCHAR name_num;
  UCHAR name_flags;  // state (NAME_FLAGS_MASK) | GROUP_NAME
};
using PNAME_BUFFER = NAME_BUFFER*;

constexpr UCHAR NAME_FLAGS_MASK = 0x87;
constexpr UCHAR GROUP_NAME = 0x80;
constexpr UCHAR UNIQUE_NAME = 0x00;
constexpr UCHAR REGISTERING = 0x00;
constexpr UCHAR REGISTERED = 0x04;
constexpr UCHAR DEREGISTERED = 0x05;
constexpr UCHAR DUPLICATE = 0x06;
constexpr UCHAR DUPLICATE_DEREG = 0x07;

static_assert(sizeof(ADAPTER_STATUS) == 60);
static_assert(sizeof(NAME_BUFFER) == 18);
static_assert(offsetof(ADAPTER_STATUS, free_ncbs) == 40);
