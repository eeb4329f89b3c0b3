# Writes the six fixture machines of this folder: python3 make_fixtures.py tests/data/linux
import os, struct, sys
base = sys.argv[1]
def w(root, rel, text, mode='w'):
    p = os.path.join(base, root, rel.lstrip('/'))
    os.makedirs(os.path.dirname(p), exist_ok=True)
    with open(p, mode) as f: f.write(text)
def ln(root, rel, target):
    p = os.path.join(base, root, rel.lstrip('/'))
    os.makedirs(os.path.dirname(p), exist_ok=True)
    if os.path.lexists(p): os.remove(p)
    os.symlink(target, p)
def mkd(root, rel):
    os.makedirs(os.path.join(base, root, rel.lstrip('/')), exist_ok=True)
def memmap(root, ranges):
    for i, (start, end, kind) in enumerate(ranges):
        for k, v in (("start", start), ("end", end), ("type", kind)): w(root, f"/sys/firmware/memmap/{i}/{k}", v + "\n")

EDX = "fpu vme de pse tsc msr pae mce cx8 apic sep mtrr pge mca cmov pat pse36 clflush dts acpi mmx fxsr sse sse2 ss ht tm pbe"

def cpuinfo(cpus, vendor, family, model, name, stepping, mhz, flags, cores):
    out = []
    for i, (phys, core) in enumerate(cpus):
        out.append(f"processor\t: {i}\nvendor_id\t: {vendor}\ncpu family\t: {family}\nmodel\t\t: {model}\n"
                   f"model name\t: {name}\nstepping\t: {stepping}\ncpu MHz\t\t: {mhz}\nphysical id\t: {phys}\n"
                   f"siblings\t: {len(cpus)}\ncore id\t\t: {core}\ncpu cores\t: {cores}\nflags\t\t: {flags}\n\n")
    return "".join(out)

def cache(root, cpu, index, level, typ, size, shared):
    d = f"/sys/devices/system/cpu/cpu{cpu}/cache/index{index}"
    w(root, d + "/level", f"{level}\n"); w(root, d + "/type", typ + "\n")
    w(root, d + "/size", size + "\n"); w(root, d + "/shared_cpu_list", shared + "\n")

def common(root, host, osrel, pretty, machine_id, btime, memtotal, memavail):
    w(root, "/proc/sys/kernel/hostname", host + "\n")
    w(root, "/proc/sys/kernel/domainname", "(none)\n")
    w(root, "/proc/sys/kernel/osrelease", osrel + "\n")
    w(root, "/etc/os-release", f'PRETTY_NAME="{pretty}"\nNAME="{pretty.split()[0]}"\nVERSION_ID="12"\n')
    if machine_id: w(root, "/etc/machine-id", machine_id + "\n")
    w(root, "/proc/stat", f"cpu  1 2 3 4\nctxt 123\nbtime {btime}\nprocesses 42\n")
    w(root, "/proc/meminfo", f"MemTotal:       {memtotal} kB\nMemFree:         1000 kB\nMemAvailable:   {memavail} kB\nHugePages_Total:       0\n")

def net(root, name, index, typ, address, device=None):
    d = f"/sys/class/net/{name}"
    w(root, d + "/ifindex", f"{index}\n"); w(root, d + "/type", f"{typ}\n"); w(root, d + "/address", address + "\n")
    w(root, d + "/operstate", "up\n")
    if device: ln(root, d + "/device", device)

def pci(root, addr, vendor, device, cls, parent="pci0000:00"):
    d = f"/sys/devices/{parent}/{addr}"
    w(root, d + "/vendor", vendor + "\n"); w(root, d + "/device", device + "\n"); w(root, d + "/class", cls + "\n")
    ln(root, f"/sys/bus/pci/devices/{addr}", "../../../devices/" + parent + "/" + addr)
    return d

def utmp(kind, user, line, seconds):
    r = bytearray(384)
    struct.pack_into("<hxxi", r, 0, kind, 1000)
    r[8:8 + len(line)] = line.encode(); r[44:44 + len(user)] = user.encode()
    struct.pack_into("<i", r, 340, seconds)
    return bytes(r)

def edid():
    e = bytearray(128)
    e[0:8] = b"\x00\xff\xff\xff\xff\xff\xff\x00"
    e[54:72] = bytes([0x02, 0x3A, 0x80, 0x18, 0x71, 0x38, 0x2D, 0x40]) + bytes(10)
    e[72:90] = bytes([0, 0, 0, 0xFD, 0, 0x38, 0x4B, 0x1E, 0x51, 0x11, 0]) + bytes(7)
    return bytes(e)

# ---------------- desktop ----------------
R = "desktop"
common(R, "desktop", "6.1.0-13-amd64", "Debian GNU/Linux 12 (bookworm)", "0123456789abcdef0123456789abcdef", 1380874530, 8079336, 6291456)
w(R, "/etc/hosts", "127.0.0.1\tlocalhost\n127.0.1.1\tdesktop.home.lan desktop\n")
w(R, "/proc/cpuinfo", cpuinfo([(0, 0), (0, 1), (0, 0), (0, 1)], "GenuineIntel", 6, 60,
                              "Intel(R) Core(TM) i3-4130 CPU @ 3.40GHz", 3, "3399.921", EDX + " syscall nx lm constant_tsc", 2))
for cpu, shared in ((0, "0,2"), (1, "1,3"), (2, "0,2"), (3, "1,3")):
    cache(R, cpu, 0, 1, "Data", "32K", shared); cache(R, cpu, 1, 1, "Instruction", "32K", shared)
    cache(R, cpu, 2, 2, "Unified", "256K", shared); cache(R, cpu, 3, 3, "Unified", "3072K", "0-3")
