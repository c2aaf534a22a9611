#include "view/watch.h"

#include <sys/stat.h>

FileStamp fileStamp(const std::string& path) {
    struct stat s {};
    if (stat(path.c_str(), &s) != 0) {
        return FileStamp{};
    }
    return FileStamp{true, std::int64_t{s.st_mtim.tv_sec} * 1000000000 + s.st_mtim.tv_nsec,
                     std::int64_t{s.st_size}};
}

void ReloadWatch::read(double now, const FileStamp& stamp) {
    lastLook = now;
    lastRead = stamp;
}

bool ReloadWatch::look(double now, const FileStamp& stamp) {
    lastLook = now;
    return stamp.exists && !(stamp == lastRead);
}
