// CIniClass: keys and their values in memory. Every public operation
// upper-cases the key text and value name it is given (letters a to z).
#include "store/IniClassInternal.h"

#include "store/TextEdit.h"
#include "store/ValueText.h"
#include "util/SmallText.h"

namespace qor::store {

KeyMap& KeysOf(CIniClass& store) { return Internal(store).keys; }
const KeyMap& KeysOf(const CIniClass& store) { return Internal(store).keys; }

}  // namespace qor::store

using qor::TextOrEmpty;
using qor::store::KeyMap;
using qor::store::KeysOf;
using qor::store::Upper;
using qor::store::ValueList;

namespace {

std::string UpperOf(const char* text) { return Upper(TextOrEmpty(text)); }

int LengthOf(const CStringArray& list) { return static_cast<int>(list.GetSize()); }

}  // namespace

// ---- Impl: the internal fast paths

bool CIniClass::Impl::HasKey(std::string_view key) const { return keys.find(key) != keys.end(); }

std::optional<qor::store::StoredText> CIniClass::Impl::FindText(std::string_view key, std::string_view name) const {
    const auto it = keys.find(key);
    if (it == keys.end()) return std::nullopt;
    return it->second.Find(name);
}

// Each change is recorded before it is made: should either run out of
// memory, the record only names a key or value that did not change.
void CIniClass::Impl::SetValue(std::string_view key, std::string_view name, std::string_view text) {
    auto it = keys.find(key);
    if (it == keys.end()) {
        files.KeyAdded(key);
        files.ValueChanged(key, name);
        it = keys.emplace(key, ValueList()).first;
    } else {
        files.ValueChanged(key, name);
    }
    it->second.Set(name, text);
}

bool CIniClass::Impl::AddKey(std::string_view key) {
    if (HasKey(key)) return false;
    files.KeyAdded(key);
    keys.emplace(key, ValueList());
    return true;
}

void CIniClass::Impl::SubtreeKeys(std::string_view key, std::vector<std::string>& out) const {
    if (HasKey(key)) out.emplace_back(key);
    const auto [first, last] = qor::store::KeysBelow(keys, key);
    for (auto it = first; it != last; ++it) out.emplace_back(it->first);
}

// ---- CIniClass

CIniClass::CIniClass() : m_impl(new Impl) {}

CIniClass::~CIniClass() {
    RemoveAll();
    delete m_impl;
}

int CIniClass::KeyExists(const char* key) { return m_impl->HasKey(UpperOf(key)) ? 1 : 0; }

int CIniClass::AddKey(const char* key) { return m_impl->AddKey(UpperOf(key)) ? 1 : 0; }

int CIniClass::GetValue(const char* key, const char* name, CString& out) {
    const auto text = m_impl->FindText(UpperOf(key), UpperOf(name));
    if (!text) return 0;
    out.str().clear();
    text->AppendTo(out.str());
    return 1;
}

int CIniClass::SetValue(const char* key, const char* name, const char* text) {
    m_impl->SetValue(UpperOf(key), UpperOf(name), TextOrEmpty(text));
    return 1;
}

int CIniClass::RemoveValue(const char* key, const char* name) {
    KeyMap& keys = m_impl->keys;
    const std::string upperKey = UpperOf(key);
    const auto it = keys.find(upperKey);
    if (it == keys.end()) return 0;
    const std::string upperName = UpperOf(name);
    if (!it->second.Find(upperName)) return 0;
    m_impl->files.ValueChanged(upperKey, upperName);
    return it->second.Remove(upperName) ? 1 : 0;
}

void CIniClass::DeleteSubtree(const char* key) {
    const std::string upper = UpperOf(key);
    m_impl->files.SubtreeDeleted(upper);
    qor::store::EraseSubtree(m_impl->keys, upper);
    m_impl->keys.CompactIfWasteful();
}

void CIniClass::RemoveAll() {
    m_impl->keys.clear();
    m_impl->files.AllRemoved();
}

int CIniClass::GetSubKeys(const char* key, CStringArray& list) {
    std::vector<std::string> found;
    m_impl->SubtreeKeys(UpperOf(key), found);
    for (std::string& text : found) list.Add(CString(std::move(text)));
    return LengthOf(list);
}

int CIniClass::GetAllKeys(CStringArray& list) {
    for (const auto& entry : m_impl->keys) list.Add(CString(std::string(entry.first)));
    return LengthOf(list);
}

int CIniClass::GetValueLines(const char* key, CStringArray& list) {
    const KeyMap& keys = m_impl->keys;
    const auto it = keys.find(UpperOf(key));
    if (it == keys.end()) return LengthOf(list);
    const ValueList& values = it->second;
    for (std::size_t i = 0; i < values.Size(); ++i) {
        const ValueList::Entry entry = values.At(i);
        std::string line;
        line.reserve(entry.name.size() + 3 + entry.text.size());
        line.append(entry.name).append(" = ");
        entry.text.AppendTo(line);
        list.Add(CString(std::move(line)));
    }
    return LengthOf(list);
}
