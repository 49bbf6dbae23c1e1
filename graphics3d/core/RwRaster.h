/*
===============================================================================

	Rasters of the 3D library.

	A raster is a device-dependent picture: a texture, a camera's frame
	buffer or Z buffer, or a window into another raster (a sub-raster).
	The core owns the record, its free list, the plug-in space and the
	context stack; everything that touches pixels goes through the
	device's standard functions, called with (out, inOut, inInt).

	Every raster names in parent the raster that owns the pixels: itself
	for a raster made by RwRasterCreate, the root of the chain for a
	sub-raster. While locked, the device keeps the raster's own pixel
	pointer, size and stride in the four original fields.

	The context stack holds up to nine pushed rasters above entry 0, the
	module's placeholder raster (all zero but cFlags 0x80). A push beyond
	nine and a pop of an empty stack fail without calling the device.

	RwRasterShowRaster is called once per displayed frame; it also ages
	the resource arena (_rwResourcesPurge) before the device shows.

===============================================================================
*/
#ifndef RW_RASTER_H
#define RW_RASTER_H

#include "graphics3d/core/RwPlugin.h"

struct RwFreeList;

struct RwRaster {
	RwRaster*	parent;			// the raster that owns the pixels
	u8*			cpPixels;		// set by a lock
	u8*			palette;		// set by a palette lock
	s32			width;
	s32			height;
	s32			depth;
	s32			stride;
	s16			nOffsetX;		// position within the parent
	s16			nOffsetY;
	u8			cType;			// raster type
	u8			cFlags;			// RWRASTER_DONTALLOCATE ...
	u8			privateFlags;	// RWRASTER_PRIVATE_* ...
	u8			cFormat;		// format bits 8-15 of the create flags
	u8*			originalPixels;	// kept by the device while locked
	s32			originalWidth;
	s32			originalHeight;
	s32			originalStride;
};

// A rectangle in pixels.
struct RwRect {
	s32		x;
	s32		y;
	s32		w;
	s32		h;
};

// Raster types (the low three bits of the create flags).
enum RwRasterType : u8 {
	rwRASTERTYPENORMAL			= 0,
	rwRASTERTYPEZBUFFER			= 1,
	rwRASTERTYPECAMERA			= 2,
	rwRASTERTYPETEXTURE			= 4,
	rwRASTERTYPECAMERATEXTURE	= 5,
};
constexpr u32 rwRASTERTYPEMASK				= 0x07;

// cFlags: the raster has no pixel memory of its own.
constexpr u8 rwRASTERDONTALLOCATE			= 0x80;

// Format bits of the create flags (cFormat holds them shifted down 8).
constexpr u32 rwRASTERFORMATDEFAULT			= 0x0000;
constexpr u32 rwRASTERFORMAT565				= 0x0200;
constexpr u32 rwRASTERFORMAT8888			= 0x0500;
constexpr u32 rwRASTERFORMATPIXELFORMATMASK	= 0x0F00;
constexpr u32 rwRASTERFORMATAUTOMIPMAP		= 0x1000;
constexpr u32 rwRASTERFORMATPAL8			= 0x2000;
constexpr u32 rwRASTERFORMATPAL4			= 0x4000;
constexpr u32 rwRASTERFORMATMIPMAP			= 0x8000;
constexpr u32 rwRASTERFORMATMASK			= 0xFF00;

// privateFlags bits.
constexpr u8 rwRASTERGAMMACORRECTED			= 0x01;
constexpr u8 rwRASTERPIXELLOCKEDREAD		= 0x02;
constexpr u8 rwRASTERPIXELLOCKEDWRITE		= 0x04;
constexpr u8 rwRASTERPALETTELOCKEDREAD		= 0x08;
constexpr u8 rwRASTERPALETTELOCKEDWRITE		= 0x10;

// Lock modes.
constexpr s32 rwRASTERLOCKWRITE				= 0x01;
constexpr s32 rwRASTERLOCKREAD				= 0x02;
constexpr s32 rwRASTERLOCKREADWRITE			= 0x03;

// Standard ids the raster module calls.
enum RwRasterStandard : s32 {
	rwSTANDARDRASTERCREATE			= 4,
	rwSTANDARDRASTERDESTROY			= 5,
	rwSTANDARDSETRASTERCONTEXT		= 11,
	rwSTANDARDRASTERSUBRASTER		= 12,
	rwSTANDARDRASTERCLEAR			= 14,
	rwSTANDARDRASTERLOCK			= 15,
	rwSTANDARDRASTERUNLOCK			= 16,
	rwSTANDARDRASTERSHOWRASTER		= 20,
	rwSTANDARDRASTERLOCKPALETTE		= 23,
	rwSTANDARDRASTERUNLOCKPALETTE	= 24,
	rwSTANDARDRASTERGETMIPLEVELS	= 28,
};

// Entries of the context stack, the placeholder at entry 0 included.
constexpr s32 RWRASTER_CONTEXT_STACK_SIZE	= 10;
// Entries per block of the raster free list.
constexpr s32 RWRASTER_ENTRIES_PER_BLOCK	= 128;

// The module's globals in the engine instance.
struct RwRasterGlobals {
	RwRaster*	rasterStack[RWRASTER_CONTEXT_STACK_SIZE];	// entry 0: dummyRaster
	s32			rasterSP;		// index of the top entry, 0 when empty
	RwRaster	dummyRaster;	// the placeholder below every pushed raster
	RwFreeList*	rasterFreeList;
};

extern RwModuleInfo		rasterModule;
extern RwPluginRegistry	rasterTKList;

// A raster made by the device from the flags (type in bits 0-7, format
// in bits 8-15); null when the device refuses.
RwRaster*	RwRasterCreate( s32 width, s32 height, s32 depth, s32 flags );
// True whatever the device answers.
bool		RwRasterDestroy( RwRaster* raster );

// The pixels of a mip level, or null.
u8*			RwRasterLock( RwRaster* raster, u8 level, s32 lockMode );
RwRaster*	RwRasterUnlock( RwRaster* raster );
u8*			RwRasterLockPalette( RwRaster* raster, s32 lockMode );
RwRaster*	RwRasterUnlockPalette( RwRaster* raster );

// Null when the stack is full or the device refuses.
RwRaster*	RwRasterPushContext( RwRaster* raster );
// The raster removed, or null (empty stack, or the device refused the new
// top, in which case the raster is removed all the same).
RwRaster*	RwRasterPopContext();
// Clears the raster on top; core error 21 without one.
bool		RwRasterClear( s32 pixelValue );
RwRaster*	RwRasterShowRaster( RwRaster* raster, void* dev, u32 flags );

// Makes subRaster (created with cFlags 0x80) a window of rect into raster.
RwRaster*	RwRasterSubRaster( RwRaster* subRaster, RwRaster* raster, const RwRect* rect );
// 1 without mipmaps, else the device's count; -1 on failure.
s32			RwRasterGetNumLevels( RwRaster* raster );

s32			RwRasterRegisterPlugin( s32 size, u32 pluginID, RwPluginObjectConstructor constructCB,
									RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB );
s32			RwRasterGetPluginOffset( u32 pluginID );

// Engine plug-in open and close.
void*		_rwRasterOpen( void* instance, s32 offset, s32 size );
void*		_rwRasterClose( void* instance, s32 offset, s32 size );

#endif
