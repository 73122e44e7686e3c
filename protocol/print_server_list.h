// g_PrintServerList: the print servers the last search found, one record each, in
// the order they were found. A pointer list whose nodes come in blocks of 10; it
// owns its records.
//
// No lock: one writer at a time (the search dialog before the discovery thread
// starts, the discovery thread while it runs); the pages read it only after the
// discovery thread has ended.
#pragma once

#include "framework/ptr_list.h"
#include "kernel/types.h"
#include "protocol/print_server.h"

class CPrintServerList : public CPtrList {
 public:
  static constexpr INT_PTR BLOCK_SIZE = 10;

  CPrintServerList() : CPtrList(BLOCK_SIZE) {}
  // At program end: every record left is destroyed.
  ~CPrintServerList();

  // The first record whose MAC equals the 6 bytes, walking from the head, or NULL.
  CPrintServer* FindPrintServer(const BYTE* nodeID) const;
  // Removes the records from the head one by one, resetting and destroying each.
  void DeleteAll();
};

extern CPrintServerList g_PrintServerList;

// FindPrintServer on g_PrintServerList.
CPrintServer* FindPrintServer(const BYTE* nodeID);
