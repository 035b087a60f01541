#pragma once

#include <koa_dev/export.h>
#include <koa_dev/tstring.h>

#include <cstdint>

class ErrorCluster;

// Base of the objects that each cache one device address. Every live object is linked into one
// chain, newest first, so that all of them are refreshed or invalidated by one call; the names of
// the addresses that could not be obtained are collected in one process-wide failure list.
class KOA_DEV_API AddressCache {
  public:
    AddressCache();
    AddressCache(const AddressCache&) = delete;
    AddressCache& operator=(const AddressCache&) = delete;

    // Obtains the address into the derived object; failures go to UpdateFailureList.
    virtual bool UpdateAddress() = 0;

  protected:
    virtual void SetValidState(bool state);

  public:
    virtual ~AddressCache();
    virtual bool Valid() const;

    static void InvalidateAll();
    static void InvalidateAll(ErrorCluster* err);
    static void UpdateAll();
    static void UpdateAll(ErrorCluster* err);
    // One line per distinct failed name, then "...\n" when more failed than were kept.
    static TString RetrieveFailureList(ErrorCluster* err);

  protected:
    void UpdateFailureList(const char* name);

  private:
    static void ClearFailureList();

    AddressCache* ChainPrev;
    AddressCache* ChainNext;
    bool ValidState;

    enum { kFailureSlots = 10 };
    static AddressCache* ChainStart;
    static TString FailureList[kFailureSlots];
    static int32_t FailureCounter;
};
