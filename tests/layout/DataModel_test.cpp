// Where the public classes keep their data members, as callers compiled
// elsewhere rely on: on a 32-bit build the 32-bit programs' figures, on a
// 64-bit build the 64-bit offsets. Each is printed, so a run's log shows the
// data model it checked. (The handle record and table: at compile time.)
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>

#include "QorCommonLib.h"

namespace {

constexpr bool kIs32Bit = sizeof(void*) == 4;

struct Placement {
    const char* type;
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

TEST(DataModel, PublicDataMembersOfTheClassesSitWhereCallersLookForThem) {
    const CRegExt key;
    const CMyScrollBar bar;
    const Placement placements[] = {
        {"CRegExt", "szKey", OffsetIn(key, key.szKey), 4, 8},
        {"CRegExt", "m_fWrite", OffsetIn(key, key.m_fWrite), 1044, 1048},
        {"CRegExt", "m_fOpen", OffsetIn(key, key.m_fOpen), 1048, 1052},
        {"CRegExt", "m_SubKeyList", OffsetIn(key, key.m_SubKeyList), 1052, 1056},
        {"CRegExt", "(size)", sizeof(CRegExt), 1068, 1088},
        {"SubKeyList", "nCount", offsetof(SubKeyList, nCount), 0, 0},
        {"SubKeyList", "pHead", offsetof(SubKeyList, pHead), 4, 8},
        {"SubKeyList", "pCurrent", offsetof(SubKeyList, pCurrent), 8, 16},
        {"SubKeyList", "pWalk", offsetof(SubKeyList, pWalk), 12, 24},
        {"SubKeyList", "(size)", sizeof(SubKeyList), 16, 32},
        {"SubKeyNode", "dwIndex", offsetof(SubKeyNode, dwIndex), 260, 260},
        {"SubKeyNode", "pNext", offsetof(SubKeyNode, pNext), 264, 264},
        {"SubKeyNode", "pPrev", offsetof(SubKeyNode, pPrev), 268, 272},
        {"SubKeyNode", "(size)", sizeof(SubKeyNode), 272, 280},
        {"CMyScrollBar", "m_hWnd", OffsetIn(bar, bar.m_hWnd), 4, 8},
        {"CMyScrollBar", "m_nMin", OffsetIn(bar, bar.m_nMin), 8, 16},
        {"CMyScrollBar", "m_nPos", OffsetIn(bar, bar.m_nPos), 12, 20},
        {"CMyScrollBar", "m_nMax", OffsetIn(bar, bar.m_nMax), 16, 24},
        {"CMyScrollBar", "m_nPage", OffsetIn(bar, bar.m_nPage), 20, 28},
        {"CMyScrollBar", "m_nCtrlID", OffsetIn(bar, bar.m_nCtrlID), 24, 32},
        {"CMyScrollBar", "m_pParent", OffsetIn(bar, bar.m_pParent), 28, 40},
        {"CMyScrollBar", "(size)", sizeof(CMyScrollBar), 32, 48},
        {"CRuntimeClass", "m_nObjectSize", offsetof(CRuntimeClass, m_nObjectSize), 4, 8},
        {"CRuntimeClass", "m_wSchema", offsetof(CRuntimeClass, m_wSchema), 8, 12},
        {"CRuntimeClass", "m_pfnCreateObject", offsetof(CRuntimeClass, m_pfnCreateObject), 12, 16},
        {"CRuntimeClass", "m_pfnGetBaseClass", offsetof(CRuntimeClass, m_pfnGetBaseClass), 16, 24},
        {"CRuntimeClass", "(size)", sizeof(CRuntimeClass), 20, 32},
    };
    for (const Placement& p : placements) {
        std::printf("%-24s %-18s %5zu\n", p.type, p.member, p.actual);
        EXPECT_EQ(kIs32Bit ? p.on32 : p.on64, p.actual) << p.type << "::" << p.member;
    }
    EXPECT_EQ(sizeof(CWnd), OffsetIn(bar, bar.m_nMin)) << "CMyScrollBar's fields follow the CWnd part";
}

}  // namespace
