// The print messages from the device's side: how a device of each generation
// reads what a host sends it (search, status query, connect, data, end of job)
// on each transport, and how it writes its answers.
//
//   generation 1, every transport   "NET", type byte, command word at 4, fields from 6
//   generation 0, UDP and IPX       "QI", command word at 2, fields from 4
//   generation 0, NetBIOS           50 50 (status, connect, end of job), 60 60 (data
//                                   and acknowledgements), 70 70 (search); command
//                                   word at 2, fields from 4
//
// Datagrams are hostile: every field read lies inside what arrived.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "emulator/transport.h"

namespace vek::emu {

struct Dialect {
  int generation = 1;
  TransportKind transport = TransportKind::Udp;
};

// Operations of the print protocol (the low byte of the command word).
constexpr std::uint8_t kPrintStatus = 0x08;
constexpr std::uint8_t kPrintConnect = 0x0A;
constexpr std::uint8_t kPrintData = 0x0B;
constexpr std::uint8_t kPrintEndOfJob = 0x0C;
constexpr std::uint8_t kPrintAck = 0x8B;
constexpr std::uint8_t kPrintReply = 0x80;
// The connect word of generation 1 carries this flag in its high byte.
constexpr std::uint8_t kConnectFlag = 0x08;

// What a generation-1 connect answer says about the port.
constexpr std::uint8_t kConnectBusy = 0x10;
constexpr std::uint8_t kConnectRefused = 0x01;

constexpr char kEndOfJobText[] = "End Of Printer Job";  // sent with its terminating zero
constexpr std::size_t kPrintAnswerLength = 30;

enum class PrintOp {
  None,     // not a request of this dialect
  Other,    // a request of this dialect that is no print message (the wizard's)
  Search,
  Status,
  Connect,
  Data,
  EndOfJob,
};

struct PrintRequest {
  PrintOp op = PrintOp::None;
  std::uint16_t command = 0;  // the command word
  int port = 0;               // connect, data, end of job
  std::uint8_t sequence = 0;  // data
  std::uint16_t lengthWord = 0;
  std::span<const std::uint8_t> data;  // data: the packet's bytes, inside the datagram
  bool endOfJobText = false;           // end of job: its text is there
  bool oddZero = false;                // data: the byte after the sequence is not 0
  std::size_t padding = 0;             // data: bytes after the data
};

// Reads a datagram as this dialect's device does. False for one that is not a
// request of the dialect (op None) or is broken (then *problem says how).
bool ReadPrintRequest(std::span<const std::uint8_t> bytes, const Dialect& dialect, PrintRequest* request,
                      std::string* problem);

// The length word of a data packet: low byte = length mod 256, high byte =
// length / 256 rounded up. False for a word no length gives.
bool DecodeLengthWord(std::uint16_t word, int* length);
std::uint16_t EncodeLengthWord(int length);

// What the host makes of a connect answer on this transport: its largest data
// packet and its window, by the host's own rules.
int GrantedDataLength(const Dialect& dialect, int announced);
int GrantedWindow(const Dialect& dialect, int announced);

enum class AckForm { Valid, ZeroFlag, Truncated };

std::vector<std::uint8_t> BuildStatusAnswer(const Dialect& dialect, std::uint8_t status, std::uint8_t status2);
std::vector<std::uint8_t> BuildConnectAnswer(const Dialect& dialect, int port, std::uint8_t status,
                                             std::uint16_t dataLength, std::uint8_t window);
std::vector<std::uint8_t> BuildAck(const Dialect& dialect, int port, std::uint8_t sequence,
                                   AckForm form = AckForm::Valid);
std::vector<std::uint8_t> BuildEndOfJobAnswer(const Dialect& dialect, int port);
// Looks like the device's traffic (its magic, a data packet's command) but is
// no answer a host takes.
std::vector<std::uint8_t> BuildStrayDatagram(const Dialect& dialect, int port, std::uint8_t sequence);

}  // namespace vek::emu
