#include "graphics3d/gamecube/RwDlDisplayList.h"

#include "graphics3d/world/RpMesh.h"
#include "platform/gx/GX.h"
#include "platform/os/OS.h"

namespace {

const u32 LIST_ALIGNMENT		= 32;
// Opcode and u16 vertex count of the draw command.
const u32 DRAW_COMMAND_BYTES	= 3;
// Room GX may pad a recorded list with.
const u32 LIST_SLACK			= 32;
const u32 FLAG_TRISTRIP			= 0x01;
const u32 FLAG_NORMALS			= 0x10;
const u32 FLAG_PRELIT			= 0x08;
const u32 FLAG_TEXTURED			= 0x04;
const u32 FLAG_TEXTURED2		= 0x80;
const u32 MATRIX_INDEX_STEP		= 3;

// Texture sets that the lists index: none for untextured flags, so that
// sizing and recording agree.
u32 ListedSets( const s32 numTexCoordSets, const u32 flags ) {
	if ( ( flags & ( FLAG_TEXTURED | FLAG_TEXTURED2 ) ) == 0 || numTexCoordSets <= 0 ) {
		return 0;
	}
	return numTexCoordSets > static_cast<s32>( RXGC_MAX_TEXCOORD_SETS ) ? RXGC_MAX_TEXCOORD_SETS
																		: static_cast<u32>( numTexCoordSets );
}

u32 AlignUp( const u64 bytes ) {
	return static_cast<u32>( ( bytes + LIST_ALIGNMENT - 1 ) & ~u64{ LIST_ALIGNMENT - 1 } );
}

bool missingBoneReported = false;

u8 MatrixIndex( const RwDlMatrixIndices& matrices, const u8* palette, const u32 paletteLength, const u16 vertex ) {
	const u8 bone = static_cast<u8>( matrices.boneTable[vertex] & 0xFF );
	for ( u32 p = 0; p < paletteLength; p++ ) {
		if ( palette[p] == bone ) {
			return static_cast<u8>( MATRIX_INDEX_STEP * p );
		}
	}
	// Writing nothing would put the rest of the list out of step.
	if ( !missingBoneReported ) {
		missingBoneReported = true;
		OSReport( "Display list: bone %u is missing from its mesh's palette; matrix 0 used\n", bone );
	}
	return 0;
}

}	// namespace

u32 _rwDlMeshGetDisplayListSize( const RpMesh* mesh, const s32 numTexCoordSets, const u32 indexSize, const u32 flags,
								 const bool matrixIndices ) {
	const u64 n = mesh->numIndices;
	u64 perVertex = 1;
	perVertex += ( flags & FLAG_NORMALS ) != 0 ? 1 : 0;
	perVertex += ( flags & FLAG_PRELIT ) != 0 ? 1 : 0;
	perVertex += ListedSets( numTexCoordSets, flags );
	u64 bytes = indexSize * perVertex * n + DRAW_COMMAND_BYTES + ( matrixIndices ? n : 0 );
	if ( indexSize == 2 && !matrixIndices ) {
		return AlignUp( bytes );
	}
	// A list that exactly fills its 32-byte blocks still gets a block more.
	if ( bytes % LIST_ALIGNMENT == 0 ) {
		bytes += LIST_ALIGNMENT;
	}
	return AlignUp( bytes );
}

u32 _rwDlMeshHeaderGetDisplayListSize( RpMeshHeader* mesh, const s32 numTexCoordSets, const u32 indexSize,
									   const u32 flags, const bool matrixIndices ) {
	const RpMesh* const meshes = RpMeshHeaderGetMeshes( mesh );
	u64 total = 0;
	for ( u32 i = 0; i < mesh->numMeshes; i++ ) {
		total += _rwDlMeshGetDisplayListSize( &meshes[i], numTexCoordSets, indexSize, flags, matrixIndices );
	}
	return total > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<u32>( total );
}

void _rwDlDisplayListsCreate( RxGCDisplayListRecord* records, u8* base, RpMeshHeader* mesh, const s32 numTexCoordSets,
							  const u32 indexSize, const u32 flags, const RwDlMatrixIndices* matrices ) {
	const u32 primitive = ( mesh->flags & FLAG_TRISTRIP ) != 0 ? GX_TRIANGLESTRIP : GX_TRIANGLES;
	const u32 indexType = indexSize == 1 ? GX_INDEX8 : GX_INDEX16;
	const u32 sets = ListedSets( numTexCoordSets, flags );
	GXClearVtxDesc();
	if ( matrices != nullptr ) {
		GXSetVtxDesc( GX_VA_PNMTXIDX, GX_DIRECT );
	}
	u32 attributes = 1;
	GXSetVtxDesc( GX_VA_POS, indexType );
	if ( ( flags & FLAG_NORMALS ) != 0 ) {
		GXSetVtxDesc( GX_VA_NRM, indexType );
		attributes++;
	}
	if ( ( flags & FLAG_PRELIT ) != 0 ) {
		GXSetVtxDesc( GX_VA_CLR0, indexType );
		attributes++;
	}
	for ( u32 i = 0; i < sets; i++ ) {
		GXSetVtxDesc( GX_VA_TEX0 + i, indexType );
		attributes++;
	}
	const RpMesh* const meshes = RpMeshHeaderGetMeshes( mesh );
	const u8* palette = matrices != nullptr ? matrices->palette : nullptr;
	u8* address = base;
	for ( u32 m = 0; m < mesh->numMeshes; m++ ) {
		const RpMesh& current = meshes[m];
		const u32 size =
			_rwDlMeshGetDisplayListSize( &current, numTexCoordSets, indexSize, flags, matrices != nullptr ) + LIST_SLACK;
		DCInvalidateRange( address, size );
		GXBeginDisplayList( address, size );
		GXResetWriteGatherPipe();
		GXBegin( primitive, 0, static_cast<u16>( current.numIndices ) );
		for ( u32 i = 0; i < current.numIndices; i++ ) {
			const u16 vertex = current.indices[i];
			if ( matrices != nullptr ) {
				GXMatrixIndex1u8( MatrixIndex( *matrices, palette,
											   matrices->paletteLengths != nullptr ? matrices->paletteLengths[m]
																				   : matrices->paletteLength,
											   vertex ) );
			}
			for ( u32 a = 0; a < attributes; a++ ) {
				if ( indexSize == 1 ) {
					GXPosition1x8( static_cast<u8>( vertex ) );
				} else {
					GXPosition1x16( vertex );
				}
			}
		}
		GXEnd();
		const u32 recorded = GXEndDisplayList();
		records[m] = { recorded, address };
		address += recorded;
		if ( palette != nullptr ) {
			palette += matrices->paletteStride;
		}
	}
}
