// The flatten term of bench/hey.sh: asks a running application for a
// property once, as hey does, and times flattening (and reading back) the
// very reply it got. A reply of that size costs at least this on top of a
// bus round trip, whatever the tool does.
//
// usage: bench_hey_flatten TEAM RUNS VERB [SPECIFIER [of SPECIFIER]*]  (as hey)
// prints: <flatten median us> <unflatten median us> <flattened bytes>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "CommandLineClient.h"
#include "HeyRequest.h"
#include "Message.h"
#include "Messenger.h"

namespace {

template <typename Step> double median_us(int runs, Step step)
{
	std::vector<double> times;
	for (int i = 0; i < runs; i++) {
		auto start = std::chrono::steady_clock::now();
		step();
		times.push_back(
		    std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
		        .count());
	}
	std::sort(times.begin(), times.end());
	return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
	if (argc < 4) {
		fprintf(stderr, "usage: %s TEAM RUNS VERB [SPECIFIER [of SPECIFIER]*]\n", argv[0]);
		return 2;
	}
	const int runs = std::max(1, atoi(argv[2]));
	HeyRequest request;
	if (!request.Parse(std::vector<std::string>(argv + 3, argv + argc))) {
		fprintf(stderr, "%s\n", request.Error().c_str());
		return 2;
	}
	if (!BPrivate::start_command_line_client())
		return 2;
	BMessenger target = BMessenger::FromAddress({(team_id)atoi(argv[1]), -1, -1});
	BMessage reply;
	if (target.SendMessage(&request.Message(), &reply, 30000000, 30000000) != B_OK)
		return 1;

	const ssize_t size = reply.FlattenedSize();
	std::string buffer((size_t)size, '\0');
	const double flatten = median_us(runs, [&] { reply.Flatten(buffer.data(), size); });
	const double unflatten = median_us(runs, [&] {
		BMessage back;
		back.Unflatten(buffer.data());
	});
	printf("%.0f %.0f %zd\n", flatten, unflatten, size);
	return 0;
}
