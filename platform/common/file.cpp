// The file stream's position is ours on every system: reads and writes go to an offset, so a
// seek never touches the system's file pointer.
#include "platform/file.h"

namespace platform {

bool TFileStream::Seek(int64_t position) {
    if (position < 0) return false;
    FPosition = position;
    return true;
}

bool TFileStream::Write(const void* data, size_t count) {
    if (!WriteAt(FPosition, data, count)) return false;
    FPosition += static_cast<int64_t>(count);
    return true;
}

}  // namespace platform
