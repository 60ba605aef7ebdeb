// Listening to a row's message before it is programmed.
#include <QLineEdit>
#include <QToolButton>

#include "app/CProgrammerDlg.h"
#include "app/MessagePlayer.h"
#include "job/SlotTable.h"
#include "job/TextFormat.h"
#include "job/Translate.h"
#include "ui/Translation.h"

namespace zorvek {

void CProgrammerDlg::setSoundOutput(std::unique_ptr<SoundOutput> output) {
    delete player_;
    player_ = new MessagePlayer(std::move(output), this);
    player_->onChanged = [this](int slot, const QString& problem) {
        refreshPlayButtons();
        if (!problem.isEmpty())
            dialogs_->ShowMessage(std::string(ZT("The message cannot be played.")) + "\n" + problem.toStdString() + "\n" +
                                      Format(ZT("Message %d: %s"), slotInfo(slot).messageNumber,
                                             job_.slot(slot).wavPath.c_str()),
                                  kProgramTitle, MessageIcon::Warning);
    };
    for (int s = 1; s <= kSlotCount; ++s) {
        QToolButton* play = playButton(s);
        play->disconnect(this);
        connect(play, &QToolButton::clicked, this, [this, s] { onPlay(s); });
    }
    refreshPlayButtons();
}

void CProgrammerDlg::onPlay(int slot) {
    player_->toggle(slot, job_.slot(slot).wavPath);
}

void CProgrammerDlg::refreshPlayButtons() {
    if (!player_) return;
    const QString unavailable = player_->unavailableReason();
    for (int s = 1; s <= kSlotCount; ++s) {
        QToolButton* play = playButton(s);
        const bool active = player_->activeSlot() == s;
        play->setText(active ? QStringLiteral("\u25A0") : QStringLiteral("\u25B6"));
        play->setEnabled(unavailable.isEmpty() && (active || !job_.slot(s).wavPath.empty()));
        if (!unavailable.isEmpty())
            play->setToolTip(unavailable);
        else if (active)
            play->setToolTip(player_->converting() ? zt("Converting... press to stop") : zt("Stop"));
        else
            play->setToolTip(zt("Listen to this message as the siren will play it"));
    }
}

}  // namespace zorvek
