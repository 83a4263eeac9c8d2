// The application style the kit installs with its first window.
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QStyle>

#include <gtest/gtest.h>

#include "InterfaceTestSupport.h"

using namespace interfacetest;

namespace {

int painted_pixels(const QIcon& icon)
{
	const QImage image = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
	int painted = 0;
	for (int y = 0; y < image.height(); y++) {
		for (int x = 0; x < image.width(); x++)
			painted += qAlpha(image.pixel(x, y)) > 0;
	}
	return painted;
}

} // namespace

TEST(Style, MenuBarChevronsAreDrawnAndTheRestIsTheStyleItself)
{
	RecordingWindow* window = new RecordingWindow(BRect(50, 50, 250, 150));
	QStyle* style = QApplication::style();
	const QIcon horizontal = style->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
	const QIcon vertical = style->standardIcon(QStyle::SP_ToolBarVerticalExtensionButton);
	// Drawn, not loaded: no picture files behind them, yet something
	// visible, and the vertical one is not the same picture.
	EXPECT_TRUE(horizontal.availableSizes().isEmpty());
	EXPECT_TRUE(vertical.availableSizes().isEmpty());
	EXPECT_GT(painted_pixels(horizontal), 8);
	EXPECT_GT(painted_pixels(vertical), 8);
	EXPECT_NE(horizontal.pixmap(16, 16).toImage(), vertical.pixmap(16, 16).toImage());
	// Other icons and metrics still come from the platform's style.
	EXPECT_FALSE(style->standardIcon(QStyle::SP_MessageBoxWarning).isNull());
	EXPECT_GT(style->pixelMetric(QStyle::PM_ScrollBarExtent), 0);
	close_window(window);
}
