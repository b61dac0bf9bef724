// CRegExt's members around the process-wide store and its file: loading,
// saving, file tests, the two static path buffers, the build date, a
// pseudo-random number and the export and import wrappers.
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "CRegExt.h"
#include "core/StoreOwnership.h"
#include "platform/Platform.h"
#include "util/FixedText.h"

namespace {

// Machine keys are never written through the class facade.
constexpr const char* kClassSaveExclusion = "HKEY_LOCAL_MACHINE";

int MonthNumber(std::string_view abbreviation) {
    static constexpr std::string_view kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int i = 0; i < 12; ++i) {
        if (kMonths[i] == abbreviation) return i + 1;
    }
    return 0;
}

// buildDate is the compiler's "Mmm dd yyyy" (a day below 10 padded with a
// space); the result is YYYYMMDD with the day padded with a zero.
std::string BuildDateDigits(std::string_view buildDate) {
    const int month = MonthNumber(buildDate.substr(0, 3));
    const char dayTens = buildDate[4] == ' ' ? '0' : buildDate[4];
    std::string digits(buildDate.substr(7, 4));
    digits += static_cast<char>('0' + month / 10);
    digits += static_cast<char>('0' + month % 10);
    digits += dayTens;
    digits += buildDate[5];
    return digits;
}

// rand() reduced to 0..32767 whatever the C library's RAND_MAX.
int Rand15() { return std::rand() / (RAND_MAX / 32768 + 1); }

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

char* CRegExt::ParseDate() {
    static char date[9] = {};
    static const bool filled = qor::CopyFixed(date, BuildDateDigits(__DATE__));
    (void)filled;
    return date;
}

int CRegExt::GetRandom(int low, int high) {
    const float unit = static_cast<float>(Rand15() * (1.0 / 32768));
    // The span wraps as 32-bit int arithmetic does, so the product stays in int range.
    const auto span = static_cast<int>(static_cast<unsigned>(high) - static_cast<unsigned>(low) + 1u);
    const int offset = static_cast<int>(unit * static_cast<float>(span));
    return static_cast<int>(static_cast<unsigned>(offset) + static_cast<unsigned>(low));
}

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
