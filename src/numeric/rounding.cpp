#include <koa_dev/numeric.h>

#include <cmath>
#include <limits>

namespace {

// Compares as doubles before converting, so that no out-of-range value (nor NaN or an
// infinity) ever reaches the conversion.
template <typename R> R RoundSaturated(double x) {
    constexpr double lower = static_cast<double>(std::numeric_limits<R>::min());
    constexpr double upper = static_cast<double>(std::numeric_limits<R>::max());
    const double r = x > 0.0 ? std::floor(x + 0.5) : std::ceil(x - 0.5);
    if (std::isnan(r) || r < lower)
        return std::numeric_limits<R>::min();
    if (r <= upper)
        return static_cast<R>(r);
    return std::numeric_limits<R>::max();
}

} // namespace

unsigned char uInt8Round(double x) {
    return RoundSaturated<unsigned char>(x);
}
char int8Round(double x) {
    return RoundSaturated<char>(x);
}
unsigned short uInt16Round(double x) {
    return RoundSaturated<unsigned short>(x);
}
short int16Round(double x) {
    return RoundSaturated<short>(x);
}
LV_uInt32 uInt32Round(double x) {
    return RoundSaturated<LV_uInt32>(x);
}
LV_int32 int32Round(double x) {
    return RoundSaturated<LV_int32>(x);
}
