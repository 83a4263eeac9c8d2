#include "BenchLocaleView.h"

#include "ZTLETextView.h"

std::unique_ptr<ZTLETextView> MakeLocaleView()
{
	const BRect frame(0, 0, 599, 399);
	std::unique_ptr<ZTLETextView> view(
	    new ZTLETextView(frame, nullptr, frame, B_FOLLOW_ALL_SIDES, B_WILL_DRAW | B_FRAME_EVENTS));
	view->MakeEditable(true);
	view->SetDoesUndo(true);
	view->SetStylable(true);
	view->FrameResized(599, 399);
	return view;
}
