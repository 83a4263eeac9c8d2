// The application's widget style: the platform's own, except for the
// chevron of a menu bar that runs out of room. Qt's chevron is an image
// file, and loading it finds and loads the image and icon plug-ins first,
// at the start-up of every program with a menu bar, for a button that
// almost never shows; this one is drawn.
#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>

#include "WindowPrivate.h"

namespace BPrivate {

namespace {

class ChevronEngine : public QIconEngine
{
public:
	explicit ChevronEngine(bool vertical) : mVertical(vertical) {}

	void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
	{
		const QPalette palette = QApplication::palette();
		const QColor color = mode == QIcon::Disabled
		                         ? palette.color(QPalette::Disabled, QPalette::ButtonText)
		                         : palette.color(QPalette::Active, QPalette::ButtonText);
		painter->save();
		painter->setRenderHint(QPainter::Antialiasing);
		painter->setPen(QPen(color, std::max(1.0, rect.width() / 10.0)));
		painter->translate(rect.center());
		if (mVertical)
			painter->rotate(90);
		// Two chevrons pointing on: ">>".
		const qreal size = std::min(rect.width(), rect.height()) / 4.0;
		QPainterPath path;
		for (const qreal x : {-size, 0.0}) {
			path.moveTo(x, -size);
			path.lineTo(x + size, 0);
			path.lineTo(x, size);
		}
		painter->drawPath(path);
		painter->restore();
	}

	QIconEngine* clone() const override { return new ChevronEngine(mVertical); }

private:
	bool mVertical;
};

class LayerStyle : public QProxyStyle
{
public:
	explicit LayerStyle(QStyle* base) : QProxyStyle(base) {}

	QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
	                   const QWidget* widget) const override
	{
		if (which == SP_ToolBarHorizontalExtensionButton)
			return QIcon(new ChevronEngine(false));
		if (which == SP_ToolBarVerticalExtensionButton)
			return QIcon(new ChevronEngine(true));
		return QProxyStyle::standardIcon(which, option, widget);
	}
};

} // namespace

void install_layer_style()
{
	if (qApp == nullptr || dynamic_cast<LayerStyle*>(QApplication::style()) != nullptr)
		return;
	// A fresh instance of the style in use: the application deletes the
	// style it replaces, and the proxy owns its base.
	QStyle* base = QStyleFactory::create(QApplication::style()->name());
	if (base == nullptr)
		return;
	QApplication::setStyle(new LayerStyle(base));
}

} // namespace BPrivate
