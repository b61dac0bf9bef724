// CFileError: the system's reason of the calling thread's last failing file
// call, as a caller reads it after a call that answered 0.
#include <cerrno>
#include <thread>

#include <gtest/gtest.h>

#include "CFileError.h"
#include "CIniClass.h"
#include "testsupport/TestFiles.h"

namespace {

TEST(FileErrorTest, KeepsTheFailingCallsReasonForItsThreadUntilCleared) {
    qor::testkit::ScratchFolder scratch("file_error");
    const std::string inMissingFolder = scratch.File("none") + "/root.ini";
#ifdef _WIN32
    const unsigned long missingFolder = 3;  // ERROR_PATH_NOT_FOUND
#else
    const unsigned long missingFolder = ENOENT;
#endif
    CIniClass store;
    CFileError::Clear();
    EXPECT_EQ(CFileError::GetLast(), 0u);
    EXPECT_TRUE(CFileError::GetLastText().IsEmpty());
    for (const auto& failing : {+[](CIniClass&s, const char*p) { return s.SaveFile(p, ""); },
                                +[](CIniClass&s, const char*p) { return s.LoadFile(p); }}) {
        CFileError::Clear();
        EXPECT_EQ(failing(store, inMissingFolder.c_str()), 0);
        EXPECT_EQ(CFileError::GetLast(), missingFolder);
        EXPECT_FALSE(CFileError::GetLastText().IsEmpty());
    }
    // Another thread has its own; a later success leaves the reason in place.
    std::thread([] { EXPECT_EQ(CFileError::GetLast(), 0u); }).join();
    EXPECT_EQ(store.SaveFile(scratch.File("root.ini").c_str(), ""), 1);
    EXPECT_EQ(CFileError::GetLast(), missingFolder);
}

}  // namespace
