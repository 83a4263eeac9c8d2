#include "DataIO.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

BDataIO::BDataIO() = default;
BDataIO::~BDataIO() = default;

ssize_t BDataIO::Read(void*, size_t)
{
	return B_NOT_SUPPORTED;
}

ssize_t BDataIO::Write(const void*, size_t)
{
	return B_NOT_SUPPORTED;
}

status_t BDataIO::Flush()
{
	return B_OK;
}

namespace {

// Repeats call (one Read or Write of the bytes from done on) until size
// bytes are done; a call that moves nothing is an I/O error.
template <typename Call> status_t transfer_exactly(size_t size, size_t* doneOut, Call call)
{
	size_t done = 0;
	status_t status = B_OK;
	while (done < size) {
		const ssize_t result = call(done);
		if (result <= 0) {
			status = result < 0 ? (status_t)result : B_IO_ERROR;
			break;
		}
		done += (size_t)result;
	}
	if (doneOut != nullptr)
		*doneOut = done;
	return status;
}

} // namespace

status_t BDataIO::ReadExactly(void* buffer, size_t size, size_t* bytesRead)
{
	return transfer_exactly(size, bytesRead,
	                        [&](size_t done) { return Read((char*)buffer + done, size - done); });
}

status_t BDataIO::WriteExactly(const void* buffer, size_t size, size_t* bytesWritten)
{
	return transfer_exactly(size, bytesWritten, [&](size_t done) {
		return Write((const char*)buffer + done, size - done);
	});
}

BPositionIO::BPositionIO() = default;
BPositionIO::~BPositionIO() = default;

ssize_t BPositionIO::Read(void* buffer, size_t size)
{
	const off_t position = Position();
	if (position < 0)
		return (ssize_t)position;
	const ssize_t result = ReadAt(position, buffer, size);
	if (result > 0)
		Seek(position + result, SEEK_SET);
	return result;
}

ssize_t BPositionIO::Write(const void* buffer, size_t size)
{
	const off_t position = Position();
	if (position < 0)
		return (ssize_t)position;
	const ssize_t result = WriteAt(position, buffer, size);
	if (result > 0)
		Seek(position + result, SEEK_SET);
	return result;
}

status_t BPositionIO::SetSize(off_t)
{
	return B_ERROR;
}

status_t BPositionIO::GetSize(off_t* size) const
{
	if (size == nullptr)
		return B_BAD_VALUE;
	// Seek is not const in the interface; measuring the end moves nothing
	// for the caller because the position is restored.
	BPositionIO* self = const_cast<BPositionIO*>(this);
	const off_t position = Position();
	const off_t end = self->Seek(0, SEEK_END);
	self->Seek(position, SEEK_SET);
	if (end < 0)
		return (status_t)end;
	*size = end;
	return B_OK;
}

namespace {

// Resolves a seek request; a negative result is an error.
off_t resolve_seek(off_t position, uint32 seekMode, off_t current, off_t end)
{
	off_t base;
	switch (seekMode) {
	case SEEK_SET:
		base = 0;
		break;
	case SEEK_CUR:
		base = current;
		break;
	case SEEK_END:
		base = end;
		break;
	default:
		return B_BAD_VALUE;
	}
	if ((position > 0 && base > std::numeric_limits<off_t>::max() - position) ||
	    base + position < 0)
		return B_BAD_VALUE;
	return base + position;
}

// Seek of the memory streams: moves *current only when the request is valid.
off_t seek_in(off_t position, uint32 seekMode, off_t* current, size_t length)
{
	const off_t result = resolve_seek(position, seekMode, *current, (off_t)length);
	if (result >= 0)
		*current = result;
	return result;
}

// ReadAt of the memory streams: what of the length bytes at data lies at
// position, at most size of them.
ssize_t read_in(const char* data, size_t length, off_t position, void* buffer, size_t size)
{
	if (position < 0 || buffer == nullptr)
		return B_BAD_VALUE;
	if ((size_t)position >= length)
		return 0;
	const size_t count = std::min(size, length - (size_t)position);
	memcpy(buffer, data + position, count);
	return (ssize_t)count;
}

status_t get_length(size_t length, off_t* size)
{
	if (size == nullptr)
		return B_BAD_VALUE;
	*size = (off_t)length;
	return B_OK;
}

} // namespace

