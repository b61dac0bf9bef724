#include <cstdint>
#include <string>
#include <vector>

#include "regext/RegExtTestStore.h"

namespace {

using qor::regexttest::FreshStore;

constexpr const char* kSource = "HKEY_LOCAL_MACHINE\\SOFTWARE\\A";
constexpr const char* kSourceB = "HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\B";
constexpr const char* kCopy = "HKEY_CURRENT_USER\\SOFTWARE\\C";
constexpr const char* kCopyB = "HKEY_CURRENT_USER\\SOFTWARE\\C\\B";

class KeyCopyTest : public FreshStore {
protected:
    void SetUp() override {
        FreshStore::SetUp();
        Store().SetValue(kSource, "N", "<string>x");
        Store().SetValue(kSourceB, "M", "<dword>7");
    }
    // Copies HKEY_LOCAL_MACHINE\SOFTWARE\A to HKEY_CURRENT_USER\SOFTWARE\C.
    static int CopyAToC(CRegExt& reg) {
        return reg.RegCopy(HKEY_LOCAL_MACHINE, CString("SOFTWARE\\A"), HKEY_CURRENT_USER, CString("SOFTWARE\\C"));
    }
};

TEST_F(KeyCopyTest, MergesTheTreeWithValuesAndLeavesTheObjectOnADestinationKey) {
    Store().SetValue(kCopy, "N", "<string>old");
    Store().SetValue(kCopy, "KEEP", "<dword>1");
    CRegExt reg;
    EXPECT_EQ(1, reg.RegCopy(HKEY_LOCAL_MACHINE, CString("SOFTWARE\\A"), HKEY_CURRENT_USER, CString("software\\c")));
    EXPECT_EQ("<string>x", Stored(kCopy, "N"));
    EXPECT_EQ("<dword>1", Stored(kCopy, "KEEP"));
    EXPECT_EQ("<dword>7", Stored(kCopyB, "M"));
    EXPECT_EQ(1, reg.m_fWrite);
    const std::string key = reg.szKey;
    EXPECT_TRUE(key == kCopy || key == kCopyB) << key;
}

TEST_F(KeyCopyTest, SourceSpellingsNameTheSameTree) {
    static const char rootText[] = "hkey_local_machine";
    static const char longerRoot[] = "HKEY_LOCAL_MACHINE\\SOFTWARE";
    using Case = std::pair<const char*, const char*>;
    const Case cases[] = {
        {nullptr, "\\SOFTWARE\\A\\"}, {nullptr, "software\\a"},          {rootText, "SOFTWARE\\A"},
        {longerRoot, "\\A"},          {rootText, "\\\\software\\a\\\\"},
    };
    for (const auto& [root, sub] : cases) {
        SCOPED_TRACE(sub);
        Store().DeleteSubtree(kCopy);
        CRegExt reg;
        const int result =
            root ? reg.RegCopy(root, CString(sub), "HKEY_CURRENT_USER", CString("SOFTWARE\\C\\"))
                 : reg.RegCopy(HKEY_LOCAL_MACHINE, CString(sub), HKEY_CURRENT_USER, CString("\\SOFTWARE\\C"));
        EXPECT_EQ(1, result);
        EXPECT_EQ("<dword>7", Stored(kCopyB, "M"));
    }
    // The wide forms, by root value and by root text.
    for (const bool byText : {false, true}) {
        Store().DeleteSubtree(kCopy);
        CRegExt reg;
        EXPECT_EQ(
            1, byText ? reg.RegCopyW(rootText, CStringW(L"software\\a"), "HKEY_CURRENT_USER", CStringW(L"SOFTWARE\\C"))
                      : reg.RegCopyW(HKEY_LOCAL_MACHINE, CStringW(L"SOFTWARE\\A"), HKEY_CURRENT_USER,
                                     CStringW(L"software\\c")));
        EXPECT_EQ("<dword>7", Stored(kCopyB, "M")) << byText;
    }
}

TEST_F(KeyCopyTest, ValuesAreRewrittenByTheirType) {
    using Case = std::pair<const char*, const char*>;
    const Case cases[] = {
        {"<hex>01,ff,0a", "<hex>01,ff,0a"}, {"<hex>", "<hex>00"},
        {"<hex>cc,1CC", "<hex>cc,cc"},      {"<dword>-1", "<dword>4294967295"},
        {"<dword>010", "<dword>8"},         {"<dword>0x10", "<dword>16"},
        {"<dword>1.500000", "<dword>1"},    {"<string>a = b", "<string>a = b"},
    };
    for (const auto& [source, arrives] : cases) {
        SCOPED_TRACE(source);
        Store().SetValue(kSource, "V", source);
        CRegExt reg;
        ASSERT_EQ(1, CopyAToC(reg));
        EXPECT_EQ(arrives, Stored(kCopy, "V"));
    }
}

TEST_F(KeyCopyTest, ByteListsLongerThanAFixedBufferArriveWhole) {
    std::string bytes = "<hex>";
    for (int i = 0; i < 600; ++i) bytes += (i ? ",0" : "0") + std::to_string(i % 10);
    Store().SetValue(kSource, "BIG", bytes.c_str());
    CRegExt reg;
    ASSERT_EQ(1, CopyAToC(reg));
    EXPECT_EQ(bytes, Stored(kCopy, "BIG"));
}

TEST_F(KeyCopyTest, MissingSourceUnknownPrefixOrOverlongDestinationFail) {
    CRegExt reg;
    const std::vector<std::string> before = SortedKeys();
    // A destination too long for a key path is refused before the write right is granted.
    EXPECT_EQ(0, reg.RegCopy(HKEY_LOCAL_MACHINE, CString("SOFTWARE\\A"), HKEY_CURRENT_USER,
                             CString(std::string(1030, 'D').c_str())));
    EXPECT_EQ(0, reg.m_fWrite);
    EXPECT_EQ(0, reg.RegCopy(HKEY_LOCAL_MACHINE, CString("SOFTWARE\\NONE"), HKEY_CURRENT_USER, CString("SOFTWARE\\C")));
    EXPECT_EQ(1, reg.m_fWrite);
    EXPECT_EQ(0, reg.RegCopy(reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000000u))),
                             CString("SOFTWARE\\A"), HKEY_CURRENT_USER, CString("SOFTWARE\\C")));
    EXPECT_EQ(before, SortedKeys());
    Store().SetValue(kSourceB, "PLAIN", "12");
    EXPECT_EQ(0, CopyAToC(reg));
    Store().RemoveValue(kSourceB, "PLAIN");
    Store().SetValue(kSourceB, "A = B", "<dword>1");
    EXPECT_EQ(0, reg.RegCopy(HKEY_LOCAL_MACHINE, CString("SOFTWARE\\A"), HKEY_CURRENT_USER, CString("SOFTWARE\\D")));
}

TEST_F(KeyCopyTest, CopyIntoItsOwnSubtreeCopiesEachSourceKeyOnce) {
    CRegExt reg;
    ASSERT_EQ(1,
              reg.RegCopy(HKEY_LOCAL_MACHINE, CString("SOFTWARE\\A"), HKEY_LOCAL_MACHINE, CString("SOFTWARE\\A\\B")));
    EXPECT_EQ((std::vector<std::string>{kSource, kSourceB, "HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\B\\B"}), SortedKeys());
    EXPECT_EQ("<string>x", Stored(kSourceB, "N"));
    EXPECT_EQ("<dword>7", Stored("HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\B\\B", "M"));
}

TEST_F(KeyCopyTest, OnlyTheLeadingSourcePathIsReplaced) {
    const std::string inner = std::string(kSource) + "\\" + kSource;
    Store().SetValue(inner.c_str(), "I", "<dword>3");
    CRegExt reg;
    ASSERT_EQ(1, CopyAToC(reg));
    EXPECT_EQ("<dword>3", Stored((std::string(kCopy) + "\\" + kSource).c_str(), "I"));
}

}  // namespace
