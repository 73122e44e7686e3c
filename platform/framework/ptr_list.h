// A doubly linked list of untyped pointers, walked with POSITION values.
// Nodes are allocated in blocks of the given size, as the framework's lists are.
#pragma once

#include <vector>

#include "kernel/types.h"

struct __POSITION {};
using POSITION = __POSITION*;

class CPtrList {
 public:
  explicit CPtrList(INT_PTR blockSize = 10);
  ~CPtrList();
  CPtrList(const CPtrList&) = delete;
  CPtrList& operator=(const CPtrList&) = delete;

  INT_PTR GetCount() const { return m_count; }
  INT_PTR GetSize() const { return m_count; }
  BOOL IsEmpty() const { return m_count == 0; }
  INT_PTR GetBlockSize() const { return m_blockSize; }

  void*& GetHead();
  void* GetHead() const;
  void*& GetTail();
  void* GetTail() const;
  void* RemoveHead();
  void* RemoveTail();
  POSITION AddHead(void* element);
  POSITION AddTail(void* element);
  void AddTail(CPtrList* other);
  void RemoveAll();

  POSITION GetHeadPosition() const;
  POSITION GetTailPosition() const;
  void*& GetNext(POSITION& position);
  void* GetNext(POSITION& position) const;
  void*& GetPrev(POSITION& position);
  void*& GetAt(POSITION position);
  void* GetAt(POSITION position) const;
  void SetAt(POSITION position, void* element);
  void RemoveAt(POSITION position);
  POSITION InsertBefore(POSITION position, void* element);
  POSITION InsertAfter(POSITION position, void* element);
  POSITION Find(void* element, POSITION startAfter = nullptr) const;
  POSITION FindIndex(INT_PTR index) const;

 private:
  struct Node : __POSITION {
    Node* next;
    Node* prev;
    void* data;
  };
  Node* NewNode(Node* prev, Node* next, void* data);
  void FreeNode(Node* node);
  static Node* AsNode(POSITION position) { return static_cast<Node*>(position); }

  Node* m_head = nullptr;
  Node* m_tail = nullptr;
  Node* m_free = nullptr;
  INT_PTR m_count = 0;
  INT_PTR m_blockSize;
  std::vector<Node*> m_blocks;
};
