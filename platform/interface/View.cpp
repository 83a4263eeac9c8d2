// BView: a float frame in the parent's coordinates, mirrored onto a QWidget.
// The view, not Qt, decides geometry: resizing modes are applied here on
// every parent resize. Colours, font and tooltip are in ViewAppearance.cpp.
#include "View.h"

#include <QVariant>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Message.h"
#include "ViewData.h"
#include "ViewPrivate.h"
#include "ViewWidget.h"
#include "Window.h"
#include "WindowPrivate.h"

namespace {

const char* const kViewProperty = "_le_view";

QWidget* container_of(const BPrivate::ViewData* data)
{
	return data->container ? data->container.data() : data->widget.data();
}

void apply_geometry(BPrivate::ViewData* data)
{
	if (data->isTopView || !data->widget)
		return;
	data->widget->setGeometry(BPrivate::to_qrect(data->frame));
}

void apply_visibility(BPrivate::ViewData* data)
{
	// A widget without a parent would become a window of its own.
	if (data->isTopView || !data->widget || data->widget->parentWidget() == nullptr)
		return;
	data->widget->setVisible(data->hideLevel <= 0);
}

// The horizontal or vertical edge rule of a resizing mode.
int rule(uint32 mode, int shift)
{
	return (int)((mode >> shift) & 0xf);
}

float follow(int edgeRule, float position, float delta, int farRule)
{
	if (edgeRule == farRule)
		return position + delta;
	if (edgeRule == _VIEW_CENTER_)
		return position + delta / 2.0f;
	return position;
}

void attach_tree(BView* view, BWindow* window);
void all_attached(BView* view);
void detach_tree(BView* view);

} // namespace

namespace BPrivate {

bool is_plain_widget(const QWidget* widget)
{
	return dynamic_cast<const BPrivate::ViewWidget*>(widget) != nullptr;
}

QWidget* ViewAccess::Widget(const BView* view)
{
	return view == nullptr ? nullptr : view->mData->widget.data();
}

QWidget* ViewAccess::ChildContainer(const BView* view)
{
	return view == nullptr ? nullptr : container_of(view->mData.get());
}

void ViewAccess::SetChildContainer(BView* view, QWidget* container)
{
	ViewData* data = view->mData.get();
	data->container = container;
	for (BView* child : data->children) {
		if (child->mData->widget)
			child->mData->widget->setParent(container_of(data));
		apply_geometry(child->mData.get());
		apply_visibility(child->mData.get());
	}
}

void ViewAccess::SetNativeWidget(BView* view, QWidget* widget)
{
	ViewData* data = view->mData.get();
	QWidget* old = data->widget.data();
	if (old == widget)
		return;
	QWidget* parentWidget = old != nullptr ? old->parentWidget() : nullptr;
	bool oldWasContainer = !data->container || data->container == old;

	data->widget = widget;
	if (oldWasContainer)
		data->container = nullptr;
	widget->setProperty(kViewProperty, QVariant::fromValue<quintptr>((quintptr)view));
	if (!data->isTopView) {
		if (parentWidget != nullptr)
			widget->setParent(parentWidget);
		widget->setFont(to_qfont(data->font));
	}
	for (BView* child : data->children) {
		if (child->mData->widget)
			child->mData->widget->setParent(container_of(data));
		apply_geometry(child->mData.get());
		apply_visibility(child->mData.get());
	}
	apply_geometry(data);
	apply_visibility(data);
	if (old != nullptr) {
		old->setProperty(kViewProperty, QVariant());
		delete old;
	}
}

BView* ViewAccess::ViewForWidget(const QWidget* widget)
{
	for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
		QVariant value = w->property(kViewProperty);
		if (value.isValid())
			return (BView*)value.value<quintptr>();
	}
	return nullptr;
}

QPainter* ViewAccess::Painter(const BView* view)
{
	const auto& painters = view->mData->painters;
	return painters.empty() ? nullptr : painters.back();
}

void ViewAccess::BeginDraw(const BView* view, QPainter* painter)
{
	view->mData->painters.push_back(painter);
}

void ViewAccess::EndDraw(const BView* view)
{
	if (!view->mData->painters.empty())
		view->mData->painters.pop_back();
}

