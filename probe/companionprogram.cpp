#include "companionprogram.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace cinemork {

QString companionProgramIn(const QStringList &folders)
{
    for (const QString &folder : folders) {
        const QString candidate = folder + QStringLiteral("/cinemork-list");
        if (QFileInfo(candidate).isFile() && QFileInfo(candidate).isExecutable())
            return candidate;
    }
    // Never a search of PATH: another program of that name may speak another protocol, or be no
    // probe at all. A companion that is not there fails to start, and the file counts as unreadable.
    return folders.value(0) + QStringLiteral("/cinemork-list");
}

QString companionProgram()
{
    return companionProgramIn(
        {QCoreApplication::applicationDirPath(), QStringLiteral(CINEMORK_BINDIR), QStringLiteral(CINEMORK_LIBEXECDIR)});
}

} // namespace cinemork
