#include "host/dump/VbaJson.h"

#include "common/Error.h"
#include "host/vba/Compound.h"
#include "host/vba/Project.h"

#include <QJsonArray>

namespace tabulon::vba {

namespace {

// Whether the workbook holds a VBA storage at all, for a project that could
// not be read: a file that is no compound file has none.
bool hasVbaStorage(const QString& xlsPath) {
    try {
        return !Storage::open(xlsPath).storage(QStringLiteral("_VBA_PROJECT_CUR")).isNull();
    } catch (const Error&) {
        return false;
    }
}

}  // namespace

QJsonObject vbaJson(const QString& xlsPath) {
    QJsonObject json;
    Project project;
    try {
        project = Project::load(xlsPath);
    } catch (const Error& error) {
        json.insert(QStringLiteral("present"), hasVbaStorage(xlsPath));
        json.insert(QStringLiteral("error"),
                    QJsonObject{{QStringLiteral("number"), error.number()},
                                {QStringLiteral("description"), error.description()}});
        return json;
    }
    json.insert(QStringLiteral("present"), project.isPresent());
    json.insert(QStringLiteral("protected"), project.isProtected());
    json.insert(QStringLiteral("codePage"), project.codePage());
    QJsonArray components;
    for (const Component& component : project.components()) {
        QJsonObject entry{{QStringLiteral("name"), component.name},
                          {QStringLiteral("type"), static_cast<int>(component.type)},
                          {QStringLiteral("file"), component.fileName}};
        if (!project.isProtected())
            entry.insert(QStringLiteral("text"), component.exportText);
        components.append(entry);
    }
    json.insert(QStringLiteral("components"), components);
    if (!project.warnings().isEmpty())
        json.insert(QStringLiteral("warnings"), QJsonArray::fromStringList(project.warnings()));
    return json;
}

}  // namespace tabulon::vba
