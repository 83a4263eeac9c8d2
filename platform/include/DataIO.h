// Byte streams: BDataIO (sequential), BPositionIO (random access), and the
// memory-backed BMemoryIO and BMallocIO. Read and Write answer the number of
// bytes moved, or a negative status code.
#ifndef _DATA_IO_H
#define _DATA_IO_H

#include <cstdio> // SEEK_SET, SEEK_CUR, SEEK_END

#include "SupportDefs.h"

class BDataIO
{
public:
	BDataIO();
	virtual ~BDataIO();

	virtual ssize_t Read(void* buffer, size_t size);
	virtual ssize_t Write(const void* buffer, size_t size);
	virtual status_t Flush();

	// Loop until all bytes are moved. A stream that ends early gives
	// B_IO_ERROR (or the stream's own error); *bytesRead / *bytesWritten
	// tell how far it got.
	status_t ReadExactly(void* buffer, size_t size, size_t* bytesRead = nullptr);
	status_t WriteExactly(const void* buffer, size_t size, size_t* bytesWritten = nullptr);

private:
	BDataIO(const BDataIO&) = delete;
	BDataIO& operator=(const BDataIO&) = delete;
};

class BPositionIO : public BDataIO
{
public:
	BPositionIO();
	virtual ~BPositionIO();

	// Read/Write work at Position() and advance it.
	virtual ssize_t Read(void* buffer, size_t size);
	virtual ssize_t Write(const void* buffer, size_t size);

	virtual ssize_t ReadAt(off_t position, void* buffer, size_t size) = 0;
	virtual ssize_t WriteAt(off_t position, const void* buffer, size_t size) = 0;

	// seekMode is SEEK_SET, SEEK_CUR or SEEK_END; answers the new position
	// or a negative status code.
	virtual off_t Seek(off_t position, uint32 seekMode) = 0;
	virtual off_t Position() const = 0;

	virtual status_t SetSize(off_t size);
	virtual status_t GetSize(off_t* size) const;
};

// A stream over a buffer the caller owns; it never grows. A BMemoryIO made
// from a const buffer refuses writes with B_NOT_ALLOWED.
class BMemoryIO : public BPositionIO
{
public:
	BMemoryIO(void* data, size_t length);
	BMemoryIO(const void* data, size_t length);
	virtual ~BMemoryIO();

	virtual ssize_t ReadAt(off_t position, void* buffer, size_t size);
	virtual ssize_t WriteAt(off_t position, const void* buffer, size_t size);
	virtual off_t Seek(off_t position, uint32 seekMode);
	virtual off_t Position() const;
	virtual status_t SetSize(off_t size); // only shrink, or grow up to the buffer
	virtual status_t GetSize(off_t* size) const;

private:
	bool mReadOnly;
	char* mBuffer;
	size_t mLength;
	size_t mBufferSize;
	off_t mPosition;
};

// A stream over a buffer of its own that grows as needed.
class BMallocIO : public BPositionIO
{
public:
	BMallocIO();
	virtual ~BMallocIO();

	virtual ssize_t ReadAt(off_t position, void* buffer, size_t size);
	virtual ssize_t WriteAt(off_t position, const void* buffer, size_t size);
	virtual off_t Seek(off_t position, uint32 seekMode);
	virtual off_t Position() const;
	virtual status_t SetSize(off_t size);
	virtual status_t GetSize(off_t* size) const;

	void SetBlockSize(size_t blockSize);
	const void* Buffer() const { return mData; }
	size_t BufferLength() const { return mLength; }

private:
	status_t _Reserve(size_t size);

	size_t mBlockSize;
	size_t mMallocSize;
	size_t mLength;
	char* mData;
	off_t mPosition;
};

#endif // _DATA_IO_H
