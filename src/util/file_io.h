#pragma once
// Whole-file reading and safe writing.

#include <string>

namespace lirovox {

// Reads the whole file as bytes. Throws Error naming the file when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Writes `bytes` to `path` safely: to a temporary file in the same folder, flushed to
// disk, then renamed over the target. On any failure the target is untouched, the
// temporary file is removed and Error is thrown naming the file.
void WriteFileAtomically(const std::string& path, const std::string& bytes);

// The path with links and relative parts resolved, for deciding whether two names are
// the same file. A path that does not exist yet resolves through its folder.
std::string ResolvePath(const std::string& path);

}  // namespace lirovox
