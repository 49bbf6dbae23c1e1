#include "framework/graphics/EFLinesMgr.h"

#include "datatypes/base/DTFloatToInt.h"
#include "datatypes/memory/MMMemory.h"
#include "graphics3d/core/RwRenderState.h"
#include "graphics3d/gamecube/RwDlIm3D.h"
#include "graphics3d/gamecube/RwDlRenderState.h"

#include <cstdint>

EFLinesMgr* gpoLinesMgr = nullptr;

namespace {

constexpr u32 BLEND_SRC_ALPHA		= 5;
constexpr u32 BLEND_INV_SRC_ALPHA	= 6;

void* StateValue( const u32 value ) {
	return reinterpret_cast<void*>( static_cast<uintptr_t>( value ) );
}

// A channel of 0..1 as a byte; values outside saturate.
u8 ChannelByte( const f32 channel ) {
	const u32 value = DTFloatToU32( channel * 255.0f );
	return static_cast<u8>( value > 255 ? 255 : value );
}

RwRGBA ColourBytes( const CColor& colour ) {
	return { ChannelByte( colour.red ), ChannelByte( colour.green ), ChannelByte( colour.blue ),
			 ChannelByte( colour.alpha ) };
}

void SetVertex( RwIm3DVertex& vertex, const DTVector3d& point, const RwRGBA& colour ) {
	vertex.objVertex = { point.x, point.y, point.z };
	vertex.objNormal = { 0.0f, 0.0f, 0.0f };
	vertex.color = colour;
	vertex.u = 0.0f;
	vertex.v = 0.0f;
}

}

EFLinesMgr::EFLinesMgr() {
	mui32LineCount = 0;
	mui32Capacity = 0;
	mpoLines = nullptr;
}

EFLinesMgr::~EFLinesMgr() {
	Terminate();
}

void EFLinesMgr::Initialize( const u16 capacity ) {
	if ( mpoLines != nullptr ) {
		MMFree( mpoLines );
		mpoLines = nullptr;
	}
	mpoLines = static_cast<RwIm3DVertex*>( MMMalloc( capacity * 2u * sizeof( RwIm3DVertex ) ) );
	mui32Capacity = mpoLines != nullptr ? capacity : 0;
	// Lines held beyond the new buffer would be drawn from outside it.
	if ( mui32LineCount > mui32Capacity ) {
		mui32LineCount = mui32Capacity;
	}
}

void EFLinesMgr::AddLines( _LinesParams* lines ) {
	if ( mpoLines == nullptr ) {
		Initialize( EF_LINES_DEFAULT_CAPACITY );
	}
	const RwRGBA startColour = ColourBytes( *lines->pColorStart );
	const RwRGBA endColour = ColourBytes( *lines->pColorEnd );
	const u32 room = mui32Capacity > mui32LineCount ? mui32Capacity - mui32LineCount : 0;
	if ( lines->NbLines > room ) {
		lines->NbLines = room;
	}
	RwIm3DVertex* vertex = mpoLines + 2 * mui32LineCount;
	for ( u32 i = 0; i < lines->NbLines; i++ ) {
		SetVertex( vertex[0], lines->pStart[i], startColour );
		SetVertex( vertex[1], lines->pEnd[i], endColour );
		vertex += 2;
	}
	mui32LineCount += lines->NbLines;
}

void EFLinesMgr::Render() {
	if ( mui32LineCount == 0 || mpoLines == nullptr ) {
		return;
	}
	RwRenderStateSet( RWDL_STATE_TEXTURE_RASTER, nullptr );
	RwRenderStateSet( RWDL_STATE_SRC_BLEND, StateValue( BLEND_SRC_ALPHA ) );
	RwRenderStateSet( RWDL_STATE_DST_BLEND, StateValue( BLEND_INV_SRC_ALPHA ) );
	if ( RwIm3DTransform( mpoLines, 2 * mui32LineCount, nullptr, rwIM3D_ALWAYS ) != nullptr ) {
		RwIm3DRenderPrimitive( rwPRIMTYPELINELIST );
		RwIm3DEnd();
	}
}

void EFLinesMgr::Terminate() {
	if ( mpoLines != nullptr ) {
		MMFree( mpoLines );
		mpoLines = nullptr;
	}
	mui32LineCount = 0;
	mui32Capacity = 0;
}

void BeginRenderOctree( void*, unsigned long, RpMaterial** ) {
}

void RenderOctreeNode( EFOctNodeEnd* ) {
}

void EndRenderOctree() {
}
