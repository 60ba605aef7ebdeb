#pragma once
// The catalogues of the user's language (Qt Linguist .qm files) for the core's
// texts and the window's, shared by the desktop program and the command-line tool.
#include <QString>
#include <QStringList>

namespace zorvek {

// The folders searched for zorvek_<language>.qm: beside the program
// ("translations"), where an installed program keeps them, and the build tree.
QStringList translationFolders(const QString& programFolder);

// The language the desktop asks for (LANGUAGE first, then LC_ALL, LC_MESSAGES
// and LANG); English when the first choice is English or has no catalogue.
// Installs the catalogue for the core (SetTextTranslator) and, when a
// QCoreApplication runs, for Qt's own texts where Qt's catalogues are installed.
// Returns the language loaded ("de", "fr"), empty for English.
QString installTranslations(const QString& programFolder);

// The window's texts: `english` in the user's language (lupdate: zt is an alias of QT_TR_NOOP).
QString zt(const char* english);

}  // namespace zorvek
