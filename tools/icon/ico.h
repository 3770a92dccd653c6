// Windows icons (.ico) made of PNG pictures, each kept as the PNG it is (Windows Vista and
// later read those), for the Windows edition's executables.
#pragma once
#include <string>
#include <vector>

namespace ico {

// The .ico file holding the given PNG files' bytes, in that order; empty with a message
// when one is not a PNG or not 1 to 256 pixels a side.
std::string Pack(const std::vector<std::string>& pngs, std::string& error);

} // namespace ico
