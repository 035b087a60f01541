#pragma once

#include <koa_dev/error_cluster.h>
#include <koa_dev/lv_arrays.h>

#include "core/lv_manager.h"

#include <cstddef>

namespace koa::arrays {

// Frees a LabVIEW handle together with the handles it holds. Results are not reported: this
// only runs to clean up after a failure that is already recorded.
inline void Release(void* h) {
    if (h != nullptr)
        DSDisposeHandle(h);
}

inline void Release(LV_stringArray** h) {
    if (h == nullptr)
        return;
    for (int32_t i = 0; i < (*h)->dimSize; ++i)
        Release((*h)->elt[i]);
    DSDisposeHandle(h);
}

// Number of elements of an array record behind h, 0 for a null handle.
template <typename Record> int32_t ElementCount(Record** h) {
    return h != nullptr && (*h)->dimSize > 0 ? (*h)->dimSize : 0;
}

// Writes count elements into the LabVIEW array of handles *h, reusing the element handles it
// already holds in place. drop(err, slot) empties and frees a surplus element handle (recording
// any failure in err); write(err, i, slot) writes element i into slot, creating the handle when
// the slot is null.
//
// dimSize always counts the elements the record really holds: surplus handles are dropped from
// the end, before the array shrinks, and each written element is counted once it is complete.
// After a failure, handles past dimSize are released so that none is left outside the count.
template <typename Record, typename Drop, typename Write>
void WriteHandleArray(ErrorCluster* err, Record*** h, int count, Drop drop, Write write) {
    if (err->FatalStatus())
        return;
    if (h == nullptr) {
        err->SetFatal(kLvArgumentError);
        return;
    }
    const int32_t old = ElementCount(*h);
    for (int32_t i = old; i > count; --i) {
        auto& slot = (**h)->elt[i - 1];
        if (slot != nullptr) {
            drop(err, slot);
            if (err->FatalStatus())
                return;
        }
        slot = nullptr;
        (**h)->dimSize = i - 1;
    }
    const int32_t result = NumericArrayResize(kLvHandleTypeCode, 1, h, static_cast<size_t>(count));
    if (result != 0) {
        err->SetFatal(result);
        return;
    }
    for (int i = old; i < count; ++i)
        (**h)->elt[i] = nullptr;
    (**h)->dimSize = 0;
    for (int i = 0; i < count && !err->FatalStatus(); ++i) {
        write(err, i, (**h)->elt[i]);
        if (!err->FatalStatus())
            ++(**h)->dimSize;
    }
    for (int i = (**h)->dimSize; i < count; ++i) {
        Release((**h)->elt[i]);
        (**h)->elt[i] = nullptr;
    }
}

} // namespace koa::arrays
