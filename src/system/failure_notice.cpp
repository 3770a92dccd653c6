#include "system/failure_notice.h"

namespace {
FailureNotice current = nullptr;
} // namespace

void SetFailureNotice(FailureNotice notice) {
    current = notice;
}

void NoticeFailure(const std::string& text) {
    if (current != nullptr) current(text);
}
