// Environment variables, where SDL reads its settings: setenv and unsetenv on POSIX
// systems (environment_posix.cpp), _putenv_s on Windows (environment_windows.cpp).
#pragma once

// Sets name to value; an existing value is kept unless overwrite.
void SetEnv(const char* name, const char* value, bool overwrite);
void UnsetEnv(const char* name);
