#include "core/RootLookup.h"

#include "platform/Platform.h"
#include "util/FixedText.h"
#include "store/StoreFile.h"
#include "store/ValueText.h"

namespace qor::core {
namespace {

std::string ShortFormOrSelf(const std::string& path) {
    std::string shortPath;
    if (platform::ShortPathName(path, shortPath)) return shortPath;
    return path;
}

// Mode 0 compares folders: the module path is cut after its last separator.
std::string ModuleText(unsigned short mode, const char* modulePath) {
    std::string text = ShortFormOrSelf(modulePath != nullptr ? modulePath : "");
    if (mode != 0) return text;
    std::size_t cut = text.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : text.substr(0, cut + 1);
}

void RemoveEvery(std::string& text, const std::string& part) {
    if (part.empty()) return;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at)) {
        text.erase(at, part.size());
    }
}

struct Candidate {
    std::string key;     // "SOFTWARE" + R + "\" + S
    std::string folder;  // F + "\" + S + "\"
};

// Each candidate's file is read on its own, so that a key shared with
// another product's file cannot hide this one. Only the one value is kept
// of it; the file is still read whole by the load's rules.
bool CandidateNamesModule(const Candidate& c, const std::string& upperValueName, const std::string& module) {
    std::string text;
    if (!store::ReadOneStoredValue(c.folder + "root.ini", store::Upper(c.key), upperValueName, text)) return false;
    store::RemovePrefix(text);
    return platform::CompareNoCase(ShortFormOrSelf(text).c_str(), module.c_str()) == 0;
}

bool FitsBuffers(const Candidate& c) { return c.key.size() < kBufferSize && c.folder.size() < kBufferSize; }

}  // namespace

char* FindStoreRoot(unsigned short mode, const char* modulePath, char* keyBuffer, const RootReader& readRoot,
                    char* folderBuffer) {
    if (keyBuffer == nullptr) return keyBuffer;
    const std::string module = ModuleText(mode, modulePath);
    const std::string appData = platform::CommonAppDataFolder();
    const std::string valueName = mode == 0 ? "SYSTEM DIRECTORY" : "TWAIN PATHNAME";

    std::string fragment;
    for (int index = 1;; ++index) {
        const RootValue found = readRoot(index, fragment);
        if (found == RootValue::Missing) break;
        if (found == RootValue::Unusable) continue;
        const std::string productFolder = appData + fragment;
        std::vector<std::string> subFolders;
        ListSubFolders(productFolder, subFolders);
        for (const std::string& sub : subFolders) {
            if (!FolderHoldsNamedFile(sub, productFolder, ".ini")) continue;
            Candidate c{std::string("SOFTWARE").append(fragment).append("\\").append(sub),
                        std::string(productFolder).append("\\").append(sub).append("\\")};
            if (!FitsBuffers(c) || !CandidateNamesModule(c, valueName, module)) continue;
            CopyFixed(keyBuffer, kBufferSize, c.key);
            CopyFixed(folderBuffer, kBufferSize, c.folder);
            return keyBuffer;
        }
    }
    CopyFixed(keyBuffer, kBufferSize, kNotFoundText);
    return keyBuffer;
}

bool ListSubFolders(const std::string& folder, std::vector<std::string>& names) {
    std::vector<platform::FolderEntry> entries;
    platform::FindEntries(folder + "\\*.*", entries);
    bool appended = false;
    for (const platform::FolderEntry& e : entries) {
        if (!e.isFolder || e.name == "." || e.name == "..") continue;
        names.push_back(e.name);
        appended = true;
    }
    if (!appended) names.clear();
    return appended;
}

bool FolderHoldsNamedFile(const std::string& name, const std::string& folder, const std::string& ext) {
    std::vector<platform::FolderEntry> entries;
    if (!platform::FindEntries(folder + "\\" + name + "\\*" + ext, entries)) return false;
    for (const platform::FolderEntry& e : entries) {
        if (e.isFolder || e.name == "." || e.name == "..") continue;
        std::string rest = e.name;
        RemoveEvery(rest, ext);
        if (rest == name) return true;
    }
    return false;
}

}  // namespace qor::core
