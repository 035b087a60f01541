#include <koa_dev/error_cluster.h>
#include <koa_dev/state_cache.h>

#include "cache/instance_chain.h"

bool StateCache::GlobalEnable = false;
StateCache* StateCache::ChainStart = nullptr;

StateCache::StateCache() : ValidState(false) {
    koa::cache::LinkFirst(this, ChainStart, &StateCache::ChainPrev, &StateCache::ChainNext);
}

StateCache::~StateCache() {
    koa::cache::Unlink(this, ChainStart, &StateCache::ChainPrev, &StateCache::ChainNext);
}

bool StateCache::Valid(bool state) {
    const bool before = Valid();
    ValidState = state;
    return before;
}

bool StateCache::Valid(ErrorCluster* err) {
    return Valid(!err->Status());
}

bool StateCache::CacheEnable() {
    return GlobalEnable;
}

bool StateCache::CacheEnable(bool enable) {
    const bool before = GlobalEnable;
    GlobalEnable = enable;
    return before;
}

void StateCache::InvalidateAll() {
    for (StateCache* c = ChainStart; c != nullptr; c = c->ChainNext)
        c->ValidState = false;
}
