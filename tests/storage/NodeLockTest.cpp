#include <gtest/gtest.h>

#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

#include "Node.h"
#include "ScratchFolder.h"

namespace {

// Runs body in a child process and gives its exit code.
template <typename Body> int InChild(Body body)
{
	pid_t child = fork();
	if (child == 0)
		_exit(body());
	int status = 0;
	waitpid(child, &status, 0);
	return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(NodeLock, HolderExcludesOtherNodesAndProcessesUntilItLetsGo)
{
	ScratchFolder folder;
	const std::string path = folder / "lock";
	std::ofstream(path) << "x";
	BNode holder(path.c_str());
	BNode other(path.c_str());
	ASSERT_EQ(B_OK, holder.Lock());
	EXPECT_EQ(B_NOT_ALLOWED, holder.Lock()) << "a lock is not taken twice";
	EXPECT_EQ(B_BUSY, other.Lock()) << "a second node of this process";
	EXPECT_EQ(B_BAD_VALUE, other.Unlock());
	EXPECT_EQ(1, InChild([&] { return BNode(path.c_str()).Lock() == B_BUSY ? 1 : 0; }))
	    << "another process";

	ASSERT_EQ(B_OK, holder.Unlock());
	ASSERT_EQ(B_OK, other.Lock());
	// Unset lets go as well.
	other.Unset();
	EXPECT_EQ(B_OK, holder.Lock());
}

TEST(NodeLock, ALockEndsWithItsProcessHoweverItEnds)
{
	ScratchFolder folder;
	const std::string path = folder / "lock";
	std::ofstream(path) << "x";
	// The child never unlocks nor closes: only its end lets go.
	ASSERT_EQ(0, InChild([&] {
		          BNode* node = new BNode(path.c_str());
		          return node->Lock() == B_OK ? 0 : 1;
	          }));
	BNode after(path.c_str());
	EXPECT_EQ(B_OK, after.Lock());
}
