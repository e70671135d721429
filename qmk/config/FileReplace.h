#pragma once
// Writing a file whole, through the symbolic links that name it, so that a crash never leaves it
// empty or half written.
#include <string>
#include <string_view>

namespace qmk::config {

// The file a chain of symbolic links at path ends in, or path itself when it is no link; a
// relative link is taken from the link's folder. The file itself need not exist. Throws
// std::runtime_error for a link that cannot be read or a chain of more than 40 links (a loop).
std::string linkTarget(const std::string& path);

// Replaces the content of the file that path names (linkTarget; the links stay as they are) with
// text. The text is written to "<target>.new" in the target's folder, flushed to the disk and
// renamed over the target, so the target holds either its old content or the new one. The target
// keeps its permission bits; a new one gets the mode of any new file (0666 less the umask).
// When the folder refuses "<target>.new" for permission (EACCES, EPERM) and the target is a plain
// file, the target itself is emptied, written and flushed to the disk instead; any other failure
// to make it (a full disk, a quota, a read-only file system) is thrown. Throws
// std::runtime_error ("cannot write <file>: <reason>", "cannot replace <file>: <reason>") with
// the target left as it was, except that a failed write into the target itself leaves it as far
// as it was written.
void replaceFile(const std::string& path, std::string_view text);

// Makes the file at path, which must not exist, for writing with mode (less the umask): its
// descriptor, or -1 with errno set.
using CreateNew = int (*)(const char* path, unsigned mode);

// replaceFile with createNew making "<target>.new" (a test puts a failing disk in its place).
void replaceFile(const std::string& path, std::string_view text, CreateNew createNew);

} // namespace qmk::config
