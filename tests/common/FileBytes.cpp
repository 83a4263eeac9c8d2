#include "FileBytes.h"

#include <fstream>
#include <sstream>

std::string ReadFileBytes(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	std::stringstream bytes;
	bytes << in.rdbuf();
	return bytes.str();
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
	std::ofstream out(path, std::ios::binary | std::ios::trunc);
	out.write(bytes.data(), (std::streamsize)bytes.size());
	out.close();
	return !out.fail();
}
