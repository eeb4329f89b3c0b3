// Reads a snapshot file strictly: anything that is not exactly of the snapshot form is refused
// with one line naming where in the file the problem is, so a typo never turns into a silently
// empty inventory.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "query/snapshot/snapshot_data.h"
#include "query/snapshot/snapshot_json.h"
#include "query/snapshot/snapshot_provider.h"

namespace moravel {
namespace {

using json = nlohmann::json;

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::uint64_t kUint32Max = std::numeric_limits<std::uint32_t>::max();
constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::uint64_t kUint64Max = std::numeric_limits<std::uint64_t>::max();
constexpr std::size_t kAddressBytes = 6;

// The steps of a cycle by the Windows names a file spells them with, in the cycle's order.
const std::pair<CycleStep, const char*> kStepNames[] = {
    {CycleStep::Initialize, "CoInitializeEx"},      {CycleStep::Security, "CoInitializeSecurity"},
    {CycleStep::CreateLocator, "CoCreateInstance"}, {CycleStep::Connect, "ConnectServer"},
    {CycleStep::ProxyBlanket, "CoSetProxyBlanket"}, {CycleStep::ExecQuery, "ExecQuery"}};

// Thrown inside the reader, as the JSON reader's own problems are; parseSnapshot puts the file name
// in front.
[[noreturn]] void refuse(const std::string& where, const std::string& problem) {
    throw JsonProblem{where.empty() ? problem : where + ": " + problem};
}

[[noreturn]] void missing(const std::string& where) { throw JsonProblem{where + " is missing"}; }

std::string member(const std::string& where, const std::string& key) {
    return where.empty() ? quotedKey(key) : where + "." + quotedKey(key);
}
std::string element(const std::string& where, std::size_t i) { return where + "[" + std::to_string(i) + "]"; }

// A value as it stands in the file, shortened so the message stays one readable line.
std::string shown(const json& j) {
    std::string text = j.is_array()    ? std::string("[...]")
                       : j.is_binary() ? writtenNumber(j)
                                       : j.dump(-1, ' ', false, json::error_handler_t::replace);
    return excerpt(text, 60);
}

std::string article(const json& j) {
    std::string kind = j.is_binary() ? "number" : j.type_name();
    bool vowel = kind[0] == 'a' || kind[0] == 'o';
    return (vowel ? "an " : "a ") + kind;
}

void expectKind(const json& j, json::value_t kind, const char* expected, const std::string& where) {
    if (j.type() != kind) refuse(where, std::string("expected ") + expected + ", found " + article(j));
}

void expectObject(const json& j, const std::string& where, const char* what = "an object") {
    expectKind(j, json::value_t::object, what, where);
}

void allowOnly(const json& object, std::initializer_list<const char*> keys, const std::string& where) {
    for (const auto& item : object.items()) {
        bool known = false;
        std::string list;
        for (const char* key : keys) {
            known = known || item.key() == key;
            list += (list.empty() ? "" : ", ") + quotedKey(key);
        }
        if (!known) refuse(member(where, item.key()), "unknown member (expected " + list + ")");
    }
}

const json& required(const json& object, const char* key, const std::string& where) {
    auto it = object.find(key);
    if (it == object.end()) missing(member(where, key));
    return *it;
}

std::string rangeText(std::int64_t low, std::uint64_t high) {
    return "(" + std::to_string(low) + " to " + std::to_string(high) + ")";
}

// A number written with a fraction or an exponent, read exactly from its text: whether it is
// whole, whether its magnitude fits 64 bits, and its sign and magnitude.
struct WrittenWhole {
    bool whole = true;
    bool fits = true;
    bool negative = false;
    std::uint64_t magnitude = 0;
};

WrittenWhole wholeOf(const std::string& text) {
    const auto digit = [&](std::size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
    WrittenWhole number;
    std::size_t at = 0;
    number.negative = !text.empty() && text[0] == '-';
    at += number.negative;
    std::string digits;  // the value is digits x 10^exponent
    long exponent = 0;
    for (; digit(at); ++at) digits += text[at];
    if (at < text.size() && text[at] == '.')
        for (++at; digit(at); ++at, --exponent) digits += text[at];
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        bool down = ++at < text.size() && text[at] == '-';
        at += at < text.size() && (text[at] == '-' || text[at] == '+');
        long power = 0;
        for (; digit(at); ++at) power = std::min(power * 10 + (text[at] - '0'), 1000000L);
        exponent += down ? -power : power;
    }
    digits.erase(0, digits.find_first_not_of('0'));
    if (digits.empty()) return number;  // zero, -0.0 included
    for (; digits.back() == '0'; ++exponent) digits.pop_back();
    number.whole = exponent >= 0;
    number.fits = number.whole && static_cast<long>(digits.size()) + exponent <= 20;
    if (!number.fits) return number;
    digits.append(static_cast<std::size_t>(exponent), '0');
    number.fits = std::from_chars(digits.data(), digits.data() + digits.size(), number.magnitude).ec == std::errc();
    return number;
}

// Whether a double holds `value` exactly, as every whole number up to 2^53 is held.
bool heldByDouble(std::uint64_t value) {
    double d = static_cast<double>(value);
    return d < 18446744073709551616.0 && static_cast<std::uint64_t>(d) == value;
}

// A whole number in [low, high], returned as its 64-bit pattern. Written with a fraction or an
// exponent, it must also be one a double holds exactly: 9007199254740993.0 is refused, as a
// reader that takes it as a double would read 9007199254740992.
std::int64_t wholeNumber(const json& j, std::int64_t low, std::uint64_t high, const std::string& where) {
    std::string outOfRange = shown(j) + " is out of range " + rangeText(low, high);
    if (j.is_number_unsigned()) {
        std::uint64_t u = j.get<std::uint64_t>();
        if (u > high) refuse(where, outOfRange);
        return static_cast<std::int64_t>(u);
    }
    if (j.is_number_integer()) {
        std::int64_t i = j.get<std::int64_t>();
        if (i < low) refuse(where, outOfRange);
        return i;
    }
    if (!isNumber(j)) refuse(where, "expected a whole number, found " + article(j));
    WrittenWhole number = wholeOf(writtenNumber(j));
    if (!number.whole) refuse(where, shown(j) + " is not a whole number");
    constexpr std::uint64_t kInt64MinMagnitude = std::uint64_t{1} << 63;
    if (!number.fits || (number.negative ? number.magnitude > kInt64MinMagnitude : number.magnitude > high))
        refuse(where, outOfRange);
    std::int64_t value =
        number.negative ? static_cast<std::int64_t>(0 - number.magnitude) : static_cast<std::int64_t>(number.magnitude);
    if (number.negative && value < low) refuse(where, outOfRange);
    if (!heldByDouble(number.magnitude)) refuse(where, shown(j) + " is too large to be read exactly");
    return value;
}

// A 32-bit value kept as its bit pattern: 4294967295 and -1 are the same value.
std::int64_t word32(const json& j, const std::string& where) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(wholeNumber(j, kInt32Min, kUint32Max, where)));
}

