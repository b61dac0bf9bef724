// Files for tests of every room: a scratch folder that removes itself
// (contents and all, even after a test took its write permission away),
// and whole files written and read as bytes.
#ifndef QOR_TESTSUPPORT_TESTFILES_H
#define QOR_TESTSUPPORT_TESTFILES_H

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace qor::testkit {

class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix = "qor_test") {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                (prefix + "_" + std::to_string(seed()) + "_" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Path() const { return path_.string(); }
    const std::filesystem::path& FsPath() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // The names of the folder's entries, sorted.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace qor::testkit

#endif
