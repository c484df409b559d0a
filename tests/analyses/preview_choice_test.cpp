// The preview buttons' choice of report.
#include "analyses/PreviewChoice.h"
#include "analyses/code/SourceList.h"

#include <gtest/gtest.h>

namespace tabulon::analyses::test {
namespace {

PreviewOptions opts(int object, int cell, int column, int proc50, int mod50) {
    return PreviewOptions{object, cell, column, proc50, mod50};
}

TEST(PreviewChoice, ButtonAndOptionsChooseTheReport) {
    const struct {
        const char* button;
        PreviewOptions options;
        const char* report;  // "" = nothing shown
    } cases[] = {
        {"cmdOPre", opts(1, 3, 2, 0, 0), "R_XlBook"},
        {"cmdOPre", opts(3, 3, 2, 0, 0), "R_XlObject"},
        {"cmdOPre", opts(0, 3, 2, 0, 0), "R_XlBook"},
        {"cmdCPre", opts(1, 1, 2, 0, 0), "R_XlCalc"},
        {"cmdCPre", opts(1, 3, 2, 0, 0), "R_XlCalcNote"},
        {"cmdCPre", opts(1, 0, 2, 0, 0), ""},
        {"cmdCPre", opts(1, 4, 2, 0, 0), ""},
        {"cmdPPre", opts(1, 3, 2, 1, 0), "R_ModuleList50"},
        {"cmdPPre", opts(1, 3, 2, 0, 1), "R_ModuleList"},  // the other kana box does not count
        {"cmdMPre", opts(1, 3, 2, 1, 0), "R_SourceList"},
        {"cmdMPre", opts(1, 3, 1, 0, 1), "R_SourceList150"},
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
            EXPECT_EQ(previewReportFor("cmdMPre", opts(1, 3, columns, 0, kana)),
                      code::sourceListReport(columns, kana))
                << columns << kana;
}

}  // namespace
}  // namespace tabulon::analyses::test
