#include "inventory/LinkResolution.h"

#include "inventory/Sql.h"

#include <QDir>

namespace tabulon::inventory {

QStringList pathSteps(const QString& path) {
    QStringList steps = QString(path).replace(u'\\', u'/').toLower().split(u'/', Qt::SkipEmptyParts);
    std::reverse(steps.begin(), steps.end());
    return steps;
}

void FileIndex::add(qint64 id, const QString& path) {
    byPath_.insert(path, id);
    QStringList steps = pathSteps(path);
    if (steps.isEmpty()) return;
    const QString name = steps.takeFirst();
    byName_[name].push_back({id, steps});
}

std::optional<LinkTarget> FileIndex::resolve(const QString& target) const {
    const auto exact = byPath_.constFind(QDir::cleanPath(target));
    if (exact != byPath_.constEnd()) return LinkTarget{*exact, QStringLiteral("path")};
    QStringList steps = pathSteps(target);
    if (steps.isEmpty()) return std::nullopt;
    const auto candidates = byName_.constFind(steps.takeFirst());
    if (candidates == byName_.constEnd()) return std::nullopt;
    // The candidate sharing the most folders next to the name wins; a tie
    // between the best is no answer.
    int best = -1;
    int bestCount = 0;
    qint64 bestId = 0;
    for (const Entry& e : *candidates) {
        int shared = 0;
        while (shared < steps.size() && shared < e.folders.size() && steps[shared] == e.folders[shared]) ++shared;
        if (shared > best) {
            best = shared;
            bestCount = 1;
            bestId = e.id;
        } else if (shared == best) {
            ++bestCount;
        }
    }
    if (bestCount != 1) return std::nullopt;
    return LinkTarget{bestId, QStringLiteral("name")};
}

qint64 resolveLinks(sqlite3* db) {
    FileIndex index;
    Statement files(db, QStringLiteral("SELECT id, path FROM file WHERE kind <> 'other' AND vanished_at IS NULL"));
    while (files.step()) index.add(files.integer(0), files.text(1));
    std::vector<std::pair<qint64, QString>> targets;
    Statement links(db, QStringLiteral("SELECT id, target FROM finding WHERE kind = 'link'"));
    while (links.step()) targets.emplace_back(links.integer(0), links.text(1));
    Statement update(db, QStringLiteral("UPDATE finding SET target_file_id = ?, resolved_by = ? WHERE id = ?"));
    qint64 found = 0;
    for (const auto& [id, target] : targets) {
        const std::optional<LinkTarget> t = index.resolve(target);
        if (t) update.bind(t->id).bind(t->resolvedBy);
        else update.bind(QVariant()).bind(QVariant());
        update.bind(id).run();
        found += t.has_value();
    }
    return found;
}

}  // namespace tabulon::inventory
