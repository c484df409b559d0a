// A workbook whose macros the exporter cannot read (Excel 5.0/95 module
// sheets): every code chapter says so instead of "no module", and writes
// nothing.
#include "analyses/code/Citations.h"
#include "analyses/code/CommentList.h"
#include "analyses/code/ModuleSteps.h"
#include "analyses/code/ProcedureList.h"
#include "analyses/code/SourceList.h"
#include "analyses/code/Variables.h"
#include "code_support.h"
#include "host/vba/LegacyProject.h"

#include <functional>
#include <gtest/gtest.h>

using namespace tabulon::analyses::code;
using tabulon::test::code::Workspace;
using tabulon::intake::ModuleSelection;

TEST(UnreadableProject, EveryCodeChapterSaysWhyItHasNothing) {
    const std::function<CodeOutcome(const CodeContext&)> chapters[] = {
        [](const CodeContext& c) { return runProcedureList(c, {}); },
        [](const CodeContext& c) { return runSourceList(c, {ModuleSelection::All, 0}); },
        runModuleSteps, runCommentList, runVariables, runCitations,
    };
    for (size_t i = 0; i < std::size(chapters); ++i) {
        Workspace ws;
        CodeContext ctx = ws.context(0);
        ctx.counts.unreadable = tabulon::vba::unreadableProjectText();
        const CodeOutcome out = chapters[i](ctx);
        EXPECT_EQ(out.end, CodeOutcome::End::Refused) << "chapter " << i;
        ASSERT_EQ(ws.messages.shown.size(), 1u) << "chapter " << i;
        EXPECT_TRUE(ws.messages.shown[0].contains(QStringLiteral("Excel 5.0/95"))) << ws.messages.shown[0].toStdString();
        EXPECT_FALSE(ws.progress.statuses.back().contains(QLatin1Char('\r'))) << "the status line is one line";
    }
}
