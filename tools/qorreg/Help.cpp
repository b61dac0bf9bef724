#include "Help.h"

#include "KeyPath.h"

namespace qor::qorreg {
namespace {

const VerbHelp kVerbHelp[] = {
    {"query", "-f FILE query [KEY] [-v NAME] [-s] [--json]", "show a key's values and sub-keys",
     "Shows KEY on a line, then one line per value: NAME, TYPE, DATA.\n"
     "Without -s the sub-keys directly below KEY follow, one per line.\n"
     "Without KEY, -s shows every key of the store.\n"
     "\n"
     "  -v, --value NAME   show only the value NAME\n"
     "  -s, --subtree      show KEY and every key below it, each with its values\n"
     "  --json             one JSON object: key, values (value objects: name, type,\n"
     "                     data, raw) and sub-keys (with -s nested with their own\n"
     "                     values)\n"},
    {"add", "-f FILE add KEY [-v NAME [-t TYPE] [-d DATA]] [--create]", "create a key or set a value",
     "Creates KEY when missing; with -v also sets the value NAME of KEY.\n"
     "\n"
     "  --create           make FILE when it does not exist (else that is an error)\n"
     "  -v, --value NAME   the value to set\n"
     "  -t, --type TYPE    REG_SZ (the default), REG_DWORD or REG_BINARY\n"
     "  -d, --data DATA    REG_SZ: the text as it is (default: empty)\n"
     "                     REG_DWORD: decimal or 0x hex, 0 to 4294967295 (required)\n"
     "                     REG_BINARY: pairs of hex digits such as 00cc01ff (default: none)\n"},
    {"delete", "-f FILE delete KEY [-v NAME]", "remove a value, or a key with its subtree",
     "Removes KEY and every key below it, or with -v only the value NAME of KEY.\n"
     "A root key or a key of one name (HKCU, SOFTWARE) is never removed.\n"
     "\n"
     "  -v, --value NAME   the value to remove\n"},
    {"copy", "-f FILE copy SRC DST", "copy a key and everything below it",
     "Copies SRC, every key below it and all their values to DST. What DST already\n"
     "holds stays, except values of the same name, which are replaced.\n"},
    {"export", "-f FILE export [--regedit [--utf16] | --twain | --app] (KEY | --all) OUT",
     "write KEY and the keys below it to OUT",
     "Writes KEY and every key below it (every key with --all) to OUT, replacing it,\n"
     "as a file for Windows' regedit (REGEDIT4, texts escaped), which import reads\n"
     "back exactly. Keys without a root name and values regedit has no type for\n"
     "are named on the error stream: export them with --twain.\n"
     "\n"
     "  --all      every key of FILE\n"
     "  OUT -      write the export to standard output\n"
     "  --regedit  the regedit form (the default)\n"
     "  --utf16    version 5.00, UTF-16LE (for values that came from a version 5\n"
     "             file, such as hex(2): and hex(7): ones)\n"
     "  --twain    the library's TWAIN export instead, for the suite's programs:\n"
     "             every key whose path contains KEY anywhere; texts unescaped,\n"
     "             so values the suite's import reads otherwise are named\n"
     "  --app      the scanning application's export instead, appended to OUT:\n"
     "             every key whose path contains KEY, key paths relative to KEY,\n"
     "             values without type\n"},
    {"import", "-f FILE import [--as KIND] [--strict] [--create] IN",
     "merge a store file, TWAIN export or regedit file into the store",
     "Reads IN into the store of FILE: new keys are added, values of the same name\n"
     "are replaced. IN is read as what it is: a store file (it ends with its end\n"
     "marker line) by the store file's rules, a TWAIN export without its header,\n"
     "a regedit file (REGEDIT4 or version 5.00, 8-bit or UTF-16) by regedit's\n"
     "grammar, its deletion lines ([-KEY], \"NAME\"=-) included. Anything else is\n"
     "refused.\n"
     "\n"
     "A regedit file's lines that regedit skips, and values the store file cannot\n"
     "keep exactly (a name with \"=\", a text with a line end, a value named \"@\"),\n"
     "are left out, each named on standard error with its line number; the rest\n"
     "is imported and the exit status is 1. When nothing else is left to import,\n"
     "nothing is imported and the exit status is 2.\n"
     "\n"
     "  IN -        read standard input\n"
     "  --as KIND   read IN as store, twain or regedit, whatever it looks like\n"
     "              (needed for a file with REGEDIT4 and no end marker line)\n"
     "  --strict    import a regedit file only when no line is left out\n"
     "  --create    make FILE when it does not exist (else that is an error)\n"},
    {"validate", "validate FILE", "check that a store file was written completely",
     "Prints \"valid\" (exit status 0) when FILE ends with its end marker line and\n"
     "names no key twice, else \"invalid\" (exit status 1).\n"},
    {"root", "-f FILE root [--twain] MODULE", "find the product folder that names a module",
     "Looks up HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane Corp\\Scanner in FILE and finds the\n"
     "product folder whose root.ini has MODULE's folder as \"System Directory\".\n"
     "Prints the product key and the folder, one per line.\n"
     "\n"
     "  --twain   match \"Twain Pathname\" against the whole MODULE path instead\n"},
    {"compare", "compare FILE_A FILE_B [KEY] [-s] [--json]", "list what differs between two store files",
     "Loads each file into a store of its own and lists, key by key, the values only\n"
     "in FILE_A (marked <), only in FILE_B (marked >) and those whose text differs\n"
     "(both lines), shown as query shows them, and the keys only one file holds.\n"
     "Without KEY every key of both files is compared; with KEY that key's values.\n"
     "\n"
     "  -s, --subtree   compare KEY and every key below it\n"
     "  --json          write the differences as JSON (each side a value object)\n"
     "  FILE_A or FILE_B may be - (standard input)\n"
     "\n"
     "Exit status (unlike the other verbs): 0 identical, 2 different,\n"
     "1 the comparison failed (usage error, a file that cannot be read or loaded,\n"
     "KEY in neither file).\n"},
    {"check", "check FILE [--json]", "report what a load ignores or a save would change",
     "Reads FILE as the store reads it and reports, with line numbers, every line\n"
     "the load ignores, keys named twice, a missing end marker, UTF-16 text and NUL\n"
     "bytes, values not read as written and values a save would change, each with\n"
     "what the store does with it; also texts that are not valid in the code page\n"
     "(--codepage) and UTF-8 mixed with other 8-bit text. A regedit file (as\n"
     "import recognises one) is read as import reads it instead: every line import\n"
     "would leave out is a warning (kind \"skipped\"), with the reason.\n"
     "\n"
     "  --json   write the findings as JSON\n"
     "  FILE -   read standard input\n"
     "\n"
     "Exit status: 0 clean, 1 warnings only, 2 the store cannot load FILE.\n"},
};

}  // namespace

const VerbHelp* FindVerbHelp(const std::string& verb) {
    for (const VerbHelp& help : kVerbHelp) {
        if (verb == help.name) return &help;
    }
    return nullptr;
}

void WriteToolHelp(std::ostream& out) {
    out << "Usage: qorreg -f FILE VERB [OPTION]... [ARGUMENT]...\n"
           "Inspect and change a QorCommonLib store file (such as root.ini).\n"
           "\n"
           "Verbs:\n";
    for (const VerbHelp& help : kVerbHelp) {
        std::string usage = std::string(help.usage);
        out << "  " << usage << "\n        " << help.summary << '\n';
    }
    out << "\n"
           "Options:\n"
           "  -f, --file FILE   the store file to work on (validate, compare and check:\n"
           "                    the first FILE); - reads standard input (reading verbs)\n"
           "  --codepage CP     the code page of FILE's texts (1252, utf-8, ...; default\n"
           "                    UTF-8, on Windows the ANSI code page): what is shown is\n"
           "                    converted from it, KEY, NAME and DATA given to it\n"
           "  --create          add, delete, copy, import: make FILE when it does not\n"
           "                    exist; without it a missing FILE is an error\n"
           "  --wait SECONDS    add, delete, copy, import: wait at most SECONDS (default\n"
           "                    10, 0: do not wait) while another writer holds the\n"
           "                    store file's lock (FILE.lock)\n"
           "  -h, --help        show this help; 'qorreg VERB --help' shows a verb's\n"
           "  -V, --version     show the version (only alone: value names are -v NAME)\n"
           "\n"
           "KEY is a full key path that begins with a root name: HKEY_LOCAL_MACHINE,\n"
           "HKEY_CURRENT_USER, HKEY_CLASSES_ROOT, HKEY_USERS, HKEY_CURRENT_CONFIG\n"
           "(or HKLM, HKCU, HKCR, HKU, HKCC), with the letters a-z in any case (other\n"
           "letters as written), such as\n"
           "HKCU\\SOFTWARE\\Orvane Corp\\DocScan. Product store files hold keys\n"
           "without a root name (SOFTWARE\\Orvane Corp\\DocScan\\...). Quote keys\n"
           "in the shell.\n"
           "\n"
           "Verbs may be typed in upper case (QUERY). A file that is empty, UTF-16 text,\n"
           "not a store file (no REGEDIT4 first line), names a key twice or cannot be\n"
           "read is refused by every verb; one without its end marker line is read with\n"
           "a warning and never changed.\n"
           "\n"
           "Control bytes in names and texts are shown as \\xNN. --json writes one\n"
           "object; each value is {name, type, data, raw}: data a number for REG_DWORD,\n"
           "hex digits for bytes, else the text; human text only in \"message\".\n"
           "\n"
           "Exit status: 0 success; 1 a key, value or product named does not exist\n"
           "(validate: the file is invalid; import: lines of a regedit file left out,\n"
           "the rest imported); 2 usage error, unreadable, invalid or too\n"
           "large file (more than 256 MiB), failed write, a text --codepage cannot\n"
           "hold, or the store file stayed locked by another writer for the whole\n"
           "wait.\n"
           "compare and check differ: see 'qorreg compare --help', 'qorreg check --help'.\n";
}

void WriteVerbHelp(std::ostream& out, const VerbHelp& help) {
    std::string summary = help.summary;
    summary = UpperAscii(summary.substr(0, 1)) + summary.substr(1);
    out << "Usage: qorreg " << help.usage << "\n" << summary << ".\n\n" << help.details;
}

}  // namespace qor::qorreg
