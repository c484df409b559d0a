#include "host/props/PropertySets.h"

#include "host/CodePage.h"
#include "host/cfb/CompoundFile.h"
#include "host/xls/ByteCursor.h"

#include <QDateTime>
#include <QTimeZone>

namespace tabulon::props {

using xls::ByteCursor;
using xls::FormatError;

namespace {

// Built-in position -> property id, per property set.
struct Slot {
    int position;
    int pid;
};
constexpr Slot kSummary[] = {{1, 2},   {2, 3},   {3, 4},   {4, 5},   {5, 6},   {6, 7},
                             {7, 8},   {8, 9},   {9, 18},  {10, 11}, {11, 12}, {12, 13},
                             {13, 10}, {14, 14}, {15, 15}, {16, 16}, {17, 19}};
constexpr Slot kDocSummary[] = {{18, 2},  {19, 3}, {20, 14}, {21, 15}, {22, 4}, {23, 5},  {24, 6},
                                {25, 7},  {26, 8}, {27, 9},  {28, 10}, {30, 0x11}};

constexpr int VT_I2 = 2, VT_I4 = 3, VT_BOOL = 11, VT_UI4 = 19, VT_LPSTR = 30, VT_LPWSTR = 31,
              VT_FILETIME = 64, VT_BLOB = 65;

QDateTime fromFileTime(uint64_t ft) {
    // 100-ns intervals since 1601-01-01 UTC.
    constexpr qint64 epochDiffMs = 11644473600000LL;
    const qint64 ms = qint64(ft / 10000) - epochDiffMs;
    return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc()).toLocalTime();
}

QString wideText(ByteCursor& c, size_t cch) {
    QString s = c.chars(cch, true);
    const qsizetype nul = s.indexOf(QChar(0));
    return nul >= 0 ? s.left(nul) : s;
}

// TypedPropertyValue, MS-OLEPS 2.15
QVariant readValue(ByteCursor& c, int codePage, int pid) {
    const int type = int(c.u32() & 0xFFFF);
    switch (type) {
    case VT_I2: return int(c.i16());
    case VT_I4: return int(c.i32());
    case VT_UI4: return qlonglong(c.u32());
    case VT_BOOL: return c.u16() != 0;
    case VT_LPSTR: {
        const size_t size = c.u32();
        if (codePage == 1200) return wideText(c, size / 2);
        QByteArray raw(reinterpret_cast<const char*>(c.take(size)), qsizetype(size));
        const qsizetype nul = raw.indexOf('\0');
        return fromCodePage(nul >= 0 ? raw.left(nul) : raw, codePage);
    }
    case VT_LPWSTR: return wideText(c, c.u32());
    case VT_BLOB: {  // the hyperlink base is kept as UTF-16 text in a blob
        const size_t size = c.u32();
        ByteCursor blob(c.take(size), size);
        return blob.remaining() >= 4 ? wideText(blob, std::min<size_t>(blob.u32(), blob.remaining() / 2)) : QString();
    }
    case VT_FILETIME: {
        const uint64_t ft = c.u64();
        if (pid == 10) return qlonglong(ft / 600000000ULL);  // editing time: minutes
        if (ft == 0) return QVariant();
        return fromFileTime(ft);
    }
    default: return QVariant();
    }
}

// Dictionary, MS-OLEPS 2.17: property id -> name, for the user-defined set.
std::map<int, QString> readDictionary(ByteCursor& c, int codePage) {
    std::map<int, QString> out;
    const size_t n = c.u32();
    for (size_t i = 0; i < n && c.remaining() >= 8; ++i) {
        const int id = int(c.u32());
        const size_t len = c.u32();
        if (codePage == 1200) {
            out[id] = wideText(c, len);
            c.skip(std::min<size_t>((len * 2) % 4, c.remaining()));  // padded to four bytes
            continue;
        }
        QByteArray raw(reinterpret_cast<const char*>(c.take(len)), qsizetype(len));
        const qsizetype nul = raw.indexOf('\0');
        out[id] = fromCodePage(nul >= 0 ? raw.left(nul) : raw, codePage);
    }
    return out;
}

// One PropertySet (MS-OLEPS 2.20) into pid -> value; names from a dictionary
// go into named.
void readSection(const QByteArray& stream, size_t sectionOffset, std::map<int, QVariant>& byPid,
                 std::map<QString, QVariant>* named) {
    const auto* base = reinterpret_cast<const uint8_t*>(stream.constData());
    if (sectionOffset >= size_t(stream.size())) throw FormatError(QStringLiteral("property section outside the stream"), sectionOffset);
    ByteCursor head(base + sectionOffset, size_t(stream.size()) - sectionOffset, sectionOffset);
    const size_t size = std::min<size_t>(head.u32(), head.size());
    ByteCursor sec(base + sectionOffset, size, sectionOffset);
    sec.skip(4);
    const size_t count = sec.u32();
    std::vector<std::pair<int, size_t>> entries;
    for (size_t i = 0; i < count && sec.remaining() >= 8; ++i) {
        const int pid = int(sec.u32());
        entries.push_back({pid, sec.u32()});
    }
    int codePage = 1252;
    for (auto [pid, off] : entries)
        if (pid == 1) {  // CodePage property: VT_I2
            ByteCursor c = sec;
            c.seek(off);
            c.skip(4);
            codePage = c.u16();
        }
    std::map<int, QString> dictionary;
    // A damaged property costs only itself.
    for (auto [pid, off] : entries) {
        try {
            ByteCursor c = sec;
            c.seek(off);
            if (pid == 0 && named) dictionary = readDictionary(c, codePage);
            else if (pid >= 2) byPid[pid] = readValue(c, codePage, pid);
        } catch (const FormatError&) {
        }
    }
    if (named)
        for (auto& [id, name] : dictionary)
            if (byPid.count(id)) (*named)[name] = byPid[id];
}

// PropertySetStream, MS-OLEPS 2.21: header, then (FMTID, offset) per set.
std::vector<size_t> sectionOffsets(const QByteArray& stream) {
    ByteCursor c(reinterpret_cast<const uint8_t*>(stream.constData()), size_t(stream.size()));
    if (c.u16() != 0xFFFE) throw FormatError(QStringLiteral("not a property set"), 0);
    c.skip(2 + 4 + 16);
    const size_t n = c.u32();
    std::vector<size_t> out;
    for (size_t i = 0; i < n && i < 2; ++i) {
        c.skip(16);
        out.push_back(c.u32());
    }
    return out;
}

std::optional<QByteArray> findStream(const cfb::CompoundFile& file, const QString& name, bool* truncated) {
    if (auto s = file.rootStream(QChar(5) + name, truncated)) return s;
    return file.rootStream(name, truncated);
}

}  // namespace

