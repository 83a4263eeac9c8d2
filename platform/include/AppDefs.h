// Message codes ('what') of the framework, roster watch flags, node monitor
// opcodes and watch flags.
#ifndef _APP_DEFS_H
#define _APP_DEFS_H

#include "SupportDefs.h"

// Framework message codes.
enum {
	B_ABOUT_REQUESTED = '_ABR',
	B_ARGV_RECEIVED = '_ARG',
	B_CANCEL = '_CNC',
	B_KEY_DOWN = '_KYD',
	B_KEY_UP = '_KYU',
	B_MOUSE_DOWN = '_MDN',
	B_MOUSE_MOVED = '_MMV',
	B_MOUSE_UP = '_MUP',
	B_PULSE = '_PUL',
	B_QUIT_REQUESTED = '_QRQ',
	B_READY_TO_RUN = '_RTR',
	B_REFS_RECEIVED = '_RRC',
	B_WINDOW_ACTIVATED = '_ACT',
	B_WINDOW_MOVED = '_WMV',
	B_WINDOW_RESIZED = '_WRS',

	B_GET_PROPERTY = 'PGET',
	B_SET_PROPERTY = 'PSET',
	B_CREATE_PROPERTY = 'PCRT',
	B_DELETE_PROPERTY = 'PDEL',
	B_COUNT_PROPERTIES = 'PCNT',
	B_EXECUTE_PROPERTY = 'PEXE',
	B_GET_SUPPORTED_SUITES = 'SUIT',

	B_REPLY = 'RPLY',
	B_MESSAGE_NOT_UNDERSTOOD = 'MNOT',
	B_NO_REPLY = 'NONE',

	B_NODE_MONITOR = 'NDMN',
	B_SOME_APP_LAUNCHED = 'BRAS',
	B_SOME_APP_QUIT = 'BRAQ',
	B_SOME_APP_ACTIVATED = 'BRAW',

	B_UNDO = 'UNDO',
	B_REDO = 'REDO',
	B_CUT = 'CCUT',
	B_COPY = 'COPY',
	B_PASTE = 'PSTE',
	B_SELECT_ALL = 'SALL',
	B_SIMPLE_DATA = 'DATA',
	B_SAVE_REQUESTED = 'SAVE',
};

// BRoster::StartWatching masks.
enum {
	B_REQUEST_LAUNCHED = 0x00000001,
	B_REQUEST_QUIT = 0x00000002,
	B_REQUEST_ACTIVATED = 0x00000004,
};

// Application flags.
enum {
	B_SINGLE_LAUNCH = 0x0,
	B_MULTIPLE_LAUNCH = 0x1,
	B_EXCLUSIVE_LAUNCH = 0x2,
	B_LAUNCH_MASK = 0x3,
	B_BACKGROUND_APP = 0x4,
	B_ARGV_ONLY = 0x8,
};

// Node monitor watch flags.
enum {
	B_STOP_WATCHING = 0x00,
	B_WATCH_NAME = 0x01,
	B_WATCH_STAT = 0x02,
	B_WATCH_ATTR = 0x04,
	B_WATCH_DIRECTORY = 0x08,
	B_WATCH_ALL = 0x0F,
	B_WATCH_MOUNT = 0x10,
};

// Node monitor opcodes (field "opcode" of a B_NODE_MONITOR message).
enum {
	B_ENTRY_CREATED = 1,
	B_ENTRY_REMOVED = 2,
	B_ENTRY_MOVED = 3,
	B_STAT_CHANGED = 4,
	B_ATTR_CHANGED = 5,
	B_DEVICE_MOUNTED = 6,
	B_DEVICE_UNMOUNTED = 7,
};

#endif // _APP_DEFS_H
