// Writing a file so that a reader sees either the old contents or the new, never a part.
#pragma once

#include <string>
#include <string_view>

namespace ostravel {

// Writes bytes to a temporary file in the same folder, flushes it and renames it over path.
// The new file gets the permission bits of the file it replaces (0644 less the umask for a
// new one). False when anything failed; path is then unchanged and no temporary file is left.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// Writes bytes into the spare file beside path (".name.spare", owner only) and then exchanges
// the two names in one step, so that a reader sees the old contents or the new, and the old
// file becomes the spare of the next write. Once both exist no file is made or removed, which
// spares the file system an inode for every answer file of the gateway. False when anything
// failed; path is then unchanged.
bool ReplaceFileKeepingSpare(const std::string& path, std::string_view bytes);

}  // namespace ostravel