ViewData* ViewAccess::Data(const BView* view)
{
	return view->mData.get();
}

void ViewAccess::SetTopView(BView* view)
{
	view->mData->isTopView = true;
}

void ViewAccess::AttachTopView(BView* view, BWindow* window)
{
	attach_tree(view, window);
	all_attached(view);
}

void ViewAccess::DetachTopView(BView* view)
{
	detach_tree(view);
}

void ViewAccess::SetFrame(BView* view, BRect frame)
{
	view->_SetFrame(frame, false);
}

} // namespace BPrivate

namespace {

void attach_tree(BView* view, BWindow* window)
{
	BPrivate::ViewData* data = BPrivate::ViewAccess::Data(view);
	if (data->window == window)
		return;
	data->window = window;
	window->AddHandler(view);
	view->AttachedToWindow();
	// AttachedToWindow() may add children, which attach themselves.
	for (size_t i = 0; i < data->children.size(); i++)
		attach_tree(data->children[i], window);
}

void all_attached(BView* view)
{
	BPrivate::ViewData* data = BPrivate::ViewAccess::Data(view);
	for (size_t i = 0; i < data->children.size(); i++)
		all_attached(data->children[i]);
	view->AllAttached();
}

void detached_hooks(BView* view)
{
	BPrivate::ViewData* data = BPrivate::ViewAccess::Data(view);
	view->DetachedFromWindow();
	for (size_t i = 0; i < data->children.size(); i++)
		detached_hooks(data->children[i]);
}

void all_detached(BView* view)
{
	BPrivate::ViewData* data = BPrivate::ViewAccess::Data(view);
	for (size_t i = 0; i < data->children.size(); i++)
		all_detached(data->children[i]);
	view->AllDetached();
	if (data->window != nullptr) {
		BPrivate::WindowAccess::ViewDetached(data->window, view);
		data->window->RemoveHandler(view);
		data->window = nullptr;
	}
}

void detach_tree(BView* view)
{
	if (BPrivate::ViewAccess::Data(view)->window == nullptr)
		return;
	detached_hooks(view);
	all_detached(view);
}

} // namespace

BView::BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags)
    : BHandler(name), mData(std::make_unique<BPrivate::ViewData>())
{
	mData->frame = frame;
	mData->resizingMode = resizingMode;
	mData->flags = flags;
	mData->font = *be_plain_font;
	BPrivate::ViewWidget* widget = new BPrivate::ViewWidget(this);
	mData->widget = widget;
	widget->setProperty(kViewProperty, QVariant::fromValue<quintptr>((quintptr)this));
	widget->setFont(BPrivate::to_qfont(mData->font));
	widget->setFocusPolicy((flags & B_NAVIGABLE) != 0 ? Qt::StrongFocus : Qt::NoFocus);
	apply_geometry(mData.get());
}

BView::~BView()
{
	if (mData->parent != nullptr)
		mData->parent->RemoveChild(this);
	detach_tree(this);
	std::vector<BView*> children;
	children.swap(mData->children);
	for (BView* child : children) {
		child->mData->parent = nullptr;
		delete child;
	}
	if (mData->widget) {
		mData->widget->setProperty(kViewProperty, QVariant());
		delete mData->widget.data();
	}
}

void BView::AddChild(BView* child, BView* before)
{
	if (child == nullptr || child == this || child->mData->parent != nullptr ||
	    child->mData->isTopView) {
		return;
	}
	auto& children = mData->children;
	auto position = std::find(children.begin(), children.end(), before);
	children.insert(before == nullptr ? children.end() : position, child);
	child->mData->parent = this;

	QWidget* childWidget = child->mData->widget.data();
	if (childWidget != nullptr) {
		childWidget->setParent(container_of(mData.get()));
		if (before != nullptr && before->mData->widget)
			childWidget->stackUnder(before->mData->widget);
	}
	apply_geometry(child->mData.get());
	apply_visibility(child->mData.get());
	if (mData->window != nullptr) {
		attach_tree(child, mData->window);
		all_attached(child);
	}
}