w(R, "/sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq", "800000\n")
w(R, "/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq", "3400000\n")
dmi = {"sys_vendor": "Gigabyte Technology Co., Ltd.", "product_name": "To be filled by O.E.M.",
       "bios_vendor": "American Megatrends Inc.", "bios_version": "F7", "bios_date": "08/30/2013",
       "board_vendor": "Gigabyte Technology Co., Ltd.", "board_name": "Z87-D3HP"}
for k, v in dmi.items(): w(R, "/sys/class/dmi/id/" + k, v + "\n")
memmap(R, [("0x0", "0x9d7ff", "System RAM"), ("0x100000", "0xbfffffff", "System RAM"),
           ("0xe0000000", "0xefffffff", "Reserved"), ("0x100000000", "0x23fffffff", "System RAM")])
# PCI: graphics, LPC, SATA, USB, Ethernet, HD audio
gpu = pci(R, "0000:00:02.0", "0x8086", "0x0412", "0x030000")
w(R, gpu + "/resource", "0x00000000f7800000 0x00000000f7bfffff 0x0000000000040200\n0x00000000e0000000 0x00000000efffffff 0x000000000014220c\n0x000000000000f000 0x000000000000f03f 0x0000000000040101\n")
ln(R, gpu + "/driver", "../../../bus/pci/drivers/i915")
ln(R, "/sys/bus/pci/drivers/i915/module", "../../../../module/i915")
mkd(R, "/sys/module/i915")
w(R, gpu + "/drm/card0/card0-HDMI-A-1/status", "connected\n")
w(R, gpu + "/drm/card0/card0-HDMI-A-1/modes", "1920x1080\n1680x1050\n")
w(R, gpu + "/drm/card0/card0-HDMI-A-1/edid", edid(), "wb")
w(R, gpu + "/drm/card0/card0-VGA-1/status", "disconnected\n")
w(R, "/sys/class/graphics/fb0/bits_per_pixel", "32\n")
pci(R, "0000:00:1f.0", "0x8086", "0x8c44", "0x060100")
sata = pci(R, "0000:00:1f.2", "0x8086", "0x8c02", "0x010601")
usb = pci(R, "0000:00:14.0", "0x8086", "0x8c31", "0x0c0330")
eth = pci(R, "0000:00:19.0", "0x8086", "0x153b", "0x020000")
hda = pci(R, "0000:00:1b.0", "0x8086", "0x8c20", "0x040300")
net(R, "eth0", 2, 1, "94:de:80:6a:01:02", "../../../devices/pci0000:00/0000:00:19.0")
net(R, "docker0", 3, 1, "02:42:ac:11:00:01")
net(R, "lo", 1, 772, "00:00:00:00:00:00")
w(R, "/proc/asound/cards", " 0 [PCH            ]: HDA-Intel - HDA Intel PCH\n                      HDA Intel PCH at 0xf7f10000 irq 32\n")
ln(R, "/sys/class/sound/card0/device", "../../../devices/pci0000:00/0000:00:1b.0")
# SATA disk sda with two partitions
scsi = sata[len("/sys/devices/"):] + "/ata1/host0/target0:0:0/0:0:0:0"
sd = "/sys/devices/" + scsi
w(R, sd + "/model", "Samsung SSD 850 \n"); w(R, sd + "/vendor", "ATA     \n"); w(R, sd + "/rev", "2B6Q\n")
w(R, sd + "/block/sda/size", "488397168\n"); w(R, sd + "/block/sda/dev", "8:0\n"); w(R, sd + "/block/sda/removable", "0\n")
w(R, sd + "/block/sda/queue/logical_block_size", "512\n")
w(R, sd + "/block/sda/sda1/partition", "1\n"); w(R, sd + "/block/sda/sda2/partition", "2\n")
ln(R, sd + "/block/sda/device", "../../../0:0:0:0")
ln(R, "/sys/block/sda", "../devices/" + scsi + "/block/sda")
w(R, "/run/udev/data/b8:0", "S:disk/by-id/ata-Samsung_SSD_850_EVO_250GB_S2R5NX0H123456\nE:ID_MODEL=Samsung_SSD_850_EVO_250GB\nE:ID_MODEL_ENC=Samsung\\x20SSD\\x20850\\x20EVO\\x20250GB\\x20\\x20\nE:ID_SERIAL_SHORT=S2R5NX0H123456\n")
# USB stick sdb, one partition
usbdev = usb[len("/sys/devices/"):] + "/usb3/3-1"
w(R, "/sys/devices/" + usbdev + "/idVendor", "0781\n"); w(R, "/sys/devices/" + usbdev + "/idProduct", "5567\n")
scsi = usbdev + "/3-1:1.0/host6/target6:0:0/6:0:0:0"
sd = "/sys/devices/" + scsi
w(R, sd + "/model", "Cruzer Blade    \n"); w(R, sd + "/vendor", "SanDisk \n"); w(R, sd + "/rev", "1.00\n")
w(R, sd + "/block/sdb/size", "31266816\n"); w(R, sd + "/block/sdb/dev", "8:16\n"); w(R, sd + "/block/sdb/removable", "1\n")
w(R, sd + "/block/sdb/queue/logical_block_size", "512\n"); w(R, sd + "/block/sdb/sdb1/partition", "1\n")
ln(R, sd + "/block/sdb/device", "../../../6:0:0:0")
ln(R, "/sys/block/sdb", "../devices/" + scsi + "/block/sdb")
w(R, "/sys/devices/virtual/block/loop0/size", "0\n"); ln(R, "/sys/block/loop0", "../devices/virtual/block/loop0")
# the optical drive
scsi = sata[len("/sys/devices/"):] + "/ata2/host1/target1:0:0/1:0:0:0"
sd = "/sys/devices/" + scsi
w(R, sd + "/model", "DVDRAM GH24NSB0 \n"); w(R, sd + "/vendor", "HL-DT-ST\n"); w(R, sd + "/rev", "LN00\n")
w(R, sd + "/block/sr0/size", "0\n"); ln(R, sd + "/block/sr0/device", "../../../1:0:0:0")
ln(R, "/sys/block/sr0", "../devices/" + scsi + "/block/sr0")
w(R, "/proc/sys/dev/cdrom/info", "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n\ndrive name:\t\tsr0\ndrive speed:\t\t48\nCan read DVD:\t\t1\nCan write CD-R:\t\t1\nCan write DVD-R:\t\t1\nCan write DVD-RAM:\t\t1\n")
for name in ("sda1", "sda2", "sdb1", "sr0"):
    pass
