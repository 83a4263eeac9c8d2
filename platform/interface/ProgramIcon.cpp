#include "ProgramIcon.h"

#include <QDir>
#include <QGuiApplication>

namespace BPrivate {

QIcon program_icon(const QString& path)
{
	QFileInfo program(path);
	if (!program.isFile())
		return QIcon();
	QStringList folders = program_data_folders(program.absolutePath());
	QString name = program_icon_name(folders, program);
	if (name.isEmpty())
		return QIcon();
	// Every size of the first folder that has the icon: a window manager
	// picks the one its task bar or switcher needs.
	for (const QString& folder : folders) {
		QIcon icon;
		QDir theme(folder + "/icons/hicolor");
		for (const QString& size : theme.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
			QString file = theme.filePath(size + "/apps/" + name + ".png");
			if (QFileInfo::exists(file))
				icon.addFile(file);
		}
		if (!icon.isNull())
			return icon;
	}
	return QIcon();
}

void install_program_icon()
{
	static bool sDone = false;
	if (sDone || QGuiApplication::instance() == nullptr)
		return;
	sDone = true;
	if (!QGuiApplication::windowIcon().isNull())
		return; // the program chose one itself
	// On Linux the file path is the executable itself, links resolved.
	QIcon icon = program_icon(QCoreApplication::applicationFilePath());
	if (!icon.isNull())
		QGuiApplication::setWindowIcon(icon);
}

} // namespace BPrivate
