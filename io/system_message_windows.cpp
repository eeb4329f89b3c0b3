#include "io/system_message_windows.h"

#include <windows.h>

#include "text/wide.h"

namespace moravel {

std::string systemMessage(unsigned long code, void* module) {
    wchar_t text[512] = L"";
    const DWORD source = FORMAT_MESSAGE_FROM_SYSTEM | (module ? FORMAT_MESSAGE_FROM_HMODULE : 0);
    DWORD length = FormatMessageW(source | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                  static_cast<HMODULE>(module), code, 0, text, sizeof text / sizeof *text, nullptr);
    while (length > 0 && (text[length - 1] == L' ' || text[length - 1] == L'.' || text[length - 1] == L'\r' ||
                          text[length - 1] == L'\n'))
        --length;
    return toUtf8(text, length);
}

}  // namespace moravel
