// The page has no file system: the module is fetched from the page's own folder before the
// show starts, so that folder is the one place there is to look.
#include "sound/module_search.h"

std::vector<std::string> ModuleDirs() {
    return {""};
}

void SetModuleDirs(const std::vector<std::string>&) {}

std::string LocateModule(const std::vector<std::string>&) {
    return kModuleName;
}

std::string ModuleSearchText(const std::vector<std::string>&, const std::string& found) {
    return std::string(kModuleName) + " read from: " + found + " beside the page";
}
