// BNodeInfo::GetIcon: the classic icons of a node. Lives in the interface
// kit because it fills a BBitmap.

#include <Bitmap.h>
#include <Node.h>
#include <NodeInfo.h>

#include "ProgramIcon.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <unistd.h>

#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace {

// The system colour map, RRGGBB; index 255 is the transparent one. Eight
// entries a row, as the map is usually printed.
// clang-format off
const uint32 kSystemColours[256] = {
	0x000000, 0x080808, 0x101010, 0x181818, 0x202020, 0x282828, 0x303030, 0x383838,
	0x404040, 0x484848, 0x505050, 0x585858, 0x606060, 0x686868, 0x707070, 0x787878,
	0x808080, 0x888888, 0x909090, 0x989898, 0xA0A0A0, 0xA8A8A8, 0xB0B0B0, 0xB8B8B8,
	0xC0C0C0, 0xC8C8C8, 0xD0D0D0, 0xD8D8D8, 0xE0E0E0, 0xE8E8E8, 0xF0F0F0, 0xF8F8F8,
	0x0000FF, 0x0000E5, 0x0000CC, 0x0000B3, 0x00009A, 0x000081, 0x000069, 0x000050,
	0x000037, 0x00001E, 0xFF0000, 0xE40000, 0xCB0000, 0xB20000, 0x990000, 0x800000,
	0x690000, 0x500000, 0x370000, 0x1E0000, 0x00FF00, 0x00E400, 0x00CB00, 0x00B200,
	0x009900, 0x008000, 0x006900, 0x005000, 0x003700, 0x001E00, 0x009833, 0xFFFFFF,
	0xCBFFFF, 0xCBFFCB, 0xCBFF98, 0xCBFF66, 0xCBFF33, 0xCBFF00, 0x98FFFF, 0x98FFCB,
	0x98FF98, 0x98FF66, 0x98FF33, 0x98FF00, 0x66FFFF, 0x66FFCB, 0x66FF98, 0x66FF66,
	0x66FF33, 0x66FF00, 0x33FFFF, 0x33FFCB, 0x33FF98, 0x33FF66, 0x33FF33, 0x33FF00,
	0xFF98FF, 0xFF98CB, 0xFF9898, 0xFF9866, 0xFF9833, 0xFF9800, 0x0066FF, 0x0066CB,
	0xCBCBFF, 0xCBCBCB, 0xCBCB98, 0xCBCB66, 0xCBCB33, 0xCBCB00, 0x98CBFF, 0x98CBCB,
	0x98CB98, 0x98CB66, 0x98CB33, 0x98CB00, 0x66CBFF, 0x66CBCB, 0x66CB98, 0x66CB66,
	0x66CB33, 0x66CB00, 0x33CBFF, 0x33CBCB, 0x33CB98, 0x33CB66, 0x33CB33, 0x33CB00,
	0xFF66FF, 0xFF66CB, 0xFF6698, 0xFF6666, 0xFF6633, 0xFF6600, 0x006698, 0x006666,
	0xCB98FF, 0xCB98CB, 0xCB9898, 0xCB9866, 0xCB9833, 0xCB9800, 0x9898FF, 0x9898CB,
	0x989898, 0x989866, 0x989833, 0x989800, 0x6698FF, 0x6698CB, 0x669898, 0x669866,
	0x669833, 0x669800, 0x3398FF, 0x3398CB, 0x339898, 0x339866, 0x339833, 0x339800,
	0xE68600, 0xFF33CB, 0xFF3398, 0xFF3366, 0xFF3333, 0xFF3300, 0x006633, 0x006600,
	0xCB66FF, 0xCB66CB, 0xCB6698, 0xCB6666, 0xCB6633, 0xCB6600, 0x9866FF, 0x9866CB,
	0x986698, 0x986666, 0x986633, 0x986600, 0x6666FF, 0x6666CB, 0x666698, 0x666666,
	0x666633, 0x666600, 0x3366FF, 0x3366CB, 0x336698, 0x336666, 0x336633, 0x336600,
	0xFF00FF, 0xFF00CB, 0xFF0098, 0xFF0066, 0xFF0033, 0xFFAF13, 0x0033FF, 0x0033CB,
	0xCB33FF, 0xCB33CB, 0xCB3398, 0xCB3366, 0xCB3333, 0xCB3300, 0x9833FF, 0x9833CB,
	0x983398, 0x983366, 0x983333, 0x983300, 0x6633FF, 0x6633CB, 0x663398, 0x663366,
	0x663333, 0x663300, 0x3333FF, 0x3333CB, 0x333398, 0x333366, 0x333333, 0x333300,
	0xFFCB66, 0xFFCB98, 0xFFCBCB, 0xFFCBFF, 0x003398, 0x003366, 0x003333, 0x003300,
	0xCB00FF, 0xCB00CB, 0xCB0098, 0xCB0066, 0xCB0033, 0xFFE346, 0x9800FF, 0x9800CB,
	0x980098, 0x980066, 0x980033, 0x980000, 0x6600FF, 0x6600CB, 0x660098, 0x660066,
	0x660033, 0x660000, 0x3300FF, 0x3300CB, 0x330098, 0x330066, 0x330033, 0x330000,
	0xFFCB33, 0xFFCB00, 0xFFFF00, 0xFFFF33, 0xFFFF66, 0xFFFF98, 0xFFFFCB, 0xFFFFFF,
};
// clang-format on

