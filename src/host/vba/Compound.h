#pragma once
// Thin, owning access to an OLE compound file (MS-CFB) through libgsf.
// Every read is bounded: a stream larger than the caller's limit is an
// error, never an allocation of the size the directory claims.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

typedef struct _GsfInfile GsfInfile;

namespace tabulon::vba {

// One storage (the root or a child storage) of an open compound file.
// Children keep their parents alive through libgsf's own references.
class Storage {
public:
    // Opens a compound file; throws Error 53 when the file does not exist
    // and Error 1004 when it is not a compound file.
    static Storage open(const QString& path);
    Storage() = default;

    bool isNull() const { return !infile_; }
    // A child storage, or a null Storage when there is none by that name.
    Storage storage(const QString& name) const;
    bool hasStream(const QString& name) const;
    // The whole stream; throws Error 1004 when it is missing or larger than
    // maxBytes. A stream whose directory entry claims more than the file
    // holds is read as far as it goes and `truncated` (when given) set.
    QByteArray stream(const QString& name, qint64 maxBytes, bool* truncated = nullptr) const;
    // Names of the direct children (streams and storages), directory order.
    QStringList childNames() const;
    bool isStorage(const QString& name) const;

private:
    explicit Storage(GsfInfile* infile);
    int childIndex(const QString& name) const;
    std::shared_ptr<GsfInfile> infile_;
};

}  // namespace tabulon::vba
