// moravel-probe: drives the Windows query layer and probes one step at a time, so the Wine tests
// can check them against the real platform.
//
//   moravel-probe query INDEX WQL PROPERTY   the text of one queryWmiText call, as "text=[...]"
//   moravel-probe version                    the version line and the notice decision
//   moravel-probe apartment                  two queries inside a toolkit-owned (STA) apartment
//   moravel-probe time CYCLES                cost of one query cycle per class, and of the inventory
//   moravel-probe probes                     the memory texts and the adapter address
//   moravel-probe variants                   platform VARIANTs of each type through the conversion
//   moravel-probe codepage                   narrow/wide conversions in the system code page
//   moravel-probe recorded SNAPSHOT          every value of a snapshot the way wmic prints it
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

#include "app/startup_rules.h"
#include "providers/backends.h"
#include "providers/windows/code_page.h"
#include "providers/windows/probes_windows.h"
#include "providers/windows/variant_value.h"
#include "query/backend.h"
#include "query/snapshot/snapshot_data.h"
#include "query/snapshot/snapshot_provider.h"
#include "query/wmi_query.h"
#include "sections/collector.h"
#include "sections/sections.h"

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

int codepage() {
    using moravel::windows::toNarrow;
    using moravel::windows::toWide;
    std::cout << "acp=" << GetACP() << std::endl;
    showBytes("cut", toNarrow(L"Ab\0cd", 5));                        // stops at the first NUL
    showBytes("latin", toNarrow(L"\u00AE\u00E9", 2));                // registered sign, e acute
    showBytes("missing", toNarrow(L"x\u4E2Dy", 3));                  // a character the code page lacks
    showBytes("query", toNarrow(toWide("SELECT \xAE").c_str(), 8));  // narrow to wide and back
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
    if (command == "codepage") return codepage();
    if (command == "recorded" && argc == 3) return recorded(argv[2]);
    std::cerr
        << "usage: moravel-probe query INDEX WQL PROPERTY | version | apartment | time CYCLES | probes | variants | codepage | recorded SNAPSHOT\n";
    return 2;
}
