// --watch: when to read the shown file again.
#pragma once

#include <cstdint>
#include <string>

// What the viewer compares to notice a rewrite: a finished write changes the time stamp or the
// size, even on a file system that keeps whole seconds.
struct FileStamp {
    bool exists = false;
    std::int64_t modified = 0; // nanoseconds since the epoch
    std::int64_t size = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp fileStamp(const std::string& path);

// Looks once a second. A stamp unlike the one last read means a new read, whether or not that
// read works: a half-written file that fails is read again when the writer changes it once more,
// and the model on screen stays until then. A file that is gone (an editor saving by renaming)
// is waited for, not read.
class ReloadWatch {
  public:
    // The file was read (or its read failed) with this stamp, at `now` seconds.
    void read(double now, const FileStamp& stamp);
    bool due(double now) const { return now - lastLook >= 1.0; }
    // Records the look; true when the file should be read again.
    bool look(double now, const FileStamp& stamp);

  private:
    double lastLook = 0.0;
    FileStamp lastRead;
};
