// Replacing a file whole: the new content is written to a temporary file
// beside it, flushed to the disk, then moved over the old one, so a crash or a
// full disk leaves either the old file or the new one, never a part of either.
#pragma once

#include <cstdio>
#include <string>

// The temporary file's name for `path`, in the same folder.
std::string ReplacementPath(const std::string& path);
// Flushes the stream's buffers and asks the system to write its data to the
// disk. The stream stays open.
bool FlushToDisk(std::FILE* file);
// Moves `from` over `to` in one step (the old `to` goes).
bool ReplaceFileWith(const std::string& from, const std::string& to);
