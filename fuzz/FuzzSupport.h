// Shared pieces of the libFuzzer harnesses: a reader that takes typed
// pieces off the front of the input, a scratch file per process, and a
// store read back as plain maps so two stores can be compared.
#ifndef QOR_FUZZ_FUZZSUPPORT_H
#define QOR_FUZZ_FUZZSUPPORT_H

#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "CIniClass.h"
#include "testsupport/StoreViews.h"
#include "testsupport/TestFiles.h"

namespace qor::fuzz {

// Takes pieces off the front of the input; an exhausted reader gives zeros
// and empty texts, so every input decodes to something.
class FuzzReader {
public:
    FuzzReader(const std::uint8_t* data, std::size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

    bool Empty() const { return rest_.empty(); }

    std::uint8_t Byte() {
        if (rest_.empty()) return 0;
        const auto b = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }

    std::uint32_t Word() {
        std::uint32_t w = 0;
        for (int i = 0; i < 4; ++i) w |= static_cast<std::uint32_t>(Byte()) << (8 * i);
        return w;
    }

    // The bytes up to the next separator byte 0xFF (dropped) or the end.
    std::string Text() {
        const std::size_t end = rest_.find('\xFF');
        std::string text(rest_.substr(0, end));
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        return text;
    }

    std::string Rest() {
        std::string text(rest_);
        rest_ = {};
        return text;
    }

private:
    std::string_view rest_;
};

// A file of this process in a RAM-backed folder when there is one, so that
// a harness that goes through files stays fast.
inline std::string ScratchPath(const std::string& name) {
    static const std::string folder = [] {
        const std::filesystem::path shm("/dev/shm");
        const std::filesystem::path base =
            std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
        const std::filesystem::path dir = base / ("qor_fuzz_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        return dir.string();
    }();
    return folder + "/" + name;
}

using testkit::Snapshot;
using testkit::SnapshotOf;

// Same keys, and under each key the same value names; texts may differ.
inline bool SameKeysAndNames(const Snapshot& a, const Snapshot& b) {
    if (a.size() != b.size()) return false;
    for (auto ia = a.begin(), ib = b.begin(); ia != a.end(); ++ia, ++ib) {
        if (ia->first != ib->first || ia->second.size() != ib->second.size()) return false;
        for (auto na = ia->second.begin(), nb = ib->second.begin(); na != ia->second.end(); ++na, ++nb) {
            if (na->first != nb->first) return false;
        }
    }
    return true;
}

inline void Fill(CIniClass& store, const Snapshot& snapshot) {
    for (const auto& [key, names] : snapshot) {
        store.AddKey(key.c_str());
        for (const auto& [name, text] : names) store.SetValue(key.c_str(), name.c_str(), text.c_str());
    }
}

// key lies below parent: parent's text, a backslash, more.
inline bool Below(const std::string& key, const std::string& parent) {
    return key.size() > parent.size() && key.compare(0, parent.size(), parent) == 0 && key[parent.size()] == '\\';
}

// A subtree deleted from a snapshot as the store deletes it: the key and
// every key below it, but never the key of the empty text.
inline void EraseTree(Snapshot& snapshot, const std::string& key) {
    std::erase_if(snapshot, [&key](const auto& entry) {
        return !entry.first.empty() && (entry.first == key || Below(entry.first, key));
    });
}

// Stops the run with a message: libFuzzer records the input as a crash.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

inline void Check(bool holds, const char* what) {
    if (!holds) Fail(what);
}

// The store saved to the scratch file name, which must be a valid store file
// that loads: what the loaded store holds.
inline Snapshot SavedAndLoaded(CIniClass& store, const std::string& name) {
    const std::string path = ScratchPath(name);
    Check(store.SaveFile(path.c_str(), "") == 1, "a store did not save");
    Check(store.IsFileValid(path.c_str()) == 1, "a saved file is not valid");
    CIniClass again;
    Check(again.LoadFile(path.c_str()) == 1, "a saved file does not load");
    return SnapshotOf(again);
}

}  // namespace qor::fuzz

#endif
