#pragma once
// Variables, constants and user-defined types of the standard modules. One
// T_XlHensu row per declared name, type and type member; the three variable
// lists print them.
#include "analyses/code/CodeCommand.h"

#include <functional>

namespace tabulon::analyses::code {

inline const QString VariablesPlace = QStringLiteral("場所:変数情報");
inline const QString VariablesCollectingText = QStringLiteral("変数 情報　取得中");

struct HensuRow {
    QString procedureName;
    QString name;         // HensuName
    QString scope;        // Property: Dim, Global, Public, Private (empty: End Type)
    QString bunrui;       // 変数, 定数, 定義
    QString type;         // 型/..., 値/... or empty
    qint64 piece = 0;     // Line: running count of code pieces
    QString description;
};

struct Piece;

// The scan of one run over the standard modules' lines; exposed so that the
// declaration rules can be tried on single modules.
class VariableScan {
public:
    explicit VariableScan(SourceCursor& cursor, std::function<void(const HensuRow&)> write);
    void startModule() { inProcedure_ = false; }
    // One physical line; a Type or Enum statement reads its members from `reader`.
    void line(const QString& raw, LineReader& reader);

    // The scope a declaration without a scope word has, as the rows show it.
    static const QString ImpliedPublic;   // Type and Enum
    static const QString ImpliedPrivate;  // a module-level Const
    static const QString ImpliedLocal;    // a Const inside a procedure

private:
    bool piece(const QString& r, LineReader& reader);
    bool unscopedPiece(const Piece& p, LineReader& reader);
    bool declaration(const Piece& p, int n, const QString& scope);
    void typeBlock(const QString& t, int nameStart, int c, const QString& scope, LineReader& reader);
    void enumBlock(const Piece& head, int nameStart, const QString& scope, LineReader& reader);
    bool enumMember(const QString& statement, const QString& scope);
    QString currentName() const;

    SourceCursor& c_;
    std::function<void(const HensuRow&)> write_;
    qint64 pieces_ = 0;
    bool inProcedure_ = false;  // between a procedure's header and its End line
};

// On success the done mark (fDim) is 1; no report is shown.
CodeOutcome runVariables(const CodeContext& ctx);

}  // namespace tabulon::analyses::code
