#include "common/process_memory.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>

#if defined(__SANITIZE_ADDRESS__)
#include <cstddef>
// The sanitizer's allocator statistics (sanitizer/allocator_interface.h, not always installed).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
extern "C" void __sanitizer_print_memory_profile(size_t top_percent, size_t max_contexts);
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vr410::bench {

long ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long HeapKb() {
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#elif defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33)
    const struct mallinfo2 info = mallinfo2();
    // Small blocks in use plus the large ones mapped on their own.
    return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
#else
    return -1;
#endif
}

void PrintHeapProfile() {
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_print_memory_profile(100, 60);
#else
    std::fprintf(stderr, "heap profile: only under AddressSanitizer (the debug preset)\n");
#endif
}

} // namespace vr410::bench
