#pragma once
// The window's pictures, drawn in code so they stay sharp at any scale:
// the vertical logo, the firmware-update banner, the 32-tone banner and the program icon.
#include <QIcon>
#include <QWidget>

namespace zorvek {

class PictureWidget : public QWidget {
public:
    enum class Kind { Logo, FirmwareBanner, Dip32ToneBanner };
    PictureWidget(Kind kind, QWidget* parent);
    Kind kind() const { return kind_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Kind kind_;
};

// Sizes in dialog units (width, height) the pictures are laid out at.
QSize pictureSizeInDialogUnits(PictureWidget::Kind kind);

QIcon programIcon();

// True for a palette whose windows are dark (light text on a dark ground).
bool isDarkPalette(const QPalette& palette);
// A dark palette as desktops' dark themes have it, for showing the window on one.
QPalette darkPalette();

}  // namespace zorvek
