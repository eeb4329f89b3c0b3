#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "query/linux/cups_printers.h"

namespace moravel::lx {
namespace {

// Builds a CUPS-Get-Printers answer with the library's own functions.
class ResponseBuilder {
public:
    explicit ResponseBuilder(const CupsLibrary& library)
        : ippNew_(reinterpret_cast<decltype(&::ippNew)>(library.symbol("ippNew"))),
          addString_(reinterpret_cast<decltype(&::ippAddString)>(library.symbol("ippAddString"))),
          addInteger_(reinterpret_cast<decltype(&::ippAddInteger)>(library.symbol("ippAddInteger"))),
          addResolution_(reinterpret_cast<decltype(&::ippAddResolution)>(library.symbol("ippAddResolution"))),
          addSeparator_(reinterpret_cast<decltype(&::ippAddSeparator)>(library.symbol("ippAddSeparator"))) {}
    bool usable() const { return ippNew_ && addString_ && addInteger_ && addResolution_ && addSeparator_; }

    ipp_t* response() {
        ipp_t* r = ippNew_();
        addString_(r, IPP_TAG_OPERATION, IPP_TAG_CHARSET, "attributes-charset", nullptr, "utf-8");
        printer(r, "Office", IPP_PSTATE_IDLE);
        addResolution_(r, IPP_TAG_PRINTER, "printer-resolution-default", IPP_RES_PER_INCH, 600, 1200);
        addSeparator_(r);
        printer(r, "Labels", IPP_PSTATE_STOPPED);
        addResolution_(r, IPP_TAG_PRINTER, "printer-resolution-default", IPP_RES_PER_CM, 118, 118);
        addSeparator_(r);
        printer(r, "Plain", IPP_PSTATE_PROCESSING);
        return r;
    }

private:
    void printer(ipp_t* r, const char* name, ipp_pstate_t state) {
        addString_(r, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-name", nullptr, name);
        addInteger_(r, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", state);
    }
    decltype(&::ippNew) ippNew_;
    decltype(&::ippAddString) addString_;
    decltype(&::ippAddInteger) addInteger_;
    decltype(&::ippAddResolution) addResolution_;
    decltype(&::ippAddSeparator) addSeparator_;
};

TEST(CupsPrinters, OnePrinterPerGroupWithWmiStatusAndDpi) {
    CupsLibrary library;
    ResponseBuilder builder(library);
    ASSERT_TRUE(library.api() && builder.usable()) << "libcups.so.2 is not installed";
    const CupsApi& cups = *library.api();
    std::unique_ptr<ipp_t, decltype(cups.ippDelete)> response(builder.response(), cups.ippDelete);

    std::vector<PrinterInfo> printers = printersFromIpp(cups, response.get());
    ASSERT_EQ(printers.size(), 3u);
    EXPECT_EQ(printers[0].name, "Office");
    EXPECT_EQ(printers[0].status, std::optional<std::uint64_t>(3));
    EXPECT_EQ(printers[0].horizontalResolution, std::optional<std::uint64_t>(600));
    EXPECT_EQ(printers[0].verticalResolution, std::optional<std::uint64_t>(1200));
    EXPECT_EQ(printers[1].name, "Labels");
    EXPECT_EQ(printers[1].status, std::optional<std::uint64_t>(7));
    EXPECT_EQ(printers[1].horizontalResolution, std::optional<std::uint64_t>(300));  // 118 dots per cm
    EXPECT_EQ(printers[2].name, "Plain");
    EXPECT_EQ(printers[2].status, std::optional<std::uint64_t>(4));
    EXPECT_EQ(printers[2].horizontalResolution, std::nullopt);
}

TEST(CupsPrinters, NoSchedulerMeansNoPrintersAtOnce) {
    if (schedulerMayAnswer()) GTEST_SKIP() << "this machine runs a CUPS scheduler";
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(readCupsPrinters().empty());
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count(), 1000);
}

}  // namespace
}  // namespace moravel::lx
