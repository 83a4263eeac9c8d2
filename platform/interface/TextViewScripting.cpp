// The text view suite: the text and its colour and font runs, whole or a
// range of bytes, and the selection.
#include "TextViewScripting.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "Bus.h"
#include "FlatRunArray.h"
#include "Message.h"
#include "PropertyInfo.h"
#include "ReplyChannels.h"
#include "ScriptingReplies.h"
#include "TextView.h"
#include "TextViewData.h"

namespace {

const char* kTextViewSuite = "suite/vnd.Be-text-view";

property_info sTextViewProperties[] = {
    {"Text",
     {B_GET_PROPERTY, B_SET_PROPERTY},
     {B_DIRECT_SPECIFIER, B_RANGE_SPECIFIER, B_REVERSE_RANGE_SPECIFIER},
     "the text, whole or a range of bytes (index, range)",
     0,
     {B_STRING_TYPE},
     {},
     {}},
    {"text_run_array",
     {B_GET_PROPERTY, B_SET_PROPERTY},
     {B_DIRECT_SPECIFIER, B_RANGE_SPECIFIER, B_REVERSE_RANGE_SPECIFIER},
     "the colour and font runs of the text, whole or a range of bytes (flattened)",
     0,
     {B_RAW_TYPE},
     {},
     {}},
    {"Selection",
     {B_GET_PROPERTY, B_SET_PROPERTY},
     {B_DIRECT_SPECIFIER},
     "the selection as two byte offsets",
     0,
     {B_INT32_TYPE},
     {},
     {}},
    {},
};

// The bytes a range specifier names, clipped to the text; false for a
// specifier without its fields.
bool text_range(const BTextView* view, const BMessage& specifier, int32 form, int32* start,
                int32* end)
{
	int32 index = 0;
	int32 range = 0;
	if (specifier.FindInt32("index", &index) != B_OK)
		return false;
	if (specifier.FindInt32("range", &range) != B_OK)
		range = 1;
	// In 64 bits: a peer may send any int32 for either, and the sums of
	// two of them do not fit in 32.
	const int64 length = view->TextLength();
	int64 first = index;
	if (form == B_REVERSE_RANGE_SPECIFIER)
		first = length - first;
	const int64 last = first + std::max(range, (int32)0);
	*start = (int32)std::clamp(first, (int64)0, length);
	*end = (int32)std::clamp(last, (int64)*start, length);
	return true;
}

// The bytes the current specifier names: the whole text, or a range.
bool specified_range(const BTextView* view, const BMessage& specifier, int32 form, int32* start,
                     int32* end)
{
	*start = 0;
	*end = view->TextLength();
	return form == B_DIRECT_SPECIFIER || text_range(view, specifier, form, start, end);
}

// The range the specifier names; a range that does not fit the text is
// answered B_BAD_VALUE here.
bool range_or_reply(BTextView* view, BMessage* message, const BMessage& specifier, int32 form,
                    int32* start, int32* end)
{
	if (specified_range(view, specifier, form, start, end))
		return true;
	BPrivate::send_scripting_reply(message, nullptr, B_BAD_VALUE);
	return false;
}

bool answer_text(BTextView* view, BMessage* message, const BMessage& specifier, int32 form)
{
	int32 start = 0;
	int32 end = 0;
	if (!range_or_reply(view, message, specifier, form, &start, &end))
		return true;
	if (message->what == B_GET_PROPERTY) {
		// A text past what a reply across processes holds is refused with its
		// size, not left to fail on the bus as a bare "bad value". The few
		// bytes of the reply's own fields count too.
		const size_t kReplyFields = 256;
		const size_t bytes = (size_t)(end - start);
		if (BPrivate::reply_leaves_process(*message) &&
		    bytes + kReplyFields > BPrivate::kMaxWireMessageSize) {
			BPrivate::send_too_large(message, "the text", bytes);
			return true;
		}
		// The length is known: the string goes in with its NUL and without
		// a scan for it.
		BMessage reply(B_REPLY);
		if (form == B_DIRECT_SPECIFIER) {
			reply.AddData("result", B_STRING_TYPE, view->Text(), view->TextLength() + 1, false);
		} else {
			const std::string bytes(view->Text() + start, (size_t)(end - start));
			reply.AddData("result", B_STRING_TYPE, bytes.c_str(), (ssize_t)bytes.size() + 1, false);
		}
		BPrivate::send_scripting_reply(message, &reply, B_OK);
		return true;
	}
	const char* text = nullptr;
	ssize_t size = 0;
	const void* data = nullptr;
	if (message->FindData("data", B_STRING_TYPE, &data, &size) != B_OK || size < 1) {
		BPrivate::send_scripting_reply(message, nullptr, B_BAD_VALUE);
		return true;
	}
	text = static_cast<const char*>(data);
	const int32 length = (int32)strnlen(text, (size_t)size);
	if (form == B_DIRECT_SPECIFIER) {
		view->SetText(text, length);
	} else {
		view->Delete(start, end);
		view->Insert(start, text, length);
	}
	BPrivate::send_scripting_reply(message, nullptr, B_OK);
	return true;
}

BPrivate::FlatRun flat_run(int32 offset, const BFont& font, const rgb_color& color)
{
	BPrivate::FlatRun run;
	run.offset = offset;
	font_family family;
	font_style style;
	font.GetFamilyAndStyle(&family, &style);
	run.family = family;
	run.style = style;
	run.size = font.Size();
	run.shear = font.Shear();
	run.face = font.Face();
	run.color = color;
	return run;
}

// The runs of start..end as the view shows them, offsets from start. Line
// feeds are never drawn and keep no style of their own: they belong to the
// run before them, so a run that covers whole lines reads back as one.
std::vector<BPrivate::FlatRun> runs_of(const BTextView* view, const BPrivate::TextViewData& data,
                                       int32 start, int32 end)
{
	std::vector<BPrivate::FlatRun> runs;
	const BPrivate::TextStyle* last = nullptr;
	auto take = [&](int32 offset) {
		const BPrivate::TextStyle& style = data.StyleAt(offset);
		if (last != nullptr && last->font == style.font && last->color.red == style.color.red &&
		    last->color.green == style.color.green && last->color.blue == style.color.blue &&
		    last->color.alpha == style.color.alpha)
			return;
		last = &style;
		BFont font;
		if (!data.GetStyleFont(style, &font))
			view->GetFont(&font);
		runs.push_back(flat_run(runs.empty() ? 0 : offset - start, font, style.color));
	};
	const BPrivate::TextViewParagraphs& paragraphs = data.Paragraphs();
	const BPrivate::ParagraphPlace place = paragraphs.LocateByte(start);
	int64 paragraphStart = place.byte;
	for (int32 index = place.index; paragraphStart < end && index < paragraphs.Count(); index++) {
		const BPrivate::TextParagraph& paragraph =
		    index == place.index ? paragraphs.Paragraph(place) : paragraphs.At(index);
		const int32 size = (int32)paragraph.text.size();
		const int32 from = (int32)std::max<int64>(start - paragraphStart, 0);
		const int32 to = (int32)std::min<int64>(end - paragraphStart, size);
		if (from < to) {
			take((int32)(paragraphStart + from));
			for (const BPrivate::StyleRun& run : paragraph.runs) {
				if (run.start > from && run.start < to)
					take((int32)(paragraphStart + run.start));
			}
		}
		paragraphStart += size + 1;
	}
	if (runs.empty()) // nothing drawn in the range: what typing there would take
		take(start);
	return runs;
}

bool answer_runs(BTextView* view, const BPrivate::TextViewData& data, BMessage* message,
                 const BMessage& specifier, int32 form)
{
	int32 start = 0;
	int32 end = 0;
	if (!range_or_reply(view, message, specifier, form, &start, &end))
		return true;
	if (message->what == B_GET_PROPERTY) {
		const std::string flat = BPrivate::flatten_run_array(runs_of(view, data, start, end));
		BMessage reply(B_REPLY);
		reply.AddData("result", B_RAW_TYPE, flat.data(), (ssize_t)flat.size());
		BPrivate::send_scripting_reply(message, &reply, B_OK);
		return true;
	}
	// Without styles the view shows one font and colour: runs cannot be
	// kept, and taking the first for the whole text would not be what was
	// asked.
	if (!view->IsStylable()) {
		BPrivate::send_scripting_reply(message, nullptr, B_NOT_ALLOWED);
		return true;
	}
	const void* bytes = nullptr;
	ssize_t size = 0;
	std::vector<BPrivate::FlatRun> runs;
	if (message->FindData("data", B_RAW_TYPE, &bytes, &size) != B_OK ||
	    BPrivate::unflatten_run_array(bytes, (size_t)size, &runs) != B_OK || runs.empty()) {
		BPrivate::send_scripting_reply(message, nullptr, B_BAD_VALUE);
		return true;
	}
	for (size_t i = 0; i < runs.size(); i++) {
		if (runs[i].offset < 0 || (i > 0 && runs[i].offset < runs[i - 1].offset)) {
			BPrivate::send_scripting_reply(message, nullptr, B_BAD_VALUE);
			return true;
		}
	}
	// Each run from its offset to the next one's; the first also covers
	// what lies before it, and offsets past the range are cut off.
	// An offset may be anything up to INT32_MAX: added in 64 bits.
	const auto in_range = [start, end](int32 offset) {
		return (int32)std::min((int64)start + offset, (int64)end);
	};
	for (size_t i = 0; i < runs.size(); i++) {
		const int32 from = i == 0 ? start : in_range(runs[i].offset);
		const int32 to = i + 1 < runs.size() ? in_range(runs[i + 1].offset) : end;
		if (from >= to)
			continue;
		BFont font;
		font.SetFamilyAndStyle(runs[i].family.c_str(), runs[i].style.c_str());
		font.SetSize(runs[i].size);
		font.SetShear(runs[i].shear);
		if (runs[i].face != 0) // none given: the one the style names
			font.SetFace(runs[i].face);
		view->SetFontAndColor(from, to, &font, B_FONT_ALL, &runs[i].color);
	}
	BPrivate::send_scripting_reply(message, nullptr, B_OK);
	return true;
}

bool answer_selection(BTextView* view, BMessage* message)
{
	if (message->what == B_GET_PROPERTY) {
		int32 start = 0;
		int32 end = 0;
		view->GetSelection(&start, &end);
		BMessage reply(B_REPLY);
		reply.AddInt32("result", start);
		reply.AddInt32("result", end);
		BPrivate::send_scripting_reply(message, &reply, B_OK);
		return true;
	}
	int32 start = 0;
	int32 end = 0;
	status_t status = message->FindInt32("data", 0, &start);
	if (status == B_OK)
		status = message->FindInt32("data", 1, &end);
	if (status == B_OK)
		view->Select(start, end);
	BPrivate::send_scripting_reply(message, nullptr, status == B_OK ? B_OK : B_BAD_VALUE);
	return true;
}

} // namespace

