// moravel-probe: drives the Windows query layer and probes one step at a time, so the Wine tests
// can check them against the real platform.
//
//   moravel-probe query INDEX WQL PROPERTY   the text of one queryWmiText call, as "text=[...]"
//   moravel-probe version                    the version line and the notice decision
//   moravel-probe apartment                  two queries inside a toolkit-owned (STA) apartment
//   moravel-probe time CYCLES                cost of one query cycle per class, and of the inventory
//   moravel-probe probes                     the memory texts and the adapter address
//   moravel-probe variants                   platform VARIANTs of each type through the conversion
//   moravel-probe utf8                       wide/UTF-8 conversions
//   moravel-probe recorded SNAPSHOT          every value of a snapshot the way wmic prints it
//   moravel-probe console OUT PROGRAM ARGS   PROGRAM in a console of its own; what its screen shows
//   moravel-probe pipe NAME OUT PROGRAM ARGS what PROGRAM writes to the named pipe \\.\pipe\NAME
//   moravel-probe box TITLE OUT              the text of a message box, which is then closed
//   moravel-probe run COMMAND-LINE           a command line run exactly as given
//
// Diagnostic lines of the query layer go to standard output, as in the window program.
#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/startup_rules.h"
#include "io/process.h"
#include "providers/backends.h"
#include "providers/windows/probes_windows.h"
#include "providers/windows/variant_value.h"
#include "query/backend.h"
#include "query/snapshot/snapshot_data.h"
#include "query/snapshot/snapshot_provider.h"
#include "query/wmi_query.h"
#include "sections/collector.h"
#include "sections/sections.h"
#include "text/wide.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int query(moravel::QueryContext& context, char** argv) {
    std::string text = moravel::queryWmiText(context, std::atoi(argv[2]), argv[3], argv[4]);
    std::cout << "text=[" << text << "]" << std::endl;
    return 0;
}

// The window program's version test on its Windows numbers: the line it prints, then the verdict.
int version(moravel::SystemProbes& probes) {
    // As start-up asks: the probes' version, then the platform's own numbers.
    moravel::VersionVerdict verdict =
        moravel::judgeVersion(probes.osVersion(), moravel::windows::readWindowsVersion(), true);
    std::cout << moravel::versionLine(verdict.version) << "notice=" << (verdict.notice ? 1 : 0) << std::endl;
    return 0;
}

// The window program's thread holds an apartment of its own (the toolkit's OleInitialize).
// Queries must work inside it, and must leave it in place.
int apartment(moravel::QueryContext& context) {
    HRESULT first = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string a = moravel::queryWmiText(context, 0, "SELECT * FROM Win32_OperatingSystem", "Caption");
    std::string b = moravel::queryWmiText(context, 0, "SELECT * FROM Win32_OperatingSystem", "Caption");
    HRESULT again = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::cout << "first=" << (first == S_OK ? "S_OK" : "other") << std::endl
              << "text1=[" << a << "]" << std::endl
              << "text2=[" << b << "]" << std::endl
              << "apartment=" << (again == S_FALSE ? "kept" : "lost") << std::endl;
    if (SUCCEEDED(again)) CoUninitialize();
    if (SUCCEEDED(first)) CoUninitialize();
    return 0;
}

const char* const kClasses[] = {"Win32_ComputerSystem",
                                "Win32_MemoryArray",
                                "Win32_NetworkAdapter",
                                "Win32_NetworkAdapterConfiguration",
                                "Win32_BIOS",
                                "Win32_OperatingSystem",
                                "Win32_Processor",
                                "Win32_BaseBoard",
                                "Win32_MotherboardDevice",
                                "Win32_VideoController",
                                "Win32_DiskDrive",
                                "Win32_PhysicalMedia",
                                "Win32_LogicalDisk",
                                "Win32_CDROMDrive",
                                "Win32_SoundDevice",
                                "Win32_Battery",
                                "Win32_Printer"};

