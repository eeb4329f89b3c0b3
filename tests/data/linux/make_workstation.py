# Writes the workstation fixture, the machine of the inventory's Linux tests: a docked laptop
# with four memory modules (udev's record of them), three disks (NVMe, SATA, USB), two monitors
# with their EDID, a worn battery, Ethernet + Wi-Fi + a VPN tunnel, keyboards, pointing devices
# and USB devices.     python3 make_workstation.py tests/data/linux
import os, struct, sys
root = os.path.join(sys.argv[1], "workstation")

def w(rel, data, mode="w"):
    path = os.path.join(root, rel.lstrip("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, mode) as f: f.write(data)

def ln(rel, target):
    path = os.path.join(root, rel.lstrip("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if os.path.lexists(path): os.remove(path)
    os.symlink(target, path)

def files(folder, values):
    for name, value in values.items(): w(folder + "/" + name, value + "\n")

def pci(address, vendor, device, cls, parent="pci0000:00"):
    folder = f"/sys/devices/{parent}/{address}"
    files(folder, {"vendor": vendor, "device": device, "class": cls})
    ln(f"/sys/bus/pci/devices/{address}", "../../../devices/" + parent + "/" + address)
    return folder

def edid(maker, product, name, serial, week, year, width, height):
    e = bytearray(128)
    e[0:8] = b"\x00\xff\xff\xff\xff\xff\xff\x00"
    letters = [ord(c) - ord("A") + 1 for c in maker]
    e[8:10] = struct.pack(">H", letters[0] << 10 | letters[1] << 5 | letters[2])
    e[10:12] = struct.pack("<H", product)
    e[12:16] = struct.pack("<I", 16843009)
    e[16], e[17], e[18], e[19], e[21], e[22] = week, year - 1990, 1, 4, width, height
    e[54:72] = bytes([0x08, 0xE8, 0x00, 0x30, 0xF2, 0x70, 0x5A, 0x80, 0xB0, 0x58, 0x8A, 0x00]) + bytes(6)
    def text(tag, value):
        return bytes([0, 0, 0, tag, 0]) + (value.encode() + b"\n").ljust(13, b" ")[:13]
    e[72:90], e[90:108] = text(0xFC, name), text(0xFF, serial)
    e[108:126] = bytes([0, 0, 0, 0xFD, 0, 0x17, 0x4C, 0x1E, 0x8C, 0x3C, 0, 0x0A]) + b"      "
    e[127] = (256 - sum(e[:127]) % 256) % 256
    return bytes(e)

# The system and its firmware.
files("/proc/sys/kernel", {"hostname": "ws-linux", "domainname": "(none)", "osrelease": "6.8.9-300.fc40.x86_64"})
w("/etc/os-release", 'NAME="Fedora Linux"\nVERSION_ID=40\nPRETTY_NAME="Fedora Linux 40 (Workstation Edition)"\n')
w("/etc/machine-id", "7d3e5a1c9b2f4e6d8a0c1b3e5f7a9c2d\n")
w("/etc/timezone", "Europe/Berlin\n")
w("/proc/stat", "cpu  1 2 3 4\nbtime 1714630530\n")
w("/proc/meminfo", "MemTotal:       65802184 kB\nMemFree:         9000000 kB\nMemAvailable:   39407400 kB\n")
cpu = ("processor\t: {0}\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 183\n"
       "model name\t: 13th Gen Intel(R) Core(TM) i7-13850HX\nstepping\t: 1\ncpu MHz\t\t: 2100.000\nphysical id\t: 0\n"
       "siblings\t: 4\ncore id\t\t: {1}\ncpu cores\t: 2\nflags\t\t: fpu vme de pse tsc msr pae mce cx8 apic sep lm\n\n")
w("/proc/cpuinfo", "".join(cpu.format(i, i // 2) for i in range(4)))
files("/sys/class/dmi/id", {
    "sys_vendor": "LENOVO", "product_name": "21FA002TGE", "product_sku": "LENOVO_MT_21FA_BU_Think_FM_ThinkPad P16 Gen 2",
    "product_serial": "PF4K2X7Q", "product_uuid": "8b3f1c2e-5a7d-11ee-9c4b-3c7f2e9a1d55", "chassis_type": "10",
    "chassis_asset_tag": "IT-004212", "chassis_vendor": "LENOVO", "bios_vendor": "LENOVO", "bios_version": "N3YET62W (1.37 )",
    "bios_date": "03/08/2024", "board_vendor": "LENOVO", "board_name": "21FA002TGE", "board_serial": "W1CG34K0123"})
modules = [("Controller0-ChannelA-DIMM0", "BANK 0", "Samsung", "M425R2GA3BB0-CWMOD", "47A1C2D3"),
           ("Controller0-ChannelB-DIMM0", "BANK 1", "Samsung", "M425R2GA3BB0-CWMOD", "47A1C2E8"),
           ("Controller1-ChannelA-DIMM0", "BANK 2", "SK\\x20Hynix", "HMCG78AGBSA095N", "2D4F6A81"),
           ("Controller1-ChannelB-DIMM0", "BANK 3", "SK\\x20Hynix", "HMCG78AGBSA095N", "2D4F6A9C")]
udev = "E:MEMORY_ARRAY_LOCATION=System Board Or Motherboard\nE:MEMORY_ARRAY_NUM_DEVICES=5\n"
for n, (locator, bank, maker, part, serial) in enumerate(modules):
    udev += (f"E:MEMORY_DEVICE_{n}_PRESENT=1\nE:MEMORY_DEVICE_{n}_SIZE=17179869184\nE:MEMORY_DEVICE_{n}_FORM_FACTOR=SODIMM\n"
             f"E:MEMORY_DEVICE_{n}_LOCATOR={locator}\nE:MEMORY_DEVICE_{n}_BANK_LOCATOR={bank}\nE:MEMORY_DEVICE_{n}_TYPE=DDR5\n"
             f"E:MEMORY_DEVICE_{n}_SPEED_MTS=5600\nE:MEMORY_DEVICE_{n}_CONFIGURED_SPEED_MTS=5200\n"
             f"E:MEMORY_DEVICE_{n}_MANUFACTURER={maker}\nE:MEMORY_DEVICE_{n}_PART_NUMBER={part}\n"
             f"E:MEMORY_DEVICE_{n}_SERIAL_NUMBER={serial}\n")
udev += "E:MEMORY_DEVICE_4_PRESENT=0\nE:MEMORY_DEVICE_4_LOCATOR=Controller1-ChannelB-DIMM1\n"  # an empty slot
w("/run/udev/data/+dmi:id", udev)

# Three disks: NVMe, SATA, a USB stick.
nvme = pci("0000:02:00.0", "0x144d", "0xa80a", "0x010802") + "/nvme/nvme0"
files(nvme, {"model": "SAMSUNG MZVL21T0HCLR-00BL7", "serial": "S64ANS0T512345", "firmware_rev": "SL2QGXA7"})
ns = nvme + "/nvme0n1"
files(ns, {"size": "2000409264", "dev": "259:0", "removable": "0", "queue/logical_block_size": "512",
           "nvme0n1p1/partition": "1", "nvme0n1p2/partition": "2", "nvme0n1p2/dev": "259:2"})
ln(ns + "/device", "../../nvme0")
ln("/sys/block/nvme0n1", "../devices/pci0000:00/0000:02:00.0/nvme/nvme0/nvme0n1")
sata = pci("0000:00:17.0", "0x8086", "0x7a23", "0x010601") + "/ata1/host0/target0:0:0/0:0:0:0"
files(sata, {"model": "Samsung SSD 860 EVO M.2 1TB", "vendor": "ATA     ", "rev": "RVT24B6Q"})
files(sata + "/block/sda", {"size": "1953525168", "dev": "8:0", "removable": "0", "queue/logical_block_size": "512",
                            "sda1/partition": "1", "sda1/dev": "8:1"})
ln(sata + "/block/sda/device", "../../../0:0:0:0")
ln("/sys/block/sda", "../devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda")
w("/run/udev/data/b8:0", "E:ID_SERIAL_SHORT=S5GENG0N301234T\n")
usb_root = pci("0000:00:14.0", "0x8086", "0x7a60", "0x0c0330")
stick = usb_root + "/usb1/1-3"
files(stick, {"idVendor": "0781", "idProduct": "5581", "serial": "4C530001231012115573", "bDeviceClass": "00",
              "manufacturer": " USB", "product": " SanDisk 3.2Gen1", "1-3:1.0/bInterfaceClass": "08"})
scsi = stick + "/1-3:1.0/host6/target6:0:0/6:0:0:0"
files(scsi, {"model": "Ultra           ", "vendor": "SanDisk ", "rev": "1.00"})
files(scsi + "/block/sdb", {"size": "120164352", "dev": "8:16", "removable": "1", "queue/logical_block_size": "512",
                            "sdb1/partition": "1", "sdb1/dev": "8:17"})
ln(scsi + "/block/sdb/device", "../../../6:0:0:0")
ln("/sys/block/sdb", "../devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/host6/target6:0:0/6:0:0:0/block/sdb")
for part, disk in (("nvme0n1p2", "nvme0n1"), ("sda1", "sda"), ("sdb1", "sdb")): ln(f"/sys/class/block/{part}", f"../../block/{disk}/{part}")
w("/run/udev/data/b259:2", "E:ID_FS_TYPE=btrfs\nE:ID_FS_LABEL=fedora\nE:ID_FS_UUID=0b8e5c3a-7d21-4f9e-b6a4-2c1d9e8f7a60\n")
w("/run/udev/data/b8:1", "E:ID_FS_TYPE=xfs\nE:ID_FS_LABEL=data\nE:ID_FS_UUID=5d6e7f80-1a2b-4c3d-9e0f-a1b2c3d4e5f6\n")
w("/run/udev/data/b8:17", "E:ID_FS_TYPE=exfat\nE:ID_FS_LABEL=SANDISK\nE:ID_FS_UUID=4A3F-1B02\n")
w("/proc/self/mounts", "/dev/nvme0n1p2 / btrfs rw,relatime 0 0\n/dev/sda1 /data xfs rw 0 0\n"
  "/dev/sdb1 /run/media/mara/SANDISK exfat rw 0 0\n//nas/home /mnt/home cifs rw 0 0\nproc /proc proc rw 0 0\n")

# Ethernet, Wi-Fi, a VPN tunnel; routes and the Ethernet's DHCP lease.
eth = pci("0000:00:1f.6", "0x8086", "0x0dc5", "0x020000")
wifi = pci("0000:00:14.3", "0x8086", "0x7a70", "0x028000")
for name, index, kind, address, device in (("lo", 1, 772, "00:00:00:00:00:00", None),
                                           ("enp0s31f6", 2, 1, "6c:24:08:5a:3b:21", "../../../devices/pci0000:00/0000:00:1f.6"),
                                           ("wlp0s20f3", 3, 1, "a4:c3:f0:6e:0f:c7", "../../../devices/pci0000:00/0000:00:14.3"),
                                           ("tun0", 4, 65534, "", None)):
    files(f"/sys/class/net/{name}", {"ifindex": str(index), "type": str(kind), "address": address, "operstate": "up"})
    if device: ln(f"/sys/class/net/{name}/device", device)
w("/sys/class/net/enp0s31f6/speed", "1000\n")
os.makedirs(os.path.join(root, "sys/class/net/wlp0s20f3/wireless"), exist_ok=True)
w("/sys/class/net/wlp0s20f3/wireless/.keep", "")
w("/proc/net/route", "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
  "enp0s31f6\t00000000\t010AA8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
  "wlp0s20f3\t00000000\t0100000A\t0003\t0\t0\t600\t00000000\t0\t0\t0\n"
  "enp0s31f6\t000AA8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n")
w("/proc/net/ipv6_route", "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
  "fe800000000000000000000000000001 00000400 00000002 00000000 00000003 enp0s31f6\n")
w("/run/systemd/netif/leases/2", "# This is private data. Do not parse.\nADDRESS=192.168.10.57\nSERVER_ADDRESS=192.168.10.1\n")

# Graphics with two screens on DisplayPort, the laptop's own panel closed.
gpu = pci("0000:00:02.0", "0x8086", "0xa788", "0x030000")
card = gpu + "/drm/card0"
for connector, status, screen in (("card0-DP-1", "connected", edid("DEL", 0xA1A4, "DELL U2723QE", "7XJ2M34", 12, 2023, 60, 34)),
                                  ("card0-DP-2", "connected", edid("GSM", 0x7707, "LG HDR 4K", "105NTKF2F123", 45, 2021, 60, 34)),
                                  ("card0-eDP-1", "disconnected", b"")):
    w(f"{card}/{connector}/status", status + "\n")
    w(f"{card}/{connector}/edid", screen, "wb")
    if status == "connected": w(f"{card}/{connector}/modes", "3840x2160\n2560x1440\n")
    ln(f"/sys/class/drm/{connector}", f"../../devices/pci0000:00/0000:00:02.0/drm/card0/{connector}")
ln("/sys/class/drm/card0", "../../devices/pci0000:00/0000:00:02.0/drm/card0")

# A battery that holds 76 % of what it was made for, after 412 cycles.
files("/sys/class/power_supply/BAT0", {
    "type": "Battery", "scope": "System", "model_name": "5B10W51876", "manufacturer": "SMP", "serial_number": "1234",
    "technology": "Li-ion", "capacity": "93", "status": "Discharging", "energy_full_design": "94000000",
    "energy_full": "71440000", "cycle_count": "412", "voltage_min_design": "15480000"})
files("/sys/class/power_supply/AC", {"type": "Mains"})

# Keyboard, power button (not a keyboard), TrackPoint, a USB receiver's mouse; USB devices.
w("/proc/bus/input/devices",
  'I: Bus=0019 Vendor=0000 Product=0001 Version=0000\nN: Name="Power Button"\nH: Handlers=kbd event0 \nB: EV=3\n\n'
  'I: Bus=0011 Vendor=0001 Product=0001 Version=ab54\nN: Name="AT Translated Set 2 keyboard"\n'
  "H: Handlers=sysrq kbd leds event3 \nB: EV=120013\n\n"
  'I: Bus=0011 Vendor=0002 Product=000a Version=0000\nN: Name="TPPS/2 Elan TrackPoint"\nH: Handlers=mouse0 event5 \nB: EV=7\n\n'
  'I: Bus=0003 Vendor=046d Product=c52b Version=0111\nN: Name="Logitech USB Receiver"\nH: Handlers=mouse1 event7 \nB: EV=17\n\n')
receiver = usb_root + "/usb1/1-2"
files(receiver, {"idVendor": "046d", "idProduct": "c52b", "bDeviceClass": "00", "manufacturer": "Logitech",
                 "product": "USB Receiver", "1-2:1.0/bInterfaceClass": "03"})
files(usb_root + "/usb1/1-4", {"idVendor": "05e3", "idProduct": "0610", "bDeviceClass": "09", "product": "USB2.1 Hub"})
files(usb_root + "/usb1", {"idVendor": "1d6b", "idProduct": "0002", "bDeviceClass": "09"})
for name, target in (("usb1", "usb1"), ("1-2", "usb1/1-2"), ("1-2:1.0", "usb1/1-2/1-2:1.0"), ("1-3", "usb1/1-3"), ("1-4", "usb1/1-4")):
    ln(f"/sys/bus/usb/devices/{name}", f"../../../devices/pci0000:00/0000:00:14.0/{target}")

w("/usr/share/misc/pci.ids", "144d  Samsung Electronics Co Ltd\n\ta80a  NVMe SSD Controller PM9A1/PM9A3/980PRO\n"
  "8086  Intel Corporation\n\t0dc5  Ethernet Connection (17) I219-LM\n\t7a70  Raptor Lake-S PCH CNVi WiFi\n"
  "\ta788  Raptor Lake-S UHD Graphics\n")
w("/usr/share/misc/usb.ids", "046d  Logitech, Inc.\n\tc52b  Unifying Receiver\n0781  SanDisk Corp.\n\t5581  Ultra\n")
