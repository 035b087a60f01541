#include <koa_dev/koa_dev.h>

#include "support/scratch_dir.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

std::string Fixture(const std::string& name) {
    return LabVIEW_FilePath().CStr() + std::string("fixtures" KOA_TEST_SEPARATOR) + name +
           KOA_FIXTURE_SUFFIX;
}

unsigned short Revision(const std::string& path) {
    TArray<unsigned short, 6, LV_uInt16Array**> version;
    EXPECT_TRUE(ReadFileVersionInformation(path.c_str(), &version, nullptr, nullptr));
    return version.GetSize() == 4 ? version[3] : 0;
}

using ChangedLibrary = ScratchDirTest;

// A library read once and then replaced by another of the same size, its modification time set
// back as a copy that keeps times would leave it: each read sees the file as it is now.
TEST_F(ChangedLibrary, EachReadSeesTheFileAsItIsNow) {
    const std::string path = Dir() + "lib", other = Dir() + "other";
    ASSERT_EQ(fs::file_size(Fixture("v1003")), fs::file_size(Fixture("v1004")));
    fs::copy_file(Fixture("v1003"), path);
    const auto then = fs::last_write_time(path) - std::chrono::hours(1);
    fs::last_write_time(path, then);
    // Past the coarsest timestamp granularity, so that the file counts as settled.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    EXPECT_EQ(Revision(path), 3);
    EXPECT_EQ(Revision(path), 3);

    std::ofstream(path, std::ios::binary)
        << std::ifstream(Fixture("v1004"), std::ios::binary).rdbuf();
    fs::last_write_time(path, then);
    EXPECT_EQ(Revision(path), 4);

    fs::copy_file(Fixture("v1003"), other);
    fs::last_write_time(other, then);
    fs::remove(path);
    fs::rename(other, path);
    EXPECT_EQ(Revision(path), 3);
}

} // namespace
