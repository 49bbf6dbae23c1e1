#include "framework/graphics/effects/EFShadowMgr.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFGameObjectFlags.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFLight.h"
#include "framework/graphics/EFLightMgr.h"
#include "framework/graphics/effects/EFProjectorMgr.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/world/RpLight.h"

EFShadowMgr goShadowMgr;

namespace {

// Per-camera clip operations that suppress the drop-down and the cast
// shadows.
constexpr u32 CLIPOP_NO_DROP_DOWN	= 0x10;
constexpr u32 CLIPOP_NO_CAST		= 0x08;
// Library light flags of lights that light the scene.
constexpr u8 LIGHT_LIGHTS_SCENE		= 0x30;
// The soft spot's range for the fade is a tenth of its radius.
constexpr f32 SOFT_SPOT_FADE_SCALE	= 10.0f;
// Shadows stop once the count exceeds this.
constexpr u32 LAST_SHADOW			= EF_SHADOW_ENTRIES - 1;
constexpr RwV3d DOWN				= { 0.0f, -1.0f, 0.0f };

void SetDarkening( _sProjectorOccurence & occurrence, const f32 alpha, const f32 reach, EF3dObj * caster,
				   EFCamera * camera ) {
	occurrence.pExcluded3dObj = caster;
	occurrence.fReachDistance = reach;
	occurrence.afColor[0] = alpha;
	occurrence.afColor[1] = alpha;
	occurrence.afColor[2] = alpha;
	occurrence.afColor[3] = 1.0f;
	occurrence.uiBlendingFunction = EF_PROJECTOR_BLEND_DARKEN;
	occurrence.pCamera = camera;
}

RwV3d ObjectPosition( const EF3dObj * model ) {
	if ( model == nullptr || model->mpFrame == nullptr ) {
		return { 0.0f, 0.0f, 0.0f };
	}
	return EFShadowFramePosition( model->mpFrame->GetRwFrame() );
}

}

u32 EFShadowMgr::Begin( EFLightMgr * lights, const u32 camera ) {
	if ( mpDropFrame == nullptr ) {
		mpDropFrame = new DTFrame;
	}
	EFShadowMgr_SP::Begin();
	InitFrame();
	if ( camera >= EF_CLIP_CAMERA_SLOTS || mpDropFrame == nullptr ) {
		return 1;
	}
	for ( _sObjectEntry * caster = mpCasters; caster != nullptr; caster = caster->mpNext ) {
		if ( muiShadowCount > LAST_SHADOW ) {
			break;
		}
		EFGameObject * const object = caster->mpoObject;
		if ( object == nullptr ) {
			continue;
		}
		const EFCamClipState & clip = object->moClipping.camClipState[camera];
		const _ShadowParams & params = object->mShadowData;
		if ( clip.ui16CamInFrustum == 0 || ( params.uiFlags & EF_SHADOW_NONE ) != 0 ) {
			continue;
		}
		InitCaster( *caster );
		if ( ( object->muiLogicFlags & EF_LF_SHADOW_DROP_DOWN ) != 0 && ( clip.uiCamClipOps & CLIPOP_NO_DROP_DOWN ) == 0 &&
			 DropDown( *caster, params ) ) {
			muiEntry++;
		}
		if ( muiShadowCount > LAST_SHADOW ) {
			break;
		}
		if ( ( object->muiLogicFlags & EF_LF_SHADOW_CAST ) == 0 || ( clip.uiCamClipOps & CLIPOP_NO_CAST ) != 0 ||
			 lights == nullptr ) {
			continue;
		}
		for ( EFLight * light = lights->moLights.mpFirst; light != nullptr; light = light->mpNextLight ) {
			if ( light->mpLight == nullptr || ( light->mpLight->object.object.flags & LIGHT_LIGHTS_SCENE ) == 0 ||
				 light->IsVisible() == 0 || ( light->muiKind & EF_LIGHT_KIND_SECOND ) != 0 ) {
				continue;
			}
			if ( Prepare( light, maEntries[muiEntry], *caster, params ) != -1 ) {
				muiEntry++;
			}
			if ( muiShadowCount > LAST_SHADOW ) {
				return 1;
			}
		}
	}
	return 1;
}

