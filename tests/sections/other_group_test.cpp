#include <gtest/gtest.h>

#include "sections/sections.h"
#include "tests/support/snapshot_fixture.h"

namespace moravel::testing {
namespace {

const char* const kCdrom = "Win32_CDROMDrive";
const char* const kSound = "Win32_SoundDevice";
const char* const kBattery = "Win32_Battery";
const char* const kPrinter = "Win32_Printer";

const std::vector<std::string> kSkipList = {
    "Fax", "Send To OneNote 2010", "Send To OneNote 2011", "Send To OneNote 2012", "Send To OneNote 2013",
    "Microsoft XPS Document Writer", "Snagit 6", "Snagit 7", "Snagit 8", "Snagit 9", "Snagit 10", "Snagit 11",
    "Snagit 12", "Snagit 13", "Snagit 14", "Snagit 15", "Auto Microsoft XPS Document Writer on MORAVEL-BUILD",
    // The virtual printers of current Windows, Office and CUPS-PDF.
    "Microsoft Print to PDF", "OneNote (Desktop)", "OneNote for Windows 10", "OneNote", "Send To OneNote 2016",
    "Microsoft XPS Document Writer v4", "PDF"};

GroupRun runOther(const SnapshotBuilder& inventory, const std::string& adapterName = "Intel(R) Ethernet I219-V") {
    GroupRun run = runGroup(inventory, [&](QueryContext& context, ReportSink& sink) {
        SharedValues shared;
        shared.networkAdapterName = adapterName;
        otherGroup(context, sink, shared);
    });
    EXPECT_EQ(run.diagnostics, "");  // every query is well formed and no value makes a type line
    return run;
}

void addSound(SnapshotBuilder& inventory, int index, const std::string& product, const std::string& maker) {
    inventory.set(kSound, index, "ProductName", product).set(kSound, index, "Manufacturer", maker);
}

void addPrinter(SnapshotBuilder& inventory, int index, const std::string& caption,
                const std::string& horizontal = "600", const std::string& vertical = "600",
                const std::string& status = "3") {
    inventory.set(kPrinter, index, "Caption", caption)
        .set(kPrinter, index, "HorizontalResolution", horizontal)
        .set(kPrinter, index, "VerticalResolution", vertical)
        .set(kPrinter, index, "PrinterStatus", status);
}

void addBattery(SnapshotBuilder& inventory, const std::string& name, const std::string& id, const std::string& charge) {
    inventory.set(kBattery, 0, "Name", name)
        .set(kBattery, 0, "DeviceID", id)
        .set(kBattery, 0, "EstimatedChargeRemaining", charge);
}

TEST(OtherGroup, NothingFoundGivesNoneAndAPrinterField) {
    const GroupRun run = runOther(SnapshotBuilder{}, "No Ethernet 802.3 card found!");
    EXPECT_EQ(run.labels(), (std::vector<std::string>{"CDROM:", "Sound:", "Network:", "Printer:"}));
    EXPECT_EQ(run.text("CDROM:"), "None");
    EXPECT_EQ(run.text("Sound:"), "None");
    EXPECT_EQ(run.text("Network:"), "No Ethernet 802.3 card found!");
    EXPECT_EQ(run.text("Printer:"), "None");
    ASSERT_EQ(run.report.groups.size(), 1u);
    EXPECT_EQ(run.report.groups[0].label, "Other");
    EXPECT_TRUE(run.report.groups[0].embossed);
    EXPECT_EQ(run.report.events.back(), "end");  // no progress step of its own
    // One optical-drive read, two per sound device, the battery name, one caption per printer.
    EXPECT_EQ(run.queries, 1 + 22 + 1 + 20);
}

TEST(OtherGroup, NetworkShowsTheSharedAdapterNameOrNone) {
    EXPECT_EQ(runOther(SnapshotBuilder{}).text("Network:"), "Intel(R) Ethernet I219-V");
    EXPECT_EQ(runOther(SnapshotBuilder{}, "").text("Network:"), "None");
}

TEST(OtherGroup, CdromShowsTheMediaTypeUnlessUnknown) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"DVD Writer", "DVD Writer ( HL-DT-ST DVDRAM GH24NSD1 ATA Device )"},
        {"UNKNOWN", "HL-DT-ST DVDRAM GH24NSD1 ATA Device"},
        {"", "HL-DT-ST DVDRAM GH24NSD1 ATA Device"},
        {"Unknown", "Unknown ( HL-DT-ST DVDRAM GH24NSD1 ATA Device )"},
        {"Null", "Null ( HL-DT-ST DVDRAM GH24NSD1 ATA Device )"}};
    for (const auto& [media, expected] : cases) {
        SnapshotBuilder inventory;
        inventory.set(kCdrom, 0, "Name", "HL-DT-ST DVDRAM GH24NSD1 ATA Device").set(kCdrom, 0, "MediaType", media);
        EXPECT_EQ(runOther(inventory).text("CDROM:"), expected) << media;
    }
    SnapshotBuilder mediaOnly;
    mediaOnly.set(kCdrom, 0, "MediaType", "DVD Writer");
    EXPECT_EQ(runOther(mediaOnly).text("CDROM:"), "None");
}

