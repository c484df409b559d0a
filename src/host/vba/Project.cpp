#include "host/vba/Project.h"

#include "common/Error.h"
#include "host/CodePage.h"
#include "host/ReadFailure.h"
#include "host/vba/Decompress.h"
#include "host/vba/DirStream.h"
#include "host/vba/ExportText.h"
#include "host/vba/FormBinary.h"
#include "host/vba/SafeFileName.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

namespace tabulon::vba {
namespace {

constexpr qint64 MaxDirBytes = 16 * 1024 * 1024;
constexpr qint64 MaxTextStreamBytes = 1024 * 1024;
constexpr qint64 MaxModuleStreamBytes = 64 * 1024 * 1024;
constexpr qint64 MaxFormBytes = 64 * 1024 * 1024;
// All module sources and form binaries of one project together. Many modules
// may share one stream in a crafted file; each copy counts.
constexpr qint64 MaxProjectBytes = 256 * 1024 * 1024;

QString moduleError(const QString& name, const Error& error) {
    return QStringLiteral("VBA module %1: %2").arg(name, error.description());
}

using cfb::Storage;

struct Reader {
    Storage root;      // the project's storage (_VBA_PROJECT_CUR in an .xls)
    Storage code;      // its VBA storage
    int codePage = 1252;
    qint64 budget = MaxProjectBytes;
    QStringList warnings;

    // A stream of the project, read as far as its sectors go.
    QByteArray read(const Storage& storage, const QString& name, qint64 maxBytes, bool* cut = nullptr) {
        bool truncated = false;
        QByteArray bytes = storage.stream(name, maxBytes, &truncated);
        if (truncated)
            warnings << QStringLiteral("VBA stream %1 is truncated: read as far as the file holds it").arg(name);
        if (cut)
            *cut = truncated;
        return bytes;
    }

    // A compressed stream; one read past its end loses what follows the
    // container (the rest of its last sector).
    QByteArray readCompressed(const Storage& storage, const QString& name, qint64 maxBytes, qint64 offset) {
        bool cut = false;
        QByteArray bytes = read(storage, name, maxBytes, &cut);
        if (cut)
            bytes.truncate(containerEnd(bytes, offset));
        return bytes;
    }

    void spend(qint64 bytes) {
        budget -= bytes;
        if (budget < 0)
            throw Error(err::Refused, QStringLiteral("VBA project larger than %1 bytes").arg(MaxProjectBytes));
    }

    QString text(const QByteArray& bytes) const { return host::decodeCodePage(bytes, codePage); }

    QString moduleName(const DirModule& module) const {
        if (!module.name.isEmpty() && host::isKnownCodePage(codePage))
            return text(module.name);
        return module.nameUnicode.isEmpty() ? text(module.name) : module.nameUnicode;
    }

    QString streamName(const DirModule& module) const {
        return module.streamNameUnicode.isEmpty() ? text(module.streamName)
                                                  : module.streamNameUnicode;
    }

    ComponentType typeOf(const DirModule& module, const QString& name,
                         const ProjectInfo& info) const {
        const auto found = info.kinds.constFind(name.toUpper());
        if (found != info.kinds.constEnd())
            return *found;
        // Not named in PROJECT: the dir type record and the presence of a
        // designer storage still tell the kinds apart, all but documents.
        if (module.procedural)
            return ComponentType::Standard;
        return root.isStorage(streamName(module)) ? ComponentType::Form : ComponentType::Class;
    }

    QString source(const DirModule& module) {
        const QByteArray stream = readCompressed(code, streamName(module), MaxModuleStreamBytes, qint64(module.sourceOffset));
        const QByteArray bytes = decompress(stream, module.sourceOffset,
                                            qMin(MaxDecompressedBytes, qMax<qint64>(budget, 0)));
        spend(bytes.size());
        return text(bytes);
    }

    QByteArray formBinaryOf(const Storage& designer) {
        const QByteArray bytes = formBinary(designer, qMin(MaxFormBytes, qMax<qint64>(budget, 0)));
        spend(bytes.size());
        return bytes;
    }

    Storage designer(const DirModule& module, const QString& name) const {
        const Storage byStream = root.storage(streamName(module));
        return byStream.isNull() ? root.storage(name) : byStream;
    }