// The mean cost of one query cycle per class, then one whole inventory with its query count.
int timing(moravel::QueryContext& context, int cycles) {
    for (const char* className : kClasses) {
        std::string query = moravel::selectAllFrom(className);
        auto start = Clock::now();
        for (int i = 0; i < cycles; ++i) moravel::queryWmiText(context, 0, query, "Name");
        std::cout << "cycle_ms " << className << "=" << millisecondsSince(start) / cycles << std::endl;
    }
    context.queries = 0;
    moravel::ReportCollector report;
    auto start = Clock::now();
    moravel::buildAllGroups(context, report);
    double whole = millisecondsSince(start);
    std::cout << "inventory_ms=" << whole << std::endl << "queries=" << context.queries << std::endl;
    return 0;
}

int probes(moravel::SystemProbes& system) {
    moravel::MemoryTexts memory = moravel::readMemoryStatus(&system);
    std::cout << "available=[" << memory.available << "]" << std::endl
              << "load=[" << memory.load << "]" << std::endl
              << "address=[" << moravel::readAdapterAddress(&system) << "]" << std::endl;
    return 0;
}

void showVariant(const char* name, VARIANT& variant) {
    std::string text = moravel::valueToText(moravel::windows::toWmiValue(variant), std::cout);
    std::cout << name << "=[" << text << "]" << std::endl;
    VariantClear(&variant);
}

VARIANT variantOf(VARTYPE type) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = type;
    return v;
}

// Values of every row of the conversion table, made the way the platform makes them.
int variants() {
    VARIANT v = variantOf(VT_EMPTY);
    showVariant("empty", v);
    v = variantOf(VT_NULL);
    showVariant("null", v);
    v = variantOf(VT_I2), V_I2(&v) = -5;
    showVariant("i2", v);
    v = variantOf(VT_I4), V_I4(&v) = -1;
    showVariant("i4", v);
    v = variantOf(VT_DATE), V_DATE(&v) = 45000.5;
    showVariant("date", v);
    v = variantOf(VT_BSTR), V_BSTR(&v) = SysAllocStringLen(L"abc\0def", 7);
    showVariant("bstr", v);
    v = variantOf(VT_BSTR), V_BSTR(&v) = nullptr;
    showVariant("nullbstr", v);
    v = variantOf(VT_BOOL), V_BOOL(&v) = VARIANT_FALSE;
    showVariant("bool", v);
    v = variantOf(VT_UI4), V_UI4(&v) = 0x80000000u;
    showVariant("ui4", v);
    v = variantOf(VT_UI8), V_UI8(&v) = 0x100000005ull;
    showVariant("ui8", v);
    v = variantOf(VT_R8), V_R8(&v) = 2.5;
    showVariant("r8", v);
    v = variantOf(VT_ARRAY | VT_BSTR), V_ARRAY(&v) = SafeArrayCreateVector(VT_BSTR, 0, 2);
    showVariant("array", v);
    return 0;
}

void showBytes(const char* name, const std::string& text) {
    std::cout << name << "=";
    for (unsigned char c : text) std::cout << std::hex << static_cast<int>(c) << std::dec << ' ';
    std::cout << std::endl;
}

// The conversions at Windows' edges: wide text to UTF-8 and back, whatever the system code page.
int utf8() {
    using moravel::toUtf8;
    using moravel::toWide;
    showBytes("cut", toUtf8(L"Ab\0cd", 5));                  // stops at the first NUL
    showBytes("latin", toUtf8(L"\u00AE\u00E9", 2));          // registered sign, e acute
    showBytes("beyond", toUtf8(L"x\u4E2Dy\u2192", 4));       // letters no ANSI code page of the West has
    showBytes("pair", toUtf8(L"\U0001F600", 2));              // a character beyond the first 65536
    showBytes("lone", toUtf8(L"a\xD800" L"b", 3));             // a lone surrogate: the replacement character
    showBytes("bad", toUtf8(toWide("a\xFF")));               // a byte that begins no character
    const std::string names = "J\u00FCrgen \u0418\u0432\u0430\u043D\u043E\u0432";
    std::cout << "round=" << (toUtf8(toWide(names)) == names ? "same" : "changed") << std::endl;
    return 0;
}

