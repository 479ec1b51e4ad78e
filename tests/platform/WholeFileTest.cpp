#include "platform/WholeFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "support/TempDir.h"

namespace platform {
namespace {

using Fault = WholeFile::Fault;

TEST(WholeFileTest, APlainFileReadsWholeAndALargerOneIsRefusedWithItsSize) {
    const TempDir dir;
    const WholeFile small = readWholeFile(dir.write("small", "abc"), 3);
    EXPECT_EQ(small.fault, Fault::None);
    EXPECT_EQ(std::string(small.bytes.begin(), small.bytes.end()), "abc");

    const WholeFile large = readWholeFile(dir.write("large", "abcd"), 3);
    EXPECT_EQ(large.fault, Fault::TooLarge);
    EXPECT_EQ(large.size, 4u);
    EXPECT_TRUE(large.bytes.empty());
}

// A pipe would wait in the open for a writer, and a device never end: neither is read.
TEST(WholeFileTest, WhatIsNotAPlainFileIsRefusedWithoutWaiting) {
    const TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(readWholeFile(dir / "pipe", 100).fault, Fault::NotRegular);
    EXPECT_EQ(readWholeFile("/dev/zero", 100).fault, Fault::NotRegular);
    EXPECT_EQ(readWholeFile(dir.path(), 100).fault, Fault::NotRegular);

    const WholeFile missing = readWholeFile(dir / "missing", 100);
    EXPECT_EQ(missing.fault, Fault::CannotOpen);
    EXPECT_EQ(missing.error, ENOENT);
}

}  // namespace
}  // namespace platform
