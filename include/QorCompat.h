/// @file
/// Growable string and array classes with the names and members that the
/// library's exported signatures use, so that code written against the
/// Windows class library compiles unchanged. Header-only: nothing here
/// crosses the shared-library boundary as code.
#ifndef QOR_QORCOMPAT_H
#define QOR_QORCOMPAT_H

#include <cstddef>
#include <cwchar>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "QorWinTypes.h"

/// A growable text of characters of type Ch. CString and CStringW are its
/// 8-bit and wide instances. A null text counts as the empty text.
template <typename Ch>
class CStringT {
public:
    /// The character type.
    using XCHAR = Ch;

    /// The empty text.
    CStringT() = default;
    /// A copy of a NUL-terminated text (null: empty).
    CStringT(const Ch* text) : m_text(text ? text : Empty_()) {}
    /// The first length characters of text (null or length <= 0: empty).
    CStringT(const Ch* text, int length)
        : m_text(text ? std::basic_string<Ch>(text, length > 0 ? static_cast<std::size_t>(length) : 0u)
                      : std::basic_string<Ch>()) {}
    /// A copy of a standard string.
    ///@{
    CStringT(const std::basic_string<Ch>& text) : m_text(text) {}
    CStringT(std::basic_string<Ch>&& text) : m_text(std::move(text)) {}
    ///@}
    /// Copies and moves, as values.
    ///@{
    CStringT(const CStringT&) = default;
    CStringT(CStringT&&) noexcept = default;
    CStringT& operator=(const CStringT&) = default;
    CStringT& operator=(CStringT&&) noexcept = default;
    ///@}
    /// Replaces the text with a copy of text (null: empty).
    CStringT& operator=(const Ch* text) {
        m_text = text ? text : Empty_();
        return *this;
    }

    /// Number of characters, not counting the terminator.
    int GetLength() const { return static_cast<int>(m_text.size()); }
    /// True when the text has no characters.
    bool IsEmpty() const { return m_text.empty(); }
    /// Makes the text empty.
    void Empty() { m_text.clear(); }
    /// The NUL-terminated text, valid until the object changes.
    const Ch* GetString() const { return m_text.c_str(); }
    /// The NUL-terminated text, as GetString().
    operator const Ch*() const { return m_text.c_str(); }
    /// The character at index i; throws std::out_of_range outside the text.
    Ch GetAt(int i) const { return m_text.at(static_cast<std::size_t>(i)); }
    /// The character at index i, as GetAt().
    Ch operator[](int i) const { return GetAt(i); }

    /// Appends a text or a character (a null text appends nothing).
    ///@{
    CStringT& operator+=(const CStringT& more) {
        m_text += more.m_text;
        return *this;
    }
    CStringT& operator+=(const Ch* more) {
        if (more) m_text += more;
        return *this;
    }
    CStringT& operator+=(Ch c) {
        m_text += c;
        return *this;
    }
    ///@}

    /// Index of the first occurrence of sub (or c) at or after start, or -1.
    ///@{
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
    ///@}
    /// The first n characters (all when n is larger; none when negative).
    CStringT Left(int n) const { return CStringT(m_text.substr(0, Clamp_(n))); }
    /// The characters from index first on, at most n of them.
    ///@{
    CStringT Mid(int first) const { return CStringT(m_text.substr(Clamp_(first))); }
    CStringT Mid(int first, int n) const { return CStringT(m_text.substr(Clamp_(first), Clamp_(n))); }
    ///@}
    /// The last n characters (all when n is larger; none when negative).
    CStringT Right(int n) const {
        std::size_t k = Clamp_(n);
        return CStringT(m_text.substr(m_text.size() - k));
    }
    /// Upper-cases the ASCII letters a to z only.
    CStringT& MakeUpper() {
        for (Ch& c : m_text)
            if (c >= 'a' && c <= 'z') c = static_cast<Ch>(c - 'a' + 'A');
        return *this;
    }
    /// Replaces every occurrence of from by to; returns the number replaced.
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

