#include "host/dump/VbaJson.h"

#include "common/Error.h"
#include "host/Workbook.h"
#include "host/vba/Project.h"

#include <QJsonArray>

namespace tabulon::vba {

QJsonObject vbaJson(const host::Workbook& book) {
    QJsonObject json;
    std::shared_ptr<const Project> loaded;
    try {
        loaded = book.vbaProject();
    } catch (const Error& error) {
        // Only a project the file holds can fail to be read.
        json.insert(QStringLiteral("present"), true);
        json.insert(QStringLiteral("error"),
                    QJsonObject{{QStringLiteral("number"), error.number()},
                                {QStringLiteral("description"), error.description()}});
        return json;
    }
    const Project& project = *loaded;
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
