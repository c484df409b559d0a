// The VBA decompressor, the dir and PROJECT stream parsers and the exporter.
// An input that is a compound file is loaded and exported as a whole
// workbook's project; any other input is taken as a compressed container
// whose text goes through the parsers and the export text.
#include "FuzzSupport.h"
#include "common/Error.h"
#include "host/vba/Decompress.h"
#include "host/vba/DirStream.h"
#include "host/vba/ExportText.h"
#include "host/vba/Project.h"
#include "host/vba/ProjectStream.h"

using namespace tabulon;

namespace {

void exportWholeProject(const uint8_t* data, size_t size) {
    const QString path = fuzz::writeScratch(QStringLiteral("input.xls"), data, size);
    try {
        const vba::Project project = vba::Project::load(path);
        if (project.isPresent() && !project.isProtected())
            (void)project.exportAll(fuzz::scratchFolder() + QStringLiteral("/export"));
    } catch (const Error&) {
    }
}

void readContainer(const QByteArray& bytes) {
    QByteArray text;
    try {
        text = vba::decompress(bytes, 0);
    } catch (const Error&) {
        return;
    }
    try {
        (void)vba::parseDir(text);
    } catch (const Error&) {
    }
    const QString source = QString::fromLatin1(text);
    (void)vba::parseProject(source);
    for (auto type : {vba::ComponentType::Standard, vba::ComponentType::Class,
                      vba::ComponentType::Form, vba::ComponentType::Document})
        (void)vba::exportText(type, source, source, QStringLiteral("Form1.frx"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char magic[] = "\xD0\xCF\x11\xE0";
    if (size >= 4 && memcmp(data, magic, 4) == 0)
        exportWholeProject(data, size);
    else
        readContainer(fuzz::bytesOf(data, size));
    return 0;
}
