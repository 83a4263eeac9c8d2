// Saves written over the file's own bytes: files of another owner, files
// with several links, and what a save cut short leaves for the next load.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

#include "Message.h"
#include "SafeFile.h"
#include "SafeFileTestSupport.h"
#include "ScratchFolder.h"

namespace {

const uid_t kOwner = 4321;
const gid_t kGroup = 4322;
const uid_t kNobody = 65534;
const char* const kMark = "user.safefile:complete-copy";

std::string Mark(const std::string& path)
{
	char value[4096];
	ssize_t size = getxattr(path.c_str(), kMark, value, sizeof(value));
	return size < 0 ? std::string() : std::string(value, (size_t)size);
}

ino_t Inode(const std::string& path)
{
	struct stat info;
	return stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// Runs work in a child that is an ordinary user (uid and gid 65534, with
// group as its one other group); its exit code, 100 when it could not
// switch, -1 when it died.
int AsOrdinaryUser(gid_t group, const std::function<int()>& work)
{
	pid_t child = fork();
	if (child == 0) {
		gid_t groups[] = {group};
		if (setgroups(1, groups) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
		    setresuid(kNobody, kNobody, kNobody) != 0)
			_exit(100);
		_exit(work());
	}
	int status = 0;
	if (child < 0 || waitpid(child, &status, 0) != child)
		return -1;
	return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// What an in place write of text over path leaves when its process dies
// after marking the file: the complete copy beside the name it saved
// through, the mark naming it, and, when mixed, the first half of the file
// overwritten. The writer is a process that has ended unless given; the
// copy is made for path's node unless another is given.
std::string LeaveInterruptedWrite(const std::string& path, const std::string& text, bool mixed,
                                  pid_t writer = 0, ino_t node = 0)
{
	const std::string folder = std::filesystem::path(path).parent_path();
	const std::string leaf = std::filesystem::path(path).filename();
	if (writer == 0) {
		writer = fork();
		if (writer == 0)
			_exit(0);
		waitpid(writer, nullptr, 0);
	}
	std::string copy = folder + "/.";
	copy += leaf + ".inplace-" + std::to_string(node != 0 ? node : Inode(path)) + "-" +
	        std::to_string(writer) + "-0";
	WriteFileBytes(copy, text);
	setxattr(path.c_str(), kMark, copy.data(), copy.size(), 0);
	if (mixed) {
		std::string bytes = ReadFileBytes(path);
		bytes.replace(0, text.size() / 2, text.substr(0, text.size() / 2));
		WriteFileBytes(path, bytes);
	}
	return copy;
}

// A locale-sized message: many short texts, flattened.
std::string ManyTexts(const char* prefix, int count)
{
	BMessage message('LOCL');
	message.AddString("zt:app_id", "application/x-vnd.test");
	for (int i = 0; i < count; i++)
		message.AddString("zt:text", (std::string(prefix) + std::to_string(i)).c_str());
	std::string bytes((size_t)message.FlattenedSize(), '\0');
	return message.Flatten(bytes.data(), (ssize_t)bytes.size()) == B_OK ? bytes : std::string();
}

} // namespace

TEST(SafeFileInPlaceTest, AUserWhoMayWriteAnotherUsersFileLeavesItTheirs)
{
	if (geteuid() != 0)
		GTEST_SKIP() << "making a file of another user and becoming an ordinary user needs root";
	struct Case
	{
		const char* what;
		mode_t mode;
		gid_t saverGroup;
		bool secondLink;
	};
	const Case cases[] = {
	    {"group-writable, the saver in its group", 0664, kGroup, false},
	    {"writable by everyone, the saver in another group", 0666, kNobody, false},
	    {"group-writable with a second link", 0660, kGroup, true},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.what);
		ScratchFolder folder;
		ASSERT_EQ(chmod(folder.Path().c_str(), 0777), 0);
		const std::string path = folder / "doc";
		WriteFileBytes(path, "an old text, longer than the new");
		ASSERT_EQ(setxattr(path.c_str(), "user.comment", "kept", 4, 0), 0);
		ASSERT_EQ(chown(path.c_str(), kOwner, kGroup), 0);
		ASSERT_EQ(chmod(path.c_str(), test.mode), 0);
		if (test.secondLink) {
			ASSERT_EQ(link(path.c_str(), (folder / "other").c_str()), 0);
		}
		const ino_t before = Inode(path);

		ASSERT_EQ(
		    AsOrdinaryUser(test.saverGroup, [&] { return Save(path, "new") == B_OK ? 0 : 1; }), 0);

		struct stat after;
		ASSERT_EQ(stat(path.c_str(), &after), 0);
		EXPECT_EQ(ReadFileBytes(path), "new");
		EXPECT_EQ(after.st_ino, before);
		EXPECT_EQ(after.st_uid, kOwner);
		EXPECT_EQ(after.st_gid, kGroup);
		EXPECT_EQ(after.st_mode & 07777, test.mode);
		char comment[8] = {};
		EXPECT_EQ(getxattr(path.c_str(), "user.comment", comment, sizeof(comment)), 4);
		EXPECT_STREQ(comment, "kept");
		EXPECT_EQ(Mark(path), "");
		std::vector<std::string> names = {"doc"};
		if (test.secondLink)
			names.push_back("other");
		EXPECT_EQ(Entries(folder.Path()), names);
	}
}

TEST(SafeFileInPlaceTest, ALoadFinishesOnlyWhatAnInterruptedWriteLeftForThisFile)
{
	struct Case
	{
		const char* what;
		bool mixed;
		bool marked;
		bool foreignMark; // the mark names a copy made for another node
		bool writerRuns;
		interrupted_write_outcome outcome;
		bool fileBecomesNew;
		bool copyStays;
	};
	const Case cases[] = {
	    {"marked and half written", true, true, false, false, B_WRITE_REPAIRED, true, false},
	    {"marked before the first byte changed", false, true, false, false, B_WRITE_REPAIRED, true,
	     false},
	    {"a copy whose save finished", false, false, false, false, B_WRITE_WAS_WHOLE, false, false},
	    {"a mark carried to another file", true, true, true, false, B_WRITE_WAS_WHOLE, false, true},
	    {"a save that still runs", true, true, false, true, B_WRITE_WAS_WHOLE, false, true},
	};
	const std::string newText = "the complete new text of the file";
	for (const Case& test : cases) {
		SCOPED_TRACE(test.what);
		ScratchFolder folder;
		const std::string path = folder / "doc";
		// The second name in another folder: only the mark leads there.
		std::filesystem::create_directory(folder / "sub");
		const std::string other = folder / "sub/other";
		WriteFileBytes(path, "the old text that was there before it");
		ASSERT_EQ(setxattr(path.c_str(), "user.comment", "old", 3, 0), 0);
		ASSERT_EQ(link(path.c_str(), other.c_str()), 0);
		const std::string copy =
		    LeaveInterruptedWrite(path, newText, test.mixed, test.writerRuns ? getppid() : 0,
		                          test.foreignMark ? Inode(path) + 1 : 0);
		ASSERT_EQ(setxattr(copy.c_str(), "user.comment", "new", 3, 0), 0);
		if (!test.marked)
			removexattr(path.c_str(), kMark);
		const std::string found = ReadFileBytes(path);

		// Only the mark leads from the other folder to the copy; the name
		// the save went through finds an unmarked one too.
		interrupted_write_report report;
		EXPECT_EQ(repair_interrupted_write((test.marked ? other : path).c_str(), &report), B_OK);

		EXPECT_EQ(report.outcome, test.outcome);
		EXPECT_EQ(report.copy, test.outcome == B_WRITE_REPAIRED ? copy : "");
		EXPECT_EQ(ReadFileBytes(other), test.fileBecomesNew ? newText : found);
		EXPECT_EQ(std::filesystem::exists(copy), test.copyStays);
		if (test.fileBecomesNew) {
			char comment[4] = {};
			EXPECT_EQ(getxattr(path.c_str(), "user.comment", comment, 3), 3);
			EXPECT_STREQ(comment, "new");
			EXPECT_EQ(Mark(path), "");
		}
	}
}

TEST(SafeFileInPlaceTest, ACopyThatCannotBeWrittenBackStaysAndTheReportSaysWhere)
{
	if (geteuid() != 0)
		GTEST_SKIP() << "a file this process may not write needs another user, hence root";
	ScratchFolder folder;
	ASSERT_EQ(chmod(folder.Path().c_str(), 0777), 0);
	const std::string path = folder / "doc";
	WriteFileBytes(path, "the old text that was there before it");
	const std::string copy = LeaveInterruptedWrite(path, "the complete new text", true);
	ASSERT_EQ(chmod(path.c_str(), 0644), 0);
	const std::string mixed = ReadFileBytes(path);

	// 0: kept and said where; 1: a wrong outcome, 2: a wrong place.
	int result = AsOrdinaryUser(kNobody, [&] {
		interrupted_write_report report;
		if (repair_interrupted_write(path.c_str(), &report) != B_PERMISSION_DENIED ||
		    report.outcome != B_WRITE_COPY_KEPT)
			return 1;
		return report.copy == copy ? 0 : 2;
	});
	EXPECT_EQ(result, 0);
	EXPECT_EQ(ReadFileBytes(path), mixed);
	EXPECT_EQ(ReadFileBytes(copy), "the complete new text");

	// A save by one who may write the file finishes it first and then
	// leaves nothing behind.
	ASSERT_EQ(Save(path, "newer"), B_OK);
	EXPECT_EQ(ReadFileBytes(path), "newer");
	EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"doc"});
}

