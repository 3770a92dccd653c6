// Where the music module is found: the working directory first, then beside the
// executable, then the installed data folder (fixed at build time, and as seen from the
// executable for a copy installed under another prefix).
#pragma once
#include <string>
#include <vector>

constexpr char kModuleName[] = "velkantoria.mod";

// The folders searched, in order; "" stands for the working directory.
std::vector<std::string> ModuleDirs();
// Replaces the folders ModuleDirs returns; an empty list restores the default ones.
void SetModuleDirs(const std::vector<std::string>& dirs);
// The module's path in the first folder that holds it as a readable regular file;
// empty when none does.
std::string LocateModule(const std::vector<std::string>& dirs);
// The line added to a failure: the file that was read when one was found, else the
// folders looked in ("velkantoria.mod looked for in: ./ (the working directory), /usr/bin/").
std::string ModuleSearchText(const std::vector<std::string>& dirs, const std::string& found);
