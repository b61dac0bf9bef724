// CRegExt's two small services that have nothing to do with the store: the
// library's build date as YYYYMMDD digits and a pseudo-random number in a
// range.
#include <cstdlib>
#include <string>
#include <string_view>

#include "CRegExt.h"
#include "util/FixedText.h"

namespace {

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
