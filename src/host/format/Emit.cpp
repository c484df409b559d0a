#include "host/format/Emit.h"

#include "host/format/JapaneseForms.h"

#include <algorithm>

namespace tabulon::host::format {

bool emitCommon(Display& out, const Token& token) {
    switch (token.kind) {
    case Tok::Literal:
        out.text += token.text;
        return true;
    case Tok::Spacing:
        out.spacing.append({int(out.text.size()), token.ch});
        out.text += u' ';
        return true;
    case Tok::Fill:
        if (out.fillAt < 0) {  // only the first fill counts
            out.fill = token.ch;
            out.fillAt = int(out.text.size());
        }
        return true;
    default:
        return false;
    }
}

void applyDigitForm(Display& out, int form, bool placeWords, int start) {
    if (form <= 0) return;
    // Cut the text at every recorded position so each can be moved by what
    // the conversion did to the text before it.
    QList<int> cuts{start};
    for (const auto& s : out.spacing) cuts << s.at << s.at + 1;
    if (out.fillAt >= 0) cuts << out.fillAt;
    cuts << int(out.text.size());
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

    QString text = out.text.left(start);
    QList<QPair<int, int>> moved;  // old cut -> new position
    for (qsizetype i = 0; i + 1 < cuts.size(); ++i) {
        if (cuts[i] < start) continue;
        moved.append({cuts[i], int(text.size())});
        text += dbNumText(out.text.mid(cuts[i], cuts[i + 1] - cuts[i]), form, placeWords);
    }
    auto place = [&](int at) {
        for (const auto& [from, to] : moved)
            if (from == at) return to;
        return at;
    };
    for (auto& s : out.spacing) s.at = place(s.at);
    if (out.fillAt >= 0) out.fillAt = out.fillAt == out.text.size() ? int(text.size()) : place(out.fillAt);
    out.text = text;
}

}  // namespace tabulon::host::format
