// The lock's objects on Linux as another user or a careless one can leave them. Each damage is
// made under a scratch directory that stands for the system's shared-memory directory.
#include "lock/lock_test_support.h"
#include "lock/resource_lock_access.h"
#include "platform/named_lock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using koa::ResourceLockAccess;

namespace {

constexpr const char* kNotFound = "KOA_DEV.dll Resource Lock not Found! ";
constexpr const char* kMemoryNotFound = "KOA_DEV.dll Resource Lock - Shared Memory NOT Found! ";
constexpr const char* kUnexpected =
    "KOA_DEV.dll Resource Lock request returned unexpected response! ";
constexpr uid_t kOtherUser = 4242;

// The user's directory of lock objects and the two objects in it.
struct LockFiles {
    std::string dir, mutex, mem;
};

// Runs `work` in a child process that has become another user.
void AsOtherUser(const std::function<void()>& work) {
    const pid_t pid = fork();
    if (pid == 0) {
        umask(0);
        _exit(setgid(kOtherUser) == 0 && setuid(kOtherUser) == 0 ? (work(), 0) : 1);
    }
    waitpid(pid, nullptr, 0);
}

// Overwrites the file from `offset` to its end with `byte`.
void Garble(const std::string& path, std::size_t offset, char byte) {
    const std::size_t size = std::filesystem::file_size(path);
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(offset));
    file << std::string(size - offset, byte);
}

// The mutex file as a process of the other word size makes it: a header, then its mutex.
void WriteOtherWordSize(const LockFiles& f) {
    const uint32_t bits = sizeof(void*) == 8 ? 32 : 64;
    std::string bytes = "KOAM" + std::string(reinterpret_cast<const char*>(&bits), sizeof bits);
    bytes.resize(bytes.size() + (bits == 64 ? 40 : 24), '\0');
    mkdir(f.dir.c_str(), 0700);
    std::ofstream(f.mutex, std::ios::binary) << bytes;
    chmod(f.mutex.c_str(), 0600);
}

class LockObjectsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/koa_dev_lock_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        chmod(root.c_str(), 01777);
        koa::platform::SetNamedObjectRoot(root.c_str());
        const std::string dir = root + "/koa_dev-" + std::to_string(geteuid());
        files = {dir, dir + "/" + mutexName, dir + "/" + memName};
    }
    void TearDown() override {
        koa::platform::SetNamedObjectRoot("/dev/shm");
        std::filesystem::remove_all(root);
    }

    std::string root;
    LockFiles files;
    const std::string mutexName = UniqueLockName("lock");
    const std::string memName = UniqueLockName("mem");
};

// Each damage refuses the lock with code 72 and a text that begins as the nearest plain error,
// then names the file to remove; none of them ends the process.
TEST_F(LockObjectsTest, ForeignOrDamagedObjectsAreRefusedWithTheFileToRemove) {
    enum When { BeforeOpening, AfterOpening, WhileOpen };
    struct Damage {
        const char* what;
        When when;
        std::function<void(const LockFiles&)> make;
        const char* text;
        std::string LockFiles::*named;
        const char* reason;
    };
    const Damage damages[] = {
        {"another user made the directory", BeforeOpening,
         [](const LockFiles& f) { AsOtherUser([&] { mkdir(f.dir.c_str(), 0777); }); }, kNotFound,
         &LockFiles::dir, "belongs to user 4242"},
        {"a link in place of the directory", BeforeOpening,
         [](const LockFiles& f) {
             mkdir((f.dir + ".real").c_str(), 0700);
             symlink((f.dir + ".real").c_str(), f.dir.c_str());
         },
         kNotFound, &LockFiles::dir, "is not a directory"},
        {"a directory open to others", BeforeOpening,
         [](const LockFiles& f) {
             mkdir(f.dir.c_str(), 0700);
             chmod(f.dir.c_str(), 0777);
         },
         kNotFound, &LockFiles::dir, "is open to other users (mode 0777)"},
        {"a dangling link as the mutex", BeforeOpening,
         [](const LockFiles& f) {
             mkdir(f.dir.c_str(), 0700);
             symlink("nowhere", f.mutex.c_str());
         },
         kNotFound, &LockFiles::mutex, "is a symbolic link"},
        {"a truncated mutex", AfterOpening,
         [](const LockFiles& f) { truncate(f.mutex.c_str(), 8); }, kNotFound, &LockFiles::mutex,
         "is damaged"},
        {"a mutex of garbage", AfterOpening, [](const LockFiles& f) { Garble(f.mutex, 0, '\xa5'); },
         kNotFound, &LockFiles::mutex, "is damaged"},
        {"a mutex of the other word size", BeforeOpening, WriteOtherWordSize, kNotFound,
         &LockFiles::mutex, "32- and 64-bit processes cannot share the lock"},
        {"a truncated block", AfterOpening, [](const LockFiles& f) { truncate(f.mem.c_str(), 4); },
         kMemoryNotFound, &LockFiles::mem, "is damaged"},
        {"a mutex garbled in use", WhileOpen,
         [](const LockFiles& f) { Garble(f.mutex, 8, '\xff'); }, kUnexpected, &LockFiles::mutex,
         "holds a damaged mutex"},
    };
    // Sound objects are made afresh under their names, with nothing else left in the directory
    // and, for the mutex, no file left open and one mapping kept.
    const auto openFiles = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    };
    const auto mappings = [this] {
        std::ifstream maps("/proc/self/maps");
        int n = 0;
        for (std::string line; std::getline(maps, line);)
            n += line.find(files.dir) != std::string::npos;
        return n;
    };
    const auto opened = openFiles();
    const int mapped = mappings();
    EXPECT_NE(koa::platform::CreateNamedMutex(mutexName.c_str()), nullptr);
    EXPECT_EQ(openFiles(), opened);
    EXPECT_EQ(mappings(), mapped + 1);
    ResourceLockAccess::Open(mutexName.c_str(), memName.c_str());
    EXPECT_TRUE(LockOnce());
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(files.dir))
        names.insert(entry.path().string());
    EXPECT_EQ(names, (std::set<std::string>{files.mutex, files.mem}));
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        if (geteuid() != 0 && std::string(damage.reason).find("user 4242") != std::string::npos)
            continue; // only root can act as another user
        std::filesystem::remove_all(files.dir);
        std::filesystem::remove_all(files.dir + ".real");
        if (damage.when != BeforeOpening)
            ResourceLockAccess::Open(mutexName.c_str(), memName.c_str());
        damage.make(files);
        if (damage.when != WhileOpen)
            ResourceLockAccess::Open(mutexName.c_str(), memName.c_str());
        ErrorCluster err;
        ResourceLock lock(&err, true);
        const std::string text = err.Source().CStr();
        EXPECT_EQ(err.Code(), 72);
        EXPECT_TRUE(text.rfind(damage.text, 0) == 0 &&
                    text.find("'" + files.*damage.named + "' ") != std::string::npos &&
                    text.find(damage.reason) != std::string::npos &&
                    text.find("remove") != std::string::npos)
            << text;
    }
}

} // namespace
