// Conversion between a linear level and GX's tiled layout.
//
// Blocks of 32 bytes in row-major order: 8 x 8 texels at depth 4 (4 bytes
// a row), 8 x 4 at depth 8, 4 x 4 at depth 16 (big-endian values); at
// depth 32 a 4 x 4 block takes 64 bytes, the alpha-red pairs of its 16
// texels first, then the green-blue pairs. The linear side holds bytes at
// depths 4 and 8 and host-order values at 16 and 32, stride bytes a row;
// only the level's real rows are converted, and the padding rows of the
// tiled side stay as they are.

#include "graphics3d/gamecube/RwDlRaster.h"

#include "datatypes/base/DTByteOrder.h"

#include <cstring>

namespace {

constexpr u32 BLOCK_BYTES = 32;

struct BlockShape {
	u32		width;		// texels
	u32		height;		// rows
	u32		rowBytes;	// bytes of a block row
};

bool ShapeOf( const s32 depth, BlockShape* shape ) {
	switch ( depth ) {
		case 4:		*shape = { 8, 8, 4 }; return true;
		case 8:		*shape = { 8, 4, 8 }; return true;
		case 16:	*shape = { 4, 4, 8 }; return true;
		case 32:	*shape = { 4, 4, 16 }; return true;
		default:	return false;
	}
}

// Calls visit(tiledRow, linearRow) for every real row of every block.
template <typename Visit>
void ForEachBlockRow( const s32 width, const s32 height, const BlockShape& shape, const s32 stride, Visit visit ) {
	const u32 blocksPerRow = ( static_cast<u32>( width ) + shape.width - 1 ) / shape.width;
	const u32 blockRows = ( static_cast<u32>( height ) + shape.height - 1 ) / shape.height;
	const u32 blockBytes = shape.rowBytes == 16 ? 2 * BLOCK_BYTES : BLOCK_BYTES;
	for ( u32 by = 0; by < blockRows; by++ ) {
		for ( u32 bx = 0; bx < blocksPerRow; bx++ ) {
			const u32 block = ( by * blocksPerRow + bx ) * blockBytes;
			for ( u32 r = 0; r < shape.height; r++ ) {
				const u32 y = by * shape.height + r;
				if ( y >= static_cast<u32>( height ) ) {
					break;
				}
				visit( block, r, static_cast<u32>( stride ) * y + bx * shape.rowBytes );
			}
		}
	}
}

}	// namespace

bool DlRasterTile( u8* tiled, const u8* linear, const s32 width, const s32 height, const s32 depth, const s32 stride ) {
	BlockShape shape;
	if ( !ShapeOf( depth, &shape ) ) {
		_rwDlSetError( RWDL_ERR_BAD_DEPTH );
		return false;
	}
	ForEachBlockRow( width, height, shape, stride, [&]( const u32 block, const u32 r, const u32 source ) {
		if ( depth == 4 || depth == 8 ) {
			std::memcpy( tiled + block + r * shape.rowBytes, linear + source, shape.rowBytes );
			return;
		}
		for ( u32 t = 0; t < 4; t++ ) {
			if ( depth == 16 ) {
				u16 value;
				std::memcpy( &value, linear + source + t * 2, 2 );
				DTWriteBE16( tiled + block + r * 8 + t * 2, value );
			} else {
				u32 value;
				std::memcpy( &value, linear + source + t * 4, 4 );
				u8* const ar = tiled + block + ( r * 4 + t ) * 2;
				ar[0] = static_cast<u8>( value >> 24 );
				ar[1] = static_cast<u8>( value >> 16 );
				ar[BLOCK_BYTES] = static_cast<u8>( value >> 8 );
				ar[BLOCK_BYTES + 1] = static_cast<u8>( value );
			}
		}
	} );
	return true;
}

bool DlRasterUntile( u8* linear, const u8* tiled, const s32 width, const s32 height, const s32 depth, const s32 stride ) {
	BlockShape shape;
	if ( !ShapeOf( depth, &shape ) ) {
		_rwDlSetError( RWDL_ERR_BAD_DEPTH );
		return false;
	}
	ForEachBlockRow( width, height, shape, stride, [&]( const u32 block, const u32 r, const u32 target ) {
		if ( depth == 4 || depth == 8 ) {
			std::memcpy( linear + target, tiled + block + r * shape.rowBytes, shape.rowBytes );
			return;
		}
		for ( u32 t = 0; t < 4; t++ ) {
			if ( depth == 16 ) {
				const u16 value = DTReadBE16( tiled + block + r * 8 + t * 2 );
				std::memcpy( linear + target + t * 2, &value, 2 );
			} else {
				const u8* const ar = tiled + block + ( r * 4 + t ) * 2;
				const u32 value = static_cast<u32>( ar[0] ) << 24 | static_cast<u32>( ar[1] ) << 16 |
								  static_cast<u32>( ar[BLOCK_BYTES] ) << 8 | ar[BLOCK_BYTES + 1];
				std::memcpy( linear + target + t * 4, &value, 4 );
			}
		}
	} );
	return true;
}