TEST(SafeFileInPlaceTest, AKilledInPlaceSaveLeavesEveryNameWholeOrRepairable)
{
	const int kEntries = 100000;
	const int kRounds = 50;
	const auto kTimeLimit = std::chrono::seconds(8);
	const std::string texts[2] = {ManyTexts("old entry ", kEntries),
	                              ManyTexts("the new entry ", kEntries)};
	ASSERT_FALSE(texts[0].empty());
	ASSERT_FALSE(texts[1].empty());
	ScratchFolder folder;
	const std::string path = folder / "doc";
	std::filesystem::create_directory(folder / "sub");
	const std::string other = folder / "sub/other";
	WriteFileBytes(path, texts[0]);
	ASSERT_EQ(link(path.c_str(), other.c_str()), 0);

	// The first bytes of the file, to see an in place copy begin: read
	// through a descriptor held open, as fast as the copy writes.
	const int watch = open(path.c_str(), O_RDONLY | O_CLOEXEC);
	ASSERT_GE(watch, 0);
	struct Closer
	{
		int fd;
		~Closer() { close(fd); }
	} closeWatch{watch};
	auto head = [&] {
		char bytes[4096] = {};
		ssize_t got = pread(watch, bytes, sizeof(bytes), 0);
		return std::string(bytes, got > 0 ? (size_t)got : 0);
	};
	// Saves a text in a child and kills it: after delay from its start, or,
	// with fromCopy, after delay from when the file's first bytes change.
	// A negative delay lets it end.
	auto saveInChild = [&](const std::string& text, std::chrono::microseconds delay,
	                       bool fromCopy) {
		const std::string before = head();
		int started[2];
		if (pipe(started) != 0)
			return -1;
		pid_t child = fork();
		if (child == 0) {
			close(started[0]);
			// Behind the watching parent whenever the machine is busy, so
			// that its kill can land while the copy runs.
			if ((fromCopy && nice(19) < 0) || write(started[1], "s", 1) != 1)
				_exit(2);
			_exit(Save(path, text) == B_OK ? 0 : 1);
		}
		close(started[1]);
		char byte;
		bool told = read(started[0], &byte, 1) == 1;
		close(started[0]);
		int status = 0;
		if (told && delay.count() >= 0) {
			bool ended = false;
			while (fromCopy && head() == before)
				if (waitpid(child, &status, WNOHANG) == child) {
					ended = true;
					break;
				}
			if (ended)
				return WIFEXITED(status) ? WEXITSTATUS(status) : 9;
			// A busy wait: a sleep would overshoot the copy's few hundred
			// microseconds.
			const auto until = std::chrono::steady_clock::now() + delay;
			while (std::chrono::steady_clock::now() < until) {
			}
			kill(child, SIGKILL);
		}
		waitpid(child, &status, 0);
		return WIFEXITED(status) ? WEXITSTATUS(status) : 9;
	};

	// Kills spread over the time a whole save takes.
	auto begin = std::chrono::steady_clock::now();
	ASSERT_EQ(saveInChild(texts[1], std::chrono::microseconds(-1), false), 0);
	auto span = std::chrono::duration_cast<std::chrono::microseconds>(
	    std::chrono::steady_clock::now() - begin);
	ASSERT_EQ(ReadFileBytes(other), texts[1]);
	int current = 1;

	std::mt19937 random(std::random_device{}());
	std::uniform_int_distribution<long> delays(0, span.count());
	std::uniform_int_distribution<long> intoCopy(0, 200);
	int repaired = 0;
	int mixed = 0;
	int rounds = 0;
	const auto deadline = std::chrono::steady_clock::now() + kTimeLimit;
	for (; rounds < kRounds && std::chrono::steady_clock::now() < deadline; rounds++) {
		SCOPED_TRACE("round " + std::to_string(rounds));
		const int next = 1 - current;
		// Every other kill lands within 0.2 ms of the copy's start, where
		// the file's own bytes are mixed.
		const bool fromCopy = rounds % 2 == 1;
		saveInChild(texts[next],
		            std::chrono::microseconds(fromCopy ? intoCopy(random) : delays(random)),
		            fromCopy);

		const std::string found = ReadFileBytes(path);
		ASSERT_EQ(ReadFileBytes(other), found);
		const std::string copy = Mark(path);
		if (found != texts[0] && found != texts[1]) {
			// Mixed bytes: the complete copy must still be there, named on
			// the file itself.
			ASSERT_FALSE(copy.empty());
			ASSERT_EQ(ReadFileBytes(copy), texts[next]);
			mixed++;
		}

		interrupted_write_report report;
		ASSERT_EQ(repair_interrupted_write(rounds % 2 ? path.c_str() : other.c_str(), &report),
		          B_OK);
		const std::string now = ReadFileBytes(path);
		ASSERT_EQ(ReadFileBytes(other), now);
		ASSERT_TRUE(now == texts[0] || now == texts[1]);
		if (!copy.empty()) {
			EXPECT_EQ(report.outcome, B_WRITE_REPAIRED);
			EXPECT_EQ(now, texts[next]);
			repaired++;
		}
		EXPECT_EQ(Mark(path), "");
		// A copy left unmarked (killed before the mark or after dropping
		// it) is found from the name the save went through, as the next
		// save there does.
		ASSERT_EQ(repair_interrupted_write(path.c_str(), &report), B_OK);
		EXPECT_EQ(report.outcome, B_WRITE_WAS_WHOLE);
		EXPECT_EQ(ReadFileBytes(other), now);
		EXPECT_EQ(Entries(folder.Path()), (std::vector<std::string>{"doc", "sub"}));
		current = now == texts[1] ? 1 : 0;
	}
	EXPECT_GE(rounds, 5) << "a save took " << span.count() << " µs";
	RecordProperty("rounds", rounds);
	RecordProperty("repaired", repaired);
	std::cout << rounds << " kills, " << mixed << " left mixed bytes, " << repaired
	          << " repaired by the next load; a save took " << span.count() << " µs\n";
}
