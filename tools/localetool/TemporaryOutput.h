// An output file of localetool written under a temporary name in its folder
// and renamed over its real name only once complete, so that bad input or a
// failed write never leaves a broken or half written file behind.
#ifndef TEMPORARY_OUTPUT_H
#define TEMPORARY_OUTPUT_H

#include <string>

class TemporaryOutput
{
public:
	TemporaryOutput() = default;
	TemporaryOutput(const TemporaryOutput&) = delete;
	TemporaryOutput& operator=(const TemporaryOutput&) = delete;
	// Removes the temporary file unless Commit succeeded.
	~TemporaryOutput();

	// Creates an empty temporary file beside path. On failure answers false
	// with the reason in error.
	bool Create(const std::string& path, std::string* error);

	// Writes bytes into the temporary file.
	bool Write(const std::string& bytes, std::string* error);

	// Gives the file the permissions of the file it replaces (or 0644),
	// flushes it and renames it over path.
	bool Commit(std::string* error);

private:
	std::string mPath;
	std::string mTemporary;
};

#endif // TEMPORARY_OUTPUT_H
