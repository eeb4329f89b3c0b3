// The one emulator of the COM-shaped cycle over a source that only lists objects: the namespaces
// and queries it takes, and what a read at an index costs. (Its staged failures are proven
// through the snapshot source, tests/query/snapshot/snapshot_reader_test.cpp.)
#include <gtest/gtest.h>

#include "query/backend.h"
#include "query/object_source.h"
#include "query/wmi_names.h"
#include "query/wmi_query.h"

namespace moravel {
namespace {

// Three objects of every class, each answering its position as "Index"; counts what is made.
class CountingSource : public ObjectSource {
public:
    explicit CountingSource(bool jumps) : jumps_(jumps) {}
    ClassObjects objects(const std::string& nameSpace, const std::string& className) override {
        asked.push_back(nameSpace + " " + className);
        return {3,
                [this](std::size_t at) -> std::unique_ptr<WmiObject> {
                    ++made;
                    return std::make_unique<Numbered>(*this, at);
                },
                jumps_};
    }

    std::vector<std::string> asked;
    int made = 0;
    int gets = 0;

private:
    class Numbered : public WmiObject {
    public:
        Numbered(CountingSource& source, std::size_t at) : source_(source), at_(at) {}
        HResult get(const std::string& property, WmiValue& value) override {
            ++source_.gets;
            if (property != "Index") return kNotFound;
            value = WmiValue::i4(static_cast<std::int64_t>(at_));
            return kOk;
        }

    private:
        CountingSource& source_;
        std::size_t at_;
    };
    bool jumps_;
};

struct Listing : ::testing::Test {
    std::shared_ptr<CountingSource> source = std::make_shared<CountingSource>(false);
    std::unique_ptr<WmiProvider> provider = makeListingProvider(source);

    std::size_t count(const std::string& nameSpace, const std::string& query, std::optional<CycleFailure>& failure) {
        std::size_t objects = 0;
        failure = runQueryCycle(*provider, nameSpace, query, [&](WmiObject&) { return ++objects > 0; });
        return objects;
    }
};

TEST_F(Listing, AClassIsListedInTheNamespaceItLivesInOnly) {
    std::optional<CycleFailure> failure;
    EXPECT_EQ(count("root\\cimv2", "SELECT * FROM Win32_BIOS", failure), 3u);
    EXPECT_FALSE(failure);
    EXPECT_EQ(count(kWmiDataNamespace, "SELECT * FROM Win32_BIOS", failure), 0u);  // a ROOT\CIMV2 class
    EXPECT_FALSE(failure);
    EXPECT_EQ(source->asked, std::vector<std::string>{"root\\cimv2 Win32_BIOS"});

    EXPECT_EQ(count("ROOT\\DEFAULT", "SELECT * FROM Win32_BIOS", failure), 0u);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->step, CycleStep::Connect);
    EXPECT_EQ(failure->code, static_cast<HResult>(0x8004100Eu));  // WBEM_E_INVALID_NAMESPACE
    count(kWmiNamespace, "SELECT Name FROM Win32_BIOS", failure);
    EXPECT_EQ(failure->step, CycleStep::ExecQuery);
    EXPECT_EQ(failure->code, kInvalidQuery);
}

// As WMI walks an enumerator, every object before the wanted one is made and asked, unless the
// source can count its objects without making them (a snapshot): then a read costs the same at
// any index.
TEST_F(Listing, AReadWalksToItsIndexUnlessTheSourceJumps) {
    for (bool jumps : {false, true}) {
        SCOPED_TRACE(jumps);
        source = std::make_shared<CountingSource>(jumps);
        provider = makeListingProvider(source);
        QueryContext context{provider.get()};
        EXPECT_EQ(queryWmiText(context, 2, selectAllFrom("Win32_Printer"), "Index"), "2");
        EXPECT_EQ(source->made, jumps ? 1 : 3);
        EXPECT_EQ(source->gets, jumps ? 1 : 3);
        EXPECT_EQ(queryWmiText(context, 3, selectAllFrom("Win32_Printer"), "Index"), "");
    }
}

}  // namespace
}  // namespace moravel
