// The code chapters on arbitrary module text: the input, read as UTF-8, is
// one exported standard module, and every code command runs over it into a
// scratch analysis database.
#include "FuzzSupport.h"
#include "analyses/code/Citations.h"
#include "analyses/code/CodeCommand.h"
#include "analyses/code/CommentList.h"
#include "analyses/code/ModuleSteps.h"
#include "analyses/code/ProcedureList.h"
#include "analyses/code/SourceList.h"
#include "analyses/code/Variables.h"
#include "store/Database.h"

using namespace tabulon;
using namespace tabulon::analyses::code;

using tabulon::intake::ProcedureOption;
using tabulon::intake::ModuleSelection;

namespace {

struct Workspace {
    Workspace() {
        db = fuzz::scratchFolder() + QStringLiteral("/Tabulon2.mdb");
        store::Database::create(db);
    }
    QString db;
    SilentProgress progress;
    SilentMessages messages;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Workspace ws;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    SourceCursor cursor;
    const CodeContext ctx{{codeModule(QStringLiteral("Module1.bas"), text)}, ws.db, {1, 0, 0, {}},
                          ws.messages, ws.progress, cursor};
    (void)runProcedureList(ctx, {ProcedureOption::Simple, 0});
    (void)runProcedureList(ctx, {ProcedureOption::Detailed, 0});
    (void)runSourceList(ctx, {ModuleSelection::All, 0});
    (void)runVariables(ctx);
    (void)runModuleSteps(ctx);
    (void)runCitations(ctx);
    (void)runCommentList(ctx);
    return 0;
}
