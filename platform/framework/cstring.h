// The framework's string: CStringA (narrow) for the wizard and the start menu,
// CStringW (wide) for the monitor. Both convert from the other form on assignment.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <string>
#include <string_view>
#include <type_traits>

#include "framework/format.h"
#include "kernel/strings.h"
#include "kernel/types.h"

template <typename Char>
class CStringT {
 public:
  using XCHAR = Char;
  using PCXSTR = const Char*;
  using PXSTR = Char*;

  CStringT() = default;
  CStringT(const CStringT&) = default;
  CStringT(CStringT&&) noexcept = default;
  CStringT(const char* text) { Assign(text); }
  CStringT(const char16_t* text) { Assign(text); }
  CStringT(const Char* text, int length) : m_text(text, static_cast<std::size_t>(std::max(length, 0))) {}
  CStringT(Char c, int repeat = 1) : m_text(static_cast<std::size_t>(std::max(repeat, 0)), c) {}
  CStringT(std::basic_string_view<Char> text) : m_text(text) {}
  template <typename Other, typename = std::enable_if_t<!std::is_same_v<Other, Char>>>
  CStringT(const CStringT<Other>& other) {
    Assign(other.GetString());
  }

  CStringT& operator=(const CStringT&) = default;
  CStringT& operator=(CStringT&&) noexcept = default;
  CStringT& operator=(const char* text) {
    Assign(text);
    return *this;
  }
  CStringT& operator=(const char16_t* text) {
    Assign(text);
    return *this;
  }
  CStringT& operator=(Char c) {
    m_text.assign(1, c);
    return *this;
  }

  operator const Char*() const { return m_text.c_str(); }
  const Char* GetString() const { return m_text.c_str(); }
  const std::basic_string<Char>& str() const { return m_text; }
  int GetLength() const { return static_cast<int>(m_text.size()); }
  BOOL IsEmpty() const { return m_text.empty(); }
  void Empty() { m_text.clear(); }
  Char GetAt(int index) const { return m_text.at(static_cast<std::size_t>(index)); }
  void SetAt(int index, Char c) { m_text.at(static_cast<std::size_t>(index)) = c; }
  Char operator[](int index) const { return GetAt(index); }

  CStringT& operator+=(const CStringT& other) {
    m_text += other.m_text;
    return *this;
  }
  CStringT& operator+=(const Char* text) {
    if (text) m_text += text;
    return *this;
  }
  CStringT& operator+=(Char c) {
    m_text.push_back(c);
    return *this;
  }
  friend CStringT operator+(CStringT a, const CStringT& b) { return a += b; }
  friend CStringT operator+(CStringT a, const Char* b) { return a += b; }
  friend CStringT operator+(const Char* a, const CStringT& b) { return CStringT(a) += b; }
  friend CStringT operator+(CStringT a, Char b) { return a += b; }

  int Compare(const Char* other) const { return m_text.compare(other ? other : Empty_()); }
  int CompareNoCase(const Char* other) const {
    std::basic_string<Char> a = m_text, b = other ? other : Empty_();
    Lower(a);
    Lower(b);
    return a.compare(b);
  }
  friend bool operator==(const CStringT& a, const CStringT& b) { return a.m_text == b.m_text; }
  friend bool operator==(const CStringT& a, const Char* b) { return a.Compare(b) == 0; }
  friend bool operator!=(const CStringT& a, const CStringT& b) { return a.m_text != b.m_text; }
  friend bool operator!=(const CStringT& a, const Char* b) { return a.Compare(b) != 0; }
  friend bool operator<(const CStringT& a, const CStringT& b) { return a.m_text < b.m_text; }

