// Windows' regedit file format, read and written (CRegeditFile).
#ifndef QOR_STORE_REGEDITFILE_H
#define QOR_STORE_REGEDITFILE_H

#include <string>
#include <string_view>
#include <vector>

#include "CIniClass.h"
#include "store/KeyMap.h"

namespace qor::store {

enum class RegeditRead { Read, NotRegedit, BadUtf16 };

// One change a regedit file asks for, in the store's terms (keys and
// names as the store keeps them, values as stored texts).
struct RegeditStep {
    enum class Kind { AddKey, SetValue, DeleteValue, DeleteKey };
    Kind kind;
    std::string key, name, text;  // name: SetValue and DeleteValue; text: SetValue
};

// A line left out, with its number (as an editor counts lines) and why.
struct RegeditSkip {
    std::size_t line;
    std::string reason;
};

// What a regedit file asks for, in its order, and what it leaves out.
struct RegeditReport {
    std::vector<RegeditStep> steps;
    std::vector<RegeditSkip> skipped;
};

// Reads the bytes of a regedit file (8-bit or UTF-16LE with its mark) by
// regedit's grammar into report; only steps whose result the store file
// keeps exactly are taken, the others are skipped with their reason. On
// anything but Read, report holds nothing useful.
RegeditRead ReadRegeditText(std::string_view bytes, RegeditReport& report);

// Applies the steps to store in their order, with the store's own
// operations. Nothing allocates once the store starts to change, except
// the final merge, which is all or nothing itself.
void ApplyRegeditSteps(const std::vector<RegeditStep>& steps, CIniClass& store);

// Both in one: reads the bytes and applies them to staging.
RegeditRead ReadRegeditText(std::string_view bytes, CIniClass& staging);

// True when key is one of the five root names or begins with one and a
// backslash: the keys regedit takes.
bool BeginsWithRootName(std::string_view key);

// The regedit file of key and the keys below it (every key when key is
// empty): REGEDIT4 text, or with utf16 the version 5 text in UTF-16LE with
// its mark. False when a text cannot be converted to UTF-16.
bool RegeditExportText(const KeyMap& keys, std::string_view key, bool utf16, std::string& bytes);

}  // namespace qor::store

#endif
