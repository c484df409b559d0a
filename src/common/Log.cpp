#include "common/Log.h"

#include <QtGlobal>
#include <cstdio>

namespace tabulon::logging {

namespace {

bool g_verbose = false;

void toErrorStream(const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

void handleQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        toErrorStream(text);
        return;  // Qt ends the program after this
    }
    const bool named = context.category && qstrcmp(context.category, "default") != 0;
    write(QString::fromLatin1(named ? context.category : "qt"), text);
}

}  // namespace

void install(bool verbose) {
    g_verbose = verbose;
    qInstallMessageHandler(handleQtMessage);
}

bool verbose() { return g_verbose; }

void write(const QString& source, const QString& text) {
    if (g_verbose)
        toErrorStream(QStringLiteral("[%1] %2").arg(source, text));
}

}  // namespace tabulon::logging
