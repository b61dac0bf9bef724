// Finding the store root: which product folder below the common
// application-data folder holds the root.ini that names the calling module.
//
// The lookup key HKEY_LOCAL_MACHINE\SOFTWARE\Orvane Corp\Scanner holds string
// values ROOT1, ROOT2, ... (numbered without gaps), each a path fragment R
// that begins with a backslash. For each R, every sub-folder S of
// F = app-data + R that holds a file named S + ".ini" is a candidate; its
// F\S\root.ini must hold the key "SOFTWARE" + R + "\" + S with the value
// "System Directory" (mode 0: the module's folder) or "Twain Pathname"
// (otherwise: the module path itself).
//
// CRegExt::GetRegRoot and the table's pfnGetRegRoot are this one search;
// they differ only in how the ROOTn values are read and where the found
// folder goes.
#ifndef QOR_CORE_ROOTLOOKUP_H
#define QOR_CORE_ROOTLOOKUP_H

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qor::core {

// The lookup key below HKEY_LOCAL_MACHINE, and the text written on failure.
inline constexpr const char* kLookupSubKey = "SOFTWARE\\Orvane Corp\\Scanner";
inline constexpr std::string_view kNotFoundText = "Software\\Company\\Error";
// Capacity of every buffer the search writes: the folder buffers, and the
// key buffer, whose real size the library does not know.
inline constexpr std::size_t kBufferSize = 260;

// What a reader found for the value "ROOT" + index. The walk stops at the
// first Missing (absent or empty) value; an Unusable one (too long for the
// reader's buffer) names no product but does not end the walk.
enum class RootValue { Missing, Unusable, Usable };
using RootReader = std::function<RootValue(int index, std::string& fragment)>;

// Runs the search. On success copies the product key into keyBuffer and the
// found folder (with a trailing separator) into folderBuffer (260 bytes);
// otherwise writes kNotFoundText into keyBuffer and leaves folderBuffer
// alone. A key or folder text that does not fit 260 bytes never matches.
// Returns keyBuffer.
char* FindStoreRoot(unsigned short mode, const char* modulePath, char* keyBuffer, const RootReader& readRoot,
                    char* folderBuffer);

// Appends the names of the sub-folders of folder to names, in listing order.
// True when at least one was appended; otherwise names is emptied.
bool ListSubFolders(const std::string& folder, std::vector<std::string>& names);

// True when folder\name holds a file whose name, less every occurrence of
// ext, is exactly name (case-sensitive).
bool FolderHoldsNamedFile(const std::string& name, const std::string& folder, const std::string& ext);

}  // namespace qor::core

#endif
