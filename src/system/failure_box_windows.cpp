// Linked into the Windows window program only: it has no console, so a failure's message
// also goes into a message box, and the program stops once the user has read it.
#include <windows.h>

#include <string>

#include "system/failure_notice.h"

namespace {

// The messages are UTF-8 (or plain ASCII); anything else is read in the ANSI code page.
std::wstring Wide(const std::string& text) {
    for (const UINT code_page : {static_cast<UINT>(CP_UTF8), static_cast<UINT>(CP_ACP)}) {
        const DWORD flags = code_page == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
        const int n =
            MultiByteToWideChar(code_page, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
        if (n <= 0) continue;
        std::wstring wide(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(code_page, flags, text.data(), static_cast<int>(text.size()), wide.data(), n);
        return wide;
    }
    return L"";
}

void ShowBox(const std::string& text) {
    MessageBoxW(nullptr, Wide(text).c_str(), L"Zarvelin PC", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

struct Install {
    Install() { SetFailureNotice(ShowBox); }
} install;

} // namespace
