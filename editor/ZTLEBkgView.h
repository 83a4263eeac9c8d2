#ifndef ZTLE_BKG_VIEW_H
#define ZTLE_BKG_VIEW_H

#include "View.h"

// The grey background below the menu bar; parent of every control of the
// editor window and of the text's scroll view.
class ZTLEBkgView : public BView
{
public:
	explicit ZTLEBkgView(BRect frame);
	~ZTLEBkgView() override;

	void AttachedToWindow() override;
};

#endif // ZTLE_BKG_VIEW_H
