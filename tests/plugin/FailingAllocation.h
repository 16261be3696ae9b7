#pragma once

// Makes operator new fail on the calling thread only, after a number of allocations, so a test
// can reach every allocation of one call in turn without disturbing other threads.
class FailingAllocation {
public:
    // The allocation after `succeeding` more allocations throws std::bad_alloc.
    explicit FailingAllocation(int succeeding);
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;

    // Whether the failure was reached (false: the call made fewer allocations).
    bool Reached() const;
};
