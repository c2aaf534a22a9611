// Where F12 writes, in the demo and in the viewer: a new file in the working directory.
#pragma once

#include <cstdio>
#include <string>

// Opens velmora-YYYYMMDD-HHMMSS.png (local time) for writing, with "-2" up to "-999" before
// ".png" when the name exists: the name is claimed atomically, so no file is ever overwritten.
// Null when none could be made, with *failure the status bar's text saying why.
std::FILE* openScreenshotFile(std::string* name, std::string* failure);
// Closes it and returns the status bar's text: "Saved NAME", or why it failed (the file is
// then removed). `written`: the PNG went out whole; `writeError`: errno after writing it.
std::string closeScreenshotFile(std::FILE* file, const std::string& name, bool written,
                                int writeError);
