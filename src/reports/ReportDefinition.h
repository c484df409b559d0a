#pragma once
// A report is data: one Z_Report row says what kind of page it is and which
// query feeds it, Z_ReportColumn rows lay out the columns of a list or source
// listing, Z_ReportField rows place the texts of a free page (cover, labels).
// Adding a report means adding rows; nothing here knows a report by name.
#include <QString>
#include <vector>

namespace tabulon::store {
class Database;
}

namespace tabulon::reports {

enum class LayoutKind { List, Source, Free };
enum class Align { Left, Center, Right };

struct ColumnDef {
    QString caption;
    QString field;        // result column of the source query
    double weight = 10;   // share of the printable width
    Align align = Align::Left;
    bool wrap = false;    // wrap inside the column, otherwise cut with an ellipsis
    QString format;       // "", "int", "kb", "date", "datetime", "bool", "code",
                          // "color" ("#RRGGBB" after a swatch of the colour)
};

struct FieldDef {
    QString field;        // result column, or empty for a fixed caption
    QString caption;      // fixed text (drawn before the value when both are set)
    double x = 0, y = 0, w = 0, h = 0;  // millimetres from the paper's top-left
    double fontPt = 10;
    bool bold = false;
    Align align = Align::Left;
    int frame = 0;        // 0 none, 1 box, 2 underline
    bool vertical = false;  // top-to-bottom writing (spine labels)
};

struct ReportDef {
    QString name;
    QString title;
    LayoutKind kind = LayoutKind::List;
    bool landscape = false;
    QString sourceSql;
    QString groupField;      // a new group starts when this column's text changes
    QString groupCaption;    // printed before the group's key text
    QString subGroupField;   // source listings: the procedure of a line
    int textColumns = 1;     // source listings: 1 or 2 columns per page
    double fontPt = 8;
    bool pageFrame = true;   // running header and page footer
    QString leadReport;      // a report whose pages come first, on this paper
    // Not stored: in a combined file, documents one after the other with the
    // same outline parent have their bookmarks nested under one of that title
    // (the print images of the sheets under "シート印刷").
    QString outlineParent;
    std::vector<ColumnDef> columns;
    std::vector<FieldDef> fields;
};

// Reads one definition; Error 2103 (no such report) when the name is unknown.
ReportDef loadDefinition(store::Database& db, const QString& name);
// Names of every stored report, in name order.
std::vector<QString> definitionNames(store::Database& db);

}  // namespace tabulon::reports
