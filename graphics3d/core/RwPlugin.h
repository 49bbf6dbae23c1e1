/*
===============================================================================

	Plug-in registry: per-object extension space.

	Every kind of library object (the engine instance, cameras, frames,
	images, rasters, textures, dictionaries and the world's objects) keeps
	one registry. A plug-in registers, while no engine instance is open, a
	number of bytes that every object of that kind will carry after its own
	fixed fields, with functions that construct, destroy and copy that space
	and optionally read, write and size it in the object's extension chunk.
	Objects are allocated at the registry's current size; each plug-in finds
	its bytes at the offset the registry gave it.

	Sizes grow in steps of 8 bytes so that plug-in space stays aligned for
	pointers on the host. Registration order is construction order;
	destruction runs the other way.

	Objects with plug-in space follow one pattern: their fixed fields are a
	struct, the plug-in space follows it, and RwPluginData gives typed
	access to the space at an offset.

===============================================================================
*/
#ifndef RW_PLUGIN_H
#define RW_PLUGIN_H

#include "datatypes/base/DTTypes.h"

struct RwStream;
struct RwFreeList;
struct RwPluginRegistry;

typedef void*		( *RwPluginObjectConstructor )( void* object, s32 offsetInObject, s32 sizeInObject );
typedef void*		( *RwPluginObjectDestructor )( void* object, s32 offsetInObject, s32 sizeInObject );
typedef void*		( *RwPluginObjectCopy )( void* dstObject, const void* srcObject, s32 offsetInObject, s32 sizeInObject );
typedef RwStream*	( *RwPluginDataChunkReadCallBack )( RwStream* stream, s32 binaryLength, void* object, s32 offsetInObject, s32 sizeInObject );
typedef RwStream*	( *RwPluginDataChunkWriteCallBack )( RwStream* stream, s32 binaryLength, const void* object, s32 offsetInObject, s32 sizeInObject );
typedef s32			( *RwPluginDataChunkGetSizeCallBack )( const void* object, s32 offsetInObject, s32 sizeInObject );
typedef bool		( *RwPluginDataChunkAlwaysCallBack )( void* object, s32 offsetInObject, s32 sizeInObject );
typedef bool		( *RwPluginDataChunkRightsCallBack )( void* object, s32 offsetInObject, s32 sizeInObject, u32 extraData );

// One registered plug-in of one registry.
struct RwPluginRegEntry {
	s32									offset;			// of the plug-in's space in the object
	s32									size;			// as registered
	u32									pluginID;
	RwPluginDataChunkReadCallBack		readCB;
	RwPluginDataChunkWriteCallBack		writeCB;
	RwPluginDataChunkGetSizeCallBack	getSizeCB;
	RwPluginDataChunkAlwaysCallBack		alwaysCB;
	RwPluginDataChunkRightsCallBack		rightsCB;
	RwPluginObjectConstructor			constructCB;
	RwPluginObjectDestructor			destructCB;
	RwPluginObjectCopy					copyCB;
	void*								unused;
	RwPluginRegEntry*					nextRegEntry;
	RwPluginRegEntry*					prevRegEntry;
	RwPluginRegistry*					parentRegistry;
};

// The registry of one object type.
struct RwPluginRegistry {
	s32					sizeOfStruct;		// current object size in bytes
	s32					origSizeOfStruct;	// the object's own fields, restored on reset
	s32					maxSizeOfStruct;	// 0 = no limit
	s32					unused;
	RwPluginRegEntry*	firstRegEntry;
	RwPluginRegEntry*	lastRegEntry;
};

// Where a module found its space and how often it is open. Every module
// registered with a registry keeps one.
struct RwModuleInfo {
	s32		globalsOffset;
	s32		numInstances;
};

// Typed access to the plug-in space of an object at an offset.
template< typename T >
inline T* RwPluginData( void* object, const s32 offset ) {
	return reinterpret_cast<T*>( static_cast<u8*>( object ) + offset );
}

// Plug-in sizes are rounded up to this so that offsets stay 8-aligned.
constexpr s32 RWPLUGIN_SIZE_ROUNDING = 8;

// Entries per block of the registry-entry free list.
constexpr s32 RWPLUGIN_ENTRIES_PER_BLOCK = 64;

