#include "framework/graphics/effects/EFLensFlareFX.h"

#include "datatypes/maths/DTColor.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFGameObjectFlags.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/effects/EFSprite.h"
#include "framework/graphics/effects/EFSpriteGroup.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwRaster.h"

#include <cmath>
#include <new>

EFLensFlareFX goLensFlareFX;

namespace {

constexpr u32 GAME_OBJECT_KIND		= 0x2A;
constexpr u32 ELEMENT_FLAGS			= 0x0C;
constexpr u32 ELEMENT_BLEND_MODE	= 1;
constexpr f32 MIN_DEPTH				= 0.0001f;
constexpr f32 MIN_DISTANCE			= 0.0001f;
constexpr f32 SIZE_SCALE			= 200.0f;
constexpr f32 PI					= 3.14159265358979323846f;

const f32 DEFAULT_PARAMS[LENS_FLARE_PARAM_COUNT] = { 10.0f, 300.0f, 600.0f, 20.0f };

const char* const ELEMENT_TEXTURES[EF_LENS_FLARE_ELEMENTS] = { "LensFlareTex1", "LensFlareTex2", "LensFlareTex2",
															  "LensFlareTex3" };

// Position along the sun's offset from the centre, and size, of each
// element.
const f32 ELEMENT_OFFSETS[EF_LENS_FLARE_ELEMENTS] = { 1.0f, 0.5f, 0.33f, -0.5f };
const f32 ELEMENT_SIZES[EF_LENS_FLARE_ELEMENTS] = { 1.0f, 0.5f, 0.25f, 0.75f };

} // namespace

EFLensFlareFX::EFLensFlareFX() {
	mui32AttachedObject = 0;
	for ( u32 i = 0; i < EF_LENS_FLARE_ELEMENTS; i++ ) {
		mpoGroups[i] = nullptr;
		mui32SpriteIds[i] = 0;
	}
	mbActive = 0;
	mbInitialised = 0;
	ResetParams();
	mi32ScreenWidth = 0;
	mi32ScreenHeight = 0;
}

void EFLensFlareFX::ResetParams() {
	for ( u32 i = 0; i < LENS_FLARE_PARAM_COUNT; i++ ) {
		mfParams[i] = DEFAULT_PARAMS[i];
	}
	mfSunPosition[0] = mfSunPosition[1] = mfSunPosition[2] = 0.0f;
}

void EFLensFlareFX::Initialize() {
	for ( u32 i = 0; i < EF_LENS_FLARE_ELEMENTS; i++ ) {
		EFSpriteGroup* const group = new ( std::nothrow ) EFSpriteGroup( 0 );
		mpoGroups[i] = group;
		if ( group == nullptr ) {
			continue;
		}
		mui32SpriteIds[i] = group->AddSprite( 0, EF_SPRITE_NO_JOINT, 1.0f );
		EFSprite* const sprite = group->GetSprite( mui32SpriteIds[i] );
		if ( sprite != nullptr ) {
			sprite->mui8Screen = 1;
		}
		group->mui32Flags = ELEMENT_FLAGS;
		group->SetBlendMode( ELEMENT_BLEND_MODE );
		group->SetTexture( ELEMENT_TEXTURES[i] );
	}
	mbInitialised = 1;
}

void EFLensFlareFX::Terminate() {
	for ( EFSpriteGroup*& slot : mpoGroups ) {
		// Out of the slot first: removing the sprites releases what they
		// lent, which walks the slots.
		EFSpriteGroup* const group = slot;
		slot = nullptr;
		if ( group != nullptr ) {
			group->RemoveAllSprites();
			delete group;
		}
	}
	mbActive = 0;
	mbInitialised = 0;
	ResetParams();
}

void EFLensFlareFX::SetParams( const eLensFlareParams param, const u32 value ) {
	if ( static_cast<u32>( param ) < LENS_FLARE_PARAM_COUNT ) {
		mfParams[param] = static_cast<f32>( value );
	}
}

void EFLensFlareFX::ReleaseLender( const u32 lenderId ) {
	for ( EFSpriteGroup* const group : mpoGroups ) {
		if ( group != nullptr ) {
			group->ReleaseLender( lenderId );
		}
	}
}

