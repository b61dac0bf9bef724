// What a file given to qorreg is, told once for every verb: the whole-file
// verdicts of the library's store file check (CStoreFileCheck) in the
// words check uses, and the kinds of registry file that import reads.
#ifndef QOR_TOOLS_QORREG_FILEKINDS_H
#define QOR_TOOLS_QORREG_FILEKINDS_H

#include <string>

#include <QorCommonLib.h>

namespace qor::qorreg {

struct Words {
    std::string found;  // what the file or line holds
    std::string does;   // what the store (or qorreg) does with it
};

// The words of a finding about a file as a whole (CannotRead, TooLarge,
// Empty, Utf16, NotAStore, MarkerMissing, and KeyNamedAgain without its key).
Words WholeFileWords(CStoreFileCheck::Kind kind);

// The words of a key named twice (KeyNamedAgain), as check gives them.
Words KeyNamedAgainWords(const std::string& key, unsigned firstLine);
// What keeps the store file at path from loading: the check's first key
// named twice, in its words.
std::string WhyLoadFails(const std::string& path);

// The kinds of file import reads.
enum class InputKind {
    Store,    // a store file: it ends with its end marker line
    Twain,    // the library's TWAIN export: REGEDIT4, then [TWAIN Export]
    Regedit,  // a file of Windows' regedit: its version 5 header, UTF-16, or REGEDIT4 and a blank line
    Unclear,  // REGEDIT4 and a key line, but no end marker: a store file cut short, or a regedit file?
    NotRegistry,
};

// Looks at the file's start and end. Unreadable files are the caller's to refuse first.
InputKind DetectInputKind(const std::string& path);
// "store", "twain", "regedit" (the --as argument, any case); false for another text.
bool ParseInputKind(const std::string& text, InputKind& kind);

}  // namespace qor::qorreg

#endif
