#include "emulator/print_wire.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "emulator/wire_writer.h"

namespace vek::emu {
namespace {

// The byte pairs of generation 0 on NetBIOS, by what the message is about.
enum class Family { Control, Data, Search };

constexpr std::uint8_t NetbiosMagic(Family family) {
  return family == Family::Control ? 0x50 : family == Family::Data ? 0x60 : 0x70;
}

// The type byte of the host's data packets.
constexpr std::uint8_t kTypeData = 0x60;

std::size_t FieldStart(const Dialect& d) { return d.generation == 1 ? 6 : 4; }

Family FamilyOf(std::uint8_t op) {
  if (op == kPrintData || op == kPrintAck) return Family::Data;
  if (op == 0x04 || op == 0x84) return Family::Search;
  return Family::Control;
}

// The type byte of a generation-1 answer is not read; answers carry 0 as the
// device's other answers do.
void Header(WireWriter& w, const Dialect& d, std::uint8_t op, std::uint8_t type = 0) {
  if (d.generation == 1) {
    w.Text("NET", 3);
    w.U8(type);
  } else if (d.transport == TransportKind::Netbios) {
    w.U8(NetbiosMagic(FamilyOf(op)));
    w.U8(NetbiosMagic(FamilyOf(op)));
  } else {
    w.Text("QI", 2);
  }
  w.U16(op);
}

// Zeros up to the answer's length.
std::vector<std::uint8_t> Finish(WireWriter& w, std::size_t length = kPrintAnswerLength) {
  if (w.Size() < length) w.Zeros(length - w.Size());
  return std::move(w.Data());
}

std::string Hex(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof(text), "0x%02X", value);
  return text;
}

std::uint16_t Word(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

// The operation a generation-0 request on NetBIOS may carry under each pair.
bool NetbiosPairFits(std::uint8_t magic, std::uint8_t op) {
  switch (magic) {
    case 0x50: return op == kPrintStatus || op == kPrintConnect || op == kPrintEndOfJob;
    case 0x60: return op == kPrintData;
    case 0x70: return op == 0x04;
    default: return false;
  }
}

}  // namespace

bool DecodeLengthWord(std::uint16_t word, int* length) {
  const int low = word & 0xFF;
  const int high = word >> 8;
  if (low == 0) {
    *length = high * 256;
    return true;
  }
  if (high == 0) return false;  // a remainder with no 256-block to hold it
  *length = (high - 1) * 256 + low;
  return true;
}

std::uint16_t EncodeLengthWord(int length) {
  const int low = length % 256;
  const int high = (length + 255) / 256;
  return static_cast<std::uint16_t>((high << 8) | low);
}

int GrantedDataLength(const Dialect& d, int announced) {
  const int ceiling = d.transport == TransportKind::Ipx ? 1400 : d.transport == TransportKind::Udp ? 1450 : 1000;
  if (d.generation == 0) return d.transport == TransportKind::Netbios ? 1000 : 1024;
  return std::min(std::max(announced, 1024), ceiling);
}

int GrantedWindow(const Dialect& d, int announced) {
  if (d.generation == 0) return 1;
  return std::clamp(announced, 1, 8);
}

bool ReadPrintRequest(std::span<const std::uint8_t> bytes, const Dialect& d, PrintRequest* request,
                      std::string* problem) {
  *request = PrintRequest{};
  problem->clear();
  std::size_t commandAt = 0;
  if (d.generation == 1) {
    if (bytes.size() < 6 || std::memcmp(bytes.data(), "NET", 3) != 0) return false;
    commandAt = 4;
  } else if (d.transport == TransportKind::Netbios) {
    if (bytes.size() < 4 || bytes[0] != bytes[1] || (bytes[0] != 0x50 && bytes[0] != 0x60 && bytes[0] != 0x70))
      return false;
    commandAt = 2;
  } else {
    if (bytes.size() < 4 || bytes[0] != 'Q' || bytes[1] != 'I') return false;
    commandAt = 2;
  }
  request->command = Word(bytes, commandAt);
  const std::uint8_t op = bytes[commandAt];
  const bool netbios0 = d.generation == 0 && d.transport == TransportKind::Netbios;
  if (netbios0 && !NetbiosPairFits(bytes[0], op)) {
    request->op = PrintOp::Other;
    *problem = "operation " + Hex(op) + " under the pair " + Hex(bytes[0]);
    return false;
  }
  switch (op) {
    case 0x00:
      // The older generation's search on UDP is operation 0, flagged or not.
      request->op = d.generation == 0 && d.transport == TransportKind::Udp ? PrintOp::Search : PrintOp::Other;
      break;
    case 0x04:
      request->op = d.generation == 1 || d.transport != TransportKind::Udp ? PrintOp::Search : PrintOp::Other;
      break;
    case kPrintStatus: request->op = PrintOp::Status; break;
    case kPrintConnect: request->op = PrintOp::Connect; break;
    case kPrintData: request->op = PrintOp::Data; break;
    case kPrintEndOfJob: request->op = PrintOp::EndOfJob; break;
    default: request->op = PrintOp::Other; break;
  }
  const std::size_t f = FieldStart(d);
  switch (request->op) {
    case PrintOp::Connect:
    case PrintOp::EndOfJob:
      if (bytes.size() < f + 1) {
        *problem = "no port number";
        return false;
      }
      request->port = bytes[f];
      if (request->op == PrintOp::EndOfJob) {
        const std::size_t text = sizeof(kEndOfJobText);  // with its zero
        request->endOfJobText = bytes.size() >= f + 1 + text && std::memcmp(&bytes[f + 1], kEndOfJobText, text) == 0;
      }
      return true;
    case PrintOp::Data: {
      if (bytes.size() < f + 5) {
        *problem = "a data header of " + std::to_string(bytes.size()) + " bytes";
        return false;
      }
      request->port = bytes[f];
      request->sequence = bytes[f + 1];
      request->oddZero = bytes[f + 2] != 0;
      request->lengthWord = Word(bytes, f + 3);
      int length = 0;
      if (!DecodeLengthWord(request->lengthWord, &length)) {
        *problem = "length word " + Hex(request->lengthWord) + " gives no length";
        return false;
      }
      if (bytes.size() < f + 5 + static_cast<std::size_t>(length)) {
        *problem = "length " + std::to_string(length) + " in a datagram of " + std::to_string(bytes.size()) + " bytes";
        return false;
      }
      request->data = bytes.subspan(f + 5, static_cast<std::size_t>(length));
      request->padding = bytes.size() - (f + 5 + static_cast<std::size_t>(length));
      return true;
    }
    default:
      return true;
  }
}

std::vector<std::uint8_t> BuildStatusAnswer(const Dialect& d, std::uint8_t status, std::uint8_t status2) {
  WireWriter w;
  Header(w, d, kPrintStatus | kPrintReply);
  w.U8(status);
  // The wizard reads a second status byte; generation 1 answers it with 64 bytes.
  if (d.generation == 1) {
    w.U8(status2);
    return Finish(w, 64);
  }
  return Finish(w);
}

std::vector<std::uint8_t> BuildConnectAnswer(const Dialect& d, int port, std::uint8_t status, std::uint16_t dataLength,
                                             std::uint8_t window) {
  WireWriter w;
  Header(w, d, kPrintConnect | kPrintReply);
  w.U8(static_cast<std::uint8_t>(port));
  w.U8(status);
  if (d.generation == 1) {
    w.U8(0);
    w.U16(dataLength);
    w.U8(window);
  }
  return Finish(w);
}

std::vector<std::uint8_t> BuildAck(const Dialect& d, int port, std::uint8_t sequence, AckForm form) {
  WireWriter w;
  Header(w, d, kPrintAck);
  // Both generations: port, sequence, 0, flag.
  w.U8(static_cast<std::uint8_t>(port));
  w.U8(sequence);
  w.U8(0);
  if (form == AckForm::Truncated) return std::move(w.Data());  // ends where the flag would be
  w.U8(form == AckForm::ZeroFlag ? 0 : 1);
  return Finish(w);
}

std::vector<std::uint8_t> BuildEndOfJobAnswer(const Dialect& d, int port) {
  WireWriter w;
  Header(w, d, kPrintEndOfJob | kPrintReply);
  w.U8(static_cast<std::uint8_t>(port));
  return Finish(w);
}

std::vector<std::uint8_t> BuildStrayDatagram(const Dialect& d, int port, std::uint8_t sequence) {
  WireWriter w;
  Header(w, d, kPrintData, kTypeData);
  w.U8(static_cast<std::uint8_t>(port));
  w.U8(sequence);
  w.U8(0);
  w.U16(EncodeLengthWord(16));
  for (int i = 0; i < 16; i++) w.U8('S');
  return Finish(w);
}

}  // namespace vek::emu
