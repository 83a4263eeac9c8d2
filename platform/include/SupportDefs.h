// Basic types of the layer: fixed-width integers, status codes, time.
#ifndef _SUPPORT_DEFS_H
#define _SUPPORT_DEFS_H

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

#include "Errors.h"

typedef int8_t int8;
typedef uint8_t uint8;
typedef int16_t int16;
typedef uint16_t uint16;
typedef int32_t int32;
typedef uint32_t uint32;
typedef int64_t int64;
typedef uint64_t uint64;

typedef volatile int8 vint8;
typedef volatile int32 vint32;
typedef volatile int64 vint64;

typedef int32 status_t;
typedef int64 bigtime_t; // microseconds
typedef uint32 type_code;
typedef uint32 perform_code;
typedef int32 team_id; // the process id of an application
typedef int32 thread_id;
typedef int32 port_id;
typedef uintptr_t addr_t;
// dev_t, ino_t, off_t and ssize_t are the system's own (sys/types.h).

const bigtime_t B_INFINITE_TIMEOUT = INT64_MAX;

enum {
	B_FILE_NAME_LENGTH = 256,
	B_PATH_NAME_LENGTH = 1024,
	B_ATTR_NAME_LENGTH = 256,
	B_MIME_TYPE_LENGTH = 240,
	B_OS_NAME_LENGTH = 32,
};

extern const char* B_EMPTY_STRING;

#ifndef min_c
#define min_c(a, b) ((a) > (b) ? (b) : (a))
#endif
#ifndef max_c
#define max_c(a, b) ((a) > (b) ? (a) : (b))
#endif

#endif // _SUPPORT_DEFS_H
