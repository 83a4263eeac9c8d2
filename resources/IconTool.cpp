// Build tool: turns the editor's icon drawing into what the program ships
// with. Writes ICONDIR/16x16/apps/NAME.png and ICONDIR/32x32/apps/NAME.png
// (the layout of an icon theme, so the desktop finds them) and, given an
// executable, stores the pictures on it as the icon attributes
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

	for (int side : {16, 32}) {
		const std::vector<std::string>& rows = drawing.icons[side];
		QImage image(side, side, QImage::Format_ARGB32);
		std::string indices;
		for (int y = 0; y < side; y++) {
			for (int x = 0; x < side; x++) {
				const Colour& colour = drawing.colours[rows[y][x]];
				image.setPixel(x, y, colour.rgb);
				indices += static_cast<char>(colour.index);
			}
		}
		std::string folder = std::string(argv[2]) + "/" + std::to_string(side) + "x" +
		                     std::to_string(side) + "/apps";
		std::string png = folder + "/" + argv[3] + ".png";
		if (!QDir().mkpath(QString::fromStdString(folder)) ||
		    !image.save(QString::fromStdString(png), "PNG")) {
			Fail("cannot write " + png);
			return 1;
		}
		if (argc == 5) {
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
	}
	return 0;
}
