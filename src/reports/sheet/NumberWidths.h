#pragma once
// The width of a number's display text without shaping it: digits and the
// signs written around them do not kern, so the text is as wide as its
// characters together. Shaping every text twice (to measure it, then to
// draw it) is what long sheets spend most of their printing time on.
#include <QFontMetricsF>
#include <QString>
#include <array>
#include <string_view>

namespace tabulon::reports::sheet {

class NumberWidths {
public:
    explicit NumberWidths(const QFontMetricsF& metrics) : metrics_(metrics) { advances_.fill(-1); }

    // The width of text, or a negative number when it holds a character
    // other than digits and the signs of numbers (which is measured by
    // shaping the text).
    double width(const QString& text) {
        double sum = 0;
        for (QChar ch : text) {
            const char16_t u = ch.unicode();
            if (u >= kSigns.size() || !kSigns[u]) return -1;
            if (advances_[u] < 0) advances_[u] = metrics_.horizontalAdvance(ch);
            sum += advances_[u];
        }
        return sum;
    }

private:
    static constexpr std::array<bool, 128> kSigns = [] {
        std::array<bool, 128> a{};
        for (char c : std::string_view("0123456789.,-+%E:/ ()$#")) a[size_t(c)] = true;
        return a;
    }();
    QFontMetricsF metrics_;
    std::array<double, 128> advances_;
};

}  // namespace tabulon::reports::sheet