// A program started with CreateProcessW, its handles closed when done.
class ChildProcess {
public:
    // `startup` as CreateProcessW takes it; standard handles marked in it are inherited.
    ChildProcess(const std::string& commandLine, STARTUPINFOW& startup) {
        std::wstring command = moravel::toWide(commandLine);
        const BOOL inherit = (startup.dwFlags & STARTF_USESTDHANDLES) ? TRUE : FALSE;
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, inherit, 0, nullptr, nullptr, &startup, &info_))
            info_ = {};
    }
    ~ChildProcess() {
        if (info_.hThread) CloseHandle(info_.hThread);
        if (info_.hProcess) CloseHandle(info_.hProcess);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    explicit operator bool() const { return info_.hProcess != nullptr; }
    int wait() const {
        WaitForSingleObject(info_.hProcess, INFINITE);
        DWORD status = 0;
        GetExitCodeProcess(info_.hProcess, &status);
        return static_cast<int>(status);
    }

private:
    PROCESS_INFORMATION info_{};
};

// One row of the console's screen, without the blanks that fill it.
std::wstring screenRow(HANDLE screen, SHORT row, SHORT width) {
    std::wstring text(static_cast<std::size_t>(width), L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(screen, text.data(), static_cast<DWORD>(width), COORD{0, row}, &read);
    text.resize(read);
    text.erase(text.find_last_not_of(L' ') + 1);
    return text;
}

// Runs a command line in a console of its own, as a person at a console runs it, then writes
// what the console's screen shows, one row a line, as UTF-8 to OUT; the program's status.
int console(const char* out, const std::string& commandLine) {
    FreeConsole();
    if (!AllocConsole()) return std::cerr << "no console" << std::endl, 1;
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                &inherited, OPEN_EXISTING, 0, nullptr);
    const SHORT width = 300, height = 3000;  // wide enough that no line wraps
    SetConsoleScreenBufferSize(screen, COORD{width, height});
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = startup.hStdError = screen;
    ChildProcess child(commandLine, startup);
    if (!child) return std::cerr << "cannot start " << commandLine << std::endl, 1;
    const int status = child.wait();
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(screen, &info);
    std::ofstream file(out, std::ios::binary);
    for (SHORT row = 0; row < info.dwCursorPosition.Y; ++row)
        file << moravel::toUtf8(screenRow(screen, row, width)) << '\n';
    CloseHandle(screen);
    return status;
}

// Runs a command line exactly as given, as Task Scheduler runs an action; the program's status.
int run(const std::string& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ChildProcess child(commandLine, startup);
    if (!child) return std::cerr << "cannot start " << commandLine << std::endl, 1;
    return child.wait();
}

