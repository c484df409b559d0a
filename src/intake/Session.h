#pragma once
// What the main window knows, without the widgets: the fixed paths, the
// option values the analyses and preview buttons read, the analysis-done
// marks, what the workbook intake found, the cover-page texts, and which
// command is usable. The window mirrors this state into its controls; the
// command line and the tests drive it directly.
#include "intake/AppPaths.h"
#include "intake/BasicInfo.h"
#include "intake/Profile.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <map>

namespace tabulon::intake {

// Option button groups of the main window; the value of a group is the
// selected button's index + 1.
enum class OptionGroup { Object, Cell, Proc, Module, MPrint, Shape, File, SSelect };
inline constexpr int kOptionGroupCount = 8;

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

    // --- command states, by control name (cmdKansu, cmdHyousi_0, m1a, ...)
    static const QStringList& controlNames();
    bool isEnabled(const QString& control) const;
    void setEnabled(const QString& control, bool on);
    void setEnabled(const QStringList& controls, bool on);

    // The states of a fresh start: nothing that needs a workbook usable, the
    // option buttons at their defaults, no workbook loaded, no report engine.
    void applyStartupStates();
    // Disables workbook selection, save, load and settings for the rest of
    // the run (after a saved result was opened).
    void MenuLock();

    // --- options
    int optionValue(OptionGroup group) const { return values_[int(group)]; }
    int selectedOption(OptionGroup group) const { return selected_[int(group)]; }
    // The click handler of an option button (also run when the program
    // selects a button).
    void clickOption(OptionGroup group, int index);
    int proc50() const { return proc50_; }
    int mod50() const { return mod50_; }
    void setProc50(int value);
    void setMod50(int value);

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
    bool WorkbookReopen = false;
    // ExcelActive: whether a workbook model is loaded (the old platform's
    // spreadsheet instance ran); AccessState: who made the report engine
    // that reports print from. Both keep the stored 0/1/2 values.
    enum HostState : int { NoWorkbookLoaded = 0, WorkbookLoaded = 1 };
    enum ReportEngineState : int { NoReportEngine = 0, EngineFromIntake = 1, EngineOnSavedResult = 2 };
    int ExcelActive = NoWorkbookLoaded;
    int AccessState = NoReportEngine;
    bool hasModules() const;

    // lblDBName: the path of the current workbook, "" before one was opened.
    const QString& workbookPath() const { return workbookPath_; }
    void setWorkbookPath(const QString& path);

    // cboSheet / cboSheet2 items (same list) and cboLinkMoto items.
    const QStringList& sheetNames() const { return sheetNames_; }
    const QStringList& linkItems() const { return linkItems_; }
    void setLists(const QStringList& sheets, const QStringList& links);

    // The cover-page fields txtTitle .. txtZoom.
    const Cover& cover() const { return cover_; }
    void setCover(const Cover& cover);

    // Cover defaults held from Tabulon2.dat, the last folder (DEF/Folder) and
    // the recent-file list as loaded at start-up.
    BasicInfo heldDefaults;
    QString lastFolder = kNoFileMarker;
    RecentFiles recentFiles{kNoFileMarker, kNoFileMarker, kNoFileMarker, kNoFileMarker};
    // The program's command-line argument (a saved result to open at start-up),
    // as given; empty when there is none.
    QString commandLine;

signals:
    void statesChanged();   // command states or option selections
    void workbookChanged();
    void listsChanged();
    void coverChanged();

private:
    AppPaths paths_;
    std::map<QString, bool> enabled_;
    std::array<int, kOptionGroupCount> values_{};
    std::array<int, kOptionGroupCount> selected_{};
    int proc50_ = 0, mod50_ = 0;
    std::array<int, kMarkCount> marks_{};
    QString workbookPath_;
    QStringList sheetNames_, linkItems_;
    Cover cover_;
};

}  // namespace tabulon::intake
