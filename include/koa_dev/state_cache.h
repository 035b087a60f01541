#pragma once

#include <koa_dev/export.h>
#include <koa_dev/tstring.h>

#include <cstdint>
#include <type_traits>

class ErrorCluster;

// A validity flag that takes part in the process-wide invalidation of cached device state. Every
// live instance is linked into one chain, newest first; a cache is in force only while its own
// flag and the process-wide switch are both set.
class KOA_DEV_API StateCache {
  public:
    StateCache();
    StateCache(const StateCache&) = delete;
    StateCache& operator=(const StateCache&) = delete;
    virtual ~StateCache();

    bool Valid() const { return ValidState && GlobalEnable; }
    bool ValueValid() const { return ValidState; }
    // Both setters return what Valid() answered before the change.
    bool Valid(bool state);
    bool Valid(ErrorCluster* err);

    static bool CacheEnable();
    static bool CacheEnable(bool enable);
    static void InvalidateAll();

  private:
    StateCache* ChainPrev;
    StateCache* ChainNext;
    bool ValidState;

    static bool GlobalEnable;
    static StateCache* ChainStart;
};

// One cached value with its validity. Valid(value) compares instead of setting: the setters of
// StateCache are hidden here, so that a cache of bool cannot set its flag by mistake. Callers set
// the flag through Update, Invalidate, or a StateCache reference.
template <typename T> class Value_StateCache : public StateCache {
  public:
    Value_StateCache();
    ~Value_StateCache() override;

    bool Valid() const;
    bool ValueValid() const;
    bool Valid(const T& value) const;
    // Without this, a cluster pointer would convert to bool and be compared in a cache of bool.
    template <typename E,
              typename = std::enable_if_t<std::is_same_v<std::remove_cv_t<E>, ErrorCluster>>>
    bool Valid(E* err) const = delete;

    bool Update(ErrorCluster* err, const T& value);
    const T& Value() const;
    void Invalidate();

  private:
    T CachedValue;
};

// The library holds the only instantiations. Their members are all out of line: MinGW exports no
// inline member of an explicit instantiation, and callers would fail to link against it.
#if !defined(KOA_DEV_INSTANTIATING_VALUE_STATE_CACHE)
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<char>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<unsigned char>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<short>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<unsigned short>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<int32_t>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<uint32_t>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<float>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<double>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<bool>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<TString>;
#endif
