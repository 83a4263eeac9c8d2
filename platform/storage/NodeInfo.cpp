#include "NodeInfo.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "AttrIO.h"
#include "Message.h"
#include "Node.h"
#include "StoragePrivate.h"

using namespace BPrivate;

namespace {

const char* kTypeAttribute = "user.mime_type";
const char* kLocaleType = "locale/x-vnd.vessmor-locale";
const char* kLocaleAppIdField = "zt:app_id";

// Far beyond any real locale file; keeps a huge file from being read whole
// just to be told apart.
const off_t kMaxSniffSize = 16 * 1024 * 1024;

bool has_message_magic(const unsigned char* head)
{
	static const char* const kMagics[] = {"1BOF", "FOB1", "HMF1"};
	for (const char* magic : kMagics) {
		if (memcmp(head, magic, 4) == 0)
			return true;
	}
	return false;
}

// Reads a regular file whole through a descriptor of its own, so that the
// node's position (a BFile's) stays untouched.
bool read_content(int nodeFd, std::vector<char>* content)
{
	std::string procPath = "/proc/self/fd/" + std::to_string(nodeFd);
	int fd = open(procPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
	if (fd < 0)
		return false;
	struct stat info;
	bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 4 &&
	          info.st_size <= kMaxSniffSize;
	if (ok) {
		unsigned char head[4];
		ok = pread(fd, head, sizeof(head), 0) == (ssize_t)sizeof(head) && has_message_magic(head);
	}
	if (ok) {
		content->resize((size_t)info.st_size);
		size_t done = 0;
		while (done < content->size()) {
			ssize_t count = pread(fd, content->data() + done, content->size() - done, (off_t)done);
			if (count < 0 && errno == EINTR)
				continue;
			if (count <= 0)
				break;
			done += (size_t)count;
		}
		content->resize(done);
	}
	close(fd);
	return ok;
}

// The type told by content, or nullptr.
const char* sniff_type(int nodeFd)
{
	std::vector<char> content;
	if (!read_content(nodeFd, &content))
		return nullptr;
	BMessage message;
	if (message.Unflatten(content.data(), content.size()) != B_OK)
		return nullptr;
	const char* appId = nullptr;
	if (message.FindString(kLocaleAppIdField, &appId) != B_OK)
		return nullptr;
	return kLocaleType;
}

bool is_valid_type(const char* type)
{
	size_t length = strlen(type);
	if (length == 0 || length >= B_MIME_TYPE_LENGTH)
		return false;
	const char* slash = strchr(type, '/');
	if (slash == nullptr || slash == type)
		return false;
	for (size_t i = 0; i < length; i++) {
		unsigned char c = (unsigned char)type[i];
		if (c <= 0x20 || c == 0x7f)
			return false;
	}
	return true;
}

} // namespace

BNodeInfo::BNodeInfo() : mNode(nullptr), mStatus(B_NO_INIT) {}

BNodeInfo::BNodeInfo(BNode* node) : mNode(nullptr), mStatus(B_NO_INIT)
{
	SetTo(node);
}

BNodeInfo::~BNodeInfo() {}

status_t BNodeInfo::SetTo(BNode* node)
{
	mNode = nullptr;
	if (node == nullptr || node->InitCheck() != B_OK)
		return mStatus = B_BAD_VALUE;
	mNode = node;
	return mStatus = B_OK;
}

status_t BNodeInfo::InitCheck() const
{
	return mStatus;
}

status_t BNodeInfo::GetType(char* type) const
{
	if (const status_t status = BPrivate::check_getter(type, mStatus); status != B_OK)
		return status;
	if (mNode->InitCheck() != B_OK)
		return B_NO_INIT;
	std::vector<char> value;
	status_t status = read_xattr(AttrTarget{mNode->mFd, mNode->mPathOnly}, kTypeAttribute, &value);
	// Other tools may have stored the type with a NUL.
	while (!value.empty() && value.back() == '\0')
		value.pop_back();
	if (status == B_OK && !value.empty()) {
		size_t length = std::min(value.size(), (size_t)B_MIME_TYPE_LENGTH - 1);
		memcpy(type, value.data(), length);
		type[length] = '\0';
		return B_OK;
	}
	const char* sniffed = sniff_type(mNode->mFd);
	if (sniffed == nullptr)
		return B_ENTRY_NOT_FOUND;
	strcpy(type, sniffed);
	return B_OK;
}

status_t BNodeInfo::SetType(const char* type)
{
	if (mStatus != B_OK)
		return mStatus;
	if (mNode->InitCheck() != B_OK)
		return B_NO_INIT;
	AttrTarget target{mNode->mFd, mNode->mPathOnly};
	if (type == nullptr) {
		status_t status = remove_xattr(target, kTypeAttribute);
		return status == B_ENTRY_NOT_FOUND ? B_OK : status;
	}
	if (!is_valid_type(type))
		return B_BAD_VALUE;
	return write_xattr(target, kTypeAttribute, type, strlen(type));
}