bool BView::RemoveChild(BView* child)
{
	if (child == nullptr || child->mData->parent != this)
		return false;
	detach_tree(child);
	auto& children = mData->children;
	children.erase(std::find(children.begin(), children.end(), child));
	child->mData->parent = nullptr;
	if (child->mData->widget) {
		child->mData->widget->hide();
		child->mData->widget->setParent(nullptr);
	}
	return true;
}

bool BView::RemoveSelf()
{
	return mData->parent != nullptr && mData->parent->RemoveChild(this);
}

int32 BView::CountChildren() const
{
	return (int32)mData->children.size();
}

BView* BView::ChildAt(int32 index) const
{
	if (index < 0 || index >= CountChildren())
		return nullptr;
	return mData->children[index];
}

BView* BView::NextSibling() const
{
	if (mData->parent == nullptr)
		return nullptr;
	auto& siblings = mData->parent->mData->children;
	auto it = std::find(siblings.begin(), siblings.end(), this);
	return it == siblings.end() || it + 1 == siblings.end() ? nullptr : *(it + 1);
}

BView* BView::PreviousSibling() const
{
	if (mData->parent == nullptr)
		return nullptr;
	auto& siblings = mData->parent->mData->children;
	auto it = std::find(siblings.begin(), siblings.end(), this);
	return it == siblings.end() || it == siblings.begin() ? nullptr : *(it - 1);
}

BView* BView::Parent() const
{
	// The window's top view is nobody's visible parent.
	if (mData->parent != nullptr && mData->parent->mData->isTopView)
		return nullptr;
	return mData->parent;
}

BWindow* BView::Window() const
{
	return mData->window;
}

BView* BView::FindView(const char* name) const
{
	if (name == nullptr)
		return nullptr;
	if (Name() != nullptr && std::strcmp(Name(), name) == 0)
		return const_cast<BView*>(this);
	for (BView* child : mData->children) {
		if (BView* found = child->FindView(name))
			return found;
	}
	return nullptr;
}

void BView::AttachedToWindow() {}
void BView::AllAttached() {}
void BView::DetachedFromWindow() {}
void BView::AllDetached() {}
void BView::FrameResized(float, float) {}
void BView::FrameMoved(BPoint) {}
void BView::Draw(BRect) {}
void BView::MouseDown(BPoint) {}
void BView::MouseUp(BPoint) {}
void BView::WindowActivated(bool) {}

void BView::KeyDown(const char* bytes, int32 numBytes)
{
	// Unhandled keys go on to the parent, as far as the window, which gets
	// the key message in MessageReceived as it does when no view has the
	// focus. Only keys being dispatched travel: a direct call has no message.
	if (BView* parent = Parent()) {
		parent->KeyDown(bytes, numBytes);
		return;
	}
	BWindow* window = Window();
	BMessage* message = window != nullptr ? window->CurrentMessage() : nullptr;
	if (message != nullptr && message->what == B_KEY_DOWN)
		window->MessageReceived(message);
}

void BView::KeyUp(const char*, int32) {}

void BView::MakeFocus(bool focus)
{
	QWidget* widget = mData->widget.data();
	if (widget == nullptr)
		return;
	if (focus)
		widget->setFocus(Qt::OtherFocusReason);
	else if (IsFocus()) {
		QWidget* focused = widget->window()->focusWidget();
		if (focused != nullptr)
			focused->clearFocus();
	}
}

bool BView::IsFocus() const
{
	if (mData->window == nullptr)
		return false;
	return mData->window->CurrentFocus() == this;
}

uint32 BView::Flags() const
{
	return mData->flags;
}

void BView::SetFlags(uint32 flags)
{
	mData->flags = flags;
	if (BPrivate::is_plain_widget(mData->widget))
		mData->widget->setFocusPolicy((flags & B_NAVIGABLE) != 0 ? Qt::StrongFocus : Qt::NoFocus);
}

uint32 BView::ResizingMode() const
{
	return mData->resizingMode;
}

void BView::SetResizingMode(uint32 mode)
{
	mData->resizingMode = mode;
}

BRect BView::Bounds() const
{
	return BRect(0, 0, mData->frame.Width(), mData->frame.Height());
}

