#include <functional>
#include <string>

#include "regext/RegExtTestStore.h"

namespace {

using qor::regexttest::FreshStore;

constexpr const char* kKey = "HKEY_CURRENT_USER\\SOFTWARE\\T";

class TypedValuesTest : public FreshStore {
protected:
    void SetUp() override {
        FreshStore::SetUp();
        Store().AddKey(kKey);
        ASSERT_EQ(ERROR_SUCCESS, writer.Open(HKEY_CURRENT_USER, "software\\t", KEY_ALL_ACCESS));
        ASSERT_EQ(ERROR_SUCCESS, reader.Open(HKEY_CURRENT_USER, "software\\t", KEY_READ));
    }
    static void Put(const char* name, const char* text) { Store().SetValue(kKey, name, text); }
    CRegExt writer, reader;
};

// The typed-value rules are the core's (core/ValueAccess_test.cpp); these are
// the class's own forms: numbers as names, CString and wide texts, the list
// that skips empty pieces and returns its size, the byte count left alone.
TEST_F(TypedValuesTest, ClassFormsOfNamesTextsListsAndBytes) {
    EXPECT_EQ(1, writer.SetBool(-1, 3));
    EXPECT_EQ("<dword>4294967295", Stored(kKey, "3"));
    int flag = 0;
    EXPECT_EQ(1, writer.GetBool(flag, 6, "BOOL"));
    EXPECT_EQ("<dword>6", Stored(kKey, "BOOL"));
    EXPECT_EQ(1, writer.SetBool(1, "BOOL"));
    EXPECT_EQ(1, reader.GetBool(flag, "bool"));
    EXPECT_EQ(1, flag);
    CString out("<hex>kept");
    EXPECT_EQ(0, reader.GetString(out, "MISSING", 0));
    EXPECT_EQ("kept", out);
    EXPECT_EQ(1, writer.SetStringW(L"gr\u00fc\u00df", L"Wide"));
    CStringW wide(L"old");
    EXPECT_EQ(1, reader.GetStringW(wide, L"wide", 0));
    EXPECT_STREQ(L"gr\u00fc\u00df", wide.GetString());
    CArray<int, int> items;
    for (int v : {1, 2, -3}) items.Add(v);
    EXPECT_EQ(1, writer.SetIntArray(items, "L", 1));
    EXPECT_EQ(3, reader.GetIntArray(&items, "L", -1));
    EXPECT_EQ(-3, items[2]);
    Put("L", "<string>1,,3");
    EXPECT_EQ(2, reader.GetIntArray(&items, "L", 0));
    EXPECT_EQ(3, items[1]);
    Put("L", "<string>");
    EXPECT_EQ(0, reader.GetIntArray(&items, "L", 0));
    Put("B", "<hex>0a,cc");
    BYTE bytes[2] = {};
    DWORD count = 77;
    EXPECT_EQ(1, reader.GetBinary(bytes, &count, "B"));
    EXPECT_EQ(0xCC, bytes[1]);
    EXPECT_EQ(77u, count);
}

TEST_F(TypedValuesTest, NumberAndWideNamedFormsNameTheValueInDecimal) {
    int i = 0;
    DWORD d = 0;
    float f = 0;
    char text[8] = "";
    CString out;
    const std::tuple<const char*, std::function<int()>, const char*, const char*> cases[] = {
        {"SetInt", [&] { return writer.SetInt(-5, 1); }, "1", "<dword>-5"},
        {"SetDWord", [&] { return writer.SetDWord(9, 2); }, "2", "<dword>9"},
        {"SetString", [&] { return writer.SetString("s", 3); }, "3", "<string>s"},
        {"GetInt default", [&] { return writer.GetInt(i, 4, 4); }, "4", "<dword>4"},
        {"GetBool default", [&] { return writer.GetBool(i, 1, 5); }, "5", "<dword>1"},
        {"GetDWord default", [&] { return writer.GetDWord(d, 6, 6); }, "6", "<dword>6"},
        {"GetFloat default", [&] { return writer.GetFloat(&f, 0.5f, 7); }, "7", "<dword>0.500000"},
        {"GetInt range", [&] { return writer.GetInt(i, 0, 8, 9, 8); }, "8", "<dword>8"},
        {"GetDWord range", [&] { return writer.GetDWord(d, 0, 9, 9, 9); }, "9", "<dword>9"},
        {"GetFloat range", [&] { return writer.GetFloat(&f, 0, 1, 2, 10); }, "10", "<dword>1.000000"},
        // Found within the range: kept, whatever the default.
        {"GetInt range, found", [&] { return writer.GetInt(i, 0, 7, 9, 8); }, "8", "<dword>8"},
        {"GetDWord range, found", [&] { return writer.GetDWord(d, 0, 5, 9, 9); }, "9", "<dword>9"},
        {"GetFloat range, found", [&] { return writer.GetFloat(&f, 0, 2, 2, 10); }, "10", "<dword>1.000000"},
    };
    for (const auto& [form, call, name, stored] : cases) {
        EXPECT_EQ(1, call()) << form;
        EXPECT_EQ(stored, Stored(kKey, name)) << form;
    }
    EXPECT_EQ(1, reader.GetInt(i, 1));
    EXPECT_EQ(-5, i);
    EXPECT_EQ(1, reader.GetIntW(i, L"2"));
    EXPECT_EQ(1, reader.GetBool(i, 5));
    EXPECT_EQ(1, i);
    EXPECT_EQ(1, reader.GetDWordW(d, L"1"));
    EXPECT_EQ(4294967291u, d);
    EXPECT_EQ(1, reader.GetDWord(d, 2));
    EXPECT_EQ(1, reader.GetFloat(&f, 7));
    EXPECT_EQ(0.5f, f);
    EXPECT_EQ(1, reader.GetString(text, 3, sizeof text));
    EXPECT_EQ(1, reader.GetString(out, 3, 0));
    EXPECT_EQ("s", out);
    CDWordArray list;
    list.Add(4294967295u);
    EXPECT_EQ(1, writer.SetDWordArray(list, "DL", 1));
    EXPECT_EQ("<string>0", Stored(kKey, "DL"));
    EXPECT_EQ(1, reader.GetDWordArray(list, "DL", 2));
    EXPECT_EQ(2u, list[list.GetSize() - 1]);
}

}  // namespace
