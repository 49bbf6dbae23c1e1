/*
===============================================================================

	Native geometry: an instanced geometry or world sector (display lists
	and vertex arrays exactly as the graphics processor reads them) written
	to a stream and read back, so that stored data can skip instancing.

	The chunk is a struct chunk (type 1, version 0x34003, build 0xFFFF)
	whose payload holds three stream integers, the platform (6), the header
	size H = 68 + 8 x meshes and the data size D, then the header block
	(the instance header's 68-byte big-endian image and {u32 size, u32
	offset} per mesh) and the data block (lists then arrays, copied raw,
	from the first 32-byte boundary after the records to the end of the
	instance). Array and list addresses are stored as offsets from the
	start of the data block.

	Everything read is checked before it is used: the sizes agree with each
	other and with the stream, every array and list lies inside the data
	block, and every list is one draw command of its mesh's primitive whose
	vertex indices are below the vertex count. A refused chunk leaves
	nothing allocated.

===============================================================================
*/
#ifndef RP_NATIVE_GEOMETRY_H
#define RP_NATIVE_GEOMETRY_H

#include "graphics3d/gamecube/RxGCInstance.h"

struct RpGameCubeVtxFmt;
struct RpGeometry;
struct RpWorldSector;
struct RwStream;

// Platform word of the console's native data.
constexpr u32 RPNATIVE_PLATFORM			= 6;
// Bytes of the instance header's image and of one list record's.
constexpr u32 RPNATIVE_HEADER_BYTES		= 68;
constexpr u32 RPNATIVE_RECORD_BYTES		= 8;

// The start of an instance's data block: the first 32-byte boundary
// after its display-list records.
u8*				_rpNativeDataBase( RwResEntry* entry, u32 numMeshes );

// Turns the header's array pointers and the records' list addresses into
// offsets from base, and back. Arrays the excluded mask leaves out, texture
// sets from the first null one and null pointers are left alone.
void			_rpNativePointer2Offset( RxGCInstanceHeader* header, RxGCDisplayListRecord* records, const u8* base,
										 const RpGameCubeVtxFmt* format, u32 numMeshes, u32 numVertices );
void			_rpNativeOffset2Pointer( RxGCInstanceHeader* header, RxGCDisplayListRecord* records, u8* base,
										 u32 numMeshes, u32 numVertices );

// Writes the instance as a native chunk. On a failed write the instance is
// back in pointer form and null is returned.
RwStream*		_rpNativeWrite( RwStream* stream, RwResEntry* entry, const RpGameCubeVtxFmt* format, u32 numMeshes,
								u32 numVertices );

// What a native chunk is read for: the owner and its entry reference, its
// meshes, vertex count and format, and the flags it is drawn with.
struct RpNativeTarget {
	void*					owner;
	RwResEntry**			entryRef;
	const RpMeshHeader*		mesh;			// may be null: no meshes
	u32						numVertices;
	const RpGameCubeVtxFmt*	format;			// null: the default
	u32						flags;
};

// Reads a native chunk of length bytes (its chunk header included) into a
// heap entry owned through the target's reference. Null, with nothing
// allocated, for a version outside the library's (error 0x80000004), a
// foreign platform (no error), a malformed chunk, a short read or an owner
// that already has an instance. The lists' vertex indices are checked
// (without matrix indices) when checkIndices is set; otherwise the caller
// checks them once it knows whether each vertex carries a matrix index.
void*			_rpNativeRead( RwStream* stream, const RpNativeTarget& target, u32 length, bool checkIndices );

// Whether an instance's lists are each one draw command of their mesh's
// primitive whose vertex indices lie below the vertex count, with or
// without a matrix index per vertex.
bool			_rpNativeListsValid( RwResEntry* entry, const RpMeshHeader* mesh, u32 numVertices, u32 flags,
									 bool matrixIndices );

// Stream entries of native geometries and sectors: nothing (size 0) for
// objects that are not native or have no instance, else 24 + H + D. A
// sector is native when its world is, and uses the world's format.
s32				_rpGeometryNativeSize( const RpGeometry* geometry );
RwStream*		_rpGeometryNativeWrite( RwStream* stream, const RpGeometry* geometry );
RpGeometry*		_rpGeometryNativeRead( RwStream* stream, RpGeometry* geometry, u32 length );
s32				_rpWorldSectorNativeSize( const RpWorldSector* sector );
RwStream*		_rpWorldSectorNativeWrite( RwStream* stream, const RpWorldSector* sector );
RpWorldSector*	_rpWorldSectorNativeRead( RwStream* stream, RpWorldSector* sector, u32 length );

// After a geometry's extension is read: its native lists are checked
// against the matrix indices its skin draws with. False (the instance
// freed) when they do not parse.
bool			_rpGeometryNativeCheckLists( RpGeometry* geometry );

#endif
