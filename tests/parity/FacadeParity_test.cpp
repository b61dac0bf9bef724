// One table of scenarios, each run through CRegExt and through the function
// table on stores of the same content: every step must give the same
// result on both sides, and both stores must end the same, except where a
// step names the difference between the facades.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

#include "CRegExt.h"
#include "QorFunctionTable.h"
#include "core/StoreOwnership.h"
#include "testsupport/StoreRootTestTree.h"
#include "testsupport/StoreViews.h"
#include "testsupport/TestFiles.h"

namespace {

using qor::testkit::Snapshot;
using qor::testkit::SnapshotOf;

enum class Op {
    OpenRoot,   // Open(root, text, number as mask) into handle `at`
    OpenRead,   // OpenReadOnly(text) under the parent handle
    OpenWrite,  // OpenReadWrite(text) under the parent handle
    Create,     // CreateKey(text, parent handle, number as mask)
    DeleteValue,
    DeleteKey,
    Enumerate,
    CopyHandle,
    Load,
    Save,
    Valid,
    RootSearch,
    Free,
    SetInt,
    SetBinary,
    GetInt,
    GetIntDefault,
    GetIntRange,
    GetDword,
    GetDwordRange,
    GetFloatDefault,
    GetFloatRange,
    GetString,
    GetIntArray,
    GetBinary,
};

// Which parent a root-taking step names.
enum class Root { CurrentUser, LocalMachine, ClassesRoot, SignExtendedUser, Parent };

struct Step {
    Op op;
    const char* text = "";           // sub-key, value name or file name
    std::int64_t number = 0;         // mask, value, default or size
    std::int64_t low = 0, high = 0;  // range bounds
    Root root = Root::CurrentUser;
    int at = 0;  // 0: the working handle, 1: the parent handle
};

HKEY RootHandle(Root root) {
    switch (root) {
        case Root::CurrentUser:
            return HKEY_CURRENT_USER;
        case Root::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case Root::ClassesRoot:
            return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000000u)));
        case Root::SignExtendedUser:
            return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000001u)));
        default:
            return nullptr;
    }
}

// A step's numbers as the calls take them.
int I(std::int64_t v) { return static_cast<int>(v); }
DWORD D(std::int64_t v) { return static_cast<DWORD>(v); }
float F(std::int64_t v) { return static_cast<float>(v); }

std::string Result(std::int64_t r, const std::string& out = "") {
    return std::to_string(r) + (out.empty() ? "" : " " + out);
}

// A call's result and then what it delivered into out (read after the call).
template <typename Out>
std::string Got(std::int64_t r, const Out& out) {
    if constexpr (std::is_arithmetic_v<Out>) {
        return Result(r, std::to_string(out));
    } else {
        return Result(r, out);
    }
}

int Writes(const CRegExt& h) { return h.m_fWrite; }
int Writes(const tagRegHandle& h) { return h.fWrite; }

// An opening's result, then the key and write flag it opened or, with
// flagOnFailure, the write flag a failure left.
template <typename H>
std::string Opened(std::int64_t r, const H& h, bool flagOnFailure = false) {
    const std::string flag = "w" + std::to_string(Writes(h));
    return Result(r, r == 1 ? std::string(h.szKey) + " " + flag : flagOnFailure ? flag : "");
}

// What a saved file holds, and which keys, read the same from both sides.
std::string Saved(std::int64_t r, const std::string& path) {
    const bool machine = qor::testkit::ReadBytes(path).find("[HKEY_LOCAL_MACHINE") != std::string::npos;
    return Result(r, machine ? "machine" : "user");
}

// The count, the longest name and the names of a listing.
template <typename Query, typename Name>
std::string Listing(Query query, Name name) {
    DWORD count = 0, longest = 0;
    const LONG r = query(&count, &longest);
    std::string out = std::to_string(count) + " " + std::to_string(longest);
    for (DWORD k = 0; k < count; ++k) {
        char sub[32] = "";
        DWORD size = sizeof sub;
        name(k, sub, &size);
        out += std::string(" ") + sub;
    }
    return Result(r, out);
}

std::string Bytes(int r, const BYTE* b) {
    return Result(r, std::to_string(b[0]) + "," + std::to_string(b[1]) + "," + std::to_string(b[2]));
}

