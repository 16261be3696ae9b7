#include "FailingAllocation.h"

#include <cstdlib>
#include <new>

namespace {
// -1: never fail; otherwise the number of allocations still allowed on this thread.
thread_local int allowed = -1;
thread_local bool reached = false;
}  // namespace

FailingAllocation::FailingAllocation(int succeeding) {
    allowed = succeeding;
    reached = false;
}

FailingAllocation::~FailingAllocation() {
    allowed = -1;
}

bool FailingAllocation::Reached() const {
    return reached;
}

void* operator new(std::size_t size) {
    if (allowed == 0) {
        reached = true;
        allowed = -1;  // one failure per arming, so the handler's own recovery can allocate
        throw std::bad_alloc();
    }
    if (allowed > 0) --allowed;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

// Replaced too, so that every allocation the deletes above may free came from malloc.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
