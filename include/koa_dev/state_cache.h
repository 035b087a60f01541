#pragma once

#include <koa_dev/export.h>
#include <koa_dev/tarray.h>
#include <koa_dev/tstring.h>
#include <koa_dev/tstring_array.h>

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

// The library holds the only instantiations.
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<char>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<unsigned char>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<short>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<unsigned short>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<LV_int32>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<LV_uInt32>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<float>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<double>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<bool>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<TString>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<TArray<char, 1, LV_int8Array**>>;
extern template class KOA_DEV_TEMPLATE_DECL
    Value_StateCache<TArray<unsigned char, 5, LV_uInt8Array**>>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<TArray<short, 2, LV_int16Array**>>;
extern template class KOA_DEV_TEMPLATE_DECL
    Value_StateCache<TArray<unsigned short, 6, LV_uInt16Array**>>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<TArray<LV_int32, 3, LV_int32Array**>>;
extern template class KOA_DEV_TEMPLATE_DECL
    Value_StateCache<TArray<LV_uInt32, 7, LV_uInt32Array**>>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<TArray<float, 9, LV_float32Array**>>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<TArray<double, 10, LV_float64Array**>>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<TArray<bool, 1, LV_boolArray**>>;
extern template class KOA_DEV_TEMPLATE_DECL Value_StateCache<TStringArray>;
