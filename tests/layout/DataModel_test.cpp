// What a caller compiled elsewhere relies on, checked at run time through the
// shared library: where the public classes keep their data members (the
// handle record and the function table are checked at compile time). On a
// 32-bit build (4-byte pointers, 4-byte long) the figures are
// those of the 32-bit programs that use the library; on a 64-bit build the
// same members sit at their 64-bit offsets. Each figure is printed, so a
// run's log shows the data model it checked.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>

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

}  // namespace