// Serves the named pipe \\.\pipe\NAME for one writer, the program of the command line, and
// writes what it sent to OUT; the program's status.
int pipe(const char* name, const char* out, const std::string& commandLine) {
    const std::wstring path = L"\\\\.\\pipe\\" + moravel::toWide(name);
    HANDLE server = CreateNamedPipeW(path.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 1 << 16, 0,
                                     nullptr);
    if (server == INVALID_HANDLE_VALUE) return std::cerr << "no pipe" << std::endl, 1;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ChildProcess child(commandLine, startup);
    if (!child) return std::cerr << "cannot start " << commandLine << std::endl, 1;
    std::string received;
    if (ConnectNamedPipe(server, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED) {
        char chunk[4096];
        DWORD read = 0;
        while (ReadFile(server, chunk, sizeof chunk, &read, nullptr) && read > 0) received.append(chunk, read);
    }
    CloseHandle(server);
    std::ofstream(out, std::ios::binary) << received;
    return child.wait();
}

// The text of a dialog's static controls: a message box's message.
std::string childText(HWND box) {
    std::wstring text;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM found) -> BOOL {
            wchar_t kind[16] = L"";
            GetClassNameW(child, kind, 16);
            wchar_t words[1024] = L"";
            if (lstrcmpiW(kind, L"Static") == 0 && GetWindowTextW(child, words, 1024) > 0)
                *reinterpret_cast<std::wstring*>(found) += words;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    return moravel::toUtf8(text);
}

// Waits for a message box titled TITLE (at most a minute), writes its text as UTF-8 to OUT and
// presses its OK button.
int box(const char* title, const char* out) {
    HWND found = nullptr;
    for (int tick = 0; tick < 1200 && !found; ++tick) {
        found = FindWindowW(L"#32770", moravel::toWide(title).c_str());
        if (!found) Sleep(50);
    }
    if (!found) return std::cerr << "no message box titled " << title << std::endl, 1;
    std::ofstream(out, std::ios::binary) << childText(found) << '\n';
    PostMessageW(found, WM_COMMAND, IDOK, 0);
    return 0;
}

// A recorded value the way wmic prints it: strings as they are, VT_I4 signed, VT_BOOL as -1 or 0,
// VT_NULL as a blank cell. Other types (arrays among them) are marked "skip".
std::string wmicForm(const moravel::WmiValue& value, std::string& kind) {
    kind = "value";
    switch (value.type) {
    case moravel::vt::Bstr: return value.text;
    case moravel::vt::I4: return std::to_string(static_cast<std::int32_t>(value.integer));
    case moravel::vt::Bool: return value.integer ? "-1" : "0";
    case moravel::vt::Null: return {};
    default: kind = "skip"; return {};
    }
}

// One line per class with its object count, then one per recorded value: class, object index,
// property, kind, text, tab-separated.
int recorded(const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream json;
    json << file.rdbuf();
    moravel::SnapshotData data;
    try {
        data = moravel::parseSnapshot(json.str(), path);
    } catch (const moravel::SnapshotError& error) {
        std::cerr << error.what() << std::endl;
        return 1;
    }
    for (const auto& [className, spans] : data.fileClasses) {
        std::vector<moravel::SnapshotObject> objects;
        for (moravel::ObjectSpan span : spans) objects.push_back(moravel::snapshotObject(data, span));
        // The object count first, with a property to count wmic's rows by ("Name" for none).
        std::string counted = objects.empty() || objects[0].empty() ? "Name" : objects[0].begin()->first;
        std::cout << className << '\t' << objects.size() << '\t' << counted << "\tobjects\t\n";
        for (std::size_t index = 0; index < objects.size(); ++index)
            for (const auto& [property, value] : objects[index]) {
                std::string kind;
                std::string text = wmicForm(value, kind);
                std::cout << className << '\t' << index << '\t' << property << '\t' << kind << '\t' << text << '\n';
            }
    }
    std::cout.flush();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    moravel::Backend backend = moravel::makePlatformBackend();
    moravel::QueryContext context = backend.context();
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "query" && argc == 5) return query(context, argv);
    if (command == "version") return version(*backend.probes);
    if (command == "apartment") return apartment(context);
    if (command == "time" && argc == 3) return timing(context, std::atoi(argv[2]));
    if (command == "probes") return probes(*backend.probes);
    if (command == "variants") return variants();
    if (command == "utf8") return utf8();
    if (command == "recorded" && argc == 3) return recorded(argv[2]);
    if ((command == "console" || command == "pipe") && argc >= 4) {
        // The program's own command line after the command's own words, as typed (wide, so any
        // name holds).
        const std::vector<std::string> words = moravel::commandLineArguments(argc, argv);
        const std::size_t first = command == "console" ? 3 : 4;
        std::string line;
        for (std::size_t i = first; i < words.size(); ++i) line += (i > first ? " \"" : "\"") + words[i] + "\"";
        return command == "console" ? console(argv[2], line) : pipe(argv[2], argv[3], line);
    }
    if (command == "box" && argc == 4) return box(argv[2], argv[3]);
    if (command == "run" && argc == 3) return run(moravel::commandLineArguments(argc, argv)[2]);
    std::cerr
        << "usage: moravel-probe query INDEX WQL PROPERTY | version | apartment | time CYCLES | probes | variants | utf8 | recorded SNAPSHOT | console OUT PROGRAM ARGS... | pipe NAME OUT PROGRAM ARGS... | box TITLE OUT | run COMMAND-LINE\n";
    return 2;
}
