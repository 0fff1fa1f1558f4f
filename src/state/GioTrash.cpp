#include "GioTrash.h"

#include <gio/gio.h>

namespace plenvo {

bool GioTrash::moveToTrash(const std::string& path)
{
    if (path.empty() || path.front() != '/')
        return false; // only absolute locations: never resolve against the working folder
    GFile* file = g_file_new_for_path(path.c_str());
    GError* error = nullptr;
    const bool moved = g_file_trash(file, nullptr, &error);
    g_clear_error(&error);
    g_object_unref(file);
    return moved;
}

} // namespace plenvo
