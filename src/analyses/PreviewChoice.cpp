#include "analyses/PreviewChoice.h"

namespace tabulon::analyses {

QString previewReportFor(const QString& button, const PreviewOptions& o) {
    if (button == QLatin1String("cmdOPre"))
        return (o.objectOption == 2 || o.objectOption == 3) ? QStringLiteral("R_XlObject")
                                                            : QStringLiteral("R_XlBook");
    if (button == QLatin1String("cmdCPre")) {
        if (o.cellOption == 1) return QStringLiteral("R_XlCalc");
        if (o.cellOption == 2 || o.cellOption == 3) return QStringLiteral("R_XlCalcNote");
        return QString();
    }
    if (button == QLatin1String("cmdPPre"))
        return o.proc50 == 1 ? QStringLiteral("R_ModuleList50") : QStringLiteral("R_ModuleList");
    if (button == QLatin1String("cmdMPre")) {
        if (o.columnOption == 2)
            return o.mod50 == 1 ? QStringLiteral("R_SourceList50") : QStringLiteral("R_SourceList");
        if (o.columnOption == 1)
            return o.mod50 == 1 ? QStringLiteral("R_SourceList150")
                                : QStringLiteral("R_SourceList1");
        return QString();
    }
    static const std::pair<const char*, const char*> fixed[] = {
        {"cmdNPre", "R_XlName"},       {"cmdSPre", "R_XlShape"},  {"cmdFPre", "R_XlFile"},
        {"cmdCOPre", "R_XlComment"},   {"cmdMSPre", "R_XlModStep"}, {"cmdADPre", "R_XlAddin"},
        {"cmdISPre", "R_XlLinkProc"},
    };
    for (const auto& [b, report] : fixed)
        if (button == QLatin1String(b)) return QString::fromLatin1(report);
    return QString();
}

void announcePreview(ProgressPort& status, const std::function<void(int)>& startTimer) {
    status.status(QStringLiteral("印刷後、印刷ﾌﾟﾚﾋﾞｭｰを終了して下さい。"));
    if (startTimer) startTimer(kPreviewNoticeMs);
}

void clearPreviewNotice(ProgressPort& status) {
    status.status(QString());
    status.showGauge(false);
}

}  // namespace tabulon::analyses
