// Copying a key tree with its values to another place in the store.
//
// Each end is a root (HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, or key path
// text behind the handle) and a sub-key; the sub-key's own backslashes at
// either end are dropped before joining, so "\SOFTWARE\A\" and "SOFTWARE\A"
// name the same key. The source's key list is fixed before the first write,
// so copying a key into its own subtree ends. Values are rewritten by type:
// strings unchanged, "<dword>" texts as unsigned 32-bit numbers, byte lists
// byte by byte; a value without a known type prefix stops the copy.
#include <vector>

#include "CRegExt.h"
#include "platform/Platform.h"
#include "regext/KeyHandles.h"
#include "core/ValueAccess.h"
#include "util/FixedText.h"
#include "store/ValueText.h"

using namespace qor::regext;

namespace {

std::string TrimBackslashes(std::string_view text) {
    const std::size_t first = text.find_first_not_of('\\');
    if (first == std::string_view::npos) return std::string();
    const std::size_t last = text.find_last_not_of('\\');
    return std::string(text.substr(first, last - first + 1));
}

// The upper-case key path that a root and a sub-key name; none for the
// other predefined roots, null, empty text and closed objects.
std::optional<std::string> CopyEndPath(const void* root, std::string_view sub) {
    const std::string trimmedSub = TrimBackslashes(sub);
    const HandleKind kind = KindOf(root);
    std::string path;
    if (kind == HandleKind::CurrentUser || kind == HandleKind::LocalMachine) {
        path = std::string(RootPrefix(kind)) + trimmedSub;
    } else {
        std::optional<std::string> base = ParentPath(root, TextRule::NonEmpty);
        if (!base) return std::nullopt;
        path = JoinKeyPath(*base, trimmedSub);
    }
    return qor::store::Upper(TrimBackslashes(path));
}

// Writes one "NAME = <type>text" line of a source key to the object's key.
bool CopyValueLine(const CRegExt& self, std::string_view line) {
    const std::size_t equals = line.find(" = ");
    if (equals == std::string_view::npos) return false;
    const std::string_view name = line.substr(0, equals);
    std::string text(line.substr(equals + 3));
    const qor::core::ValueTarget target = TargetOf(self);
    switch (qor::store::RemovePrefix(text)) {
        case 1:
            qor::core::SetString(target, name, text);
            return true;
        case 2:
            qor::core::SetDword(target, name, qor::store::ParseStrtoul(text, 0));
            return true;
        case 3:
            qor::core::StoreText(target, name, qor::store::EncodeBytes(qor::store::ParseByteList(text)));
            return true;
        default:
            return false;
    }
}

bool CopyValues(const CRegExt& self, const CString& sourceKey) {
    CStringArray lines;
    CRegExt::m_pIni->GetValueLines(sourceKey, lines);
    for (CStringArray::INT_PTR i = 0; i < lines.GetSize(); ++i) {
        if (!CopyValueLine(self, lines[i].str())) return false;
    }
    return true;
}

int CopyTree(CRegExt& self, const void* srcRoot, std::string_view srcSub, const void* dstRoot,
             std::string_view dstSub) {
    if (!CRegExt::IsIniExisted()) return 1;
    const std::optional<std::string> destination = CopyEndPath(dstRoot, dstSub);
    const std::optional<std::string> source = CopyEndPath(srcRoot, srcSub);
    if (!destination || !source) return 0;

    CStringArray sourceKeys;
    CRegExt::m_pIni->GetSubKeys(source->c_str(), sourceKeys);
    if (sourceKeys.IsEmpty()) {
        self.m_fWrite = 1;
        return 0;
    }
    // Every source key is the source path or lies below it: its leading
    // source path becomes the destination path. All must fit szKey before
    // anything is written.
    std::vector<std::string> targets;
    for (CStringArray::INT_PTR i = 0; i < sourceKeys.GetSize(); ++i) {
        const std::string key = qor::store::Upper(sourceKeys[i].str());
        targets.push_back(*destination + key.substr(source->size()));
        if (targets.back().size() > kMaxKeyPath) return 0;
    }

    self.m_fWrite = 1;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        qor::CopyFixed(self.szKey, targets[i]);
        CRegExt::m_pIni->AddKey(targets[i].c_str());
        if (!CopyValues(self, sourceKeys[static_cast<CStringArray::INT_PTR>(i)])) return 0;
    }
    return 1;
}

}  // namespace

int CRegExt::RegCopy(HKEY srcRoot, CString srcSub, HKEY dstRoot, CString dstSub) {
    return CopyTree(*this, srcRoot, srcSub.str(), dstRoot, dstSub.str());
}

int CRegExt::RegCopy(const char* srcRoot, CString srcSub, const char* dstRoot, CString dstSub) {
    return CopyTree(*this, srcRoot, srcSub.str(), dstRoot, dstSub.str());
}

int CRegExt::RegCopyW(HKEY srcRoot, CStringW srcSub, HKEY dstRoot, CStringW dstSub) {
    const std::string narrowSource = qor::platform::WideToNarrow(srcSub.GetString());
    const std::string narrowDestination = qor::platform::WideToNarrow(dstSub.GetString());
    return CopyTree(*this, srcRoot, narrowSource, dstRoot, narrowDestination);
}

int CRegExt::RegCopyW(const char* srcRoot, CStringW srcSub, const char* dstRoot, CStringW dstSub) {
    const std::string narrowSource = qor::platform::WideToNarrow(srcSub.GetString());
    const std::string narrowDestination = qor::platform::WideToNarrow(dstSub.GetString());
    return CopyTree(*this, srcRoot, narrowSource, dstRoot, narrowDestination);
}
