// Writing a file so that a reader sees either the old contents or the new, never a part.
#pragma once

#include <string>
#include <string_view>

namespace ostravel {

// Writes bytes to a temporary file in the same folder, flushes it and renames it over path.
// The new file gets the permission bits of the file it replaces (0644 less the umask for a
// new one). False when anything failed; path is then unchanged and no temporary file is left.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace ostravel
