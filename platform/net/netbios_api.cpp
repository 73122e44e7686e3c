// Netbios: checks the command and the LANA, runs the command on the LANA's adapter,
// and completes it as the interface says (return code, and for an asynchronous
// command ncb_cmd_cplt, the event and the post routine).
#include <atomic>

#include "kernel/sync.h"
#include "net/netbios.h"
#include "net/netbios_config.h"
#include "net/netbios_layer.h"

namespace {

using vek::net::NetbiosAdapter;

bool KnownCommand(UCHAR command) {
  switch (command) {
    case NCBRESET:
    case NCBADDNAME:
    case NCBADDGRNAME:
    case NCBDELNAME:
    case NCBDGSEND:
    case NCBDGRECV:
    case NCBCANCEL:
    case NCBASTAT:
      return true;
    default:
      return false;
  }
}

UCHAR Run(NCB* ncb, UCHAR command, bool async) {
  if (!KnownCommand(command)) return NRC_ILLCMD;
  if (!vek::net::NetbiosLanaConfigured(ncb->ncb_lana_num)) return NRC_BRIDGE;
  NetbiosAdapter& adapter = vek::net::AdapterForLana(ncb->ncb_lana_num);
  switch (command) {
    case NCBRESET: return adapter.Reset(ncb);
    case NCBADDNAME: return adapter.AddName(ncb, false);
    case NCBADDGRNAME: return adapter.AddName(ncb, true);
    case NCBDELNAME: return adapter.DeleteName(ncb);
    case NCBDGSEND: return adapter.SendDatagram(ncb);
    case NCBDGRECV: return adapter.ReceiveDatagram(ncb, async);
    case NCBCANCEL: return adapter.Cancel(ncb);
    case NCBASTAT: return adapter.Status(ncb);
    default: return NRC_ILLCMD;
  }
}

}  // namespace

UCHAR Netbios(PNCB ncb) {
  if (ncb == nullptr) return NRC_INVADDRESS;
  const bool async = (ncb->ncb_command & ASYNCH) != 0;
  const UCHAR command = static_cast<UCHAR>(ncb->ncb_command & ~ASYNCH);
  const HANDLE event = ncb->ncb_event;
  void (*const post)(NCB*) = ncb->ncb_post;
  const UCHAR code = Run(ncb, command, async);
  // Armed: the NCB is the layer's now and may complete at any moment.
  if (async && code == NRC_PENDING) return NRC_GOODRET;
  // Issued again while still pending: it is not ours to write; the return says it.
  if (code == NRC_TOOMANY) return code;
  ncb->ncb_retcode = code;
  if (async) {
    std::atomic_ref<UCHAR>(ncb->ncb_cmd_cplt).store(code, std::memory_order_release);
    if (event != nullptr) SetEvent(event);
    if (post != nullptr) post(ncb);
  }
  return code;
}
