#include "File.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Directory.h"
#include "Entry.h"
#include "StoragePrivate.h"

using namespace BPrivate;

namespace {

const uint32 kAccessMask = 0x0003;

status_t open_flags(uint32 openMode, int* flags)
{
	switch (openMode & kAccessMask) {
	case B_READ_ONLY:
		*flags = O_RDONLY;
		break;
	case B_WRITE_ONLY:
		*flags = O_WRONLY;
		break;
	case B_READ_WRITE:
		*flags = O_RDWR;
		break;
	default:
		return B_BAD_VALUE;
	}
	if ((openMode & B_CREATE_FILE) != 0)
		*flags |= O_CREAT;
	if ((openMode & B_FAIL_IF_EXISTS) != 0)
		*flags |= O_CREAT | O_EXCL;
	if ((openMode & B_ERASE_FILE) != 0)
		*flags |= O_TRUNC;
	if ((openMode & B_OPEN_AT_END) != 0)
		*flags |= O_APPEND;
	return B_OK;
}

// Runs one read or write call until size bytes are done, the end is reached
// or an error comes; a short count after some bytes is what the caller sees.
template <typename Call> ssize_t transfer_all(size_t size, Call call)
{
	size_t done = 0;
	while (done < size) {
		const ssize_t count = call(done);
		if (count < 0) {
			if (errno == EINTR)
				continue;
			return done > 0 ? (ssize_t)done : storage_error(errno);
		}
		if (count == 0)
			break;
		done += (size_t)count;
	}
	return (ssize_t)done;
}

// What Read, Write, ReadAt and WriteAt check before call moves any byte
// (position is 0 for the calls that have none).
template <typename Call>
ssize_t checked_transfer(status_t initStatus, off_t position, const void* buffer, size_t size,
                         Call call)
{
	if (initStatus != B_OK)
		return initStatus;
	if (position < 0 || (buffer == nullptr && size > 0))
		return B_BAD_VALUE;
	return transfer_all(size, call);
}

} // namespace

BFile::BFile() : mMode(0) {}

BFile::BFile(const entry_ref* ref, uint32 openMode) : mMode(0)
{
	SetTo(ref, openMode);
}

BFile::BFile(const BEntry* entry, uint32 openMode) : mMode(0)
{
	SetTo(entry, openMode);
}

BFile::BFile(const char* path, uint32 openMode) : mMode(0)
{
	SetTo(path, openMode);
}

BFile::BFile(const BDirectory* dir, const char* path, uint32 openMode) : mMode(0)
{
	SetTo(dir, path, openMode);
}

BFile::BFile(const BFile& other) : BNode(other), BPositionIO(), mMode(other.mMode) {}

BFile::~BFile() {}

BFile& BFile::operator=(const BFile& other)
{
	BNode::operator=(other);
	mMode = other.mMode;
	return *this;
}

status_t BFile::SetTo(const entry_ref* ref, uint32 openMode)
{
	if (ref == nullptr || ref->name == nullptr || ref->DirectoryPath()[0] == '\0') {
		Unset();
		_SetStatus(B_BAD_VALUE);
		return B_BAD_VALUE;
	}
	return SetTo(ref->FullPath().c_str(), openMode);
}

status_t BFile::SetTo(const BEntry* entry, uint32 openMode)
{
	if (entry == nullptr || entry->InitCheck() != B_OK) {
		status_t status = entry == nullptr ? B_BAD_VALUE : entry->InitCheck();
		Unset();
		_SetStatus(status);
		return status;
	}
	return SetTo(entry->FullPath().c_str(), openMode);
}

status_t BFile::SetTo(const BDirectory* dir, const char* path, uint32 openMode)
{
	if (path != nullptr && path[0] == '/')
		return SetTo(path, openMode);
	if (dir == nullptr || dir->InitCheck() != B_OK || path == nullptr) {
		Unset();
		_SetStatus(B_BAD_VALUE);
		return B_BAD_VALUE;
	}
	return SetTo(append_path(dir->NodePath(), path).c_str(), openMode);
}

