#include "BatchReplies.h"

#include <QVariant>

#include "Bus.h"
#include "BusConnection.h"
#include "BusWire.h"
#include "Message.h"

namespace BPrivate {

BatchReplies::BatchReplies(const QDBusMessage& request, const QDBusConnection& connection,
                           int count, size_t heldBytes)
    : mRequest(request), mConnection(connection), mFilled(count > 0 ? count : 0, false),
      mRemaining(count > 0 ? count : 0), mHeldBytes(heldBytes)
{
	for (int i = 0; i < count; i++)
		mReplies.append(QByteArray());
}

status_t BatchReplies::Fill(int index, const BMessage& reply)
{
	QByteArray bytes;
	status_t status = flatten_for_wire(reply, &bytes);
	if (status != B_OK) {
		// Too large to travel: the asker sees it unanswered.
		bytes.clear();
	}
	{
		std::lock_guard<std::mutex> guard(mLock);
		if (index < 0 || index >= (int)mFilled.size() || mFilled[index])
			return B_BAD_REPLY;
		if (mSent)
			return B_OK; // too late: dropped, as a late reply to a Request is
		mFilled[index] = true;
		if ((size_t)bytes.size() > kMaxWireMessageSize - mReplyBytes) {
			bytes.clear(); // no room left: unanswered, as a reply too large
			status = B_BAD_VALUE;
		}
		mReplyBytes += (size_t)bytes.size();
		mReplies[index] = bytes;
		if (--mRemaining > 0)
			return status;
	}
	SendNow();
	return status;
}

void BatchReplies::SendNow()
{
	QByteArrayList replies;
	{
		std::lock_guard<std::mutex> guard(mLock);
		if (mSent)
			return;
		mSent = true;
		replies.swap(mReplies);
	}
	mConnection.send(mRequest.createReply(QVariant::fromValue(replies)));
	BusConnection::Default().Release(&mRequest, mHeldBytes);
}

BatchReplyChannel::BatchReplyChannel(std::shared_ptr<BatchReplies> batch, int index)
    : mBatch(std::move(batch)), mIndex(index)
{
}

BatchReplyChannel::~BatchReplyChannel()
{
	if (!WasReplied())
		mBatch->Fill(mIndex, BMessage(B_NO_REPLY));
}

status_t BatchReplyChannel::Deliver(const BMessage& reply, bigtime_t timeout)
{
	(void)timeout;
	return mBatch->Fill(mIndex, reply);
}

} // namespace BPrivate
