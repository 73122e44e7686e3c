#include "ring_buffer.h"

#include <algorithm>
#include <cstring>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/memory.h"

XRingBuffer::XRingBuffer() : m_pBuffer(nullptr), m_Size(0), m_Read(0), m_Write(0), m_hBlock(nullptr) {}

const char* XRingBuffer::GetName() const { return "XRingBuffer"; }

XRingBuffer::~XRingBuffer() { Free(); }

BOOL XRingBuffer::Create(int size) {
  Free();
  // Old indices would point past a smaller buffer.
  Reset();
  // One byte always stays free: anything smaller could hold nothing.
  if (size < 2) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  HGLOBAL block = GlobalAlloc(GHND, static_cast<SIZE_T>(size));
  if (block == nullptr) return FALSE;
  auto* bytes = static_cast<BYTE*>(GlobalLock(block));
  if (bytes == nullptr) {
    GlobalFree(block);
    return FALSE;
  }
  m_hBlock = block;
  m_pBuffer = bytes;
  m_Size = size;
  return TRUE;
}

BOOL XRingBuffer::Free() {
  if (m_hBlock == nullptr) return TRUE;
  GlobalUnlock(m_hBlock);
  if (GlobalFree(m_hBlock) != nullptr) {
    GlobalLock(m_hBlock);
    return FALSE;
  }
  m_hBlock = nullptr;
  m_pBuffer = nullptr;
  m_Size = 0;
  Reset();
  return TRUE;
}

void XRingBuffer::Reset() { m_Read = m_Write = 0; }

int XRingBuffer::Count() const { return m_Write >= m_Read ? m_Write - m_Read : m_Write + m_Size - m_Read; }

int XRingBuffer::GetCount() {
  if (m_pBuffer == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return 0;
  }
  return Count();
}

int XRingBuffer::GetFreeSpace() {
  if (m_pBuffer == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return 0;
  }
  return m_Size - 1 - Count();
}

int XRingBuffer::Write(const BYTE* data, int len) {
  if (m_pBuffer == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return 0;
  }
  if (len <= 0 || data == nullptr) return 0;
  int free = m_Size - 1 - Count();
  if (free <= 0) return 0;
  int n = std::min(free, len);
  if (m_Write + n > m_Size) {
    int first = m_Size - m_Write;
    std::memcpy(m_pBuffer + m_Write, data, static_cast<std::size_t>(first));
    std::memcpy(m_pBuffer, data + first, static_cast<std::size_t>(n - first));
  } else {
    std::memcpy(m_pBuffer + m_Write, data, static_cast<std::size_t>(n));
  }
  m_Write = (m_Write + n) % m_Size;
  return n;
}

int XRingBuffer::Peek(BYTE* dst, int len, int offset) {
  if (m_pBuffer == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return 0;
  }
  int count = Count();
  if (len <= 0 || offset < 0 || offset >= count || dst == nullptr) return 0;
  int start = (m_Read + offset) % m_Size;
  int n = std::min(len, count - offset);
  if (start + n < m_Size) {
    std::memcpy(dst, m_pBuffer + start, static_cast<std::size_t>(n));
  } else {
    int first = m_Size - start;
    std::memcpy(dst, m_pBuffer + start, static_cast<std::size_t>(first));
    std::memcpy(dst + first, m_pBuffer, static_cast<std::size_t>(n - first));
  }
  return n;
}

int XRingBuffer::Skip(int n) {
  if (m_pBuffer == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return 0;
  }
  if (n <= 0) return 0;
  int k = std::min(n, Count());
  m_Read = (m_Read + k) % m_Size;
  return k;
}
