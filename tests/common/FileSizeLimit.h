// Global state restored by RAII: the largest file this process may write.
#ifndef TESTS_COMMON_FILE_SIZE_LIMIT_H
#define TESTS_COMMON_FILE_SIZE_LIMIT_H

#include <csignal>
#include <sys/resource.h>

// Lowers the limit, so that a write beyond it fails with EFBIG as on a full
// disk (the signal that would otherwise end the process is ignored
// meanwhile), and puts both back when destroyed.
class FileSizeLimit
{
public:
	explicit FileSizeLimit(rlim_t limit)
	{
		getrlimit(RLIMIT_FSIZE, &mOld);
		mOldHandler = signal(SIGXFSZ, SIG_IGN);
		rlimit lowered = mOld;
		lowered.rlim_cur = limit;
		setrlimit(RLIMIT_FSIZE, &lowered);
	}
	~FileSizeLimit()
	{
		setrlimit(RLIMIT_FSIZE, &mOld);
		signal(SIGXFSZ, mOldHandler);
	}

	FileSizeLimit(const FileSizeLimit&) = delete;
	FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
	rlimit mOld;
	sighandler_t mOldHandler;
};

#endif // TESTS_COMMON_FILE_SIZE_LIMIT_H
