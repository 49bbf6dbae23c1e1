#include "framework/graphics/EFGridLayout.h"

#include "datatypes/base/DTFloatToInt.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/world/EFPosData.h"
#include "graphics3d/core/RwFrame.h"
#include "framework/graphics/EFRenderStateValue.h"
#include "graphics3d/core/RwRenderState.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/core/RwV3d.h"
#include "graphics3d/gamecube/RwDlIm3D.h"
#include "graphics3d/gamecube/RwDlRenderState.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpMaterial.h"

#include <cmath>

namespace {

// The library's vertex-alpha switch (the driver keeps it with the blend).
constexpr RwRenderState STATE_VERTEX_ALPHA	= 12;
constexpr u32 CULL_NONE						= 1;
// Positions, colours and texture coordinates.
constexpr u32 TRANSFORM_FLAGS				= 25;
// Border columns beyond the rectangle on each side.
constexpr u32 BORDER_COLUMNS				= 4;
constexpr f32 DEFAULT_TEXTURE_EXTENT		= 0.05f;

RpAtomic * FirstAtomic( RpClump * clump ) {
	RpAtomic * first = nullptr;
	RpClumpForAllAtomics(
		clump,
		[]( RpAtomic * atomic, void * data ) -> RpAtomic * {
			*static_cast<RpAtomic **>( data ) = atomic;
			return nullptr;
		},
		&first );
	return first;
}

DTVector3d Difference( const RwV3d & a, const RwV3d & b ) {
	return DTVector3d( a.x - b.x, a.y - b.y, a.z - b.z );
}

}

EFGridLayout::~EFGridLayout() {
	Free();
}

void EFGridLayout::Free() {
	MMFree( mpoVertices );
	MMFree( mpfHaze );
	mpoVertices = nullptr;
	mpfHaze = nullptr;
	muiVertexCapacity = 0;
	muiVertexCount = 0;
	muiFlags &= ~EF_GRID_LAYOUT_VALID;
}

void EFGridLayout::SetCellSizes( const f32 * cellSizes ) {
	if ( cellSizes == nullptr ) {
		return;
	}
	for ( u32 i = 0; i < EF_GRID_LOD_COUNT; i++ ) {
		mafCellSize[i] = cellSizes[i];
	}
}

bool EFGridLayout::ReadModel( RpClump * clump ) {
	RpAtomic * const atomic = clump != nullptr ? FirstAtomic( clump ) : nullptr;
	if ( atomic == nullptr ) {
		return false;
	}
	RpGeometry * const geometry = atomic->geometry;
	if ( geometry == nullptr || geometry->numVertices != 4 || geometry->morphTarget == nullptr ||
		 geometry->morphTarget[0].verts == nullptr ) {
		return true;
	}
	mpoMaterial = geometry->matList.numMaterials > 0 ? geometry->matList.materials[0] : nullptr;
	geometry->flags &= ~rpGEOMETRYLIGHT;
	if ( mpoMaterial != nullptr && geometry->preLitLum != nullptr ) {
		for ( u32 i = 0; i < 4; i++ ) {
			geometry->preLitLum[i] = mpoMaterial->color;
		}
	}
	const RwV3d * const p = geometry->morphTarget[0].verts;
	moCorner = DTVector3d( p[0].x, p[0].y, p[0].z );
	moColumnExtent = Difference( p[1], p[0] );
	moRowExtent = Difference( p[2], p[0] );
	const RwTexCoords * const t = geometry->numTexCoordSets > 0 ? geometry->texCoords[0] : nullptr;
	if ( t != nullptr ) {
		mafTextureExtent[0] = t[1].u - t[0].u;
		mafTextureExtent[1] = t[1].v - t[0].v;
		mafTextureExtent[2] = t[2].u - t[0].u;
		mafTextureExtent[3] = t[2].v - t[0].v;
	} else {
		mafTextureExtent[0] = DEFAULT_TEXTURE_EXTENT;
		mafTextureExtent[1] = 0.0f;
		mafTextureExtent[2] = 0.0f;
		mafTextureExtent[3] = DEFAULT_TEXTURE_EXTENT;
	}
	return true;
}