const char* AttributeFor(int side)
{
	return side == B_MINI_ICON ? "BEOS:M:STD_ICON" : "BEOS:L:STD_ICON";
}

// Reads the icon attribute of one size; an attribute of another length is
// not an icon.
bool read_icon_attribute(const BNode* node, int side, std::vector<uint8>* pixels)
{
	pixels->assign(side * side, B_TRANSPARENT_MAGIC_CMAP8);
	ssize_t read = node->ReadAttr(AttributeFor(side), 0, 0, pixels->data(), pixels->size());
	return read == static_cast<ssize_t>(pixels->size());
}

// The other size of the classic icon, scaled: every second pixel of the
// large one, or each pixel of the mini one doubled.
bool read_scaled_icon_attribute(const BNode* node, int side, std::vector<uint8>* pixels)
{
	int other = side == B_MINI_ICON ? B_LARGE_ICON : B_MINI_ICON;
	std::vector<uint8> source;
	if (!read_icon_attribute(node, other, &source))
		return false;
	pixels->resize(side * side);
	for (int y = 0; y < side; y++) {
		for (int x = 0; x < side; x++)
			(*pixels)[y * side + x] = source[(y * other / side) * other + x * other / side];
	}
	return true;
}

uint8 nearest_index(QRgb colour)
{
	if (qAlpha(colour) < 128)
		return B_TRANSPARENT_MAGIC_CMAP8;
	int red = qRed(colour);
	int green = qGreen(colour);
	int blue = qBlue(colour);
	uint8 best = 0;
	long bestDistance = -1;
	for (int index = 0; index < 255; index++) {
		int r = (kSystemColours[index] >> 16) & 0xff;
		int g = (kSystemColours[index] >> 8) & 0xff;
		int b = kSystemColours[index] & 0xff;
		// Weighted as the eye sees it: green counts most, red and blue by
		// how red the two colours are.
		long meanRed = (red + r) / 2;
		long dr = red - r;
		long dg = green - g;
		long db = blue - b;
		long distance =
		    ((512 + meanRed) * dr * dr >> 8) + 4 * dg * dg + ((767 - meanRed) * db * db >> 8);
		if (bestDistance < 0 || distance < bestDistance) {
			bestDistance = distance;
			best = static_cast<uint8>(index);
		}
	}
	return best;
}

