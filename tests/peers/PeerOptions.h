// Command-line options of the test peers: "--name=value" or "--flag".
#ifndef PEER_OPTIONS_H
#define PEER_OPTIONS_H

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

struct PeerOption
{
	std::string name;
	std::string value;
	bool hasValue;
};

// Splits argv into options; anything not starting with "--" is left to the
// application (files). False on "--help" or a malformed option.
inline bool parse_peer_options(int argc, char** argv, std::vector<PeerOption>* options)
{
	for (int i = 1; i < argc; i++) {
		std::string arg = argv[i];
		if (arg.rfind("--", 0) != 0)
			continue;
		if (arg == "--")
			break; // the rest are files
		if (arg == "--help")
			return false;
		size_t equals = arg.find('=');
		if (equals == std::string::npos)
			options->push_back(PeerOption{arg.substr(2), "", false});
		else
			options->push_back(PeerOption{arg.substr(2, equals - 2), arg.substr(equals + 1), true});
	}
	return true;
}

// Writes the whole text at once (a rename), so a reader never sees half.
inline void write_peer_file(const std::string& path, const std::string& text)
{
	if (path.empty())
		return;
	std::string temporary = path + ".tmp";
	{
		std::ofstream out(temporary, std::ios::trunc);
		out << text;
	}
	rename(temporary.c_str(), path.c_str());
}

// The exit status of a peer given options it does not take, with its usage
// on stderr.
inline int peer_usage_error(const char* usage)
{
	fputs(usage, stderr);
	return 2;
}

// Runs a peer application until it quits; the exit status. The application
// is made with new and deleted after Run, as the framework has it.
template <class Application, class Settings> int run_peer(const Settings& settings)
{
	Application* application = new Application(settings);
	application->Run();
	delete application;
	return 0;
}

#endif // PEER_OPTIONS_H
