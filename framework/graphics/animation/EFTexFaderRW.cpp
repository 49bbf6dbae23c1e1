#include "framework/graphics/animation/EFTexFaderRW.h"

#include "datatypes/base/DTFloatToInt.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFNotificationMgr.h"
#include "framework/graphics/ApAtomicDataPlugin.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFRenderStateValue.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwStrings.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/core/RxPipeline.h"
#include "graphics3d/core/RxPipelineModule.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpMaterialList.h"

RwPluginOffset EFTexFader_SP::muiTFPOffset;

namespace {

// Blend states and the library's blend-function values.
constexpr RwRenderState STATE_SRCBLEND	= 10;
constexpr RwRenderState STATE_DESTBLEND	= 11;
constexpr u32 BLEND_ZERO				= 1;
constexpr u32 BLEND_SRCALPHA			= 5;
constexpr u32 BLEND_INVSRCALPHA			= 6;
// Plug-in data flags of the two layers.
constexpr u32 SOURCE_LAYER				= 0xC0000000;
constexpr u32 DESTINATION_LAYER			= 0x80000000;

void * ConstructData( void * object, const s32 offset, const s32 ) {
	*reinterpret_cast<EFTexFaderMaterialData *>( static_cast<u8 *>( object ) + offset ) = { 0, 0.0f };
	return object;
}

void * CopyData( void * destination, const void * source, const s32 offset, const s32 ) {
	*reinterpret_cast<EFTexFaderMaterialData *>( static_cast<u8 *>( destination ) + offset ) =
		*reinterpret_cast<const EFTexFaderMaterialData *>( static_cast<const u8 *>( source ) + offset );
	return destination;
}

f32 Clamp01( const f32 v ) {
	return v < 0.0f ? 0.0f : ( v > 1.0f ? 1.0f : v );
}

void Draw( RpAtomic * atomic ) {
	if ( RwFrame * const frame = RpAtomicGetFrame( atomic ) ) {
		RwFrameUpdateObjects( frame );
	}
	if ( const RpAtomicCallBackRender callBack = ApGetAtomicCallBackRender( atomic ) ) {
		callBack( atomic );
		return;
	}
	RxPipeline * const pipeline = atomic->pipeline != nullptr ? atomic->pipeline : _rxPipelineGetDefaultAtomicPipeline();
	RxPipelineExecute( pipeline, atomic, true );
}

struct MaterialSearch {
	u32				lod;
	const char *	name;
	RpMaterial *	found;
};

RpAtomic * SearchAtomic( RpAtomic * atomic, void * data ) {
	MaterialSearch & search = *static_cast<MaterialSearch *>( data );
	const RpGeometry * const geometry = atomic->geometry;
	if ( search.found != nullptr || geometry == nullptr || ApGetAtomicLod( atomic ) != search.lod ) {
		return atomic;
	}
	for ( s32 i = 0; i < geometry->matList.numMaterials; i++ ) {
		RpMaterial * const material = geometry->matList.materials[i];
		if ( material != nullptr && material->texture != nullptr && StrICmp( material->texture->name, search.name ) == 0 ) {
			search.found = material;
			break;
		}
	}
	return atomic;
}

RwTexture * Named( const char * name ) {
	RwTexDictionary * const dictionary = RwTexDictionaryGetCurrent();
	return name != nullptr && dictionary != nullptr ? RwTexDictionaryFindNamedTexture( dictionary, name ) : nullptr;
}

}

s32 EFTexFader_SP::InitPlugIn() {
	muiTFPOffset.Set( RpMaterialRegisterPlugin( static_cast<s32>( sizeof( EFTexFaderMaterialData ) ), EF_TF_PLUGIN_ID,
												&ConstructData, &ConstructData, &CopyData ) );
	return muiTFPOffset.Get() >= 0 ? 1 : 0;
}

EFTexFaderMaterialData * EFTexFader_SP::GetMaterialData( RpMaterial * material ) {
	const s32 offset = muiTFPOffset.Get();
	if ( material == nullptr || offset <= 0 ) {
		return nullptr;
	}
	return reinterpret_cast<EFTexFaderMaterialData *>( reinterpret_cast<u8 *>( material ) + offset );
}

