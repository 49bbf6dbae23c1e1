#include "graphics3d/gamecube/RxGCDefaults.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwResources.h"
#include "graphics3d/gamecube/RpGameCubeVtxFmt.h"
#include "graphics3d/gamecube/RwDlDriver.h"
#include "graphics3d/gamecube/RwDlRaster.h"
#include "graphics3d/gamecube/RwDlRenderState.h"
#include "graphics3d/gamecube/RwGameCube.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpMesh.h"
#include "graphics3d/world/RpWorld.h"
#include "platform/gx/GX.h"

#include "datatypes/base/DTFloatToInt.h"

const RwRGBA opaqueWhite		= { 255, 255, 255, 255 };
const RwRGBA opaqueBlack		= { 0, 0, 0, 255 };
const RwRGBA transparentBlack	= { 0, 0, 0, 0 };

// Object flags read here.
static const u32 FLAG_TEXTURED	= 0x04 | 0x80;
static const u32 FLAG_PRELIT	= 0x08;
static const u32 FLAG_NORMALS	= 0x10;
static const u32 FLAG_MODULATE	= 0x40;
// Alpha-compare modes of the render-state cache.
static const u32 ALPHA_COMPARE_OPAQUE	= 1;
static const u32 ALPHA_COMPARE_ALPHA	= 3;

namespace {

GXColor Gx( const RwRGBA& c ) {
	return { c.red, c.green, c.blue, c.alpha };
}

// A colour component product truncated, its low byte kept.
u8 Product( const f32 value ) {
	return static_cast<u8>( DTFloatToS32( static_cast<f64>( value ) ) );
}

bool TwoChannels( const RxGCLightingState& l ) {
	return l.lightMask0 != 0 && l.lightMask1 != 0;
}

}	// namespace

void _rxGCChannelLightingSetup( const RxGCInstanceContext* state ) {
	const RxGCLightingState& l = state->lighting;
	const bool preLit = ( state->flags & FLAG_PRELIT ) != 0;
	const bool modulate = ( state->flags & FLAG_MODULATE ) != 0;
	const bool ambient = l.ambientPresent != 0;
	if ( l.numLights < 1 ) {
		if ( !preLit && !ambient && !modulate ) {
			GXSetChanMatColor( GX_COLOR0A0, Gx( opaqueBlack ) );
		}
		GXSetNumChans( 1 );
		const bool enable = preLit && modulate;
		GXSetChanCtrl( GX_COLOR0A0, enable, enable ? GX_SRC_VTX : GX_SRC_REG, preLit && !modulate ? GX_SRC_VTX : GX_SRC_REG,
					   0, GX_DF_NONE, GX_AF_NONE );
		return;
	}
	if ( !preLit && !ambient ) {
		GXSetChanAmbColor( GX_COLOR0A0, Gx( opaqueBlack ) );
	}
	const u32 ambientSource = preLit ? GX_SRC_VTX : GX_SRC_REG;
	if ( TwoChannels( l ) ) {
		GXSetNumChans( 2 );
		GXSetChanCtrl( GX_COLOR0A0, true, ambientSource, GX_SRC_REG, l.lightMask0, GX_DF_CLAMP, GX_AF_NONE );
		GXSetChanCtrl( GX_COLOR1A1, true, GX_SRC_REG, GX_SRC_REG, l.lightMask1, GX_DF_CLAMP, GX_AF_SPOT );
		if ( !modulate ) {
			GXSetChanMatColor( GX_COLOR0A0, Gx( opaqueWhite ) );
			GXSetChanMatColor( GX_COLOR1A1, Gx( opaqueWhite ) );
		}
		GXSetChanAmbColor( GX_COLOR1A1, Gx( transparentBlack ) );
		return;
	}
	GXSetNumChans( 1 );
	GXSetChanCtrl( GX_COLOR0A0, true, ambientSource, GX_SRC_REG, l.lightMask0 | l.lightMask1, GX_DF_CLAMP,
				   l.lightMask1 != 0 ? GX_AF_SPOT : GX_AF_NONE );
	if ( !modulate ) {
		GXSetChanMatColor( GX_COLOR0A0, Gx( opaqueWhite ) );
	}
}

