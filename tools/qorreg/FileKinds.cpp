#include "FileKinds.h"

#include <fstream>

#include "KeyPath.h"

namespace qor::qorreg {
namespace {

// The first line of text (without its line end) and what follows its line end.
std::string FirstLine(const std::string& text, std::string* rest = nullptr) {
    const std::size_t end = text.find_first_of("\r\n");
    if (rest != nullptr) {
        std::size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end != std::string::npos && text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
        *rest = text.substr(next);
    }
    return text.substr(0, end);
}

}  // namespace

Words WholeFileWords(CStoreFileCheck::Kind kind) {
    switch (kind) {
        case CStoreFileCheck::CannotRead:
            return {"cannot be read", "nothing is loaded"};
        case CStoreFileCheck::TooLarge:
            return {"larger than the store reads", "the load refuses the file"};
        case CStoreFileCheck::Utf16:
            return {"UTF-16 text; the store reads 8-bit text", "the store finds no key and no value in it"};
        case CStoreFileCheck::Empty:
            return {"an empty file, no store file", "programs load it as an empty store; qorreg refuses it"};
        case CStoreFileCheck::NotAStore:
            return {"the first line is not REGEDIT4: not a store file", "qorreg refuses it"};
        case CStoreFileCheck::MarkerMissing:
            return {"no end marker line [CINICHECKFILEVALID] at the end",
                    "loaded, but the file counts as written incompletely; qorreg's changing verbs refuse it"};
        case CStoreFileCheck::KeyNamedAgain:
            return {"a key is named twice", "the load fails: programs get no settings from this file"};
        default:
            return {"?", "?"};
    }
}

Words KeyNamedAgainWords(const std::string& key, unsigned firstLine) {
    return {"key " + key + " is named again (first on line " + std::to_string(firstLine) + ")",
            "the load fails: programs get no settings from this file"};
}

std::string WhyLoadFails(const std::string& path) {
    CStoreFileCheck check;
    check.Check(path.c_str());
    const CArray<CStoreFileCheck::Finding>& findings = check.GetFindings();
    for (CArray<CStoreFileCheck::Finding>::INT_PTR i = 0; i < findings.GetSize(); ++i) {
        const CStoreFileCheck::Finding& f = findings[i];
        if (f.kind == CStoreFileCheck::KeyNamedAgain) return KeyNamedAgainWords(f.key.GetString(), f.otherLine).found;
    }
    return WholeFileWords(CStoreFileCheck::KeyNamedAgain).found;
}

InputKind DetectInputKind(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char start[256] = {};
    in.read(start, sizeof start);
    const std::string head(start, static_cast<std::size_t>(in.gcount()));
    if (head.starts_with("\xFF\xFE")) return InputKind::Regedit;  // regedit's own default form
    std::string rest;
    std::string first = FirstLine(head.starts_with("\xEF\xBB\xBF") ? head.substr(3) : head, &rest);
    // regedit reads its header after blanks too.
    first.erase(0, first.find_first_not_of(" \t"));
    if (first == "Windows Registry Editor Version 5.00") return InputKind::Regedit;
    if (first != "REGEDIT4") return InputKind::NotRegistry;
    CIniClass probe;
    if (probe.IsFileValid(path.c_str()) == 1) return InputKind::Store;
    if (UpperAscii(FirstLine(rest)) == "[TWAIN EXPORT]") return InputKind::Twain;
    // regedit writes a blank line after its header; a store file never does.
    return FirstLine(rest).empty() ? InputKind::Regedit : InputKind::Unclear;
}

bool ParseInputKind(const std::string& text, InputKind& kind) {
    const std::string upper = UpperAscii(text);
    if (upper == "STORE")
        kind = InputKind::Store;
    else if (upper == "TWAIN")
        kind = InputKind::Twain;
    else if (upper == "REGEDIT")
        kind = InputKind::Regedit;
    else
        return false;
    return true;
}

}  // namespace qor::qorreg