TEST(OtherGroup, SoundSkipsVideoCableAudioAndHeadsets) {
    SnapshotBuilder inventory;
    addSound(inventory, 0, "NVIDIA High Definition Audio", "NVIDIA");
    addSound(inventory, 1, "Logitech G930 Headset", "Logitech");
    addSound(inventory, 2, "", "Intel");
    addSound(inventory, 3, "Realtek High Definition Audio", "Realtek");
    const GroupRun run = runOther(inventory);
    EXPECT_EQ(run.text("Sound:"), "Realtek ( Realtek High Definition Audio )");
    // The maker is read a second time only for devices that pass the first test.
    EXPECT_EQ(run.queries, 1 + (2 + 3 + 2 + 3) + 1 + 20);
}

TEST(OtherGroup, SoundWithoutMakerShowsTheProductAndNullMakerIsShown) {
    SnapshotBuilder noMaker;
    addSound(noMaker, 0, "USB Audio Device", "");
    EXPECT_EQ(runOther(noMaker).text("Sound:"), "USB Audio Device");
    SnapshotBuilder nullMaker;
    nullMaker.set(kSound, 0, "ProductName", "USB Audio Device").setNull(kSound, 0, "Manufacturer");
    EXPECT_EQ(runOther(nullMaker).text("Sound:"), "Null ( USB Audio Device )");
}

TEST(OtherGroup, SoundLooksAtElevenDevicesOnly) {
    SnapshotBuilder onlySkipped;
    addSound(onlySkipped, 0, "NVIDIA High Definition Audio", "NVIDIA");
    addSound(onlySkipped, 1, "Logitech G930 Headset", "Logitech");
    addSound(onlySkipped, 2, "", "Realtek");
    EXPECT_EQ(runOther(onlySkipped).text("Sound:"), "None");

    SnapshotBuilder twelfth;
    for (int index = 0; index < 11; ++index) addSound(twelfth, index, "NVIDIA High Definition Audio", "NVIDIA");
    addSound(twelfth, 11, "Realtek High Definition Audio", "Realtek");
    EXPECT_EQ(runOther(twelfth).text("Sound:"), "None");
    addSound(twelfth, 10, "Realtek High Definition Audio", "Realtek");
    EXPECT_EQ(runOther(twelfth).text("Sound:"), "Realtek ( Realtek High Definition Audio )");
}

TEST(OtherGroup, BatteryTakesThePrinterPlace) {
    SnapshotBuilder inventory;
    addBattery(inventory, "DELL 7FJ9277", "22SMPDELL 7FJ92772", "87");
    addPrinter(inventory, 0, "HP LaserJet Pro M404dn");
    const GroupRun run = runOther(inventory);
    EXPECT_EQ(run.labels(), (std::vector<std::string>{"CDROM:", "Sound:", "Network:", "Battery:"}));
    EXPECT_EQ(run.text("Battery:"), "DELL 7FJ9277 - 22SMPDELL 7FJ92772 - Charged: 87%");
}

TEST(OtherGroup, ChargeIsLimitedToAPercentage) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"250", "100"},          {"100", "100"}, {"0", "0"},           {"", "0"},
        {"Null", "0"},           {"-7", "0"},    {"42 percent", "42"}, {"99999999999999", "100"},
        {"-99999999999999", "0"}};
    for (const auto& [charge, shown] : cases) {
        SnapshotBuilder inventory;
        addBattery(inventory, "DELL 7FJ9277", "22SMPDELL 7FJ92772", charge);
        EXPECT_EQ(runOther(inventory).text("Battery:"), "DELL 7FJ9277 - 22SMPDELL 7FJ92772 - Charged: " + shown + "%")
            << charge;
    }
}

