#include "PoInput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* KindOf(mode_t mode)
{
	if (S_ISDIR(mode))
		return "a folder";
	if (S_ISCHR(mode))
		return "a character device";
	if (S_ISBLK(mode))
		return "a block device";
	if (S_ISFIFO(mode))
		return "a pipe";
	if (S_ISSOCK(mode))
		return "a socket";
	return "no regular file";
}

std::string TooBig(size_t limit)
{
	return "bigger than the " + std::to_string(limit / (1024 * 1024)) + " MiB (" +
	       std::to_string(limit) + " bytes) that import-po reads";
}

// Closes the descriptor on every way out.
class Descriptor
{
public:
	explicit Descriptor(int fd) : mFd(fd) {}
	~Descriptor()
	{
		if (mFd >= 0)
			close(mFd);
	}
	Descriptor(const Descriptor&) = delete;
	Descriptor& operator=(const Descriptor&) = delete;
	int Get() const { return mFd; }

private:
	int mFd;
};

} // namespace

bool PoInput::Read(const std::string& path, std::string* bytes, std::string* error, size_t limit)
{
	bytes->clear();
	// Non-blocking, so that opening a pipe without a writer does not wait;
	// a regular file reads the same either way.
	const Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
	if (file.Get() < 0) {
		*error = strerror(errno);
		return false;
	}
	struct stat info;
	if (fstat(file.Get(), &info) != 0) {
		*error = strerror(errno);
		return false;
	}
	if (!S_ISREG(info.st_mode)) {
		*error = std::string(KindOf(info.st_mode)) + ", not a regular file";
		return false;
	}
	if (info.st_size < 0 || (unsigned long long)info.st_size > limit) {
		*error = TooBig(limit);
		return false;
	}
	// The file may grow while it is read: the limit holds for what is read,
	// not only for the size it had.
	bytes->resize((size_t)info.st_size + 1);
	size_t done = 0;
	for (;;) {
		if (done == bytes->size()) {
			if (done > limit) {
				bytes->clear();
				*error = TooBig(limit);
				return false;
			}
			bytes->resize(std::min(limit + 1, done * 2));
		}
		const ssize_t got = read(file.Get(), bytes->data() + done, bytes->size() - done);
		if (got < 0 && errno == EINTR)
			continue;
		if (got < 0) {
			bytes->clear();
			*error = strerror(errno);
			return false;
		}
		if (got == 0)
			break;
		done += (size_t)got;
	}
	bytes->resize(done);
	return true;
}
