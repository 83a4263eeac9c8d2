// Global state restored by RAII: an environment variable.
#ifndef TESTS_COMMON_ENVIRONMENT_GUARD_H
#define TESTS_COMMON_ENVIRONMENT_GUARD_H

#include <cstdlib>
#include <string>

// Sets an environment variable for the processes started meanwhile.
class EnvironmentGuard
{
public:
	EnvironmentGuard(const char* name, const std::string& value) : mName(name)
	{
		const char* old = getenv(name);
		mHad = old != nullptr;
		if (mHad)
			mOld = old;
		setenv(name, value.c_str(), 1);
	}
	~EnvironmentGuard()
	{
		if (mHad)
			setenv(mName.c_str(), mOld.c_str(), 1);
		else
			unsetenv(mName.c_str());
	}

private:
	std::string mName;
	std::string mOld;
	bool mHad = false;
};

#endif // TESTS_COMMON_ENVIRONMENT_GUARD_H
