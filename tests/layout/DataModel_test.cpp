// What a caller compiled elsewhere relies on, checked at run time through the
// shared library: where the public records and classes keep their data
// members, and that the number readings give the 32-bit Windows C library's
// results. On a 32-bit build (4-byte pointers, 4-byte long) the figures are
// those of the 32-bit programs that use the library; on a 64-bit build the
// same members sit at their 64-bit offsets. Each figure is printed, so a
// run's log shows the data model it checked.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "QorCommonLib.h"

namespace {

constexpr bool kIs32Bit = sizeof(void*) == 4;

struct Placement {
    const char* member;
    std::size_t actual;
    std::size_t on32;  // 4-byte pointers
    std::size_t on64;  // 8-byte pointers
};

// Where a member lies within its object, for classes with virtual functions
// too (offsetof is defined only for standard-layout types).
template <typename Object, typename Member>
std::size_t OffsetIn(const Object& object, const Member& member) {
    return static_cast<std::size_t>(reinterpret_cast<const char*>(&member) - reinterpret_cast<const char*>(&object));
}

void ExpectPlacements(const char* type, std::initializer_list<Placement> placements) {
    for (const Placement& p : placements) {
        const std::size_t expected = kIs32Bit ? p.on32 : p.on64;
        std::printf("%-24s %-18s %5zu\n", type, p.member, p.actual);
        EXPECT_EQ(expected, p.actual) << type << "::" << p.member;
    }
}

TEST(DataModel, HandleRecordAndFunctionTableHaveTheCallersLayout) {
    std::printf("pointer %zu, long %zu, wchar_t %zu bytes\n", sizeof(void*), sizeof(long), sizeof(wchar_t));
    if (kIs32Bit) {
        // The data model of 32-bit Windows, which the library's callers use.
        EXPECT_EQ(4u, sizeof(long));
    }
    ExpectPlacements("tagRegHandle", {
                                         {"szKey", offsetof(tagRegHandle, szKey), 0, 0},
                                         {"pIni", offsetof(tagRegHandle, pIni), 1040, 1040},
                                         {"fWrite", offsetof(tagRegHandle, fWrite), 1044, 1048},
                                         {"(size)", sizeof(tagRegHandle), 1048, 1056},
                                     });
    ExpectPlacements("UI_FunctionTable",
                     {
                         {"pfnOpenReadOnly", offsetof(UI_FunctionTable, pfnOpenReadOnly), 0, 0},
                         {"pfnGetInt", offsetof(UI_FunctionTable, pfnGetInt), 6 * 4, 6 * 8},
                         {"pfnIsFileValid", offsetof(UI_FunctionTable, pfnIsFileValid), 60 * 4, 60 * 8},
                         {"(size)", sizeof(UI_FunctionTable), 61 * 4, 61 * 8},
                     });
}

TEST(DataModel, PublicDataMembersOfTheClassesSitWhereCallersLookForThem) {
    const CRegExt key;
    ExpectPlacements("CRegExt", {
                                    {"szKey", OffsetIn(key, key.szKey), 4, 8},
                                    {"m_fWrite", OffsetIn(key, key.m_fWrite), 1044, 1048},
                                    {"m_fOpen", OffsetIn(key, key.m_fOpen), 1048, 1052},
                                    {"m_SubKeyList", OffsetIn(key, key.m_SubKeyList), 1052, 1056},
                                    {"(size)", sizeof(CRegExt), 1068, 1088},
                                });
    ExpectPlacements("SubKeyList", {
                                       {"nCount", offsetof(SubKeyList, nCount), 0, 0},
                                       {"pHead", offsetof(SubKeyList, pHead), 4, 8},
                                       {"pCurrent", offsetof(SubKeyList, pCurrent), 8, 16},
                                       {"pWalk", offsetof(SubKeyList, pWalk), 12, 24},
                                       {"(size)", sizeof(SubKeyList), 16, 32},
                                   });
    ExpectPlacements("SubKeyNode", {
                                       {"dwIndex", offsetof(SubKeyNode, dwIndex), 260, 260},
                                       {"pNext", offsetof(SubKeyNode, pNext), 264, 264},
                                       {"pPrev", offsetof(SubKeyNode, pPrev), 268, 272},
                                       {"(size)", sizeof(SubKeyNode), 272, 280},
                                   });

    const CMyScrollBar bar;
    ExpectPlacements("CMyScrollBar", {
                                         {"m_hWnd", OffsetIn(bar, bar.m_hWnd), 4, 8},
                                         {"m_nMin", OffsetIn(bar, bar.m_nMin), 8, 16},
                                         {"m_nPos", OffsetIn(bar, bar.m_nPos), 12, 20},
                                         {"m_nMax", OffsetIn(bar, bar.m_nMax), 16, 24},
                                         {"m_nPage", OffsetIn(bar, bar.m_nPage), 20, 28},
                                         {"m_nCtrlID", OffsetIn(bar, bar.m_nCtrlID), 24, 32},
                                         {"m_pParent", OffsetIn(bar, bar.m_pParent), 28, 40},
                                         {"(size)", sizeof(CMyScrollBar), 32, 48},
                                     });
    EXPECT_EQ(sizeof(CWnd), OffsetIn(bar, bar.m_nMin)) << "CMyScrollBar's fields follow the CWnd part";
    ExpectPlacements("CRuntimeClass", {
                                          {"m_nObjectSize", offsetof(CRuntimeClass, m_nObjectSize), 4, 8},
                                          {"m_wSchema", offsetof(CRuntimeClass, m_wSchema), 8, 12},
                                          {"m_pfnCreateObject", offsetof(CRuntimeClass, m_pfnCreateObject), 12, 16},
                                          {"m_pfnGetBaseClass", offsetof(CRuntimeClass, m_pfnGetBaseClass), 16, 24},
                                          {"(size)", sizeof(CRuntimeClass), 20, 32},
                                      });
}

constexpr const char* kKey = "HKEY_CURRENT_USER\\SOFTWARE\\T";

// One store shared by a CRegExt and a table handle on the key kKey.
class NumberReadings : public ::testing::Test {
protected:
    void SetUp() override {
        CRegExt::m_pIni = &store;
        store.AddKey(kKey);
        ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, "software\\t", KEY_READ));
        std::strcpy(handle.szKey, kKey);
        handle.pIni = &store;
        handle.fWrite = 0;
    }
    void TearDown() override { CRegExt::m_pIni = nullptr; }
    std::string Stored(const char* name) {
        CString out;
        return store.GetValue(kKey, name, out) ? out.str() : "<missing>";
    }

    CIniClass store;
    CRegExt key;
    tagRegHandle handle{};
    UI_FunctionTable* table = UI_GetQorFunctionTable();
};

