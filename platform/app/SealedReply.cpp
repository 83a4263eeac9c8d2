#include "SealedReply.h"

#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Bus.h"
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

} // namespace

int sealed_reply_file(const BMessage& message, status_t* status)
{
	const ssize_t size = message.FlattenedSize();
	if (size <= 0 || (size_t)size > kMaxWireMessageSize) {
		*status = B_BAD_VALUE;
		return -1;
	}
	// Flattened into memory of our own first and written in one go: the
	// write allocates the file's pages for about a third less than filling
	// them through a mapping does (a fault per page, then the unmapping).
	std::unique_ptr<char[]> bytes = std::make_unique_for_overwrite<char[]>((size_t)size);
	*status = message.Flatten(bytes.get(), size);
	if (*status != B_OK)
		return -1;
	const int fd = memfd_create("reply", MFD_CLOEXEC | MFD_ALLOW_SEALING);
	FdCloser closer(fd);
	if (fd < 0) {
		*status = B_NO_MEMORY;
		return -1;
	}
	for (size_t done = 0; done < (size_t)size;) {
		ssize_t written = write(fd, bytes.get() + done, (size_t)size - done);
		if (written < 0 && errno == EINTR)
			continue;
		if (written <= 0) {
			*status = B_NO_MEMORY;
			return -1;
		}
		done += (size_t)written;
	}
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
	status_t status = reply->Unflatten((const char*)pages, size);
	munmap(pages, size);
	if (status != B_OK) {
		reply->MakeEmpty();
		reply->what = B_NO_REPLY;
		return B_BAD_REPLY;
	}
	return B_OK;
}

} // namespace BPrivate
