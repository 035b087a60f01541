#pragma once

#include <koa_dev/error_cluster.h>

#include "core/lv_manager.h"
#include "core/memory.h"

#include <new>
#include <stdexcept>
#include <type_traits>

#if !defined(_WIN32)
#include <cxxabi.h>
#endif

namespace koa {

// LabVIEW's "generic error": what an exception other than a lack of memory becomes.
constexpr int32_t kLvGenericError = 42;

// Runs work, noting a lack of memory: false when work threw or a value it built could not get
// its memory. err, when there is one, then has a fatal code: LabVIEW's "memory full" for memory,
// recorded at once (see memory::FailureScope), its "generic error" for any other exception. The
// failure is counted as a value's would be, so that an operation around this one fails too.
template <typename Work> bool RunGuarded(ErrorCluster* err, Work&& work) {
    const unsigned long failures = memory::Failures();
    const memory::FailureScope scope(err);
    try {
        work();
        return memory::Failures() == failures;
#if !defined(_WIN32)
    } catch (abi::__forced_unwind&) {
        throw; // a cancelled thread keeps unwinding
#endif
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    } catch (...) {
        if (err != nullptr)
            err->SetFatal(kLvGenericError);
    }
    memory::NoteFailure();
    return false;
}

template <typename Result, typename Body> Result GuardedValue(ErrorCluster* err, Body& body) {
    Result result{};
    if (!RunGuarded(err, [&] { result = body(); }))
        result = Result();
    return result;
}

// Runs body, the work of an exported operation, so that no exception leaves the library and a
// lack of memory is reported (see RunGuarded). On failure the operation gives its neutral result,
// a value-initialised one. The result is returned without another copy, so that it cannot come
// out short after the check.
template <typename Body> auto Guarded(ErrorCluster* err, Body&& body) -> decltype(body()) {
    using Result = decltype(body());
    if constexpr (std::is_void_v<Result>)
        RunGuarded(err, body);
    else
        return GuardedValue<Result>(err, body);
}

} // namespace koa