// The folders that may hold desktop entries and icons, most specific first:
// the share folder beside the program (a build folder is a complete
// install), then the user's and the system's.
QStringList data_folders(const QString& programFolder)
{
	QStringList folders;
	folders << programFolder + "/share";
	// Installed under a prefix, the program lives in PREFIX/lib/NAME/ and its
	// desktop files in PREFIX/share, wherever the prefix is.
	QDir parent(programFolder);
	if (parent.cdUp() && parent.dirName() == "lib" && parent.cdUp())
		folders << parent.absolutePath() + "/share";
	QString home = qEnvironmentVariable("XDG_DATA_HOME");
	if (home.isEmpty())
		home = QDir::homePath() + "/.local/share";
	folders << home;
	QString system = qEnvironmentVariable("XDG_DATA_DIRS");
	if (system.isEmpty())
		system = "/usr/local/share:/usr/share";
	for (const QString& folder : system.split(':', Qt::SkipEmptyParts))
		folders << folder;
	folders.removeDuplicates();
	return folders;
}

// The program named by an Exec line: its first word, without quotes.
QString exec_program(const QString& exec)
{
	QString line = exec.trimmed();
	if (line.startsWith('"')) {
		int end = line.indexOf('"', 1);
		return end > 0 ? line.mid(1, end - 1) : QString();
	}
	return line.section(' ', 0, 0);
}

bool names_program(const QString& command, const QFileInfo& program)
{
	if (command.isEmpty())
		return false;
	if (command.contains('/'))
		return QFileInfo(command).canonicalFilePath() == program.canonicalFilePath();
	return command == program.fileName();
}

struct DesktopEntry
{
	QString command; // the program of Exec
	QString tryExec;
	QString icon;
};

// The entries with an icon in one applications folder. Folders are read once
// and again only when they change (an entry added, removed or renamed; an
// entry edited in place shows with the next such change): the pop-up asks
// for every program's icon on each launch and quit, and a desktop holds
// hundreds of entries.
std::vector<DesktopEntry> read_desktop_entries(const QString& folder)
{
	std::vector<DesktopEntry> found;
	QDir applications(folder);
	const QStringList names =
	    applications.entryList(QStringList() << "*.desktop", QDir::Files, QDir::Name);
	for (const QString& name : names) {
		QFile file(applications.filePath(name));
		if (file.size() > 256 * 1024 || !file.open(QIODevice::ReadOnly | QIODevice::Text))
			continue;
		QTextStream in(&file);
		bool inEntry = false;
		QString exec;
		DesktopEntry entry;
		while (!in.atEnd()) {
			QString line = in.readLine().trimmed();
			if (line.startsWith('[')) {
				inEntry = line == "[Desktop Entry]";
				continue;
			}
			if (!inEntry)
				continue;
			int equals = line.indexOf('=');
			if (equals <= 0)
				continue;
			QString key = line.left(equals).trimmed();
			QString value = line.mid(equals + 1).trimmed();
			if (key == "Exec")
				exec = value;
			else if (key == "TryExec")
				entry.tryExec = value;
			else if (key == "Icon")
				entry.icon = value;
		}
		if (entry.icon.isEmpty())
			continue;
		entry.command = exec_program(exec);
		found.push_back(entry);
	}
	return found;
}

std::vector<DesktopEntry> desktop_entries(const QString& folder)
{
	struct Cached
	{
		QDateTime modified;
		std::vector<DesktopEntry> entries;
	};
	static std::mutex sLock;
	static std::map<QString, Cached> sCache;

	QFileInfo info(folder);
	if (!info.isDir())
		return {};
	QDateTime modified = info.lastModified();
	{
		std::lock_guard<std::mutex> guard(sLock);
		auto cached = sCache.find(folder);
		if (cached != sCache.end() && cached->second.modified == modified)
			return cached->second.entries;
	}
	std::vector<DesktopEntry> entries = read_desktop_entries(folder);
	std::lock_guard<std::mutex> guard(sLock);
	sCache[folder] = Cached{modified, entries};
	return entries;
}

