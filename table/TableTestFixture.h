// Test support for the table's slots: a fresh table store for each test,
// a root handle on it, and handles opened on keys of it.
#ifndef QOR_TABLE_TABLE_TEST_FIXTURE_H
#define QOR_TABLE_TABLE_TEST_FIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "CIniClass.h"
#include "CRegExt.h"
#include "QorFunctionTable.h"
#include "table/TableState.h"

namespace qor::table {

class TableTest : public ::testing::Test {
protected:
    void SetUp() override {
        t = UI_GetQorFunctionTable();
        store = new CIniClass();
        TableStore() = store;
        t->pfnInitHandle(&root);
        root.pIni = store;
    }
    void TearDown() override {
        t->pfnFreeStore();
        CRegExt::m_pIni = nullptr;
    }

    // A handle on key (added when missing), writable or not.
    tagRegHandle On(const std::string& key, int fWrite = 1) {
        store->AddKey(key.c_str());
        tagRegHandle h;
        EXPECT_EQ(t->pfnCreateKey(key.c_str(), &h, &root, KEY_WRITE), 1) << key;
        h.fWrite = fWrite;
        return h;
    }
    std::string Stored(const std::string& key, const std::string& name) const {
        CString text;
        return store->GetValue(key.c_str(), name.c_str(), text) ? text.str() : "(missing)";
    }

    UI_FunctionTable* t = nullptr;
    CIniClass* store = nullptr;
    tagRegHandle root;
};

}  // namespace qor::table

#endif
