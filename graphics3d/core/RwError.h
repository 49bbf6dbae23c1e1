/*
===============================================================================

	Error record of the 3D library.

	Every library function that fails records a {plug-in id, code} pair and
	returns null or false. The first error recorded since the last read is
	kept; later ones are dropped until RwErrorGet reads and clears it. Codes
	with the top bit set are common codes and are always recorded with
	plug-in id 0; other codes belong to the plug-in that raised them (the
	core is plug-in 1).

	While the error module is open (between RwEngineStart and RwEngineStop)
	the record lives in the module's space of the engine instance; at any
	other time it lives in a static record with the same first-error rule,
	so errors raised before start or after stop are never written into
	plug-in space that does not exist. An unread error moves with the
	record when the module opens and closes.

===============================================================================
*/
#ifndef RW_ERROR_H
#define RW_ERROR_H

#include "datatypes/base/DTTypes.h"

struct RwModuleInfo;

struct RwError {
	u32		pluginID;
	u32		errorCode;
};

// The core's own plug-in id for its non-common codes.
constexpr u32 RWPLUGIN_CORE = 1;

// Bit that marks a common code.
constexpr u32 RWERR_COMMON_BIT = 0x80000000;

// Every code the core raises.
enum RwErrorCode : u32 {
	RWERR_NONE					= 0x80000000,	// the no-error record's code
	RWERR_BAD_ENGINE_STATE		= 0x80000001,	// RwEngineOpen outside the initialised state
	RWERR_BAD_OPEN				= 0x80000002,	// a file cannot be opened (the name)
	RWERR_BAD_PARAMETER			= 0x80000003,	// an enumerated argument is out of range
	RWERR_BAD_VERSION			= 0x80000004,	// chunk version outside 0x31000..0x34003
	RWERR_IMAGE_DEPTH			= 0x80000008,	// depth not supported by gamma correction
	RWERR_IMAGE_FORMAT			= 0x80000009,	// depth conversion or mask depth not supported
	RWERR_IMAGE_SIZE			= 0x8000000A,	// image and mask sizes differ
	RWERR_NO_MEMORY				= 0x80000013,	// an allocation failed (the size)
	RWERR_NULL_ARGUMENT			= 0x80000016,	// a required argument is missing
	RWERR_PLUGIN_REFUSED		= 0x80000017,	// registration while open, or a duplicate id
	RWERR_READ					= 0x8000001A,	// a stream read failed
	RWERR_WRITE					= 0x8000001C,	// a stream write failed
	RWERR_END_OF_STREAM			= 5,			// read or skip past the end
	RWERR_RESOURCES				= 12,			// the resource arena cannot serve or be set up
	RWERR_BAD_ACCESS			= 13,			// access mode not valid for the stream type
	RWERR_BAD_STREAM_TYPE		= 14,			// stream type not valid for the operation
	RWERR_NO_CAMERA				= 16,			// render state set outside a camera update
	RWERR_NO_RASTER_CONTEXT		= 21,			// raster cleared with no context pushed
	RWERR_DEVICE_REFUSED		= 24,			// the device refused a request (its number)
	RWERR_ZERO_LENGTH_VECTOR	= 25,			// a vector of zero length is normalised
};

// The error module's globals in the engine instance.
struct RwErrorGlobals {
	RwError	errorCode;
};

// Offset and open count of the error module.
extern RwModuleInfo	errorModule;

// Builds the code to record. The further arguments describe the failure
// for a debugger; they are not kept.
u32			_rwerror( u32 code, ... );

// Records the error unless one is already recorded. Returns its argument.
RwError*	RwErrorSet( RwError* code );

// Records a code of the core (plug-in 1, or 0 for a common code).
void		_rwErrorSetCore( u32 code );

// Copies the error recorded in the record in use into out, then resets
// that record to the no-error record. Returns out.
RwError*	RwErrorGet( RwError* out );

// Engine plug-in open and close: open starts the instance's record from
// the static one, close hands it back.
void*		_rwErrorOpen( void* instance, s32 offset, s32 size );
void*		_rwErrorClose( void* instance, s32 offset, s32 size );

#endif
