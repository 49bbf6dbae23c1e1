#include "framework/graphics/effects/EFShadowMgrRW.h"

#include "datatypes/maths/DTColor.h"
#include "datatypes/maths/DTFrame.h"
#include "framework/graphics/ApAtomicDataPlugin.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFTextureDict.h"
#include "framework/graphics/effects/EFEffectRenderStates.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/logic/api/LogicApiClearColor.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwIm2D.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/core/RxPipeline.h"
#include "graphics3d/core/RxPipelineModule.h"
#include "graphics3d/gamecube/RwDlIm3D.h"
#include "graphics3d/gamecube/RwGameCube.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "platform/gx/GX.h"

#include <cstdio>

namespace {

constexpr s32 SHADOW_RASTER_DEPTH	= 16;
constexpr s32 SIZE_64				= 64;
constexpr s32 SIZE_128				= 128;
constexpr s32 SIZE_256				= 256;
// Depth the silhouette copy clears to.
constexpr u32 COPY_CLEAR_DEPTH		= 0xFFFFFF;
constexpr char DEFAULT_DROP_SHADOW[] = "DefaultDropShadow";
constexpr u32 TEXTURE_NAME_BYTES	= 32;

// A camera-texture raster wrapped in a linearly filtered, clamped texture.
RwTexture * CreateShadowTexture( const s32 size, const char * format, const u32 index ) {
	RwRaster * const raster = RwRasterCreate( size, size, SHADOW_RASTER_DEPTH, rwRASTERTYPECAMERATEXTURE );
	if ( raster == nullptr ) {
		return nullptr;
	}
	RwTexture * const texture = RwTextureCreate( raster );
	if ( texture == nullptr ) {
		RwRasterDestroy( raster );
		return nullptr;
	}
	texture->filterAddressing = EF_TEXTURE_FILTER_LINEAR | ( EF_TEXTURE_ADDRESS_CLAMP << 8 ) |
								( EF_TEXTURE_ADDRESS_CLAMP << 12 );
	char name[TEXTURE_NAME_BYTES];
	std::snprintf( name, sizeof( name ), format, static_cast<unsigned>( index ) );
	RwTextureSetName( texture, name );
	return texture;
}

void DestroyTexture( RwTexture *& texture ) {
	if ( texture != nullptr ) {
		RwTextureDestroy( texture );
		texture = nullptr;
	}
}

RwIm2DVertex ScreenVertex( const f32 x, const f32 y, const f32 z, const u8 shade ) {
	return { x, y, z, shade, shade, shade, 0xFF, 0.0f, 0.0f };
}

}

EFShadowMgr_SP::EFShadowMgr_SP() : muiLent256( 0 ), mapPool256() {
}

EFShadowMgr_SP::~EFShadowMgr_SP() {
	// The console never gets here with a library up; the host's graphics
	// manager gave every library object back already.
	RemoveAllCasters();
}

u32 EFShadowMgr_SP::Initialize() {
	for ( u32 i = 0; i < EF_SHADOW_ENTRIES; i++ ) {
		_sShadowEntry & entry = maEntries[i];
		entry.uiFlags = 0;
		if ( entry.pTexture64 == nullptr ) {
			entry.pTexture64 = CreateShadowTexture( SIZE_64, "SHD_Tex%d_64", i );
		}
		if ( entry.pTexture128 == nullptr ) {
			entry.pTexture128 = CreateShadowTexture( SIZE_128, "SHD_Tex%d_128", i );
		}
	}
	mpDropFrame = nullptr;
	return 0;
}

void EFShadowMgr_SP::Terminate() {
	DestroyPool();
	mpDefaultTexture = nullptr;
	delete mpDropFrame;
	mpDropFrame = nullptr;
	RemoveAllCasters();
}

u32 EFShadowMgr_SP::End( EFLightMgr * ) {
	return 1;
}

