#include "FailingAllocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// The store's writer thread allocates beside the test's: only the armed thread counts.
std::atomic<long> allocationsLeft{-1};  // -1: disarmed
std::atomic<bool> failed{false};
std::atomic<std::thread::id> armedThread{};

}  // namespace

namespace logo_files {

void FailAllocation(long index, std::thread::id thread) {
    failed = false;
    armedThread = thread;
    allocationsLeft = index;
}

bool StopFailing() {
    allocationsLeft = -1;
    return failed;
}

}  // namespace logo_files

void* operator new(std::size_t size) {
    if (allocationsLeft.load() >= 0 && std::this_thread::get_id() == armedThread.load() &&
        allocationsLeft.fetch_sub(1) == 0) {
        failed = true;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}

void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
