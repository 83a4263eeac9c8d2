// What a save keeps of the file it replaces, and what it leaves behind.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "SafeFile.h"
#include "SafeFileTestSupport.h"
#include "ScratchFolder.h"
#include "TypeConstants.h"

namespace {

std::string Xattr(const std::string& path, const char* name)
{
	char value[256];
	ssize_t size = getxattr(path.c_str(), name, value, sizeof(value));
	return size < 0 ? std::string("<none>") : std::string(value, (size_t)size);
}

void SetXattr(const std::string& path, const char* name, const std::string& value)
{
	ASSERT_EQ(setxattr(path.c_str(), name, value.data(), value.size(), 0), 0);
}

// A child process that waits until its pipe is closed: a process that runs.
class RunningChild
{
public:
	RunningChild()
	{
		if (pipe(mPipe) != 0)
			return;
		mPid = fork();
		if (mPid == 0) {
			close(mPipe[1]);
			char byte;
			while (read(mPipe[0], &byte, 1) > 0) {
			}
			_exit(0);
		}
		close(mPipe[0]);
	}
	~RunningChild()
	{
		close(mPipe[1]);
		if (mPid > 0)
			waitpid(mPid, nullptr, 0);
	}
	pid_t Pid() const { return mPid; }

private:
	int mPipe[2] = {-1, -1};
	pid_t mPid = -1;
};

// The id of a process that has ended (and was reaped).
pid_t EndedProcess()
{
	pid_t pid = fork();
	if (pid == 0)
		_exit(0);
	waitpid(pid, nullptr, 0);
	return pid;
}

std::string Leftover(pid_t pid, int attempt)
{
	return ".doc.save-" + std::to_string(pid) + "-" + std::to_string(attempt);
}

} // namespace

TEST(SafeFileKeepsTest, EveryAttributeOfTheOldFileStaysAndTheNewOnesWin)
{
	ScratchFolder folder;
	const std::string path = folder / "doc";
	WriteFileBytes(path, "old");
	SetXattr(path, "user.comment", "checked by Ana");
	SetXattr(path, "user.zt:language", "Deutsch");

	SafeFile file(path.c_str());
	ASSERT_EQ(file.InitCheck(), B_OK);
	ASSERT_EQ(file.Write("new", 3), 3);
	ASSERT_EQ(file.WriteAttr("zt:language", B_STRING_TYPE, 0, "Suomi", 5), 5);
	ASSERT_EQ(file.Commit(), B_OK);

	EXPECT_EQ(ReadFileBytes(path), "new");
	EXPECT_EQ(Xattr(path, "user.comment"), "checked by Ana");
	EXPECT_EQ(Xattr(path, "user.zt:language"), "Suomi");
}

TEST(SafeFileKeepsTest, OwnerGroupModeAttributesAndLinksStayReplacedOrInPlace)
{
	if (geteuid() != 0)
		GTEST_SKIP() << "giving a file to another user needs root";
	// One link: the new file takes the old one's place; two: the old one is
	// written in place.
	for (nlink_t links : {1u, 2u}) {
		SCOPED_TRACE(std::to_string(links) + " links");
		ScratchFolder folder;
		const std::string path = folder / "doc";
		WriteFileBytes(path, "old");
		SetXattr(path, "user.comment", "kept");
		ASSERT_EQ(chown(path.c_str(), 4321, 4322), 0);
		// After the chown: a change of owner clears the set-group-id bit.
		ASSERT_EQ(chmod(path.c_str(), 02750), 0);
		if (links == 2) {
			ASSERT_EQ(link(path.c_str(), (folder / "other").c_str()), 0);
		}
		struct stat before;
		ASSERT_EQ(stat(path.c_str(), &before), 0);

		ASSERT_EQ(Save(path, "new"), B_OK);
		struct stat info;
		ASSERT_EQ(stat(path.c_str(), &info), 0);
		EXPECT_EQ(info.st_uid, 4321u);
		EXPECT_EQ(info.st_gid, 4322u);
		EXPECT_EQ(info.st_mode & 07777, 02750u);
		EXPECT_EQ(info.st_nlink, links);
		EXPECT_EQ(info.st_ino == before.st_ino, links == 2);
		EXPECT_EQ(Xattr(path, "user.comment"), "kept");
		EXPECT_EQ(ReadFileBytes(path), "new");
		EXPECT_EQ(Entries(folder.Path()).size(), (size_t)links);
	}
}

