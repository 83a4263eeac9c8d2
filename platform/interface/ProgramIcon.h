// The running program's own icon, as the desktop knows it: the Icon of the
// desktop entry that starts it, in every size its icon theme folders hold.
#ifndef PROGRAM_ICON_H
#define PROGRAM_ICON_H

#include <QFileInfo>
#include <QIcon>
#include <QString>
#include <QStringList>

namespace BPrivate {

// Where the program's desktop files may be: its own share folder, the share
// folder of the prefix it is installed under, then the XDG data folders.
QStringList program_data_folders(const QString& programFolder);
// The Icon key of the first desktop entry that starts program; empty if none.
QString program_icon_name(const QStringList& dataFolders, const QFileInfo& program);

// The icon of the executable at path; null when the desktop has none.
QIcon program_icon(const QString& path);

// Gives the application its program's icon once, so every window shows it
// and task bars can tie the windows to the launcher.
void install_program_icon();

} // namespace BPrivate

#endif // PROGRAM_ICON_H