void EFShadowMgr_SP::ReleaseLibraryObjects() {
	DestroyPool();
	mpDefaultTexture = nullptr;
	delete mpDropFrame;
	mpDropFrame = nullptr;
	for ( _sShadowEntry & entry : maEntries ) {
		DestroyTexture( entry.pTexture64 );
		DestroyTexture( entry.pTexture128 );
		entry.pTexture256 = nullptr;
		entry.uiFlags = 0;
		if ( entry.pCamera != nullptr ) {
			// The rasters are the textures': the camera must not destroy them.
			if ( entry.pCamera->mpoRwCamera != nullptr ) {
				entry.pCamera->mpoRwCamera->frameBuffer = nullptr;
				entry.pCamera->mpoRwCamera->zBuffer = nullptr;
			}
			entry.pCamera->SetRasters( nullptr, nullptr );
			delete entry.pCamera;
			entry.pCamera = nullptr;
		}
	}
}

void EFShadowMgr_SP::DestroyPool() {
	for ( RwTexture *& texture : mapPool256 ) {
		DestroyTexture( texture );
	}
	for ( _sShadowEntry & entry : maEntries ) {
		entry.pTexture256 = nullptr;
	}
	muiLent256 = 0;
}

void EFShadowMgr_SP::Begin() {
	muiLent256 = 0;
	if ( mpDefaultTexture == nullptr ) {
		mpDefaultTexture = EFTextureDict::GetInstance()->GetTexture( DEFAULT_DROP_SHADOW );
	}
}

RwTexture * EFShadowMgr_SP::Request256( _sShadowEntry & entry ) {
	const u32 slot = muiLent256;
	if ( slot >= EF_SHADOW_POOL_256 ) {
		return nullptr;
	}
	if ( mapPool256[slot] == nullptr ) {
		mapPool256[slot] = CreateShadowTexture( SIZE_256, "SHD_Tex%d_256", slot );
		if ( mapPool256[slot] == nullptr ) {
			return nullptr;
		}
	}
	muiLent256++;
	entry.pTexture256 = mapPool256[slot];
	return entry.pTexture256;
}

RwTexture * EFShadowMgr_SP::TextureForResolution( _sShadowEntry & entry, const u32 resolution, u32 & flag ) {
	switch ( resolution ) {
		case SIZE_64:
			flag = EF_SHADOW_ENTRY_64;
			return entry.pTexture64;
		case SIZE_128:
			flag = EF_SHADOW_ENTRY_128;
			return entry.pTexture128;
		case SIZE_256:
			flag = EF_SHADOW_ENTRY_256;
			return Request256( entry );
		default:
			flag = 0;
			return nullptr;
	}
}

void EFShadowMgr_SP::RenderSilhouette( _sShadowEntry & entry, RwTexture * texture, const EFCameraProjection_e projection,
									   const _sObjectEntry & caster ) {
	EFCamera * const camera = entry.pCamera;
	if ( camera == nullptr || camera->mpoRwCamera == nullptr || texture->raster == nullptr ) {
		return;
	}
	RwRaster * const raster = texture->raster;
	camera->SetRasters( raster, nullptr );
	DTColor white( 1.0f, 1.0f, 1.0f, 1.0f );
	camera->SetClearColor( white );
	camera->SetCameraProjection( projection );
	camera->muiPlanesDirty = 1;
	camera->Clear();
	camera->Begin();
	Cast( caster, camera->mpoRwCamera );
	camera->End();

	const u32 copyClear = RwGameCubeGetCopyClear();
	GXSetAlphaUpdate( GX_TRUE );
	GXSetCopyClear( sFloatClearColor, COPY_CLEAR_DEPTH );
	RwGameCubeSetCopyClear( 1 );
	RwGameCubeCameraTextureFlush( raster, 0 );
	RwGameCubeSetCopyClear( copyClear );
	GXSetAlphaUpdate( GX_FALSE );
}

