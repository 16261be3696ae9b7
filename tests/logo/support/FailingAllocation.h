#pragma once

// Test-only replacement of the global operator new (defined in FailingAllocation.cpp): while
// armed, the allocation with the given index made on the given thread throws std::bad_alloc;
// every other one succeeds, on that thread and on every other.

#include <thread>

namespace logo_files {

// Arms the failure of allocation number `index` (0 is the next one) of `thread`.
void FailAllocation(long index, std::thread::id thread = std::this_thread::get_id());
// Disarms; true when the armed allocation did fail.
bool StopFailing();

}  // namespace logo_files
