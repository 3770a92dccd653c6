// The folder of the running program's own file, where the build puts what belongs beside it:
// from /proc/self/exe on Linux (executable_dir_linux.cpp), from Windows' record of the
// loaded program on Windows (executable_dir_windows.cpp).
#pragma once
#include <string>

// Empty when the system cannot tell.
std::string ExecutableDir();
