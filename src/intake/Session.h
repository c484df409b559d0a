#pragma once
// What the main window knows, without the widgets: the fixed paths, the
// options the chapters and previews read, the analysis-done marks, what the
// workbook intake found, the cover-page texts, and which command is usable.
// The window mirrors this state into its controls; the command line and the
// tests drive it directly.
#include "intake/AppPaths.h"
#include "intake/BasicInfo.h"
#include "intake/Chapters.h"
#include "intake/Profile.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <initializer_list>
#include <optional>

namespace tabulon::intake {

// The analysis-done marks, in their stored order (fObj .. fCrs, mCs).
enum class Mark {
    Object, Cell, Procedure, Source, Shape, File, CellSheet,
    Variables, Comments, Names, Addins, ModuleSteps, Citations
};
inline constexpr int kMarkCount = 13;

struct Cover {
    QString title, company, bumon, auther, date, system, zoom;
    bool operator==(const Cover&) const = default;
};

// The progress gauge: a line whose end moves from 0 to 2040 twips.
inline constexpr double kGaugeTwips = 2040.0;
double gaugeEndTwips(int percent);
QString percentCaption(int percent);

class Session : public QObject {
    Q_OBJECT
public:
    explicit Session(AppPaths paths, QObject* parent = nullptr);

    const AppPaths& paths() const { return paths_; }

    // --- command states
    bool isEnabled(Command command) const { return enabled_[size_t(command)]; }
    void setEnabled(Command command, bool on);
    void setEnabled(std::initializer_list<Command> commands, bool on);

    // The states of a fresh start: nothing that needs a workbook usable, the
    // options at their defaults.
    void applyStartupStates();
    // Every preview off: no stored result belongs to the workbook in hand.
    void disablePreviews();
    // Disables workbook selection, save, load and settings for the rest of
    // the run (after a saved result was opened).
    void MenuLock();

    // --- options
    const Options& options() const { return options_; }
    // Choosing an option of a chapter also makes its preview unusable: the
    // stored result no longer matches the option. Choosing the selected
    // sheet makes the sheet choice usable.
    void setOption(ObjectOption value);
    void setOption(CellOption value);
    void setOption(SheetSelection value);
    void setOption(ProcedureOption value);
    void setOption(ModuleSelection value);
    void setOption(SourceColumns value);
    void setOption(ShapeSelection value);
    void setOption(FileSelection value);
    void setProcedureKana(bool on);
    void setSourceKana(bool on);

    // --- analysis-done marks
    int mark(Mark m) const { return marks_[int(m)]; }
    void setMark(Mark m, int value) { marks_[int(m)] = value; }
    void clearMarks() { marks_.fill(0); }

    // --- what the workbook intake found
    int StdModuleCount = 0, ClassModuleCount = 0, FormModuleCount = 0;
    int ModuleSheetCount = 0;
    // The workbook has macros in a form the exporter cannot read (Excel 5.0/95).
    bool UnreadableProject = false;
    // What the reader skipped as damaged in the workbook and its VBA project,
    // in the reader's technical words; empty for a sound workbook.
    QStringList readWarnings;
    QStringList LinkSourceList;
    bool hasModules() const;

    // The path of the current workbook, "" before one was opened.
    const QString& workbookPath() const { return workbookPath_; }
    void setWorkbookPath(const QString& path);

    // The sheets a sheet can be chosen from (the cell list's and the sheet
    // print's), and the link sources the link search can be run on.
    const QStringList& sheetNames() const { return sheetNames_; }
    const QStringList& linkItems() const { return linkItems_; }
    void setLists(const QStringList& sheets, const QStringList& links);

    // The cover-page fields.
    const Cover& cover() const { return cover_; }
    void setCover(const Cover& cover);

    // Cover defaults held from Tabulon2.dat, the last folder (DEF/Folder) and
    // the recent-file list as loaded at start-up.
    BasicInfo heldDefaults;
    QString lastFolder = kNoFileMarker;
    // The folder of the file last chosen in a file dialog during this run.
    QString usedFolder;
    RecentFiles recentFiles{kNoFileMarker, kNoFileMarker, kNoFileMarker, kNoFileMarker};
    // The program's command-line argument (a saved result to open at start-up),
    // as given; empty when there is none.
    QString commandLine;

signals:
    void statesChanged();   // command states or options
    void workbookChanged();
    void listsChanged();
    void coverChanged();

private:
    void optionChosen(std::optional<Command> preview);

    AppPaths paths_;
    std::array<bool, kCommandCount> enabled_{};
    Options options_;
    std::array<int, kMarkCount> marks_{};
    QString workbookPath_;
    QStringList sheetNames_, linkItems_;
    Cover cover_;
};

}  // namespace tabulon::intake
