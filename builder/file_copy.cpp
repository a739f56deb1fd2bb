#include "builder/file_copy.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool CopyFileRefusingOverwrite(const QString& source, const QString& target)
{
    const fs::path from(source.toStdString());
    const fs::path to(target.toStdString());
    std::error_code error;
    // Only regular files are copied: a FIFO or a device would block or never end.
    if (!fs::is_regular_file(from, error)) {
        return false;
    }
    // The library copies through the kernel where it can, and fails when the target exists.
    if (!fs::copy_file(from, to, fs::copy_options::none, error)) {
        if (error != std::errc::file_exists) {
            fs::remove(to, error);
        }
        return false;
    }
    // The copy keeps the picture's own date, which the book records for each file.
    const fs::file_time_type written = fs::last_write_time(from, error);
    if (!error) {
        fs::last_write_time(to, written, error);
    }
    return true;
}
