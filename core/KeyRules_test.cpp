#include "core/KeyRules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace qor::core {
namespace {

const void* Handle(std::uint64_t value) { return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(value)); }

TEST(KeyRules, RootsAreKnownByTheirLowHalfOnlyWhenTheHighHalfIsASignExtension) {
    using Case = std::pair<std::uint64_t, HandleKind>;
    std::vector<Case> cases = {{0x80000001u, HandleKind::CurrentUser}, {0x80000002u, HandleKind::LocalMachine},
                               {0x80000000u, HandleKind::OtherRoot},   {0x80000006u, HandleKind::OtherRoot},
                               {0x80000007u, HandleKind::Address},     {0x1000u, HandleKind::Address}};
    if (sizeof(void*) == 8) {
        cases.push_back({0xFFFFFFFF80000001u, HandleKind::CurrentUser});
        cases.push_back({0xFFFFFFFF80000005u, HandleKind::OtherRoot});
        // An address that merely ends like a root is an address.
        cases.push_back({0x0000000180000001u, HandleKind::Address});
        cases.push_back({0x00007F0080000002u, HandleKind::Address});
    }
    for (const auto& [value, kind] : cases) EXPECT_EQ(KindOf(Handle(value)), kind) << std::hex << value;
    EXPECT_EQ(RootPrefix(HandleKind::CurrentUser), "HKEY_CURRENT_USER\\");
    EXPECT_EQ(RootPrefix(HandleKind::OtherRoot), "");
}

TEST(KeyRules, PathsTrimJoinAndFit) {
    std::string path = "\\\\A\\B\\\\";
    TrimTrailingBackslashes(path);
    EXPECT_EQ(path, "\\\\A\\B");
    TrimBackslashes(path);
    EXPECT_EQ(path, "A\\B");
    path = "\\\\";
    TrimBackslashes(path);
    EXPECT_EQ(path, "");
    EXPECT_EQ(JoinKeyPath("", "X"), "\\X");
    EXPECT_TRUE(FitsKeyField(std::string(1039, 'k')));
    EXPECT_FALSE(FitsKeyField(std::string(1040, 'k')));
}

TEST(KeyRules, OpeningNeedsEveryWriteBitCreatingAnyOne) {
    const std::tuple<DWORD, int, int> cases[] = {{KEY_READ, 0, 1}, {KEY_WRITE, 1, 1}, {KEY_ALL_ACCESS, 1, 1},
                                                 {0x20004, 0, 1},  {0x19, 0, 0},      {0, 0, 0}};
    for (const auto& [mask, open, create] : cases) {
        EXPECT_EQ(WriteFlag(mask, WriteRule::AllBits), open) << mask;
        EXPECT_EQ(WriteFlag(mask, WriteRule::AnyBit), create) << mask;
    }
}

}  // namespace
}  // namespace qor::core
