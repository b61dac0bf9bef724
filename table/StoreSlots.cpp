// The store slots: loading, saving and testing store files, destroying the
// table store, sharing CRegExt's store, and the root path buffer.
#include <string_view>

#include "CRegExt.h"
#include "core/StoreOwnership.h"
#include "table/Slots.h"
#include "table/TableState.h"
#include "util/FixedText.h"

namespace qor::table {
namespace {

// The table writes every key, machine keys included.
constexpr const char* kTableSaveExclusion = "";

}  // namespace

int Load(tagRegHandle* h, const char* path) {
    if (h == nullptr || path == nullptr) return 0;
    if (core::LoadInto(TableStore(), path) != 1) return 0;
    h->pIni = TableStore();
    return 1;
}

int Save(tagRegHandle* h, const char* path) {
    if (h == nullptr || path == nullptr || h->pIni == nullptr) return 0;
    const int saved = h->pIni->SaveFile(path, kTableSaveExclusion);
    if (saved != 1) return saved;
    return h->pIni->IsFileValid(path);
}

int IsFileValid(tagRegHandle* h, const char* path) {
    if (path == nullptr) return 0;
    if (h != nullptr && h->pIni != nullptr) return h->pIni->IsFileValid(path);
    CIniClass empty;
    return empty.IsFileValid(path);
}

void FreeStore() {
    if (TableStore() == nullptr) return;
    platform::ProcessLock* lock = TableLock();
    if (lock != nullptr) platform::WaitProcessLock(lock);
    // A store borrowed from CRegExt is gone for CRegExt too.
    if (CRegExt::m_pIni == TableStore()) CRegExt::m_pIni = nullptr;
    core::DestroyStore(TableStore());
    if (lock != nullptr) platform::ReleaseProcessLock(lock);
}

int AttachRegExt(CRegExt* object, tagRegHandle* h) {
    CIniClass* shared = CRegExt::m_pIni;
    TableStore() = shared;
    if (h == nullptr) return 1;
    h->pIni = shared;
    const std::string_view key = object != nullptr ? FixedView(object->szKey) : std::string_view();
    const bool namesKey = key.find('\\') != std::string_view::npos;
    if (object != nullptr && namesKey && CopyFixed(h->szKey, key)) {
        h->fWrite = object->m_fWrite;
    } else {
        h->szKey[0] = '\0';
        h->fWrite = 0;
    }
    return 1;
}

char* GetRegRootBuffer(void* /*unused*/) { return RootPathBuffer(); }

}  // namespace qor::table
