// CPrintServer: the status text, in the words of the wizard's string table.
#include <cstring>
#include <string>

#include "framework/cstring.h"
#include "protocol/print_server.h"

namespace {

struct StatusWord {
  UINT id;
  const char* english;
};

// By the 2 status bits of a port.
constexpr StatusWord kPortWords[4] = {
    {IDS_PS_PORT_READY, "Ok"},
    {IDS_PS_PORT_PAPER_OUT, "Paper Out"},
    {IDS_PS_PORT_OFFLINE, "Offline"},
    {IDS_PS_PORT_BUSY, "Busy"},
};
constexpr StatusWord kDownloadWord = {IDS_PS_DOWNLOAD_MODE, "Download Mode"};

// The word of the user's language from the wizard's table; the English one
// where no table is registered (the protocol on its own).
std::string LoadWord(const StatusWord& word) {
  CStringA text;
  if (text.LoadString(word.id)) return text.str();
  return word.english;
}

}  // namespace

LPCSTR CPrintServer::GetStatusText() {
  std::string text;
  if (m_PortStatus == PS_STATUS_DOWNLOAD) {
    text = LoadWord(kDownloadWord);
  } else {
    const int count = GetPortCount();
    const int ports = count < 1 ? 1 : count > PS_MAX_PORTS ? PS_MAX_PORTS : count;
    for (int i = 0; i < ports; i++) {
      if (i > 0) text += ", ";
      text += LoadWord(kPortWords[(m_PortStatus >> (2 * i)) & 0x3]);
    }
  }
  std::memset(m_ScratchText, 0, sizeof(m_ScratchText));
  std::memcpy(m_ScratchText, text.data(), text.size() < PS_SCRATCH_LENGTH ? text.size() : PS_SCRATCH_LENGTH);
  return m_ScratchText;
}
