// A failure that stops the program prints its message where it always did; a program with
// no console to read it in (the Windows window program) shows it to the user as well.
#pragma once
#include <string>

// Called with the whole message of a failure just before the program stops.
using FailureNotice = void (*)(const std::string& text);
// None by default; failure_box_windows.cpp sets one in the Windows window program.
void SetFailureNotice(FailureNotice notice);
// Hands text to the notice, if one is set.
void NoticeFailure(const std::string& text);
