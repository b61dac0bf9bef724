// Text splitting and type-prefix removal for CRegExt. The char* pieces of
// Split are copies kept in a process-wide pool, so they stay valid after
// the call; FreeSplitParts hands them back, and the pool releases the rest
// when the library unloads.
#include <cstring>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>

#include "CRegExt.h"
#include "store/ValueText.h"

namespace {

class PiecePool {
public:
    char* Keep(std::string_view piece) {
        auto copy = std::make_unique<char[]>(piece.size() + 1);
        if (!piece.empty()) std::memcpy(copy.get(), piece.data(), piece.size());
        copy[piece.size()] = '\0';
        char* address = copy.get();
        std::lock_guard<std::mutex> hold(m_mutex);
        m_pieces.emplace(address, std::move(copy));
        return address;
    }

    void Release(char* address) {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_pieces.erase(address);
    }

private:
    std::mutex m_mutex;
    std::unordered_map<const char*, std::unique_ptr<char[]>> m_pieces;
};

PiecePool& Pool() {
    static PiecePool pool;
    return pool;
}

}  // namespace

void CRegExt::Split(CString text, std::vector<CString>& parts, CString sep) {
    std::vector<std::string_view> pieces;
    qor::store::SplitPieces(text.str(), sep.str(), pieces);
    parts.reserve(parts.size() + pieces.size());
    for (std::string_view piece : pieces) parts.emplace_back(std::string(piece));
}

void CRegExt::Split(const char* text, std::vector<char*>& parts, CString sep) {
    std::vector<std::string_view> pieces;
    qor::store::SplitPieces(text ? std::string_view(text) : std::string_view(), sep.str(), pieces);
    PiecePool& pool = Pool();
    parts.reserve(parts.size() + pieces.size());
    for (std::string_view piece : pieces) parts.push_back(pool.Keep(piece));
}

void CRegExt::FreeSplitParts(std::vector<char*>& parts) {
    PiecePool& pool = Pool();
    for (char* piece : parts) pool.Release(piece);
    parts.clear();
}

int CRegExt::RemovePrefix(CString& text) { return qor::store::RemovePrefix(text.str()); }
