// The answers to one Requests call from the bus: one slot per message,
// sent back together once every message is answered or the caller's wait
// is over, whichever comes first.
#ifndef BATCH_REPLIES_H
#define BATCH_REPLIES_H

#include <memory>
#include <mutex>
#include <vector>

#include <QByteArrayList>
#include <QDBusConnection>
#include <QDBusMessage>

#include "ReplyChannels.h"

namespace BPrivate {

// The most messages one Requests call may carry.
const int kMaxBatchRequests = 64;

class BatchReplies
{
public:
	// heldBytes: what the request counts as held until it is answered.
	BatchReplies(const QDBusMessage& request, const QDBusConnection& connection, int count,
	             size_t heldBytes);

	// The answer to message index; only the first one counts, and none
	// after the answers went out.
	status_t Fill(int index, const BMessage& reply);
	// Sends what there is now; a message not answered yet gets an empty
	// slot. Any thread.
	void SendNow();

private:
	std::mutex mLock;
	QDBusMessage mRequest;
	QDBusConnection mConnection;
	QByteArrayList mReplies;
	std::vector<bool> mFilled;
	int mRemaining;
	size_t mHeldBytes;
	// What the filled slots hold: all answers travel in one reply, which
	// must stay within kMaxWireMessageSize too.
	size_t mReplyBytes = 0;
	bool mSent = false;
};

// The reply channel of one message of a Requests call; a message deleted
// unanswered answers B_NO_REPLY, as a Request does.
class BatchReplyChannel : public AddressedReplyChannel
{
public:
	BatchReplyChannel(std::shared_ptr<BatchReplies> batch, int index);
	~BatchReplyChannel() override;
	status_t Deliver(const BMessage& reply, bigtime_t timeout) override;

private:
	std::shared_ptr<BatchReplies> mBatch;
	int mIndex;
};

} // namespace BPrivate

#endif // BATCH_REPLIES_H