// Chunk type of an extension chunk.
constexpr u32 RWCHUNK_EXTENSION = 0x03;

// The entry free list while the registry module is open, else null.
extern RwFreeList*			toolkitRegEntryFreeList;
// Registries that received entries while free lists were disabled.
extern RwPluginRegistry**	toolkitNonFLRegList;
extern s32					numRegToolkits;

// Do-nothing functions put in place of null ones; they return their first
// argument.
void*	PluginDefaultConstructor( void* object, s32 offsetInObject, s32 sizeInObject );
void*	PluginDefaultDestructor( void* object, s32 offsetInObject, s32 sizeInObject );
void*	PluginDefaultCopy( void* dstObject, const void* srcObject, s32 offsetInObject, s32 sizeInObject );

// Offset of the new plug-in's space, or -1. A duplicate id records
// 0x80000017 and returns the existing offset.
s32		_rwPluginRegistryAddPlugin( RwPluginRegistry* registry, s32 size, u32 pluginID,
									RwPluginObjectConstructor constructCB,
									RwPluginObjectDestructor destructCB,
									RwPluginObjectCopy copyCB );
s32		_rwPluginRegistryGetPluginOffset( const RwPluginRegistry* registry, u32 pluginID );

// Stream, always and rights functions of a registered plug-in; each
// returns its offset, or -1 for an id that was never registered.
s32		_rwPluginRegistryAddPluginStream( RwPluginRegistry* registry, u32 pluginID,
										  RwPluginDataChunkReadCallBack readCB,
										  RwPluginDataChunkWriteCallBack writeCB,
										  RwPluginDataChunkGetSizeCallBack getSizeCB );
s32		_rwPluginRegistryAddPlgnStrmlwysCB( RwPluginRegistry* registry, u32 pluginID,
											RwPluginDataChunkAlwaysCallBack alwaysCB );
s32		_rwPluginRegistryAddPlgnStrmRightsCB( RwPluginRegistry* registry, u32 pluginID,
											  RwPluginDataChunkRightsCallBack rightsCB );

// Constructors first to last; on a failure the earlier ones are undone,
// nearest first, and the result is null.
const RwPluginRegistry*	_rwPluginRegistryInitObject( const RwPluginRegistry* registry, void* object );
// Destructors last to first.
const RwPluginRegistry*	_rwPluginRegistryDeInitObject( const RwPluginRegistry* registry, void* object );
// Copy functions first to last; their results are not checked.
const RwPluginRegistry*	_rwPluginRegistryCopyObject( const RwPluginRegistry* registry, void* dstObject, const void* srcObject );

// Reads the object's extension chunk: each sub-chunk goes to the plug-in
// whose id it carries (unknown ones are skipped), then every always
// function runs. Null on any failure; a sub-chunk that does not fit in
// what is left of the extension chunk fails with 0x8000001A.
const RwPluginRegistry*	_rwPluginRegistryReadDataChunks( const RwPluginRegistry* registry, RwStream* stream, void* object );
// Skips an extension chunk sub-chunk by sub-chunk.
const RwPluginRegistry*	_rwPluginRegistrySkipDataChunks( const RwPluginRegistry* registry, RwStream* stream );
// Asks the plug-in's rights function; null without one or when it says no.
const RwPluginRegistry*	_rwPluginRegistryInvokeRights( const RwPluginRegistry* registry, u32 pluginID, void* object, u32 extraData );

bool	_rwPluginRegistryOpen();
// Releases every entry and resets every registry that has entries.
bool	_rwPluginRegistryClose();
// How many times the registries closed: once at each library term.
u32		_rwPluginRegistryCloseCount();

// An offset a registration gave, as a module keeps it between calls. It
// holds only until the registries close: after a library term it reads -1
// until the plug-in registers again, so the objects of a later run, made
// without the plug-in's space, are never read or written at it.
class RwPluginOffset {
public:
	void Set( const s32 given ) {
		offset = given;
		closes = _rwPluginRegistryCloseCount();
	}
	s32 Get() const {
		return closes == _rwPluginRegistryCloseCount() ? offset : -1;
	}

private:
	s32	offset = -1;
	u32	closes = 0;
};

#endif
