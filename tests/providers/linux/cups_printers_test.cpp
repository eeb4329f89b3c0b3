#include <gtest/gtest.h>

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <sstream>

#include "providers/linux/system/cups_printers.h"

namespace moravel::lx {
namespace {

std::string shortOf(std::size_t n) { return {static_cast<char>(n >> 8), static_cast<char>(n & 0xFF)}; }
std::string intOf(std::int32_t n) { return shortOf(static_cast<std::uint32_t>(n) >> 16) + shortOf(n & 0xFFFF); }
std::string attribute(char tag, const std::string& name, const std::string& value) {
    return std::string(1, tag) + shortOf(name.size()) + name + shortOf(value.size()) + value;
}
std::string printer(const std::string& name, int state) {
    return "\x04" + attribute('\x42', "printer-name", name) + attribute('\x23', "printer-state", intOf(state));
}
std::string resolution(int x, int y, char units) {
    return attribute('\x32', "printer-resolution-default", intOf(x) + intOf(y) + units);
}

// A CUPS-Get-Printers answer as a scheduler sends it.
std::string ippAnswer() {
    return std::string("\x02\x00\x00\x00\x00\x00\x00\x01\x01", 9) + attribute('\x47', "attributes-charset", "utf-8") +
           printer("Office", 3) + resolution(600, 1200, 3) + printer("Labels", 5) + resolution(118, 118, 4) +
           printer("Plain", 4) + "\x03";
}

std::string httpReply(const std::string& body) {
    return "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

TEST(CupsPrinters, OnePrinterPerGroupWithWmiStatusAndDpi) {
    std::optional<std::vector<PrinterInfo>> printers = printersFromReply(httpReply(ippAnswer()));
    ASSERT_TRUE(printers);
    ASSERT_EQ(printers->size(), 3u);
    EXPECT_EQ((*printers)[0].name, "Office");
    EXPECT_EQ((*printers)[0].status, std::optional<std::uint64_t>(3));
    EXPECT_EQ((*printers)[0].horizontalResolution, std::optional<std::uint64_t>(600));
    EXPECT_EQ((*printers)[0].verticalResolution, std::optional<std::uint64_t>(1200));
    EXPECT_EQ((*printers)[1].name, "Labels");
    EXPECT_EQ((*printers)[1].status, std::optional<std::uint64_t>(7));
    EXPECT_EQ((*printers)[1].horizontalResolution, std::optional<std::uint64_t>(300));  // 118 dots per cm
    EXPECT_EQ((*printers)[2].name, "Plain");
    EXPECT_EQ((*printers)[2].status, std::optional<std::uint64_t>(4));
    EXPECT_EQ((*printers)[2].horizontalResolution, std::nullopt);

    // The same answer in chunks, and cut short anywhere.
    std::string body = ippAnswer();
    auto chunk = [](const std::string& data) {
        std::ostringstream size;
        size << std::hex << data.size();
        return size.str() + "\r\n" + data + "\r\n";
    };
    std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + chunk(body.substr(0, 16)) +
                          chunk(body.substr(16)) + "0\r\n\r\n";
    EXPECT_TRUE(replyComplete(chunked));
    ASSERT_TRUE(printersFromReply(chunked));
    EXPECT_EQ(printersFromReply(chunked)->size(), 3u);
    std::string whole = httpReply(body);
    for (std::size_t cut : {std::size_t(10), whole.size() - body.size() + 20, whole.size() - 1}) {
        EXPECT_FALSE(replyComplete(whole.substr(0, cut))) << cut;
        EXPECT_FALSE(printersFromReply(whole.substr(0, cut))) << cut;
    }
}

// A scheduler that accepts and then says nothing costs one budget for the whole run: the budget
// is waited out once, and the scheduler is not asked again after it failed (one connection).
TEST(CupsPrinters, ASilentSchedulerCostsOneBudgetForTheRun) {
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), size), 0);
    ASSERT_EQ(::listen(listener, 64), 0);                  // the kernel accepts; nobody answers
    ASSERT_EQ(::fcntl(listener, F_SETFL, O_NONBLOCK), 0);  // counting the connections afterwards must not wait
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size), 0);
    SchedulerAddress silent = parseServerName("127.0.0.1:" + std::to_string(ntohs(address.sin_port)));

    PrintScheduler scheduler(std::chrono::milliseconds(100));
    auto start = std::chrono::steady_clock::now();
    for (int query = 0; query < 20; ++query) EXPECT_TRUE(scheduler.printers(silent).empty());
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_TRUE(scheduler.failed());
    EXPECT_TRUE(scheduler.exhausted());
    EXPECT_GE(elapsed.count(), 90);
    int connections = 0;
    for (int fd; (fd = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK)) >= 0; ++connections) ::close(fd);
    EXPECT_EQ(connections, 1);
    ::close(listener);
}

TEST(CupsPrinters, ServerNamesAsCupsWritesThem) {
    EXPECT_EQ(parseServerName("/run/cups/cups.sock").socketPath, "/run/cups/cups.sock");
    SchedulerAddress a = parseServerName("print.example:8631/version=1.1");
    EXPECT_EQ(a.host, "print.example");
    EXPECT_EQ(a.port, 8631);
    SchedulerAddress b = parseServerName("[::1]:632");
    EXPECT_EQ(b.host, "::1");
    EXPECT_EQ(b.port, 632);
    EXPECT_EQ(parseServerName("printhost").port, 631);
}

}  // namespace
}  // namespace moravel::lx