std::string untilNul(const std::string& text) { return text.substr(0, text.find('\0')); }

void expectNoValue(const json& typed, std::uint16_t type, const std::string& where) {
    if (typed.contains("value"))
        refuse(member(where, "value"), "type code " + std::to_string(type) + " takes no value");
}

// The elements of an array property as text: strings as they are, whole numbers in decimal;
// anything else holds its place as empty text. Older files held arrays only for their type.
std::vector<std::string> arrayItems(const json& array) {
    std::vector<std::string> items;
    for (const json& item : array) {
        if (item.is_string())
            items.push_back(untilNul(item.get<std::string>()));
        else if (item.is_number_unsigned())
            items.push_back(std::to_string(item.get<std::uint64_t>()));
        else if (item.is_number_integer())
            items.push_back(std::to_string(item.get<std::int64_t>()));
        else
            items.emplace_back();
    }
    return items;
}

// {"vt": N, "value": V}: a value of any type code, with the payload that code carries.
WmiValue typedValue(const json& typed, const std::string& where) {
    allowOnly(typed, {"vt", "value"}, where);
    auto type = static_cast<std::uint16_t>(wholeNumber(required(typed, "vt", where), 0, 0xFFFF, member(where, "vt")));
    std::string at = member(where, "value");
    auto value = typed.find("value");
    bool has = value != typed.end();
    std::string code = " for type code " + std::to_string(type);
    if (type & vt::Array) {
        if (has) expectKind(*value, json::value_t::array, ("an array" + code).c_str(), at);
        return WmiValue::array(static_cast<std::uint16_t>(type & ~vt::Array),
                               has ? arrayItems(*value) : std::vector<std::string>());
    }
    if (type == vt::Empty || type == vt::Null) {
        expectNoValue(typed, type, where);
        return type == vt::Null ? WmiValue::null() : WmiValue::empty();
    }
    if (type == vt::Bstr) {
        if (!has || value->is_null()) return WmiValue::integerOf(vt::Bstr, 0);
        expectKind(*value, json::value_t::string, ("a string or null" + code).c_str(), at);
        return WmiValue::string(untilNul(value->get<std::string>()));
    }
    if (type == vt::Bool) {
        if (!has) missing(at);
        expectKind(*value, json::value_t::boolean, ("true or false" + code).c_str(), at);
        return WmiValue::boolean(value->get<bool>());
    }
    if (isIntegerType(type)) {
        if (!has) missing(at);
        bool wide = type == vt::I8 || type == vt::UI8;
        return WmiValue::integerOf(type, wide ? wholeNumber(*value, kInt64Min, kUint64Max, at) : word32(*value, at));
    }
    // Floating point, dates, currency, objects: the text does not depend on the payload.
    if (has && !isNumber(*value)) refuse(at, "expected a number or nothing" + code + ", found " + article(*value));
    return WmiValue::integerOf(type, 0);
}

