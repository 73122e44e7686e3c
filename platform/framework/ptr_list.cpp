#include "framework/ptr_list.h"

#include <cassert>

CPtrList::CPtrList(INT_PTR blockSize) : m_blockSize(blockSize > 0 ? blockSize : 10) {}

CPtrList::~CPtrList() {
  for (Node* block : m_blocks) delete[] block;
}

CPtrList::Node* CPtrList::NewNode(Node* prev, Node* next, void* data) {
  if (m_free == nullptr) {
    Node* block = new Node[static_cast<std::size_t>(m_blockSize)];
    m_blocks.push_back(block);
    for (INT_PTR i = m_blockSize - 1; i >= 0; --i) {
      block[i].next = m_free;
      m_free = &block[i];
    }
  }
  Node* node = m_free;
  m_free = node->next;
  node->prev = prev;
  node->next = next;
  node->data = data;
  ++m_count;
  return node;
}

void CPtrList::FreeNode(Node* node) {
  node->next = m_free;
  m_free = node;
  if (--m_count == 0) RemoveAll();  // an empty list gives its blocks back
}

void*& CPtrList::GetHead() {
  assert(m_head);
  return m_head->data;
}
void* CPtrList::GetHead() const {
  assert(m_head);
  return m_head->data;
}
void*& CPtrList::GetTail() {
  assert(m_tail);
  return m_tail->data;
}
void* CPtrList::GetTail() const {
  assert(m_tail);
  return m_tail->data;
}

void* CPtrList::RemoveHead() {
  assert(m_head);
  Node* old = m_head;
  void* data = old->data;
  m_head = old->next;
  if (m_head) m_head->prev = nullptr;
  else m_tail = nullptr;
  FreeNode(old);
  return data;
}

void* CPtrList::RemoveTail() {
  assert(m_tail);
  Node* old = m_tail;
  void* data = old->data;
  m_tail = old->prev;
  if (m_tail) m_tail->next = nullptr;
  else m_head = nullptr;
  FreeNode(old);
  return data;
}

POSITION CPtrList::AddHead(void* element) {
  Node* node = NewNode(nullptr, m_head, element);
  if (m_head) m_head->prev = node;
  else m_tail = node;
  m_head = node;
  return node;
}

POSITION CPtrList::AddTail(void* element) {
  Node* node = NewNode(m_tail, nullptr, element);
  if (m_tail) m_tail->next = node;
  else m_head = node;
  m_tail = node;
  return node;
}

void CPtrList::AddTail(CPtrList* other) {
  for (POSITION p = other->GetHeadPosition(); p;) AddTail(other->GetNext(p));
}

void CPtrList::RemoveAll() {
  m_head = m_tail = nullptr;
  m_free = nullptr;
  m_count = 0;
  for (Node* block : m_blocks) delete[] block;
  m_blocks.clear();
}

POSITION CPtrList::GetHeadPosition() const { return m_head; }
POSITION CPtrList::GetTailPosition() const { return m_tail; }

void*& CPtrList::GetNext(POSITION& position) {
  Node* node = AsNode(position);
  position = node->next;
  return node->data;
}
void* CPtrList::GetNext(POSITION& position) const {
  Node* node = AsNode(position);
  position = node->next;
  return node->data;
}
void*& CPtrList::GetPrev(POSITION& position) {
  Node* node = AsNode(position);
  position = node->prev;
  return node->data;
}
void*& CPtrList::GetAt(POSITION position) { return AsNode(position)->data; }
void* CPtrList::GetAt(POSITION position) const { return AsNode(position)->data; }
void CPtrList::SetAt(POSITION position, void* element) { AsNode(position)->data = element; }

void CPtrList::RemoveAt(POSITION position) {
  Node* node = AsNode(position);
  if (node == m_head) m_head = node->next;
  else node->prev->next = node->next;
  if (node == m_tail) m_tail = node->prev;
  else node->next->prev = node->prev;
  FreeNode(node);
}

POSITION CPtrList::InsertBefore(POSITION position, void* element) {
  if (position == nullptr) return AddHead(element);
  Node* at = AsNode(position);
  Node* node = NewNode(at->prev, at, element);
  if (at->prev) at->prev->next = node;
  else m_head = node;
  at->prev = node;
  return node;
}

POSITION CPtrList::InsertAfter(POSITION position, void* element) {
  if (position == nullptr) return AddTail(element);
  Node* at = AsNode(position);
  Node* node = NewNode(at, at->next, element);
  if (at->next) at->next->prev = node;
  else m_tail = node;
  at->next = node;
  return node;
}

POSITION CPtrList::Find(void* element, POSITION startAfter) const {
  Node* node = startAfter ? AsNode(startAfter)->next : m_head;
  for (; node; node = node->next)
    if (node->data == element) return node;
  return nullptr;
}

POSITION CPtrList::FindIndex(INT_PTR index) const {
  if (index < 0 || index >= m_count) return nullptr;
  Node* node = m_head;
  while (index-- > 0) node = node->next;
  return node;
}