// 32-bit elements, of which the low byte of each is stored.
struct Elements {
    explicit Elements(std::int64_t last) : words{1, 0x1AB, static_cast<std::uint32_t>(last)} {}
    BYTE* bytes() { return reinterpret_cast<BYTE*>(words); }
    std::uint32_t words[3];
};

// One facade, driven by steps. Each step's result is a text: the return
// value, then what it delivered.
class Side {
public:
    virtual ~Side() = default;
    std::string Run(const Step& s, const qor::testkit::ScratchFolder& folder) {
        i = -7, d = 7, f = -7.0f;
        return s.op >= Op::SetInt ? RunValue(s) : RunKey(s, folder.File(s.text));
    }
    virtual CIniClass* Store() = 0;

protected:
    virtual std::string RunKey(const Step& s, const std::string& path) = 0;
    virtual std::string RunValue(const Step& s) = 0;
    int i = -7;
    DWORD d = 7;
    float f = -7.0f;
};

class ClassSide : public Side {
public:
    explicit ClassSide(CIniClass* store) { CRegExt::m_pIni = store; }
    ~ClassSide() override { CRegExt().Delete(); }
    CIniClass* Store() override { return CRegExt::m_pIni; }

protected:
    std::string RunKey(const Step& s, const std::string& path) override {
        CRegExt& h = s.at == 0 ? work : parent;
        switch (s.op) {
            case Op::OpenRoot: {
                const HKEY root = s.root == Root::Parent ? reinterpret_cast<HKEY>(&parent) : RootHandle(s.root);
                return Opened(h.Open(root, s.text, D(s.number)) == ERROR_SUCCESS ? 1 : 0, h);
            }
            case Op::OpenRead:
                return Opened(h.OpenReadOnly(s.text, &parent), h);
            case Op::OpenWrite:
                return Opened(h.OpenReadWrite(s.text, &parent), h, true);
            case Op::Create:
                return Opened(h.CreateKey(s.text, &parent, D(s.number)), h);
            case Op::DeleteValue:
                return Result(h.DeleteValue(s.text));
            case Op::DeleteKey:
                return Result(h.DeleteKey(reinterpret_cast<HKEY>(&h), s.text));
            case Op::Enumerate: {
                h.Close();
                CRegExt lister;
                return Listing(
                    [&](DWORD* count, DWORD* longest) {
                        return lister.RegQueryInfoKeyA(&parent, nullptr, nullptr, nullptr, count, longest, nullptr,
                                                       nullptr, nullptr, nullptr, nullptr, nullptr);
                    },
                    [&](DWORD k, char* sub, DWORD* size) {
                        lister.RegEnumKeyExA(&lister, k, sub, size, nullptr, nullptr, nullptr, nullptr);
                    });
            }
            case Op::CopyHandle: {
                CRegExt copy(parent);
                return Opened(copy.SetInt(I(s.number), s.text), copy);
            }
            case Op::Load:
                return Result(CRegExt::Load(path.c_str()));
            case Op::Save:
                return Saved(CRegExt::Save(path.c_str()), path);
            case Op::Valid:
                return Result(CRegExt::isFileValid(path.c_str()));
            case Op::RootSearch: {
                char key[260] = {};
                const std::string found = h.GetRegRoot(static_cast<unsigned short>(s.number), s.text, key);
                return Result(0, found + " " + qor::testtree::Slashed(CRegExt::GetSysPath()));
            }
            case Op::Free:
                CRegExt().Delete();
                return Result(CRegExt::m_pIni == nullptr);
            default:
                return "?";
        }
    }

    std::string RunValue(const Step& s) override {
        CRegExt& h = s.at == 0 ? work : parent;
        const char* name = s.text;
        switch (s.op) {
            case Op::SetInt:
                return Result(h.SetInt(I(s.number), name));
            case Op::SetBinary:
                return Result(h.SetBinary(Elements(s.number).bytes(), 3, name));
            case Op::GetInt:
                return Got(h.GetInt(i, name), i);
            case Op::GetIntDefault:
                return Got(h.GetInt(i, I(s.number), name), i);
            case Op::GetIntRange:
                return Got(h.GetInt(i, I(s.low), I(s.number), I(s.high), name), i);
            case Op::GetDword:
                return Got(h.GetDWord(d, name), d);
            case Op::GetDwordRange:
                return Got(h.GetDWord(d, D(s.low), D(s.number), D(s.high), name), d);
            case Op::GetFloatDefault:
                return Got(h.GetFloat(&f, F(s.number), name), f);
            case Op::GetFloatRange:
                return Got(h.GetFloat(&f, F(s.low), F(s.number), F(s.high), name), f);
            case Op::GetString: {
                char buffer[16] = "#";
                return Got(h.GetString(buffer, name, D(s.number)), buffer);
            }
            case Op::GetIntArray: {
                CArray<int, int> list;
                const int r = h.GetIntArray(&list, name, I(s.number));
                std::string out;
                for (int k = 0; k < list.GetSize(); ++k) out += std::to_string(list[k]) + ",";
                return Result(r, out);
            }
            case Op::GetBinary: {
                BYTE bytes[4] = {9, 9, 9, 9};
                DWORD count = 0;
                return Bytes(h.GetBinary(bytes, &count, name), bytes);
            }
            default:
                return "?";
        }
    }

private:
    CRegExt work, parent;
};

