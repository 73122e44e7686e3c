// The IPX networks the monitor knows: entry 0 is the local network (number 0) and
// never goes; the others come from the routers' RIP answers. Each entry is the
// 4-byte network number and the 4 further bytes of the routing entry (hops, ticks).
#pragma once

#include "kernel/types.h"

constexpr int kMaxIPXNetworks = 79;
constexpr int kIPXNetworkEntrySize = 8;
constexpr WORD kRIPSocket = 0x0453;

extern BYTE g_IPXNetworks[kMaxIPXNetworks][kIPXNetworkEntrySize];
extern int g_IPXNetworkCount;

// Back to entry 0 alone (library start).
void ResetIPXNetworks();
// Asks every router for its networks and publishes the table it built.
void IPXSearchAllNetworks();
// Copies the table as it stands; the number of entries.
int CopyIPXNetworks(BYTE out[kMaxIPXNetworks][kIPXNetworkEntrySize]);
// Adds the entries of one RIP answer to table (count in *count); what the search
// does with each reply.
void AddRIPEntries(const BYTE* reply, int length, BYTE table[kMaxIPXNetworks][kIPXNetworkEntrySize], int* count);
