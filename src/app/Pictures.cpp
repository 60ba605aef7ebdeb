#include "app/Pictures.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>

namespace zorvek {
namespace {

const QColor kBannerYellow(255, 221, 0);
const QColor kBannerRed(200, 0, 0);
const QColor kLogoBlue(16, 44, 92);

// A siren horn with three sound arcs, drawn into `box`.
void drawSiren(QPainter& p, const QRectF& box, const QColor& colour) {
    const qreal s = std::min(box.width(), box.height());
    const QPointF o(box.center().x() - s / 2, box.center().y() - s / 2);
    p.save();
    p.translate(o);
    p.scale(s / 100.0, s / 100.0);
    QPainterPath horn;
    horn.moveTo(8, 38);
    horn.lineTo(26, 38);
    horn.lineTo(50, 18);
    horn.lineTo(50, 82);
    horn.lineTo(26, 62);
    horn.lineTo(8, 62);
    horn.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(horn);
    QPen wave(colour, 7, Qt::SolidLine, Qt::RoundCap);
    p.setPen(wave);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        const qreal r = 14 + i * 13;
        p.drawArc(QRectF(52 - r, 50 - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
    }
    p.restore();
}

// The largest bold font, up to `maxPixels`, in which every line fits `width`.
QFont fittingFont(QFont font, const QStringList& lines, qreal width, int maxPixels) {
    font.setBold(true);
    for (int pixels = std::max(6, maxPixels); pixels > 6; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetricsF fm(font);
        bool fits = true;
        for (const QString& line : lines) fits = fits && fm.horizontalAdvance(line) <= width;
        if (fits) return font;
    }
    font.setPixelSize(6);
    return font;
}

void drawBanner(QPainter& p, const QRect& area, const QStringList& lines) {
    p.fillRect(area, kBannerYellow);
    p.setPen(QPen(kBannerRed, 2));
    p.drawRect(area.adjusted(1, 1, -1, -1));
    const qreal lineHeight = (area.height() - 4.0) / lines.size();
    p.setFont(fittingFont(p.font(), lines, area.width() - 8.0, static_cast<int>(lineHeight * 0.75)));
    p.setPen(kBannerRed);
    for (int i = 0; i < lines.size(); ++i) {
        const QRectF line(area.left() + 3, area.top() + 2 + i * lineHeight, area.width() - 6, lineHeight);
        p.drawText(line, Qt::AlignCenter, lines[i]);
    }
}

void drawLogo(QPainter& p, const QRect& area) {
    QLinearGradient fill(area.topLeft(), area.bottomRight());
    fill.setColorAt(0, kLogoBlue.lighter(150));
    fill.setColorAt(1, kLogoBlue);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(area, area.width() * 0.12, area.width() * 0.12);
    const QRectF icon(area.left(), area.top() + area.width() * 0.1, area.width(), area.width() * 0.8);
    drawSiren(p, icon.adjusted(4, 4, -4, -4), QColor(255, 200, 40));
    // The name runs up the picture, read with the head tilted left.
    p.save();
    const QRectF textArea(area.left(), icon.bottom(), area.width(), area.bottom() - icon.bottom());
    p.translate(textArea.center());
    p.rotate(-90);
    QFont font = p.font();
    font.setLetterSpacing(QFont::PercentageSpacing, 115);
    p.setFont(
        fittingFont(font, {QStringLiteral("ZORVEK")}, textArea.height() - 8.0, static_cast<int>(area.width() * 0.5)));
    p.setPen(Qt::white);
    const QRectF rotated(-textArea.height() / 2, -textArea.width() / 2, textArea.height(), textArea.width());
    p.drawText(rotated, Qt::AlignCenter, QStringLiteral("ZORVEK"));
    p.restore();
}

}  // namespace

PictureWidget::PictureWidget(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
    setAttribute(Qt::WA_OpaquePaintEvent, kind != Kind::Logo);
}

void PictureWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    switch (kind_) {
        case Kind::Logo:
            drawLogo(p, rect());
            // Dark blue on a dark window loses its edge: outline it.
            if (isDarkPalette(palette())) {
                p.setPen(QPen(palette().color(QPalette::Mid), 1));
                p.setBrush(Qt::NoBrush);
                const QRectF edge = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
                p.drawRoundedRect(edge, width() * 0.12, width() * 0.12);
            }
            break;
        case Kind::FirmwareBanner:
            drawBanner(p, rect(), {QStringLiteral("FIRMWARE UPDATE ON")});
            break;
        case Kind::Dip32ToneBanner:
            drawBanner(p, rect(), {QStringLiteral("DIP SWITCH"), QStringLiteral("32 TONE")});
            break;
    }
}

QSize pictureSizeInDialogUnits(PictureWidget::Kind kind) {
    switch (kind) {
        case PictureWidget::Kind::Logo:
            return {38, 126};
        case PictureWidget::Kind::FirmwareBanner:
            return {136, 13};
        case PictureWidget::Kind::Dip32ToneBanner:
            return {51, 28};
    }
    return {};
}

bool isDarkPalette(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

QPalette darkPalette() {
    QPalette p;
    const QColor window(45, 45, 48), base(30, 30, 32), text(230, 230, 230), disabled(128, 128, 128);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, disabled);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(58, 58, 62));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, QColor(255, 90, 90));
    p.setColor(QPalette::Light, QColor(80, 80, 84));
    p.setColor(QPalette::Midlight, QColor(68, 68, 72));
    p.setColor(QPalette::Mid, QColor(100, 100, 106));
    p.setColor(QPalette::Dark, QColor(24, 24, 26));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(90, 160, 240));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    return p;
}

QIcon programIcon() {
    // The desktop's icon (packaging/icons), built into the program.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString file = QStringLiteral(":/icons/%1x%1/apps/com.zorvek.SirenProgrammer.png").arg(size);
        if (QFile::exists(file)) icon.addFile(file, QSize(size, size));
    }
    if (!icon.isNull()) return icon;
    // Drawn instead when the resources were left out of the build.
    for (int size : {16, 32, 64, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 20, 20));
        p.drawEllipse(QRectF(0.5, 0.5, size - 1.0, size - 1.0));
        drawSiren(p, QRectF(size * 0.15, size * 0.15, size * 0.7, size * 0.7), Qt::white);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace zorvek
