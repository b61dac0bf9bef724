// Test support for CRegExt: each test gets a fresh process-wide store.
#ifndef QOR_REGEXT_REGEXTTESTSTORE_H
#define QOR_REGEXT_REGEXTTESTSTORE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CRegExt.h"
#include "testsupport/StoreViews.h"

namespace qor::regexttest {

class FreshStore : public ::testing::Test {
protected:
    void SetUp() override { CRegExt::m_pIni = new CIniClass; }
    void TearDown() override { delete CRegExt::m_pIni, CRegExt::m_pIni = nullptr; }

    static CIniClass& Store() { return *CRegExt::m_pIni; }
    static void AddKeys(std::initializer_list<const char*> keys) {
        for (const char* key : keys) Store().AddKey(key);
    }
    // The stored text of a value, or "(missing)".
    static std::string Stored(const char* key, const char* name) { return testkit::ValueOf(Store(), key, name); }
    // Every key, in byte order.
    static std::vector<std::string> SortedKeys() { return testkit::AllKeysOf(Store()); }
};

}  // namespace qor::regexttest

#endif
