// CRegExt's members around the process-wide store and its file: loading,
// saving, file tests, the two static path buffers and the export and import
// wrappers.
#include <cstring>
#include <string>

#include "CRegExt.h"
#include "core/StoreOwnership.h"
#include "platform/Platform.h"
#include "util/FixedText.h"

namespace {

// Machine keys are never written through the class facade.
constexpr const char* kClassSaveExclusion = "HKEY_LOCAL_MACHINE";

}  // namespace

int CRegExt::Load(const char* path) {
    if (path == nullptr) return 0;
    return qor::core::LoadInto(m_pIni, path);
}

int CRegExt::LoadW(const wchar_t* path) { return Load(qor::platform::WideToNarrow(path).c_str()); }

int CRegExt::Save(const char* path) {
    if (m_pIni == nullptr || path == nullptr) return 0;
    if (m_pIni->SaveFile(path, kClassSaveExclusion) != 1) return 0;
    return isFileValid(path) == 1 ? 1 : 0;
}

int CRegExt::SaveW(const wchar_t* path) { return Save(qor::platform::WideToNarrow(path).c_str()); }

int CRegExt::isFileValid(const char* path) {
    if (path == nullptr) return 0;
    if (m_pIni != nullptr) return m_pIni->IsFileValid(path);
    CIniClass empty;
    return empty.IsFileValid(path);
}

void CRegExt::SetLogPath(const char* path) {
    if (path != nullptr) qor::CopyFixed(m_pPath, path);
}

void CRegExt::SetLogPathW(const wchar_t* path) { SetLogPath(qor::platform::WideToNarrow(path).c_str()); }

char* CRegExt::GetSysPath() { return m_pSysPath; }

int CRegExt::ImportFileTWAINCase(const char* path) {
    if (m_pIni == nullptr || path == nullptr) return 0;
    return m_pIni->ImportFile(path) == 1 ? 1 : 0;
}

int CRegExt::ImportFileTWAINCase(const CString& text) {
    if (m_pIni == nullptr) return 0;
    return m_pIni->ImportText(text) == 1 ? 1 : 0;
}

int CRegExt::ExportFileTWAINCase(const char* filter, CString& out) {
    if (m_pIni == nullptr || filter == nullptr) return 0;
    return m_pIni->ExportText(filter, out) == 1 ? 1 : 0;
}

int CRegExt::ExportFileTWAINCase(const char* filter, const char* path) {
    if (m_pIni == nullptr || filter == nullptr || path == nullptr) return 0;
    return m_pIni->ExportFile(filter, path) == 1 ? 1 : 0;
}

int CRegExt::ExportFilePellorCase(const char* filter, const char* path) {
    if (m_pIni == nullptr || filter == nullptr || path == nullptr) return 0;
    return m_pIni->ExportAppFile(filter, path) == 1 ? 1 : 0;
}
