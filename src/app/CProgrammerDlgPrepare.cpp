// "Prepare..." in each row's context menu: a message made ready for a siren
// (trim, horn high-pass, loudness, or speech) goes into the row as a new file.
#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <memory>

#include "app/CProgrammerDlg.h"
#include "app/MessagePlayer.h"
#include "app/PrepareDialog.h"
#include "job/Paths.h"
#include "job/SlotTable.h"
#include "ui/Translation.h"

namespace zorvek {

void CProgrammerDlg::buildPrepareMenus() {
    for (int s = 1; s <= kSlotCount; ++s) {
        const SlotControls& row = slotControls_[static_cast<size_t>(s - 1)];
        auto* action = new QAction(zt("Prepare..."), row.frame);
        action->setObjectName(QStringLiteral("prepare%1").arg(s));
        action->setToolTip(zt("Trim, filter and level this message, or make it from text"));
        connect(action, &QAction::triggered, this, [this, s] { onPrepare(s); });
        row.frame->setContextMenuPolicy(Qt::ActionsContextMenu);
        row.frame->addAction(action);
        QLineEdit* path = row.path;
        path->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(path, &QWidget::customContextMenuRequested, this, [path, action](QPoint at) {
            std::unique_ptr<QMenu> menu(path->createStandardContextMenu());
            menu->addSeparator();
            menu->addAction(action);
            menu->exec(path->mapToGlobal(at));
        });
    }
}

void CProgrammerDlg::onPrepare(int slot) {
    // A row the usage locks takes no file, as its Open button takes no click.
    if (isCommandRunning() || !slotControls_[static_cast<size_t>(slot - 1)].path->isEnabled()) return;
    runCommand([&] {
        if (player_) player_->stop();
        const int number = slotInfo(slot).messageNumber;
        PrepareDialog dialog(number, job_.slot(slot).wavPath, UserDataFolder() + "Messages/",
                             player_ ? player_->output() : nullptr, this);
        if (dialog.exec() != QDialog::Accepted) return;
        takeChosenWav(slot, dialog.savedPath());
        const double saved = dialog.secondsSaved();
        statusBar()->showMessage(
            zt("Message %1 prepared%2: %3")
                .arg(number)
                .arg(saved >= 0.01 ? zt(", %1 s shorter").arg(saved, 0, 'f', 2) : QString())
                .arg(QString::fromStdString(dialog.savedPath())),
            20000);
    });
}

}  // namespace zorvek
