#pragma once
// Under the message rows: how the job would fill the flash. Firmware area,
// one coloured segment per distinct message (with its number), free space,
// and "used / capacity, seconds free" beside the bar; red when it does not fit.
#include <QWidget>

#include "image/FlashFill.h"

class QLabel;

namespace zorvek {

class FlashBar : public QWidget {
public:
    explicit FlashBar(QWidget* parent = nullptr);
    void setFill(const FlashFill& fill);
    const FlashFill& fill() const { return fill_; }
    // The colour a message's segment is drawn in.
    static QColor messageColour(int messageNumber);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FlashFill fill_;
};

class FlashGauge : public QWidget {
public:
    explicit FlashGauge(QWidget* parent = nullptr);
    void setFill(const FlashFill& fill);
    const FlashFill& fill() const { return bar_->fill(); }
    QString summary() const;
    FlashBar* bar() const { return bar_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void showFits();
    FlashBar* bar_;
    QLabel* summary_;
};

}  // namespace zorvek
