#pragma once

// Test-only replacement of the global operator new (defined in FailingAllocation.cpp): while
// armed, the allocation with the given index throws std::bad_alloc, every other one succeeds.

namespace logo_files {

// Arms the failure of allocation number `index` (0 is the next one).
void FailAllocation(long index);
// Disarms; true when the armed allocation did fail.
bool StopFailing();

}  // namespace logo_files