void EFTexFader_SP::MaterialPlugInUpdate( RpMaterial * material, RwTexture * texture, const f32 ratio, const u32 flags ) {
	if ( material == nullptr || texture == nullptr ) {
		return;
	}
	RpMaterialSetTexture( material, texture );
	const u32 alpha = DTFloatToU32( 255.0f * ratio );
	material->color.alpha = static_cast<u8>( alpha > 255 ? 255 : alpha );
	if ( EFTexFaderMaterialData * const data = GetMaterialData( material ) ) {
		*data = { flags, ratio };
	}
}

void EFTexFader_SP::Terminate() {
	while ( FirstActiveAtomic != nullptr ) {
		KillEntry( FirstActiveAtomic );
	}
}

void EFTexFader_SP::KillEntry( _TFEntry * entry ) {
	DelEntry( entry );
}

_TFEntry * EFTexFader_SP::CreateEntry( EF3dObj * object ) {
	_TFEntry * const entry = AddEntry();
	if ( entry == nullptr ) {
		return nullptr;
	}
	entry->mpObject = object;
	for ( u32 level = 0; level < EF_TF_LEVELS && object != nullptr; level++ ) {
		entry->mpAtomic[level] = object->LodGetAtomic( level );
	}
	return entry;
}

void EFTexFader_SP::DestroyEntry( EF3dObj * object ) {
	for ( _TFEntry * entry = FirstActiveAtomic; entry != nullptr; ) {
		_TFEntry * const next = entry->mpNext;
		if ( entry->mpObject == object ) {
			KillEntry( entry );
		}
		entry = next;
	}
}

RpMaterial * EFTexFader_SP::FindMaterial( _TFEntry * entry, const u32 lod, const char * name ) {
	if ( entry == nullptr || name == nullptr || entry->mpObject == nullptr || entry->mpObject->mpClump == nullptr ) {
		return nullptr;
	}
	MaterialSearch search = { lod, name, nullptr };
	RpClumpForAllAtomics( entry->mpObject->mpClump, &SearchAtomic, &search );
	return search.found;
}

u32 EFTexFader_SP::FadeTo( EF3dObj * object, _sTexFaderParams * params ) {
	if ( object == nullptr || params == nullptr ) {
		return 1;
	}
	_TFEntry * entry = FindEntry( object, params->pSrcTexture[0] );
	if ( entry == nullptr ) {
		entry = CreateEntry( object );
		if ( entry == nullptr ) {
			return 1;
		}
	}
	for ( u32 level = 0; level < EF_TF_LEVELS; level++ ) {
		if ( entry->mpAtomic[level] == nullptr ) {
			continue;
		}
		RpMaterial * const material = FindMaterial( entry, level, params->pSrcTexture[level] );
		if ( material == nullptr ) {
			return 1;
		}
		entry->mpMaterial[level] = material;
		if ( params->pSrcTexture[level] != nullptr ) {
			entry->mpSrcTexture[level] = Named( params->pSrcTexture[level] );
		}
		if ( params->pDestTexture[level] != nullptr ) {
			entry->mpDestTexture[level] = Named( params->pDestTexture[level] );
		}
	}
	const f32 time = params->fTime;
	entry->muiFlags = params->uiFlags;
	entry->mfSrcRatio = params->fSrcStartRatio;
	entry->mfDestRatio = params->fDestStartRatio;
	// A fade of no time keeps no infinite rate: it ends at its first drawing.
	entry->mfSrcRate = time != 0.0f ? ( params->fSrcEndRatio - params->fSrcStartRatio ) / time : 0.0f;
	entry->mfDestRate = time != 0.0f ? ( params->fDestEndRatio - params->fDestStartRatio ) / time : 0.0f;
	entry->mfSrcEnd = params->fSrcEndRatio;
	entry->mfDestEnd = params->fDestEndRatio;
	entry->mfTime = time;
	entry->mfElapsed = 0.0f;
	entry->mpNotifyData = params->pNotifyData;
	if ( entry->muiCounted == 0 ) {
		entry->muiCounted = 1;
		object->muiTexFaderRefCount++;
	}
	return 1;
}

