#pragma once
// Dropping a WAV file onto a message row: the row's path is set as if the file
// had been chosen with the row's Open button.
#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

class QMimeData;

namespace zorvek {

class WavDrop : public QObject {
public:
    // `slotAt` names the slot whose row takes a drop at a point of the watched
    // widget (0: none, or a locked row); `dropped` takes the file.
    WavDrop(QWidget* watched, std::function<int(QPoint)> slotAt, std::function<void(int, const QString&)> dropped);

    // The one local, existing file a drag carries; empty for anything else.
    static QString droppedFile(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<int(QPoint)> slotAt_;
    std::function<void(int, const QString&)> dropped_;
};

}  // namespace zorvek
