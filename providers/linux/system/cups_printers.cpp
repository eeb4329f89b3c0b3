#include "providers/linux/system/cups_printers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>

#include "io/fd.h"
#include "providers/linux/system/host_facts.h"

namespace moravel::lx {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kMaxConfBytes = 64 * 1024;

std::optional<std::string> serverNameOf(const std::string& clientConf) {
    std::optional<std::string> text = RootFs("").read(clientConf, kMaxConfBytes);
    if (!text) return std::nullopt;
    std::istringstream lines(*text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string key, value;
        if (words >> key >> value && key == "ServerName") return value;
    }
    return std::nullopt;
}

int millisecondsUntil(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) + 1 : 0;
}

bool waitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        int timeout = millisecondsUntil(deadline);
        if (timeout == 0) return false;
        pollfd entry{fd, events, 0};
        int ready = ::poll(&entry, 1, timeout);
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

// Name resolution has no time limit of its own; the asynchronous form is waited for only until
// the deadline. A lookup still running then is abandoned: its memory stays with the resolver.
struct Lookup {
    std::string host, service;
    addrinfo hints{};
    gaicb request{};
};

addrinfo* resolve(const std::string& host, std::uint16_t port, Clock::time_point deadline) {
    addrinfo numeric{};
    numeric.ai_socktype = SOCK_STREAM;
    numeric.ai_flags = AI_NUMERICHOST;
    addrinfo* found = nullptr;
    std::string service = std::to_string(port);
    if (::getaddrinfo(host == "localhost" ? "127.0.0.1" : host.c_str(), service.c_str(), &numeric, &found) == 0)
        return found;  // an address needs no name service and no thread
    auto lookup = std::make_unique<Lookup>();
    lookup->host = host;
    lookup->service = service;
    lookup->hints.ai_socktype = SOCK_STREAM;
    lookup->request.ar_name = lookup->host.c_str();
    lookup->request.ar_service = lookup->service.c_str();
    lookup->request.ar_request = &lookup->hints;
    gaicb* list[] = {&lookup->request};
    if (::getaddrinfo_a(GAI_NOWAIT, list, 1, nullptr) != 0) return nullptr;
    for (;;) {
        int left = millisecondsUntil(deadline);
        timespec wait{left / 1000, (left % 1000) * 1000000L};
        int result = left > 0 ? ::gai_suspend(list, 1, &wait) : EAI_AGAIN;
        if (result == 0 || ::gai_error(&lookup->request) != EAI_INPROGRESS) break;
        if (result == EAI_INTR) continue;
        if (::gai_cancel(&lookup->request) != EAI_CANCELED) lookup.release();  // NOLINT: left to the resolver
        return nullptr;
    }
    return ::gai_error(&lookup->request) == 0 ? lookup->request.ar_result : nullptr;
}