    /// The text as a standard string.
    ///@{
    const std::basic_string<Ch>& str() const { return m_text; }
    std::basic_string<Ch>& str() { return m_text; }
    ///@}

    /// Comparisons (character by character) and concatenation.
    ///@{
    friend bool operator==(const CStringT& a, const CStringT& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CStringT& a, const Ch* b) { return a.m_text == (b ? b : Empty_()); }
    friend bool operator==(const Ch* a, const CStringT& b) { return b == a; }
    friend bool operator!=(const CStringT& a, const CStringT& b) { return !(a == b); }
    friend bool operator!=(const CStringT& a, const Ch* b) { return !(a == b); }
    friend bool operator!=(const Ch* a, const CStringT& b) { return !(b == a); }
    friend bool operator<(const CStringT& a, const CStringT& b) { return a.m_text < b.m_text; }
    friend CStringT operator+(const CStringT& a, const CStringT& b) { return CStringT(a.m_text + b.m_text); }
    friend CStringT operator+(const CStringT& a, const Ch* b) {
        CStringT r(a);
        r += b;
        return r;
    }
    friend CStringT operator+(const Ch* a, const CStringT& b) {
        CStringT r(a);
        r += b;
        return r;
    }
    ///@}

private:
    static const Ch* Empty_() {
        static const Ch none[1] = {0};
        return none;
    }
    std::size_t Clamp_(int n) const {
        if (n < 0) return 0;
        return static_cast<std::size_t>(n) > m_text.size() ? m_text.size() : static_cast<std::size_t>(n);
    }
    std::basic_string<Ch> m_text;
};

/// 8-bit text in the process's code page (UTF-8 outside Windows).
using CString = CStringT<char>;
/// Wide text.
using CStringW = CStringT<wchar_t>;

/// A growable array of TYPE whose adding members take ARG_TYPE. Indexes
/// outside the array throw std::out_of_range.
template <typename TYPE, typename ARG_TYPE = const TYPE&>
class CArray {
public:
    /// The index and size type.
    using INT_PTR = std::ptrdiff_t;

    /// Number of elements.
    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
    /// Number of elements, as GetSize().
    INT_PTR GetCount() const { return GetSize(); }
    /// Index of the last element; -1 when empty.
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    /// True when the array has no elements.
    bool IsEmpty() const { return m_items.empty(); }
    /// Appends one element; returns its index.
    INT_PTR Add(ARG_TYPE item) {
        m_items.push_back(TYPE(item));
        return GetSize() - 1;
    }
    /// The element at index i.
    const TYPE& GetAt(INT_PTR i) const { return m_items.at(static_cast<std::size_t>(i)); }
    /// The element at index i, to change it.
    TYPE& GetAt(INT_PTR i) { return m_items.at(static_cast<std::size_t>(i)); }
    /// Replaces the element at index i.
    void SetAt(INT_PTR i, ARG_TYPE item) { m_items.at(static_cast<std::size_t>(i)) = TYPE(item); }
    /// The element at index i, as GetAt().
    const TYPE& operator[](INT_PTR i) const { return GetAt(i); }
    /// The element at index i, to change it.
    TYPE& operator[](INT_PTR i) { return GetAt(i); }
    /// The elements in one block, valid until the array changes size.
    TYPE* GetData() { return m_items.data(); }
    /// The elements in one block, read-only.
    const TYPE* GetData() const { return m_items.data(); }
    /// Grows (with value-initialised elements) or shrinks to n elements.
    void SetSize(INT_PTR n) { m_items.resize(n > 0 ? static_cast<std::size_t>(n) : 0u); }
    /// Removes every element.
    void RemoveAll() { m_items.clear(); }
    /// Removes count elements from index i on; the range must lie in the array.
    void RemoveAt(INT_PTR i, INT_PTR count = 1) { m_items.erase(m_items.begin() + i, m_items.begin() + i + count); }

private:
    std::vector<TYPE> m_items;
};

/// A growable array of DWORD.
class CDWordArray : public CArray<DWORD, DWORD> {};
/// A growable array of CString.
class CStringArray : public CArray<CString, const CString&> {};

#endif
