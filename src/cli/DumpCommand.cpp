#include "cli/DumpCommand.h"

#include "cli/CommandLine.h"
#include "cli/FrontDoor.h"
#include "cli/TerminalPorts.h"
#include "cli/PasswordOption.h"
#include "common/Error.h"
#include "common/Guard.h"
#include "host/Workbook.h"
#include "host/dump/WorkbookJson.h"
#include "host/dump/VbaJson.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace tabulon::cli {

namespace {

// The plain-text form: one line per sheet, name, link and warning, then the
// cells of each sheet.
void writeText(const QJsonObject& root, QTextStream& out) {
    out << "Workbook: " << root.value(QStringLiteral("fullName")).toString() << "\n";
    out << "Format: " << root.value(QStringLiteral("format")).toString() << ", code page "
        << root.value(QStringLiteral("codePage")).toInt() << "\n";
    for (const QJsonValue& sv : root.value(QStringLiteral("sheets")).toArray()) {
        const QJsonObject s = sv.toObject();
        out << "Sheet " << s.value(QStringLiteral("name")).toString() << " (" << s.value(QStringLiteral("kind")).toString()
            << ", visible " << s.value(QStringLiteral("visible")).toInt() << ") used range "
            << s.value(QStringLiteral("usedRange")).toObject().value(QStringLiteral("address")).toString() << "\n";
        for (const QJsonValue& cv : s.value(QStringLiteral("cells")).toArray()) {
            const QJsonObject c = cv.toObject();
            out << "  " << c.value(QStringLiteral("address")).toString() << "\t"
                << c.value(QStringLiteral("formula")).toString();
            if (c.contains(QStringLiteral("note")))
                out << "\t[note] " << c.value(QStringLiteral("note")).toString().replace(QLatin1Char('\n'), QLatin1Char(' '));
            out << "\n";
        }
    }
    for (const QJsonValue& nv : root.value(QStringLiteral("names")).toArray()) {
        const QJsonObject n = nv.toObject();
        out << "Name " << n.value(QStringLiteral("name")).toString() << "\t" << n.value(QStringLiteral("refersTo")).toString() << "\n";
    }
    const QJsonObject links = root.value(QStringLiteral("links")).toObject();
    for (const QJsonValue& l : links.value(QStringLiteral("excel")).toArray()) out << "Link Excel\t" << l.toString() << "\n";
    for (const QJsonValue& l : links.value(QStringLiteral("ole")).toArray()) out << "Link OLE\t" << l.toString() << "\n";
    for (const QJsonValue& w : root.value(QStringLiteral("warnings")).toArray()) out << "Warning: " << w.toString() << "\n";
}

}  // namespace

int dumpCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    const CommandLine line(args, {{"json"}, {"password", 0, true}});
    if (!line.error().isEmpty() || line.positional().size() != 1) {
        if (!line.error().isEmpty()) err << terminalLines(line.error()) << "\n";
        err << commandUsage(*findCommand(QStringLiteral("dump")));
        return 2;
    }
    const bool json = line.isSet("json");
    const QString path = line.positional().front();
    const QString password = line.value("password");
    const auto failure = guardedRun(QStringLiteral("tabulon dump"), [&] {
        const host::Workbook book = host::Workbook::load(path, commandLinePassword(password));
        QJsonObject root = host::workbookJson(book);
        root.insert(QStringLiteral("vba"), vba::vbaJson(book));
        if (json) out << QJsonDocument(root).toJson(QJsonDocument::Indented);
        else writeText(root, out);
        out.flush();
    });
    if (!failure) return 0;
    err << "error " << failure->number() << ": " << failure->text() << "\n";
    return 1;
}

}  // namespace tabulon::cli