int connectTo(const sockaddr* address, socklen_t length, Clock::time_point deadline) {
    int fd = ::socket(address->sa_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    FdCloser guard{fd};
    if (::connect(fd, address, length) != 0 && errno != EINPROGRESS) return -1;
    int error = 0;
    socklen_t size = sizeof error;
    if (!waitFor(fd, POLLOUT, deadline) || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0)
        return -1;
    guard.fd = -1;
    return fd;
}

int connectToScheduler(const SchedulerAddress& address, Clock::time_point deadline) {
    if (!address.socketPath.empty()) {
        sockaddr_un local{};
        local.sun_family = AF_UNIX;
        if (address.socketPath.size() >= sizeof local.sun_path) return -1;
        std::memcpy(local.sun_path, address.socketPath.c_str(), address.socketPath.size());
        return connectTo(reinterpret_cast<sockaddr*>(&local), sizeof local, deadline);
    }
    std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> found(resolve(address.host, address.port, deadline),
                                                               &::freeaddrinfo);
    for (addrinfo* a = found.get(); a; a = a->ai_next) {
        int fd = connectTo(a->ai_addr, a->ai_addrlen, deadline);
        if (fd >= 0) return fd;
    }
    return -1;
}

bool sendAll(int fd, const std::string& data, Clock::time_point deadline) {
    for (std::size_t sent = 0; sent < data.size();) {
        if (!waitFor(fd, POLLOUT, deadline)) return false;
        ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        if (n > 0) sent += static_cast<std::size_t>(n);
    }
    return true;
}

// The reply until it is complete or the scheduler closes; nothing past the deadline or the cap.
std::optional<std::string> receiveReply(int fd, Clock::time_point deadline) {
    std::string reply;
    char buffer[65536];
    while (!replyComplete(reply)) {
        if (!waitFor(fd, POLLIN, deadline)) return std::nullopt;
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n == 0) break;
        if (n < 0 && errno != EAGAIN && errno != EINTR) return std::nullopt;
        if (n > 0) reply.append(buffer, static_cast<std::size_t>(n));
        if (reply.size() > kMaxReplyBytes ||
            reply.compare(0, 5, "HTTP/", 0, std::min<std::size_t>(reply.size(), 5)) != 0)
            return std::nullopt;  // too much, or not an HTTP reply at all
    }
    return reply;
}

std::optional<std::vector<PrinterInfo>> exchange(const SchedulerAddress& address, Clock::time_point deadline) {
    FdCloser socket{connectToScheduler(address, deadline)};
    if (socket.fd < 0 || !sendAll(socket.fd, printersRequest(), deadline)) return std::nullopt;
    std::optional<std::string> reply = receiveReply(socket.fd, deadline);
    return reply ? printersFromReply(*reply) : std::nullopt;
}

// CUPS_SERVER, else the ServerName of ~/.cups/client.conf or /etc/cups/client.conf, else the
// local socket when it exists, else localhost (a refused connection costs microseconds).
SchedulerAddress schedulerAddress() {
    const char* server = std::getenv("CUPS_SERVER");
    if (server && *server) return parseServerName(server);
    const char* home = std::getenv("HOME");
    std::optional<std::string> named = home ? serverNameOf(std::string(home) + "/.cups/client.conf") : std::nullopt;
    if (!named) named = serverNameOf("/etc/cups/client.conf");
    if (named) return parseServerName(*named);
    for (const char* socket : {"/run/cups/cups.sock", "/var/run/cups/cups.sock"})
        if (::access(socket, F_OK) == 0) return parseServerName(socket);
    return parseServerName("localhost");
}

}  // namespace

SchedulerAddress parseServerName(const std::string& name) {
    SchedulerAddress address;
    if (!name.empty() && name[0] == '/') {
        address.socketPath = name;
        return address;
    }
    std::string host = name.substr(0, name.find('/'));  // "host:631/version=1.1"
    std::size_t colon = host.rfind(':');
    if (colon != std::string::npos && host.find(']', colon) == std::string::npos) {
        std::optional<std::uint64_t> port = parseNumber(host.substr(colon + 1));
        if (port && *port > 0 && *port < 65536) address.port = static_cast<std::uint16_t>(*port);
        host.erase(colon);
    }
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    address.host = host.empty() ? "localhost" : host;
    return address;
}

bool PrintScheduler::exhausted() const { return failed_ || left_ <= Clock::duration::zero(); }

std::vector<PrinterInfo> PrintScheduler::printers(const SchedulerAddress& address) {
    if (exhausted()) return {};
    Clock::time_point start = Clock::now();
    std::optional<std::vector<PrinterInfo>> found = exchange(address, start + left_);
    left_ -= Clock::now() - start;
    failed_ = !found;
    return found ? *found : std::vector<PrinterInfo>();
}

std::vector<PrinterInfo> readCupsPrinters(PrintScheduler& scheduler) {
    if (scheduler.exhausted()) return {};  // not asked again, so not looked for again either
    return scheduler.printers(schedulerAddress());
}

}  // namespace moravel::lx
