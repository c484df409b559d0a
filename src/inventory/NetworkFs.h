#pragma once
// Whether a folder lies on a network file system. SQLite's write-ahead log
// keeps its index in shared memory beside the database, which works only
// when every process reaches the file through one machine's kernel; on a
// network file system two machines would corrupt the database quietly.
#include <QString>

namespace tabulon::inventory {

// The name of the network file system holding `folder` ("nfs", "cifs",
// "fuse.sshfs", ...), or empty when it is local (or cannot be told).
QString networkFileSystem(const QString& folder);

// The decision itself, from the statfs magic number and the mount's type as
// /proc/self/mountinfo gives it (which tells FUSE file systems apart).
QString networkFileSystemName(long magic, const QString& mountType);

// The Japanese refusal for a database on such a file system.
QString networkRefusal(const QString& database, const QString& fileSystem);

}  // namespace tabulon::inventory
