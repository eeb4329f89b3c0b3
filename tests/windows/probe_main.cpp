// moravel-probe: drives the Windows query layer and probes one step at a time, so the Wine tests
// can check them against the real platform.
//
//   moravel-probe query INDEX WQL PROPERTY   the text of one queryWmiText call, as "text=[...]"
//   moravel-probe version                    the version line and the notice decision
//   moravel-probe apartment                  two queries inside a toolkit-owned (STA) apartment
//   moravel-probe time CYCLES                cost of one query cycle and of the whole inventory
//   moravel-probe probes                     the memory texts and the adapter address
//
// Diagnostic lines of the query layer go to standard output, as in the window program.
#include <objbase.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>

#include "app/startup_rules.h"
#include "app/report_collector.h"
#include "query/backend.h"
#include "query/windows/probes_windows.h"
#include "query/wmi_query.h"
#include "sections/sections.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int query(char** argv) {
    std::string text = moravel::queryWmiText(std::atoi(argv[2]), argv[3], argv[4]);
    std::cout << "text=[" << text << "]" << std::endl;
    return 0;
}

// The window program's version test on its Windows numbers: the line it prints, then the verdict.
int version() {
    moravel::VersionVerdict verdict = moravel::judgeVersion(std::nullopt, moravel::windows::readWindowsVersion(), true);
    std::cout << moravel::versionLine(verdict.version) << "notice=" << (verdict.notice ? 1 : 0) << std::endl;
    return 0;
}

// The window program's thread holds an apartment of its own (the toolkit's OleInitialize).
// Queries must work inside it, and must leave it in place.
int apartment() {
    HRESULT first = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string a = moravel::queryWmiText(0, "SELECT * FROM Win32_OperatingSystem", "Caption");
    std::string b = moravel::queryWmiText(0, "SELECT * FROM Win32_OperatingSystem", "Caption");
    HRESULT again = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::cout << "first=" << (first == S_OK ? "S_OK" : "other") << std::endl
              << "text1=[" << a << "]" << std::endl
              << "text2=[" << b << "]" << std::endl
              << "apartment=" << (again == S_FALSE ? "kept" : "lost") << std::endl;
    if (SUCCEEDED(again)) CoUninitialize();
    if (SUCCEEDED(first)) CoUninitialize();
    return 0;
}

int timing(int cycles) {
    auto start = Clock::now();
    for (int i = 0; i < cycles; ++i) moravel::queryWmiText(0, "SELECT * FROM Win32_OperatingSystem", "Caption");
    double cycle = millisecondsSince(start) / cycles;

    moravel::resetQueryCount();
    moravel::ReportCollector report;
    start = Clock::now();
    moravel::buildAllGroups(report);
    double whole = millisecondsSince(start);
    std::cout << "cycle_ms=" << cycle << std::endl
              << "inventory_ms=" << whole << std::endl
              << "queries=" << moravel::queryCount() << std::endl;
    return 0;
}

int probes() {
    moravel::MemoryTexts memory = moravel::readMemoryStatus();
    std::cout << "available=[" << memory.available << "]" << std::endl
              << "load=[" << memory.load << "]" << std::endl
              << "address=[" << moravel::readAdapterAddress() << "]" << std::endl;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    moravel::Backend backend = moravel::makePlatformBackend();
    backend.install();
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "query" && argc == 5) return query(argv);
    if (command == "version") return version();
    if (command == "apartment") return apartment();
    if (command == "time" && argc == 3) return timing(std::atoi(argv[2]));
    if (command == "probes") return probes();
    std::cerr << "usage: moravel-probe query INDEX WQL PROPERTY | version | apartment | time CYCLES | probes\n";
    return 2;
}
