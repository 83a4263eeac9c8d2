// Frames, bounds and the resizing modes of views.
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InterfaceTestSupport.h"
#include "View.h"
#include "ViewPrivate.h"
#include "Window.h"

using namespace interfacetest;

namespace {

// Counts FrameResized() calls and keeps the last size.
class SizeRecordingView : public BView
{
public:
	SizeRecordingView(BRect frame, const char* name, uint32 mode)
	    : BView(frame, name, mode, B_FRAME_EVENTS)
	{
	}
	void FrameResized(float width, float height) override
	{
		calls++;
		lastWidth = width;
		lastHeight = height;
	}
	int calls = 0;
	float lastWidth = -1;
	float lastHeight = -1;
};

// Writes the hook calls of the tree into one shared log.
class HookView : public BView
{
public:
	HookView(const char* name, std::vector<std::string>* log)
	    : BView(BRect(0, 0, 10, 10), name, B_FOLLOW_NONE, 0), mLog(log)
	{
	}
	void AttachedToWindow() override
	{
		mLog->push_back(std::string("attached ") + Name() +
		                (Window() != nullptr ? "" : " (no window)"));
	}
	void AllAttached() override { mLog->push_back(std::string("all attached ") + Name()); }
	void DetachedFromWindow() override { mLog->push_back(std::string("detached ") + Name()); }
	void AllDetached() override { mLog->push_back(std::string("all detached ") + Name()); }

private:
	std::vector<std::string>* mLog;
};

void expect_frame(const BView* view, float left, float top, float right, float bottom)
{
	BRect frame = view->Frame();
	EXPECT_FLOAT_EQ(frame.left, left) << view->Name();
	EXPECT_FLOAT_EQ(frame.top, top) << view->Name();
	EXPECT_FLOAT_EQ(frame.right, right) << view->Name();
	EXPECT_FLOAT_EQ(frame.bottom, bottom) << view->Name();
}

} // namespace

TEST(ViewGeometry, InclusiveFrameCoversOneMorePixelThanItsWidth)
{
	BView parent(BRect(0, 0, 600, 500), "parent", B_FOLLOW_NONE, 0);
	BView* child = new BView(BRect(10, 20, 460, 370), "child", B_FOLLOW_NONE, 0);
	parent.AddChild(child);

	EXPECT_FLOAT_EQ(child->Bounds().Width(), 450);
	EXPECT_FLOAT_EQ(child->Bounds().Height(), 350);
	EXPECT_FLOAT_EQ(child->Bounds().left, 0);
	QWidget* widget = BPrivate::ViewAccess::Widget(child);
	EXPECT_EQ(widget->geometry(), QRect(10, 20, 451, 351));

	BRect back = BPrivate::to_brect(BPrivate::to_qrect(BRect(3, 4, 5, 6)));
	EXPECT_EQ(back, BRect(3, 4, 5, 6));
	// A rectangle whose right edge lies left of its left edge covers nothing.
	EXPECT_EQ(BPrivate::to_qrect(BRect(5, 5, 2, 2)).width(), 0);
}

TEST(ViewGeometry, ChildrenKeepTheirDistanceToTheEdgesTheyFollow)
{
	BView parent(BRect(0, 0, 399, 299), "parent", B_FOLLOW_NONE, 0);
	BView* left = new BView(BRect(10, 10, 50, 40), "left", B_FOLLOW_LEFT | B_FOLLOW_TOP, 0);
	BView* right = new BView(BRect(300, 10, 390, 40), "right", B_FOLLOW_RIGHT | B_FOLLOW_TOP, 0);
	BView* both = new BView(BRect(10, 50, 390, 80), "both", B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, 0);
	BView* bottom =
	    new BView(BRect(10, 250, 50, 290), "bottom", B_FOLLOW_LEFT | B_FOLLOW_BOTTOM, 0);
	BView* all = new BView(BRect(0, 95, 385, 299), "all", B_FOLLOW_ALL_SIDES, 0);
	BView* center =
	    new BView(BRect(180, 130, 219, 169), "center", B_FOLLOW_H_CENTER | B_FOLLOW_V_CENTER, 0);
	BView* topBottom =
	    new BView(BRect(5, 5, 15, 290), "topbottom", B_FOLLOW_LEFT | B_FOLLOW_TOP_BOTTOM, 0);
	BView* none = new BView(BRect(20, 20, 30, 30), "none", B_FOLLOW_NONE, 0);
	for (BView* view : {left, right, both, bottom, all, center, topBottom, none})
		parent.AddChild(view);

	parent.ResizeBy(100, 60);

	expect_frame(left, 10, 10, 50, 40);
	expect_frame(right, 400, 10, 490, 40);
	expect_frame(both, 10, 50, 490, 80);
	expect_frame(bottom, 10, 310, 50, 350);
	expect_frame(all, 0, 95, 485, 359);
	expect_frame(center, 230, 160, 269, 199);
	expect_frame(topBottom, 5, 5, 15, 350);
	expect_frame(none, 20, 20, 30, 30);
	// The widgets follow their views.
	EXPECT_EQ(BPrivate::ViewAccess::Widget(right)->geometry(), QRect(400, 10, 91, 31));

	// Shrinking moves everything back.
	parent.ResizeBy(-100, -60);
	expect_frame(right, 300, 10, 390, 40);
	expect_frame(all, 0, 95, 385, 299);
}

