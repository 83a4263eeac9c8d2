#include "Errors.h"

#include <cerrno>

int32_t b_from_errno(int error)
{
	switch (error) {
	case 0:
		return B_OK;
	case ENOMEM:
		return B_NO_MEMORY;
	case EIO:
		return B_IO_ERROR;
	case EACCES:
		return B_PERMISSION_DENIED;
	case EPERM:
		return B_NOT_ALLOWED;
	case EINVAL:
		return B_BAD_VALUE;
	case ETIMEDOUT:
		return B_TIMED_OUT;
	case EINTR:
		return B_INTERRUPTED;
	case EAGAIN:
		return B_WOULD_BLOCK;
	case ECANCELED:
		return B_CANCELED;
	case EBUSY:
		return B_BUSY;
	case ENOENT:
		return B_ENTRY_NOT_FOUND;
	case EEXIST:
		return B_FILE_EXISTS;
	case ENAMETOOLONG:
		return B_NAME_TOO_LONG;
	case ENOTDIR:
		return B_NOT_A_DIRECTORY;
	case ENOTEMPTY:
		return B_DIRECTORY_NOT_EMPTY;
	case ENOSPC:
		return B_DEVICE_FULL;
	case EDQUOT:
		return B_DEVICE_FULL;
	case EROFS:
		return B_READ_ONLY_DEVICE;
	case EISDIR:
		return B_IS_A_DIRECTORY;
	case EMFILE:
		return B_NO_MORE_FDS;
	case ENFILE:
		return B_NO_MORE_FDS;
	case EXDEV:
		return B_CROSS_DEVICE_LINK;
	case ELOOP:
		return B_LINK_LIMIT;
	case EPIPE:
		return B_BUSTED_PIPE;
	case ENOTSUP:
		return B_UNSUPPORTED;
	case ENODATA:
		return B_ENTRY_NOT_FOUND;
	case E2BIG:
		return B_BAD_VALUE;
	case ERANGE:
		return B_BUFFER_OVERFLOW;
	case EFAULT:
		return B_BAD_ADDRESS;
	case EBADF:
		return B_FILE_ERROR;
	case ESRCH:
		return B_BAD_TEAM_ID;
	case EFBIG:
		return B_DEVICE_FULL;
	default:
		return B_ERROR;
	}
}

const char* b_status_string(int32_t status)
{
	switch (status) {
	case B_OK:
		return "No error";
	case B_ERROR:
		return "General error";
	case B_NO_MEMORY:
		return "Out of memory";
	case B_IO_ERROR:
		return "I/O error";
	case B_PERMISSION_DENIED:
		return "Permission denied";
	case B_BAD_INDEX:
		return "Index not in range for the data set";
	case B_BAD_TYPE:
		return "Bad argument type passed to function";
	case B_BAD_VALUE:
		return "Bad value passed to function";
	case B_MISMATCHED_VALUES:
		return "Mismatched values passed to function";
	case B_NAME_NOT_FOUND:
		return "Name not found";
	case B_NAME_IN_USE:
		return "Name in use";
	case B_TIMED_OUT:
		return "Operation timed out";
	case B_INTERRUPTED:
		return "Interrupted system call";
	case B_WOULD_BLOCK:
		return "Operation would block";
	case B_CANCELED:
		return "Operation canceled";
	case B_NO_INIT:
		return "Initialization failed";
	case B_BUSY:
		return "Device/File/Resource busy";
	case B_NOT_ALLOWED:
		return "Operation not allowed";
	case B_BAD_DATA:
		return "Bad data";
	case B_DONT_DO_THAT:
		return "Operation not allowed";
	case B_BAD_SEM_ID:
		return "Bad semaphore ID";
	case B_NO_MORE_SEMS:
		return "No more semaphores";
	case B_BAD_THREAD_ID:
		return "Bad thread ID";
	case B_NO_MORE_THREADS:
		return "No more threads";
	case B_BAD_THREAD_STATE:
		return "Thread is inappropriate state";
	case B_BAD_TEAM_ID:
		return "Operation on invalid team";
	case B_NO_MORE_TEAMS:
		return "No more teams";
	case B_BAD_PORT_ID:
		return "Bad port ID";
	case B_NO_MORE_PORTS:
		return "No more ports available";
	case B_BAD_REPLY:
		return "Bad reply";
	case B_DUPLICATE_REPLY:
		return "Duplicate reply";
	case B_MESSAGE_TO_SELF:
		return "Cannot send message to self";
	case B_BAD_HANDLER:
		return "Bad handler";
	case B_ALREADY_RUNNING:
		return "Already running";
	case B_LAUNCH_FAILED:
		return "Launch failed";
	case B_AMBIGUOUS_APP_LAUNCH:
		return "Ambiguous app launch";
	case B_UNKNOWN_MIME_TYPE:
		return "Unknown MIME type";
	case B_BAD_SCRIPT_SYNTAX:
		return "Bad script syntax";
	case B_LAUNCH_FAILED_NO_RESOLVE_LINK:
		return "Could not resolve a link";
	case B_LAUNCH_FAILED_EXECUTABLE:
		return "File is mistakenly marked as executable";
	case B_LAUNCH_FAILED_APP_NOT_FOUND:
		return "Application could not be found";
	case B_LAUNCH_FAILED_APP_IN_TRASH:
		return "Application is in the trash";
	case B_LAUNCH_FAILED_NO_PREFERRED_APP:
		return "There is no preferred application";
	case B_LAUNCH_FAILED_FILES_APP_NOT_FOUND:
		return "The file's preferred application could not be found";
	case B_BAD_MIME_SNIFFER_RULE:
		return "Bad sniffer rule";
	case B_NOT_A_MESSAGE:
		return "Data is not a message";
	case B_SHUTDOWN_CANCELLED:
		return "System shutdown cancelled";
	case B_SHUTTING_DOWN:
		return "System shutting down";
	case B_FILE_ERROR:
		return "Bad file descriptor";
	case B_FILE_NOT_FOUND:
	case B_ENTRY_NOT_FOUND:
		return "No such file or directory";
	case B_FILE_EXISTS:
		return "File or directory already exists";
	case B_NAME_TOO_LONG:
		return "File name too long";
	case B_NOT_A_DIRECTORY:
		return "Not a directory";
	case B_DIRECTORY_NOT_EMPTY:
		return "Directory not empty";
	case B_DEVICE_FULL:
		return "No space left on device";
	case B_READ_ONLY_DEVICE:
		return "Read-only file system";
	case B_IS_A_DIRECTORY:
		return "Is a directory";
	case B_NO_MORE_FDS:
		return "Too many open files";
	case B_CROSS_DEVICE_LINK:
		return "Cross-device link";
	case B_LINK_LIMIT:
		return "Too many symbolic links";
	case B_BUSTED_PIPE:
		return "Broken pipe";
	case B_UNSUPPORTED:
		return "Operation not supported";
	case B_PARTITION_TOO_SMALL:
		return "Partition too small";
	case B_BUFFER_OVERFLOW:
		return "Buffer too small";
	case B_BAD_ADDRESS:
		return "Bad address";
	case B_RESULT_NOT_REPRESENTABLE:
		return "Result not representable";
	case B_NOT_SUPPORTED:
		return "Not supported";
	case B_FILE_TOO_LARGE:
		return "File too large";
	default:
		return "Unknown error";
	}
}