ln(R, "/sys/class/block/sda2", "../../block/sda/sda2"); ln(R, "/sys/class/block/sda1", "../../block/sda/sda1")
ln(R, "/sys/class/block/sdb1", "../../block/sdb/sdb1"); ln(R, "/sys/class/block/sda", "../../block/sda"); ln(R, "/sys/class/block/sdb", "../../block/sdb")
w(R, "/proc/self/mounts", "sysfs /sys sysfs rw 0 0\nproc /proc proc rw 0 0\n/dev/sda2 / ext4 rw,relatime 0 0\ntmpfs /run tmpfs rw 0 0\n"
  "/dev/sda1 /boot/efi vfat rw 0 0\n/dev/sda2 /var/lib/docker ext4 rw 0 0\n/dev/sdb1 /media/user/USB\\040STICK vfat rw 0 0\n"
  "//nas/share /mnt/share cifs rw 0 0\n")
w(R, "/usr/share/misc/pci.ids", "# fixture list\n10de  NVIDIA Corporation\n\t1c82  GP107 [GeForce GTX 1050 Ti]\n8086  Intel Corporation\n\t0412  Xeon E3-1200 v3/4th Gen Core Processor Integrated Graphics Controller\n"
  "\t153b  Ethernet Connection I217-V\n\t\t1458 e000  GA-Z87-D3HP\n\t8c20  8 Series/C220 Series Chipset High Definition Audio Controller\n"
  "\nC 00  Unclassified device\n\t00  Non-VGA unclassified device\n")
w(R, "/usr/share/misc/usb.ids", "0781  SanDisk Corp.\n\t5567  Cruzer Blade\n")
# The subsystem and revision of the Ethernet controller, and its driver.
w(R, eth + "/subsystem_vendor", "0x1458\n"); w(R, eth + "/subsystem_device", "0xe000\n"); w(R, eth + "/revision", "0x04\n")
ln(R, eth + "/driver", "../../../bus/pci/drivers/e1000e"); w(R, "/sys/bus/pci/drivers/e1000e/uevent", "")
# Debian's point release, the accounts (no password anywhere: the field holds "x"), the resolver
# and the logins: jdoe, then alice, each logged out again.
w(R, "/etc/debian_version", "12.11\n")
w(R, "/etc/passwd", "root:x:0:0:root:/root:/bin/bash\n# a comment\n+nisuser::::::\nbroken line\n"
  "jdoe:x:1000:1000:Jane Doe,Room 4,,:/home/jdoe:/bin/bash\nalice:x:1001:1001::/home/alice:/usr/bin/zsh\n")
w(R, "/etc/group", "root:x:0:\nsudo:x:27:jdoe,alice\njdoe:x:1000:\nalice:x:1001:\n")
w(R, "/etc/resolv.conf", "# written by NetworkManager\nsearch home.lan\nnameserver 192.168.1.1\nnameserver fe80::1%eth0\n"
  "nameserver 192.168.1.1\noptions edns0\n")
w(R, "/var/log/wtmp", utmp(2, "reboot", "~", 1700000000) + utmp(7, "jdoe", "tty1", 1700000100) +
  utmp(8, "", "tty1", 1700000200) + utmp(7, "alice", "pts/0", 1700000300) + utmp(8, "", "pts/0", 1700000400), "wb")

# ---------------- laptop ----------------
R = "laptop"
# 8 GiB installed, 512 MiB of it the integrated graphics' own: the memory map and meminfo agree.
common(R, "thinkpad", "6.5.0-14-generic", "Ubuntu 23.10", "fedcba9876543210fedcba9876543210", 1700000000, 7654000, 4000000)
w(R, "/proc/cpuinfo", cpuinfo([(0, 0), (0, 1)], "AuthenticAMD", 23, 24, "AMD Ryzen 5 3500U with Radeon Vega Mobile Gfx", 1, "1400.000", EDX + " lm", 2))
for cpu in (0, 1):
    cache(R, cpu, 2, 2, "Unified", "512K", str(cpu)); cache(R, cpu, 3, 3, "Unified", "4096K", "0-1")
dmi = {"sys_vendor": "LENOVO", "product_name": "20NJ0000GE", "bios_vendor": "LENOVO", "bios_version": "R12ET61W(1.31 )",
       "bios_date": "03/15/2021", "board_vendor": "LENOVO", "board_name": "20NJ0000GE", "board_serial": "L1HF9AB012C"}