TEST(ViewGeometry, GrandchildrenFollowTheirResizedParent)
{
	BView root(BRect(0, 0, 299, 199), "root", B_FOLLOW_NONE, 0);
	BView* middle = new BView(BRect(0, 20, 299, 199), "middle", B_FOLLOW_ALL_SIDES, 0);
	SizeRecordingView* inner =
	    new SizeRecordingView(BRect(0, 0, 285, 179), "inner", B_FOLLOW_ALL_SIDES);
	root.AddChild(middle);
	middle->AddChild(inner);

	root.ResizeTo(399, 299);

	expect_frame(middle, 0, 20, 399, 299);
	expect_frame(inner, 0, 0, 385, 279);
	EXPECT_EQ(inner->calls, 1);
	EXPECT_FLOAT_EQ(inner->lastWidth, 385);
	EXPECT_FLOAT_EQ(inner->lastHeight, 279);

	// Moving alone is no resize.
	root.MoveTo(5, 5);
	EXPECT_EQ(inner->calls, 1);
}

TEST(ViewGeometry, ViewsAreFoundByNameAnywhereBelow)
{
	BView root(BRect(0, 0, 100, 100), "root", B_FOLLOW_NONE, 0);
	BView* a = new BView(BRect(0, 0, 10, 10), "a", B_FOLLOW_NONE, 0);
	BView* b = new BView(BRect(0, 0, 10, 10), "b", B_FOLLOW_NONE, 0);
	BView* deep = new BView(BRect(0, 0, 5, 5), "deep", B_FOLLOW_NONE, 0);
	root.AddChild(a);
	root.AddChild(b);
	b->AddChild(deep);

	EXPECT_EQ(root.FindView("deep"), deep);
	EXPECT_EQ(root.FindView("root"), &root);
	EXPECT_EQ(root.FindView("missing"), nullptr);
	EXPECT_EQ(root.FindView(nullptr), nullptr);
	EXPECT_EQ(root.CountChildren(), 2);
	EXPECT_EQ(root.ChildAt(1), b);
	EXPECT_EQ(root.ChildAt(2), nullptr);
	EXPECT_EQ(a->NextSibling(), b);
	EXPECT_EQ(deep->Parent(), b);

	// A view that already has a parent is not taken by another.
	root.AddChild(deep);
	EXPECT_EQ(deep->Parent(), b);
	EXPECT_TRUE(b->RemoveChild(deep));
	EXPECT_FALSE(b->RemoveChild(deep));
	EXPECT_EQ(root.FindView("deep"), nullptr);
	delete deep;
}

TEST(ViewGeometry, WindowAttachRunsHooksTopDownThenBottomUp)
{
	std::vector<std::string> log;
	RecordingWindow* window = new RecordingWindow;
	HookView* outer = new HookView("outer", &log);
	outer->AddChild(new HookView("inner", &log));
	EXPECT_TRUE(log.empty());

	window->AddChild(outer);
	std::vector<std::string> attached = {"attached outer", "attached inner", "all attached inner",
	                                     "all attached outer"};
	EXPECT_EQ(log, attached);
	EXPECT_EQ(window->FindView("inner")->Window(), window);
	// Views directly in the window have no parent view.
	EXPECT_EQ(outer->Parent(), nullptr);

	log.clear();
	EXPECT_TRUE(window->RemoveChild(outer));
	std::vector<std::string> detached = {"detached outer", "detached inner", "all detached inner",
	                                     "all detached outer"};
	EXPECT_EQ(log, detached);
	EXPECT_EQ(outer->FindView("inner")->Window(), nullptr);
	delete outer;
	close_window(window);
}

TEST(ViewGeometry, WindowResizeLaysOutItsViewsAndRespectsSizeLimits)
{
	RecordingWindow* window = new RecordingWindow(BRect(50, 50, 500, 400));
	EXPECT_EQ(window->Bounds(), BRect(0, 0, 450, 350));
	EXPECT_EQ(window->Frame(), BRect(50, 50, 500, 400));
	BView* filler = new BView(window->Bounds(), "filler", B_FOLLOW_ALL_SIDES, 0);
	window->AddChild(filler);
	window->SetSizeLimits(450, 10000, 350, 10000);
	float minWidth, maxWidth, minHeight, maxHeight;
	window->GetSizeLimits(&minWidth, &maxWidth, &minHeight, &maxHeight);
	EXPECT_FLOAT_EQ(minWidth, 450);
	EXPECT_FLOAT_EQ(maxHeight, 10000);

	window->ResizeTo(100, 80);
	EXPECT_EQ(window->Bounds(), BRect(0, 0, 450, 350));
	window->ResizeTo(600, 500);
	EXPECT_EQ(window->Bounds(), BRect(0, 0, 600, 500));
	expect_frame(filler, 0, 0, 600, 500);

	// Resizing from outside (the window manager) is held to the limits too.
	window->Show();
	QWidget* widget = BPrivate::ViewAccess::Widget(filler)->window();
	widget->resize(200, 200);
	EXPECT_TRUE(wait_until([&] { return widget->size() == QSize(451, 351); }));
	EXPECT_TRUE(wait_until([&] { return filler->Frame() == BRect(0, 0, 450, 350); }));

	// Limits below zero or crossed are mended, not handed on.
	window->SetSizeLimits(-5, -10, 20, 10);
	window->GetSizeLimits(&minWidth, &maxWidth, &minHeight, &maxHeight);
	EXPECT_FLOAT_EQ(minWidth, 0);
	EXPECT_GE(maxWidth, minWidth);
	EXPECT_GE(maxHeight, minHeight);
	close_window(window);
}
