#include "system/environment.h"

#include <cstdlib>

void SetEnv(const char* name, const char* value, bool overwrite) {
    setenv(name, value, overwrite ? 1 : 0);
}

void UnsetEnv(const char* name) {
    unsetenv(name);
}