class TableSide : public Side {
public:
    explicit TableSide(CIniClass* store) {
        qor::core::TableStore() = store;
        t->pfnInitHandle(&work);
        t->pfnInitHandle(&parent);
    }
    ~TableSide() override { t->pfnFreeStore(); }
    CIniClass* Store() override { return qor::core::TableStore(); }

protected:
    std::string RunKey(const Step& s, const std::string& path) override {
        tagRegHandle& h = s.at == 0 ? work : parent;
        switch (s.op) {
            case Op::OpenRoot: {
                const HKEY root = s.root == Root::Parent ? reinterpret_cast<HKEY>(&parent) : RootHandle(s.root);
                return Opened(t->pfnOpen(root, s.text, D(s.number), &h) == ERROR_SUCCESS ? 1 : 0, h);
            }
            case Op::OpenRead:
                return Opened(t->pfnOpenReadOnly(s.text, &h, &parent), h);
            case Op::OpenWrite:
                return Opened(t->pfnOpenReadWrite(s.text, &h, &parent), h, true);
            case Op::Create:
                return Opened(t->pfnCreateKey(s.text, &h, &parent, D(s.number)), h);
            case Op::DeleteValue:
                return Result(t->pfnDeleteValue(&h, s.text));
            case Op::DeleteKey:
                return Result(t->pfnDeleteKeyEx(&h, s.text));
            case Op::Enumerate:
                t->pfnInitHandle(&h);
                return Listing(
                    [&](DWORD* count, DWORD* longest) {
                        return t->pfnRegQueryInfoKeyA(&parent, nullptr, nullptr, nullptr, count, longest, nullptr,
                                                      nullptr, nullptr, nullptr, nullptr, nullptr);
                    },
                    [&](DWORD k, char* sub, DWORD* size) {
                        t->pfnRegEnumKeyExA(&parent, k, sub, size, nullptr, nullptr, nullptr, nullptr);
                    });
            case Op::CopyHandle: {
                tagRegHandle copy = parent;
                return Opened(t->pfnSetInt(&copy, I(s.number), s.text), copy);
            }
            case Op::Load:
                return Result(t->pfnLoad(&h, path.c_str()));
            case Op::Save:
                return Saved(t->pfnSave(&h, path.c_str()), path);
            case Op::Valid:
                return Result(t->pfnIsFileValid(&h, path.c_str()));
            case Op::RootSearch: {
                char key[260] = {};
                const std::string found = t->pfnGetRegRoot(static_cast<WORD>(s.number), s.text, key);
                return Result(0, found + " " + qor::testtree::Slashed(t->pfnGetRegRootBuffer(nullptr)));
            }
            case Op::Free:
                t->pfnFreeStore();
                return Result(qor::core::TableStore() == nullptr);
            default:
                return "?";
        }
    }