void EFTexFader_SP::Update( const f32 dt ) {
	for ( _TFEntry * entry = FirstActiveAtomic; entry != nullptr; entry = entry->mpNext ) {
		if ( ( entry->muiFlags & EF_TF_PAUSED ) != 0 || !( entry->mfElapsed < entry->mfTime ) ) {
			continue;
		}
		entry->mfSrcRatio += entry->mfSrcRate * dt;
		entry->mfDestRatio += entry->mfDestRate * dt;
		entry->mfElapsed += dt;
		if ( entry->mfElapsed >= entry->mfTime ) {
			entry->mfSrcRatio = entry->mfSrcEnd;
			entry->mfDestRatio = entry->mfDestEnd;
			entry->mfElapsed = entry->mfTime;
		}
	}
}

void EFTexFader_SP::FadeAtomic( EF3dObj * object, RpAtomic * atomic, const u32 lod ) {
	if ( object == nullptr || atomic == nullptr ) {
		return;
	}
	const u32 level = lod < EF_TF_LEVELS ? lod : EF_TF_LEVELS;
	for ( _TFEntry * entry = FirstActiveAtomic; entry != nullptr; entry = entry->mpNext ) {
		if ( entry->mpObject != object ) {
			continue;
		}
		entry->muiCurrentLod = lod;
		if ( level == EF_TF_LEVELS || entry->mpMaterial[level] == nullptr || entry->mpSrcTexture[level] == nullptr ) {
			continue;
		}
		entry->mfSrcRatio = Clamp01( entry->mfSrcRatio );
		entry->mfDestRatio = Clamp01( entry->mfDestRatio );
		RwRenderStateSet( STATE_SRCBLEND, EFStateValue( BLEND_SRCALPHA ) );
		RwRenderStateSet( STATE_DESTBLEND, EFStateValue( ( entry->muiFlags & EF_TF_BLEND_INVERSE ) != 0 ? BLEND_INVSRCALPHA : BLEND_ZERO ) );
		entry->mpSavedTexture = entry->mpMaterial[level]->texture;
		MaterialPlugInUpdate( entry->mpMaterial[level], entry->mpSrcTexture[level], entry->mfSrcRatio, entry->muiFlags | SOURCE_LAYER );
	}
	RpGeometry * const geometry = atomic->geometry;
	const u32 savedFlags = geometry != nullptr ? geometry->flags : 0;
	if ( geometry != nullptr ) {
		geometry->flags |= rpGEOMETRYMODULATEMATERIALCOLOR;
	}
	Draw( atomic );
	RwRenderStateSet( STATE_SRCBLEND, EFStateValue( BLEND_SRCALPHA ) );
	RwRenderStateSet( STATE_DESTBLEND, EFStateValue( BLEND_INVSRCALPHA ) );
	for ( _TFEntry * entry = FirstActiveAtomic; entry != nullptr; entry = entry->mpNext ) {
		if ( entry->mpObject == object && level < EF_TF_LEVELS ) {
			MaterialPlugInUpdate( entry->mpMaterial[level], entry->mpDestTexture[level], entry->mfDestRatio, entry->muiFlags | DESTINATION_LAYER );
		}
	}
	Draw( atomic );
	if ( geometry != nullptr ) {
		geometry->flags = savedFlags;
	}
	for ( _TFEntry * entry = FirstActiveAtomic; entry != nullptr; ) {
		_TFEntry * const next = entry->mpNext;
		if ( entry->mpObject != object || level == EF_TF_LEVELS ) {
			entry = next;
			continue;
		}
		RpMaterial * const material = entry->mpMaterial[level];
		if ( entry->mfElapsed < entry->mfTime ) {
			MaterialPlugInUpdate( material, entry->mpSavedTexture, 1.0f, 0 );
			entry = next;
			continue;
		}
		const u32 flags = entry->muiFlags;
		void * const notifyData = entry->mpNotifyData;
		if ( ( flags & EF_TF_KEEP_DESTINATION ) != 0 ) {
			MaterialPlugInUpdate( material, entry->mpDestTexture[level], entry->mfDestRatio, 0 );
			KillEntry( entry );
		} else {
			MaterialPlugInUpdate( material, entry->mpSavedTexture, 1.0f, 0 );
		}
		if ( ( flags & EF_TF_NOTIFY ) != 0 && gpoGameLogicMgr != nullptr && object->mpGameObjectOwner != nullptr ) {
			const u32 owner = object->mpGameObjectOwner->GetUID();
			gpoGameLogicMgr->GetNotificationMgr().Notify( NO_TEX_FADER, owner, owner, notifyData, false );
		}
		entry = next;
	}
}
