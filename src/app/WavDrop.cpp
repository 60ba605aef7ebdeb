#include "app/WavDrop.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace zorvek {

WavDrop::WavDrop(QWidget* watched, std::function<int(QPoint)> slotAt, std::function<void(int, const QString&)> dropped)
    : QObject(watched), slotAt_(std::move(slotAt)), dropped_(std::move(dropped)) {
    watched->setAcceptDrops(true);
    watched->installEventFilter(this);
}

QString WavDrop::droppedFile(const QMimeData* data) {
    // The Open dialog takes one existing file; so does a drop.
    if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl url = data->urls().front();
    if (!url.isLocalFile()) return {};
    const QFileInfo file(url.toLocalFile());
    return file.isFile() ? file.absoluteFilePath() : QString();
}

bool WavDrop::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            const bool wanted = slotAt_(drag->position().toPoint()) != 0 && !droppedFile(drag->mimeData()).isEmpty();
            if (wanted)
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const int slot = slotAt_(drop->position().toPoint());
            const QString file = droppedFile(drop->mimeData());
            if (slot == 0 || file.isEmpty()) {
                drop->ignore();
                return true;
            }
            drop->acceptProposedAction();
            dropped_(slot, file);
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

}  // namespace zorvek
