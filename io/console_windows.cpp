#include "io/console.h"

#include <windows.h>

#include <algorithm>
#include <iostream>
#include <streambuf>

#include "io/console_windows.h"
#include "text/utf8.h"
#include "text/wide.h"

namespace moravel {

bool isConsole(void* handle) {
    DWORD mode = 0;
    return handle && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

bool writeToConsole(void* handle, std::string_view text) {
    const std::wstring wide = toWide(text);
    for (std::size_t done = 0; done < wide.size();) {
        std::size_t chunk = std::min<std::size_t>(wide.size() - done, 8192);
        if (chunk > 1 && done + chunk < wide.size() && IS_HIGH_SURROGATE(wide[done + chunk - 1]))
            --chunk;  // a surrogate pair in one write
        DWORD written = 0;
        if (!WriteConsoleW(handle, wide.data() + done, static_cast<DWORD>(chunk), &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

namespace {

// Collects what is written and hands it to the console at each flush, whole characters only
// (a character cut by the buffer's end waits for its other bytes).
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}
    ~ConsoleBuffer() override {
        sync();
        writeToConsole(console_, pending_);  // a character never finished, as the replacement character
    }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return sync() == 0 ? traits_type::not_eof(c) : c;
        pending_ += traits_type::to_char_type(c);
        if (pending_.size() >= kFlushAt && sync() != 0) return traits_type::eof();
        return c;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<std::size_t>(count));
        if (pending_.size() >= kFlushAt && sync() != 0) return 0;
        return count;
    }
    int sync() override {
        const std::size_t complete = completeUtf8Length(pending_);
        const bool written = writeToConsole(console_, std::string_view(pending_).substr(0, complete));
        pending_.erase(0, complete);
        return written ? 0 : -1;
    }

private:
    static constexpr std::size_t kFlushAt = 1 << 16;
    HANDLE console_;
    std::string pending_;
};

}  // namespace

struct ConsoleStreams::Redirection {
    Redirection(std::ostream& redirected, HANDLE console) : stream(redirected), buffer(console) {
        stream.flush();
        replaced = stream.rdbuf(&buffer);
    }
    ~Redirection() {
        stream.flush();
        stream.rdbuf(replaced);
    }
    Redirection(const Redirection&) = delete;
    Redirection& operator=(const Redirection&) = delete;

    std::ostream& stream;
    ConsoleBuffer buffer;
    std::streambuf* replaced = nullptr;
};

namespace {

std::unique_ptr<ConsoleStreams::Redirection> redirectIfConsole(std::ostream& stream, DWORD which) {
    HANDLE handle = GetStdHandle(which);
    if (!isConsole(handle)) return nullptr;
    return std::make_unique<ConsoleStreams::Redirection>(stream, handle);
}

}  // namespace

ConsoleStreams::ConsoleStreams()
    : out_(redirectIfConsole(std::cout, STD_OUTPUT_HANDLE)), err_(redirectIfConsole(std::cerr, STD_ERROR_HANDLE)) {}

ConsoleStreams::~ConsoleStreams() = default;

}  // namespace moravel