    std::string RunValue(const Step& s) override {
        tagRegHandle& h = s.at == 0 ? work : parent;
        const char* name = s.text;
        switch (s.op) {
            case Op::SetInt:
                return Result(t->pfnSetInt(&h, I(s.number), name));
            case Op::SetBinary:
                return Result(t->pfnSetBinary(&h, Elements(s.number).bytes(), 3, name));
            case Op::GetInt:
                return Got(t->pfnGetInt(&h, &i, name), i);
            case Op::GetIntDefault:
                return Got(t->pfnGetIntDefault(&h, &i, I(s.number), name), i);
            case Op::GetIntRange:
                return Got(t->pfnGetIntRange(&h, &i, I(s.low), I(s.number), I(s.high), name), i);
            case Op::GetDword:
                return Got(t->pfnGetDWord(&h, &d, name), d);
            case Op::GetDwordRange:
                return Got(t->pfnGetDWordRange(&h, &d, D(s.low), D(s.number), D(s.high), name), d);
            case Op::GetFloatDefault:
                return Got(t->pfnGetFloatDefault(&h, &f, F(s.number), name), f);
            case Op::GetFloatRange:
                return Got(t->pfnGetFloatRange(&h, &f, F(s.low), F(s.number), F(s.high), name), f);
            case Op::GetString: {
                char buffer[16] = "#";
                return Got(t->pfnGetString(&h, buffer, name, D(s.number)), buffer);
            }
            case Op::GetIntArray: {
                int counted[8] = {5};
                const int r = t->pfnGetIntArray(&h, counted, name, I(s.number));
                std::string out;
                for (int k = 1; r == 1 && k <= counted[0] && k < 8; ++k) out += std::to_string(counted[k]) + ",";
                return Result(r, out);
            }
            case Op::GetBinary: {
                BYTE bytes[4] = {9, 9, 9, 9};
                DWORD count = 0;
                return Bytes(t->pfnGetBinary(&h, bytes, &count, name), bytes);
            }
            default:
                return "?";
        }
    }

private:
    UI_FunctionTable* t = UI_GetQorFunctionTable();
    tagRegHandle work{}, parent{};
};

constexpr const char* kSeed =
    "REGEDIT4\r\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\P]\r\n\"N\"=dword:00000005\r\n\"S\"=\"text\"\r\n\"BIG\"=\"0x20\"\r\n"
    "\"F\"=\"abc\"\r\n\"L\"=\"1,,-3\"\r\n\"B\"=hex:01,ff,7f\r\n"
    "\"W\"=dword:ffffffff\r\n[HKEY_CURRENT_USER\\SOFTWARE\\P\\Q]\r\n[HKEY_CURRENT_USER\\SOFTWARE\\P\\R\\DEEP]\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\M]\r\n\"V\"=dword:00000001\r\n"
    "[CINICHECKFILEVALID]\r\n";

constexpr DWORD kAll = KEY_ALL_ACCESS;
// A sub-key that makes every path under P too long for a key field.
const std::string kTooLong(1040, 'X');

// A step and what it gives: the same on both sides, or, where a named
// difference says so, the class's result and then the table's.
struct Checked {
    Step step;
    std::string gives;
    const char* tableGives = nullptr;
    const char* because = nullptr;
};

struct Scenario {
    const char* name;
    std::vector<Checked> steps;
};

// Opening the parent handle on P, writable, starts most scenarios.
Step OpenP(DWORD mask = kAll) { return {Op::OpenRoot, "software\\p\\", mask, 0, 0, Root::CurrentUser, 1}; }
// The working handle on P.
Step WorkOnP(DWORD mask) { return {Op::OpenRoot, "SOFTWARE\\P", mask}; }

// What opening P gives.
const std::string kP = "1 HKEY_CURRENT_USER\\SOFTWARE\\P";