TEST(SafeFileKeepsTest, AFileWithASecondLinkIsWrittenInPlace)
{
	ScratchFolder folder;
	const std::string path = folder / "doc";
	const std::string other = folder / "other";
	WriteFileBytes(path, "an old text, longer than the new one");
	SetXattr(path, "user.comment", "kept");
	SetXattr(path, "user.dropped", "x");
	ASSERT_EQ(link(path.c_str(), other.c_str()), 0);
	ASSERT_EQ(chmod(path.c_str(), 0604), 0);
	struct stat before;
	ASSERT_EQ(stat(path.c_str(), &before), 0);

	SafeFile file(path.c_str());
	ASSERT_EQ(file.Write("new text", 8), 8);
	ASSERT_EQ(file.RemoveAttr("dropped"), B_OK);
	ASSERT_EQ(file.WriteAttr("zt:language", B_STRING_TYPE, 0, "Suomi", 5), 5);
	ASSERT_EQ(file.Commit(), B_OK);

	EXPECT_EQ(ReadFileBytes(other), "new text");
	EXPECT_EQ(ReadFileBytes(path), "new text");
	struct stat after;
	ASSERT_EQ(stat(path.c_str(), &after), 0);
	EXPECT_EQ(after.st_ino, before.st_ino);
	EXPECT_EQ(after.st_nlink, 2u);
	EXPECT_EQ(after.st_mode & 07777, 0604u);
	EXPECT_EQ(Xattr(other, "user.comment"), "kept");
	EXPECT_EQ(Xattr(other, "user.zt:language"), "Suomi");
	EXPECT_EQ(Xattr(other, "user.dropped"), "<none>");
	EXPECT_EQ(Entries(folder.Path()), (std::vector<std::string>{"doc", "other"}));
}

TEST(SafeFileKeepsTest, ASaveKilledWhileWritingLeavesNothingAfterTheNextSave)
{
	ScratchFolder folder;
	const std::string path = folder / "doc";
	WriteFileBytes(path, "old");
	int started[2];
	ASSERT_EQ(pipe(started), 0);
	pid_t child = fork();
	ASSERT_GE(child, 0);
	if (child == 0) {
		SafeFile file(path.c_str());
		std::string chunk(1 << 20, 'x');
		bool told = false;
		// Far more than the parent lets it write: it is killed long before.
		for (int i = 0; i < 4096 && file.Write(chunk.data(), chunk.size()) > 0; i++) {
			if (!told)
				told = write(started[1], "s", 1) == 1;
		}
		_exit(1);
	}
	close(started[1]);
	char byte;
	ASSERT_EQ(read(started[0], &byte, 1), 1);
	close(started[0]);
	kill(child, SIGKILL);
	int status = 0;
	ASSERT_EQ(waitpid(child, &status, 0), child);
	ASSERT_TRUE(WIFSIGNALED(status));
	EXPECT_EQ(ReadFileBytes(path), "old");

	ASSERT_EQ(Save(path, "new"), B_OK);
	EXPECT_EQ(ReadFileBytes(path), "new");
	EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"doc"});
}

TEST(SafeFileKeepsTest, LeftoversOfEndedProcessesGoThoseOfRunningOnesStay)
{
	ScratchFolder folder;
	const std::string path = folder / "doc";
	WriteFileBytes(path, "old");
	RunningChild running;
	ASSERT_GT(running.Pid(), 0);
	pid_t ended = EndedProcess();
	ASSERT_GT(ended, 0);
	const std::string otherFile = ".other.save-" + std::to_string(ended) + "-0";
	const std::vector<std::string> leftovers = {
	    Leftover(ended, 0),       Leftover(ended, 7), Leftover(running.Pid(), 0),
	    Leftover(ended, 0) + "x", ".doc.save-x-0",    otherFile};
	for (const std::string& leaf : leftovers)
		WriteFileBytes(folder / leaf, "left over");

	ASSERT_EQ(Save(path, "new"), B_OK);
	EXPECT_EQ(ReadFileBytes(path), "new");
	std::vector<std::string> expected = {".doc.save-x-0", Leftover(running.Pid(), 0),
	                                     Leftover(ended, 0) + "x", otherFile, "doc"};
	std::sort(expected.begin(), expected.end());
	EXPECT_EQ(Entries(folder.Path()), expected);
}
