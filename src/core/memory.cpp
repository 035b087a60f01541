#include "core/memory.h"

#include <koa_dev/error_cluster.h>

#include "core/lv_manager.h"

#include <cstdlib>

namespace {

thread_local unsigned long t_failures = 0;
thread_local koa::memory::FailureScope* t_scope = nullptr;

void* Noted(void* block) {
    if (block == nullptr)
        koa::memory::NoteFailure();
    return block;
}

} // namespace

namespace koa::memory {

void NoteFailure() {
    ++t_failures;
    for (const FailureScope* scope = t_scope; scope != nullptr; scope = scope->outer)
        if (scope->err != nullptr)
            scope->err->SetFatal(kLvMemoryFull);
}

FailureScope::FailureScope(ErrorCluster* err) : err(err), outer(t_scope) {
    t_scope = this;
}

FailureScope::~FailureScope() {
    t_scope = outer;
}

unsigned long Failures() {
    return t_failures;
}

void* ZeroedBlock(size_t n, size_t size) {
    return Noted(std::calloc(n, size));
}

void* Block(size_t n, size_t size) {
    const bool fits = size == 0 || n <= std::numeric_limits<size_t>::max() / size;
    return Noted(fits ? std::malloc(n * size) : nullptr);
}

void FreeBlock(void* block) {
    std::free(block);
}

} // namespace koa::memory
