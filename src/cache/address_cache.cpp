#include <koa_dev/address_cache.h>
#include <koa_dev/error_cluster.h>

AddressCache* AddressCache::ChainStart = nullptr;

AddressCache::AddressCache() : ChainPrev(nullptr), ChainNext(ChainStart), ValidState(false) {
    if (ChainStart != nullptr)
        ChainStart->ChainPrev = this;
    ChainStart = this;
    AddressCache::SetValidState(false);
}

AddressCache::~AddressCache() {
    if (ChainPrev != nullptr)
        ChainPrev->ChainNext = ChainNext;
    else
        ChainStart = ChainNext;
    if (ChainNext != nullptr)
        ChainNext->ChainPrev = ChainPrev;
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
    ClearFailureList();
    for (AddressCache* c = ChainStart; c != nullptr; c = c->ChainNext)
        c->SetValidState(c->UpdateAddress());
}

void AddressCache::UpdateAll(ErrorCluster* err) {
    if (!err->Status())
        UpdateAll();
}
