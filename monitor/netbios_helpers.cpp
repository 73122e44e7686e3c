#include "netbios_helpers.h"

#include <cstring>
#include <mutex>

#include "debug_log.h"
#include "net/netbios.h"

namespace {

// Room for the adapter status and 255 name entries.
constexpr int kStatusBufferSize = 4650;
static_assert(kStatusBufferSize == sizeof(ADAPTER_STATUS) + 255 * sizeof(NAME_BUFFER));

BYTE g_StatusBuffer[kStatusBufferSize];
// Two sockets may fail to register at once, on different threads.
std::mutex g_StatusLock;

struct CodeName {
  UCHAR code;
  const char* name;
};

constexpr CodeName kCodeNames[] = {
    {NRC_GOODRET, "NRC_GOODRET"},       {NRC_BUFLEN, "NRC_BUFLEN"},       {NRC_ILLCMD, "NRC_ILLCMD"},
    {NRC_CMDTMO, "NRC_CMDTMO"},         {NRC_INCOMP, "NRC_INCOMP"},       {NRC_BADDR, "NRC_BADDR"},
    {NRC_SNUMOUT, "NRC_SNUMOUT"},       {NRC_NORES, "NRC_NORES"},         {NRC_SCLOSED, "NRC_SCLOSED"},
    {NRC_CMDCAN, "NRC_CMDCAN"},         {NRC_DUPNAME, "NRC_DUPNAME"},     {NRC_NAMTFUL, "NRC_NAMTFUL"},
    {NRC_ACTSES, "NRC_ACTSES"},         {NRC_LOCTFUL, "NRC_LOCTFUL"},     {NRC_REMTFUL, "NRC_REMTFUL"},
    {NRC_ILLNN, "NRC_ILLNN"},           {NRC_NOCALL, "NRC_NOCALL"},       {NRC_NOWILD, "NRC_NOWILD"},
    {NRC_INUSE, "NRC_INUSE"},           {NRC_NAMERR, "NRC_NAMERR"},       {NRC_SABORT, "NRC_SABORT"},
    {NRC_NAMCONF, "NRC_NAMCONF"},       {NRC_IFBUSY, "NRC_IFBUSY"},       {NRC_TOOMANY, "NRC_TOOMANY"},
    {NRC_BRIDGE, "NRC_BRIDGE"},         {NRC_CANOCCR, "NRC_CANOCCR"},     {NRC_CANCEL, "NRC_CANCEL"},
    {NRC_DUPENV, "NRC_DUPENV"},         {NRC_ENVNOTDEF, "NRC_ENVNOTDEF"}, {NRC_OSRESNOTAV, "NRC_OSRESNOTAV"},
    {NRC_MAXAPPS, "NRC_MAXAPPS"},       {NRC_NOSAPS, "NRC_NOSAPS"},       {NRC_NORESOURCES, "NRC_NORESOURCES"},
    {NRC_INVADDRESS, "NRC_INVADDRESS"}, {NRC_INVDDID, "NRC_INVDDID"},     {NRC_LOCKFAIL, "NRC_LOCKFAIL"},
    {NRC_OPENERR, "NRC_OPENERR"},       {NRC_SYSTEM, "NRC_SYSTEM"},       {NRC_PENDING, "NRC_PENDING"},
};
static_assert(sizeof kCodeNames / sizeof kCodeNames[0] == 39);

const char* NameState(UCHAR flags) {
  switch (flags & 0x0F) {
    case REGISTERING: return "REGISTERING";
    case REGISTERED: return "REGISTERED";
    case DEREGISTERED: return "DEREGISTERED";
    case DUPLICATE: return "DUPLICATE";
    case DUPLICATE_DEREG: return "DUPLICATE_DEREG";
    default: return "Unknown";
  }
}

}  // namespace

const char* NBReturnCodeName(int code) {
  for (const CodeName& entry : kCodeNames)
    if (entry.code == code) return entry.name;
  return "";
}

void NBPadName(BYTE dest[16], const char* name) {
  std::memset(dest, ' ', NCBNAMSZ);
  if (name == nullptr) return;
  std::size_t length = strnlen(name, NCBNAMSZ);
  std::memcpy(dest, name, length);
}

BOOL NBResetAdapter(int lana) {
  NCB ncb{};
  ncb.ncb_command = NCBRESET;
  ncb.ncb_lana_num = static_cast<UCHAR>(lana);
  ncb.ncb_callname[0] = 254;  // sessions
  ncb.ncb_callname[1] = 0;
  ncb.ncb_callname[2] = 255;  // names
  ncb.ncb_callname[3] = 1;    // name number 1 is ours to use
  UCHAR code = Netbios(&ncb);
  if (code != NRC_GOODRET) {
    theDebugLog.Trace("NBResetAdapter() = %s", NBReturnCodeName(code));
    return FALSE;
  }
  theDebugLog.Trace("NBResetAdapter() Reset LANA %d OK !", lana);
  return TRUE;
}

BOOL NBAdapterStatus(int lana) {
  std::lock_guard guard(g_StatusLock);
  std::memset(g_StatusBuffer, 0, sizeof g_StatusBuffer);
  NCB ncb{};
  ncb.ncb_command = NCBASTAT;
  ncb.ncb_lana_num = static_cast<UCHAR>(lana);
  NBPadName(ncb.ncb_callname, "*");
  ncb.ncb_buffer = g_StatusBuffer;
  ncb.ncb_length = kStatusBufferSize;
  UCHAR code = Netbios(&ncb);
  // A cut table still holds what fitted.
  if (code != NRC_GOODRET && code != NRC_INCOMP) {
    theDebugLog.Trace("NBAdapterStatus() = %s", NBReturnCodeName(code));
    return FALSE;
  }
  ADAPTER_STATUS status;
  std::memcpy(&status, g_StatusBuffer, sizeof status);
  theDebugLog.Trace("NBAdapterStatus() :");
  theDebugLog.Trace("         AdapterType    = %d", status.adapter_type);
  theDebugLog.Trace("         Free NCBs      = %d", status.free_ncbs);
  theDebugLog.Trace("         Name Count     = %d", status.name_count);
  // Only the entries NetBIOS filled in, however many it claims.
  int filled = (ncb.ncb_length - static_cast<int>(sizeof status)) / static_cast<int>(sizeof(NAME_BUFFER));
  int count = status.name_count < filled ? status.name_count : filled;
  for (int i = 0; i < count; i++) {
    NAME_BUFFER entry;
    std::memcpy(&entry, g_StatusBuffer + sizeof status + i * sizeof entry, sizeof entry);
    char name[16] = {};
    std::memcpy(name, entry.name, 15);
    theDebugLog.Trace("         NameTable[%3.3d] = %0.15s, Flag = %s", i, name, NameState(entry.name_flags));
  }
  return TRUE;
}
