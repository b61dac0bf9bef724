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

struct Call;

// Which parent a root-taking step names.
enum class Root { CurrentUser, LocalMachine, ClassesRoot, SignExtendedUser, Parent };

struct Step {
    const Call* call;
    const char* text = "";    // sub-key, value name or file name
    std::int64_t number = 0;  // mask, value, default or size
    Root root = Root::CurrentUser;
    int at = 0;  // 0: the working handle, 1: the parent handle
};

HKEY RootOf(const Step& s, void* parent) {
    const auto root = [](std::uint32_t value) {
        return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
    };
    switch (s.root) {
        case Root::CurrentUser:
            return HKEY_CURRENT_USER;
        case Root::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case Root::ClassesRoot:
            return root(0x80000000u);
        case Root::SignExtendedUser:
            return root(0x80000001u);
        default:
            return reinterpret_cast<HKEY>(parent);
    }
}

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

// Which keys a saved file holds.
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

template <typename Handle>
struct Side {
    Handle& At(const Step& s) { return s.at == 0 ? work : parent; }
    std::string Path(const Step& s) const { return files.File(s.text); }
    Handle work{}, parent{};
    int i = -7;
    DWORD d = 7;
    float f = -7.0f;
    qor::testkit::ScratchFolder files;
};

struct ClassSide : Side<CRegExt> {
    explicit ClassSide(CIniClass* store) { CRegExt::m_pIni = store; }
    ~ClassSide() { CRegExt().Delete(); }
    CIniClass* Store() { return CRegExt::m_pIni; }
    std::string Run(const Step& s);
};

struct TableSide : Side<tagRegHandle> {
    explicit TableSide(CIniClass* store) {
        qor::core::TableStore() = store;
        fn->pfnInitHandle(&work);
        fn->pfnInitHandle(&parent);
    }
    ~TableSide() { fn->pfnFreeStore(); }
    CIniClass* Store() { return qor::core::TableStore(); }
    std::string Run(const Step& s);
    UI_FunctionTable* fn = UI_GetQorFunctionTable();
};

// A step's call through each facade, giving its return value, then what it delivered.
struct Call {
    std::string (*byClass)(ClassSide& c, const Step& s);
    std::string (*byTable)(TableSide& t, const Step& s);
};

std::string ClassSide::Run(const Step& s) {
    i = -7, d = 7, f = -7.0f;
    return s.call->byClass(*this, s);
}
std::string TableSide::Run(const Step& s) {
    i = -7, d = 7, f = -7.0f;
    return s.call->byTable(*this, s);
}

