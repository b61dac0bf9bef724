// Test support for CRegExt: each test gets a fresh process-wide store.
#ifndef QOR_REGEXT_REGEXT_TEST_STORE_H
#define QOR_REGEXT_REGEXT_TEST_STORE_H

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CRegExt.h"

namespace qor::regexttest {

class FreshStore : public ::testing::Test {
protected:
    void SetUp() override { CRegExt::m_pIni = new CIniClass; }
    void TearDown() override { delete CRegExt::m_pIni, CRegExt::m_pIni = nullptr; }

    static CIniClass& Store() { return *CRegExt::m_pIni; }
    static void AddKeys(std::initializer_list<const char*> keys) {
        for (const char* key : keys) Store().AddKey(key);
    }
    // The stored text of a value, or "<missing>".
    static std::string Stored(const char* key, const char* name) {
        CString out;
        return Store().GetValue(key, name, out) ? out.str() : "<missing>";
    }
    static std::vector<std::string> SortedKeys() {
        CStringArray list;
        std::vector<std::string> keys;
        const int count = Store().GetAllKeys(list);
        for (int i = 0; i < count; ++i) keys.push_back(list[i].str());
        std::sort(keys.begin(), keys.end());
        return keys;
    }
};

}  // namespace qor::regexttest

#endif
