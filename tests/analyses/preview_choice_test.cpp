// The preview buttons' choice of report and the status line after a report.
#include "analyses/PreviewChoice.h"

#include <gtest/gtest.h>

namespace tabulon::analyses::test {
namespace {

struct Case {
    const char* button;
    PreviewOptions options;
    const char* report;  // "" = nothing shown
};

PreviewOptions opts(int object, int cell, int column, int proc50, int mod50) {
    return PreviewOptions{object, cell, column, proc50, mod50};
}

TEST(PreviewChoice, ButtonAndOptionsChooseTheReport) {
    const Case cases[] = {
        {"cmdOPre", opts(1, 3, 2, 0, 0), "R_XlBook"},
        {"cmdOPre", opts(2, 3, 2, 0, 0), "R_XlObject"},
        {"cmdOPre", opts(3, 3, 2, 0, 0), "R_XlObject"},
        {"cmdOPre", opts(0, 3, 2, 0, 0), "R_XlBook"},
        {"cmdCPre", opts(1, 1, 2, 0, 0), "R_XlCalc"},
        {"cmdCPre", opts(1, 2, 2, 0, 0), "R_XlCalcNote"},
        {"cmdCPre", opts(1, 3, 2, 0, 0), "R_XlCalcNote"},
        {"cmdCPre", opts(1, 0, 2, 0, 0), ""},
        {"cmdCPre", opts(1, 4, 2, 0, 0), ""},
        {"cmdPPre", opts(1, 3, 2, 1, 0), "R_ModuleList50"},
        {"cmdPPre", opts(1, 3, 2, 0, 1), "R_ModuleList"},
        {"cmdMPre", opts(1, 3, 2, 0, 1), "R_SourceList50"},
        {"cmdMPre", opts(1, 3, 2, 1, 0), "R_SourceList"},
        {"cmdMPre", opts(1, 3, 1, 0, 1), "R_SourceList150"},
        {"cmdMPre", opts(1, 3, 1, 0, 0), "R_SourceList1"},
        {"cmdNPre", {}, "R_XlName"},
        {"cmdSPre", {}, "R_XlShape"},
        {"cmdFPre", {}, "R_XlFile"},
        {"cmdCOPre", {}, "R_XlComment"},
        {"cmdMSPre", {}, "R_XlModStep"},
        {"cmdADPre", {}, "R_XlAddin"},
        {"cmdISPre", {}, "R_XlLinkProc"},
        {"cmdUnknown", {}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(previewReportFor(c.button, c.options), QString(c.report)) << c.button;
}

class StatusLine : public ProgressPort {
public:
    void status(const QString& t) override { text = t; }
    void progress(int) override {}
    void showGauge(bool v) override { gauge = v; }
    void busy(bool) override {}
    QString text;
    bool gauge = true;
};

TEST(PreviewChoice, AnnounceShowsTheHintAndStartsTheFiveSecondTimer) {
    StatusLine line;
    int interval = 0;
    announcePreview(line, [&](int ms) { interval = ms; });
    EXPECT_EQ(line.text, "印刷後、印刷ﾌﾟﾚﾋﾞｭｰを終了して下さい。");
    EXPECT_EQ(interval, 5000);
    clearPreviewNotice(line);
    EXPECT_TRUE(line.text.isEmpty());
    EXPECT_FALSE(line.gauge);
}

}  // namespace
}  // namespace tabulon::analyses::test
