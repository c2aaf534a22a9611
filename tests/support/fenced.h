// Bytes laid against an unreadable page, so that a read of one byte past their end (or before
// their start) faults in any build, not only under a sanitizer.
#pragma once

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

struct Fenced {
    std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)), span = 0;
    char* base = nullptr;
    char* data = nullptr;
    // `before`: the unreadable page comes right before the bytes instead.
    Fenced(const void* bytes, std::size_t size, bool before = false) {
        span = (size / page + 2) * page;
        void* m = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        base = static_cast<char*>(m);
        char* fence = before ? base : base + span - page;
        ::mprotect(fence, page, PROT_NONE);
        data = static_cast<char*>(std::memcpy(before ? fence + page : fence - size, bytes, size));
    }
    Fenced(const Fenced&) = delete;
    Fenced& operator=(const Fenced&) = delete;
    ~Fenced() { ::munmap(base, span); }
};
