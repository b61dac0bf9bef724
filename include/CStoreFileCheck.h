/// @file
/// CStoreFileCheck: what loading a store file would do with each of its lines.
#ifndef QOR_CSTOREFILECHECK_H
#define QOR_CSTOREFILECHECK_H

#include "QorCompat.h"
#include "QorExport.h"

/// Reads a store file the way CIniClass::LoadFile reads it, with the same
/// line reader, and records every line the load ignores or reads otherwise
/// than it is written, what makes the load fail, and every value that would
/// not come back unchanged after the next CIniClass::SaveFile. The file is
/// only read; no store is changed.
class QOR_API CStoreFileCheck {
public:
    /// What a finding is about.
    enum Kind {
        CannotRead,         ///< the file cannot be opened or read (line 0)
        TooLarge,           ///< larger than the store reads: the load refuses it (line 0)
        Utf16,              ///< UTF-16 text (line 0): the store finds no section or value in it
        KeyNamedAgain,      ///< a section names a key named before (on otherLine): the load fails
        NulByte,            ///< the line holds a NUL byte: callers' texts end there
        NoSection,          ///< a value line before the first section: ignored
        NotASection,        ///< begins with "[" but is no section line: its values stay with the key before
        NoEquals,           ///< neither a section nor NAME=DATA: ignored
        EmptyName,          ///< nothing before "=": ignored
        EmptyData,          ///< nothing after "=": ignored
        UnendedLastLine,    ///< the last line has no line end: ignored
        ValueNamedAgain,    ///< a value named before in the section (on otherLine): this line's value wins
        NameReadOtherwise,  ///< the name is stored as name, not as the line shows it
        DataReadOtherwise,  ///< the data is stored as text, not as the line shows it
        ChangedBySave,      ///< the value reads back as saved after the next save (empty: not written back)
        MarkerMissing,      ///< no end marker line at the end (line 0): the file counts as incomplete
        MarkerMisplaced,    ///< an end marker line that does not count, not being at the end
        Empty,              ///< the file has no bytes (line 0): no store in it; qorreg refuses it
        NotAStore,          ///< the first line is not "REGEDIT4" (line 0): not a store file; qorreg refuses it
    };

    /// One finding. Texts are empty where they do not apply.
    struct Finding {
        Kind kind;           ///< what it is about
        unsigned line;       ///< 1-based line number as an editor counts it; 0 for the whole file
        unsigned otherLine;  ///< the earlier line of KeyNamedAgain and ValueNamedAgain, else 0
        CString key;         ///< the key the line belongs to (as stored: upper case)
        CString name;        ///< the value's name as stored
        CString text;        ///< the line as written (cut at 200 bytes)
        CString stored;      ///< the value's text as the store holds it after the load
        CString saved;       ///< ChangedBySave: the value's text after a save and a load
    };

    /// 0: nothing is ignored or lost; 1: warnings only; 2: the store cannot load the file.
    enum Verdict { Clean = 0, Warnings = 1, CannotLoad = 2 };

    /// No findings yet.
    CStoreFileCheck() = default;

    /// Checks the file at path, replacing earlier findings; returns the Verdict.
    int Check(const char* path);
    /// The findings of the last Check, in line order (whole-file findings last).
    const CArray<Finding>& GetFindings() const { return m_findings; }
    /// 1 when a finding of this kind keeps the store from loading the file,
    /// or the file from counting as a store file (Empty, NotAStore), else 0.
    static int IsFatal(Kind kind);
    /// A quick look at the file as a whole, without reading its lines: its
    /// size, its first line and its end. 1 with kind set to the first of
    /// CannotRead, TooLarge, Empty, Utf16, NotAStore and MarkerMissing that
    /// applies (what Check reports for the file as a whole); 0 when none does.
    static int Classify(const char* path, Kind& kind);

private:
    CArray<Finding> m_findings;
};

#endif
