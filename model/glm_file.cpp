// Where the readers get a file's bytes: the file system (mapped where it can be) or a source a
// program or test puts in its place.
#include "model/glm.h"

#include "model/glm_scan.h"

#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace glm_detail;

namespace {

// One source per process, set by a program or test before reading; null reads the file system.
GlmFileSource fileSource = nullptr;
void* sourceContext = nullptr;

} // namespace

void glmSetFileSource(GlmFileSource source, void* context) {
    fileSource = source;
    sourceContext = context;
}

namespace glm_detail {

FileBytes::~FileBytes() {
    if (mapped_ != nullptr) {
        ::munmap(mapped_, size_);
    }
}

bool FileBytes::open(const char* path) {
    if (fileSource != nullptr) {
        if (!fileSource(sourceContext, path, &copy_)) {
            return false;
        }
        data_ = copy_.data();
        size_ = copy_.size();
        return true;
    }
    // Not blocking: a FIFO without a writer must not hang the open. Only regular files are
    // read; a device such as /dev/zero would never end.
    int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    // A regular file is mapped, not copied: the scans read the page cache directly.
    if (S_ISREG(info.st_mode) && info.st_size > 0) {
        std::size_t size = static_cast<std::size_t>(info.st_size);
        void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (mapped != MAP_FAILED) {
            ::close(fd);
            mapped_ = mapped;
            data_ = static_cast<const char*>(mapped);
            size_ = size;
            return true;
        }
    }
    // An empty file, or one that will not map (as in /proc), is read to its end.
    char chunk[65536];
    for (;;) {
        ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            ::close(fd);
            return false;
        }
        if (got == 0) {
            break;
        }
        copy_.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(fd);
    data_ = copy_.data();
    size_ = copy_.size();
    return true;
}

} // namespace glm_detail
