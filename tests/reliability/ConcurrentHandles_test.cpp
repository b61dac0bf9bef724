// Threads sharing one store under the table's lock, as callers are told to,
// and threads making their own objects; run under ThreadSanitizer.
#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "CRegExt.h"
#include "QorFunctionTable.h"
#include "tests/reliability/ReliabilitySupport.h"

namespace qor::reliability {
namespace {

constexpr const char* kShared = "HKEY_CURRENT_USER\\SOFTWARE\\SHARED";
constexpr int kThreads = 4;
constexpr int kRounds = 300;

struct TableLock {
    UI_FunctionTable* t;
    void lock() { t->pfnLock(); }
    void unlock() { t->pfnUnlock(); }
};

void Worker(UI_FunctionTable* t, tagRegHandle parent, int id, int& enumerationErrors) {
    tagRegHandle h;
    t->pfnInitHandle(&h);
    const std::string own = "T" + std::to_string(id);
    for (int round = 0; round < kRounds; ++round) {
        TableLock table{t};
        const std::lock_guard lock(table);
        ASSERT_EQ(t->pfnOpenReadWrite(kShared, &h, &parent), 1);
        int counter = 0;
        t->pfnGetInt(&h, &counter, "COUNTER");
        t->pfnSetInt(&h, counter + 1, "COUNTER");

        CRegExt object;
        object.Attach(kShared);
        ASSERT_EQ(object.CreateKey(own.c_str(), &object, KEY_WRITE), 1);
        object.SetInt(round, "ROUND");

        DWORD count = 0, longest = 0;
        t->pfnRegQueryInfoKeyA(&h, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr);
        char name[16];
        for (DWORD i = 0; i < count; ++i) {
            t->pfnRegEnumKeyExA(&h, i, name, nullptr, nullptr, nullptr, nullptr, nullptr);
            if (name[0] != 'T') ++enumerationErrors;
        }
    }
}

TEST(ConcurrentHandles, ThreadsUnderTheTableLockLoseNoUpdate) {
    UI_FunctionTable* t = UI_GetQorFunctionTable();
    CRegExt::m_pIni = new CIniClass;
    CRegExt::m_pIni->AddKey(kShared);
    tagRegHandle parent;
    t->pfnInitHandle(&parent);
    ASSERT_EQ(t->pfnAttachRegExt(nullptr, &parent), 1);
    ASSERT_EQ(t->pfnCreateLock(), 1);

    std::vector<int> errors(kThreads, 0);
    std::vector<std::thread> threads;
    for (int id = 0; id < kThreads; ++id) threads.emplace_back(Worker, t, parent, id, std::ref(errors[id]));
    for (std::thread& thread : threads) thread.join();

    tagRegHandle h;
    ASSERT_EQ(t->pfnOpenReadOnly(kShared, &h, &parent), 1);
    int counter = 0;
    ASSERT_EQ(t->pfnGetInt(&h, &counter, "COUNTER"), 1);
    EXPECT_EQ(counter, kThreads * kRounds);
    for (int id = 0; id < kThreads; ++id) {
        EXPECT_EQ(errors[id], 0) << "thread " << id << " saw another thread's sub-key list";
        CString round;
        EXPECT_EQ(
            CRegExt::m_pIni->GetValue((std::string(kShared) + "\\T" + std::to_string(id)).c_str(), "ROUND", round), 1);
        EXPECT_EQ(round, ("<dword>" + std::to_string(kRounds - 1)).c_str());
    }
    t->pfnFreeStore();  // takes the lock; clears CRegExt's pointer too
    EXPECT_EQ(CRegExt::m_pIni, nullptr);
    EXPECT_NE(t->pfnCloseLock(), 0);
}

// The library keeps a process-wide list of live objects (to tell handles from texts).
TEST(ConcurrentHandles, ThreadsMakingTheirOwnObjectsNeedNoLock) {
    std::vector<int> pieces(kThreads, 0);
    std::vector<std::thread> threads;
    for (int id = 0; id < kThreads; ++id) {
        threads.emplace_back([&pieces, id] {
            for (int i = 0; i < kRounds; ++i) {
                CRegExt object;
                object.Attach(kShared);
                CRegExt copy(object);
                std::vector<CString> parts;
                copy.Split(CString(copy.szKey), parts, CString("\\"));
                pieces[id] += static_cast<int>(parts.size());
                copy.Close();
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (int id = 0; id < kThreads; ++id) EXPECT_EQ(pieces[id], 3 * kRounds);
}

}  // namespace
}  // namespace qor::reliability
