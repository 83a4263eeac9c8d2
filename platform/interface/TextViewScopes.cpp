// The re-entrancy counters of the text view, each behind the scope that
// raises and lowers it.
#include "TextEditWidget.h"
#include "TextViewData.h"

namespace BPrivate {

TextViewData::ProgramScope::ProgramScope(TextViewData* data) : mData(data)
{
	mData->mProgramDepth++;
}

TextViewData::ProgramScope::~ProgramScope()
{
	if (--mData->mProgramDepth == 0 && mData->mProgramChanged) {
		mData->mProgramChanged = false;
		mData->mWidget->TextEdited();
		if (mData->mChangeHandler)
			mData->mChangeHandler();
	}
}

TextViewData::EditCall::EditCall(TextViewData* data)
    : mData(data), mAllowed(data->mHookDepth == 0 && data->mEditDepth == 0)
{
	if (mAllowed)
		mData->mEditDepth++;
}

TextViewData::EditCall::~EditCall()
{
	if (mAllowed)
		mData->mEditDepth--;
}

TextViewData::UserActionScope::UserActionScope(TextViewData* data, EditSource source) : mData(data)
{
	if (mData->mUserDepth++ == 0) {
		mData->mUserSource = source;
		mData->mAction++;
	}
}

TextViewData::UserActionScope::~UserActionScope()
{
	mData->mUserDepth--;
}

TextViewData::UnrecordedScope::UnrecordedScope(TextViewData* data)
    : mData(data), mWas(data->mUndoing)
{
	mData->mUndoing = true;
}

TextViewData::UnrecordedScope::~UnrecordedScope()
{
	mData->mUndoing = mWas;
}

} // namespace BPrivate
