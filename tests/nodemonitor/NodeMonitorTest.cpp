#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sys/stat.h>
#include <vector>

#include "Entry.h"
#include "Looper.h"
#include "Message.h"
#include "Node.h"
#include "NodeMonitor.h"
#include "ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

// Long enough for a loaded machine, short enough that a lost notice fails
// the test in seconds.
const auto kWatchdog = std::chrono::seconds(5);
// How long "nothing arrives" is watched for.
const auto kQuietPeriod = std::chrono::milliseconds(300);

class Recorder : public BLooper
{
public:
	Recorder() : BLooper("node monitor recorder") {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != B_NODE_MONITOR) {
			BLooper::MessageReceived(message);
			return;
		}
		std::lock_guard<std::mutex> lock(mLock);
		mNotices.push_back(*message);
		mArrived.notify_all();
	}

	// The first notice not yet taken that matches, within the watchdog.
	bool Take(const std::function<bool(const BMessage&)>& matches, BMessage* found,
	          std::chrono::milliseconds wait = kWatchdog)
	{
		std::unique_lock<std::mutex> lock(mLock);
		auto deadline = std::chrono::steady_clock::now() + wait;
		for (;;) {
			for (auto it = mNotices.begin(); it != mNotices.end(); ++it) {
				if (matches(*it)) {
					if (found != nullptr)
						*found = *it;
					mNotices.erase(it);
					return true;
				}
			}
			if (mArrived.wait_until(lock, deadline) == std::cv_status::timeout)
				return false;
		}
	}

	bool TakeOpcode(int32 opcode, BMessage* found, std::chrono::milliseconds wait = kWatchdog)
	{
		return Take([opcode](const BMessage& m) { return m.GetInt32("opcode", -1) == opcode; },
		            found, wait);
	}

	size_t Count()
	{
		std::lock_guard<std::mutex> lock(mLock);
		return mNotices.size();
	}

private:
	std::mutex mLock;
	std::condition_variable mArrived;
	std::vector<BMessage> mNotices;
};

// Runs a recorder for one test and quits it afterwards.
class RecorderHolder
{
public:
	RecorderHolder() : mRecorder(new Recorder()) { mRecorder->Run(); }
	~RecorderHolder() { Quit(); }

	void Quit()
	{
		if (mRecorder != nullptr && mRecorder->Lock())
			mRecorder->Quit();
		mRecorder = nullptr;
	}
	Recorder* operator->() const { return mRecorder; }
	Recorder* Get() const { return mRecorder; }

private:
	Recorder* mRecorder;
};

node_ref NodeOf(const std::string& path)
{
	node_ref ref;
	EXPECT_EQ(BEntry(path.c_str()).GetNodeRef(&ref), B_OK);
	return ref;
}

ino_t InodeOf(const std::string& path)
{
	struct stat info;
	EXPECT_EQ(lstat(path.c_str(), &info), 0);
	return info.st_ino;
}

class NodeMonitorTest : public ::testing::Test
{
protected:
	void TearDown() override { stop_watching(mRecorder.Get()); }

	ScratchFolder mTemp;
	RecorderHolder mRecorder;
};

} // namespace

TEST_F(NodeMonitorTest, CreatedAndRemovedEntriesOfAWatchedFolder)
{
	node_ref folder = NodeOf(mTemp.Path());
	ASSERT_EQ(watch_node(&folder, B_WATCH_DIRECTORY, mRecorder.Get()), B_OK);

	std::ofstream(mTemp / "de.locale") << "x";
	ino_t ino = InodeOf(mTemp / "de.locale");
	BMessage created;
	ASSERT_TRUE(mRecorder->TakeOpcode(B_ENTRY_CREATED, &created));
	EXPECT_EQ(created.what, (uint32)B_NODE_MONITOR);
	EXPECT_STREQ(created.GetString("name", ""), "de.locale");
	EXPECT_EQ(created.GetInt64("directory", -1), (int64)folder.node);
	EXPECT_EQ(created.GetInt64("node", -1), (int64)ino);
	EXPECT_EQ(created.GetInt32("device", -1), (int32)folder.device);

	ASSERT_EQ(remove((mTemp / "de.locale").c_str()), 0);
	BMessage removed;
	ASSERT_TRUE(mRecorder->TakeOpcode(B_ENTRY_REMOVED, &removed));
	EXPECT_STREQ(removed.GetString("name", ""), "de.locale");
	EXPECT_EQ(removed.GetInt64("node", -1), (int64)ino);
	EXPECT_EQ(removed.GetInt64("directory", -1), (int64)folder.node);
}