TEST_F(NumberReadings, AtoiWrapsAndStrtoulSaturatesAt32Bits) {
    struct Case {
        const char* text;
        std::int32_t atoi;  // CRegExt::GetInt
        DWORD strtoul0;     // CRegExt::GetDWord (base 0)
        DWORD strtoul10;    // pfnGetDWord
        DWORD atol;         // pfnGetDWordDefault, as the DWORD it delivers
    };
    const Case cases[] = {
        {"4294967295", -1, 4294967295u, 4294967295u, 4294967295u},
        {"4294967296", 0, 4294967295u, 4294967295u, 0},
        {"2147483648", -2147483647 - 1, 2147483648u, 2147483648u, 2147483648u},
        {"99999999999", 1215752191, 4294967295u, 4294967295u, 1215752191u},
        {"-1", -1, 4294967295u, 4294967295u, 4294967295u},
        {"-2147483649", 2147483647, 2147483647u, 2147483647u, 2147483647u},
        {" 0x10", 0, 16, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        store.SetValue(kKey, "N", (std::string("<dword>") + c.text).c_str());
        int asInt = 7;
        DWORD base0 = 7, base10 = 7, viaAtol = 7;
        EXPECT_EQ(1, key.GetInt(asInt, "N"));
        EXPECT_EQ(1, key.GetDWord(base0, "N"));
        EXPECT_EQ(1, table->pfnGetDWord(&handle, &base10, "N"));
        EXPECT_EQ(1, table->pfnGetDWordDefault(&handle, &viaAtol, 5, "N"));
        EXPECT_EQ(c.atoi, asInt);
        EXPECT_EQ(c.strtoul0, base0);
        EXPECT_EQ(c.strtoul10, base10);
        EXPECT_EQ(c.atol, viaAtol);
    }
    // This system's own atol answers differently where the Windows one wraps
    // (a 32-bit glibc saturates, a 64-bit one does not wrap at all); the
    // library keeps the Windows results. Printed for the log, not checked.
    std::printf("this C library's atol(\"4294967296\") = %ld; the library reads 0\n", std::atol("4294967296"));
}

TEST_F(NumberReadings, ImportedDwordsAreSignedDecimalsAsA32BitLongPrintsThem) {
    struct Case {
        const char* digits;
        DWORD number;
        const char* stored;
    };
    const Case cases[] = {
        {"ffffffff", 0xFFFFFFFFu, "<dword>-1"},
        {"80000000", 0x80000000u, "<dword>-2147483648"},
        {"7fffffff", 0x7FFFFFFFu, "<dword>2147483647"},
        {"00000010", 16, "<dword>16"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.digits);
        const std::string text = std::string("REGEDIT4\r\n\r\n[") + kKey + "]\r\n\"D\"=dword:" + c.digits + "\r\n";
        ASSERT_EQ(1, store.ImportText(CString(text.c_str())));
        EXPECT_EQ(c.stored, Stored("D"));
        if (sizeof(long) == 4) {
            // A DWORD passed to "%ld" where long has 32 bits, as the
            // Windows C library formats it.
            char printed[32];
            std::snprintf(printed, sizeof printed, "<dword>%ld", static_cast<long>(c.number));
            EXPECT_EQ(std::string(printed), Stored("D"));
        }
    }
}

TEST_F(NumberReadings, ExportedDwordsAreThe32BitPatternOfTheNumber) {
    const struct {
        const char* stored;
        const char* exported;
    } cases[] = {
        {"<dword>-1", "dword:ffffffff"},
        {"<dword>4294967295", "dword:ffffffff"},
        {"<dword>2147483648", "dword:80000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        store.SetValue(kKey, "E", c.stored);
        CString out;
        ASSERT_EQ(1, store.ExportText("", out));
        EXPECT_NE(std::string::npos, out.str().find(std::string("\"E\"=") + c.exported)) << out.str();
    }
}

}  // namespace