for k, v in dmi.items(): w(R, "/sys/class/dmi/id/" + k, v + "\n")
def t19(start_kib, end_kib, handle):
    return struct.pack("<BBHIIHB", 19, 0x0F, handle, start_kib, end_kib, 0x1000, 2) + b"\0\0"
table = struct.pack("<BBH", 0, 0x04, 0) + b"LENOVO\0\0" + t19(0, 0x3FFFFF, 1) + t19(0x400000, 0x7FFFFF, 2) + struct.pack("<BBH", 127, 4, 3) + b"\0\0"
w(R, "/sys/firmware/dmi/tables/DMI", table, "wb")
memmap(R, [("0x0", "0x9efff", "System RAM"), ("0x100000", "0xbfffffff", "System RAM"), ("0x100000000", "0x21fffffff", "System RAM")])
pci(R, "0000:00:14.3", "0x8086", "0x34f0", "0x028000")
bridge = pci(R, "0000:00:1d.0", "0x8086", "0x34b0", "0x060400")
nvme_pci = pci(R, "0000:3d:00.0", "0x144d", "0xa808", "0x010802", "pci0000:00/0000:00:1d.0")
ctrl = nvme_pci + "/nvme/nvme0"
w(R, ctrl + "/model", "SAMSUNG MZVLB512HBJQ-000L7              \n"); w(R, ctrl + "/serial", "S4ENNX0N123456      \n"); w(R, ctrl + "/firmware_rev", "5M2QEXF7\n")
ns = ctrl + "/nvme0n1"
w(R, ns + "/size", "1000215216\n"); w(R, ns + "/dev", "259:0\n"); w(R, ns + "/removable", "0\n"); w(R, ns + "/queue/logical_block_size", "512\n")
for p in (1, 2, 3): w(R, ns + f"/nvme0n1p{p}/partition", f"{p}\n")
ln(R, ns + "/device", "../../nvme0")
ln(R, "/sys/block/nvme0n1", "../devices/pci0000:00/0000:00:1d.0/0000:3d:00.0/nvme/nvme0/nvme0n1")
net(R, "wlp0s20f3", 3, 1, "f4:8c:50:aa:bb:cc", "../../../devices/pci0000:00/0000:00:14.3")
net(R, "lo", 1, 772, "00:00:00:00:00:00")
net(R, "virbr0", 2, 1, "52:54:00:12:34:56")
net(R, "tun0", 4, 65534, "")
usbdev = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2"
w(R, usbdev + "/idVendor", "046d\n"); w(R, usbdev + "/idProduct", "0a44\n")
w(R, "/proc/asound/cards", " 1 [Headset        ]: USB-Audio - Logitech USB Headset\n                      Logitech Logitech USB Headset at usb-0000:00:14.0-2, full speed\n")
ln(R, "/sys/class/sound/card1/device", "../../../devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0")
mkd(R, "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0")
b = "/sys/class/power_supply/BAT0"
for k, v in {"type": "Battery", "scope": "System", "model_name": "5B10W13930", "manufacturer": "Celxpert",
             "serial_number": "1234", "capacity": "87", "status": "Discharging"}.items(): w(R, b + "/" + k, v + "\n")
w(R, "/sys/class/power_supply/AC/type", "Mains\n")
m = "/sys/class/power_supply/hidpp_battery_0"
for k, v in {"type": "Battery", "scope": "Device", "model_name": "MX Master 3", "capacity": "40"}.items(): w(R, m + "/" + k, v + "\n")
w(R, "/proc/self/mounts", "/dev/nvme0n1p2 / ext4 rw 0 0\n/dev/nvme0n1p1 /boot/efi vfat rw 0 0\nnas:/export /mnt/nfs nfs4 rw 0 0\n")
vega = pci(R, "0000:05:00.0", "0x1002", "0x15d8", "0x030000", "pci0000:00/0000:00:08.1")
w(R, vega + "/mem_info_vram_total", "536870912\n")
ln(R, vega + "/driver", "../../../../bus/pci/drivers/amdgpu"); w(R, "/sys/bus/pci/drivers/amdgpu/uevent", "")
w(R, "/usr/share/misc/pci.ids", "1002  Advanced Micro Devices, Inc. [AMD/ATI]\n\t15d8  Picasso/Raven 2 [Radeon Vega Series / Radeon Vega Mobile Series]\n"
  "144d  Samsung Electronics Co Ltd\n\ta808  NVMe SSD Controller SM981/PM981/PM983\n8086  Intel Corporation\n\t34f0  Killer Wi-Fi 6 AX1650i 160MHz Wireless Network Adapter (201NGW)\n")
w(R, "/usr/share/misc/usb.ids", "046d  Logitech, Inc.\n\t0a44  Headset H390\n")

# ---------------- container ----------------
R = "container"
common(R, "3f2a9c1d7e4b", "5.15.0-91-generic", "Alpine Linux v3.19", None, 1700000000, 2000000, 1500000)
w(R, "/proc/cpuinfo", cpuinfo([(0, 0)], "GenuineIntel", 6, 85, "Intel(R) Xeon(R) Platinum 8259CL CPU @ 2.50GHz", 7, "2499.998", EDX + " lm", 1))
net(R, "lo", 1, 772, "00:00:00:00:00:00")
net(R, "eth0", 27, 1, "02:42:ac:11:00:02")
w(R, "/proc/self/mounts", "overlay / overlay rw,lowerdir=/a:/b 0 0\nproc /proc proc rw 0 0\ntmpfs /dev tmpfs rw 0 0\n/dev/vda1 /etc/hosts ext4 rw 0 0\n")
mkd(R, "/sys/class/dmi"); mkd(R, "/sys/bus/pci/devices")
w("container", "/etc/hosts", "127.0.0.1\tlocalhost\n")
w("desktop", "/sys/module/i915/refcnt", "3\n")
w("laptop", "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/bInterfaceClass", "01\n")

