#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include "query/linux/cups_printers.h"

namespace moravel::lx {
namespace {

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};

TEST(CupsPrinters, OnePrinterPerGroupWithWmiStatusAndDpi) {
    std::unique_ptr<ipp_t, IppDeleter> response(ippNew());
    ipp_t* r = response.get();
    ippAddString(r, IPP_TAG_OPERATION, IPP_TAG_CHARSET, "attributes-charset", nullptr, "utf-8");
    ippAddString(r, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-name", nullptr, "Office");
    ippAddInteger(r, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
    ippAddResolution(r, IPP_TAG_PRINTER, "printer-resolution-default", IPP_RES_PER_INCH, 600, 1200);
    ippAddSeparator(r);
    ippAddString(r, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-name", nullptr, "Labels");
    ippAddInteger(r, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_STOPPED);
    ippAddResolution(r, IPP_TAG_PRINTER, "printer-resolution-default", IPP_RES_PER_CM, 118, 118);
    ippAddSeparator(r);
    ippAddString(r, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-name", nullptr, "Plain");
    ippAddInteger(r, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_PROCESSING);

    std::vector<PrinterInfo> printers = printersFromIpp(r);
    ASSERT_EQ(printers.size(), 3u);
    EXPECT_EQ(printers[0].name, "Office");
    EXPECT_EQ(printers[0].status, std::optional<std::uint64_t>(3));
    EXPECT_EQ(printers[0].horizontalResolution, std::optional<std::uint64_t>(600));
    EXPECT_EQ(printers[0].verticalResolution, std::optional<std::uint64_t>(1200));
    EXPECT_EQ(printers[1].name, "Labels");
    EXPECT_EQ(printers[1].status, std::optional<std::uint64_t>(7));
    EXPECT_EQ(printers[1].horizontalResolution, std::optional<std::uint64_t>(300));
    EXPECT_EQ(printers[2].name, "Plain");
    EXPECT_EQ(printers[2].status, std::optional<std::uint64_t>(4));
    EXPECT_EQ(printers[2].horizontalResolution, std::nullopt);
}

TEST(CupsPrinters, NoSchedulerMeansNoPrintersAtOnce) {
    // The test machine runs no scheduler; a missing one must be noticed without waiting.
    ::setenv("CUPS_SERVER", "/nonexistent/cups.sock", 1);
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(readCupsPrinters().empty());
    auto elapsed = std::chrono::steady_clock::now() - start;
    ::unsetenv("CUPS_SERVER");
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 5);
}

}  // namespace
}  // namespace moravel::lx
