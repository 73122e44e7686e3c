#include "xsocket.h"

std::atomic<int> XSocket::m_NextID{1};

XSocket::XSocket() : m_bCreated(FALSE), m_ID(m_NextID.fetch_add(1)) {}

XSocket::~XSocket() = default;