WmiValue propertyValue(const json& j, const std::string& where) {
    switch (j.type()) {
    case json::value_t::string: return WmiValue::string(untilNul(j.get<std::string>()));
    case json::value_t::null: return WmiValue::null();
    case json::value_t::boolean: return WmiValue::boolean(j.get<bool>());
    case json::value_t::array: return WmiValue::array(vt::Bstr, arrayItems(j));
    case json::value_t::object: return typedValue(j, where);
    case json::value_t::number_integer:
    case json::value_t::number_unsigned:
    case json::value_t::number_float:
    case json::value_t::binary: return WmiValue::i4(word32(j, where));  // a number kept as written
    default: refuse(where, "expected a property value, found " + article(j));
    }
}

SnapshotObject objectOf(const json& j, const std::string& where) {
    expectObject(j, where);
    SnapshotObject object;
    for (const auto& property : j.items())
        object[property.key()] = propertyValue(property.value(), member(where, property.key()));
    return object;
}

std::uint64_t decimalDigits(const json& j, const std::string& where) {
    std::string text = j.get<std::string>();
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        refuse(where, shown(j) + " is not a string of decimal digits");
    std::uint64_t value = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc())
        refuse(where, shown(j) + " is out of range " + rangeText(0, kUint64Max));
    return value;
}

MemoryStatus memoryStatus(const json& j, const std::string& where) {
    expectObject(j, where);
    allowOnly(j, {"memoryLoad", "availPhys"}, where);
    MemoryStatus status;
    std::string loadAt = member(where, "memoryLoad");
    status.memoryLoad = static_cast<std::uint32_t>(wholeNumber(required(j, "memoryLoad", where), 0, 100, loadAt));
    const json& avail = required(j, "availPhys", where);
    std::string availAt = member(where, "availPhys");
    status.availPhys = avail.is_string() ? decimalDigits(avail, availAt)
                                         : static_cast<std::uint64_t>(wholeNumber(avail, 0, kUint64Max, availAt));
    return status;
}