BRect BView::Frame() const
{
	return mData->frame;
}

void BView::MoveTo(BPoint where)
{
	MoveTo(where.x, where.y);
}

void BView::MoveTo(float x, float y)
{
	BRect frame = mData->frame;
	frame.OffsetTo(x, y);
	_SetFrame(frame, true);
}

void BView::MoveBy(float dx, float dy)
{
	MoveTo(mData->frame.left + dx, mData->frame.top + dy);
}

void BView::ResizeTo(float width, float height)
{
	BRect frame = mData->frame;
	frame.right = frame.left + std::max(0.0f, width);
	frame.bottom = frame.top + std::max(0.0f, height);
	_SetFrame(frame, true);
}

void BView::ResizeBy(float dw, float dh)
{
	ResizeTo(mData->frame.Width() + dw, mData->frame.Height() + dh);
}

void BView::_SetFrame(BRect frame, bool notifyMove)
{
	BRect old = mData->frame;
	if (old == frame)
		return;
	mData->frame = frame;
	apply_geometry(mData.get());
	float dw = frame.Width() - old.Width();
	float dh = frame.Height() - old.Height();
	if (dw != 0 || dh != 0) {
		for (size_t i = 0; i < mData->children.size(); i++)
			mData->children[i]->_ParentResized(dw, dh);
		FrameResized(frame.Width(), frame.Height());
	}
	if (notifyMove && (frame.left != old.left || frame.top != old.top))
		FrameMoved(frame.LeftTop());
}

void BView::_ParentResized(float dw, float dh)
{
	uint32 mode = mData->resizingMode;
	BRect frame = mData->frame;
	BRect moved(follow(rule(mode, 8), frame.left, dw, _VIEW_RIGHT_),
	            follow(rule(mode, 12), frame.top, dh, _VIEW_BOTTOM_),
	            follow(rule(mode, 0), frame.right, dw, _VIEW_RIGHT_),
	            follow(rule(mode, 4), frame.bottom, dh, _VIEW_BOTTOM_));
	_SetFrame(moved, true);
}

void BView::ConvertToScreen(BPoint* point) const
{
	if (point != nullptr)
		*point = ConvertToScreen(*point);
}

BPoint BView::ConvertToScreen(BPoint point) const
{
	BPoint result = point;
	for (const BView* view = this; view != nullptr; view = view->mData->parent) {
		if (view->mData->isTopView) {
			if (view->mData->window != nullptr) {
				BRect windowFrame = view->mData->window->Frame();
				result += windowFrame.LeftTop();
			}
			break;
		}
		result += view->mData->frame.LeftTop();
	}
	return result;
}

BRect BView::ConvertToScreen(BRect rect) const
{
	BPoint offset = ConvertToScreen(B_ORIGIN);
	return rect.OffsetByCopy(offset.x, offset.y);
}

void BView::ConvertFromScreen(BPoint* point) const
{
	if (point != nullptr)
		*point = ConvertFromScreen(*point);
}

BPoint BView::ConvertFromScreen(BPoint point) const
{
	return point - ConvertToScreen(B_ORIGIN);
}

BPoint BView::ConvertToParent(BPoint point) const
{
	return point + mData->frame.LeftTop();
}

BRect BView::ConvertToParent(BRect rect) const
{
	return rect.OffsetByCopy(mData->frame.left, mData->frame.top);
}

void BView::Invalidate()
{
	if (mData->widget)
		mData->widget->update();
}

void BView::Invalidate(BRect rect)
{
	if (mData->widget)
		mData->widget->update(BPrivate::to_qrect(rect));
}

void BView::Hide()
{
	mData->hideLevel++;
	if (mData->hideLevel == 1)
		apply_visibility(mData.get());
}

void BView::Show()
{
	mData->hideLevel--;
	if (mData->hideLevel == 0)
		apply_visibility(mData.get());
}

bool BView::IsHidden() const
{
	for (const BView* view = this; view != nullptr; view = view->mData->parent) {
		if (view->mData->hideLevel > 0)
			return true;
		if (view->mData->isTopView)
			return view->mData->window != nullptr && view->mData->window->IsHidden();
	}
	return false;
}
