#include "host/vba/DirStream.h"

#include "common/Error.h"
#include "host/xls/ByteCursor.h"

namespace tabulon::vba {
namespace {

// Record ids of MS-OVBA 2.3.4.2 that this reader uses.
enum : quint16 {
    IdCodePage = 0x0003,
    IdVersion = 0x0009,
    IdModules = 0x000F,
    IdTerminator = 0x0010,
    IdModuleName = 0x0019,
    IdModuleStreamName = 0x001A,
    IdModuleType = 0x0021,
    IdModuleTypeClass = 0x0022,
    IdModuleEnd = 0x002B,
    IdModuleOffset = 0x0031,
    IdModuleStreamNameUnicode = 0x0032,
    IdModuleNameUnicode = 0x0047,
};

// A field's value from up to its first four bytes; a shorter field holds
// the low bytes only.
quint32 littleEndian(const QByteArray& data) {
    xls::ByteCursor c("dir record", data);
    quint32 value = 0;
    for (int shift = 0; shift < 32 && !c.atEnd(); shift += 8) value |= quint32(c.u8()) << shift;
    return value;
}

QString utf16(const QByteArray& data) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(data.constData()),
                              data.size() / 2);
}

void finishModule(DirInfo& info, DirModule& module, bool& haveOffset) {
    if (module.name.isEmpty() && module.nameUnicode.isEmpty())
        throw Error(err::Refused, QStringLiteral("dir stream: module without a name"));
    if (!haveOffset)
        throw Error(err::Refused, QStringLiteral("dir stream: module without a source offset"));
    if (module.streamName.isEmpty() && module.streamNameUnicode.isEmpty())
        module.streamName = module.name;
    info.modules.append(module);
    module = DirModule();
    haveOffset = false;
}

}  // namespace

DirInfo parseDir(const QByteArray& dir) {
    DirInfo info;
    xls::ByteCursor cursor("dir stream", dir);
    DirModule module;
    bool inModule = false;
    bool haveOffset = false;
    while (!cursor.atEnd()) {
        const quint16 id = cursor.u16();
        const quint32 size = cursor.u32();
        // PROJECTVERSION (2.3.4.2.1.11) says 4 but is followed by 6 bytes.
        const size_t length = id == IdVersion ? 6 : size;
        const QByteArray data(reinterpret_cast<const char*>(cursor.take(length)), qsizetype(length));
        switch (id) {
        case IdTerminator:
            return info;
        case IdCodePage:
            info.codePage = static_cast<int>(littleEndian(data) & 0xFFFF);
            break;
        case IdModuleName:
            if (inModule)
                finishModule(info, module, haveOffset);
            inModule = true;
            module.name = data;
            break;
        case IdModuleNameUnicode: module.nameUnicode = utf16(data); break;
        case IdModuleStreamName: module.streamName = data; break;
        case IdModuleStreamNameUnicode: module.streamNameUnicode = utf16(data); break;
        case IdModuleOffset:
            module.sourceOffset = littleEndian(data);
            haveOffset = data.size() >= 4;
            break;
        case IdModuleType: module.procedural = true; break;
        case IdModuleTypeClass: module.procedural = false; break;
        case IdModuleEnd:
            if (inModule)
                finishModule(info, module, haveOffset);
            inModule = false;
            break;
        default: break;  // project information, references, cookies, doc strings
        }
    }
    if (inModule)
        throw Error(err::Refused, QStringLiteral("dir stream ends inside a module record"));
    return info;
}

}  // namespace tabulon::vba
