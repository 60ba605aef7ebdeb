#pragma once
// Dialog units, the font-relative measure the window layout is given in:
// a quarter of the average character width across, an eighth of the line height down.
#include <QFont>
#include <QFontMetricsF>
#include <QRect>
#include <cmath>

namespace zorvek {

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font) {
        const QFontMetricsF fm(font);
        baseX_ = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0;
        baseY_ = fm.height();
    }
    int x(int units) const { return static_cast<int>(std::lround(units * baseX_ / 4.0)); }
    int y(int units) const { return static_cast<int>(std::lround(units * baseY_ / 8.0)); }
    QRect rect(int left, int top, int width, int height) const {
        return QRect(x(left), y(top), x(left + width) - x(left), y(top + height) - y(top));
    }

private:
    double baseX_ = 6;
    double baseY_ = 13;
};

}  // namespace zorvek
