// Global state restored by RAII: an environment variable.
#ifndef TESTS_COMMON_ENVIRONMENT_GUARD_H
#define TESTS_COMMON_ENVIRONMENT_GUARD_H

#include <cstdlib>
#include <optional>
#include <string>

// Sets an environment variable (or unsets it, for nullopt) for the test and
// the processes started meanwhile, and puts the old value back when
// destroyed.
class EnvironmentGuard
{
public:
	EnvironmentGuard(const char* name, const std::optional<std::string>& value) : mName(name)
	{
		if (const char* old = getenv(name))
			mOld = old;
		if (value)
			setenv(name, value->c_str(), 1);
		else
			unsetenv(name);
	}
	~EnvironmentGuard()
	{
		if (mOld)
			setenv(mName.c_str(), mOld->c_str(), 1);
		else
			unsetenv(mName.c_str());
	}

	EnvironmentGuard(const EnvironmentGuard&) = delete;
	EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

private:
	std::string mName;
	std::optional<std::string> mOld;
};

#endif // TESTS_COMMON_ENVIRONMENT_GUARD_H
