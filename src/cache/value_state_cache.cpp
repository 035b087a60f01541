#include <koa_dev/error_cluster.h>
#include <koa_dev/state_cache.h>

#include <cmath>
#include <cstring>

namespace {

template <typename T> bool SameValue(const T& a, const T& b) {
    return a == b;
}

// Measurements that came back as NaN match anything: a NaN never invalidates a comparison.
template <> bool SameValue(const float& a, const float& b) {
    return std::isnan(a) || std::isnan(b) || a == b;
}
template <> bool SameValue(const double& a, const double& b) {
    return std::isnan(a) || std::isnan(b) || a == b;
}

// A bool that came from LabVIEW memory may hold any byte: compare what is stored.
template <> bool SameValue(const bool& a, const bool& b) {
    unsigned char x, y;
    std::memcpy(&x, &a, 1);
    std::memcpy(&y, &b, 1);
    return x == y;
}

} // namespace

template <typename T> Value_StateCache<T>::Value_StateCache() : CachedValue() {}

template <typename T> Value_StateCache<T>::~Value_StateCache() = default;

template <typename T> bool Value_StateCache<T>::Valid() const {
    return StateCache::Valid();
}

template <typename T> bool Value_StateCache<T>::ValueValid() const {
    return StateCache::ValueValid();
}

template <typename T> bool Value_StateCache<T>::Valid(const T& value) const {
    return Valid() && SameValue(CachedValue, value);
}

template <typename T> bool Value_StateCache<T>::Update(ErrorCluster* err, const T& value) {
    CachedValue = value;
    return StateCache::Valid(err);
}

template <typename T> const T& Value_StateCache<T>::Value() const {
    return CachedValue;
}

template <typename T> void Value_StateCache<T>::Invalidate() {
    StateCache::Valid(false);
}

template class KOA_DEV_TEMPLATE_DEF Value_StateCache<char>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<unsigned char>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<short>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<unsigned short>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<LV_int32>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<LV_uInt32>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<float>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<double>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<bool>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<TString>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<TArray<char, 1, LV_int8Array**>>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<TArray<unsigned char, 5, LV_uInt8Array**>>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<TArray<short, 2, LV_int16Array**>>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<TArray<unsigned short, 6, LV_uInt16Array**>>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<TArray<LV_int32, 3, LV_int32Array**>>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<TArray<LV_uInt32, 7, LV_uInt32Array**>>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<TArray<float, 9, LV_float32Array**>>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<TArray<double, 10, LV_float64Array**>>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<TArray<bool, 1, LV_boolArray**>>;
template class KOA_DEV_TEMPLATE_DEF Value_StateCache<TStringArray>;
