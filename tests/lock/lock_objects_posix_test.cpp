// The lock's objects on Linux as another user or a careless one can leave them. Each damage is
// made under a scratch directory that stands for the system's shared-memory directory.
#include "lock/lock_test_support.h"
#include "lock/resource_lock_access.h"
#include "platform/named_lock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr const char* kNotFound = "KOA_DEV.dll Resource Lock not Found! ";
constexpr const char* kMemoryNotFound = "KOA_DEV.dll Resource Lock - Shared Memory NOT Found! ";
constexpr const char* kUnexpected =
    "KOA_DEV.dll Resource Lock request returned unexpected response! ";

// Makes the directory open to all as user 4242, in a child process.
void MakeDirectoryAsOtherUser(const std::string& path) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(setgid(4242) || setuid(4242) || (umask(0), mkdir(path.c_str(), 0777)));
    waitpid(pid, nullptr, 0);
}

// Overwrites the file from `offset` to its end with `byte`.
void Garble(const std::string& path, std::size_t offset, char byte) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(offset));
    file << std::string(fs::file_size(path) - offset, byte);
}

// The mutex file as a process of the other word size makes it: a header, then its mutex.
void WriteOtherWordSize(const std::string& path) {
    const uint32_t bits = sizeof(void*) == 8 ? 32 : 64;
    const std::string header = "KOAM" + std::string(reinterpret_cast<const char*>(&bits), 4);
    std::ofstream(path, std::ios::binary) << header + std::string(bits == 64 ? 40 : 24, '\0');
    chmod(path.c_str(), 0600);
}

// Each damage refuses the lock with code 72 and a text that begins as the nearest plain error,
// then names the file to remove; none of them ends the process.
TEST(LockObjects, ForeignOrDamagedObjectsAreRefusedWithTheFileToRemove) {
    char pattern[] = "/tmp/koa_dev_lock_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    chmod(root.c_str(), 01777);
    koa::platform::SetNamedObjectRoot(root.c_str());
    const std::string mutexName = UniqueLockName("lock"), memName = UniqueLockName("mem");
    const std::string dir = root + "/koa_dev-" + std::to_string(geteuid());
    const std::string mutex = dir + "/" + mutexName, mem = dir + "/" + memName;
    // The error text begins with the plain error, then names the object and what is wrong with it.
    const std::string inDir = "'" + dir + "' ", inMutex = "'" + mutex + "' ";
    const std::string inMem = "'" + mem + "' ", otherBits = sizeof(void*) == 8 ? "32" : "64";
    // Made with no directory, in an empty one, after opening the objects, or while they are open.
    enum When { NoDir, EmptyDir, Opened, InUse };
    const struct {
        When when;
        std::function<void()> make;
        std::string text;
    } damages[] = {
        {NoDir, [&] { MakeDirectoryAsOtherUser(dir); }, kNotFound + inDir + "belongs to user 4242"},
        {NoDir, [&] { symlink(root.c_str(), dir.c_str()); },
         kNotFound + inDir + "is not a directory"},
        {EmptyDir, [&] { chmod(dir.c_str(), 0777); },
         kNotFound + inDir + "is open to other users (mode 0777)"},
        {EmptyDir, [&] { symlink("nowhere", mutex.c_str()); },
         kNotFound + inMutex + "is a symbolic link"},
        {Opened, [&] { truncate(mutex.c_str(), 8); }, kNotFound + inMutex + "is damaged"},
        {Opened, [&] { Garble(mutex, 0, '\xa5'); }, kNotFound + inMutex + "is damaged"},
        {EmptyDir, [&] { WriteOtherWordSize(mutex); },
         kNotFound + inMutex + "was made by a " + otherBits +
             "-bit process, and 32- and 64-bit processes cannot share the lock"},
        {Opened, [&] { truncate(mem.c_str(), 4); }, kMemoryNotFound + inMem + "is damaged"},
        {InUse, [&] { Garble(mutex, 8, '\xff'); }, kUnexpected + inMutex + "holds a damaged mutex"},
    };
    // Sound objects are made afresh under their names, with nothing else left in the directory
    // and, for the mutex, no file left open and one mapping kept.
    const auto fds = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
    const auto mappings = [&] {
        std::ifstream maps("/proc/self/maps");
        int n = 0;
        for (std::string line; std::getline(maps, line);)
            n += line.find(dir) != std::string::npos;
        return n;
    };
    const auto opened = fds();
    const int mapped = mappings();
    EXPECT_NE(koa::platform::CreateNamedMutex(mutexName.c_str()), nullptr);
    EXPECT_EQ(fds(), opened);
    EXPECT_EQ(mappings(), mapped + 1);
    koa::ResourceLockAccess::Open(mutexName.c_str(), memName.c_str());
    EXPECT_TRUE(LockOnce());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 2); // the two objects alone
    for (const auto& damage : damages) {
        if (&damage == damages && geteuid() != 0)
            continue; // only root can act as another user
        fs::remove_all(dir);
        if (damage.when == EmptyDir)
            mkdir(dir.c_str(), 0700);
        if (damage.when >= Opened)
            koa::ResourceLockAccess::Open(mutexName.c_str(), memName.c_str());
        damage.make();
        if (damage.when != InUse)
            koa::ResourceLockAccess::Open(mutexName.c_str(), memName.c_str());
        ErrorCluster err;
        ResourceLock lock(&err, true);
        const std::string found = err.Source().CStr();
        EXPECT_EQ(err.Code(), 72) << found;
        EXPECT_TRUE(found.rfind(damage.text, 0) == 0 && found.find("remove") != std::string::npos)
            << found << "\nexpected to begin with " << damage.text;
    }
    koa::platform::SetNamedObjectRoot("/dev/shm");
    fs::remove_all(root);
}

} // namespace