bool EFGridLayout::SetLod( const u32 lod, EFPosData & grid ) {
	muiFlags &= ~EF_GRID_LAYOUT_VALID;
	const f32 size = mafCellSize[lod < EF_GRID_LOD_COUNT ? lod : EF_GRID_LOD_COUNT - 1];
	// A negative size counts by its magnitude; zero or non-finite lays out
	// nothing (the row count would be unbounded).
	if ( size == 0.0f || !std::isfinite( size ) ) {
		return false;
	}
	const u64 n = DTFloatToU32( std::fabs( moColumnExtent.x / size ) );
	const u64 m = DTFloatToU32( std::fabs( moRowExtent.z / size ) );
	u64 columnCells = ( ( n < EF_GRID_MAX_CELLS ? n : EF_GRID_MAX_CELLS ) + 3 ) & ~u64( 3 );
	if ( columnCells == 0 ) {
		columnCells = 4;
	}
	const u64 rowCells = m < 2 ? 2 : m;
	const u64 columns = columnCells + 2 * BORDER_COLUMNS;
	const u64 rows = rowCells + 2;
	const u64 slots = 2 * columns * rows;
	// The array's bytes must fit the allocator's 32-bit sizes.
	if ( slots > 0xFFFFFFFFu / sizeof( RwIm3DVertex ) ) {
		return false;
	}
	const f32 columnDivisor = static_cast<f32>( columnCells - 1 );
	const f32 rowDivisor = static_cast<f32>( rowCells - 1 );
	moLocalColumnStep = DTVector3d( moColumnExtent.x / columnDivisor, moColumnExtent.y / columnDivisor,
									moColumnExtent.z / columnDivisor );
	moLocalRowStep = DTVector3d( moRowExtent.x / rowDivisor, moRowExtent.y / rowDivisor, moRowExtent.z / rowDivisor );
	moLocalOrigin = DTVector3d( moCorner.x - ( 4.0f * moLocalColumnStep.x + moLocalRowStep.x ),
								moCorner.y - ( 4.0f * moLocalColumnStep.y + moLocalRowStep.y ),
								moCorner.z - ( 4.0f * moLocalColumnStep.z + moLocalRowStep.z ) );
	muiColumns = static_cast<u32>( columns );
	muiRows = static_cast<u32>( rows );
	mfUPerColumn = mafTextureExtent[0] / columnDivisor;
	mfVPerColumn = mafTextureExtent[1] / columnDivisor;
	mfUPerRow = mafTextureExtent[2] / rowDivisor;
	mfVPerRow = mafTextureExtent[3] / rowDivisor;
	// The new steps must reach the world ones even when this frame's
	// placement was already made.
	miPlacementFrame = -1;
	UpdatePlacement( grid );
	muiFlags |= EF_GRID_LAYOUT_VALID;
	return true;
}

void EFGridLayout::UpdatePlacement( EFPosData & grid ) {
	if ( gpoEngineController != nullptr ) {
		const s32 frame = static_cast<s32>( gpoEngineController->GetFrameCounter() );
		if ( frame == miPlacementFrame ) {
			return;
		}
		miPlacementFrame = frame;
	}
	moWorldOrigin = moLocalOrigin;
	moWorldColumnStep = moLocalColumnStep;
	moWorldRowStep = moLocalRowStep;
	DTFrame * const frame = grid.GetFrame();
	if ( frame == nullptr ) {
		return;
	}
	const RwMatrix * const ltm = RwFrameGetLTM( frame->GetRwFrame() );
	RwV3dTransformPoints( DTAsRwV3d( &moWorldOrigin ), DTAsRwV3d( &moLocalOrigin ), 1, ltm );
	RwV3dTransformVectors( DTAsRwV3d( &moWorldColumnStep ), DTAsRwV3d( &moLocalColumnStep ), 1, ltm );
	RwV3dTransformVectors( DTAsRwV3d( &moWorldRowStep ), DTAsRwV3d( &moLocalRowStep ), 1, ltm );
}

bool EFGridLayout::Build( const RwRGBA colour, const bool withHaze ) {
	if ( ( muiFlags & EF_GRID_LAYOUT_VALID ) == 0 ) {
		return false;
	}
	const u32 count = 2 * muiColumns * muiRows;
	if ( count > muiVertexCapacity || ( withHaze && mpfHaze == nullptr ) ) {
		Free();
		mpoVertices = static_cast<RwIm3DVertex *>( MMMalloc( count * sizeof( RwIm3DVertex ) ) );
		mpfHaze = withHaze ? static_cast<f32 *>( MMMalloc( count * sizeof( f32 ) ) ) : nullptr;
		if ( mpoVertices == nullptr || ( withHaze && mpfHaze == nullptr ) ) {
			Free();
			return false;
		}
		muiVertexCapacity = count;
	}
	muiVertexCount = count;
	muiFlags |= EF_GRID_LAYOUT_VALID;
	for ( u32 r = 0; r < muiRows; r++ ) {
		for ( u32 c = 0; c < muiColumns; c++ ) {
			const f32 fc = static_cast<f32>( c );
			const f32 fr = static_cast<f32>( r );
			RwIm3DVertex vertex = {};
			vertex.objVertex = { moWorldOrigin.x + fc * moWorldColumnStep.x + fr * moWorldRowStep.x,
								 moWorldOrigin.y + fc * moWorldColumnStep.y + fr * moWorldRowStep.y,
								 moWorldOrigin.z + fc * moWorldColumnStep.z + fr * moWorldRowStep.z };
			vertex.color = colour;
			vertex.u = -4.0f * mfUPerColumn + fc * mfUPerColumn + fr * mfUPerRow;
			vertex.v = -mfVPerRow + fc * mfVPerColumn + fr * mfVPerRow;
			mpoVertices[Slot( r, c )] = vertex;
			if ( r >= 1 ) {
				mpoVertices[Slot( r, c ) - 2 * muiColumns - 1] = vertex;
			}
			// The last strip has no row beyond to pair with: its even slots
			// repeat the row so that no slot is left unset.
			if ( r + 1 == muiRows ) {
				mpoVertices[Slot( r, c ) - 1] = vertex;
			}
		}
	}
	for ( u32 i = 0; withHaze && i < count; i++ ) {
		mpfHaze[i] = 1.0f;
	}
	return true;
}