const std::vector<Scenario> kScenarios = {
    {"OpenUnderEveryParentForm",
     {{OpenP(), kP + " w1"},
      {{Op::OpenRoot, "SOFTWARE\\M", KEY_READ, 0, 0, Root::LocalMachine}, "1 HKEY_LOCAL_MACHINE\\SOFTWARE\\M w0"},
      {{Op::OpenRoot, "software\\p", KEY_WRITE, 0, 0, Root::SignExtendedUser}, kP + " w1"},
      {{Op::OpenRoot, "SOFTWARE\\P", kAll, 0, 0, Root::ClassesRoot}, "0"},
      {{Op::OpenRoot, "q", 0x20004, 0, 0, Root::Parent}, kP + "\\Q w0"},
      {{Op::OpenRoot, "MISSING", kAll, 0, 0, Root::CurrentUser}, "0"},
      {{Op::OpenRead, "\\r\\deep\\"}, "0"},
      {{Op::OpenRead, "NONE"}, "0"},
      {{Op::OpenWrite, "NONE"},
       "0 w1",
       "0 w0",
       "a failed OpenReadWrite keeps the object and grants writing; the table clears its handle"},
      {{Op::OpenWrite, "Q"}, kP + "\\Q w1"}}},
    {"CreateUnderAHandleNeedsAnyWriteBit",
     {{OpenP(), kP + " w1"},
      {{Op::Create, "NEW\\ONE", KEY_READ}, kP + "\\NEW\\ONE w1"},
      {{Op::Create, "NEW\\TWO", 0x19}, kP + "\\NEW\\TWO w0"},
      {{Op::Create, kTooLong.c_str(), kAll}, "0"},
      {{Op::SetInt, "I", 3}, "0"},
      {OpenP(KEY_READ), kP + " w0"},
      {{Op::Create, "NEW\\ONE", 0x20002}, kP + "\\NEW\\ONE w1"},
      {{Op::SetInt, "I", 4}, "1"}}},
    {"TypedValuesWithDefaultsAndRanges",
     {{WorkOnP(KEY_READ), kP + " w0"},
      {{Op::GetInt, "n"}, "1 5"},
      {{Op::GetInt, "MISSING"}, "0 -7"},
      {{Op::GetString, "S", 16}, "1 text"},
      {{Op::GetString, "S", 4}, "0 #"},
      {{Op::GetIntArray, "L", 10},
       "2 11,7,",
       "1 11,0,7,",
       "the class's list skips empty pieces and returns its size; the table's counted array keeps them as 0"},
      {{Op::GetBinary, "B"}, "1 1,255,127"},
      {{Op::GetString, "S", 5}, "1 text"},
      {{Op::GetIntDefault, "D", 4}, "1 4", "0 4", "a read-only default counts as success for the class only"},
      {{Op::GetDword, "BIG"}, "1 32", "1 0", "the class reads a DWORD with base prefixes, the table in base 10"},
      {{Op::SetInt, "N", 6}, "0"},
      {{Op::GetFloatDefault, "F", 2},
       "1 2.000000",
       "0 -7.000000",
       "an unreadable float is missing for the class, a failure for the table"},
      {WorkOnP(kAll), kP + " w1"},
      {{Op::GetIntDefault, "D", 4}, "1 4"},
      {{Op::GetIntRange, "N", 1, 2, 4}, "1 1"},
      {{Op::GetIntRange, "N", 7, 0, 9}, "1 1"},
      {{Op::GetDwordRange, "N", 1, 1, 3}, "1 1"},
      {{Op::GetFloatRange, "FR", 2, 1, 3}, "1 2.000000"},
      {{Op::GetDwordRange, "W", 0, 3, 10}, "1 0"},
      {{Op::GetFloatRange, "FR", 0, 1, 3}, "1 2.000000"},
      {{Op::SetBinary, "BIN", 200}, "1"},
      {{Op::GetBinary, "BIN"}, "1 1,171,200"}}},
    {"DeleteAndEnumerate",
     {{OpenP(), kP + " w1"},
      {{Op::Enumerate}, "0 2 1 Q R"},
      {WorkOnP(kAll), kP + " w1"},
      {{Op::DeleteValue, "N"}, "1"},
      {{Op::DeleteValue, "N"}, "0"},
      {{Op::DeleteKey, "R\\"}, "0"},
      {{Op::DeleteKey, "R"}, "0"},
      {WorkOnP(KEY_READ), kP + " w0"},
      {{Op::DeleteKey, "Q"}, "0"},
      {{Op::DeleteValue, "S"}, "0"},
      {{Op::Enumerate}, "0 2 1 Q R"}}},
    {"CopyOfAHandleActsAsTheOriginal",
     {{OpenP(), kP + " w1"},
      {{Op::CopyHandle, "C", 1}, kP + " w1"},
      {OpenP(KEY_READ), kP + " w0"},
      {{Op::CopyHandle, "C", 2}, "0"}}},
    {"LoadSaveAndFree",
     {{OpenP(), kP + " w1"},
      {{Op::Load, "missing.ini"}, "0"},
      {{Op::Valid, "missing.ini"}, "0"},
      {{.op = Op::Save, .text = "out.ini", .at = 1}, "1 user", "1 machine", "the class never saves machine keys"},
      {{.op = Op::Valid, .text = "out.ini", .at = 1}, "1"},
      {{.op = Op::Load, .text = "out.ini", .at = 1}, "0"},
      {{Op::Free}, "1"},
      {{Op::Free}, "1"},
      {{Op::GetInt, "N"}, "0 -7"},
      {{Op::Load, "missing.ini"}, "0"}}},
};

