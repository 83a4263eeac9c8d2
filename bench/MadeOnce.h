#ifndef BENCH_MADE_ONCE_H
#define BENCH_MADE_ONCE_H

#include <map>

// What Make(count) gives, made on first use and kept for the run: a
// benchmark's inputs are the same in every repetition, and making them is
// never part of what is timed after the first.
template <auto Make> const auto& MadeOnce(int count)
{
	static std::map<int, decltype(Make(count))> cache;
	auto found = cache.find(count);
	if (found == cache.end())
		found = cache.emplace(count, Make(count)).first;
	return found->second;
}

#endif // BENCH_MADE_ONCE_H
