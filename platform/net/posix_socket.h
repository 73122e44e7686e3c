// BSD-socket calls for the transports, on plain descriptors. The implementation is
// the only place that includes the operating system's socket headers; this header
// uses only neutral types, so the Winsock side can include it.
//
// Every function returns 0 or a WSA error code (errno mapped).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "kernel/types.h"
#include "net/endpoint.h"

namespace vek::net::posix {

// errno value to the WSA code Windows reports for the same condition.
DWORD WsaErrorFromErrno(int error);

// An IPv4 UDP socket, close-on-exec. Returns the descriptor, or -1 with *error set.
int OpenUdp(DWORD* error);

DWORD Bind(int fd, const Ipv4Endpoint& local);
DWORD LocalEndpoint(int fd, Ipv4Endpoint* local);

enum class Flag { ReuseAddress, Broadcast };
DWORD SetFlag(int fd, Flag flag, bool on);

enum class Buffer { Receive, Send };
// Sizes as the caller set them (Linux reports twice the size set; we report half).
DWORD SetBufferSize(int fd, Buffer which, int bytes);
DWORD GetBufferSize(int fd, Buffer which, int* bytes);
// 0 = wait forever.
DWORD SetSendTimeout(int fd, DWORD milliseconds);
// How long a receive that waits waits; 0 = forever.
DWORD SetReceiveTimeout(int fd, DWORD milliseconds);

// Sends one datagram. A blocking send that times out reads WSAETIMEDOUT; with
// noWait a full buffer reads WSAEWOULDBLOCK.
DWORD SendTo(int fd, std::span<const std::uint8_t> data, const Ipv4Endpoint& to, bool noWait,
             std::size_t* sent);

// Waits until the descriptor is readable or shut down. timeoutMs: INFINITE waits
// forever, 0 only looks. WSAETIMEDOUT when the time passed.
DWORD WaitReadable(int fd, DWORD timeoutMs);

// Takes the next datagram whole without waiting; WSAEWOULDBLOCK when there is none.
DWORD ReceiveDatagram(int fd, std::vector<std::uint8_t>* data, Ipv4Endpoint* from);
// Takes the next datagram whole in one call, into a buffer of the calling thread
// that *data views until its next receive. With wait it waits up to the receive
// time-out (WSAETIMEDOUT), is woken by Shutdown (an empty datagram then) and
// reads WSAEINTR when a signal came; without it, WSAEWOULDBLOCK when there is none.
DWORD ReceiveDatagramView(int fd, bool wait, std::span<const std::uint8_t>* data, Ipv4Endpoint* from);

// Wakes every thread waiting on the descriptor; it stays open until Close.
void Shutdown(int fd);
void Close(int fd);

}  // namespace vek::net::posix
