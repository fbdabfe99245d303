#pragma once

// The list's own texts: its caption, the status bar and the names of its changes in the undo menu.

#include "cinemork/version.h"

#include <QString>

namespace cinemork::Texts {

inline const QString AppName = QStringLiteral(CINEMORK_NAME);
inline const QString CaptionPrefix = QStringLiteral("Cinemork - ");
inline const QString Untitled = QStringLiteral("Untitled");
// Status bar
inline const QString NoListOpened = QStringLiteral("No list opened");
inline const QString ListModified = QStringLiteral("List has been modified");
inline QString opening(const QString &path)
{
    return QStringLiteral("Opening ") + path + QStringLiteral("...");
}
inline QString loadedStatus(qsizetype count, const QString &title, const QString &gigabytes)
{
    return QString::number(count) + QStringLiteral(" items in loaded list ") + title + QStringLiteral(", total ")
        + gigabytes + QStringLiteral(" GB");
}
// Undo and redo: the menu entries read "Undo " or "Redo " and the command's name.
inline const QString UndoCaption = QStringLiteral("Undo");
inline const QString RedoCaption = QStringLiteral("Redo");
inline const QString UndoAdd = QStringLiteral("add movie");
inline const QString UndoEdit = QStringLiteral("edit movie");
inline const QString UndoDelete = QStringLiteral("delete movie");
inline const QString UndoTitle = QStringLiteral("change list title");
inline const QString UndoAddFromDisc = QStringLiteral("add from disc");
inline const QString UndoCheckUpdate = QStringLiteral("update from disc check");
inline const QString UndoImport = QStringLiteral("import movies");

} // namespace cinemork::Texts
