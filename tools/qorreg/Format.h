// How query shows keys and values, in the layout of the Windows registry
// tool: the key path on a line of its own, then one indented line per value,
//     NAME    TYPE    DATA
// with four spaces before and between the columns.
#ifndef QOR_TOOLS_QORREG_FORMAT_H
#define QOR_TOOLS_QORREG_FORMAT_H

#include <ostream>
#include <string>
#include <vector>

#include <QorCommonLib.h>

namespace qor::qorreg {

// The type of a stored value, told by the prefix its text begins with.
// Untyped texts (no known prefix) come only from hand-written files.
enum class ValueType { Dword, String, Binary, Untyped };

ValueType TypeOfStoredText(const std::string& text);
// "REG_DWORD", "REG_SZ", "REG_BINARY" or "REG_NONE".
const char* TypeName(ValueType type);
// Reads a -t argument (REG_DWORD, REG_SZ or REG_BINARY, any case). Untyped
// is not accepted.
bool ParseTypeName(const std::string& text, ValueType& type);

// A raw text "hex(N):BYTES" (a typed byte list as another program wrote
// it, N hexadecimal digits): true with N and the byte list text after the colon.
bool SplitTypedByteList(const std::string& text, unsigned& typeNumber, std::string& byteList);
// The type column of a stored text: TypeName of its type, or for a typed
// byte list the name of its type number and " (raw)" ("REG_EXPAND_SZ (raw)").
std::string TypeNameOf(const std::string& text);

// "0x%08x (decimal)": 0x0000002a (42).
std::string FormatDword(DWORD value);
// Two lower-case hexadecimal digits per byte, nothing between: 00cc01ff.
std::string FormatBytes(const std::vector<BYTE>& bytes);

// Key, name and data are a file's texts, shown as Shown (Text.h) shows them.
void WriteKeyLine(std::ostream& out, const std::string& key);
void WriteValueLine(std::ostream& out, const std::string& name, ValueType type, const std::string& data);
void WriteValueLine(std::ostream& out, const std::string& name, const std::string& typeName, const std::string& data);

}  // namespace qor::qorreg

#endif