bool isDatePosition(int position) { return position >= 10 && position <= 12; }

QString fromCodePage(const QByteArray& bytes, int codePage) { return host::decodeCodePage(bytes, codePage); }

void readBuiltinProperties(const cfb::CompoundFile& file, std::map<int, QVariant>& out, QStringList& warnings) {
    auto load = [&](const QString& name, const auto& slotList, bool userSection) {
        bool truncated = false;
        std::optional<QByteArray> s = findStream(file, name, &truncated);
        if (!s) return;
        if (truncated) warnings << QStringLiteral("%1: the stream is truncated: read as far as the file holds it").arg(name);
        try {
            const std::vector<size_t> offsets = sectionOffsets(*s);
            std::map<int, QVariant> byPid;
            if (!offsets.empty()) readSection(*s, offsets[0], byPid, nullptr);
            for (const Slot& slot : slotList)
                if (auto it = byPid.find(slot.pid); it != byPid.end() && it->second.isValid()) out[slot.position] = it->second;
            if (userSection && offsets.size() > 1) {
                std::map<int, QVariant> user;
                std::map<QString, QVariant> named;
                readSection(*s, offsets[1], user, &named);
                if (auto it = named.find(QStringLiteral("_PID_LINKBASE")); it != named.end()) out[29] = it->second;
            }
        } catch (const FormatError& e) {
            warnings << QStringLiteral("%1: %2").arg(name, e.text());
        }
    };
    load(QStringLiteral("SummaryInformation"), kSummary, false);
    load(QStringLiteral("DocumentSummaryInformation"), kDocSummary, true);
}

}  // namespace tabulon::props
