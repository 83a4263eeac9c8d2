#include "LocaleFile.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include <Entry.h>
#include <File.h>
#include <Message.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Path.h>
#include <TypeConstants.h>

const char* const kLocaleFieldVersion = "zt:version";
const char* const kLocaleFieldAppID = "zt:app_id";
const char* const kLocaleFieldLanguage = "zt:language";
const char* const kLocaleFieldText = "zt:text";
const char* const kLocaleLanguageAttr = "zt:language";
const char* const kLocaleMimeType = "locale/x-vnd.vessmor-locale";

namespace {

const mode_t kNewFileMode = 0644;

// File systems without extended attributes (FAT, older NFS) still take the
// body, and the body carries everything a reader needs; only there is a
// missing attribute or type no reason to refuse the save.
bool IsUnsupported(status_t status)
{
	return status == B_NOT_SUPPORTED || status == B_UNSUPPORTED;
}

std::string TemporaryName(const std::string& folder, const char* leaf)
{
	thread_local std::mt19937 generator(std::random_device{}());
	// Leave room for the suffix within the file system's name limit.
	std::string base(leaf, strnlen(leaf, 200));
	char suffix[16];
	snprintf(suffix, sizeof(suffix), ".%08x", (unsigned)generator());
	return folder + "/." + base + suffix + ".tmp";
}

status_t WriteAll(BFile* file, const char* data, size_t size)
{
	size_t done = 0;
	while (done < size) {
		ssize_t written = file->Write(data + done, size - done);
		if (written < 0)
			return (status_t)written;
		if (written == 0)
			return B_IO_ERROR;
		done += (size_t)written;
	}
	return B_OK;
}

// Writes everything of the new file under its temporary name; the caller
// renames it into place.
status_t FillTemporary(BFile* file, const char* body, size_t size, const char* language,
                       mode_t mode)
{
	status_t status = WriteAll(file, body, size);
	if (status != B_OK)
		return status;

	if (language != nullptr) {
		size_t length = strlen(language);
		ssize_t written = file->WriteAttr(kLocaleLanguageAttr, B_STRING_TYPE, 0, language, length);
		if (written < 0 && !IsUnsupported((status_t)written))
			return (status_t)written;
		if (written >= 0 && (size_t)written != length)
			return B_IO_ERROR;
	}

	BNodeInfo info;
	status = info.SetTo(file);
	if (status == B_OK)
		status = info.SetType(kLocaleMimeType);
	if (status != B_OK && !IsUnsupported(status))
		return status;

	// Files are created with the umask applied; the new file takes the
	// replaced file's mode exactly.
	status = file->SetPermissions(mode);
	if (status != B_OK)
		return status;

	return file->Sync();
}

void SetReason(std::string* reason, status_t status)
{
	if (reason != nullptr)
		*reason = b_status_string(status);
}

} // namespace

status_t LocaleFile::Read(const char* path, BMessage* message)
{
	if (message == nullptr)
		return B_BAD_VALUE;
	message->MakeEmpty();
	message->what = 0;
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	BFile file(path, B_READ_ONLY);
	status_t status = file.InitCheck();
	if (status != B_OK)
		return status;
	return Read(&file, message);
}

status_t LocaleFile::Read(BFile* file, BMessage* message)
{
	if (message == nullptr)
		return B_BAD_VALUE;
	message->MakeEmpty();
	message->what = 0;
	if (file == nullptr)
		return B_BAD_VALUE;
	status_t status = file->InitCheck();
	if (status != B_OK)
		return status;

	off_t size = 0;
	status = file->GetSize(&size);
	if (status != B_OK)
		return status;
	if (size <= 0 || size > kLocaleFileMaxSize)
		return B_BAD_DATA;

	std::unique_ptr<char[]> buffer(new (std::nothrow) char[size]);
	if (!buffer)
		return B_NO_MEMORY;
	ssize_t bytesRead = file->ReadAt(0, buffer.get(), (size_t)size);
	if (bytesRead < 0)
		return (status_t)bytesRead;
	if (bytesRead != size)
		return B_IO_ERROR;

	status = message->Unflatten(buffer.get(), (size_t)size);
	if (status != B_OK) {
		message->MakeEmpty();
		message->what = 0;
	}
	return status;
}

