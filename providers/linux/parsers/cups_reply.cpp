// The bytes of a CUPS-Get-Printers exchange: the request, and the HTTP reply with its IPP
// response (RFC 8010), read strictly within the bytes given.
#include "providers/linux/parsers/cups_reply.h"

#include <cstdlib>
#include <cstring>

#include "providers/linux/parsers/bytes.h"
#include "providers/linux/parsers/plain_text.h"

namespace moravel::lx {
namespace {

constexpr std::uint16_t kGetPrinters = 0x4002;  // CUPS-Get-Printers
constexpr unsigned char kEndOfAttributes = 0x03;
constexpr unsigned char kPrinterGroup = 0x04;
constexpr unsigned char kEnum = 0x23;
constexpr unsigned char kResolution = 0x32;
constexpr unsigned char kNameWithLanguage = 0x36;
constexpr unsigned char kNameWithoutLanguage = 0x42;
constexpr int kDotsPerCentimetre = 4;
constexpr const char* kHexDigits = "0123456789abcdefABCDEF";

void appendShort(std::string& out, std::size_t value) {
    out += static_cast<char>(value >> 8 & 0xFF);
    out += static_cast<char>(value & 0xFF);
}

void appendAttribute(std::string& out, unsigned char tag, const std::string& name, const std::string& value) {
    out += static_cast<char>(tag);
    appendShort(out, name.size());
    out += name;
    appendShort(out, value.size());
    out += value;
}

bool equalsIgnoringCase(const std::string& a, const char* b) {
    return a.size() == std::strlen(b) && ::strncasecmp(a.c_str(), b, a.size()) == 0;
}

std::string lowerTrimmed(const std::string& text) {
    std::string t = trim(text);
    for (char& c : t) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return t;
}

struct Head {
    std::size_t bodyStart = 0;
    std::optional<std::size_t> length;  // Content-Length
    bool chunked = false;
};

std::optional<Head> httpHead(const std::string& reply) {
    std::size_t end = reply.find("\r\n\r\n");
    if (end == std::string::npos || reply.compare(0, 5, "HTTP/") != 0) return std::nullopt;
    Head head;
    head.bodyStart = end + 4;
    std::size_t line = reply.find("\r\n");
    while (line < end) {
        std::size_t next = reply.find("\r\n", line + 2);
        std::string header = reply.substr(line + 2, next - line - 2);
        std::size_t colon = header.find(':');
        std::string name = colon == std::string::npos ? header : trim(header.substr(0, colon));
        std::string value = colon == std::string::npos ? std::string() : lowerTrimmed(header.substr(colon + 1));
        if (equalsIgnoringCase(name, "Content-Length")) {
            std::optional<std::uint64_t> n = parseNumber(value);
            if (!n || value.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
            head.length = static_cast<std::size_t>(std::min<std::uint64_t>(*n, kMaxReplyBytes + 1));
        }
        if (equalsIgnoringCase(name, "Transfer-Encoding")) head.chunked = value == "chunked";
        line = next;
    }
    return head;
}

// The body of a chunked reply; nothing while the last chunk has not come (or is malformed).
std::optional<std::string> unchunked(const std::string& reply, std::size_t at) {
    std::string body;
    for (;;) {
        std::size_t eol = reply.find("\r\n", at);
        if (eol == std::string::npos || eol == at) return std::nullopt;
        std::string sizeText = reply.substr(at, std::min(eol, reply.find(';', at)) - at);
        if (sizeText.empty() || sizeText.size() > 8 || sizeText.find_first_not_of(kHexDigits) != std::string::npos)
            return std::nullopt;
        const std::size_t size = std::strtoul(sizeText.c_str(), nullptr, 16);
        if (size == 0) return body;
        if (size > reply.size() || eol + 2 + size + 2 > reply.size()) return std::nullopt;
        body.append(reply, eol + 2, size);
        at = eol + 2 + size + 2;
    }
}

std::optional<std::string> httpBody(const std::string& reply) {
    std::optional<Head> head = httpHead(reply);
    if (!head) return std::nullopt;
    if (head->chunked) return unchunked(reply, head->bodyStart);
    std::size_t available = reply.size() - head->bodyStart;
    if (head->length && *head->length > available) return std::nullopt;
    return reply.substr(head->bodyStart, head->length.value_or(available));
}

bool successStatus(const std::string& reply) { return reply.size() >= 12 && reply.compare(8, 4, " 200") == 0; }

// WMI's PrinterStatus for an IPP printer-state (3 idle, 4 processing, 5 stopped).
std::optional<std::uint64_t> printerStatusOf(int ippState) {
    switch (ippState) {
    case 3: return 3;  // idle
    case 4: return 4;  // processing: printing
    case 5: return 7;  // stopped: offline
    default: return std::nullopt;
    }
}

void readAttribute(const std::string& name, unsigned char tag, const std::string& value, PrinterInfo& printer) {
    if (name == "printer-name" && tag == kNameWithoutLanguage) {
        printer.name = value;
    } else if (name == "printer-name" && tag == kNameWithLanguage && value.size() >= 4) {
        std::size_t language = bigEndian(value, 0, 2);
        if (2 + language + 2 <= value.size())
            printer.name = value.substr(2 + language + 2, bigEndian(value, 2 + language, 2));
    } else if (name == "printer-state" && tag == kEnum && value.size() == 4) {
        printer.status = printerStatusOf(static_cast<std::int32_t>(bigEndian(value, 0, 4)));
    } else if (name == "printer-resolution-default" && tag == kResolution && value.size() == 9) {
        std::int64_t horizontal = static_cast<std::int32_t>(bigEndian(value, 0, 4));
        std::int64_t vertical = static_cast<std::int32_t>(bigEndian(value, 4, 4));
        if (byteAt(value, 8) == kDotsPerCentimetre) {  // WMI counts dots per inch
            horizontal = (horizontal * 254 + 50) / 100;
            vertical = (vertical * 254 + 50) / 100;
        }
        if (horizontal > 0) printer.horizontalResolution = static_cast<std::uint64_t>(horizontal);
        if (vertical > 0) printer.verticalResolution = static_cast<std::uint64_t>(vertical);
    }
}

}  // namespace

std::string printersRequest() {
    std::string ipp("\x02\x00", 2);
    appendShort(ipp, kGetPrinters);
    ipp += std::string("\x00\x00\x00\x01\x01", 5);  // request id 1, operation attributes
    appendAttribute(ipp, 0x47, "attributes-charset", "utf-8");
    appendAttribute(ipp, 0x48, "attributes-natural-language", "en");
    appendAttribute(ipp, 0x44, "requested-attributes", "printer-name");
    appendAttribute(ipp, 0x44, "", "printer-state");
    appendAttribute(ipp, 0x44, "", "printer-resolution-default");
    ipp += static_cast<char>(kEndOfAttributes);
    return "POST / HTTP/1.1\r\nHost: localhost\r\nContent-Type: application/ipp\r\nContent-Length: " +
           std::to_string(ipp.size()) + "\r\nConnection: close\r\n\r\n" + ipp;
}

bool replyComplete(const std::string& reply) {
    std::optional<Head> head = httpHead(reply);
    if (!head) return false;
    if (head->chunked) return unchunked(reply, head->bodyStart).has_value();
    return head->length && reply.size() - head->bodyStart >= *head->length;
}

std::optional<std::vector<PrinterInfo>> printersFromReply(const std::string& reply) {
    std::optional<std::string> body = httpBody(reply);
    if (!body || !successStatus(reply) || body->size() < 8) return std::nullopt;
    const std::string& ipp = *body;
    std::vector<PrinterInfo> printers;
    if (bigEndian(ipp, 2, 2) >= 0x0100) return printers;  // an error status: no printers (0x0406 when none exist)
    PrinterInfo current;
    bool inPrinter = false;
    std::string name;
    auto finish = [&] {
        if (!current.name.empty()) printers.push_back(current);
        current = PrinterInfo();
    };
    for (std::size_t at = 8; at < ipp.size();) {
        unsigned char tag = static_cast<unsigned char>(ipp[at++]);
        if (tag == kEndOfAttributes) break;
        if (tag < 0x10) {  // a new group: each printer has its own
            finish();
            inPrinter = tag == kPrinterGroup;
            continue;
        }
        if (at + 2 > ipp.size()) return std::nullopt;
        std::size_t nameLength = bigEndian(ipp, at, 2);
        if (at + 2 + nameLength + 2 > ipp.size()) return std::nullopt;
        if (nameLength > 0) name = ipp.substr(at + 2, nameLength);  // none: another value of the same attribute
        at += 2 + nameLength;
        std::size_t valueLength = bigEndian(ipp, at, 2);
        if (at + 2 + valueLength > ipp.size()) return std::nullopt;
        if (inPrinter && nameLength > 0) readAttribute(name, tag, ipp.substr(at + 2, valueLength), current);
        at += 2 + valueLength;
    }
    finish();
    return printers;
}

}  // namespace moravel::lx
