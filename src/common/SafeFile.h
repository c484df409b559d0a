#pragma once
// Files that appear under their name only when complete. The bytes go into a
// part file beside the target, which is synced and renamed over the target,
// so the name holds either the earlier file or the whole new one, whatever
// happens meanwhile (a full disk, a kill, a power cut after the rename).
//
// A part file's name has a fixed length, whatever the target's, and names
// the machine, process and process start that write it: the part files of a
// run that was killed are told from those of a live run and removed by the
// next one (removeStaleParts).
#include "common/KillCleanup.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <optional>

namespace tabulon {

// The user's words for a failed system call: "ディスクの空き容量が足りません。",
// "同じ名前のフォルダがあります。", ... Unusual errors give a general sentence
// with the system's own text as the detail.
QString systemReason(int errorNumber);

// Creates a folder and the folders above it that are missing. Returns 0, or
// the errno of the step that failed (EEXIST when a file has the name).
int makeFolders(const QString& path);

// Whether files can be written into the folder `path`, which need not exist
// yet: 0, or the errno that making or writing it would meet (EEXIST when a
// file has its name, ENOTDIR when a file is on the way, EACCES, EROFS for
// the nearest folder that exists). Nothing is made.
int folderUnwritable(const QString& path);

// A new part-file path in the folder of `target` (never used before by this
// process).
QString partFileBeside(const QString& target);

// Removes the part files in `folder` (and their SQLite journals) whose
// process has ended. Part files of live processes, and of other machines on a
// shared folder, are left alone; so is everything else.
void removeStaleParts(const QString& folder);

// Syncs the finished part file, renames it over `target` and syncs the
// folder. Returns 0, or the errno of the step that failed (the part file is
// then still there, for the caller to remove).
int commitPart(const QString& part, const QString& target);

// A device that writes the part file of `target` and puts it in place with
// commit(). Write failures are kept with their errno (the first one wins), so
// the user learns why; a device destroyed without a commit, or a run ended by
// a signal meanwhile, removes its part file.
class PartFile : public QIODevice {
public:
    explicit PartFile(QString target);
    ~PartFile() override;
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    // Creates the part file (WriteOnly); false with errorNumber() set.
    bool open(OpenMode mode) override;
    bool isSequential() const override { return true; }
    // Closes the part file, which stays for more work by path (partPath()).
    void close() override;

    const QString& target() const { return target_; }
    const QString& partPath() const { return part_; }
    int errorNumber() const { return errno_; }

    // Closes, syncs and renames the part file over the target. False, with
    // errorNumber() set and the part file removed, when any write or step
    // failed; the target is then as it was.
    bool commit();

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override;

private:
    static constexpr qint64 kBufferBytes = 1 << 16;
    void flushBuffer();
    void writeAll(const char* data, qint64 length);

    QString target_;
    QString part_;
    QByteArray buffer_;
    std::optional<cleanup::Registration> killed_;
    int fd_ = -1;
    int errno_ = 0;
    bool committed_ = false;
};

}  // namespace tabulon
