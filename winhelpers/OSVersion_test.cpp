#include "OSVersion.h"

#include <gtest/gtest.h>

#include "winhelpers/OSVersionHost.h"

namespace qor::winhelpers {
namespace {

class ScriptedOSVersionHost : public OSVersionHost {
public:
    std::optional<VersionRecord> version;
    std::optional<std::string> productName;
    std::optional<VersionRecord> ReadVersion() override { return version; }
    std::optional<std::string> ReadProductName() override { return productName; }
};

struct ProductNameCase {
    std::optional<std::string> productName;
    unsigned short major;
    int expected;
};

TEST(OSVersionTest, ComparesTheNumberAfterTheFirstWordOfTheProductName) {
    const ProductNameCase cases[] = {
        {"Windows 7 Professional", 7, 1},
        {"Windows 7 Professional", 8, 0},
        {"Windows 10 Pro", 10, 1},
        {"Windows 10 Pro", 11, 0},
        {"Windows 8.1 Pro", 8, 1},
        {"Windows 8.1 Pro", 9, 0},
        {"Windows Server 2008 R2 Standard", 1, 0},  // the word is "Server"
        {"Windows XP", 1, 0},                       // no space after "XP": the number is 0
        {"Windows 10", 1, 0},
        {"Windows 10", 0, 1},
        {"Windows -1 Pro", 0, 0},          // signed comparison
        {"Windows 4294967303 Pro", 7, 1},  // digits read modulo 2^32, as on Windows
        {"Windows 4294967303 Pro", 8, 0},
        {std::nullopt, 0, 0},  // a missing name never passes, not even major 0
    };
    ScriptedOSVersionHost host;
    ScopedHostForTesting<OSVersionHost> scope(host);
    OSVersion os;
    for (const ProductNameCase& c : cases) {
        host.productName = c.productName;
        const char* label = c.productName ? c.productName->c_str() : "(none)";
        // Minor and service pack never change the answer.
        EXPECT_EQ(os.IsWindowsVersionOrGreater(c.major, 0, 0), c.expected) << label << " / " << c.major;
        EXPECT_EQ(os.IsWindowsVersionOrGreater(c.major, 0xFFFF, 0xFFFF), c.expected) << label;
        EXPECT_EQ(os.IsWindowsVersionOrGreater(c.major, 3, 2), c.expected) << label;
    }
}

TEST(OSVersionTest, Windows8OnlyForVersion62OnAWorkstation) {
    struct Case {
        std::optional<VersionRecord> version;
        int expected;
    };
    const Case cases[] = {
        {VersionRecord{6, 2, 1}, 1}, {VersionRecord{6, 2, 3}, 0},  // server
        {VersionRecord{6, 2, 2}, 0},                               // domain controller
        {VersionRecord{6, 3, 1}, 0}, {VersionRecord{10, 2, 1}, 0}, {std::nullopt, 0},
    };
    ScriptedOSVersionHost host;
    ScopedHostForTesting<OSVersionHost> scope(host);
    OSVersion os;
    for (const Case& c : cases) {
        host.version = c.version;
        EXPECT_EQ(os.CheckWin8Version(), c.expected)
            << (c.version ? c.version->major : 0) << "." << (c.version ? c.version->minor : 0);
    }
}

TEST(OSVersionTest, TypeRecordNamesOSVersionOverCWndWithAnEmptyMap) {
    OSVersion os;
    const CRuntimeClass* record = os.GetRuntimeClass();
    EXPECT_STREQ(record->m_lpszClassName, "OSVersion");
    EXPECT_EQ(record->m_pfnGetBaseClass(), RUNTIME_CLASS(CWnd));
    EXPECT_TRUE(os.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(os.IsKindOf(RUNTIME_CLASS(CScrollBar)));
    EXPECT_FALSE(os.OnWndMsg(0x0114, 0, 0, nullptr));
}

#if !defined(_WIN32)
TEST(OSVersionTest, WithoutWindowsBothQuestionsAnswerZero) {
    OSVersion os;
    EXPECT_EQ(os.CheckWin8Version(), 0);
    EXPECT_EQ(os.IsWindowsVersionOrGreater(0, 0, 0), 0);
}
#endif

}  // namespace
}  // namespace qor::winhelpers
