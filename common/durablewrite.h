#pragma once

#include <cstddef>

namespace DurableFile {

// Writes `size` bytes as the whole of the file `path` without Qt, the way
// DurableFile::write does (durablefile.h): under a hidden temporary name in
// the same folder, flushed, renamed, the folder flushed. Returns 0, or the
// errno of the failure (nothing then changed at `path`).
int writeWhole(const char* path, const char* data, size_t size);

} // namespace DurableFile