// "00-1A-2B-3C-4D-5E" or "00:1a:2b:3c:4d:5e:..." (six or more bytes; the first six are used).
// A hidden address has "XX" for its bytes; it reads as zero bytes and sets `hidden`.
HardwareAddress adapterAddress(const json& j, const std::string& where, bool& hidden) {
    expectKind(j, json::value_t::string, "a string", where);
    std::string text = j.get<std::string>();
    std::string problem = shown(j) + " is not an address of six or more hex bytes separated by \"-\" or \":\"";
    std::vector<std::uint8_t> bytes;
    for (std::size_t pos = 0;; pos += 3) {
        if (pos + 2 > text.size()) refuse(where, problem);
        unsigned byte = 0;
        const char* pair = text.data() + pos;
        if (text.compare(pos, 2, "XX") == 0)
            hidden = true;
        else if (std::from_chars(pair, pair + 2, byte, 16).ptr != pair + 2)
            refuse(where, problem);
        bytes.push_back(static_cast<std::uint8_t>(byte));
        if (pos + 2 == text.size()) break;
        if (text[pos + 2] != '-' && text[pos + 2] != ':') refuse(where, problem);
    }
    if (bytes.size() < kAddressBytes) refuse(where, problem);
    HardwareAddress address;
    std::copy_n(bytes.begin(), kAddressBytes, address.begin());
    return address;
}

OsVersion osVersion(const json& j, const std::string& where) {
    expectObject(j, where);
    allowOnly(j, {"major", "minor"}, where);
    auto number = [&](const char* key) {
        return static_cast<std::uint32_t>(wholeNumber(required(j, key, where), 0, kUint32Max, member(where, key)));
    };
    return {number("major"), number("minor")};
}

CycleStep cycleStep(const json& j, const std::string& where) {
    expectKind(j, json::value_t::string, "a step name", where);
    std::string list;
    for (const auto& [step, name] : kStepNames) {
        if (j.get<std::string>() == name) return step;
        list += (list.empty() ? "" : ", ") + quotedKey(name);
    }
    refuse(where, shown(j) + " is not a step (expected one of " + list + ")");
}

HResult resultCode(const json& j, const std::string& where) {
    expectKind(j, json::value_t::string, "a code such as \"0x80041017\"", where);
    std::string text = j.get<std::string>();
    bool form = text.size() > 2 && text.size() <= 10 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    std::uint32_t code = 0;
    const char* end = text.data() + text.size();
    if (!form || std::from_chars(text.data() + 2, end, code, 16).ptr != end)
        refuse(where, shown(j) + " is not a code of the form \"0x\" and one to eight hex digits");
    return static_cast<HResult>(code);
}

StagedFailure failure(const json& j, const std::string& at) {
    expectObject(j, at);
    allowOnly(j, {"step", "code"}, at);
    CycleStep step = cycleStep(required(j, "step", at), member(at, "step"));
    return {step, resultCode(required(j, "code", at), member(at, "code"))};
}

// Takes the objects of classes, the adapters and the staged failures one at a time as they are
// read, so a file of a million objects is never held as a million trees.
class SnapshotTaker : public JsonTaker {
public:
    explicit SnapshotTaker(SnapshotData& data) : data_(data) {}

    bool takes(const std::vector<JsonLevel>& levels) const override {
        if (levels.size() == 2)
            return rootMember(levels, "adapters", json::value_t::array) ||
                   rootMember(levels, "failures", json::value_t::object);
        return classList(levels);
    }

