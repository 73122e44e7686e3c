// XRingBuffer: the byte queue between the spooler's writes and a port's sender.
// The sender reads ahead without consuming (Peek at an offset past the bytes in
// flight) and consumes only what the device acknowledged (Skip). One byte always
// stays free, so a buffer of Size bytes holds Size - 1.
#pragma once

#include "kernel/types.h"

class XRingBuffer {
 public:
  XRingBuffer();
  virtual const char* GetName() const;
  virtual ~XRingBuffer();
  XRingBuffer(const XRingBuffer&) = delete;
  XRingBuffer& operator=(const XRingBuffer&) = delete;

  // Fresh, empty storage of size bytes (at least 2); FALSE leaves no storage.
  BOOL Create(int size);
  BOOL Free();
  void Reset();

  int GetCount();
  int GetFreeSpace();
  // Appends what fits of len bytes; the number taken.
  int Write(const BYTE* data, int len);
  // Copies up to len bytes starting offset bytes after the oldest; consumes nothing.
  int Peek(BYTE* dst, int len, int offset);
  // Consumes up to n bytes; the number consumed.
  int Skip(int n);

  BYTE* m_pBuffer;
  int m_Size;
  int m_Read;
  int m_Write;

 private:
  int Count() const;
  HGLOBAL m_hBlock;
};