void _rxGCChannelMaterialSetup( const RxGCInstanceContext* state, const RpMaterial* material ) {
	const RxGCLightingState& l = state->lighting;
	const bool preLit = ( state->flags & FLAG_PRELIT ) != 0;
	const bool modulate = ( state->flags & FLAG_MODULATE ) != 0;
	const bool ambient = l.ambientPresent != 0;
	const RwRGBA c = material != nullptr ? material->color : opaqueWhite;
	const f32 s = material != nullptr ? material->surfaceProps.ambient : 1.0f;
	const RwRGBA lit = { Product( 255.0f * s * l.ambientRed ), Product( 255.0f * s * l.ambientGreen ),
						 Product( 255.0f * s * l.ambientBlue ), 255 };
	if ( l.numLights < 1 ) {
		if ( !preLit && ambient ) {
			const RwRGBA colour = modulate ? RwRGBA{ Product( c.red * s * l.ambientRed ), Product( c.green * s * l.ambientGreen ),
													 Product( c.blue * s * l.ambientBlue ), c.alpha }
										   : lit;
			GXSetChanMatColor( GX_COLOR0A0, Gx( colour ) );
		} else if ( !preLit && modulate ) {
			GXSetChanMatColor( GX_COLOR0A0, Gx( { 0, 0, 0, c.alpha } ) );
		} else if ( preLit && modulate ) {
			GXSetChanMatColor( GX_COLOR0A0, Gx( c ) );
		}
		return;
	}
	if ( ambient && !preLit ) {
		GXSetChanAmbColor( GX_COLOR0A0, Gx( lit ) );
	}
	if ( modulate ) {
		GXSetChanMatColor( GX_COLOR0A0, Gx( c ) );
		if ( TwoChannels( l ) ) {
			GXSetChanMatColor( GX_COLOR1A1, Gx( c ) );
		}
	}
}

void _rxGCTevDefaultSetup( const RxGCInstanceContext* state ) {
	const bool two = TwoChannels( state->lighting );
	GXSetNumTevStages( two ? 2 : 1 );
	if ( state->flags & FLAG_TEXTURED ) {
		GXSetNumTexGens( 1 );
		GXSetTexCoordGen2( GX_TEXCOORD0, GX_TG_MTX2x4, GX_TG_TEX0, GX_IDENTITY, false, GX_PTIDENTITY );
		GXSetTevOrder( GX_TEVSTAGE0, GX_TEXCOORD0, GX_TEXMAP0, GX_COLOR0A0 );
		GXSetTevOp( GX_TEVSTAGE0, GX_MODULATE );
		if ( two ) {
			GXSetTevOrder( GX_TEVSTAGE1, GX_TEXCOORD0, GX_TEXMAP0, GX_COLOR1A1 );
			GXSetTevColorIn( GX_TEVSTAGE1, GX_CC_ZERO, GX_CC_TEXC, GX_CC_RASC, GX_CC_CPREV );
			GXSetTevColorOp( GX_TEVSTAGE1, GX_TEV_ADD, GX_TB_ZERO, GX_CS_SCALE_1, true, GX_TEVPREV );
			GXSetTevAlphaIn( GX_TEVSTAGE1, GX_CA_ZERO, GX_CA_ZERO, GX_CA_ZERO, GX_CA_APREV );
			GXSetTevAlphaOp( GX_TEVSTAGE1, GX_TEV_ADD, GX_TB_ZERO, GX_CS_SCALE_1, true, GX_TEVPREV );
		}
		return;
	}
	GXSetNumTexGens( 0 );
	GXSetTevOrder( GX_TEVSTAGE0, GX_TEXCOORD_NULL, GX_TEXMAP_NULL, GX_COLOR0A0 );
	GXSetTevOp( GX_TEVSTAGE0, GX_PASSCLR );
	if ( two ) {
		GXSetTevOrder( GX_TEVSTAGE1, GX_TEXCOORD_NULL, GX_TEXMAP_NULL, GX_COLOR1A1 );
		GXSetTevColorIn( GX_TEVSTAGE1, GX_CC_ZERO, GX_CC_RASC, GX_CC_ONE, GX_CC_CPREV );
		GXSetTevColorOp( GX_TEVSTAGE1, GX_TEV_ADD, GX_TB_ZERO, GX_CS_SCALE_1, true, GX_TEVPREV );
		GXSetTevAlphaIn( GX_TEVSTAGE1, GX_CA_ZERO, GX_CA_ZERO, GX_CA_ZERO, GX_CA_APREV );
		GXSetTevAlphaOp( GX_TEVSTAGE1, GX_TEV_ADD, GX_TB_ZERO, GX_CS_SCALE_1, true, GX_TEVPREV );
	}
}

