#include "SealedReply.h"

#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Bus.h"
#include "DataIO.h"
#include "Message.h"

namespace BPrivate {

namespace {

// What makes the bytes fixed once handed over: without these the sender
// could cut the file under our mapping (a SIGBUS) or change it as we read.
const int kRequiredSeals = F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE;

// Closes a descriptor at the end of its scope, whichever way it ends.
class FdCloser
{
public:
	explicit FdCloser(int fd) : mFd(fd) {}
	~FdCloser()
	{
		if (mFd >= 0)
			close(mFd);
	}
	FdCloser(const FdCloser&) = delete;
	FdCloser& operator=(const FdCloser&) = delete;

	int Release()
	{
		int fd = mFd;
		mFd = -1;
		return fd;
	}

private:
	int mFd;
};

// Writes to a descriptor, whole, through interrupted calls.
class FdOutput : public BDataIO
{
public:
	explicit FdOutput(int fd) : mFd(fd) {}

	ssize_t Write(const void* buffer, size_t size) override
	{
		ssize_t written;
		do
			written = write(mFd, buffer, size);
		while (written < 0 && errno == EINTR);
		return written < 0 ? (ssize_t)B_NO_MEMORY : written;
	}

private:
	int mFd;
};

} // namespace

int sealed_reply_file(const BMessage& message, status_t* status)
{
	const ssize_t size = message.FlattenedSize();
	if (size <= 0 || (size_t)size > kMaxWireMessageSize) {
		*status = B_BAD_VALUE;
		return -1;
	}
	const int fd = memfd_create("reply", MFD_CLOEXEC | MFD_ALLOW_SEALING);
	FdCloser closer(fd);
	if (fd < 0) {
		*status = B_NO_MEMORY;
		return -1;
	}
	// Written, not filled through a mapping: writing allocates the file's
	// pages for about a third less (no fault per page, no unmapping), and
	// the message streams its large fields from where they lie.
	FdOutput output(fd);
	*status = message.Flatten(&output);
	if (*status != B_OK)
		return -1;
	if (fcntl(fd, F_ADD_SEALS, kRequiredSeals | F_SEAL_SEAL) != 0) {
		*status = B_ERROR;
		return -1;
	}
	return closer.Release();
}

status_t read_sealed_reply(int fd, BMessage* reply)
{
	FdCloser closer(fd);
	reply->MakeEmpty();
	reply->what = B_NO_REPLY;
	struct stat info;
	if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0 ||
	    (uint64)info.st_size > kMaxWireMessageSize)
		return B_BAD_REPLY;
	const int seals = fcntl(fd, F_GET_SEALS);
	if (seals < 0 || (seals & kRequiredSeals) != kRequiredSeals)
		return B_BAD_REPLY;
	const size_t size = (size_t)info.st_size;
	void* pages = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
	if (pages == MAP_FAILED)
		return B_BAD_REPLY;
	// The seals keep the bytes as they are, so large fields are read where
	// they lie; the mapping goes when the last of them does.
	std::shared_ptr<const void> mapping(
	    pages, [size](const void* start) { munmap(const_cast<void*>(start), size); });
	status_t status = MessageInternals::UnflattenInPlace(*reply, pages, size, std::move(mapping));
	if (status != B_OK) {
		reply->MakeEmpty();
		reply->what = B_NO_REPLY;
		return B_BAD_REPLY;
	}
	return B_OK;
}

} // namespace BPrivate
