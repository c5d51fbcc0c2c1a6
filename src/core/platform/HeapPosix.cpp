#include <malloc.h>

#include "core/platform/Heap.h"

namespace Platform {

void KeepOneHeap() {
#ifdef M_ARENA_MAX
    mallopt(M_ARENA_MAX, 1);
#endif
}

}  // namespace Platform
