// Test support for the table's slots: a fresh table store for each test, a
// storeless-key root handle on it, and handles opened on keys of it.
#ifndef QOR_TABLE_TABLETESTFIXTURE_H
#define QOR_TABLE_TABLETESTFIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "QorFunctionTable.h"
#include "testsupport/StoreViews.h"
#include "testsupport/TestFiles.h"
#include "table/TableState.h"

namespace qor::table {

class TableTest : public ::testing::Test {
protected:
    void SetUp() override {
        store = new CIniClass();
        TableStore() = store;
        t->pfnInitHandle(&root);
        root.pIni = store;
    }
    void TearDown() override { t->pfnFreeStore(); }
    // A handle on key (added when missing) with the given write flag.
    tagRegHandle On(const char* key, int fWrite) {
        tagRegHandle h;
        EXPECT_EQ(t->pfnCreateKey(key, &h, &root, KEY_WRITE), 1) << key;
        h.fWrite = fWrite;
        return h;
    }
    std::string Stored(const char* key, const char* name) { return testkit::ValueOf(*this->store, key, name); }

    UI_FunctionTable* t = UI_GetQorFunctionTable();
    CIniClass* store = nullptr;
    tagRegHandle root;
};

}  // namespace qor::table

#endif
