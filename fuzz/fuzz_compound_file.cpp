// The compound-file reader and the document properties on arbitrary files.
#include "FuzzSupport.h"
#include "common/Error.h"
#include "host/cfb/CompoundFile.h"
#include "host/props/PropertySets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = tabulon::fuzz::writeScratch(QStringLiteral("input.xls"), data, size);
    try {
        const tabulon::cfb::CompoundFile file(path);
        bool truncated = false;
        for (const char* name : {"Workbook", "Book", "\005SummaryInformation",
                                 "\005DocumentSummaryInformation"}) {
            const auto stream = file.rootStream(QString::fromLatin1(name), &truncated);
            if (stream) (void)file.rootStreamView(QString::fromLatin1(name), &truncated);
        }
        std::map<int, QVariant> properties;
        QStringList warnings;
        tabulon::props::readBuiltinProperties(file, properties, warnings);
    } catch (const tabulon::Error&) {
    }
    return 0;
}
