#pragma once
// The comment list. One T_XlComment row per whole-line comment
// of every exported module, tagged with its module and procedure.
#include "analyses/code/CodeCommand.h"

namespace tabulon::analyses::code {

inline const QString CommentListPlace = QStringLiteral("場所:コメント一覧");
inline const QString CommentCollectingText = QStringLiteral("コメント情報　取得中");

// The Comment text of a line, or a null string when the line is no listed
// comment. Every whole-line comment reads alike: its indentation (blanks or
// tabs), its apostrophe or Rem and one blank after the mark removed, trailing
// blanks removed, 255 characters at most; an empty comment is not listed.
QString commentText(const QString& line);

// On success the done mark (fCom) is 1 and the outcome names R_XlComment.
CodeOutcome runCommentList(const CodeContext& ctx);

}  // namespace tabulon::analyses::code
