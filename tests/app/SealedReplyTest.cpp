// Replies in sealed memory files: what an application hands over reads
// back as the same message, and a descriptor another process hands us is
// refused unless it is a sealed regular file of a sane size, and is closed
// whichever way the reading ends.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "Bus.h"
#include "Message.h"
#include "SealedReply.h"

using BPrivate::kMaxWireMessageSize;
using BPrivate::read_sealed_reply;
using BPrivate::sealed_reply_file;

using apptest::flattened;
using apptest::large_text_reply;

namespace {

const int kAllSeals = F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL;

// A memory file with bytes in it, sealed with seals (0: not sealed).
int memory_file(const std::string& bytes, int seals, off_t size = -1)
{
	int fd = memfd_create("test", MFD_CLOEXEC | MFD_ALLOW_SEALING);
	EXPECT_GE(fd, 0);
	EXPECT_EQ((ssize_t)bytes.size(), write(fd, bytes.data(), bytes.size()));
	if (size >= 0) {
		EXPECT_EQ(0, ftruncate(fd, size));
	}
	if (seals != 0) {
		EXPECT_EQ(0, fcntl(fd, F_ADD_SEALS, seals));
	}
	return fd;
}

// What a descriptor refers to; a closed one refers to nothing, and a
// number reused meanwhile refers to something else.
struct FileIdentity
{
	dev_t device = 0;
	ino_t inode = 0;
	bool open = false;
	bool operator==(const FileIdentity&) const = default;
};

FileIdentity identity(int fd)
{
	struct stat info;
	if (fstat(fd, &info) != 0)
		return FileIdentity();
	return FileIdentity{info.st_dev, info.st_ino, true};
}

TEST(SealedReply, AReplyReadsBackFromItsSealedFileWhichIsThenClosed)
{
	const BMessage reply = large_text_reply(1000000);
	status_t status = B_ERROR;
	int fd = sealed_reply_file(reply, &status);
	ASSERT_GE(fd, 0);
	EXPECT_EQ(B_OK, status);

	struct stat info;
	ASSERT_EQ(0, fstat(fd, &info));
	EXPECT_TRUE(S_ISREG(info.st_mode));
	EXPECT_EQ(reply.FlattenedSize(), info.st_size);
	EXPECT_EQ(kAllSeals, fcntl(fd, F_GET_SEALS));
	EXPECT_NE(-1, fcntl(fd, F_GETFD));
	EXPECT_TRUE(fcntl(fd, F_GETFD) & FD_CLOEXEC);
	// Sealed: nobody changes it behind the reader's back.
	EXPECT_EQ(-1, pwrite(fd, "x", 1, 0));
	EXPECT_NE(0, ftruncate(fd, 10));

	const FileIdentity before = identity(fd);
	BMessage read;
	ASSERT_EQ(B_OK, read_sealed_reply(fd, &read));
	EXPECT_FALSE(identity(fd) == before) << "the descriptor was left open";
	EXPECT_EQ(flattened(reply), flattened(read));
}

TEST(SealedReply, AMessageOverTheLimitMakesNoFile)
{
	BMessage huge(B_REPLY);
	std::string bytes(kMaxWireMessageSize, 'x');
	huge.AddData("result", B_RAW_TYPE, bytes.data(), (ssize_t)bytes.size());
	status_t status = B_OK;
	EXPECT_EQ(-1, sealed_reply_file(huge, &status));
	EXPECT_EQ(B_BAD_VALUE, status);
}

TEST(SealedReply, HostileDescriptorsAreRefusedAndClosed)
{
	const std::string good = flattened(large_text_reply(1000000));
	const int sealsNeeded = F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE;
	std::string truncated = good.substr(0, good.size() - 7);

	int pipeEnds[2];
	ASSERT_EQ(0, pipe2(pipeEnds, O_CLOEXEC));
	int sockets[2];
	ASSERT_EQ(0, socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets));
	char diskName[] = "/tmp/sealed-reply-XXXXXX";
	int disk = mkstemp(diskName);
	ASSERT_GE(disk, 0);
	unlink(diskName);
	ASSERT_EQ((ssize_t)good.size(), write(disk, good.data(), good.size()));

	const struct
	{
		const char* what;
		int fd;
	} cases[] = {
	    // Its writer stays open: a reader that tried would wait for ever.
	    {"a pipe", pipeEnds[0]},
	    {"a socket", sockets[0]},
	    {"a file on disk", disk},
	    {"an unsealed memory file", memory_file(good, 0)},
	    {"a file that may still be written", memory_file(good, F_SEAL_SHRINK | F_SEAL_GROW)},
	    {"a file that may still shrink", memory_file(good, F_SEAL_GROW | F_SEAL_WRITE)},
	    {"an empty file", memory_file("", sealsNeeded)},
	    {"a file over the limit", memory_file(good, sealsNeeded, (off_t)kMaxWireMessageSize + 1)},
	    {"a cut-short message", memory_file(truncated, sealsNeeded)},
	    {"garbage", memory_file(std::string(4096, '\x5a'), sealsNeeded)},
	};
	for (const auto& hostile : cases) {
		const FileIdentity before = identity(hostile.fd);
		ASSERT_TRUE(before.open) << hostile.what;
		BMessage reply(B_REPLY);
		reply.AddString("stale", "answer");
		EXPECT_EQ(B_BAD_REPLY, read_sealed_reply(hostile.fd, &reply)) << hostile.what;
		EXPECT_EQ((uint32)B_NO_REPLY, reply.what) << hostile.what;
		EXPECT_TRUE(reply.IsEmpty()) << hostile.what;
		EXPECT_FALSE(identity(hostile.fd) == before) << hostile.what << " was left open";
	}
	close(pipeEnds[1]);
	close(sockets[1]);

	BMessage reply;
	EXPECT_EQ(B_BAD_REPLY, read_sealed_reply(-1, &reply));
	// The same bytes, sealed as they should be, are accepted.
	BMessage read;
	EXPECT_EQ(B_OK, read_sealed_reply(memory_file(good, sealsNeeded), &read));
	EXPECT_EQ(good, flattened(read));
}

} // namespace