void EFLensFlareFX::Render( const EFCamera& camera ) {
	if ( mbInitialised == 0 ) {
		Initialize();
	}
	EFCamera* const first = gpoGraphicsMgr != nullptr ? gpoGraphicsMgr->GetCamera( 0 ) : nullptr;
	if ( mbActive == 0 || first == nullptr || first->mpoRwCamera == nullptr ) {
		return;
	}
	const RwRaster* const raster = camera.mpoRwCamera != nullptr ? camera.mpoRwCamera->frameBuffer : nullptr;
	mi32ScreenWidth = raster != nullptr ? raster->width : 0;
	mi32ScreenHeight = raster != nullptr ? raster->height : 0;
	const f32 width = static_cast<f32>( mi32ScreenWidth );
	const f32 height = static_cast<f32>( mi32ScreenHeight );
	const f32 cx = 0.5f * width;
	const f32 cy = 0.5f * height;
	DTVector3d sun( mfSunPosition[0], mfSunPosition[1], mfSunPosition[2] );
	if ( mui32AttachedObject != 0 ) {
		if ( EFIdKind( mui32AttachedObject ) != GAME_OBJECT_KIND ) {
			sun = DTVector3d();
		} else {
			EFGameObject* const object =
				gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( mui32AttachedObject ) : nullptr;
			DTFrame* const frame = object != nullptr ? object->GetObjectFrame( EF_OWN_FRAME_JOINT ) : nullptr;
			if ( frame != nullptr ) {
				sun = *frame->GetWMatrix()->GetPos();
				mfSunPosition[0] = sun.x;
				mfSunPosition[1] = sun.y;
				mfSunPosition[2] = sun.z;
			}
		}
	}
	DTVector3d view;
	DTAsDTMatrix( &first->mpoRwCamera->viewMatrix )->TransformPoint( sun, view );
	const f32 z = view.z < MIN_DEPTH ? MIN_DEPTH : view.z;
	const f32 dx = view.x / z * width - cx;
	const f32 dy = view.y / z * height - cy;
	f32 d = std::sqrt( dx * dx + dy * dy );
	if ( d < MIN_DISTANCE ) {
		d = MIN_DISTANCE;
	}
	const f32 radius = mfParams[LENS_FLARE_RADIUS];
	const f32 intensity = d <= radius ? 0.5f + 0.5f * std::cos( PI * d / radius ) : 0.0f;
	const f32 smallest = mfParams[LENS_FLARE_MIN_SIZE];
	const f32 largest = mfParams[LENS_FLARE_MAX_SIZE];
	const f32 size = smallest + ( largest - smallest ) * ( 1.0f - std::exp( -mfParams[LENS_FLARE_FALLOFF] / ( 2.0f * d ) ) );
	for ( u32 i = 0; i < EF_LENS_FLARE_ELEMENTS; i++ ) {
		DrawFlare( cx + ELEMENT_OFFSETS[i] * dx, cy + ELEMENT_OFFSETS[i] * dy, ELEMENT_SIZES[i] * size, intensity, i );
	}
}

void EFLensFlareFX::DrawFlare( const f32 x, const f32 y, const f32 size, const f32 intensity, const u32 element ) {
	if ( element >= EF_LENS_FLARE_ELEMENTS || mpoGroups[element] == nullptr ) {
		return;
	}
	EFSpriteGroup& group = *mpoGroups[element];
	EFSprite* const sprite = group.GetSprite( mui32SpriteIds[element] );
	if ( sprite == nullptr ) {
		return;
	}
	sprite->mfScreenX = mi32ScreenWidth != 0 ? x / static_cast<f32>( mi32ScreenWidth ) : 0.0f;
	sprite->mfScreenY = mi32ScreenHeight != 0 ? y / static_cast<f32>( mi32ScreenHeight ) : 0.0f;
	sprite->mfSize = size / SIZE_SCALE;
	DTColor colour( intensity, intensity, intensity, 1.0f );
	group.SetColor( colour );
	if ( element == 0 && sprite->GetFrame() != nullptr ) {
		RwFrame* const frame = sprite->GetFrame()->GetRwFrame();
		RwFrameSetIdentity( frame );
		const RwV3d sun = { mfSunPosition[0], mfSunPosition[1], mfSunPosition[2] };
		RwFrameTranslate( frame, &sun, rwCOMBINEREPLACE );
	}
	group.EFSpriteGroup_SP::Render();
}
