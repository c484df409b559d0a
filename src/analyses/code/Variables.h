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

// The scan of one run over the standard modules' lines; exposed so that the
// declaration rules can be tried on single modules.
class VariableScan {
public:
    explicit VariableScan(SourceCursor& cursor, std::function<void(const HensuRow&)> write);
    // One physical line; a Type statement reads its members from `reader`.
    void line(const QString& raw, LineReader& reader);

private:
    bool piece(const QString& r, LineReader& reader);
    void typeBlock(const QString& t, int nameStart, int c, const QString& scope, LineReader& reader);
    QString currentName() const;

    SourceCursor& c_;
    std::function<void(const HensuRow&)> write_;
    qint64 pieces_ = 0;
};

// On success the done mark (fDim) is 1; no report is shown.
CodeOutcome runVariables(const CodeContext& ctx);

}  // namespace tabulon::analyses::code
