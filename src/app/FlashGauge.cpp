#include "app/FlashGauge.h"

#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <algorithm>

#include "app/Pictures.h"
#include "audio/Resampler.h"
#include "job/Translate.h"
#include "ui/Translation.h"

namespace zorvek {

namespace {
const QColor kHeaderColour(128, 128, 128);
const QColor kFreeColour(250, 250, 250);
const QColor kOverColour(200, 30, 30);

QString seconds(uint64_t packedBytes) {
    return QString::number(static_cast<double>(packedBytes) * 2.0 / 3.0 / kSirenSampleRate, 'f', 1) +
           QStringLiteral(" s");
}
}  // namespace

FlashBar::FlashBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("flashBar"));
    setMinimumHeight(fontMetrics().height() + 4);
}

QColor FlashBar::messageColour(int messageNumber) {
    static const QColor colours[] = {QColor(31, 119, 180),  QColor(255, 127, 14), QColor(44, 160, 44),
                                     QColor(148, 103, 189), QColor(140, 86, 75),  QColor(227, 119, 194),
                                     QColor(23, 190, 207)};
    return colours[static_cast<size_t>(std::max(0, messageNumber - 1)) % std::size(colours)];
}

void FlashBar::setFill(const FlashFill& fill) {
    fill_ = fill;
    QStringList lines;
    for (const FillSegment& m : fill_.messages) {
        const QString name = QFileInfo(QString::fromStdString(m.path)).fileName();
        QStringList numbers;
        for (int n : m.messageNumbers) numbers << QString::number(n);
        if (numbers.isEmpty()) numbers << QString::number(m.messageNumber);
        const QString which = numbers.join(QStringLiteral(", "));
        lines << (m.forecast.usable ? zt("Message %1: %2, %3").arg(which, name, seconds(m.forecast.packedBytes))
                                    : zt("Message %1: %2: %3")
                                          .arg(which, name, QString::fromStdString(TranslatedLines(m.forecast.problem))));
    }
    setToolTip(lines.join(QLatin1Char('\n')));
    update();
}

void FlashBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect area = rect().adjusted(0, 0, -1, -1);
    const bool fits = fill_.Fits();
    // An overfull job is drawn against what it needs, so the overflow shows.
    const double scale =
        static_cast<double>(area.width()) / static_cast<double>(std::max<uint64_t>({fill_.capacity, fill_.used, 1}));
    const bool dark = isDarkPalette(palette());
    p.fillRect(area, dark ? palette().color(QPalette::Base) : kFreeColour);
    double x = area.left();
    auto segment = [&](uint64_t bytes, const QColor& colour, const QString& label) {
        const double w = static_cast<double>(bytes) * scale;
        const QRectF r(x, area.top(), w, area.height());
        p.fillRect(r, colour);
        if (!label.isEmpty() && w > p.fontMetrics().horizontalAdvance(label) + 2) {
            p.setPen(Qt::white);
            p.drawText(r, Qt::AlignCenter, label);
        }
        x += w;
    };
    segment(fill_.headerBytes, kHeaderColour, QString());
    for (const FillSegment& m : fill_.messages)
        segment(m.forecast.packedBytes, m.forecast.usable ? messageColour(m.messageNumber) : kOverColour,
                QString::fromStdString(SegmentLabel(m)));
    if (!fits) {
        // The part beyond the flash's end.
        const double end = area.left() + static_cast<double>(fill_.capacity) * scale;
        p.fillRect(QRectF(end, area.top(), area.right() - end + 1, area.height()),
                   QColor(kOverColour.red(), 0, 0, 140));
        p.setPen(QPen(Qt::black, 2));  // where the flash ends
        p.drawLine(QPointF(end, area.top()), QPointF(end, area.bottom()));
    }
    p.setPen(fits ? palette().color(dark ? QPalette::Mid : QPalette::Dark) : kOverColour);
    p.drawRect(area);
}

FlashGauge::FlashGauge(QWidget* parent) : QWidget(parent), bar_(new FlashBar(this)), summary_(new QLabel(this)) {
    setObjectName(QStringLiteral("flashGauge"));
    summary_->setObjectName(QStringLiteral("flashSummary"));
    summary_->setTextFormat(Qt::PlainText);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(bar_, 3);
    row->addWidget(summary_, 2);
}

void FlashGauge::setFill(const FlashFill& fill) {
    bar_->setFill(fill);
    summary_->setText(QString::fromStdString(FlashFillSummary(fill)));  // worded by Format, in the language
    showFits();
}

void FlashGauge::showFits() {
    // A lighter red on a dark window, where the light theme's would sink in.
    const bool dark = isDarkPalette(palette());
    summary_->setStyleSheet(fill().Fits() ? QString()
                            : dark       ? QStringLiteral("color: rgb(255, 120, 120); font-weight: bold;")
                                         : QStringLiteral("color: rgb(200, 30, 30); font-weight: bold;"));
}

void FlashGauge::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) showFits();
    QWidget::changeEvent(event);
}

QString FlashGauge::summary() const {
    return summary_->text();
}

}  // namespace zorvek