    void take(const std::vector<JsonLevel>& levels, json&& value, std::size_t begin, std::size_t end) override {
        std::string where = jsonPlace(levels);
        if (classList(levels)) {
            where = element(where, levels.back().count - 1);
            objectOf(value, where);  // checked now, read again when asked for
            data_.fileClasses[levels[1].key].push_back(
                {static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end)});
        } else if (levels.back().node->is_array()) {
            data_.adapters.push_back(
                adapterAddress(value, element(where, levels.back().count - 1), data_.adaptersHidden));
        } else {
            data_.failures[levels.back().key] = failure(value, member(where, levels.back().key));
        }
    }

    void takenKey(const std::vector<JsonLevel>& levels, const std::string& key) override {
        if (data_.failures.count(key))
            refuse(jsonPlace(levels), "the key " + quotedKey(key) + " appears twice in one object");
    }

private:
    // Whether levels[1] is the root's member `key`, of the given kind.
    static bool rootMember(const std::vector<JsonLevel>& levels, const char* key, json::value_t kind) {
        return levels[0].node->is_object() && levels[0].key == key && levels[1].node->type() == kind;
    }
    static bool classList(const std::vector<JsonLevel>& levels) {
        return levels.size() == 3 && rootMember(levels, "classes", json::value_t::object) && levels[2].node->is_array();
    }

    SnapshotData& data_;
};

void classLists(const json& classes, SnapshotData& data) {
    std::string where = quotedKey("classes");
    expectObject(classes, where, "an object of class names");
    for (const auto& item : classes.items()) {
        expectKind(item.value(), json::value_t::array, "an array of objects", member(where, item.key()));
        data.fileClasses[item.key()];  // a class listed without objects
    }
}

// What remains of the document once the taken parts are out: the root, the class lists (empty
// now) and the small objects.
void checkRest(const json& root, SnapshotData& data) {
    expectObject(root, "", "the document to be an object");
    allowOnly(root, {"classes", "memoryStatus", "adapters", "osVersion", "machineGuid", "hypervisor", "failures", "redacted"}, "");
    classLists(required(root, "classes", ""), data);
    if (root.contains("memoryStatus")) data.memory = memoryStatus(root["memoryStatus"], quotedKey("memoryStatus"));
    if (root.contains("adapters"))
        expectKind(root["adapters"], json::value_t::array, "an array of address texts", quotedKey("adapters"));
    if (root.contains("osVersion")) data.osVersion = osVersion(root["osVersion"], quotedKey("osVersion"));
    if (root.contains("failures")) expectObject(root["failures"], quotedKey("failures"), "an object of query texts");
    if (root.contains("redacted")) {
        expectKind(root["redacted"], json::value_t::boolean, "true or false", quotedKey("redacted"));
        data.redacted = root["redacted"].get<bool>();
    }
    for (auto [key, text] : {std::pair{"machineGuid", &data.machineGuid}, {"hypervisor", &data.hypervisor}}) {
        if (!root.contains(key)) continue;
        expectKind(root[key], json::value_t::string, "a string", quotedKey(key));
        *text = untilNul(root[key].get<std::string>());
    }
}

}  // namespace

const char* stepName(CycleStep step) {
    for (const auto& [known, name] : kStepNames)
        if (known == step) return name;
    return "";
}

SnapshotData parseSnapshot(std::string text, const std::string& name) {
    SnapshotData data;
    try {
        std::size_t nul = text.find('\0');
        if (nul != std::string::npos)
            refuse("", "a NUL byte at byte " + std::to_string(nul) + " (a snapshot is JSON text)");
        if (text.size() > kMaxSnapshotBytes) refuse("", "larger than " + std::to_string(kMaxSnapshotBytes) + " bytes");
        SnapshotTaker taker(data);
        checkRest(readJson(text, 0, text.size(), &taker), data);
    } catch (const JsonProblem& problem) {
        throw SnapshotError("moravel: " + name + ": " + problem.text);
    }
    data.text = std::move(text);
    return data;
}

SnapshotObject snapshotObject(const SnapshotData& data, ObjectSpan span) {
    try {
        return objectOf(readJson(data.text, span.begin, span.end, nullptr), "");
    } catch (...) {
        return {};  // cannot happen: the object was checked when the file was read
    }
}

}  // namespace moravel
