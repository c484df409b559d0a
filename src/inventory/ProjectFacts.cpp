#include "inventory/WorkbookFacts.h"

#include "analyses/code/CodeModules.h"
#include "analyses/code/ModuleSteps.h"
#include "analyses/code/ProcedureList.h"
#include "common/Error.h"
#include "host/vba/LegacyProject.h"
#include "host/vba/Project.h"

#include <QCryptographicHash>

namespace tabulon::inventory {

namespace code = analyses::code;

namespace {

QString typeName(vba::ComponentType type) {
    switch (type) {
    case vba::ComponentType::Standard: return QStringLiteral("standard");
    case vba::ComponentType::Class: return QStringLiteral("class");
    case vba::ComponentType::Form: return QStringLiteral("form");
    case vba::ComponentType::Document: break;
    }
    return QStringLiteral("document");
}

bool holdsCode(const QString& body) {
    for (const QStringView line : QStringView(body).split(u'\n'))
        if (!line.trimmed().isEmpty()) return true;
    return false;
}

// Lines and procedures by the rules of the step counts and the procedure
// list, over the same module text the code chapters read.
ModuleFacts moduleFacts(const vba::Component& component) {
    ModuleFacts m;
    m.name = component.name;
    m.type = typeName(component.type);
    const code::CodeModule module = code::codeModule(component.fileName, component.exportText);
    const code::StepTotals steps = code::moduleStepTotals(module);
    m.lines = steps.total;
    m.codeLines = steps.code;
    m.procedures = code::procedureNames(module);
    const QString body = codeBody(component.exportText);
    if (holdsCode(body))
        m.codeSha256 = QString::fromLatin1(QCryptographicHash::hash(body.toUtf8(), QCryptographicHash::Sha256).toHex());
    return m;
}

}  // namespace

void addProjectFacts(const host::Workbook& book, FileFacts& facts) {
    if (book.hasUnreadableMacros()) {
        facts.vba = true;
        facts.vbaError = vba::unreadableProjectText().replace(u'\r', u' ');
        return;
    }
    std::shared_ptr<const vba::Project> read;
    try {
        read = book.vbaProject();  // read with the workbook, from the same file
    } catch (const Error& e) {
        facts.vba = true;
        facts.vbaError = e.description();
        return;
    }
    const vba::Project& project = *read;
    if (!project.isPresent()) return;
    facts.vba = true;
    facts.vbaLocked = project.isProtected();
    facts.warnings << project.warnings();
    for (const vba::Component& component : project.components()) {
        if (facts.vbaLocked) {
            facts.modules.push_back({component.name, typeName(component.type), {}, {}, {}, {}});
            continue;
        }
        ModuleFacts m = moduleFacts(component);
        for (const QString& procedure : m.procedures) {
            const QString occasion = procedureOccasion(m.type, procedure);
            if (!occasion.isEmpty())
                facts.findings.push_back({QStringLiteral("autorun"), m.name, procedure, occasion});
        }
        facts.modules.push_back(std::move(m));
    }
}

QString procedureOccasion(const QString& type, const QString& procedure) {
    const QString p = procedure.toLower();
    if (type == u"standard") {
        // Of a VBA module only these names run, not every name that begins so.
        static const QStringList names{"auto_open", "auto_close", "auto_activate", "auto_deactivate"};
        return names.contains(p) ? nameOccasion(p) : QString();
    }
    if (type != u"document") return {};
    // The event procedures of the workbook's and the sheets' own modules.
    for (const char* object : {"workbook_", "worksheet_", "chart_"}) {
        if (!p.startsWith(QLatin1String(object))) continue;
        const QString event = p.mid(qsizetype(qstrlen(object)));
        if (event == u"open") return QStringLiteral("open");
        if (event == u"beforeclose") return QStringLiteral("close");
        if (event == u"activate") return QStringLiteral("activate");
        if (event == u"deactivate") return QStringLiteral("deactivate");
        return QStringLiteral("event");
    }
    return {};
}

QString codeBody(const QString& exportText) {
    const QStringList lines = exportText.split(QStringLiteral("\r\n"));
    qsizetype first = 0;
    // The class header, or a form's designer block (Begin ... End, nested).
    if (!lines.isEmpty() && lines[0].startsWith(QLatin1String("VERSION "), Qt::CaseInsensitive)) {
        first = 1;
        int depth = 0;
        while (first < lines.size()) {
            const QString word = lines[first].trimmed().section(u' ', 0, 0).toUpper();
            if (word == u"BEGIN" || word == u"BEGINPROPERTY") ++depth;
            else if (word == u"END" || word == u"ENDPROPERTY") --depth;
            else if (depth <= 0) break;
            ++first;
        }
    }
    while (first < lines.size() && lines[first].startsWith(QLatin1String("Attribute VB_"), Qt::CaseInsensitive)) ++first;
    return lines.mid(first).join(u'\n');
}

}  // namespace tabulon::inventory
