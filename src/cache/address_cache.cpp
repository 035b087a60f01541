#include <koa_dev/address_cache.h>
#include <koa_dev/error_cluster.h>

#include "cache/instance_chain.h"
#include "core/guarded.h"

AddressCache* AddressCache::ChainStart = nullptr;

AddressCache::AddressCache() : ValidState(false) {
    koa::cache::LinkFirst(this, ChainStart, &AddressCache::ChainPrev, &AddressCache::ChainNext);
    AddressCache::SetValidState(false);
}

AddressCache::~AddressCache() {
    koa::cache::Unlink(this, ChainStart, &AddressCache::ChainPrev, &AddressCache::ChainNext);
}

void AddressCache::SetValidState(bool state) {
    ValidState = state;
}

bool AddressCache::Valid() const {
    return ValidState;
}

void AddressCache::InvalidateAll() {
    ClearFailureList();
    for (AddressCache* c = ChainStart; c != nullptr; c = c->ChainNext)
        c->SetValidState(false);
}

void AddressCache::InvalidateAll(ErrorCluster* err) {
    if (!err->Status())
        InvalidateAll();
}

void AddressCache::UpdateAll() {
    UpdateAll(nullptr);
}

// The derived classes' UpdateAddress is a driver's code: nothing it throws goes further.
void AddressCache::UpdateAll(ErrorCluster* err) {
    koa::Guarded(err, [err] {
        if (err != nullptr && err->Status())
            return;
        ClearFailureList();
        for (AddressCache* c = ChainStart; c != nullptr; c = c->ChainNext)
            c->SetValidState(c->UpdateAddress());
    });
}
