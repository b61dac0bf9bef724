// Growable string and array classes with the names and members that the
// library's exported signatures use, so that code written against the
// Windows class library compiles unchanged. Header-only: nothing here
// crosses the shared-library boundary as code.
#ifndef QOR_COMPAT_H
#define QOR_COMPAT_H

#include <cstddef>
#include <cwchar>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "QorWinTypes.h"

// A growable text of characters of type Ch. CString and CStringW are its
// 8-bit and wide instances.
template <typename Ch>
class CStringT {
public:
    using XCHAR = Ch;

    CStringT() = default;
    CStringT(const Ch* text) : m_text(text ? text : Empty_()) {}
    CStringT(const Ch* text, int length) : m_text(text ? std::basic_string<Ch>(text, length > 0 ? static_cast<std::size_t>(length) : 0u) : std::basic_string<Ch>()) {}
    CStringT(const std::basic_string<Ch>& text) : m_text(text) {}
    CStringT(std::basic_string<Ch>&& text) : m_text(std::move(text)) {}
    CStringT(const CStringT&) = default;
    CStringT(CStringT&&) noexcept = default;
    CStringT& operator=(const CStringT&) = default;
    CStringT& operator=(CStringT&&) noexcept = default;
    CStringT& operator=(const Ch* text) { m_text = text ? text : Empty_(); return *this; }

    // Number of characters, not counting the terminator.
    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    const Ch* GetString() const { return m_text.c_str(); }
    operator const Ch*() const { return m_text.c_str(); }
    Ch GetAt(int i) const { return m_text.at(static_cast<std::size_t>(i)); }
    Ch operator[](int i) const { return GetAt(i); }

    CStringT& operator+=(const CStringT& more) { m_text += more.m_text; return *this; }
    CStringT& operator+=(const Ch* more) { if (more) m_text += more; return *this; }
    CStringT& operator+=(Ch c) { m_text += c; return *this; }

    // Index of the first occurrence of sub at or after start, or -1.
    int Find(const Ch* sub, int start = 0) const {
        if (!sub || start < 0) return -1;
        std::size_t at = m_text.find(sub, static_cast<std::size_t>(start));
        return at == std::basic_string<Ch>::npos ? -1 : static_cast<int>(at);
    }
    int Find(Ch c, int start = 0) const {
        if (start < 0) return -1;
        std::size_t at = m_text.find(c, static_cast<std::size_t>(start));
        return at == std::basic_string<Ch>::npos ? -1 : static_cast<int>(at);
    }
    CStringT Left(int n) const { return CStringT(m_text.substr(0, Clamp_(n))); }
    CStringT Mid(int first) const { return CStringT(m_text.substr(Clamp_(first))); }
    CStringT Mid(int first, int n) const { return CStringT(m_text.substr(Clamp_(first), Clamp_(n))); }
    CStringT Right(int n) const {
        std::size_t k = Clamp_(n);
        return CStringT(m_text.substr(m_text.size() - k));
    }
    // Upper-cases the ASCII letters a to z only.
    CStringT& MakeUpper() {
        for (Ch& c : m_text) if (c >= 'a' && c <= 'z') c = static_cast<Ch>(c - 'a' + 'A');
        return *this;
    }
    // Replaces every occurrence of from by to; returns the number replaced.
    int Replace(const Ch* from, const Ch* to) {
        if (!from || !*from) return 0;
        std::basic_string<Ch> f(from), t(to ? to : Empty_());
        int n = 0;
        for (std::size_t at = m_text.find(f); at != std::basic_string<Ch>::npos; at = m_text.find(f, at + t.size())) {
            m_text.replace(at, f.size(), t);
            ++n;
        }
        return n;
    }

    const std::basic_string<Ch>& str() const { return m_text; }
    std::basic_string<Ch>& str() { return m_text; }

    friend bool operator==(const CStringT& a, const CStringT& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CStringT& a, const Ch* b) { return a.m_text == (b ? b : Empty_()); }
    friend bool operator==(const Ch* a, const CStringT& b) { return b == a; }
    friend bool operator!=(const CStringT& a, const CStringT& b) { return !(a == b); }
    friend bool operator!=(const CStringT& a, const Ch* b) { return !(a == b); }
    friend bool operator!=(const Ch* a, const CStringT& b) { return !(b == a); }
    friend bool operator<(const CStringT& a, const CStringT& b) { return a.m_text < b.m_text; }
    friend CStringT operator+(const CStringT& a, const CStringT& b) { return CStringT(a.m_text + b.m_text); }
    friend CStringT operator+(const CStringT& a, const Ch* b) { CStringT r(a); r += b; return r; }
    friend CStringT operator+(const Ch* a, const CStringT& b) { CStringT r(a); r += b; return r; }

private:
    static const Ch* Empty_() { static const Ch none[1] = {0}; return none; }
    std::size_t Clamp_(int n) const {
        if (n < 0) return 0;
        return static_cast<std::size_t>(n) > m_text.size() ? m_text.size() : static_cast<std::size_t>(n);
    }
    std::basic_string<Ch> m_text;
};

using CString = CStringT<char>;
using CStringW = CStringT<wchar_t>;

// A growable array of TYPE whose adding members take ARG_TYPE.
template <typename TYPE, typename ARG_TYPE = const TYPE&>
class CArray {
public:
    using INT_PTR = std::ptrdiff_t;

    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_items.empty(); }
    // Appends one element; returns its index.
    INT_PTR Add(ARG_TYPE item) { m_items.push_back(TYPE(item)); return GetSize() - 1; }
    const TYPE& GetAt(INT_PTR i) const { return m_items.at(static_cast<std::size_t>(i)); }
    TYPE& GetAt(INT_PTR i) { return m_items.at(static_cast<std::size_t>(i)); }
    void SetAt(INT_PTR i, ARG_TYPE item) { m_items.at(static_cast<std::size_t>(i)) = TYPE(item); }
    const TYPE& operator[](INT_PTR i) const { return GetAt(i); }
    TYPE& operator[](INT_PTR i) { return GetAt(i); }
    TYPE* GetData() { return m_items.data(); }
    const TYPE* GetData() const { return m_items.data(); }
    void SetSize(INT_PTR n) { m_items.resize(n > 0 ? static_cast<std::size_t>(n) : 0u); }
    void RemoveAll() { m_items.clear(); }
    void RemoveAt(INT_PTR i, INT_PTR count = 1) {
        m_items.erase(m_items.begin() + i, m_items.begin() + i + count);
    }

private:
    std::vector<TYPE> m_items;
};

class CDWordArray : public CArray<DWORD, DWORD> {};
class CStringArray : public CArray<CString, const CString&> {};

#endif
