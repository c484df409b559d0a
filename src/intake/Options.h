#pragma once
// The options that shape the chapters. Each value is the number the done
// marks and the results files store for it, so a stored mark reads back as
// the option its tables were filled under.
namespace tabulon::intake {

enum class ObjectOption { Book = 1, SimpleObjects = 2, DetailedObjects = 3 };
enum class CellOption { Formulas = 1, Comments = 2, Both = 3 };
enum class SheetSelection { AllSheets = 1, SelectedSheet = 2 };
enum class ProcedureOption { Simple = 1, Detailed = 2 };
// The module kinds of the source list, in the order the code chapters visit
// them, and all of them.
enum class ModuleSelection { Standard = 1, Class = 2, Form = 3, Workbook = 4, Sheet = 5, All = 6 };
enum class SourceColumns { One = 1, Two = 2 };
enum class ShapeSelection { Macros = 1, All = 2, AllButComments = 3 };
enum class FileSelection { Related = 1, LinkSources = 2, AllInFolder = 3 };

// The options in force, with the defaults of a fresh start.
struct Options {
    ObjectOption object = ObjectOption::SimpleObjects;
    CellOption cell = CellOption::Both;
    SheetSelection sheets = SheetSelection::AllSheets;
    ProcedureOption procedures = ProcedureOption::Detailed;
    ModuleSelection modules = ModuleSelection::Standard;
    SourceColumns columns = SourceColumns::Two;
    ShapeSelection shapes = ShapeSelection::Macros;
    FileSelection files = FileSelection::Related;
    bool procedureKana = false;  // the procedure list in Japanese syllabary order
    bool sourceKana = false;     // the source list in Japanese syllabary order
    bool operator==(const Options&) const = default;
};

// How many values an option has (its values run from 1 to this).
template <typename Option>
inline constexpr int kOptionCount = 0;
template <> inline constexpr int kOptionCount<ObjectOption> = 3;
template <> inline constexpr int kOptionCount<CellOption> = 3;
template <> inline constexpr int kOptionCount<SheetSelection> = 2;
template <> inline constexpr int kOptionCount<ProcedureOption> = 2;
template <> inline constexpr int kOptionCount<ModuleSelection> = 6;
template <> inline constexpr int kOptionCount<SourceColumns> = 2;
template <> inline constexpr int kOptionCount<ShapeSelection> = 3;
template <> inline constexpr int kOptionCount<FileSelection> = 3;

}  // namespace tabulon::intake
