// The guarded read of an upgrade file, against real files, FIFOs, directories and devices.
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "UpgradeFileSource.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

class UpgradeFileSource : public ::testing::Test {
protected:
    std::string m_dir;

    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "corvane-upgrade-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = m_dir + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    // A read that waits on a FIFO fails the test instead of hanging it: a writer is opened to
    // let the read go on.
    UpgradeFileOpen Read(const std::string& path, std::string& bytes) {
        bytes = "left from before";
        auto reading =
            std::async(std::launch::async, [&] { return ReadUpgradeFileBytes(path, bytes); });
        if (reading.wait_for(std::chrono::seconds(2)) != std::future_status::ready) {
            ADD_FAILURE() << path << ": the read waited";
            const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) {
                ::close(writer);
            }
        }
        const UpgradeFileOpen result = reading.get();
        if (result != UpgradeFileOpen::Opened) {
            EXPECT_TRUE(bytes.empty()) << path;
        }
        return result;
    }
};

TEST_F(UpgradeFileSource, ReadsARegularFileOfAtMostTheLargestUpgrade) {
    std::string bytes;
    const std::string small("\x42\x00\x09\x00\n\r\xFF\x1A", 8);
    EXPECT_EQ(Read(Write("small.cuf", small), bytes), UpgradeFileOpen::Opened);
    EXPECT_EQ(bytes, small);

    const std::string largest(kMaxUpgradeFileSize, '\x5A');
    EXPECT_EQ(kMaxUpgradeFileSize, 65544u);
    EXPECT_EQ(Read(Write("largest.cuf", largest), bytes), UpgradeFileOpen::Opened);
    EXPECT_TRUE(bytes == largest); // not EXPECT_EQ: a mismatch would print 64 KiB twice
    EXPECT_EQ(Read(Write("over.cuf", largest + 'x'), bytes), UpgradeFileOpen::TooLarge);

    // Sparse, so refusing it unread is what keeps the test quick.
    const std::string huge = m_dir + "/huge.cuf";
    const int fd = ::open(huge.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    const bool sized = ::ftruncate(fd, off_t{4} << 30) == 0;
    ::close(fd);
    ASSERT_TRUE(sized);
    EXPECT_EQ(Read(huge, bytes), UpgradeFileOpen::TooLarge);
}

TEST_F(UpgradeFileSource, AnythingButARegularFileIsRefusedWithoutWaiting) {
    // No writer ever opens this FIFO: a blocking open would wait for one for ever.
    const std::string fifo = m_dir + "/fifo.cuf";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string directory = m_dir + "/folder.cuf";
    ASSERT_TRUE(fs::create_directory(directory));
    std::string bytes;
    for (const std::string& target : {fifo, directory, std::string("/dev/zero")}) {
        EXPECT_EQ(Read(target, bytes), UpgradeFileOpen::NotAFile) << target;
        // The check is on what was opened, so a link leads to the same verdict.
        const std::string link = m_dir + "/link-to-" + fs::path(target).filename().string();
        fs::create_symlink(target, link);
        EXPECT_EQ(Read(link, bytes), UpgradeFileOpen::NotAFile) << link;
    }
}

TEST_F(UpgradeFileSource, PathsThatCannotBeOpened) {
    std::string bytes;
    EXPECT_EQ(Read(m_dir + "/missing.cuf", bytes), UpgradeFileOpen::CannotOpen);
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads files whatever their mode";
    }
    const std::string locked = Write("locked.cuf", "abc");
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    EXPECT_EQ(Read(locked, bytes), UpgradeFileOpen::CannotOpen);
}

} // namespace
} // namespace corvane
