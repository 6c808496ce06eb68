// Which file a path names, for telling whether a run would write over a file it reads.
//
// Two paths name the same file when they reach the same device and inode, whatever way they are
// written ("a.fas", "./a.fas", "../dir/a.fas", a symbolic link, a hard link). A path that names
// no file yet is known by where it would be created: its folder, known the same way, and its
// name.
#pragma once

#include <string>

namespace selvane {

// The file an output written to `path` replaces or creates: `path` itself, or, when `path` is a
// symbolic link, the file the link (or the chain of links) points to, which may not exist yet.
// A chain too long to be real (a loop) is returned as it stands; opening it will fail.
std::string write_target(const std::string& path);

// Whether `target` is a file a writer replaces: a regular file, or none yet. A device or a named
// pipe (an output sent to /dev/null, or to a program reading a FIFO) is written into instead.
bool replaceable(const std::string& target);

// A key that two paths share exactly when they name the same file: "device:inode" for a file
// that exists; for one that does not, "device:inode/name" of the folder it would be created in,
// or, when that folder does not exist either, its normalised absolute path.
std::string file_identity(const std::string& path);

}  // namespace selvane