# ---------------- kvm: a KVM guest without firmware tables, its devices virtio on PCI, its disk mounted whole ----------------
R = "kvm"
common(R, "build-runner-7", "6.1.0-18-cloud-amd64", "Debian GNU/Linux 12 (bookworm)", "5f0c2a7d9e3b41c8a6d2e4f1b3c5d7e9", 1700000000, 2030000, 1500000)
w(R, "/proc/cpuinfo", cpuinfo([(0, 0), (0, 1)], "GenuineIntel", 6, 85, "Intel Xeon Processor (Cascadelake)", 6, "2893.202",
                              EDX + " syscall nx lm constant_tsc hypervisor", 2))
w(R, "/sys/devices/system/clocksource/clocksource0/available_clocksource", "kvm-clock tsc acpi_pm \n")
w(R, "/sys/devices/system/clocksource/clocksource0/current_clocksource", "kvm-clock\n")
net(R, "lo", 1, 772, "00:00:00:00:00:00")
net(R, "eth0", 2, 1, "52:54:00:ab:cd:ef", "../../../devices/pci0000:00/0000:00:03.0/virtio2")
mkd(R, "/sys/hypervisor")
memmap(R, [("0x0", "0x9fbff", "System RAM"), ("0x9fc00", "0xfffff", "Reserved"), ("0x100000", "0x7fffffff", "System RAM"),
           ("0xeec00000", "0xfebfffff", "Reserved")])
pci(R, "0000:00:00.0", "0x8086", "0x0d57", "0x060000")
blk = pci(R, "0000:00:02.0", "0x1af4", "0x1042", "0x018000")
pci(R, "0000:00:03.0", "0x1af4", "0x1041", "0x020000"); w(R, "/sys/devices/pci0000:00/0000:00:03.0/virtio2/device", "0x0001\n")
gpu = pci(R, "0000:00:04.0", "0x1af4", "0x1050", "0x030000")
ln(R, gpu + "/driver", "../../../bus/pci/drivers/virtio-pci"); w(R, "/sys/bus/pci/drivers/virtio-pci/uevent", "")
w(R, gpu + "/resource", "0x00000000fe000000 0x00000000fe7fffff 0x0000000000042208\n0x00000000fe800000 0x00000000fe803fff 0x0000000000140204\n")
vda = blk + "/virtio1/block/vda"
w(R, vda + "/size", "41943040\n"); w(R, vda + "/dev", "254:0\n"); w(R, vda + "/removable", "0\n")
w(R, vda + "/serial", "13866317129696674\n"); w(R, vda + "/queue/logical_block_size", "512\n")
ln(R, vda + "/device", "../../../virtio1")
ln(R, "/sys/block/vda", "../devices/pci0000:00/0000:00:02.0/virtio1/block/vda")
w(R, "/proc/self/mounts", "/dev/vda / ext4 rw,relatime 0 0\nproc /proc proc rw 0 0\n")
w(R, "/proc/self/mountinfo", "22 27 0:21 / /proc rw,relatime - proc proc rw\n27 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n")
w(R, "/usr/share/misc/pci.ids", "1af4  Red Hat, Inc.\n\t1041  Virtio 1.0 network device\n\t1042  Virtio 1.0 block device\n\t1050  Virtio 1.0 GPU\n"
  "8086  Intel Corporation\n\t0d57  Ice Lake IEH\n")

# ---------------- arm: a 64-bit ARM single-board computer described by its device tree ----------------
R = "arm"
common(R, "raspberrypi", "6.1.0-rpi7-rpi-v8", "Debian GNU/Linux 12 (bookworm)", "a1b2c3d4e5f60718293a4b5c6d7e8f90", 1700000000, 3884272, 3300000)
arm_cpu = "BogoMIPS\t: 108.00\nFeatures\t: fp asimd evtstrm crc32 cpuid\nCPU implementer\t: 0x41\nCPU architecture: 8\n" \
          "CPU variant\t: 0x0\nCPU part\t: 0xd08\nCPU revision\t: 3\n\n"
w(R, "/proc/cpuinfo", "".join(f"processor\t: {i}\n" + arm_cpu for i in range(4)) +
  "Revision\t: c03114\nSerial\t\t: 10000000a1b2c3d4\nModel\t\t: Raspberry Pi 4 Model B Rev 1.4\n")
for cpu in range(4):
    w(R, f"/sys/devices/system/cpu/cpu{cpu}/cpufreq/cpuinfo_max_freq", "1800000\n")
    w(R, f"/sys/devices/system/cpu/cpu{cpu}/cpufreq/scaling_cur_freq", "600000\n")
    cache(R, cpu, 0, 1, "Data", "32K", str(cpu)); cache(R, cpu, 1, 1, "Instruction", "48K", str(cpu))
    cache(R, cpu, 2, 2, "Unified", "1024K", "0-3")
