#include "modplayer/mod_errors.h"

namespace {

constexpr float kOwnVersion = 3.74f;

float OwnVersion() {
    return kOwnVersion;
}

VersionSource version_source = OwnVersion;
int last_error = kModOk;

} // namespace

signed char ModFail(int code) {
    last_error = code;
    return 0;
}

FMUSIC_MODULE* ModFailLoad(int code) {
    last_error = code;
    return nullptr;
}

void ModSucceed() {
    last_error = kModOk;
}

void ModSetVersionSource(VersionSource source) {
    version_source = source ? source : OwnVersion;
}

float FSOUND_GetVersion() {
    return version_source();
}

int FSOUND_GetError() {
    return last_error;
}
