#include "framework/graphics/EFWaterGrid.h"

#include "datatypes/base/DTFloatToInt.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/graphics/EFGridObject.h"
#include "graphics3d/gamecube/RwDlIm3D.h"
#include "graphics3d/world/RpMaterial.h"

#include <cmath>

DT_IMPLEMENT_DYNAMIC_CLASS( EFWaterGrid, "EF_3DOBJECT_WATER", EF_WATER_GRID_CLASS_ID, IT_OBJECT );

namespace {

constexpr RwRGBA WATER_VERTEX_COLOUR = { 255, 255, 255, 250 };

u8 Channel( const f64 value ) {
	const u32 truncated = DTFloatToU32( value );
	return static_cast<u8>( truncated > 255 ? 255 : truncated );
}

// The shaded blue goes into the first colour byte and the shaded red into
// the third: materials are authored for that exchange.
void PutShadedColour( RwRGBA & colour, const u8 red, const u8 green, const u8 blue, const u8 alpha ) {
	colour.red = blue;
	colour.green = green;
	colour.blue = red;
	colour.alpha = alpha;
}

}

EFWaterGrid::EFWaterGrid()
	: mafColorFactor{ 1.0f, 1.0f, 1.0f }, mfAlphaFactor( 0.9f ), moLightDirection( 2.0f, -1.0f, 2.0f ),
	  muiPrimitiveMode( EF_GRID_TRIANGLE_STRIPS ), mapSavedStates{} {
}

s32 EFWaterGrid::GetClassID() const {
	return EF_WATER_GRID_CLASS_ID;
}

const char * EFWaterGrid::GetClassName() const {
	return "EF_3DOBJECT_WATER";
}

bool EFWaterGrid::Initialize( const DTCreationParameters & params ) {
	mafColorFactor[0] = mafColorFactor[1] = mafColorFactor[2] = 1.0f;
	mfAlphaFactor = 0.9f;
	moLightDirection = DTVector3d( 2.0f, -1.0f, 2.0f );
	return EF3dObj::Initialize( params );
}

EFInstance * EFWaterGrid::ShallowCopy() {
	return EFGridShallowCopy( *this );
}

bool EFWaterGrid::InitRWSpecific() {
	return moGrid.ReadModel( mpClump );
}

bool EFWaterGrid::InitVertexXYZ() {
	return moGrid.Build( WATER_VERTEX_COLOUR, false );
}

void EFWaterGrid::InitWater( f32 * cellSizes ) {
	moGrid.SetCellSizes( cellSizes );
	// Without a model there is no rectangle: the layout stays as given.
	if ( !InitRWSpecific() ) {
		return;
	}
	moGrid.muiLod = 0;
	moGrid.muiHeightCount = 0;
	if ( SetWaterLod( 0 ) && InitVertexXYZ() ) {
		moGrid.muiHeightCount = moGrid.muiColumns * moGrid.muiRows;
	}
}

void EFWaterGrid::SetMaterial( void * material ) {
	moGrid.mpoMaterial = static_cast<RpMaterial *>( material );
}

void EFWaterGrid::ComputeNormal() {
	EFGridLayout & grid = moGrid;
	RwIm3DVertex * const v = grid.mpoVertices;
	const u32 columns = grid.muiColumns;
	const u32 rows = grid.muiRows;
	// Nothing to shade before the vertex array is built (or after its
	// allocation failed).
	if ( !grid.IsDrawable() || columns < 7 || rows < 3 ) {
		return;
	}
	for ( u32 r = 1; r + 2 <= rows; r++ ) {
		for ( u32 c = 3; c + 4 <= columns; c++ ) {
			const f32 y = grid.moWorldOrigin.y + grid.Height( r, c );
			v[grid.Slot( r, c )].objVertex.y = y;
			v[grid.Slot( r, c ) - 2 * columns - 1].objVertex.y = y;
		}
	}
	const f32 divisor = std::fabs( 4.0f * grid.moWorldColumnStep.x * grid.moWorldRowStep.z );
	const RwRGBA material = grid.mpoMaterial != nullptr ? grid.mpoMaterial->color : RwRGBA{ 255, 255, 255, 255 };
	const u8 alpha = Channel( static_cast<f32>( material.alpha ) * mfAlphaFactor );
	for ( u32 r = 1; r + 2 <= rows; r++ ) {
		for ( u32 c = 3; c + 4 <= columns; c++ ) {
			const RwV3d & left = v[grid.Slot( r, c - 1 )].objVertex;
			const RwV3d & right = v[grid.Slot( r, c + 1 )].objVertex;
			const RwV3d & upper = v[grid.Slot( r - 1, c )].objVertex;
			const RwV3d & lower = v[grid.Slot( r + 1, c )].objVertex;
			const DTVector3d a( right.x - left.x, right.y - left.y, right.z - left.z );
			const DTVector3d b( lower.x - upper.x, lower.y - upper.y, lower.z - upper.z );
			const RwV3d normal = { a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x };
			const f32 dot = moLightDirection.x * normal.x + moLightDirection.y * normal.y +
							moLightDirection.z * normal.z;
			f32 intensity = divisor != 0.0f ? dot / divisor : 0.0f;
			intensity = intensity > 0.0f ? ( intensity < 1.0f ? intensity : 1.0f ) : 0.0f;
			RwIm3DVertex & odd = v[grid.Slot( r, c )];
			RwIm3DVertex & even = v[grid.Slot( r, c ) - 2 * columns - 1];
			odd.objNormal = normal;
			PutShadedColour( odd.color, Channel( material.red * mafColorFactor[0] * intensity ),
							 Channel( material.green * mafColorFactor[1] * intensity ),
							 Channel( material.blue * mafColorFactor[2] * intensity ), alpha );
			even.objNormal = normal;
			even.color = odd.color;
		}
	}
}

void EFWaterGrid::Render( const u16 lod ) {
	if ( !moGrid.IsDrawable() ) {
		EF3dObj::Render( lod );
		return;
	}
	muiNbWaterPoly += moGrid.PolygonCount();
	EFGridTextureAnimations( *this, true );
	moGrid.BeginStrips( mapSavedStates );
	ComputeNormal();
	moGrid.DrawStrips( muiPrimitiveMode );
	moGrid.EndStrips( mapSavedStates );
	const u32 level = lod & EF_3D_OBJ_LOD_MASK;
	if ( level != moGrid.muiLod ) {
		moGrid.muiLod = level;
		if ( SetWaterLod( static_cast<s32>( level ) ) ) {
			InitVertexXYZ();
		}
	}
	EFGridTextureAnimations( *this, false );
}