void _rxGCRenderBegin( void* object, RxGCInstanceContext* state, const bool matrixIndexDirect ) {
	RxGCInstanceHeader* const header = _rxGCInstanceHeader( state->entry );
	header->drawToken = _RwDlTokenCurrent;
	const RpGameCubeVtxFmt* format = nullptr;
	const RwMatrix* matrix = nullptr;
	if ( static_cast<const RwObject*>( object )->type == rpATOMIC ) {
		const RpAtomic* const atomic = static_cast<const RpAtomic*>( object );
		format = RpGameCubeGeometryGetVtxFmt( atomic->geometry );
		RwFrame* const frame = RpAtomicGetFrame( atomic );
		matrix = frame != nullptr ? RwFrameGetLTM( frame ) : nullptr;
	} else if ( RwEngineInstance->currentWorld != nullptr ) {
		format = RpGameCubeWorldGetVtxFmt( RwEngineInstance->currentWorld );
	}
	_rwDlVtxFmtSetup( format, state->flags, header );
	if ( matrixIndexDirect ) {
		// Each vertex names its matrix slot; the matrices are loaded apart.
		GXSetVtxDesc( GX_VA_PNMTXIDX, GX_DIRECT );
	} else {
		_rwDlTransformSetup( matrix, ( state->flags & FLAG_NORMALS ) != 0 );
	}
	_rxGCChannelLightingSetup( state );
	_rxGCTevDefaultSetup( state );
}

bool _rxGCRenderNeedsMaterials( const RxGCInstanceContext* state ) {
	const bool preLit = ( state->flags & FLAG_PRELIT ) != 0;
	return ( state->flags & FLAG_MODULATE ) != 0 || ( state->lighting.ambientPresent != 0 && !preLit );
}

void _rxGCRenderMesh( const RxGCInstanceContext* state, const u32 index, const bool materials ) {
	const RpMaterial* const material = RpMeshHeaderGetMeshes( state->mesh )[index].material;
	if ( state->flags & FLAG_TEXTURED ) {
		RwTexture* const texture = material != nullptr ? material->texture : nullptr;
		_rwDlTextureSet( texture, 0 );
		const RwDlRasterExt* const ext =
			texture != nullptr && texture->raster != nullptr ? _rwDlRasterExt( texture->raster ) : nullptr;
		_rwDlRenderStateSetAlphaComp( ext != nullptr && ( ext->flags & RWDL_RASTER_HAS_ALPHA ) ? ALPHA_COMPARE_ALPHA
																						   : ALPHA_COMPARE_OPAQUE );
	}
	if ( materials ) {
		_rxGCChannelMaterialSetup( state, material );
	}
	const RxGCDisplayListRecord& record = _rxGCDisplayListRecords( state->entry )[index];
	GXCallDisplayList( record.list, record.size );
}

void* _rxGCDefaultRenderCallback( void* object, RxGCInstanceContext* state ) {
	_rxGCRenderBegin( object, state, false );
	const bool materials = _rxGCRenderNeedsMaterials( state );
	for ( u32 i = 0; i < state->mesh->numMeshes; i++ ) {
		_rxGCRenderMesh( state, i, materials );
	}
	return object;
}

void _rxGCResEntryWaitDone( RwResEntry* entry ) {
	const u16 token = _rxGCInstanceHeader( entry )->drawToken;
	if ( token == _RwDlTokenCurrent ) {
		GXSetDrawSync( token );
		_RwDlTokenCurrent = static_cast<u16>( ( token + 1 ) % RWDL_TOKEN_MODULO );
	}
	RwDlWait wait;
	_rwDlWaitBegin( &wait, "an instance's draw-sync token" );
	while ( !_rwDlTokenQueryDone( token ) ) {
		_rwDlWaitTurn( &wait );
	}
	GXInvalidateVtxCache();
}
