#include "LocaleFile.h"

#include <cstring>
#include <memory>
#include <string>

#include <File.h>
#include <Message.h>
#include <Node.h>
#include <NodeInfo.h>
#include <SafeFile.h>
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

status_t WriteReplacing(const char* path, const BMessage& message, const char* language)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	SafeFile file;
	status_t status = file.SetTo(path);
	if (status != B_OK)
		return status;
	if (file.ReplacesFile()) {
		// A rename would go around a file the user made read-only: it must
		// be writable as it stands (opening it so changes nothing in it).
		status = BFile(file.TargetPath(), B_WRITE_ONLY).InitCheck();
	} else {
		// Files are created with the umask applied; a new locale file is
		// readable by everyone whatever the umask says.
		status = file.SetPermissions(kNewFileMode);
	}
	// The old file's attributes come along; a language it named is no longer
	// what the body says.
	if (status == B_OK && language == nullptr)
		file.RemoveAttr(kLocaleLanguageAttr);
	if (status == B_OK)
		status = LocaleFile::WriteInto(&file, message, language);
	if (status == B_OK)
		status = file.Commit();
	return status;
}

} // namespace

status_t LocaleFile::Read(const char* path, BMessage* message, interrupted_write_report* repair)
{
	if (repair != nullptr)
		*repair = interrupted_write_report();
	if (message == nullptr)
		return B_BAD_VALUE;
	message->MakeEmpty();
	message->what = 0;
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	// Before the first byte is read: a file cut short in the middle of a
	// save is whole again afterwards, or the report says where its text is.
	repair_interrupted_write(path, repair);
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
	if (size > kLocaleFileMaxSize)
		return B_FILE_TOO_LARGE;
	if (size <= 0)
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

status_t LocaleFile::WriteInto(BFile* file, const BMessage& message, const char* language)
{
	if (file == nullptr)
		return B_BAD_VALUE;
	status_t status = file->InitCheck();
	if (status != B_OK)
		return status;

	ssize_t size = message.FlattenedSize();
	if (size <= 0)
		return size < 0 ? (status_t)size : B_BAD_VALUE;
	std::unique_ptr<char[]> body(new (std::nothrow) char[size]);
	if (!body)
		return B_NO_MEMORY;
	status = message.Flatten(body.get(), size);
	if (status == B_OK)
		status = WriteAll(file, body.get(), (size_t)size);
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
	return B_OK;
}

status_t LocaleFile::Write(const char* path, const BMessage& message, const char* language,
                           std::string* reason)
{
	status_t status = WriteReplacing(path, message, language);
	if (reason != nullptr)
		*reason = status != B_OK ? b_status_string(status) : "";
	return status;
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
