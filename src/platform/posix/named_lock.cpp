#include "platform/named_lock.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <map>
#include <mutex>
#include <string>

#include <fcntl.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace koa::platform {
namespace {

constexpr char kMutexMagic[4] = {'K', 'O', 'A', 'M'};
constexpr uint32_t kWordBits = 8 * sizeof(void*);

// The mutex file: who made it, then the mutex. Processes of the other word size lay the mutex out
// differently and cannot share it.
struct MutexObject {
    char magic[4];
    uint32_t wordBits;
    pthread_mutex_t mutex;
};

struct NamedMutex {
    pthread_mutex_t* mutex;
    std::string name;
};

struct SharedMemory {
    int fd;
    std::size_t size;
};

// Handles live as long as the process, as kernel handles do; never destroyed, so that they stay
// valid through static destruction.
template <typename Handle> Handle* Keep(Handle handle) {
    static std::mutex guard;
    static auto* handles = new std::deque<Handle>;
    std::lock_guard<std::mutex> lock(guard);
    return &handles->emplace_back(std::move(handle));
}

struct Troubles {
    std::mutex guard;
    std::map<std::string, std::string> byName;
};

Troubles& AllTroubles() {
    static auto* troubles = new Troubles;
    return *troubles;
}

void RecordTrouble(const std::string& name, const std::string& trouble) {
    Troubles& all = AllTroubles();
    std::lock_guard<std::mutex> lock(all.guard);
    if (trouble.empty())
        all.byName.erase(name);
    else
        all.byName[name] = trouble;
}

std::string& Root() {
    static auto* root = new std::string("/dev/shm");
    return *root;
}

// One directory per user. Only a directory of the user's own that no one else may enter keeps
// other users from creating, replacing or changing the objects in it.
std::string PrivateDirectory() {
    return Root() + "/koa_dev-" + std::to_string(geteuid());
}

std::string FileName(const char* name) {
    std::string file = name;
    for (char& c : file)
        if (c == '/')
            c = '_';
    return file;
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

std::string Failure(const std::string& path, const char* what) {
    return Quoted(path) + " " + what + ": " + std::strerror(errno) + ".";
}

std::string Damaged(const std::string& path) {
    return Quoted(path) + " is damaged; remove it, then restart the programs that use the library.";
}

// What makes the directory or object at path, opened as fd, unfit for the lock; empty when it
// is fit.
std::string Unfit(int fd, const std::string& path, bool directory, struct stat& st) {
    if (fstat(fd, &st) != 0)
        return Failure(path, "cannot be examined");
    if (directory ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode))
        return Quoted(path) + (directory ? " is not a directory" : " is not a regular file") +
               "; remove it.";
    if (st.st_uid != geteuid())
        return Quoted(path) + " belongs to user " + std::to_string(st.st_uid) +
               ", not to this user (" + std::to_string(geteuid()) +
               "); have its owner or an administrator remove it.";
    if ((st.st_mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
        return Quoted(path) + " is open to other users (mode " + mode + "); remove it" +
               (directory ? " with everything in it." : ".");
    }
    return {};
}

// Opens the user's directory, making it when absent. -1 with the trouble when it is unfit.
int OpenPrivateDirectory(std::string& trouble) {
    const std::string dir = PrivateDirectory();
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        trouble = Failure(dir, "cannot be created");
        return -1;
    }
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        trouble = errno == ELOOP || errno == ENOTDIR
                      ? Quoted(dir) + " is not a directory; remove it."
                      : Failure(dir, "cannot be opened");
        return -1;
    }
    struct stat st;
    trouble = Unfit(fd, dir, true, st);
    if (trouble.empty())
        return fd;
    close(fd);
    return -1;
}

void* MapFile(int fd, std::size_t size) {
    void* view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    return view == MAP_FAILED ? nullptr : view;
}

