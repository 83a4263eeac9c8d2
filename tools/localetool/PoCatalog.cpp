#include "PoCatalog.h"

#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

#include "PoProblems.h"

PoCatalog::~PoCatalog()
{
	_Free();
}

bool PoCatalog::Parse(std::string_view bytes, const std::string& name, std::string* error)
{
	_Free();
	// The library reads only from a name. An anonymous memory file holding
	// exactly these bytes gives it one that leads nowhere else: it cannot
	// read more than was checked, nor another file put in place meanwhile.
	const int fd = memfd_create("localetool-po", MFD_CLOEXEC);
	if (fd < 0) {
		*error = std::string("cannot be read: ") + strerror(errno);
		return false;
	}
	size_t done = 0;
	while (done < bytes.size()) {
		const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
		if (written < 0 && errno == EINTR)
			continue;
		if (written <= 0) {
			*error = std::string("cannot be read: ") + strerror(written < 0 ? errno : EIO);
			close(fd);
			return false;
		}
		done += (size_t)written;
	}
	const std::string path = "/proc/self/fd/" + std::to_string(fd);
	PoProblems::Begin(name);
	mFile = po_file_read(path.c_str(), PoProblems::Handler());
	close(fd);
	if (mFile == nullptr) {
		*error = "cannot be read";
		return false;
	}
	if (!PoProblems::FirstError().empty()) {
		*error = PoProblems::FirstError();
		_Free();
		return false;
	}
	return true;
}

std::vector<std::string> PoCatalog::Domains() const
{
	std::vector<std::string> domains;
	if (mFile == nullptr)
		return domains;
	for (const char* const* domain = po_file_domains(mFile); *domain != nullptr; domain++)
		domains.emplace_back(*domain);
	return domains;
}

void PoCatalog::_Free()
{
	if (mFile == nullptr)
		return;
	for (const std::string& domain : Domains()) {
		po_message_iterator_t iterator = po_message_iterator(mFile, domain.c_str());
		while (po_message_t message = po_next_message(iterator)) {
			if (po_message_msgctxt(message) != nullptr)
				po_message_set_msgctxt(message, nullptr);
		}
		po_message_iterator_free(iterator);
	}
	po_file_free(mFile);
	mFile = nullptr;
}