namespace BPrivate {

bool answer_text_view_scripting(BTextView* view, const TextViewData& data, BMessage* message)
{
	if (message->what != B_GET_PROPERTY && message->what != B_SET_PROPERTY)
		return false;
	int32 form;
	const char* property = nullptr;
	BMessage specifier;
	if (!current_specifier(message, &form, &property, &specifier) || property == nullptr)
		return false;
	if (strcmp(property, "Text") == 0 && (form == B_DIRECT_SPECIFIER || form == B_RANGE_SPECIFIER ||
	                                      form == B_REVERSE_RANGE_SPECIFIER))
		return answer_text(view, message, specifier, form);
	if (strcmp(property, "text_run_array") == 0 &&
	    (form == B_DIRECT_SPECIFIER || form == B_RANGE_SPECIFIER ||
	     form == B_REVERSE_RANGE_SPECIFIER))
		return answer_runs(view, data, message, specifier, form);
	if (strcmp(property, "Selection") == 0 && form == B_DIRECT_SPECIFIER)
		return answer_selection(view, message);
	return false;
}

} // namespace BPrivate

BHandler* BTextView::ResolveSpecifier(BMessage* message, int32 index, BMessage* specifier,
                                      int32 form, const char* property)
{
	BPropertyInfo info(sTextViewProperties);
	if (property != nullptr && info.FindMatch(message, index, specifier, form, property) >= 0)
		return this;
	return BView::ResolveSpecifier(message, index, specifier, form, property);
}

status_t BTextView::GetSupportedSuites(BMessage* data)
{
	if (data == nullptr)
		return B_BAD_VALUE;
	status_t status = data->AddString("suites", kTextViewSuite);
	if (status != B_OK)
		return status;
	BPropertyInfo info(sTextViewProperties);
	status = data->AddFlat("messages", &info);
	if (status != B_OK)
		return status;
	return BView::GetSupportedSuites(data);
}
