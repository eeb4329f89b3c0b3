// For the terminal tests and the terminal_text fuzz target: the oracle of whether a text may go
// to a terminal as it is, decoded by the C library (not by the code under test) with the limits
// the library does not apply itself; and a machine whose values are raw bytes.
#pragma once

#include <locale.h>

#include <cwchar>
#include <string>
#include <vector>

#include "query/snapshot/snapshot_data.h"
#include "query/wmi_classes.h"

namespace moravel::testing {

// Well-formed UTF-8 up to U+10FFFF, without C0 controls but the line feed, DEL, C1 controls or
// the bidirectional controls U+202A to U+202E and U+2066 to U+2069.
inline bool isTerminalSafe(const std::string& text) {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (!utf8) return false;
    const locale_t before = uselocale(utf8);
    std::mbstate_t state{};
    bool safe = true;
    for (std::size_t at = 0; safe && at < text.size();) {
        wchar_t c = 0;
        std::size_t n = std::mbrtowc(&c, text.data() + at, text.size() - at, &state);
        const auto code = static_cast<std::uint32_t>(c);
        safe = n != static_cast<std::size_t>(-1) && n != static_cast<std::size_t>(-2) && code <= 0x10FFFF &&
               (code >= 0x20 || code == '\n') && (code < 0x7F || code >= 0xA0) && !(code >= 0x202A && code <= 0x202E) &&
               !(code >= 0x2066 && code <= 0x2069);
        at += n == 0 ? 1 : n;
    }
    uselocale(before);
    return safe;
}

// A machine whose values no snapshot file can hold: two objects of every class the groups read,
// each property the next piece of `bytes` cut at NUL bytes (a string value ends there anyway).
inline SnapshotData machineOfRawValues(const std::string& bytes) {
    SnapshotData machine;
    std::size_t at = 0;
    auto nextPiece = [&] {
        std::size_t end = bytes.find('\0', at);
        std::string piece = bytes.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? 0 : end + 1;
        return piece;
    };
    for (const WmiClass* recorded : recordedClasses()) {
        for (SnapshotObject& object : machine.classes[recorded->name] = std::vector<SnapshotObject>(2))
            for (const WmiProperty& property : recorded->properties)
                if (property.recorded) object[property.name] = WmiValue::string(nextPiece());
    }
    return machine;
}

}  // namespace moravel::testing