// The Icon key of the first desktop entry whose TryExec or Exec runs the
// program. An entry in the program's own share folder travels with it, so
// there the file name is enough: the folder may have been copied or moved
// since the entry was written.
QString desktop_icon_name(const QStringList& dataFolders, const QFileInfo& program)
{
	for (const QString& folder : dataFolders) {
		bool beside = folder == dataFolders.first();
		for (const DesktopEntry& entry : desktop_entries(folder + "/applications")) {
			if (names_program(entry.tryExec, program) || names_program(entry.command, program))
				return entry.icon;
			if (beside && (QFileInfo(entry.tryExec).fileName() == program.fileName() ||
			               QFileInfo(entry.command).fileName() == program.fileName()))
				return entry.icon;
		}
	}
	return QString();
}

// The picture for an icon name: a path as it is, else the hicolor theme's
// nearest size at or above the wanted one, else the pixmaps folder.
QImage find_icon_image(const QStringList& dataFolders, const QString& icon, int side)
{
	if (icon.startsWith('/'))
		return QImage(icon);
	static const int kSizes[] = {16, 22, 24, 32, 48, 64, 96, 128, 256, 512};
	for (const QString& folder : dataFolders) {
		QString theme = folder + "/icons/hicolor/";
		for (int size : kSizes) {
			if (size < side)
				continue;
			QString path = theme + QString("%1x%1/apps/").arg(size) + icon + ".png";
			if (QFileInfo::exists(path)) {
				QImage image(path);
				if (!image.isNull())
					return image;
			}
		}
		for (const char* suffix : {".png", ".xpm"}) {
			QString path = folder + "/pixmaps/" + icon + suffix;
			if (QFileInfo::exists(path)) {
				QImage image(path);
				if (!image.isNull())
					return image;
			}
		}
	}
	return QImage();
}

bool read_desktop_icon(const char* path, int side, std::vector<uint8>* pixels)
{
	if (path == nullptr || access(path, X_OK) != 0)
		return false;
	QFileInfo program(QString::fromUtf8(path));
	if (!program.isFile())
		return false;
	QStringList folders = data_folders(program.absolutePath());
	QString icon = desktop_icon_name(folders, program);
	if (icon.isEmpty())
		return false;
	QImage image = find_icon_image(folders, icon, side);
	if (image.isNull())
		return false;
	image = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)
	            .convertToFormat(QImage::Format_ARGB32);
	// A picture that is not square sits in the middle of the icon.
	int left = (side - image.width()) / 2;
	int top = (side - image.height()) / 2;
	pixels->assign(side * side, B_TRANSPARENT_MAGIC_CMAP8);
	for (int y = 0; y < image.height(); y++) {
		for (int x = 0; x < image.width(); x++)
			(*pixels)[(top + y) * side + left + x] = nearest_index(image.pixel(x, y));
	}
	return true;
}

} // namespace

status_t BNodeInfo::GetIcon(BBitmap* icon, icon_size which) const
{
	if (icon == nullptr || (which != B_MINI_ICON && which != B_LARGE_ICON))
		return B_BAD_VALUE;
	if (mNode == nullptr || mStatus != B_OK)
		return B_NO_INIT;
	int side = which;
	BRect bounds = icon->Bounds();
	if (icon->ColorSpace() != B_CMAP8 || bounds.IntegerWidth() + 1 != side ||
	    bounds.IntegerHeight() + 1 != side)
		return B_BAD_VALUE;

	std::vector<uint8> pixels;
	if (!read_icon_attribute(mNode, side, &pixels) &&
	    !read_scaled_icon_attribute(mNode, side, &pixels) &&
	    !read_desktop_icon(mNode->NodePath(), side, &pixels))
		return B_ENTRY_NOT_FOUND;

	uint8* bits = static_cast<uint8*>(icon->Bits());
	int32 bytesPerRow = icon->BytesPerRow();
	if (bits == nullptr || bytesPerRow < side)
		return B_NO_MEMORY;
	for (int y = 0; y < side; y++)
		memcpy(bits + y * bytesPerRow, pixels.data() + y * side, side);
	return B_OK;
}

namespace BPrivate {

QStringList program_data_folders(const QString& programFolder)
{
	return data_folders(programFolder);
}

QString program_icon_name(const QStringList& dataFolders, const QFileInfo& program)
{
	return desktop_icon_name(dataFolders, program);
}

} // namespace BPrivate