  CStringT Mid(int first, int count = -1) const {
    if (first < 0) first = 0;
    if (static_cast<std::size_t>(first) >= m_text.size()) return {};
    return CStringT(m_text.substr(static_cast<std::size_t>(first), count < 0 ? std::basic_string<Char>::npos
                                                                             : static_cast<std::size_t>(count)));
  }
  CStringT Left(int count) const { return CStringT(m_text.substr(0, static_cast<std::size_t>(std::max(count, 0)))); }
  CStringT Right(int count) const {
    std::size_t n = std::min(static_cast<std::size_t>(std::max(count, 0)), m_text.size());
    return CStringT(m_text.substr(m_text.size() - n));
  }
  int Find(Char c, int start = 0) const { return Position(m_text.find(c, static_cast<std::size_t>(start))); }
  int Find(const Char* text, int start = 0) const {
    return Position(m_text.find(text ? text : Empty_(), static_cast<std::size_t>(start)));
  }
  int ReverseFind(Char c) const { return Position(m_text.rfind(c)); }
  CStringT& MakeUpper() {
    for (Char& c : m_text)
      if (c >= Char('a') && c <= Char('z')) c = static_cast<Char>(c - 'a' + 'A');
    return *this;
  }
  CStringT& MakeLower() {
    Lower(m_text);
    return *this;
  }
  CStringT& TrimLeft() {
    std::size_t n = 0;
    while (n < m_text.size() && IsSpace(m_text[n])) ++n;
    m_text.erase(0, n);
    return *this;
  }
  CStringT& TrimRight() {
    while (!m_text.empty() && IsSpace(m_text.back())) m_text.pop_back();
    return *this;
  }
  CStringT& Trim() { return TrimRight().TrimLeft(); }
  int Replace(Char from, Char to) {
    int n = 0;
    for (Char& c : m_text)
      if (c == from) {
        c = to;
        ++n;
      }
    return n;
  }
  int Remove(Char c) {
    auto end = std::remove(m_text.begin(), m_text.end(), c);
    int n = static_cast<int>(m_text.end() - end);
    m_text.erase(end, m_text.end());
    return n;
  }
  int Insert(int index, Char c) {
    m_text.insert(std::min(static_cast<std::size_t>(std::max(index, 0)), m_text.size()), 1, c);
    return GetLength();
  }
  int Delete(int index, int count = 1) {
    if (index >= 0 && static_cast<std::size_t>(index) < m_text.size())
      m_text.erase(static_cast<std::size_t>(index), static_cast<std::size_t>(std::max(count, 0)));
    return GetLength();
  }

  void Format(const Char* format, ...) {
    va_list args;
    va_start(args, format);
    m_text = vek::FormatV(format, args);
    va_end(args);
  }
  void FormatV(const Char* format, va_list args) { m_text = vek::FormatV(format, args); }
  void AppendFormat(const Char* format, ...) {
    va_list args;
    va_start(args, format);
    m_text += vek::FormatV(format, args);
    va_end(args);
  }

  // Direct writing into the text; ReleaseBuffer with -1 takes the length up to the terminator.
  Char* GetBuffer(int minLength) {
    if (minLength > GetLength()) m_text.resize(static_cast<std::size_t>(minLength));
    return m_text.data();
  }
  Char* GetBufferSetLength(int length) {
    m_text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return m_text.data();
  }
  void ReleaseBuffer(int newLength = -1) {
    if (newLength < 0) {
      std::size_t n = 0;
      while (n < m_text.size() && m_text[n] != Char(0)) ++n;
      m_text.resize(n);
    } else {
      m_text.resize(std::min(static_cast<std::size_t>(newLength), m_text.size()));
    }
  }

  // Loads a string of the current resources (the resource tables come with the dialogs).
  BOOL LoadString(UINT id);

 private:
  static const Char* Empty_() {
    static const Char none[1] = {0};
    return none;
  }
  static bool IsSpace(Char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
  static void Lower(std::basic_string<Char>& text) {
    for (Char& c : text)
      if (c >= Char('A') && c <= Char('Z')) c = static_cast<Char>(c - 'A' + 'a');
  }
  static int Position(std::size_t found) {
    return found == std::basic_string<Char>::npos ? -1 : static_cast<int>(found);
  }
  void Assign(const char* text) {
    if constexpr (std::is_same_v<Char, char>) m_text = text ? text : "";
    else m_text = text ? vek::ToWide(text) : std::u16string();
  }
  void Assign(const char16_t* text) {
    if constexpr (std::is_same_v<Char, char16_t>) m_text = text ? text : u"";
    else m_text = text ? vek::ToNarrow(text) : std::string();
  }

  std::basic_string<Char> m_text;
};

using CStringA = CStringT<char>;
using CStringW = CStringT<char16_t>;
#ifdef VEK_UNICODE
using CString = CStringW;
#else
using CString = CStringA;
#endif
