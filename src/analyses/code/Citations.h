#pragma once
// The procedure citations. The names of the procedures declared
// in the standard modules are collected, then every candidate line of the
// same modules cites the first listed name it contains; one T_XlLinkModule
// row per citing line.
#include "analyses/code/CodeCommand.h"

#include <vector>

namespace tabulon::analyses::code {

inline const QString CitationsPlace = QStringLiteral("場所:引用先一覧");
inline const QString CitationsCollectingText = QStringLiteral("プロシージャ引用先 情報　取得中");

// Finds, in one pass over a line, the smallest list position whose name
// occurs in it (case-sensitive substring), as the list-order search would,
// without trying every name on every line.
class FirstNameMatcher {
public:
    explicit FirstNameMatcher(const QStringList& names);
    int firstIn(QStringView line) const;  // -1 when no name occurs

private:
    struct Node {
        std::vector<std::pair<char16_t, int>> next;  // sorted by character
        int fail = 0;
        int best = -1;  // smallest position ending here or on the fail chain
    };
    int step(int state, char16_t ch) const;
    int child(int state, char16_t ch) const;
    std::vector<Node> nodes_;
};

// On success the done mark (fCrs) is 1 and the outcome names R_XlLinkProc.
CodeOutcome runCitations(const CodeContext& ctx);

}  // namespace tabulon::analyses::code