dt = "/sys/firmware/devicetree/base"
w(R, dt + "/model", "Raspberry Pi 4 Model B Rev 1.4\0")
w(R, dt + "/compatible", "raspberrypi,4-model-b\0brcm,bcm2711\0")
w(R, dt + "/serial-number", "10000000a1b2c3d4\0")
ln(R, "/proc/device-tree", "../sys/firmware/devicetree/base")
w(R, "/sys/devices/system/clocksource/clocksource0/available_clocksource", "arch_sys_counter \n")
net(R, "lo", 1, 772, "00:00:00:00:00:00")
net(R, "eth0", 2, 1, "dc:a6:32:01:02:03", "../../../devices/platform/scb/fd580000.ethernet")
mkd(R, "/sys/devices/platform/scb/fd580000.ethernet")
w(R, "/proc/self/mounts", "/dev/mmcblk0p2 / ext4 rw,noatime 0 0\n/dev/mmcblk0p1 /boot/firmware vfat rw 0 0\n")

# ---------------- hybrid: a current Intel laptop with NVIDIA graphics, NVMe and Wi-Fi, read without root ----------------
R = "hybrid"
common(R, "xps15", "6.8.0-45-generic", "Ubuntu 24.04.1 LTS", "0f1e2d3c4b5a69788796a5b4c3d2e1f0", 1720000000, 15992000, 11000000)
w(R, "/proc/cpuinfo", cpuinfo([(0, 0), (0, 0), (0, 4), (0, 4), (0, 8), (0, 9), (0, 10), (0, 11)], "GenuineIntel", 6, 154,
                              "12th Gen Intel(R) Core(TM) i7-12700H", 3, "400.000", EDX + " syscall nx lm constant_tsc", 6))
for cpu, shared in ((0, "0-1"), (1, "0-1"), (2, "2-3"), (3, "2-3"), (4, "4-7"), (5, "4-7"), (6, "4-7"), (7, "4-7")):
    cache(R, cpu, 2, 2, "Unified", "2048K" if cpu >= 4 else "1280K", shared); cache(R, cpu, 3, 3, "Unified", "24576K", "0-7")
    w(R, f"/sys/devices/system/cpu/cpu{cpu}/cpufreq/scaling_cur_freq", "400000\n")
    w(R, f"/sys/devices/system/cpu/cpu{cpu}/cpufreq/cpuinfo_max_freq", "4700000\n")
dmi = {"sys_vendor": "Dell Inc.", "product_name": "XPS 15 9520", "bios_vendor": "Dell Inc.", "bios_version": "1.27.0",
       "bios_date": "07/11/2024", "board_vendor": "Dell Inc.", "board_name": "0RH1JY"}
for k, v in dmi.items(): w(R, "/sys/class/dmi/id/" + k, v + "\n")
# The DMI table is root's; udev recorded the two modules from it at boot.
w(R, "/run/udev/data/+dmi:id", "E:MEMORY_ARRAY_NUM_DEVICES=2\nE:MEMORY_DEVICE_0_PRESENT=1\nE:MEMORY_DEVICE_0_SIZE=8589934592\n"
  "E:MEMORY_DEVICE_0_PART_NUMBER=HMCG66AGBSA092N\nE:MEMORY_DEVICE_1_SIZE=8589934592\nE:MEMORY_DEVICE_1_SPEED_MTS=4800\n")
memmap(R, [("0x0", "0x9efff", "System RAM"), ("0x100000", "0x3fffffff", "System RAM"), ("0x40400000", "0x6d77ffff", "System RAM"),
           ("0x100000000", "0x47f7fffff", "System RAM")])
igpu = pci(R, "0000:00:02.0", "0x8086", "0x46a6", "0x030000")
w(R, igpu + "/resource", "0x000000603c000000 0x000000603cffffff 0x0000000000140204\n0x0000004000000000 0x000000400fffffff 0x000000000014220c\n")
ln(R, igpu + "/driver", "../../../bus/pci/drivers/i915"); w(R, "/sys/bus/pci/drivers/i915/uevent", "")
bridge = pci(R, "0000:00:06.0", "0x8086", "0x464d", "0x060400")
dgpu = pci(R, "0000:01:00.0", "0x10de", "0x2820", "0x030200", "pci0000:00/0000:00:01.0")
w(R, dgpu + "/resource", "0x00000000a1000000 0x00000000a1ffffff 0x0000000000040200\n0x0000006000000000 0x00000061ffffffff 0x000000000014220c\n"
  "0x0000006200000000 0x0000006201ffffff 0x000000000014220c\n")
