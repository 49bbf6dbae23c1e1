#include "framework/graphics/EFGroundFogGrid.h"

#include "datatypes/base/DTFloatToInt.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/graphics/EFGridObject.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwRenderState.h"
#include "graphics3d/gamecube/RwDlIm3D.h"
#include "graphics3d/gamecube/RwDlRenderState.h"

#include <cmath>

DT_IMPLEMENT_DYNAMIC_CLASS( EFGroundFogGrid, "EF_3DOBJECT_GROUNDFOG", EF_GROUND_FOG_GRID_CLASS_ID, IT_OBJECT );

namespace {

constexpr RwRGBA FOG_VERTEX_COLOUR = { 255, 255, 255, 255 };
constexpr f32 FOG_LIMIT = 1000.0f;

f32 Clamp( const f32 value, const f32 low, const f32 high ) {
	return value > low ? ( value < high ? value : high ) : low;
}

}

EFGroundFogGrid::EFGroundFogGrid()
	: mafColorFactor{ 1.0f, 1.0f, 1.0f }, mfAlphaFactor( 0.9f ), moLightDirection( 2.0f, -1.0f, 2.0f ),
	  muiPrimitiveMode( EF_GRID_TRIANGLE_STRIPS ), mapSavedStates{}, mfFadeStep( 0.004f ) {
}

s32 EFGroundFogGrid::GetClassID() const {
	return EF_GROUND_FOG_GRID_CLASS_ID;
}

const char * EFGroundFogGrid::GetClassName() const {
	return "EF_3DOBJECT_GROUNDFOG";
}

bool EFGroundFogGrid::Initialize( const DTCreationParameters & params ) {
	mafColorFactor[0] = mafColorFactor[1] = mafColorFactor[2] = 1.0f;
	mfAlphaFactor = 0.9f;
	moLightDirection = DTVector3d( 2.0f, -1.0f, 2.0f );
	return EF3dObj::Initialize( params );
}

EFInstance * EFGroundFogGrid::ShallowCopy() {
	return EFGridShallowCopy( *this );
}

bool EFGroundFogGrid::InitRWSpecific() {
	return moGrid.ReadModel( mpClump );
}

bool EFGroundFogGrid::InitVertexXYZ() {
	return moGrid.Build( FOG_VERTEX_COLOUR, true );
}

void EFGroundFogGrid::InitGrid( f32 * cellSizes ) {
	moGrid.SetCellSizes( cellSizes );
	if ( !InitRWSpecific() ) {
		return;
	}
	moGrid.muiLod = 0;
	moGrid.muiHeightCount = 0;
	if ( SetGridLod( 0 ) && InitVertexXYZ() ) {
		moGrid.muiHeightCount = moGrid.muiColumns * moGrid.muiRows;
	}
}

void EFGroundFogGrid::SetMaterial( void * material ) {
	moGrid.mpoMaterial = static_cast<RpMaterial *>( material );
}

void EFGroundFogGrid::ComputeFogPlaneHaze() {
	RwCamera * const camera = RwEngineInstance != nullptr ? RwEngineInstance->currentCamera : nullptr;
	RwFrame * const frame = camera != nullptr ? static_cast<RwFrame *>( camera->object.object.parent ) : nullptr;
	if ( frame == nullptr || !moGrid.IsDrawable() ) {
		return;
	}
	const RwMatrix & view = *RwFrameGetLTM( frame );
	f32 d0 = Clamp( mafFog[0], 0.0f, FOG_LIMIT );
	const f32 d1 = Clamp( mafFog[1], 0.0f, FOG_LIMIT );
	if ( d0 == d1 ) {
		d0 = d1 + 0.01f;
	}
	const f32 haze = Clamp( mafFog[2], 0.0f, 1.0f );
	// A fade time of 0 gives an infinite step: the level saturates at 1.
	mfFadeStep = 0.025f / Clamp( mafFog[3], 0.0f, FOG_LIMIT );
	const f32 h = std::fabs( view.pos.y - moGrid.moWorldOrigin.y );
	for ( u32 slot = 0; slot < moGrid.muiVertexCount; slot++ ) {
		RwIm3DVertex & vertex = moGrid.mpoVertices[slot];
		const RwV3d & p = vertex.objVertex;
		f32 d = std::fabs( view.at.x * ( p.x - view.pos.x ) + view.at.y * ( p.y - view.pos.y ) +
						   view.at.z * ( p.z - view.pos.z ) );
		if ( d == 0.0f ) {
			d = 0.0001f;
		}
		const f32 base = 1.0f - ( 1.0f - haze ) * h / d;
		f32 factor = base;
		if ( d < d1 ) {
			factor = haze * base;
		} else if ( d <= d0 ) {
			factor = base * ( haze + ( 1.0f - haze ) * ( d - d1 ) / ( d0 - d1 ) );
		}
		const u32 vertexIndex = moGrid.VertexOfSlot( slot );
		const f32 height = moGrid.Height( vertexIndex / moGrid.muiColumns, vertexIndex % moGrid.muiColumns );
		const f32 target = 1.0f - std::fabs( 6.0f * height );
		f32 & level = moGrid.mpfHaze[slot];
		level = Clamp( ( target < level ? target : level ) + mfFadeStep, 0.0f, 1.0f );
		const u32 alpha = DTFloatToU32( 255.0f * factor * level );
		vertex.color = { 255, 255, 255, static_cast<u8>( alpha > 255 ? 255 : alpha ) };
	}
}

void EFGroundFogGrid::Render( const u16 lod ) {
	if ( !moGrid.IsDrawable() ) {
		EF3dObj::Render( lod );
		return;
	}
	muiNbGridPoly += moGrid.PolygonCount();
	EFGridTextureAnimations( *this, true );
	moGrid.BeginStrips( mapSavedStates );
	ComputeFogPlaneHaze();
	moGrid.DrawStrips( muiPrimitiveMode );
	moGrid.EndStrips( mapSavedStates );
	const u32 level = lod & EF_3D_OBJ_LOD_MASK;
	if ( level != moGrid.muiLod ) {
		moGrid.muiLod = level;
		if ( SetGridLod( static_cast<s32>( level ) ) ) {
			InitVertexXYZ();
		}
	}
	EFGridTextureAnimations( *this, false );
	RwRenderStateSet( RWDL_STATE_FOG, nullptr );
}
