// The INI peers of bench/compare, one executable each: GLib's GKeyFile
// (gkeyfile_driver, built with QOR_BENCH_PEER_GKEYFILE) and SimpleIni's
// CSimpleIniA (simpleini_driver, QOR_BENCH_PEER_SIMPLEINI), on the INI form
// of the generated store. The same measures and output as fresh_driver's,
// one per process:
//
//   load INI                   the file parsed; peak and held memory, minor page faults
//   getint INI HANDLES         per typed read (g_key_file_get_integer / GetLongValue) on
//                              HANDLES sections spread over the file
//   change INI OUT             one number set, then the peer's own save to OUT (load not
//                              timed): g_key_file_save_to_file (a new file flushed and renamed
//                              over OUT) / CSimpleIniA::SaveFile (OUT rewritten in place)
//   change_replace INI OUT     one number set, the text made in memory and written the way
//                              the library saves: a new file in pieces, flushed, renamed over OUT
//
// OUT is a copy of INI before the timed part, so every save replaces a file.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#if defined(QOR_BENCH_PEER_GKEYFILE)
#  include <glib.h>
#elif defined(QOR_BENCH_PEER_SIMPLEINI)
#  define SI_NO_CONVERSION
#  define SI_IMPLEMENTATION
#  include <SimpleIni.h>
#else
#  error "define QOR_BENCH_PEER_GKEYFILE or QOR_BENCH_PEER_SIMPLEINI"
#endif

#include "bench/FreshProcess.h"
#include "platform/Platform.h"

namespace {

using qor::bench::Fail;
using qor::bench::PrintTiming;
using qor::bench::TimeOnce;

#if defined(QOR_BENCH_PEER_GKEYFILE)
// GKeyFile: the whole file parsed into groups at load.
class Peer {
public:
    Peer() : file_(g_key_file_new()) {}
    ~Peer() { g_key_file_free(file_); }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;
    bool Load(const std::string& path) {
        return g_key_file_load_from_file(file_, path.c_str(), G_KEY_FILE_NONE, nullptr);
    }
    int GetInt(const std::string& section, const char* name) {
        return g_key_file_get_integer(file_, section.c_str(), name, nullptr);
    }
    void SetInt(const std::string& section, const char* name, int value) {
        g_key_file_set_integer(file_, section.c_str(), name, value);
    }
    bool Save(const std::string& path) { return g_key_file_save_to_file(file_, path.c_str(), nullptr); }
    std::string Text() {
        gsize length = 0;
        gchar* data = g_key_file_to_data(file_, &length, nullptr);
        std::string text(data, length);
        g_free(data);
        return text;
    }

private:
    GKeyFile* file_;
};
#else
// CSimpleIniA: the file's bytes kept, sections and keys pointing into them.
class Peer {
public:
    bool Load(const std::string& path) { return ini_.LoadFile(path.c_str()) == SI_OK; }
    int GetInt(const std::string& section, const char* name) {
        return static_cast<int>(ini_.GetLongValue(section.c_str(), name, 0));
    }
    void SetInt(const std::string& section, const char* name, int value) {
        ini_.SetLongValue(section.c_str(), name, value);
    }
    bool Save(const std::string& path) { return ini_.SaveFile(path.c_str()) == SI_OK; }
    std::string Text() {
        std::string text;
        ini_.Save(text);
        return text;
    }

private:
    CSimpleIniA ini_;
};
#endif

void LoadOrFail(Peer& peer, const std::string& path) {
    if (!peer.Load(path)) Fail("cannot load " + path);
}

int Load(const std::string& path) {
    Peer peer;
    return qor::bench::MeasureLoad(path, [&] { return peer.Load(path); });
}

int GetInt(const std::string& path, std::size_t handleCount) {
    const std::vector<std::string> sections = qor::bench::SpreadSections(path, handleCount);
    Peer peer;
    LoadOrFail(peer, path);
    long long sum = 0;
    const auto timing = TimeOnce([&] {
        sum = qor::bench::ReadLoop(sections.size(), [&](std::size_t h, std::size_t n) {
            return peer.GetInt(sections[h], qor::bench::kReadNames[n]);
        });
    });
    PrintTiming("seconds", timing, qor::bench::kReadCalls);
    std::printf("checksum=%lld\n", sum);
    return 0;
}

// The library's way of writing a file: pieces of 1 MiB into a new file,
// flushed, renamed over the old one.
bool ReplaceAsTheLibrary(const std::string& path, const std::string& text) {
    constexpr std::size_t kPiece = 1 << 20;
    return qor::platform::ReplaceFileAtomicallyFrom(path, [&text](const qor::platform::PieceWriter& write) {
        for (std::size_t at = 0; at < text.size(); at += kPiece) {
            if (!write(std::string_view(text).substr(at, kPiece))) return false;
        }
        return true;
    });
}

int Change(const std::string& path, const std::string& out, bool replace) {
    const std::vector<std::string> all = qor::bench::SectionNames(path);
    const std::string& section = all[all.size() / 2];
    std::error_code error;
    std::filesystem::copy_file(path, out, std::filesystem::copy_options::overwrite_existing, error);
    if (error) Fail("cannot copy " + path + " to " + out);
    Peer peer;
    LoadOrFail(peer, path);
    const int written = 7000001;
    bool saved = false;
    const auto timing = TimeOnce([&] {
        peer.SetInt(section, "RESOLUTION", written);
        saved = replace ? ReplaceAsTheLibrary(out, peer.Text()) : peer.Save(out);
    });
    PrintTiming("seconds", timing);
    Peer check;
    std::printf("changed=%d\n", saved && check.Load(out) && check.GetInt(section, "RESOLUTION") == written ? 1 : 0);
    return 0;
}

int Usage() {
    std::fprintf(stderr, "usage: load INI | getint INI HANDLES | change INI OUT | change_replace INI OUT\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::size_t n = args.size();
    if (n < 2) return Usage();
    if (args[0] == "load" && n == 2) return Load(args[1]);
    if (args[0] == "getint" && n == 3) return GetInt(args[1], std::strtoull(args[2].c_str(), nullptr, 10));
    if (args[0] == "change" && n == 3) return Change(args[1], args[2], false);
    if (args[0] == "change_replace" && n == 3) return Change(args[1], args[2], true);
    return Usage();
}
