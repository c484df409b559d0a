// The preview buttons' choice of report.
#include "analyses/PreviewChoice.h"
#include "analyses/code/SourceList.h"

#include <gtest/gtest.h>

namespace tabulon::analyses::test {
namespace {

TEST(PreviewChoice, ButtonAndOptionsChooseTheReport) {
    // An empty report: nothing is shown.
    const struct { const char* button; PreviewOptions options; const char* report; } cases[] = {
        {"cmdOPre", {1, 3, 2, 0, 0}, "R_XlBook"},
        {"cmdOPre", {3, 3, 2, 0, 0}, "R_XlObject"},
        {"cmdOPre", {0, 3, 2, 0, 0}, "R_XlBook"},
        {"cmdCPre", {1, 1, 2, 0, 0}, "R_XlCalc"},
        {"cmdCPre", {1, 3, 2, 0, 0}, "R_XlCalcNote"},
        {"cmdCPre", {1, 0, 2, 0, 0}, ""},
        {"cmdCPre", {1, 4, 2, 0, 0}, ""},
        {"cmdPPre", {1, 3, 2, 1, 0}, "R_ModuleList50"},
        {"cmdPPre", {1, 3, 2, 0, 1}, "R_ModuleList"},  // the other kana box does not count
        {"cmdMPre", {1, 3, 2, 1, 0}, "R_SourceList"},
        {"cmdMPre", {1, 3, 1, 0, 1}, "R_SourceList150"},
        {"cmdNPre", {}, "R_XlName"},
        {"cmdUnknown", {}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(previewReportFor(c.button, c.options), QString(c.report)) << c.button;
}

// The source list shows its report at the end of a run; the preview button
// later must show the same one for the same options.
TEST(PreviewChoice, SourceListButtonAgreesWithTheRun) {
    for (int columns : {1, 2})
        for (int kana : {0, 1})
            EXPECT_EQ(previewReportFor("cmdMPre", PreviewOptions{1, 3, columns, 0, kana}),
                      code::sourceListReport(columns, kana))
                << columns << kana;
}

}  // namespace
}  // namespace tabulon::analyses::test