TEST_F(NodeMonitorTest, RenameInsideTheFolderIsOneMove)
{
	std::ofstream(mTemp / "old.locale") << "x";
	ino_t ino = InodeOf(mTemp / "old.locale");
	node_ref folder = NodeOf(mTemp.Path());
	ASSERT_EQ(watch_node(&folder, B_WATCH_DIRECTORY, mRecorder.Get()), B_OK);

	fs::rename(mTemp / "old.locale", mTemp / "new.locale");
	BMessage moved;
	ASSERT_TRUE(mRecorder->TakeOpcode(B_ENTRY_MOVED, &moved));
	EXPECT_STREQ(moved.GetString("name", ""), "new.locale");
	EXPECT_STREQ(moved.GetString("from name", ""), "old.locale");
	EXPECT_EQ(moved.GetInt64("from directory", -1), (int64)folder.node);
	EXPECT_EQ(moved.GetInt64("to directory", -1), (int64)folder.node);
	EXPECT_EQ(moved.GetInt64("node", -1), (int64)ino);
	EXPECT_FALSE(mRecorder->Take([](const BMessage&) { return true; }, nullptr, kQuietPeriod));
}

TEST_F(NodeMonitorTest, FilesMovedInAndOutAreMoves)
{
	fs::create_directory(mTemp / "watched");
	fs::create_directory(mTemp / "elsewhere");
	std::ofstream(mTemp / "elsewhere/fr.locale") << "x";
	node_ref folder = NodeOf(mTemp / "watched");
	ASSERT_EQ(watch_node(&folder, B_WATCH_DIRECTORY, mRecorder.Get()), B_OK);

	fs::rename(mTemp / "elsewhere/fr.locale", mTemp / "watched/fr.locale");
	BMessage in;
	ASSERT_TRUE(mRecorder->TakeOpcode(B_ENTRY_MOVED, &in));
	EXPECT_EQ(in.GetInt64("to directory", -1), (int64)folder.node);
	EXPECT_EQ(in.GetInt64("from directory", -1), 0);
	EXPECT_STREQ(in.GetString("name", ""), "fr.locale");

	fs::rename(mTemp / "watched/fr.locale", mTemp / "elsewhere/back.locale");
	BMessage out;
	ASSERT_TRUE(mRecorder->TakeOpcode(B_ENTRY_MOVED, &out));
	EXPECT_EQ(out.GetInt64("from directory", -1), (int64)folder.node);
	EXPECT_EQ(out.GetInt64("to directory", -1), 0);
	EXPECT_STREQ(out.GetString("from name", ""), "fr.locale");
}

TEST_F(NodeMonitorTest, MovesBetweenTwoWatchedFoldersReachBoth)
{
	fs::create_directory(mTemp / "a");
	fs::create_directory(mTemp / "b");
	std::ofstream(mTemp / "a/file") << "x";
	node_ref a = NodeOf(mTemp / "a");
	node_ref b = NodeOf(mTemp / "b");
	RecorderHolder other;
	ASSERT_EQ(watch_node(&a, B_WATCH_DIRECTORY, mRecorder.Get()), B_OK);
	ASSERT_EQ(watch_node(&b, B_WATCH_DIRECTORY, other.Get()), B_OK);

	fs::rename(mTemp / "a/file", mTemp / "b/file");
	BMessage seenByA;
	BMessage seenByB;
	ASSERT_TRUE(mRecorder->TakeOpcode(B_ENTRY_MOVED, &seenByA));
	ASSERT_TRUE(other->TakeOpcode(B_ENTRY_MOVED, &seenByB));
	for (const BMessage* moved : {&seenByA, &seenByB}) {
		EXPECT_EQ(moved->GetInt64("from directory", -1), (int64)a.node);
		EXPECT_EQ(moved->GetInt64("to directory", -1), (int64)b.node);
	}
	stop_watching(other.Get());
}