status_t BFile::SetTo(const char* path, uint32 openMode)
{
	Unset();
	int flags;
	status_t status = open_flags(openMode, &flags);
	if (status != B_OK) {
		_SetStatus(status);
		return status;
	}
	return _SetTo(path, flags, openMode);
}

status_t BFile::_SetTo(const char* path, int flags, uint32 openMode)
{
	// O_NONBLOCK only while opening, so that a FIFO cannot hang us here.
	status_t status = _Open(path, flags | O_NONBLOCK, 0666);
	if (status != B_OK)
		return status;
	struct stat info;
	if (fstat(_Descriptor(), &info) != 0)
		status = storage_error(errno);
	else if (S_ISDIR(info.st_mode))
		status = B_IS_A_DIRECTORY;
	else if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode))
		status = B_BAD_TYPE;
	else if (fcntl(_Descriptor(), F_SETFL, fcntl(_Descriptor(), F_GETFL) & ~O_NONBLOCK) != 0)
		status = storage_error(errno);
	if (status != B_OK) {
		Unset();
		_SetStatus(status);
		return status;
	}
	mMode = openMode;
	return B_OK;
}

void BFile::Unset()
{
	BNode::Unset();
	mMode = 0;
}

bool BFile::IsReadable() const
{
	return InitCheck() == B_OK && (mMode & kAccessMask) != B_WRITE_ONLY;
}

bool BFile::IsWritable() const
{
	return InitCheck() == B_OK && (mMode & kAccessMask) != B_READ_ONLY;
}

ssize_t BFile::Read(void* buffer, size_t size)
{
	const int fd = _Descriptor();
	return checked_transfer(InitCheck(), 0, buffer, size, [&](size_t done) {
		return read(fd, (char*)buffer + done, size - done);
	});
}

ssize_t BFile::Write(const void* buffer, size_t size)
{
	const int fd = _Descriptor();
	return checked_transfer(InitCheck(), 0, buffer, size, [&](size_t done) {
		return write(fd, (const char*)buffer + done, size - done);
	});
}

ssize_t BFile::ReadAt(off_t position, void* buffer, size_t size)
{
	const int fd = _Descriptor();
	return checked_transfer(InitCheck(), position, buffer, size, [&](size_t done) {
		return pread(fd, (char*)buffer + done, size - done, position + (off_t)done);
	});
}

ssize_t BFile::WriteAt(off_t position, const void* buffer, size_t size)
{
	const int fd = _Descriptor();
	return checked_transfer(InitCheck(), position, buffer, size, [&](size_t done) {
		return pwrite(fd, (const char*)buffer + done, size - done, position + (off_t)done);
	});
}

off_t BFile::Seek(off_t position, uint32 seekMode)
{
	if (InitCheck() != B_OK)
		return InitCheck();
	int whence;
	switch (seekMode) {
	case SEEK_SET:
	case SEEK_CUR:
	case SEEK_END:
		whence = (int)seekMode;
		break;
	default:
		return B_BAD_VALUE;
	}
	off_t result = lseek(_Descriptor(), position, whence);
	return result < 0 ? storage_error(errno) : result;
}

off_t BFile::Position() const
{
	if (InitCheck() != B_OK)
		return InitCheck();
	off_t result = lseek(_Descriptor(), 0, SEEK_CUR);
	return result < 0 ? storage_error(errno) : result;
}

status_t BFile::SetSize(off_t size)
{
	if (InitCheck() != B_OK)
		return InitCheck();
	if (size < 0)
		return B_BAD_VALUE;
	return ftruncate(_Descriptor(), size) == 0 ? B_OK : storage_error(errno);
}

status_t BFile::GetSize(off_t* size) const
{
	if (size == nullptr)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK)
		return InitCheck();
	struct stat info;
	if (fstat(_Descriptor(), &info) != 0)
		return storage_error(errno);
	*size = info.st_size;
	return B_OK;
}
