// Records a machine as a snapshot: one full query cycle per class, straight through the
// provider so every value keeps its type, written in the form the snapshot reader takes back.
#include "query/snapshot/snapshot_writer.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include <nlohmann/json.hpp>

#include "query/probes.h"
#include "query/snapshot/snapshot_data.h"
#include "query/wmi_classes.h"
#include "query/wmi_query.h"

namespace moravel {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::uint32_t kMaxMemoryLoad = 100;

Json typed(std::uint16_t type) { return Json{{"vt", type}}; }
Json typed(std::uint16_t type, Json value) { return Json{{"vt", type}, {"value", std::move(value)}}; }

std::int32_t low32(std::int64_t bits) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(bits)); }

// An element of a typed array: numbers stay numbers.
Json numberOrText(const std::string& item) {
    bool digits = !item.empty() && item.size() < 19 &&
                  item.find_first_not_of("0123456789", item[0] == '-' ? 1 : 0) == std::string::npos && item != "-";
    return digits ? Json(std::stoll(item)) : Json(item);
}

// Each value in the shortest form that reads back as the same type and payload; integers are
// written as the program shows them (VT_I4 unsigned, the other 32-bit types signed).
Json valueJson(const WmiValue& value) {
    if (value.type & vt::Array) {
        if (value.type == kPlainArrayType) return Json(value.items);
        Json items = Json::array();
        for (const std::string& item : value.items) items.push_back(numberOrText(item));
        return typed(value.type, std::move(items));
    }
    switch (value.type) {
    case vt::Null: return nullptr;
    case vt::Bool: return value.integer != 0;
    case vt::I4: return static_cast<std::uint32_t>(value.integer);
    case vt::Bstr: return value.hasText ? Json(value.text.substr(0, value.text.find('\0'))) : typed(vt::Bstr);
    case vt::I2:
    case vt::I1:
    case vt::UI1:
    case vt::UI2:
    case vt::UI4: return typed(value.type, low32(value.integer));
    case vt::I8: return typed(value.type, value.integer);
    case vt::UI8: return typed(value.type, static_cast<std::uint64_t>(value.integer));
    default: return typed(value.type);  // empty, dates, floating point...: the type alone decides the text
    }
}

// The recorded properties of the class that this object has.
Json objectJson(WmiObject& object, const WmiClass& recorded) {
    Json json = Json::object();
    for (const WmiProperty& property : recorded.properties) {
        WmiValue value;
        if (property.recorded && !failed(object.get(property.name, value))) json[property.name] = valueJson(value);
    }
    return json;
}

// Compact JSON. Texts in a non-UTF-8 code page cannot go into JSON as they are; such bytes
// become U+FFFD.
std::string compact(const Json& json) { return json.dump(-1, ' ', false, Json::error_handler_t::replace); }

// One full cycle for the class, each object appended to `objects` as text as soon as it is read,
// so a class of a million objects is never held as a million trees; the failing step, if any.
std::optional<StagedFailure> recordClass(WmiProvider& provider, const WmiClass& recorded, std::string& objects) {
    bool first = true;
    return runQueryCycle(provider, recorded.nameSpace, classQuery(recorded), [&](WmiObject& object) {
        objects += first ? "" : ",";
        objects += compact(objectJson(object, recorded));
        first = false;
        return true;
    });
}

std::string codeText(HResult hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

void addProbes(SystemProbes& probes, Json& document) {
    if (probes.redacted()) document["redacted"] = true;
    MemoryStatus memory;
    if (probes.memoryStatus(memory))
        document["memoryStatus"] = {{"memoryLoad", std::min(memory.memoryLoad, kMaxMemoryLoad)},
                                    {"availPhys", memory.availPhys}};
    Json adapters = Json::array();
    for (const HardwareAddress& address : probes.adapterAddresses())
        adapters.push_back(adapterAddressText(probes, address));
    document["adapters"] = adapters;
    if (std::optional<OsVersion> version = probes.osVersion())
        document["osVersion"] = {{"major", version->major}, {"minor", version->minor}};
    if (std::optional<std::string> guid = probes.machineGuid()) document["machineGuid"] = *guid;
    if (std::optional<std::string> hypervisor = probes.hypervisor()) document["hypervisor"] = *hypervisor;
}

}  // namespace

void writeSnapshot(WmiProvider* provider, SystemProbes* probes, std::ostream& out) {
    std::string classes;  // "Win32_X":[...],... as the objects are read
    Json rest = Json::object();
    Json failures = Json::object();
    if (provider) {
        for (const WmiClass* recorded : recordedClasses()) {
            const std::size_t before = classes.size();
            classes += (classes.empty() ? "" : ",") + compact(recorded->name) + ":[";
            if (std::optional<StagedFailure> failed = recordClass(*provider, *recorded, classes)) {
                classes.resize(before);
                failures[classQuery(*recorded)] = {{"step", stepName(failed->step)},
                                                           {"code", codeText(failed->code)}};
            } else {
                classes += ']';
            }
        }
    }
    if (probes) addProbes(*probes, rest);
    if (!failures.empty()) rest["failures"] = failures;
    const std::string members = compact(rest);  // {} or {"memoryStatus":...,...}
    out << "{\"classes\":{" << classes << '}' << (members.size() > 2 ? "," + members.substr(1) : "}") << '\n'
        << std::flush;
}

std::optional<std::string> snapshotSizeProblem(std::size_t bytes) {
    if (bytes <= kMaxSnapshotBytes) return std::nullopt;
    return "the snapshot is " + std::to_string(bytes) + " bytes, more than the " + std::to_string(kMaxSnapshotBytes) +
           " a snapshot may hold";
}

}  // namespace moravel