ln(R, dgpu + "/driver", "../../../../bus/pci/drivers/nvidia"); w(R, "/sys/bus/pci/drivers/nvidia/uevent", "")
w(R, "/sys/module/nvidia/version", "550.107.02\n")
pci(R, "0000:00:14.3", "0x8086", "0x51f0", "0x028000")
hda = pci(R, "0000:00:1f.3", "0x8086", "0x51c8", "0x040380")
nvme_pci = pci(R, "0000:02:00.0", "0x144d", "0xa80a", "0x010802", "pci0000:00/0000:00:06.0")
ctrl = nvme_pci + "/nvme/nvme0"
w(R, ctrl + "/model", "Samsung SSD 980 PRO 1TB                 \n"); w(R, ctrl + "/serial", "S5GXNF0R912345A     \n")
w(R, ctrl + "/firmware_rev", "5B2QGXA7\n")
ns = ctrl + "/nvme0n1"
w(R, ns + "/size", "1953525168\n"); w(R, ns + "/dev", "259:0\n"); w(R, ns + "/removable", "0\n"); w(R, ns + "/queue/logical_block_size", "512\n")
for p in (1, 2): w(R, ns + f"/nvme0n1p{p}/partition", f"{p}\n")
ln(R, ns + "/device", "../../nvme0")
ln(R, "/sys/block/nvme0n1", "../devices/pci0000:00/0000:00:06.0/0000:02:00.0/nvme/nvme0/nvme0n1")
ln(R, "/sys/class/block/nvme0n1p1", "../../block/nvme0n1/nvme0n1p1"); ln(R, "/sys/class/block/nvme0n1p2", "../../block/nvme0n1/nvme0n1p2")
w(R, "/proc/self/mounts", "/dev/nvme0n1p2 / ext4 rw,relatime 0 0\n/dev/nvme0n1p1 /boot/efi vfat rw 0 0\ntmpfs /run tmpfs rw 0 0\n")
net(R, "lo", 1, 772, "00:00:00:00:00:00")
net(R, "wlp0s20f3", 2, 1, "a0:e7:0b:11:22:33", "../../../devices/pci0000:00/0000:00:14.3")
w(R, "/proc/asound/cards", " 0 [sofhdadsp      ]: sof-hda-dsp - sof-hda-dsp\n                      Dell Inc.-XPS 15 9520-0RH1JY\n")
ln(R, "/sys/class/sound/card0/device", "../../../devices/pci0000:00/0000:00:1f.3")
b = "/sys/class/power_supply/BAT0"
for k, v in {"type": "Battery", "scope": "System", "model_name": "DELL M59JH2C", "manufacturer": "SMP",
             "serial_number": "5678", "capacity": "93", "status": "Charging"}.items(): w(R, b + "/" + k, v + "\n")
w(R, "/usr/share/misc/pci.ids", "10de  NVIDIA Corporation\n\t2820  AD106M [GeForce RTX 4070 Max-Q / Mobile]\n"
  "144d  Samsung Electronics Co Ltd\n\ta80a  NVMe SSD Controller PM9A1/PM9A3/980PRO\n"
  "8086  Intel Corporation\n\t46a6  Alder Lake-P GT2 [Iris Xe Graphics]\n\t51c8  Alder Lake PCH-P High Definition Audio Controller\n"
  "\t51f0  Alder Lake-P PCH CNVi WiFi\n")

# ---------------- secondhand: a used workstation laptop read as root, its disks' health as they answer ----------------
# answers/ holds what each disk answered to its health request (the NVMe SMART / health log page,
# ATA SMART READ DATA), as the tests' host hands them to the provider.
R = "secondhand"
def nvme_log(warning, kelvin, spare, threshold, used, cycles, hours, unsafe, media):
    b = bytearray(512)
    b[0], b[3], b[4], b[5] = warning, spare, threshold, used
    b[1:3] = struct.pack("<H", kelvin)
    for at, value in ((112, cycles), (128, hours), (144, unsafe), (160, media)): b[at:at + 16] = value.to_bytes(16, "little")
    return bytes(b)
def smart_table(attributes):  # (id, flags, value, worst, raw)
    b = bytearray(512)
    b[0:2] = struct.pack("<H", 16)
    for i, (ident, flags, value, worst, raw) in enumerate(attributes):
        at = 2 + 12 * i
        b[at], b[at + 3], b[at + 4] = ident, value, worst
        b[at + 1:at + 3] = struct.pack("<H", flags)
        b[at + 5:at + 11] = raw.to_bytes(6, "little")
    b[511] = (256 - sum(b[:511]) % 256) % 256
    return bytes(b)
common(R, "p52-used", "6.1.0-25-amd64", "Debian GNU/Linux 12 (bookworm)", "9a8b7c6d5e4f30211203f4e5d6c7b8a9", 1725000000, 32594000, 25000000)
w(R, "/proc/cpuinfo", cpuinfo([(0, 0), (0, 1), (0, 2), (0, 3)], "GenuineIntel", 6, 158, "Intel(R) Core(TM) i7-8850H CPU @ 2.60GHz", 10,
                              "2600.000", EDX + " syscall nx lm constant_tsc", 4))
for cpu in range(4):
    cache(R, cpu, 2, 2, "Unified", "256K", str(cpu)); cache(R, cpu, 3, 3, "Unified", "9216K", "0-3")
dmi = {"sys_vendor": "LENOVO", "product_name": "20M9CTO1WW", "bios_vendor": "LENOVO", "bios_version": "N2CET67W (1.50 )",
       "bios_date": "11/21/2022", "board_vendor": "LENOVO", "board_name": "20M9CTO1WW"}
