// The save dialog's type and the name typed in it: which form is written, under which name.
#include <gtest/gtest.h>

#include "app/share.h"

namespace moravel {
namespace {

const std::vector<std::string> kTypes{".txt", ".json"};
constexpr int kText = 0, kJson = 1;

void expectChoice(const SaveChoice& choice, const std::string& name, int type) {
    EXPECT_EQ(choice.name, name);
    EXPECT_EQ(choice.type, type);
}

TEST(SaveChoice, APickedTypeDecidesAndTheNameFollowsIt) {
    expectChoice(resolveSaveChoice("report.txt", kTypes, kJson, kText), "report.json", kJson);
    expectChoice(resolveSaveChoice("C:\\Users\\J\xC3\xBCrgen\\Report.TXT", kTypes, kJson, kText),
                 "C:\\Users\\J\xC3\xBCrgen\\Report.json", kJson);
    expectChoice(resolveSaveChoice("report", kTypes, kJson, kText), "report.json", kJson);
    expectChoice(resolveSaveChoice("report.", kTypes, kJson, kText), "report.json", kJson);
    expectChoice(resolveSaveChoice("report.v2", kTypes, kJson, kText), "report.v2", kJson);  // not another type's
    expectChoice(resolveSaveChoice("/tmp/a.b/report.json", kTypes, kText, kJson), "/tmp/a.b/report.txt", kText);
}

// Left at the type it started with, the dialog has only the name to go by.
TEST(SaveChoice, AnUntouchedTypeFollowsTheNamesExtension) {
    expectChoice(resolveSaveChoice("report.json", kTypes, kText, kText), "report.json", kJson);
    expectChoice(resolveSaveChoice("report.TXT", kTypes, kText, kText), "report.TXT", kText);
    expectChoice(resolveSaveChoice("report", kTypes, kText, kText), "report.txt", kText);
    expectChoice(resolveSaveChoice("report.log", kTypes, kText, kText), "report.log", kText);
}

TEST(SaveChoice, NoTypeToldLeavesTheNameToDecide) {
    expectChoice(resolveSaveChoice("report.txt", kTypes, -1, kText), "report.txt", -1);
    expectChoice(resolveSaveChoice("report.txt", kTypes, 2, kText), "report.txt", -1);
}

}  // namespace
}  // namespace moravel
