// Output files that appear whole or not at all: each is written under a name of its own
// beside the file and renamed to it once complete, so a failed or interrupted run leaves no
// partial file (and an older file of that name stays as it was).
#pragma once
#include <string>

namespace capture {

// "FILE.partial": where FILE is written until it is complete.
std::string PartialName(const std::string& file);
// Proves before a long run that FILE can be written: a file can be made beside it and FILE
// is not a folder. False with a message.
bool CheckWritable(const std::string& file, std::string& error);
// Renames the complete partial file to FILE. False with a message.
bool Commit(const std::string& file, std::string& error);
// Full path of ffmpeg on PATH; empty with a message naming what needs it when there is none.
std::string NeedFfmpeg(const std::string& what, std::string& error);

} // namespace capture