void EFShadowMgr_SP::Cast( const _sObjectEntry & caster, RwCamera * camera ) {
	EFSetState( RWDL_STATE_Z_TEST, 0 );
	EFSetState( RWDL_STATE_Z_WRITE, 0 );
	if ( caster.mpo3dObj != nullptr && caster.mpo3dObj->mpClump != nullptr && caster.mpoObject != nullptr ) {
		u32 lod = caster.mpoObject->mShadowData.uiDefaultLod;
		// Straight through the pipelines: the atomics' render callbacks
		// draw nothing outside the world's pass.
		RpClumpForAllAtomics(
			caster.mpo3dObj->mpClump,
			[]( RpAtomic * atomic, void * data ) -> RpAtomic * {
				if ( ApGetAtomicLod( atomic ) == *static_cast<const u32 *>( data ) ) {
					RxPipeline * const pipeline =
						atomic->pipeline != nullptr ? atomic->pipeline : _rxPipelineGetDefaultAtomicPipeline();
					RxPipelineExecute( pipeline, atomic, true );
				}
				return atomic;
			},
			&lod );
	}
	ApplyPostProcesses( camera );
	EFSetState( RWDL_STATE_Z_TEST, 1 );
	EFSetState( RWDL_STATE_Z_WRITE, 1 );
}

void EFShadowMgr_SP::ApplyPostProcesses( RwCamera * camera ) {
	if ( camera == nullptr || camera->frameBuffer == nullptr ) {
		return;
	}
	InvertRaster( camera );
	ClearOuterLine( camera );
}

void EFShadowMgr_SP::InvertRaster( RwCamera * camera ) {
	const f32 width = static_cast<f32>( camera->frameBuffer->width );
	const f32 height = static_cast<f32>( camera->frameBuffer->height );
	const f32 z = RwIm2DGetNearScreenZ();
	RwIm2DVertex strip[4] = { ScreenVertex( 0.0f, 0.0f, z, 0xFF ), ScreenVertex( 0.0f, height, z, 0xFF ),
							  ScreenVertex( width, 0.0f, z, 0xFF ), ScreenVertex( width, height, z, 0xFF ) };
	const u32 source = EFGetState( RWDL_STATE_SRC_BLEND );
	const u32 destination = EFGetState( RWDL_STATE_DST_BLEND );
	RwRenderStateSet( RWDL_STATE_TEXTURE_RASTER, nullptr );
	EFSetState( RWDL_STATE_SRC_BLEND, EF_BLEND_INV_DEST_COLOR );
	EFSetState( RWDL_STATE_DST_BLEND, EF_BLEND_ZERO );
	RwIm2DRenderPrimitive( rwPRIMTYPETRISTRIP, strip, 4 );
	EFSetState( RWDL_STATE_SRC_BLEND, source );
	EFSetState( RWDL_STATE_DST_BLEND, destination );
}

void EFShadowMgr_SP::ClearOuterLine( RwCamera * camera ) {
	const f32 right = static_cast<f32>( camera->frameBuffer->width - 1 );
	const f32 bottom = static_cast<f32>( camera->frameBuffer->height - 1 );
	const f32 z = RwIm2DGetNearScreenZ();
	RwIm2DVertex line[5] = { ScreenVertex( 0.0f, 0.0f, z, 0 ), ScreenVertex( right, 0.0f, z, 0 ),
							 ScreenVertex( right, bottom, z, 0 ), ScreenVertex( 0.0f, bottom, z, 0 ),
							 ScreenVertex( 0.0f, 0.0f, z, 0 ) };
	RwRenderStateSet( RWDL_STATE_TEXTURE_RASTER, nullptr );
	EFSetState( RWDL_STATE_Z_TEST, 0 );
	EFSetState( EF_STATE_VERTEX_ALPHA, 0 );
	EFSetState( RWDL_STATE_SRC_BLEND, EF_BLEND_ONE );
	EFSetState( RWDL_STATE_DST_BLEND, EF_BLEND_ZERO );
	RwIm2DRenderPrimitive( rwPRIMTYPEPOLYLINE, line, 5 );
	EFSetState( RWDL_STATE_Z_TEST, 1 );
	EFSetState( RWDL_STATE_SRC_BLEND, EF_BLEND_SRC_ALPHA );
	EFSetState( RWDL_STATE_DST_BLEND, EF_BLEND_INV_SRC_ALPHA );
	EFSetState( EF_STATE_VERTEX_ALPHA, 1 );
}
