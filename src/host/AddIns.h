#pragma once
// The spreadsheet's add-in list. The platform kept it in its own settings;
// here it is a small registry file in the program folder, `AddIns.ini`,
// which the user edits by hand:
//
//   ; comment lines start with ';' or '#'; an "[AddIns]" line is allowed
//   /opt/office/addins/Analysis.xla=1
//   /home/me/Tools/Helpers.xla=0
//
// One line per add-in: the add-in file's path, "=", and 1 when the add-in
// is installed (0 when it is only registered). The last "=" on a line
// separates the flag, so paths may contain "="; a line without "=" is an
// add-in that is registered only. A relative path is taken from the folder
// of AddIns.ini. The file is UTF-8 (a file that is not valid UTF-8 is read
// as code page 932); the list keeps the order of the lines.
#include <QList>
#include <QString>

namespace tabulon::host {

// What the add-in collection answers for one add-in.
struct AddIn {
    QString name;       // file name, "Analysis.xla"
    QString fullName;   // folder and file name
    QString title;      // the file's own Title property, empty when it has none
    bool installed = false;
    QString path;       // the folder, without a trailing separator
};

class AddInRegistry {
public:
    static constexpr const char* FileName = "AddIns.ini";

    // Reads the registry; a missing file is an empty list.
    static AddInRegistry load(const QString& iniPath);

    int count() const { return static_cast<int>(entries_.size()); }
    // The add-in at a 1-based position. Throws Error 9 for a position out of
    // range and Error 53 when the registered file no longer exists: the
    // caller's list ends there, as it did on the platform.
    AddIn item(int position) const;
    // The same add-in as registered, whether or not its file still exists
    // (a missing file gives an empty title). Error 9 out of range.
    AddIn registered(int position) const;

private:
    struct Entry {
        QString fullName;
        bool installed = false;
    };
    QList<Entry> entries_;
};

// The Title of the document summary (SummaryInformation) of an OLE file
// such as an .xla add-in; empty for other files or when there is none.
QString documentTitle(const QString& path);

}  // namespace tabulon::host
