#include "system/environment.h"

#include <cstdlib>

void SetEnv(const char* name, const char* value, bool overwrite) {
    if (!overwrite && std::getenv(name) != nullptr) return;
    _putenv_s(name, value);
}

// An empty value removes the variable on Windows.
void UnsetEnv(const char* name) {
    _putenv_s(name, "");
}