TEST_F(NodeMonitorTest, AttributeChangesNameTheAttribute)
{
	std::string path = mTemp / "de.locale";
	std::ofstream(path) << "x";
	node_ref file = NodeOf(path);
	ASSERT_EQ(watch_node(&file, B_WATCH_ATTR, mRecorder.Get()), B_OK);

	BNode node(path.c_str());
	ASSERT_EQ(node.WriteAttr("zt:language", B_STRING_TYPE, 0, "Deutsch", 7), 7);
	BMessage changed;
	ASSERT_TRUE(mRecorder->TakeOpcode(B_ATTR_CHANGED, &changed));
	EXPECT_STREQ(changed.GetString("attr", ""), "zt:language");
	EXPECT_EQ(changed.GetInt64("node", -1), (int64)file.node);

	// Permissions are no attribute change.
	ASSERT_EQ(chmod(path.c_str(), 0600), 0);
	EXPECT_FALSE(mRecorder->TakeOpcode(B_ATTR_CHANGED, nullptr, kQuietPeriod));

	ASSERT_EQ(node.RemoveAttr("zt:language"), B_OK);
	ASSERT_TRUE(mRecorder->TakeOpcode(B_ATTR_CHANGED, &changed));
	EXPECT_STREQ(changed.GetString("attr", ""), "zt:language");
}

TEST_F(NodeMonitorTest, StatChangesOnWritesAndPermissions)
{
	std::string path = mTemp / "data";
	std::ofstream(path) << "x";
	node_ref file = NodeOf(path);
	ASSERT_EQ(watch_node(&file, B_WATCH_STAT, mRecorder.Get()), B_OK);

	std::ofstream(path, std::ios::app) << "more";
	BMessage changed;
	ASSERT_TRUE(mRecorder->TakeOpcode(B_STAT_CHANGED, &changed));
	EXPECT_EQ(changed.GetInt64("node", -1), (int64)file.node);
	ASSERT_EQ(chmod(path.c_str(), 0640), 0);
	ASSERT_TRUE(mRecorder->TakeOpcode(B_STAT_CHANGED, nullptr));
}

TEST_F(NodeMonitorTest, NodesNamedInNoticesCanBeWatchedInTurn)
{
	node_ref folder = NodeOf(mTemp.Path());
	ASSERT_EQ(watch_node(&folder, B_WATCH_DIRECTORY, mRecorder.Get()), B_OK);
	std::ofstream(mTemp / "new") << "x";
	BMessage created;
	ASSERT_TRUE(mRecorder->TakeOpcode(B_ENTRY_CREATED, &created));

	node_ref child((dev_t)created.GetInt32("device", 0), (ino_t)created.GetInt64("node", 0));
	ASSERT_EQ(watch_node(&child, B_WATCH_ATTR, mRecorder.Get()), B_OK);
	ASSERT_EQ(BNode((mTemp / "new").c_str()).WriteAttr("k", B_STRING_TYPE, 0, "v", 1), 1);
	ASSERT_TRUE(mRecorder->TakeOpcode(B_ATTR_CHANGED, nullptr));
}

TEST_F(NodeMonitorTest, StoppingEndsTheNotices)
{
	node_ref folder = NodeOf(mTemp.Path());
	ASSERT_EQ(watch_node(&folder, B_WATCH_DIRECTORY, mRecorder.Get()), B_OK);
	ASSERT_EQ(stop_watching(mRecorder.Get()), B_OK);
	std::ofstream(mTemp / "unseen") << "x";
	EXPECT_FALSE(mRecorder->TakeOpcode(B_ENTRY_CREATED, nullptr, kQuietPeriod));

	// Watching again works; B_STOP_WATCHING ends one node's watch.
	ASSERT_EQ(watch_node(&folder, B_WATCH_DIRECTORY, mRecorder.Get()), B_OK);
	ASSERT_EQ(watch_node(&folder, B_STOP_WATCHING, mRecorder.Get()), B_OK);
	std::ofstream(mTemp / "unseen2") << "x";
	EXPECT_FALSE(mRecorder->TakeOpcode(B_ENTRY_CREATED, nullptr, kQuietPeriod));
	EXPECT_EQ(watch_node(&folder, B_STOP_WATCHING, mRecorder.Get()), B_BAD_VALUE);
}

