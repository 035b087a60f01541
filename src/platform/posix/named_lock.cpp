#include "platform/named_lock.h"

#include <atomic>
#include <cerrno>
#include <ctime>
#include <deque>
#include <mutex>
#include <string>

#include <fcntl.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace koa::platform {
namespace {

struct SharedMemory {
    int fd;
    std::size_t size;
};

// The objects live where shm_open keeps its own, one set per user: the uid in the name keeps
// other users' objects of the same name out of the way, and mode 0600 keeps them private.
std::string ObjectPath(const char* name) {
    std::string path = "/dev/shm/";
    for (const char* c = name; *c != '\0'; ++c)
        path += *c == '/' ? '_' : *c;
    return path + "." + std::to_string(geteuid());
}

void* MapFile(int fd, std::size_t size) {
    void* view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    return view == MAP_FAILED ? nullptr : view;
}

std::size_t FileSize(int fd) {
    struct stat st;
    return fstat(fd, &st) == 0 ? static_cast<std::size_t>(st.st_size) : 0;
}

// Builds the object under a name of this thread's own, then publishes it with link(), which
// fails if the name was taken in the meantime. An object is therefore complete and initialised
// before any other process can open it, and exactly one creator wins; the losers open the
// winner's object. A creator that dies half-way leaves only its temporary file behind.
int Publish(const std::string& path, std::size_t size, void (*init)(void*)) {
    static std::atomic<unsigned> serial{0};
    std::string temp = path + ".new." + std::to_string(getpid()) + "." + std::to_string(serial++);
    int fd = open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
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
    int linked = ready ? link(temp.c_str(), path.c_str()) : -1;
    int linkError = errno;
    unlink(temp.c_str());
    if (linked != 0) {
        close(fd);
        errno = ready ? linkError : EIO;
        return -1;
    }
    return fd;
}

int CreateOrOpen(const char* name, std::size_t size, void (*init)(void*)) {
    std::string path = ObjectPath(name);
    for (int attempt = 0; attempt < 16; ++attempt) {
        int fd = open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if (fd >= 0 || errno != ENOENT)
            return fd;
        fd = Publish(path, size, init);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

void InitMutex(void* memory) {
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
    pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(static_cast<pthread_mutex_t*>(memory), &attr);
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
    int fd = CreateOrOpen(name, sizeof(pthread_mutex_t), InitMutex);
    if (fd < 0)
        return nullptr;
    // A mutex of another layout (a process of the other word size) cannot be shared.
    void* mutex =
        FileSize(fd) == sizeof(pthread_mutex_t) ? MapFile(fd, sizeof(pthread_mutex_t)) : nullptr;
    close(fd);
    return mutex;
}

MutexWait WaitNamedMutex(void* mutex, uint32_t milliseconds) {
    if (mutex == nullptr)
        return MutexWait::Failed;
    auto* m = static_cast<pthread_mutex_t*>(mutex);
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
        return MutexWait::Failed;
    }
}

bool ReleaseNamedMutex(void* mutex) {
    return mutex != nullptr && pthread_mutex_unlock(static_cast<pthread_mutex_t*>(mutex)) == 0;
}

void* CreateSharedMemory(const char* name, std::size_t size) {
    int fd = CreateOrOpen(name, size, nullptr);
    if (fd < 0)
        return nullptr;
    // Handles live as long as the process, as kernel handles do; never destroyed, so that they
    // stay valid through static destruction.
    static std::mutex guard;
    static auto* handles = new std::deque<SharedMemory>;
    std::lock_guard<std::mutex> lock(guard);
    return &handles->emplace_back(SharedMemory{fd, FileSize(fd)});
}

void* MapSharedMemory(void* sharedMemory) {
    auto* block = static_cast<SharedMemory*>(sharedMemory);
    if (block == nullptr || block->size == 0)
        return nullptr;
    return MapFile(block->fd, block->size);
}

void RemoveNamedObject(const char* name) {
    unlink(ObjectPath(name).c_str());
}

} // namespace koa::platform