bool EFShadowMgr::DropDown( const _sObjectEntry & caster, const _ShadowParams & params ) {
	_sShadowEntry & entry = maEntries[muiEntry];
	const bool silhouette = ( params.uiFlags & EF_SHADOW_SILHOUETTE_DROP ) != 0;
	u32 flag = 0;
	RwTexture * const texture =
		silhouette ? TextureForResolution( entry, params.uiDropDownResolution, flag ) : mpDefaultTexture;
	// Without a texture there is nothing to throw: no shadow, the entry
	// stays free.
	if ( texture == nullptr || entry.pCamera == nullptr ) {
		return false;
	}
	muiShadowCount++;
	RwFrame * const drop = mpDropFrame->GetRwFrame();
	RwFrameSetIdentity( drop );
	drop->modelling.at = DOWN;
	RwFrameUpdateObjects( drop );

	_sProjectorOccurence occurrence = {};
	SetDarkening( occurrence, params.fDropDownAlpha, params.fDropDownReachDistance, caster.mpo3dObj, entry.pCamera );
	occurrence.pTexture = texture;
	if ( !silhouette ) {
		entry.pCamera->SetCameraProjection( EF_CAMERA_PARALLEL );
		PrepareDropDownCamera( occurrence, drop, caster, entry, params.fDropDownScale );
	} else {
		entry.uiFlags |= EF_SHADOW_ENTRY_USED | flag;
		PrepareParallelCamera( occurrence, drop, caster, entry, 1.0f );
		RenderSilhouette( entry, texture, EF_CAMERA_PARALLEL, caster );
	}
	goProjectorMgr.AddOccurence( &occurrence );
	return true;
}

s32 EFShadowMgr::Prepare( EFLight * light, _sShadowEntry & entry, const _sObjectEntry & caster,
						  const _ShadowParams & params ) {
	if ( light == nullptr || light->mpFrame == nullptr || entry.pCamera == nullptr ) {
		return -1;
	}
	RwFrame * const lightFrame = light->mpFrame->GetRwFrame();
	const RwV3d lightPosition = EFShadowFramePosition( lightFrame );
	const RwV3d object = ObjectPosition( caster.mpo3dObj );
	const u32 type = light->GetType();
	EFCameraProjection_e projection = EF_CAMERA_PERSPECTIVE;
	if ( type == rpLIGHTDIRECTIONAL ) {
		projection = EF_CAMERA_PARALLEL;
	} else if ( type == rpLIGHTPOINT || type == rpLIGHTSPOT || type == rpLIGHTSPOTSOFT ) {
		const RwV3d between = { object.x - lightPosition.x, object.y - lightPosition.y, object.z - lightPosition.z };
		const f32 radius = light->GetRadius();
		if ( RwV3dDotProduct( &between, &between ) > radius * radius ) {
			return -1;
		}
		// A light inside or on the caster's sphere has no tangent to frame
		// the sphere with.
		const RwV3d toCenter = { between.x + caster.moCenterOffset.x, between.y + caster.moCenterOffset.y,
								 between.z + caster.moCenterOffset.z };
		if ( !( RwV3dDotProduct( &toCenter, &toCenter ) > caster.mfRadius * caster.mfRadius ) ) {
			return -1;
		}
	} else {
		return -1;
	}
	u32 flag = 0;
	RwTexture * const texture = TextureForResolution( entry, params.uiCastedResolution, flag );
	if ( texture == nullptr ) {
		return -1;
	}

	muiShadowCount++;
	_sProjectorOccurence occurrence = {};
	SetDarkening( occurrence, params.fCastedAlpha, params.fCastedReachDistance, caster.mpo3dObj, entry.pCamera );
	occurrence.pTexture = texture;
	entry.uiFlags |= EF_SHADOW_ENTRY_USED | flag;
	if ( projection == EF_CAMERA_PARALLEL ) {
		PrepareParallelCamera( occurrence, lightFrame, caster, entry, 1.0f );
	} else {
		PreparePerspectiveCamera( occurrence, lightPosition, caster, entry );
		const f32 radius = type == rpLIGHTSPOTSOFT ? light->GetRadius() / SOFT_SPOT_FADE_SCALE : light->GetRadius();
		AdjustShadowIntensity( occurrence, params, lightPosition, radius, object );
	}
	RenderSilhouette( entry, texture, projection, caster );
	goProjectorMgr.AddOccurence( &occurrence );
	return 0;
}
