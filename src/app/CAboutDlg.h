#pragma once
#include <QDialog>

#include "job/Translate.h"

namespace zorvek {

// The About box: program icon, name and version, and an OK button.
class CAboutDlg : public QDialog {
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

inline constexpr const char* kAboutTitle = ZT("About Zorvek USB Siren Programmer");
inline constexpr const char* kAboutLine = ZT("Zorvek USB Siren Programmer Version 3.1");

}  // namespace zorvek
