#include "providers/linux/system/disk_commands.h"

#include <fcntl.h>
#include <linux/nvme_ioctl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <mutex>

#include "io/fd.h"

namespace moravel::lx {
namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned kCommandTimeoutMs = 250;
// Every request of the process together: past it, the disks are not asked.
constexpr std::chrono::milliseconds kBudget{1000};
constexpr std::size_t kBlock = 512;

// A request that failed with `error`: Denied where the program lacks the rights to ask.
DiskAnswer refused(int error) {
    return {error == EACCES || error == EPERM ? DiskAnswer::Status::Denied : DiskAnswer::Status::NoAnswer, {}, false};
}

// The device node, opened without waiting for media.
int openDevice(const std::string& device) {
    std::string path = "/dev/" + device;
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

// ---- ATA through SCSI ATA PASS-THROUGH (16) -------------------------------------------------

constexpr std::uint8_t kPassThrough16 = 0x85;
constexpr std::uint8_t kSmart = 0xB0, kCheckPowerMode = 0xE5;
constexpr std::uint8_t kSmartReadData = 0xD0, kSmartReturnStatus = 0xDA;

struct AtaResult {
    bool sent = false;
    bool registers = false;  // the device's registers came back
    int error = 0;
    std::uint8_t count = 0, lbaMid = 0, lbaHigh = 0;  // the registers the device returned
};

// One ATA command: PIO data-in of one block into `data`, or no data with the registers returned
// (CK_COND) in descriptor sense data.
AtaResult ataCommand(int fd, std::uint8_t command, std::uint8_t feature, std::uint8_t* data) {
    std::uint8_t cdb[16] = {kPassThrough16};
    cdb[1] = data ? (4 << 1) : (3 << 1);  // protocol: PIO data-in, or non-data
    cdb[2] = data ? 0x0E : 0x20;          // data: from the device, in blocks, count in the sector count; else CK_COND
    cdb[4] = feature;
    cdb[6] = data ? 1 : 0;
    cdb[10] = 0x4F;  // the SMART signature in LBA mid and high
    cdb[12] = 0xC2;
    cdb[14] = command;
    std::uint8_t sense[32] = {};
    sg_io_hdr_t io{};
    io.interface_id = 'S';
    io.cmdp = cdb;
    io.cmd_len = sizeof cdb;
    io.sbp = sense;
    io.mx_sb_len = sizeof sense;
    io.dxfer_direction = data ? SG_DXFER_FROM_DEV : SG_DXFER_NONE;
    io.dxferp = data;
    io.dxfer_len = data ? kBlock : 0;
    io.timeout = kCommandTimeoutMs;
    AtaResult result;
    if (::ioctl(fd, SG_IO, &io) != 0) {
        result.error = errno;
        return result;
    }
    result.sent = (io.info & SG_INFO_OK_MASK) == SG_INFO_OK || (!data && sense[0] == 0x72);
    // The ATA status return descriptor (0x09) of descriptor-format sense data.
    if (sense[0] == 0x72 && sense[7] >= 14 && sense[8] == 0x09) {
        result.registers = true;
        result.count = sense[8 + 5];
        result.lbaMid = sense[8 + 9];
        result.lbaHigh = sense[8 + 11];
    }
    return result;
}

}  // namespace

bool healthTimeLeft() {
    static std::mutex lock;
    static std::optional<Clock::time_point> start;
    std::lock_guard<std::mutex> hold(lock);
    if (!start) start = Clock::now();
    return Clock::now() - *start < kBudget;
}

DiskAnswer askNvmeHealthLog(const std::string& device) {
    if (!healthTimeLeft()) return {};
    FdCloser fd(openDevice(device));
    if (fd.fd < 0) return refused(errno);
    std::string log(kBlock, '\0');
    nvme_admin_cmd command{};
    command.opcode = 0x02;  // Get Log Page
    command.nsid = 0xFFFFFFFFu;
    command.addr = reinterpret_cast<std::uintptr_t>(log.data());
    command.data_len = kBlock;
    command.cdw10 = 0x02 | ((kBlock / 4 - 1) << 16);  // the SMART / health log, in dwords less one
    command.timeout_ms = kCommandTimeoutMs;
    if (::ioctl(fd.fd, NVME_IOCTL_ADMIN_CMD, &command) != 0) return refused(errno);
    return {DiskAnswer::Status::Answered, std::move(log), false};
}

DiskAnswer askAtaSmartData(const std::string& device) {
    if (!healthTimeLeft()) return {};
    FdCloser fd(openDevice(device));
    if (fd.fd < 0) return refused(errno);
    // A disk in standby stays there: asking for its SMART data would spin it up.
    AtaResult power = ataCommand(fd.fd, kCheckPowerMode, 0, nullptr);
    if (!power.sent) return refused(power.error);
    if (power.registers && power.count == 0x00) return {};
    std::uint8_t block[kBlock] = {};
    AtaResult read = ataCommand(fd.fd, kSmart, kSmartReadData, block);
    if (!read.sent) return refused(read.error);
    AtaResult verdict = ataCommand(fd.fd, kSmart, kSmartReturnStatus, nullptr);
    bool failing = verdict.sent && verdict.lbaMid == 0xF4 && verdict.lbaHigh == 0x2C;
    return {DiskAnswer::Status::Answered, std::string(reinterpret_cast<const char*>(block), kBlock), failing};
}

}  // namespace moravel::lx