namespace op {

// Open(root, text, number as mask) into the step's handle.
const Call OpenRoot{
    [](ClassSide& c, const Step& s) {
        return Opened(c.At(s).Open(RootOf(s, &c.parent), s.text, D(s.number)) == ERROR_SUCCESS, c.At(s));
    },
    [](TableSide& t, const Step& s) {
        return Opened(t.fn->pfnOpen(RootOf(s, &t.parent), s.text, D(s.number), &t.At(s)) == ERROR_SUCCESS, t.At(s));
    }};
// OpenReadOnly, OpenReadWrite and CreateKey (number as mask) under the parent handle.
const Call OpenRead{
    [](ClassSide& c, const Step& s) { return Opened(c.At(s).OpenReadOnly(s.text, &c.parent), c.At(s)); },
    [](TableSide& t, const Step& s) { return Opened(t.fn->pfnOpenReadOnly(s.text, &t.At(s), &t.parent), t.At(s)); }};
const Call OpenWrite{
    [](ClassSide& c, const Step& s) { return Opened(c.At(s).OpenReadWrite(s.text, &c.parent), c.At(s), true); },
    [](TableSide& t, const Step& s) {
        return Opened(t.fn->pfnOpenReadWrite(s.text, &t.At(s), &t.parent), t.At(s), true);
    }};
const Call Create{
    [](ClassSide& c, const Step& s) { return Opened(c.At(s).CreateKey(s.text, &c.parent, D(s.number)), c.At(s)); },
    [](TableSide& t, const Step& s) {
        return Opened(t.fn->pfnCreateKey(s.text, &t.At(s), &t.parent, D(s.number)), t.At(s));
    }};
const Call DeleteValue{[](ClassSide& c, const Step& s) { return Result(c.At(s).DeleteValue(s.text)); },
                       [](TableSide& t, const Step& s) { return Result(t.fn->pfnDeleteValue(&t.At(s), s.text)); }};
const Call DeleteKey{
    [](ClassSide& c, const Step& s) { return Result(c.At(s).DeleteKey(reinterpret_cast<HKEY>(&c.At(s)), s.text)); },
    [](TableSide& t, const Step& s) { return Result(t.fn->pfnDeleteKeyEx(&t.At(s), s.text)); }};
// The parent's sub-keys, after the step's handle is closed.
const Call Enumerate{[](ClassSide& c, const Step& s) {
                         c.At(s).Close();
                         CRegExt lister;
                         return Listing(
                             [&](DWORD* count, DWORD* longest) {
                                 return lister.RegQueryInfoKeyA(&c.parent, nullptr, nullptr, nullptr, count, longest,
                                                                nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
                             },
                             [&](DWORD k, char* sub, DWORD* size) {
                                 lister.RegEnumKeyExA(&lister, k, sub, size, nullptr, nullptr, nullptr, nullptr);
                             });
                     },
                     [](TableSide& t, const Step& s) {
                         t.fn->pfnInitHandle(&t.At(s));
                         return Listing(
                             [&](DWORD* count, DWORD* longest) {
                                 return t.fn->pfnRegQueryInfoKeyA(&t.parent, nullptr, nullptr, nullptr, count, longest,
                                                                  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
                             },
                             [&](DWORD k, char* sub, DWORD* size) {
                                 t.fn->pfnRegEnumKeyExA(&t.parent, k, sub, size, nullptr, nullptr, nullptr, nullptr);
                             });
                     }};
// A copy of the parent handle writes the integer `number`.
const Call CopyHandle{[](ClassSide& c, const Step& s) {
                          CRegExt copy(c.parent);
                          return Opened(copy.SetInt(I(s.number), s.text), copy);
                      },
                      [](TableSide& t, const Step& s) {
                          tagRegHandle copy = t.parent;
                          return Opened(t.fn->pfnSetInt(&copy, I(s.number), s.text), copy);
                      }};
const Call Load{[](ClassSide& c, const Step& s) { return Result(CRegExt::Load(c.Path(s).c_str())); },
                [](TableSide& t, const Step& s) { return Result(t.fn->pfnLoad(&t.At(s), t.Path(s).c_str())); }};
const Call Save{
    [](ClassSide& c, const Step& s) { return Saved(CRegExt::Save(c.Path(s).c_str()), c.Path(s)); },
    [](TableSide& t, const Step& s) { return Saved(t.fn->pfnSave(&t.At(s), t.Path(s).c_str()), t.Path(s)); }};
const Call Valid{[](ClassSide& c, const Step& s) { return Result(CRegExt::isFileValid(c.Path(s).c_str())); },
                 [](TableSide& t, const Step& s) { return Result(t.fn->pfnIsFileValid(&t.At(s), t.Path(s).c_str())); }};
// The product found for the module `text` (number as mode), then the folder buffer.
const Call RootSearch{[](ClassSide& c, const Step& s) {
                          char key[260] = {};
                          const std::string found = c.At(s).GetRegRoot(static_cast<WORD>(s.number), s.text, key);
                          return Result(0, found + " " + qor::testtree::Slashed(CRegExt::GetSysPath()));
                      },
                      [](TableSide& t, const Step& s) {
                          char key[260] = {};
                          const std::string found = t.fn->pfnGetRegRoot(static_cast<WORD>(s.number), s.text, key);
                          return Result(0, found + " " + qor::testtree::Slashed(t.fn->pfnGetRegRootBuffer(nullptr)));
                      }};
const Call Free{[](ClassSide&, const Step&) {
                    CRegExt().Delete();
                    return Result(CRegExt::m_pIni == nullptr);
                },
                [](TableSide& t, const Step&) {
                    t.fn->pfnFreeStore();
                    return Result(qor::core::TableStore() == nullptr);
                }};

const Call SetInt{[](ClassSide& c, const Step& s) { return Result(c.At(s).SetInt(I(s.number), s.text)); },
                  [](TableSide& t, const Step& s) { return Result(t.fn->pfnSetInt(&t.At(s), I(s.number), s.text)); }};
const Call SetBinary{
    [](ClassSide& c, const Step& s) { return Result(c.At(s).SetBinary(Elements(s.number).bytes(), 3, s.text)); },
    [](TableSide& t, const Step& s) {
        return Result(t.fn->pfnSetBinary(&t.At(s), Elements(s.number).bytes(), 3, s.text));
    }};
const Call GetInt{[](ClassSide& c, const Step& s) { return Got(c.At(s).GetInt(c.i, s.text), c.i); },
                  [](TableSide& t, const Step& s) { return Got(t.fn->pfnGetInt(&t.At(s), &t.i, s.text), t.i); }};
const Call GetIntDefault{
    [](ClassSide& c, const Step& s) { return Got(c.At(s).GetInt(c.i, I(s.number), s.text), c.i); },
    [](TableSide& t, const Step& s) { return Got(t.fn->pfnGetIntDefault(&t.At(s), &t.i, I(s.number), s.text), t.i); }};
const Call GetDword{[](ClassSide& c, const Step& s) { return Got(c.At(s).GetDWord(c.d, s.text), c.d); },
                    [](TableSide& t, const Step& s) { return Got(t.fn->pfnGetDWord(&t.At(s), &t.d, s.text), t.d); }};
const Call GetFloatDefault{
    [](ClassSide& c, const Step& s) { return Got(c.At(s).GetFloat(&c.f, F(s.number), s.text), c.f); },
    [](TableSide& t, const Step& s) {
        return Got(t.fn->pfnGetFloatDefault(&t.At(s), &t.f, F(s.number), s.text), t.f);
    }};
// GetString into a buffer of 16 bytes, of which `number` are offered.
const Call GetString{[](ClassSide& c, const Step& s) {
                         char buffer[16] = "#";
                         return Got(c.At(s).GetString(buffer, s.text, D(s.number)), buffer);
                     },
                     [](TableSide& t, const Step& s) {
                         char buffer[16] = "#";
                         return Got(t.fn->pfnGetString(&t.At(s), buffer, s.text, D(s.number)), buffer);
                     }};
// The list with the offset `number`, its items each followed by a comma.
const Call GetIntArray{[](ClassSide& c, const Step& s) {
                           CArray<int, int> list;
                           const int r = c.At(s).GetIntArray(&list, s.text, I(s.number));
                           std::string out;
                           for (int k = 0; k < list.GetSize(); ++k) out += std::to_string(list[k]) + ",";
                           return Result(r, out);
                       },
                       [](TableSide& t, const Step& s) {
                           int counted[8] = {5};
                           const int r = t.fn->pfnGetIntArray(&t.At(s), counted, s.text, I(s.number));
                           std::string out;
                           for (int k = 1; r == 1 && k <= counted[0] && k < 8; ++k) {
                               out += std::to_string(counted[k]) + ",";
                           }
                           return Result(r, out);
                       }};
// The first three bytes of a buffer of four 9s.
const Call GetBinary{[](ClassSide& c, const Step& s) {
                         BYTE bytes[4] = {9, 9, 9, 9};
                         DWORD count = 0;
                         return Bytes(c.At(s).GetBinary(bytes, &count, s.text), bytes);
                     },
                     [](TableSide& t, const Step& s) {
                         BYTE bytes[4] = {9, 9, 9, 9};
                         DWORD count = 0;
                         return Bytes(t.fn->pfnGetBinary(&t.At(s), bytes, &count, s.text), bytes);
                     }};

}  // namespace op

constexpr const char* kSeed =
    "REGEDIT4\r\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\P]\r\n\"N\"=dword:00000005\r\n\"S\"=\"text\"\r\n\"BIG\"=\"0x20\"\r\n"
    "\"F\"=\"abc\"\r\n\"L\"=\"1,,-3\"\r\n\"B\"=hex:01,ff,7f\r\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\P\\Q]\r\n[HKEY_CURRENT_USER\\SOFTWARE\\P\\R\\DEEP]\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\M]\r\n\"V\"=dword:00000001\r\n"
    "[CINICHECKFILEVALID]\r\n";

constexpr DWORD kAll = KEY_ALL_ACCESS;
// Sub-keys that make a path under P of 1039 characters, the most a key field
// holds, and of 1040.
const std::string kFits(1010, 'X'), kTooLong(1011, 'X');

// A step and what it gives on both sides, or, where a named difference says so, the class's and the table's.
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

// The parent handle, or the working handle, on P.
Step OpenP(DWORD mask = kAll) { return {&op::OpenRoot, "software\\p\\", mask, Root::CurrentUser, 1}; }
Step WorkOnP(DWORD mask) { return {&op::OpenRoot, "SOFTWARE\\P", mask}; }

const std::string kP = "1 HKEY_CURRENT_USER\\SOFTWARE\\P";

const std::vector<Scenario> kScenarios = {
    {"OpenUnderEveryParentForm",
     {{OpenP(), kP + " w1"},
      {{&op::OpenRoot, "SOFTWARE\\M", KEY_READ, Root::LocalMachine}, "1 HKEY_LOCAL_MACHINE\\SOFTWARE\\M w0"},
      {{&op::OpenRoot, "software\\p", KEY_WRITE, Root::SignExtendedUser}, kP + " w1"},
      {{&op::OpenRoot, "SOFTWARE\\P", kAll, Root::ClassesRoot}, "0"},
      {{&op::OpenRoot, "q", 0x20004, Root::Parent}, kP + "\\Q w0"},
      {{&op::OpenRoot, "MISSING", kAll, Root::CurrentUser}, "0"},
      {{&op::OpenRead, "\\r\\deep\\"}, "0"},
      {{&op::OpenRead, "NONE"}, "0"},
      {{&op::OpenWrite, "NONE"},
       "0 w1",
       "0 w0",
       "a failed OpenReadWrite keeps the object and grants writing; the table clears its handle"},
      {{&op::OpenWrite, "Q"}, kP + "\\Q w1"}}},
    {"CreateUnderAHandleNeedsAnyWriteBit",
     {{OpenP(), kP + " w1"},
      {{&op::Create, "NEW\\ONE", KEY_READ}, kP + "\\NEW\\ONE w1"},
      {{&op::Create, "NEW\\TWO", 0x19}, kP + "\\NEW\\TWO w0"},
      {{&op::Create, kTooLong.c_str(), kAll}, "0"},
      {{&op::SetInt, "I", 3}, "0"},
      {OpenP(KEY_READ), kP + " w0"},
      {{&op::Create, "NEW\\ONE", 0x20002}, kP + "\\NEW\\ONE w1"},
      {{&op::SetInt, "I", 4}, "1"},
      {{&op::Create, kFits.c_str(), kAll}, kP + "\\" + kFits + " w1"}}},
    {"TypedValuesAndDefaults",
     {{WorkOnP(KEY_READ), kP + " w0"},
      {{&op::GetInt, "n"}, "1 5"},
      {{&op::GetInt, "MISSING"}, "0 -7"},
      {{&op::GetString, "S", 16}, "1 text"},
      {{&op::GetString, "S", 4}, "0 #"},
      {{&op::GetIntArray, "L", 10},
       "2 11,7,",
       "1 11,0,7,",
       "the class's list skips empty pieces and returns its size; the table's counted array keeps them as 0"},
      {{&op::GetBinary, "B"}, "1 1,255,127"},
      {{&op::GetString, "S", 5}, "1 text"},
      {{&op::GetIntDefault, "D", 4}, "1 4", "0 4", "a read-only default counts as success for the class only"},
      {{&op::GetDword, "BIG"}, "1 32", "1 0", "the class reads a DWORD with base prefixes, the table in base 10"},
      {{&op::SetInt, "N", 6}, "0"},
      {{&op::GetFloatDefault, "F", 2},
       "1 2.000000",
       "0 -7.000000",
       "an unreadable float is missing for the class, a failure for the table"},
      {WorkOnP(kAll), kP + " w1"},
      {{&op::GetIntDefault, "D", 4}, "1 4"},
      {{&op::SetBinary, "BIN", 200}, "1"},
      {{&op::GetBinary, "BIN"}, "1 1,171,200"}}},
    {"DeleteAndEnumerate",
     {{OpenP(), kP + " w1"},
      {{&op::Enumerate}, "0 2 1 Q R"},
      {WorkOnP(kAll), kP + " w1"},
      {{&op::DeleteValue, "N"}, "1"},
      {{&op::DeleteValue, "N"}, "0"},
      {{&op::DeleteKey, "R\\"}, "0"},
      {{&op::DeleteKey, "R"}, "0"},
      {WorkOnP(KEY_READ), kP + " w0"},
      {{&op::DeleteKey, "Q"}, "0"},
      {{&op::DeleteValue, "S"}, "0"},
      {{&op::Enumerate}, "0 2 1 Q R"}}},
    {"CopyOfAHandleActsAsTheOriginal",
     {{OpenP(), kP + " w1"},
      {{&op::CopyHandle, "C", 1}, kP + " w1"},
      {OpenP(KEY_READ), kP + " w0"},
      {{&op::CopyHandle, "C", 2}, "0"}}},
    {"LoadSaveAndFree",
     {{OpenP(), kP + " w1"},
      {{&op::Load, "missing.ini"}, "0"},
      {{&op::Valid, "missing.ini"}, "0"},
      {{.call = &op::Save, .text = "out.ini", .at = 1}, "1 user", "1 machine", "the class never saves machine keys"},
      {{.call = &op::Valid, .text = "out.ini", .at = 1}, "1"},
      {{.call = &op::Load, .text = "out.ini", .at = 1}, "0"},
      {{&op::Free}, "1"},
      {{&op::Free}, "1"},
      {{&op::GetInt, "N"}, "0 -7"},
      {{&op::Load, "missing.ini"}, "0"}}},
};

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
    ClassSide byClass(Seeded().release());
    TableSide byTable(Seeded().release());
    for (std::size_t k = 0; k < scenario.steps.size(); ++k) {
        const Checked& checked = scenario.steps[k];
        const Step& step = checked.step;
        SCOPED_TRACE("step " + std::to_string(k) + " (" + step.text + ")");
        const char* because = checked.because != nullptr ? checked.because : "";
        EXPECT_EQ(byClass.Run(step), checked.gives) << because;
        EXPECT_EQ(byTable.Run(step), checked.tableGives ? checked.tableGives : checked.gives) << because;
    }
    const Snapshot none;
    EXPECT_EQ(byClass.Store() ? SnapshotOf(*byClass.Store()) : none,
              byTable.Store() ? SnapshotOf(*byTable.Store()) : none);
}

// The same product found from the same ROOTn values (one too long for the
// table's buffer), each facade writing its own folder buffer.
TEST(FacadeParityRoot, BothFindTheSameProduct) {
    qor::testtree::AppDataTree tree;
    ClassSide byClass(Seeded().release());
    TableSide byTable(Seeded().release());
    for (CIniClass* store : {byClass.Store(), byTable.Store()}) {
        store->AddKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane Corp\\Scanner");
        tree.AddRootValue(*store, 1, std::string(300, 'R'));
        tree.AddRootValue(*store, 2, "Vendor");
    }
    tree.AddProduct("Vendor", "Twain", "Twain Pathname", "C:\\P\\ds.ds");
    const Step search{&op::RootSearch, "c:\\p\\DS.DS", 1};
    const std::string found = "0 SOFTWARE" + tree.Fragment("Vendor") + "\\Twain " + tree.Path() + "/Vendor/Twain/";
    const std::string classFolder = CRegExt::GetSysPath();
    EXPECT_EQ(byTable.Run(search), found);
    EXPECT_EQ(CRegExt::GetSysPath(), classFolder);  // each facade fills its own buffer
    EXPECT_EQ(byClass.Run(search), found);
    const Step miss{&op::RootSearch, "c:\\other.ds", 1};
    EXPECT_EQ(byTable.Run(miss), "0 Software\\Company\\Error " + tree.Path() + "/Vendor/Twain/");
}

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