TEST_F(NodeMonitorTest, RefusesWhatItCannotWatch)
{
	node_ref unknown(12345, 987654321);
	EXPECT_EQ(watch_node(&unknown, B_WATCH_DIRECTORY, mRecorder.Get()), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(watch_node(nullptr, B_WATCH_DIRECTORY, mRecorder.Get()), B_BAD_VALUE);
	node_ref folder = NodeOf(mTemp.Path());
	EXPECT_EQ(watch_node(&folder, B_WATCH_MOUNT, mRecorder.Get()), B_NOT_SUPPORTED);
	EXPECT_EQ(watch_node(&folder, B_WATCH_DIRECTORY, BMessenger()), B_BAD_VALUE);

	// A node that was replaced by another under the same path.
	std::string path = mTemp / "replaced";
	std::ofstream(path) << "x";
	node_ref old = NodeOf(path);
	std::ofstream(mTemp / "keep-inode-busy") << "x";
	fs::rename(mTemp / "keep-inode-busy", path);
	EXPECT_EQ(watch_node(&old, B_WATCH_STAT, mRecorder.Get()), B_ENTRY_NOT_FOUND);
}

TEST_F(NodeMonitorTest, AWatcherThatQuitIsDropped)
{
	node_ref folder = NodeOf(mTemp.Path());
	{
		RecorderHolder shortLived;
		ASSERT_EQ(watch_node(&folder, B_WATCH_DIRECTORY, shortLived.Get()), B_OK);
	}
	ASSERT_EQ(watch_node(&folder, B_WATCH_DIRECTORY, mRecorder.Get()), B_OK);
	std::ofstream(mTemp / "after") << "x";
	ASSERT_TRUE(mRecorder->TakeOpcode(B_ENTRY_CREATED, nullptr));
}

TEST_F(NodeMonitorTest, RemovingAWatchedNodeIsReportedToItsNameWatchers)
{
	std::string path = mTemp / "doomed";
	std::ofstream(path) << "x";
	fs::create_directory(mTemp / "doomed-folder");
	node_ref file = NodeOf(path);
	node_ref folder = NodeOf(mTemp / "doomed-folder");
	ASSERT_EQ(watch_node(&file, B_WATCH_NAME, mRecorder.Get()), B_OK);
	ASSERT_EQ(watch_node(&folder, B_WATCH_NAME | B_WATCH_DIRECTORY, mRecorder.Get()), B_OK);

	ASSERT_EQ(remove(path.c_str()), 0);
	BMessage removed;
	ASSERT_TRUE(mRecorder->TakeOpcode(B_ENTRY_REMOVED, &removed));
	EXPECT_EQ(removed.GetInt64("node", -1), (int64)file.node);

	ASSERT_EQ(remove((mTemp / "doomed-folder").c_str()), 0);
	ASSERT_TRUE(mRecorder->TakeOpcode(B_ENTRY_REMOVED, &removed));
	EXPECT_EQ(removed.GetInt64("node", -1), (int64)folder.node);
	// Both watches are gone with their nodes.
	EXPECT_EQ(watch_node(&file, B_STOP_WATCHING, mRecorder.Get()), B_BAD_VALUE);
	EXPECT_EQ(watch_node(&folder, B_STOP_WATCHING, mRecorder.Get()), B_BAD_VALUE);
}

TEST_F(NodeMonitorTest, AWatchedNodeMovedElsewhereTellsWhereFromAndTo)
{
	fs::create_directory(mTemp / "from");
	fs::create_directory(mTemp / "to");
	std::ofstream(mTemp / "from/de.locale") << "x";
	node_ref file = NodeOf(mTemp / "from/de.locale");
	ASSERT_EQ(watch_node(&file, B_WATCH_NAME, mRecorder.Get()), B_OK);

	fs::rename(mTemp / "from/de.locale", mTemp / "to/deutsch.locale");
	BMessage moved;
	ASSERT_TRUE(mRecorder->TakeOpcode(B_ENTRY_MOVED, &moved));
	EXPECT_EQ(moved.GetInt64("node", -1), (int64)file.node);
	EXPECT_EQ(moved.GetInt64("from directory", -1), (int64)InodeOf(mTemp / "from"));
	EXPECT_EQ(moved.GetInt64("to directory", -1), (int64)InodeOf(mTemp / "to"));
	EXPECT_STREQ(moved.GetString("name", ""), "deutsch.locale");
	EXPECT_STREQ(moved.GetString("from name", ""), "de.locale");

	// It stays watched where it is now.
	fs::rename(mTemp / "to/deutsch.locale", mTemp / "to/again.locale");
	ASSERT_TRUE(mRecorder->TakeOpcode(B_ENTRY_MOVED, &moved));
	EXPECT_STREQ(moved.GetString("from name", ""), "deutsch.locale");
	EXPECT_STREQ(moved.GetString("name", ""), "again.locale");
}