TEST(OtherGroup, BatteryWithoutDeviceIdShowsItsNameAlone) {
    SnapshotBuilder inventory;
    addBattery(inventory, "DELL 7FJ9277", "", "87");
    const GroupRun run = runOther(inventory);
    EXPECT_EQ(run.text("Battery:"), "DELL 7FJ9277");
    EXPECT_EQ(run.queries, 1 + 22 + 2);
}

TEST(OtherGroup, ThreeCharacterBatteryNameCountsAsNoBattery) {
    SnapshotBuilder inventory;
    addBattery(inventory, "BAT", "BAT0", "87");
    addPrinter(inventory, 0, "HP LaserJet Pro M404dn");
    const GroupRun run = runOther(inventory);
    EXPECT_EQ(run.labels().back(), "Printer:");
    EXPECT_EQ(run.text("Printer:"), "HP LaserJet Pro M404dn - Resolution: ( 600, 600 )  Status: Idle");
}

TEST(OtherGroup, EverySkipListEntryIsPassedOver) {
    for (const std::string& caption : kSkipList) {
        SnapshotBuilder inventory;
        addPrinter(inventory, 0, caption);
        addPrinter(inventory, 1, "Canon MG3600 series", "1200", "600", "4");
        EXPECT_EQ(runOther(inventory).text("Printer:"),
                  "Canon MG3600 series - Resolution: ( 1200, 600 )  Status: Printing")
            << caption;
    }
}

TEST(OtherGroup, SkipListComparesWholeExactCaptions) {
    for (const std::string caption : {"fax", "Fax ", "FAX", "Snagit 16", " Fax", "Auto Microsoft XPS Document Writer",
                                      "pdf", "Microsoft Print To PDF", "OneNote 2016"}) {
        SnapshotBuilder inventory;
        addPrinter(inventory, 0, caption, "200", "200", "3");
        addPrinter(inventory, 1, "Canon MG3600 series");
        EXPECT_EQ(runOther(inventory).text("Printer:"), caption + " - Resolution: ( 200, 200 )  Status: Idle")
            << caption;
    }
    SnapshotBuilder tooShort;
    addPrinter(tooShort, 0, "P");
    addPrinter(tooShort, 1, "Canon MG3600 series");
    EXPECT_EQ(runOther(tooShort).text("Printer:"), "Canon MG3600 series - Resolution: ( 600, 600 )  Status: Idle");
}

TEST(OtherGroup, TwentyFirstPrinterIsNeverConsidered) {
    SnapshotBuilder inventory;
    for (int index = 0; index < 20; ++index) addPrinter(inventory, index, kSkipList[index % kSkipList.size()]);
    addPrinter(inventory, 20, "Canon MG3600 series");
    const GroupRun run = runOther(inventory);
    EXPECT_EQ(run.text("Printer:"), "None");
    EXPECT_EQ(run.queries, 1 + 22 + 1 + 20);
}

TEST(OtherGroup, ShortHorizontalResolutionShowsTheCaptionAlone) {
    for (const char* horizontal : {"", "6"}) {
        SnapshotBuilder inventory;
        addPrinter(inventory, 0, "Canon MG3600 series", horizontal, "600", "3");
        EXPECT_EQ(runOther(inventory).text("Printer:"), "Canon MG3600 series") << horizontal;
    }
}

TEST(OtherGroup, StatusValuesBecomeTheirTexts) {
    const std::vector<std::pair<std::string, std::string>> cases = {{"1", "  Status: Unknown"},
                                                                    {"2", "  Status: Unknown"},
                                                                    {"3", "  Status: Idle"},
                                                                    {"4", "  Status: Printing"},
                                                                    {"5", "  Status: Warming Up"},
                                                                    {"6", "  Status: Stopped printing"},
                                                                    {"7", "  Status: Offline"},
                                                                    {"8", "8"},
                                                                    {"0", "0"},
                                                                    {"", ""},
                                                                    {"Null", "Null"}};
    for (const auto& [status, text] : cases) {
        SnapshotBuilder inventory;
        addPrinter(inventory, 0, "HP LaserJet Pro M404dn", "600", "", status);
        EXPECT_EQ(runOther(inventory).text("Printer:"), "HP LaserJet Pro M404dn - Resolution: ( 600,  )" + text)
            << status;
    }
}

}  // namespace
}  // namespace moravel::testing
