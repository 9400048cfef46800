// The running process's memory, for the benchmarks that check it stays flat over a long run.
#pragma once

namespace vr410::bench {

// The resident size in KB (/proc/self/statm); 0 when it cannot be read.
long ResidentKb();

// The bytes the program holds on the heap, in KB: AddressSanitizer's count under the sanitizer,
// the C library's (mallinfo2) with glibc; -1 where neither tells. A leak shows here even when
// the resident size hides it, and memory the allocator keeps for later use does not.
long HeapKb();

// Prints the blocks held on the heap grouped by the place that allocated them, largest first,
// to stderr: under AddressSanitizer, which keeps every block's allocation stack; elsewhere only a
// line saying so. Two runs of different lengths side by side show what grows.
void PrintHeapProfile();

// True under AddressSanitizer, whose shadow memory and allocator caches grow the resident size
// with the heap's churn: there the heap, not the resident size, tells whether memory grows.
constexpr bool UnderAddressSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

} // namespace vr410::bench