BMemoryIO::BMemoryIO(void* data, size_t length)
    : mReadOnly(false), mBuffer((char*)data), mLength(length), mBufferSize(length), mPosition(0)
{
}

BMemoryIO::BMemoryIO(const void* data, size_t length)
    : mReadOnly(true), mBuffer((char*)const_cast<void*>(data)), mLength(length),
      mBufferSize(length), mPosition(0)
{
}

BMemoryIO::~BMemoryIO() = default;

ssize_t BMemoryIO::ReadAt(off_t position, void* buffer, size_t size)
{
	return read_in(mBuffer, mLength, position, buffer, size);
}

ssize_t BMemoryIO::WriteAt(off_t position, const void* buffer, size_t size)
{
	if (mReadOnly)
		return B_NOT_ALLOWED;
	if (position < 0 || buffer == nullptr)
		return B_BAD_VALUE;
	if ((size_t)position >= mBufferSize)
		return 0;
	const size_t count = std::min(size, mBufferSize - (size_t)position);
	memcpy(mBuffer + position, buffer, count);
	mLength = std::max(mLength, (size_t)position + count);
	return (ssize_t)count;
}

off_t BMemoryIO::Seek(off_t position, uint32 seekMode)
{
	return seek_in(position, seekMode, &mPosition, mLength);
}

off_t BMemoryIO::Position() const
{
	return mPosition;
}

status_t BMemoryIO::SetSize(off_t size)
{
	if (mReadOnly)
		return B_NOT_ALLOWED;
	if (size < 0 || (size_t)size > mBufferSize)
		return B_BAD_VALUE;
	mLength = (size_t)size;
	return B_OK;
}

status_t BMemoryIO::GetSize(off_t* size) const
{
	return get_length(mLength, size);
}

BMallocIO::BMallocIO() : mBlockSize(256), mMallocSize(0), mLength(0), mData(nullptr), mPosition(0)
{
}

BMallocIO::~BMallocIO()
{
	free(mData);
}

status_t BMallocIO::_Reserve(size_t size)
{
	if (size <= mMallocSize)
		return B_OK;
	size_t newSize = std::max(size, mMallocSize + mMallocSize / 2);
	newSize = (newSize + mBlockSize - 1) / mBlockSize * mBlockSize;
	char* data = (char*)realloc(mData, newSize);
	if (data == nullptr)
		return B_NO_MEMORY;
	mData = data;
	mMallocSize = newSize;
	return B_OK;
}

ssize_t BMallocIO::ReadAt(off_t position, void* buffer, size_t size)
{
	return read_in(mData, mLength, position, buffer, size);
}

ssize_t BMallocIO::WriteAt(off_t position, const void* buffer, size_t size)
{
	if (position < 0 || buffer == nullptr)
		return B_BAD_VALUE;
	if (size == 0)
		return 0;
	if ((uint64)position + size > (uint64)std::numeric_limits<ssize_t>::max())
		return B_BAD_VALUE;
	const size_t end = (size_t)position + size;
	const status_t status = _Reserve(end);
	if (status != B_OK)
		return status;
	if ((size_t)position > mLength)
		memset(mData + mLength, 0, (size_t)position - mLength);
	memcpy(mData + position, buffer, size);
	mLength = std::max(mLength, end);
	return (ssize_t)size;
}

off_t BMallocIO::Seek(off_t position, uint32 seekMode)
{
	return seek_in(position, seekMode, &mPosition, mLength);
}

off_t BMallocIO::Position() const
{
	return mPosition;
}

status_t BMallocIO::SetSize(off_t size)
{
	if (size < 0)
		return B_BAD_VALUE;
	if ((size_t)size > mLength) {
		const status_t status = _Reserve((size_t)size);
		if (status != B_OK)
			return status;
		memset(mData + mLength, 0, (size_t)size - mLength);
	}
	mLength = (size_t)size;
	return B_OK;
}

status_t BMallocIO::GetSize(off_t* size) const
{
	return get_length(mLength, size);
}

void BMallocIO::SetBlockSize(size_t blockSize)
{
	mBlockSize = blockSize > 0 ? blockSize : 1;
}
