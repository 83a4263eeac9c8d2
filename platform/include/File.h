// BFile: a regular file opened for reading and/or writing.
#ifndef _FILE_H
#define _FILE_H

#include "DataIO.h"
#include "Node.h"
#include "StorageDefs.h"

// Read and Write loop over short transfers and interruptions: a result
// smaller than asked means end of file (Read) or that the disk refused the
// rest (Write, e.g. full); when nothing at all moved, the result is the
// status code of the failure (B_DEVICE_FULL, B_IO_ERROR, ...).
// Opening a folder as a BFile gives B_IS_A_DIRECTORY.
class BFile : public BNode, public BPositionIO
{
public:
	BFile();
	BFile(const entry_ref* ref, uint32 openMode);
	BFile(const BEntry* entry, uint32 openMode);
	BFile(const char* path, uint32 openMode);
	BFile(const BDirectory* dir, const char* path, uint32 openMode);
	BFile(const BFile& other);
	virtual ~BFile();

	BFile& operator=(const BFile& other);

	// openMode: B_READ_ONLY / B_WRITE_ONLY / B_READ_WRITE, or-ed with
	// B_CREATE_FILE, B_ERASE_FILE, B_FAIL_IF_EXISTS, B_OPEN_AT_END.
	// A created file gets mode 0666 less the umask.
	status_t SetTo(const entry_ref* ref, uint32 openMode);
	status_t SetTo(const BEntry* entry, uint32 openMode);
	status_t SetTo(const char* path, uint32 openMode);
	status_t SetTo(const BDirectory* dir, const char* path, uint32 openMode);
	void Unset();

	bool IsReadable() const;
	bool IsWritable() const;

	virtual ssize_t Read(void* buffer, size_t size) override;
	virtual ssize_t Write(const void* buffer, size_t size) override;
	virtual ssize_t ReadAt(off_t position, void* buffer, size_t size) override;
	virtual ssize_t WriteAt(off_t position, const void* buffer, size_t size) override;
	// seekMode: SEEK_SET, SEEK_CUR, SEEK_END. New position or status.
	virtual off_t Seek(off_t position, uint32 seekMode) override;
	virtual off_t Position() const override;
	virtual status_t SetSize(off_t size) override;
	virtual status_t GetSize(off_t* size) const override;

protected:
	// SetTo with Linux open(2) flags (for SafeFile's anonymous files);
	// openMode says what IsReadable and IsWritable answer.
	status_t _SetTo(const char* path, int flags, uint32 openMode);

private:
	uint32 mMode;
};

#endif // _FILE_H