// Scenarios are named by their name in test listings and failures.
void PrintTo(const Scenario& scenario, std::ostream* os) { *os << scenario.name; }

class FacadeParity : public ::testing::TestWithParam<Scenario> {};

std::unique_ptr<CIniClass> Seeded() {
    auto store = std::make_unique<CIniClass>();
    CString text(kSeed);
    EXPECT_EQ(store->ImportText(text), 1);
    return store;
}

TEST_P(FacadeParity, SameResultsAndSameStore) {
    const Scenario& scenario = GetParam();
    qor::testkit::ScratchFolder classFiles, tableFiles;
    ClassSide byClass(Seeded().release());
    TableSide byTable(Seeded().release());
    for (std::size_t k = 0; k < scenario.steps.size(); ++k) {
        const Checked& checked = scenario.steps[k];
        const Step& step = checked.step;
        SCOPED_TRACE("step " + std::to_string(k) + " (" + step.text + ")");
        const char* because = checked.because != nullptr ? checked.because : "";
        EXPECT_EQ(byClass.Run(step, classFiles), checked.gives) << because;
        EXPECT_EQ(byTable.Run(step, tableFiles), checked.tableGives ? checked.tableGives : checked.gives) << because;
    }
    const Snapshot none;
    EXPECT_EQ(byClass.Store() ? SnapshotOf(*byClass.Store()) : none,
              byTable.Store() ? SnapshotOf(*byTable.Store()) : none);
}

// The store-root search behind both facades: the same product found from
// the same ROOTn values (one too long for the table's buffer, skipped by
// both), each facade writing its own folder buffer.
TEST(FacadeParityRoot, BothFindTheSameProduct) {
    qor::testtree::AppDataTree tree;
    ClassSide byClass(Seeded().release());
    TableSide byTable(Seeded().release());
    for (Side* side : {static_cast<Side*>(&byClass), static_cast<Side*>(&byTable)}) {
        side->Store()->AddKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane Corp\\Scanner");
        tree.AddRootValue(*side->Store(), 1, std::string(300, 'R'));
        tree.AddRootValue(*side->Store(), 2, "Vendor");
    }
    tree.AddProduct("Vendor", "Twain", "Twain Pathname", "C:\\P\\ds.ds");
    qor::testkit::ScratchFolder files;
    const Step search{Op::RootSearch, "c:\\p\\DS.DS", 1};
    const std::string found = "0 SOFTWARE" + tree.Fragment("Vendor") + "\\Twain " + tree.Path() + "/Vendor/Twain/";
    const std::string classFolder = CRegExt::GetSysPath();
    EXPECT_EQ(byTable.Run(search, files), found);
    EXPECT_EQ(CRegExt::GetSysPath(), classFolder);  // each facade fills its own buffer
    EXPECT_EQ(byClass.Run(search, files), found);
    const Step miss{Op::RootSearch, "c:\\other.ds", 1};
    EXPECT_EQ(byTable.Run(miss, files), "0 Software\\Company\\Error " + tree.Path() + "/Vendor/Twain/");
}

// A store the facades share (pfnAttachRegExt) destroyed through either
// one leaves neither with a pointer to it.
TEST(FacadeParityShared, DestroyingASharedStoreThroughEitherFacadeClearsBoth) {
    UI_FunctionTable* t = UI_GetQorFunctionTable();
    tagRegHandle h;
    t->pfnInitHandle(&h);
    for (const bool byTable : {true, false}) {
        CRegExt::m_pIni = Seeded().release();
        CRegExt object;
        ASSERT_EQ(object.Open(HKEY_CURRENT_USER, "SOFTWARE\\P", KEY_READ), ERROR_SUCCESS);
        EXPECT_EQ(t->pfnAttachRegExt(&object, &h), 1);
        EXPECT_EQ(h.pIni, CRegExt::m_pIni);
        EXPECT_STREQ(h.szKey, "HKEY_CURRENT_USER\\SOFTWARE\\P");
        EXPECT_EQ(qor::core::TableStore(), CRegExt::m_pIni);
        if (byTable) {
            t->pfnFreeStore();
        } else {
            object.Delete();
        }
        EXPECT_EQ(CRegExt::m_pIni, nullptr) << byTable;
        EXPECT_EQ(qor::core::TableStore(), nullptr) << byTable;
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, FacadeParity, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