for k, v in dmi.items(): w(R, "/sys/class/dmi/id/" + k, v + "\n")
memmap(R, [("0x0", "0x9efff", "System RAM"), ("0x100000", "0x7fffffff", "System RAM"), ("0x100000000", "0x87fffffff", "System RAM")])
pci(R, "0000:00:14.3", "0x8086", "0xa370", "0x028000")
net(R, "lo", 1, 772, "00:00:00:00:00:00")
net(R, "wlp0s20f3", 2, 1, "8c:16:45:aa:bb:01", "../../../devices/pci0000:00/0000:00:14.3")
# An NVMe SSD that has run 14,200 hours and used 23 % of its rated life.
nvme_pci = pci(R, "0000:3c:00.0", "0x144d", "0xa808", "0x010802", "pci0000:00/0000:00:1d.0")
ctrl = nvme_pci + "/nvme/nvme0"
w(R, ctrl + "/model", "SAMSUNG MZVLB512HAJQ-000L7              \n"); w(R, ctrl + "/serial", "S3TNNX0K812345      \n"); w(R, ctrl + "/firmware_rev", "5M2QEXF7\n")
ns = ctrl + "/nvme0n1"
w(R, ns + "/size", "1000215216\n"); w(R, ns + "/dev", "259:0\n"); w(R, ns + "/removable", "0\n"); w(R, ns + "/queue/logical_block_size", "512\n")
w(R, ns + "/queue/rotational", "0\n"); w(R, ns + "/nvme0n1p1/partition", "1\n"); w(R, ns + "/nvme0n1p2/partition", "2\n")
ln(R, ns + "/device", "../../nvme0")
ln(R, "/sys/block/nvme0n1", "../devices/pci0000:00/0000:00:1d.0/0000:3c:00.0/nvme/nvme0/nvme0n1")
w(R, ctrl + "/hwmon1/name", "nvme\n"); w(R, ctrl + "/hwmon1/temp1_input", "36850\n"); w(R, ctrl + "/hwmon1/temp1_label", "Composite\n")
ln(R, "/sys/class/hwmon/hwmon1", "../../devices/pci0000:00/0000:00:1d.0/0000:3c:00.0/nvme/nvme0/hwmon1")
w(R, "/answers/nvme0.health-log", nvme_log(0, 310, 100, 10, 23, 1873, 14200, 61, 0), "wb")
# A SATA SSD (12 % of its life used, by its remaining-life attribute) and a hard disk with
# reallocated and pending sectors, on the SATA controller.
ahci = pci(R, "0000:00:17.0", "0x8086", "0xa352", "0x010601")
for n, (name, model, rev, sectors, rotational, major) in enumerate((("sda", "CT1000MX500SSD1", "M3CR046", "1953525168", "0", "8:0"),
                                                                     ("sdb", "WDC WD10SPZX-08Z10", "04.01A04", "1953525168", "1", "8:16"))):
    sd = f"{ahci}/ata{n + 1}/host{n}/target{n}:0:0/{n}:0:0:0"
    w(R, sd + "/model", model + "\n"); w(R, sd + "/vendor", "ATA     \n"); w(R, sd + "/rev", rev + "\n")
    w(R, sd + f"/block/{name}/size", sectors + "\n"); w(R, sd + f"/block/{name}/dev", major + "\n"); w(R, sd + f"/block/{name}/removable", "0\n")
    w(R, sd + f"/block/{name}/queue/logical_block_size", "512\n"); w(R, sd + f"/block/{name}/queue/rotational", rotational + "\n")
    w(R, sd + f"/block/{name}/{name}1/partition", "1\n")
    ln(R, sd + f"/block/{name}/device", f"../../../{n}:0:0:0")
    ln(R, f"/sys/block/{name}", f"../devices/pci0000:00/0000:00:17.0/ata{n + 1}/host{n}/target{n}:0:0/{n}:0:0:0/block/{name}")
w(R, "/answers/sda.smart-data", smart_table([(5, 0x33, 100, 100, 0), (9, 0x32, 100, 100, 9870), (12, 0x32, 100, 100, 2104),
                                             (187, 0x32, 100, 100, 0), (194, 0x22, 69, 52, 31 | 18 << 16 | 48 << 32),
                                             (197, 0x32, 100, 100, 0), (202, 0x30, 88, 88, 12)]), "wb")
w(R, "/answers/sdb.smart-data", smart_table([(1, 0x2F, 200, 200, 0), (4, 0x32, 97, 97, 3420), (5, 0x33, 199, 199, 8),
                                             (9, 0x32, 71, 71, 21340), (12, 0x32, 97, 97, 3311), (194, 0x22, 108, 92, 35 | 17 << 16 | 51 << 32),
                                             (197, 0x32, 200, 200, 2), (198, 0x30, 100, 253, 0)]), "wb")
for chip, label, milli, crit in (("hwmon0", "Package id 0", "52000", "100000"), ("hwmon2", None, "45000", "98000")):
    d = f"/sys/class/hwmon/{chip}"
    w(R, d + "/name", ("coretemp" if label else "acpitz") + "\n"); w(R, d + "/temp1_input", milli + "\n"); w(R, d + "/temp1_crit", crit + "\n")
    if label: w(R, d + "/temp1_label", label + "\n")
w(R, "/sys/class/hwmon/hwmon3/name", "broken\n"); w(R, "/sys/class/hwmon/hwmon3/temp1_input", "9223372036854775807\n")
# A battery that holds 71 % of its design capacity, after 512 cycles.
b = "/sys/class/power_supply/BAT0"
for k, v in {"type": "Battery", "scope": "System", "model_name": "01AV430", "manufacturer": "SMP", "serial_number": "2314",
             "technology": "Li-poly", "capacity": "64", "status": "Discharging", "energy_full_design": "57000000",
             "energy_full": "40470000", "cycle_count": "512", "voltage_min_design": "11400000"}.items(): w(R, b + "/" + k, v + "\n")
w(R, "/sys/class/power_supply/AC/type", "Mains\n")
w(R, "/proc/self/mounts", "/dev/nvme0n1p2 / ext4 rw,relatime 0 0\n/dev/sda1 /srv ext4 rw 0 0\n/dev/sdb1 /backup ext4 rw 0 0\n")
w(R, "/usr/share/misc/pci.ids", "144d  Samsung Electronics Co Ltd\n\ta808  NVMe SSD Controller SM981/PM981/PM983\n"
  "8086  Intel Corporation\n\ta370  Wireless-AC 9560 [Jefferson Peak]\n\ta352  Cannon Lake Mobile PCH SATA AHCI Controller\n")

# The hybrid laptop is read without root: its NVMe drive refuses the health request.
w("hybrid", "/answers/nvme0.denied", "")