status_t LocaleFile::Write(const char* path, const BMessage& message, const char* language,
                           std::string* reason)
{
	if (reason != nullptr)
		reason->clear();
	if (path == nullptr || path[0] == '\0') {
		SetReason(reason, B_BAD_VALUE);
		return B_BAD_VALUE;
	}

	// Through a link, replace the file it points to and keep the link.
	BEntry target(path, true);
	status_t status = target.InitCheck();
	if (status == B_OK && target.Exists() && !target.IsFile())
		status = target.IsDirectory() ? B_IS_A_DIRECTORY : B_NOT_ALLOWED;
	if (status != B_OK) {
		SetReason(reason, status);
		return status;
	}
	const std::string targetPath = target.FullPath();
	BPath folder;
	status = BPath(targetPath.c_str()).GetParent(&folder);
	char leaf[B_FILE_NAME_LENGTH];
	if (status == B_OK)
		status = target.GetName(leaf);
	if (status != B_OK) {
		SetReason(reason, status);
		return status;
	}

	mode_t mode = kNewFileMode;
	if (target.Exists()) {
		// A rename would go around a file the user made read-only: it must
		// be writable as it stands (opening it so changes nothing in it).
		BFile existing(targetPath.c_str(), B_WRITE_ONLY);
		status = existing.InitCheck();
		if (status == B_OK)
			status = existing.GetPermissions(&mode);
		if (status != B_OK) {
			SetReason(reason, status);
			return status;
		}
	}

	ssize_t size = message.FlattenedSize();
	if (size <= 0) {
		status = size < 0 ? (status_t)size : B_BAD_VALUE;
		SetReason(reason, status);
		return status;
	}
	std::unique_ptr<char[]> body(new (std::nothrow) char[size]);
	if (!body) {
		SetReason(reason, B_NO_MEMORY);
		return B_NO_MEMORY;
	}
	status = message.Flatten(body.get(), size);
	if (status != B_OK) {
		SetReason(reason, status);
		return status;
	}

	// A fresh name each try: another save in the same folder may be running.
	std::string temporary;
	BFile file;
	for (int attempt = 0; attempt < 16; attempt++) {
		temporary = TemporaryName(folder.Path(), leaf);
		status = file.SetTo(temporary.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_FAIL_IF_EXISTS);
		if (status != B_FILE_EXISTS)
			break;
	}
	if (status != B_OK) {
		SetReason(reason, status);
		return status;
	}

	status = FillTemporary(&file, body.get(), (size_t)size, language, mode);
	file.Unset();
	BEntry temporaryEntry(temporary.c_str());
	if (status == B_OK)
		status = temporaryEntry.Rename(targetPath.c_str(), true);
	if (status != B_OK) {
		temporaryEntry.Remove();
		SetReason(reason, status);
		return status;
	}

	// Make the rename itself durable; the file is complete either way.
	BNode folderNode(folder.Path());
	if (folderNode.InitCheck() == B_OK)
		folderNode.Sync();
	return B_OK;
}

void LocaleFile::Build(BMessage* message, const char* version, const char* appID,
                       const char* language, const char* const* texts, long count)
{
	if (message == nullptr)
		return;
	message->MakeEmpty();
	message->what = 0;
	message->AddString(kLocaleFieldVersion, version != nullptr ? version : "");
	message->AddString(kLocaleFieldAppID, appID != nullptr ? appID : "");
	message->AddString(kLocaleFieldLanguage, language != nullptr ? language : "");
	for (long i = 0; texts != nullptr && i < count; i++)
		message->AddString(kLocaleFieldText, texts[i] != nullptr ? texts[i] : "");
}
