// The POSIX side of writeFileSafely; file_writer_windows.cpp is the Windows one.
#include "io/file_writer.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <random>
#include <vector>

#include "io/fd.h"

namespace moravel {
namespace {

constexpr int kMaxLinks = 40;  // as many as the kernel follows before it says ELOOP

// Every signal whose default action ends the program and that a handler may catch: the real-time
// signals too, which glibc numbers only at run time.
const std::vector<int>& endingSignals() {
    static const std::vector<int> signals = [] {
        std::vector<int> list = {SIGHUP,  SIGINT,  SIGQUIT,   SIGILL,  SIGTRAP, SIGABRT, SIGBUS,
                                 SIGFPE,  SIGUSR1, SIGSEGV,   SIGUSR2, SIGPIPE, SIGALRM, SIGTERM,
                                 SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,   SIGSYS};
#ifdef SIGSTKFLT
        list.push_back(SIGSTKFLT);
#endif
#ifdef SIGPWR
        list.push_back(SIGPWR);
#endif
#ifdef SIGRTMIN
        for (int number = SIGRTMIN; number <= SIGRTMAX; ++number) list.push_back(number);
#endif
        return list;
    }();
    return signals;
}

// The temporary file, for the signal handler, which may only use async-signal-safe calls.
char pendingName[PATH_MAX];
volatile std::sig_atomic_t namePending = 0;

extern "C" void removeTemporaryAndEnd(int number) {
    if (namePending) ::unlink(pendingName);
    ::signal(number, SIG_DFL);
    ::raise(number);  // delivered as the handler returns: the program ends as it would have
}

std::string reason(int error) { return std::strerror(error); }

// Holds the ending signals back while the temporary file's name changes hands.
class EndingSignalsHeld {
public:
    EndingSignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (int signal : endingSignals()) sigaddset(&held, signal);
        sigprocmask(SIG_BLOCK, &held, &before_);
    }
    ~EndingSignalsHeld() { sigprocmask(SIG_SETMASK, &before_, nullptr); }
    EndingSignalsHeld(const EndingSignalsHeld&) = delete;
    EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

private:
    sigset_t before_;
};

// Creates a file of `name` with its last six characters chosen so that no file has that name yet
// (as mkstemp does, but with the mode given: the umask applies to it).
int createExclusive(std::string& name, mode_t mode) {
    static const char kChosen[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t i = name.size() - 6; i < name.size(); ++i) name[i] = kChosen[random() % (sizeof kChosen - 1)];
        int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// A new file of a short name of its own (NAME_MAX is reached by the target's name alone) in the
// target's folder. Until it takes the target's name it is removed when it goes out of scope or
// when a signal ends the program; a signal that was ignored or handled stays so.
class TemporaryFile {
public:
    TemporaryFile(const std::string& folder, mode_t mode) : name_(folder + ".moravel-XXXXXX") {
        if (name_.size() >= sizeof pendingName) {
            error_ = ENAMETOOLONG;
            return;
        }
        EndingSignalsHeld held;
        file_.fd = createExclusive(name_, mode);
        if (file_.fd < 0) {
            error_ = errno;
            return;
        }
        std::memcpy(pendingName, name_.c_str(), name_.size() + 1);
        namePending = 1;
        const std::vector<int>& signals = endingSignals();
        before_.resize(signals.size());
        for (std::size_t i = 0; i < signals.size(); ++i) {
            struct sigaction ending {};
            ending.sa_handler = removeTemporaryAndEnd;
            sigaction(signals[i], nullptr, &before_[i]);
            if (before_[i].sa_handler == SIG_DFL) sigaction(signals[i], &ending, nullptr);
        }
    }
    ~TemporaryFile() {
        if (error_) return;
        EndingSignalsHeld held;
        if (namePending) ::unlink(name_.c_str());
        namePending = 0;
        for (std::size_t i = 0; i < before_.size(); ++i) sigaction(endingSignals()[i], &before_[i], nullptr);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return file_.fd; }
    int error() const { return error_; }
    int close() {  // the error a close reports (a network file system may only tell it then)
        const int fd = file_.fd;
        file_.fd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }
    // Takes the target's name, unless a signal to end the program came meanwhile.
    int moveTo(const std::string& target) {
        EndingSignalsHeld held;
        sigset_t pending;
        sigpending(&pending);
        for (int signal : endingSignals())
            if (sigismember(&pending, signal) == 1) return EINTR;
        if (::rename(name_.c_str(), target.c_str()) != 0) return errno;
        namePending = 0;
        return 0;
    }

private:
    std::string name_;
    FdCloser file_{-1};
    int error_ = 0;
    std::vector<struct sigaction> before_;
};

int writeAll(int fd, const std::string& content) {
    for (std::size_t done = 0; done < content.size();) {
        ssize_t n = ::write(fd, content.data() + done, std::min<std::size_t>(content.size() - done, 1u << 30));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

std::optional<std::string> outcome(int error) {
    if (error == 0) return std::nullopt;
    return reason(error);
}

// The name a chain of symbolic links ends in: the file to replace, or the new name to create.
std::string finalName(std::string path, int& error) {
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::string target(PATH_MAX, '\0');
        ssize_t n = ::readlink(path.c_str(), &target[0], target.size());
        if (n < 0 || n == PATH_MAX) {
            error = n < 0 ? errno : ENAMETOOLONG;
            return {};
        }
        target.resize(static_cast<std::size_t>(n));
        std::size_t slash = path.rfind('/');
        path = target[0] == '/' || slash == std::string::npos ? target : path.substr(0, slash + 1) + target;
    }
    error = ELOOP;
    return {};
}

std::string folderOf(const std::string& name) {
    std::size_t slash = name.rfind('/');
    return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

// The old file's owner and permissions on the new one (set-user-ID and set-group-ID dropped, as
// a write into the file drops them). False when the owner cannot be carried over: the file would
// change hands, or its group's permissions go to another group.
bool carryOver(int fd, const struct stat& old) {
    struct stat made;
    if (::fstat(fd, &made) != 0) return false;
    if ((made.st_uid != old.st_uid || made.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    return ::fchmod(fd, old.st_mode & 01777) == 0;
}

// Writing into the file itself, as the shell does: for a file this user may write but not
// replace (its folder refuses new names, or it belongs to someone else).
std::optional<std::string> writeInPlace(int fd, const std::string& content) {
    if (::ftruncate(fd, 0) != 0) return reason(errno);
    if (int error = writeAll(fd, content)) return reason(error);
    return outcome(::fsync(fd) == 0 ? 0 : errno);
}

// While it lives, a write to a pipe or socket whose reader has left fails with EPIPE (a line and
// status 2) instead of ending the program without a word.
class BrokenPipeIgnored {
public:
    BrokenPipeIgnored() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGPIPE, &ignore, &before_);
    }
    ~BrokenPipeIgnored() { sigaction(SIGPIPE, &before_, nullptr); }
    BrokenPipeIgnored(const BrokenPipeIgnored&) = delete;
    BrokenPipeIgnored& operator=(const BrokenPipeIgnored&) = delete;

private:
    struct sigaction before_ {};
};

// A device, FIFO or socket opened for writing (without waiting for a reader).
std::optional<std::string> writeDirectly(int fd, const std::string& content) {
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    BrokenPipeIgnored ignored;
    return outcome(writeAll(fd, content));
}

// Replaces `name` (or creates it); `old` is the file there, opened as `oldFd`, or null.
std::optional<std::string> replace(const std::string& name, const std::string& content, const struct stat* old,
                                   int oldFd) {
    // A new name gets the mode the shell would give it; a replacement is private until it has the
    // old file's permissions, which may be stricter than the umask's.
    TemporaryFile temporary(folderOf(name), old ? 0600 : 0666);
    const bool mayWriteInPlace = old && (temporary.error() == EACCES || temporary.error() == EPERM);
    if (temporary.fd() < 0) return mayWriteInPlace ? writeInPlace(oldFd, content) : reason(temporary.error());
    if (old && !carryOver(temporary.fd(), *old)) return writeInPlace(oldFd, content);
    if (int error = writeAll(temporary.fd(), content)) return reason(error);
    if (::fsync(temporary.fd()) != 0) return reason(errno);
    if (int error = temporary.close()) return reason(error);
    int error = temporary.moveTo(name);
    if (old && (error == EACCES || error == EPERM)) return writeInPlace(oldFd, content);  // a sticky folder
    return outcome(error);
}

// Why the file cannot be opened for writing, in the words of the shell where they are clear.
std::string openProblem(const std::string& path, int error) {
    struct stat info;
    if (error == EISDIR) return "is a folder";
    if (error == ENXIO && ::stat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode))
        return "no program reads the FIFO";
    if (error == ENXIO && ::stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode)) return "is a socket";
    return reason(error);
}

}  // namespace

void ignoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

std::optional<std::string> writeFileSafely(const std::string& path, const std::string& content) {
    ignoreFileSizeSignal();
    if (path.empty()) return reason(ENOENT);
    // Opening without O_CREAT or O_TRUNC changes nothing, and asks the kernel what the shell's
    // open would meet: permission, a read-only file system, a FIFO without a reader, a folder.
    FdCloser existing{::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (existing.fd < 0 && errno != ENOENT) return openProblem(path, errno);
    struct stat old;
    if (existing.fd >= 0) {
        if (::fstat(existing.fd, &old) != 0) return reason(errno);
        if (!S_ISREG(old.st_mode)) return writeDirectly(existing.fd, content);
    }
    int error = 0;
    std::string name = finalName(path, error);
    if (error) return reason(error);
    return replace(name, content, existing.fd >= 0 ? &old : nullptr, existing.fd);
}

}  // namespace moravel