bool EFGridLayout::IsDrawable() const {
	// The array must match the current layout: a layout changed since the
	// array was built is not walked until it is rebuilt.
	return ( muiFlags & EF_GRID_LAYOUT_VALID ) != 0 && mpoVertices != nullptr && muiVertexCount != 0 &&
		   static_cast<u64>( muiVertexCount ) == 2ull * muiColumns * muiRows;
}

f32 EFGridLayout::Height( const u32 r, const u32 c ) const {
	const u64 index = static_cast<u64>( r ) * muiColumns + c;
	if ( mpfHeights == nullptr || index >= muiHeightCount ) {
		return 0.0f;
	}
	return mpfHeights[index];
}

u32 EFGridLayout::VertexOfSlot( const u32 slot ) const {
	return ( slot & 1 ) != 0 ? ( slot - 1 ) / 2 : slot / 2 + muiColumns;
}

u32 EFGridLayout::PolygonCount() const {
	return 2 * ( muiColumns - 1 ) * ( muiRows - 1 );
}

void EFGridLayout::BeginStrips( void * saved[4] ) const {
	saved[0] = EFGetState( RWDL_STATE_CULL_MODE );
	saved[1] = EFGetState( STATE_VERTEX_ALPHA );
	saved[2] = EFGetState( RWDL_STATE_TEXTURE_FILTER );
	saved[3] = EFGetState( RWDL_STATE_TEXTURE_ADDRESS );
	RwRenderStateSet( RWDL_STATE_CULL_MODE, EFStateValue( CULL_NONE ) );
	RwRenderStateSet( STATE_VERTEX_ALPHA, EFStateValue( 1 ) );
	RwTexture * const texture = mpoMaterial != nullptr ? mpoMaterial->texture : nullptr;
	RwRenderStateSet( RWDL_STATE_TEXTURE_RASTER, texture != nullptr ? texture->raster : nullptr );
	if ( texture != nullptr ) {
		const u32 word = texture->filterAddressing;
		RwRenderStateSet( RWDL_STATE_TEXTURE_FILTER, EFStateValue( word & 0xFF ) );
		RwRenderStateSet( RWDL_STATE_TEXTURE_ADDRESS_U, EFStateValue( ( word >> 8 ) & 0xF ) );
		RwRenderStateSet( RWDL_STATE_TEXTURE_ADDRESS_V, EFStateValue( ( word >> 12 ) & 0xF ) );
	}
}

void EFGridLayout::EndStrips( void * const saved[4] ) const {
	RwRenderStateSet( RWDL_STATE_CULL_MODE, saved[0] );
	RwRenderStateSet( STATE_VERTEX_ALPHA, saved[1] );
	RwRenderStateSet( RWDL_STATE_TEXTURE_FILTER, saved[2] );
	RwRenderStateSet( RWDL_STATE_TEXTURE_ADDRESS, saved[3] );
}

void EFGridLayout::DrawStrips( const u32 mode ) {
	const u32 perStrip = 2 * muiColumns - 4 * BORDER_COLUMNS;
	for ( u32 strip = 1; strip + 3 <= muiRows; strip++ ) {
		RwIm3DVertex * const first = mpoVertices + 2 * muiColumns * strip + 2 * BORDER_COLUMNS;
		if ( RwIm3DTransform( first, perStrip, nullptr, TRANSFORM_FLAGS ) != nullptr ) {
			RwIm3DRenderPrimitive( mode == EF_GRID_POLY_LINES ? rwPRIMTYPEPOLYLINE : rwPRIMTYPETRISTRIP );
			RwIm3DEnd();
		}
	}
}
