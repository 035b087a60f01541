#include <koa_dev/error_cluster.h>
#include <koa_dev/state_cache.h>

bool StateCache::GlobalEnable = false;
StateCache* StateCache::ChainStart = nullptr;

StateCache::StateCache() : ChainPrev(nullptr), ChainNext(ChainStart), ValidState(false) {
    if (ChainStart != nullptr)
        ChainStart->ChainPrev = this;
    ChainStart = this;
}

StateCache::~StateCache() {
    if (ChainPrev != nullptr)
        ChainPrev->ChainNext = ChainNext;
    else
        ChainStart = ChainNext;
    if (ChainNext != nullptr)
        ChainNext->ChainPrev = ChainPrev;
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