    // The component of one dir module. A project locked for viewing keeps
    // its names and kinds but no text: its code is not read at all.
    Component component(const DirModule& module, const ProjectInfo& info, QSet<QString>& taken) {
        Component component;
        component.name = moduleName(module);
        component.type = typeOf(module, component.name, info);
        component.fileName = uniqueFileName(safeBaseName(component.name),
                                            exportExtension(component.type, component.name), taken);
        if (info.lockedForViewing)
            return component;
        try {
            QString designerText;
            if (component.type == ComponentType::Form) {
                const Storage form = designer(module, component.name);
                if (!form.isNull()) {
                    designerText = text(read(form, QStringLiteral("\003VBFrame"), MaxTextStreamBytes));
                    component.frxBytes = formBinaryOf(form);
                }
            }
            component.exportText = exportText(component.type, source(module), designerText,
                                              component.frxFileName());
        } catch (const Error& error) {
            throw Error(error.number(), moduleError(component.name, error));
        }
        return component;
    }
};

}  // namespace

QString Component::frxFileName() const {
    return QFileInfo(fileName).completeBaseName() + QStringLiteral(".frx");
}

Project Project::read(const cfb::Storage& storage, const QString& path) {
    // Whatever breaks in the project's storage, its dir stream or a module
    // stream, the user is told the project cannot be read.
    Project project;
    host::asReadFailure(host::ReadFailure::ProjectDamaged, path, [&] { project = readFrom(storage); });
    project.path_ = path;
    return project;
}

Project Project::fromBytes(const QByteArray& bytes, const QString& path) {
    Project project;
    host::asReadFailure(host::ReadFailure::ProjectDamaged, path,
                        [&] { project = read(cfb::CompoundFile::fromBytes(bytes).root(), path); });
    return project;
}

Project Project::load(const QString& xlsPath) {
    const cfb::CompoundFile file(xlsPath);
    return read(file.root().storage(QStringLiteral("_VBA_PROJECT_CUR")), xlsPath);
}

Project Project::readFrom(const cfb::Storage& storage) {
    Project project;
    Reader reader;
    reader.root = storage;
    if (reader.root.isNull())
        return project;
    project.present_ = true;
    reader.code = reader.root.storage(QStringLiteral("VBA"));
    if (reader.code.isNull())
        throw Error(err::Refused, QStringLiteral("VBA project without its VBA storage"));
    const DirInfo dir = parseDir(decompress(reader.readCompressed(reader.code, QStringLiteral("dir"), MaxDirBytes, 0), 0));
    reader.codePage = dir.codePage;
    project.codePage_ = dir.codePage;
    ProjectInfo info;
    if (reader.root.hasStream(QStringLiteral("PROJECT")))
        info = parseProject(reader.text(reader.read(reader.root, QStringLiteral("PROJECT"), MaxTextStreamBytes)));
    project.protected_ = info.lockedForViewing;

    QSet<QString> taken;
    for (const DirModule& module : dir.modules)
        project.components_.append(reader.component(module, info, taken));
    project.warnings_ = reader.warnings;
    return project;
}

ExportResult Project::exportAll(const QString& folder) const {
    if (protected_)
        host::raiseReadFailure(host::ReadFailure::ProjectProtected, path_, QStringLiteral("the VBA project is locked for viewing"));
    ExportResult result;
    const QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        throw Error(err::PathFileAccess, QStringLiteral("Cannot create folder %1").arg(folder));
    const QString home = QFileInfo(dir.absolutePath()).canonicalFilePath();
    const auto write = [&](const QString& fileName, const QByteArray& bytes) {
        const QString path = dir.absoluteFilePath(fileName);
        // The file names are made safe when the project is read; this guards
        // that promise where it matters.
        if (QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath() != home ||
            fileName.contains(u'/'))
            throw Error(err::PathFileAccess, QStringLiteral("Unsafe module file name %1").arg(fileName));
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
            throw Error(err::PathFileAccess, QStringLiteral("Cannot write %1").arg(path));
        return path;
    };
    for (const Component& component : components_) {
        result.files << write(component.fileName, component.exportText.toUtf8());
        switch (component.type) {
        case ComponentType::Standard: ++result.standardCount; break;
        case ComponentType::Class: ++result.classCount; break;
        case ComponentType::Form:
            ++result.formCount;
            write(component.frxFileName(), component.frxBytes);
            break;
        case ComponentType::Document: ++result.documentCount; break;
        }
    }
    return result;
}

}  // namespace tabulon::vba