// Builds the object under a name of this thread's own, then publishes it with link(), which
// fails if the name was taken in the meantime. An object is therefore complete and initialised
// before any other process can open it, and exactly one creator wins; the losers open the
// winner's object. A creator that dies half-way leaves only its temporary file behind.
int Publish(int dir, const std::string& file, std::size_t size, void (*init)(void*)) {
    static std::atomic<unsigned> serial{0};
    std::string temp = file + ".new." + std::to_string(getpid()) + "." + std::to_string(serial++);
    int fd = openat(dir, temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return -1;
    bool ready = fchmod(fd, 0600) == 0 && ftruncate(fd, static_cast<off_t>(size)) == 0;
    if (ready && init != nullptr) {
        void* view = MapFile(fd, size);
        ready = view != nullptr;
        if (ready) {
            init(view);
            munmap(view, size);
        }
    }
    int linked = ready ? linkat(dir, temp.c_str(), dir, file.c_str(), 0) : -1;
    int linkError = errno;
    unlinkat(dir, temp.c_str(), 0);
    if (linked != 0) {
        close(fd);
        errno = ready ? linkError : EIO;
        return -1;
    }
    return fd;
}

// Opens the user's object of that name, creating it when absent, and checks that it is a
// private file of the expected size: it is never mapped beyond its real end.
int CreateOrOpen(const char* name, std::size_t size, void (*init)(void*),
                 std::string (*check)(int, const std::string&), std::string& trouble) {
    const int dir = OpenPrivateDirectory(trouble);
    if (dir < 0)
        return -1;
    const std::string file = FileName(name);
    const std::string path = PrivateDirectory() + "/" + file;
    int fd = -1;
    for (int attempt = 0; attempt < 16; ++attempt) {
        fd = openat(dir, file.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd >= 0 || errno != ENOENT)
            break;
        fd = Publish(dir, file, size, init);
        if (fd >= 0 || errno != EEXIST)
            break;
    }
    const int openError = errno;
    close(dir);
    errno = openError;
    if (fd < 0) {
        trouble = errno == ELOOP ? Quoted(path) + " is a symbolic link; remove it."
                                 : Failure(path, "cannot be opened");
        return -1;
    }
    struct stat st;
    trouble = Unfit(fd, path, false, st);
    if (trouble.empty() && check != nullptr)
        trouble = check(fd, path);
    if (trouble.empty() && static_cast<std::size_t>(st.st_size) != size)
        trouble = Damaged(path);
    if (trouble.empty())
        return fd;
    close(fd);
    return -1;
}

std::string CheckMutexHeader(int fd, const std::string& path) {
    MutexObject header;
    const std::size_t headerSize = offsetof(MutexObject, mutex);
    if (pread(fd, &header, headerSize, 0) != static_cast<ssize_t>(headerSize) ||
        std::memcmp(header.magic, kMutexMagic, sizeof kMutexMagic) != 0 ||
        (header.wordBits != 32 && header.wordBits != 64))
        return Damaged(path);
    if (header.wordBits != kWordBits)
        return Quoted(path) + " was made by a " + std::to_string(header.wordBits) +
               "-bit process, and 32- and 64-bit processes cannot share the lock; remove it "
               "when no " +
               std::to_string(header.wordBits) + "-bit program uses the library.";
    return {};
}

void InitMutex(void* memory) {
    auto* object = static_cast<MutexObject*>(memory);
    std::memcpy(object->magic, kMutexMagic, sizeof kMutexMagic);
    object->wordBits = kWordBits;
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
    pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&object->mutex, &attr);
    pthread_mutexattr_destroy(&attr);
}

timespec Deadline(uint32_t milliseconds) {
    timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    t.tv_sec += static_cast<time_t>(milliseconds / 1000);
    t.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
    if (t.tv_nsec >= 1000000000L) {
        t.tv_sec += 1;
        t.tv_nsec -= 1000000000L;
    }
    return t;
}

} // namespace

void* CreateNamedMutex(const char* name) {
    std::string trouble;
    const int fd = CreateOrOpen(name, sizeof(MutexObject), InitMutex, CheckMutexHeader, trouble);
    void* view = fd >= 0 ? MapFile(fd, sizeof(MutexObject)) : nullptr;
    if (fd >= 0) {
        if (view == nullptr)
            trouble = Failure(PrivateDirectory() + "/" + FileName(name), "cannot be mapped");
        close(fd);
    }
    RecordTrouble(name, trouble);
    if (view == nullptr)
        return nullptr;
    return Keep(NamedMutex{&static_cast<MutexObject*>(view)->mutex, name});
}

MutexWait WaitNamedMutex(void* mutex, uint32_t milliseconds) {
    if (mutex == nullptr)
        return MutexWait::Failed;
    auto* named = static_cast<NamedMutex*>(mutex);
    pthread_mutex_t* m = named->mutex;
    // A free mutex is taken without reading the clock for a deadline, which costs more here
    // than the lock itself.
    int result = pthread_mutex_trylock(m);
    if (result == EBUSY) {
        timespec deadline = Deadline(milliseconds);
        result = pthread_mutex_timedlock(m, &deadline);
    }
    switch (result) {
    case 0:
        return MutexWait::Acquired;
    case EOWNERDEAD:
        // Left unmarked, the mutex would refuse every process once this owner releases it.
        pthread_mutex_consistent(m);
        return MutexWait::Abandoned;
    case ETIMEDOUT:
        return MutexWait::Timeout;
    default:
        RecordTrouble(named->name,
                      Quoted(PrivateDirectory() + "/" + FileName(named->name.c_str())) +
                          " holds a damaged mutex (" + std::strerror(result) +
                          "); remove it, then restart the programs that use the "
                          "library.");
        return MutexWait::Failed;
    }
}

bool ReleaseNamedMutex(void* mutex) {
    return mutex != nullptr && pthread_mutex_unlock(static_cast<NamedMutex*>(mutex)->mutex) == 0;
}

void* CreateSharedMemory(const char* name, std::size_t size) {
    std::string trouble;
    const int fd = CreateOrOpen(name, size, nullptr, nullptr, trouble);
    RecordTrouble(name, trouble);
    return fd >= 0 ? Keep(SharedMemory{fd, size}) : nullptr;
}

void* MapSharedMemory(void* sharedMemory) {
    auto* block = static_cast<SharedMemory*>(sharedMemory);
    return block != nullptr ? MapFile(block->fd, block->size) : nullptr;
}

std::string NamedObjectTrouble(const char* name) {
    Troubles& all = AllTroubles();
    std::lock_guard<std::mutex> lock(all.guard);
    const auto found = all.byName.find(name);
    return found != all.byName.end() ? found->second : std::string();
}

void RemoveNamedObject(const char* name) {
    unlink((PrivateDirectory() + "/" + FileName(name)).c_str());
}

void SetNamedObjectRoot(const char* directory) {
    Root() = directory;
}

} // namespace koa::platform
