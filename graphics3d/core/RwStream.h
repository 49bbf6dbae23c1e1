/*
===============================================================================

	Stream module of the 3D library.

	Keeps streams over files and memory and their free list. For now the
	module only takes its place in the engine: its open and close succeed
	and touch nothing but the module's offset and open count; its globals
	are the space it reserves.

===============================================================================
*/
#ifndef RW_STREAM_H
#define RW_STREAM_H

#include "graphics3d/core/RwPlugin.h"

// Space the module reserves in the engine instance.
struct RwStreamGlobals {
	u8		reserved[4];
};

extern RwModuleInfo	streamModule;

// A stream; its fields belong to the stream module.
struct RwStream;

// Oldest and newest library versions a chunk may carry.
constexpr u32 RWLIBRARY_OLDEST_VERSION	= 0x31000;
constexpr u32 RWLIBRARY_NEWEST_VERSION	= 0x34003;

// Chunk search, chunk header read and skip. Until streams exist they
// fail.
bool		RwStreamFindChunk( RwStream* stream, u32 type, u32* lengthOut, u32* versionOut );
bool		_rwStreamReadChunkHeader( RwStream* stream, u32* typeOut, u32* lengthOut, u32* versionOut, u32* buildOut );
RwStream*	RwStreamSkip( RwStream* stream, u32 offset );

// Engine plug-in open and close.
void*	_rwStreamModuleOpen( void* instance, s32 offset, s32 size );
void*	_rwStreamModuleClose( void* instance, s32 offset, s32 size );

#endif
