// Build tool: turns the editor's icon drawing into what the program ships
// with. Writes ICONDIR/SIZExSIZE/apps/NAME.png for every size a desktop asks
// for and ICONDIR/scalable/apps/NAME.svg (the layout of an icon theme, so the
// desktop finds them). The drawing has 16 and 32 pixels; larger sizes are the
// 32 pixel picture scaled, by whole pixels where the factor allows so the
// edges stay sharp. Given an executable, it stores the pictures on it as the
// icon attributes
// "BEOS:M:STD_ICON" (16 x 16) and "BEOS:L:STD_ICON" (32 x 32), one colour-map
// index per pixel, which is where the node info looks for a program's icon.
//
// usage: le_icon_tool DRAWING ICONDIR NAME [EXECUTABLE]

#include <Node.h>

#include <QColor>
#include <QDir>
#include <QImage>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Colour
{
	int index;
	QRgb rgb;
};

struct Drawing
{
	std::map<char, Colour> colours;
	std::map<int, std::vector<std::string>> icons; // by size
};

bool Fail(const std::string& what)
{
	std::fprintf(stderr, "le_icon_tool: %s\n", what.c_str());
	return false;
}

bool ReadDrawing(const char* path, Drawing* drawing)
{
	std::ifstream in(path);
	if (!in)
		return Fail(std::string("cannot read ") + path);
	std::string line;
	int size = 0;
	int lineNumber = 0;
	while (std::getline(in, line)) {
		lineNumber++;
		std::string where = std::string(path) + ":" + std::to_string(lineNumber) + ": ";
		if (line.empty() || line[0] == '#')
			continue;
		std::istringstream words(line);
		std::string keyword;
		words >> keyword;
		if (keyword == "colour") {
			std::string character;
			int index = -1;
			std::string hex;
			words >> character >> index >> hex;
			if (character.size() != 1 || index < 0 || index > 255 || hex.size() != 6)
				return Fail(where + "expected: colour CHAR INDEX RRGGBB");
			QRgb rgb = qRgba(std::stoi(hex.substr(0, 2), nullptr, 16),
			                 std::stoi(hex.substr(2, 2), nullptr, 16),
			                 std::stoi(hex.substr(4, 2), nullptr, 16), index == 255 ? 0 : 255);
			drawing->colours[character[0]] = {index, rgb};
		} else if (keyword == "icon") {
			words >> size;
			if (size != 16 && size != 32)
				return Fail(where + "icons are 16 or 32 pixels");
		} else {
			if (size == 0)
				return Fail(where + "picture row before \"icon\"");
			if (static_cast<int>(line.size()) != size)
				return Fail(where + "row is not " + std::to_string(size) + " pixels wide");
			for (char c : line) {
				if (drawing->colours.count(c) == 0)
					return Fail(where + "no colour for '" + std::string(1, c) + "'");
			}
			drawing->icons[size].push_back(line);
		}
	}
	for (int side : {16, 32}) {
		if (static_cast<int>(drawing->icons[side].size()) != side)
			return Fail("the " + std::to_string(side) + " pixel icon needs " +
			            std::to_string(side) + " rows");
	}
	return true;
}

QImage Picture(const Drawing& drawing, int side)
{
	const std::vector<std::string>& rows = drawing.icons.at(side);
	QImage image(side, side, QImage::Format_ARGB32);
	for (int y = 0; y < side; y++) {
		for (int x = 0; x < side; x++)
			image.setPixel(x, y, drawing.colours.at(rows[y][x]).rgb);
	}
	return image;
}

// The picture for a theme size: drawn where there is a drawing, else the
// nearest larger drawing scaled.
QImage ThemePicture(const Drawing& drawing, int side)
{
	if (drawing.icons.count(side) != 0)
		return Picture(drawing, side);
	QImage source = Picture(drawing, 32);
	Qt::TransformationMode mode =
	    side % 32 == 0 ? Qt::FastTransformation : Qt::SmoothTransformation;
	return source.scaled(side, side, Qt::IgnoreAspectRatio, mode);
}

bool WriteFile(const std::string& folder, const std::string& leaf, const QImage* image,
               const std::string& text)
{
	std::string path = folder + "/" + leaf;
	if (!QDir().mkpath(QString::fromStdString(folder)))
		return Fail("cannot make " + folder);
	if (image != nullptr)
		return image->save(QString::fromStdString(path), "PNG") || Fail("cannot write " + path);
	std::ofstream out(path, std::ios::trunc);
	out << text;
	return out.good() || Fail("cannot write " + path);
}

// The 32 pixel drawing as squares, one run of equal pixels in a row each.
std::string Svg(const Drawing& drawing)
{
	const std::vector<std::string>& rows = drawing.icons.at(32);
	std::ostringstream svg;
	svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
	    << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" "
	       "viewBox=\"0 0 32 32\" shape-rendering=\"crispEdges\">\n";
	for (int y = 0; y < 32; y++) {
		for (int x = 0; x < 32;) {
			int end = x;
			while (end < 32 && rows[y][end] == rows[y][x])
				end++;
			QRgb rgb = drawing.colours.at(rows[y][x]).rgb;
			if (qAlpha(rgb) != 0) {
				char colour[8];
				std::snprintf(colour, sizeof(colour), "#%02x%02x%02x", qRed(rgb), qGreen(rgb),
				              qBlue(rgb));
				svg << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << end - x
				    << "\" height=\"1\" fill=\"" << colour << "\"/>\n";
			}
			x = end;
		}
	}
	svg << "</svg>\n";
	return svg.str();
}

} // namespace

int main(int argc, char** argv)
{
	if (argc < 4 || argc > 5) {
		std::fprintf(stderr, "usage: le_icon_tool DRAWING ICONDIR NAME [EXECUTABLE]\n");
		return 2;
	}
	Drawing drawing;
	if (!ReadDrawing(argv[1], &drawing))
		return 1;

	const std::string themeFolder = argv[2];
	const std::string leaf = std::string(argv[3]);
	for (int side : {16, 24, 32, 48, 64, 128, 256}) {
		QImage image = ThemePicture(drawing, side);
		std::string folder =
		    themeFolder + "/" + std::to_string(side) + "x" + std::to_string(side) + "/apps";
		if (!WriteFile(folder, leaf + ".png", &image, ""))
			return 1;
	}
	if (!WriteFile(themeFolder + "/scalable/apps", leaf + ".svg", nullptr, Svg(drawing)))
		return 1;

	for (int side : {16, 32}) {
		if (argc != 5)
			break;
		std::string indices;
		for (const std::string& row : drawing.icons[side]) {
			for (char c : row)
				indices += static_cast<char>(drawing.colours[c].index);
		}
		BNode executable(argv[4]);
		const char* name = side == 16 ? "BEOS:M:STD_ICON" : "BEOS:L:STD_ICON";
		type_code type = side == 16 ? 'MICN' : 'ICON';
		if (executable.InitCheck() != B_OK ||
		    executable.WriteAttr(name, type, 0, indices.data(), indices.size()) !=
		        static_cast<ssize_t>(indices.size())) {
			// Some file systems keep no attributes; the program then
			// falls back to the desktop icon, so this is not fatal.
			std::fprintf(stderr, "le_icon_tool: warning: could not store %s on %s\n", name,
			             argv[4]);
		}
	}
	return 0;
}
