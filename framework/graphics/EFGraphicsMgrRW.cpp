#include "framework/graphics/EFGraphicsMgrRW.h"

#include "datatypes/base/DTFloatToInt.h"
#include "datatypes/file/DTDiscMessage.h"
#include "datatypes/maths/DTMatrix.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFIniFile.h"
#include "framework/graphics/ApAtomicDataPlugin.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/animation/EFTexFaderRW.h"
#include "framework/graphics/effects/EFProjectorMgr.h"
#include "framework/graphics/effects/EFShadowMgr.h"
#include "framework/physics/ApCollisionPrimitivesPlugin.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwRenderState.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RxPipeline.h"
#include "graphics3d/gamecube/RwGameCube.h"
#include "graphics3d/world/RpCollision.h"
#include "graphics3d/world/RpHAnim.h"
#include "graphics3d/world/RpSkin.h"
#include "graphics3d/world/RpWorldPlugin.h"
#include "platform/gx/GX.h"
#include "platform/os/OS.h"
#include "platform/vi/VI.h"

#include <cstring>

void ( *RWPreRetraceCallBack )( u32 ) = nullptr;
GXRenderModeObj	g_rmode;
RxPipeline*		gpPipeDbgWiredFrame = nullptr;
RxPipeline*		gpPipeDbgTriangle = nullptr;
RxPipeline*		gpPipeMaterialParticle = nullptr;
RxPipeline*		gpPipeMaterialTest = nullptr;
RxPipeline*		gpPipeInstanceParticle = nullptr;
RxPipeline*		gpPipeInstanceAtomicTest = nullptr;

namespace {

template <bool ( *ATTACH )()>
s32 AttachLibraryPlugIn() {
	return ATTACH() ? 1 : 0;
}

}

EFPlugInAttachStep_s gaoPlugInAttachSteps[EF_PLUGIN_ATTACH_STEPS] = {
	{ "RpCollisionPluginAttach", AttachLibraryPlugIn<RpCollisionPluginAttach>, EF_PLUGIN_FAILS_ON_ZERO },
	{ "RpWorldPluginAttach", AttachLibraryPlugIn<RpWorldPluginAttach>, EF_PLUGIN_FAILS_ON_ZERO },
	{ "RpHAnimPluginAttach", AttachLibraryPlugIn<RpHAnimPluginAttach>, EF_PLUGIN_FAILS_UNLESS_ONE },
	{ "RpSkinPluginAttach", AttachLibraryPlugIn<RpSkinPluginAttach>, EF_PLUGIN_FAILS_UNLESS_ONE },
	{ "EFTexFader_SP::InitPlugIn", EFTexFader_SP::InitPlugIn, EF_PLUGIN_UNTESTED },
	{ "ApCollisionPrimitivesPluginAttach", ApCollisionPrimitivesPluginAttach, EF_PLUGIN_FAILS_UNLESS_ONE },
	{ "ApAtomicDataPluginAttach", ApAtomicDataPluginAttach, EF_PLUGIN_IS_RESULT },
};

namespace {

constexpr f32 DEFAULT_BRIGHTNESS	= 0.5f;
constexpr u32 DEFAULT_STENCIL		= 1;
constexpr s32 DEFAULT_MAX_FPS		= 30;
constexpr u32 RESOURCE_ARENA_BYTES	= 0x200000;
constexpr u32 DEVICE_FIFO_BYTES		= 0x40000;
constexpr u32 PIXEL_FORMAT_RGBA6_Z24	= 1;
constexpr u32 PIXEL_FORMAT_RGB8_Z24		= 0;
constexpr u16 OVERSCAN_VERTICAL_LINES	= 16;
constexpr u32 GLOBAL_HEAP			= 0;

// Render states (the library's numbering) and their values.
constexpr RwRenderState STATE_SRC_BLEND		= 10;
constexpr RwRenderState STATE_FOG			= 14;
constexpr RwRenderState STATE_FOG_COLOUR	= 15;
constexpr RwRenderState STATE_FOG_TYPE		= 16;
constexpr RwRenderState STATE_FOG_DENSITY	= 17;
constexpr RwRenderState STATE_CULL_MODE		= 20;
constexpr u32 CULL_NONE					= 1;
constexpr u32 BLEND_INV_DEST_ALPHA		= 8;

const RwMemoryFunctions ENGINE_MEMORY = { MMMalloc, MMFree, MMRealloc, MMCalloc };

void LibraryFree( void* block ) {
	RwEngineInstance->memoryFunctions.rwfree( block );
}

void* StateValue( const u32 value ) {
	return reinterpret_cast<void*>( static_cast<uintptr_t>( value ) );
}

u32 ReadStencil() {
	u32 stencil = DEFAULT_STENCIL;
	EFIniFile::GetInstance()->GetIniBool( "Stencil", &stencil );
	return stencil;
}

// The double-strike render mode of the console's TV format.
GXRenderModeObj* RenderModeOfTvFormat() {
	switch ( VIGetTvFormat() ) {
		case VI_NTSC:	return &GXNtsc480IntDf;
		case VI_PAL:	return &GXPal528IntDf;
		case VI_MPAL:	return &GXMpal480IntDf;
		case VI_EURGB60: return &GXEurgb60Hz480IntDf;
		default:		OSPanic( "EFGraphicsMgrRW", 192, "DEMOInit: invalid TV format\n" );
	}
}

void ScaleVerticalFilter( GXRenderModeObj& mode, const f32 brightness ) {
	f32 scale = 2.0f * brightness;
	scale = scale < 0.0f ? 0.0f : ( scale > 2.0f ? 2.0f : scale );
	for ( u8& weight : mode.vfilter ) {
		const u32 scaled = DTFloatToU32( static_cast<f32>( weight ) * scale );
		weight = static_cast<u8>( scaled > 0xFF ? 0xFF : scaled );
	}
}

}

EFGraphicsMgr_SP::EFGraphicsMgr_SP( const EFAppContext& context )
	: EFGraphicsMgr_BC( context ), mpoCameraRaster( nullptr ), mpoDepthRaster( nullptr ),
	  mui32SavedSrcBlend( EF_NO_SAVED_BLEND ), mui32LibraryState( RWENGINE_STATE_IDLE ) {
	MMChangeHeap( GLOBAL_HEAP );
	if ( RwEngineInit( &ENGINE_MEMORY, 1, RESOURCE_ARENA_BYTES ) ) {
		mui32LibraryState = RWENGINE_STATE_INITIALISED;
	}
	AttachPlugins();

	GXRenderModeObj mode;
	GXAdjustForOverscan( RenderModeOfTvFormat(), &mode, 0, OVERSCAN_VERTICAL_LINES );
	EFIniFile* const ini = EFIniFile::GetInstance();
	mfBrightnessLevel = DEFAULT_BRIGHTNESS;
	ini->GetIniFloat( "BrightnessLevel", &mfBrightnessLevel );
	ScaleVerticalFilter( mode, mfBrightnessLevel );

	RwGameCubeDeviceConfig open = { &mode, ReadStencil() != 0 ? PIXEL_FORMAT_RGBA6_Z24 : PIXEL_FORMAT_RGB8_Z24,
									DEVICE_FIFO_BYTES };
	g_rmode = mode;
	// The open parameters' display id points at the device configuration.
	RwGameCubeDeviceConfig* displayId = &open;
	if ( mui32LibraryState == RWENGINE_STATE_INITIALISED && RwEngineOpen( &displayId ) ) {
		mui32LibraryState = RWENGINE_STATE_OPENED;
	}
	SetVideoSettings( static_cast<s32>( context.bShowVideoDialog ) );
	if ( mui32LibraryState == RWENGINE_STATE_OPENED && RwEngineStart() ) {
		mui32LibraryState = RWENGINE_STATE_STARTED;
	}
	CreateAllPipeLine();
	goShadowMgr.Initialize();
	CreateRasters();
	DTMatrix::bInit = 1;
	DTMatrix::mpoWork = reinterpret_cast<DTMatrix*>( RwMatrixCreate() );
	DTMatrix::mpoWorkIn = reinterpret_cast<DTMatrix*>( RwMatrixCreate() );

	mi32MaxFPS = DEFAULT_MAX_FPS;
	ini->GetIniInteger( "MaxFPS", &mi32MaxFPS );
	RWPreRetraceCallBack = VISetPreRetraceCallback( mi32MaxFPS == 30 ? Retrace30CallBack : Retrace60CallBack );
	MMReplaceHeap();
}

EFGraphicsMgr_SP::~EFGraphicsMgr_SP() {
	// Host only (the console never destroys this manager): projectors and
	// shadows give their cameras, frames and textures back while the
	// library is still up.
	goProjectorMgr.DestroyAllProjectors();
	goShadowMgr.ReleaseLibraryObjects();
	DestroyAllPipeLine();
	DestroyRasters();
	if ( DTMatrix::mpoWork != nullptr ) {
		RwMatrixDestroy( &DTMatrix::mpoWork->oMat );
		DTMatrix::mpoWork = nullptr;
	}
	if ( DTMatrix::mpoWorkIn != nullptr ) {
		RwMatrixDestroy( &DTMatrix::mpoWorkIn->oMat );
		DTMatrix::mpoWorkIn = nullptr;
	}
	DTMatrix::bInit = 0;
	// The previous callback goes back, so no retrace reaches this manager.
	VISetPreRetraceCallback( RWPreRetraceCallBack );
	RWPreRetraceCallBack = nullptr;
	FreeDriverNames();
	moDisplayModes.Resize( 0 );
	if ( mui32LibraryState >= RWENGINE_STATE_STARTED ) {
		RwEngineStop();
	}
	if ( mui32LibraryState >= RWENGINE_STATE_OPENED ) {
		RwEngineClose();
	}
	if ( mui32LibraryState >= RWENGINE_STATE_INITIALISED ) {
		RwEngineTerm();
	}
	mui32LibraryState = RWENGINE_STATE_IDLE;
}

s32 EFGraphicsMgr_SP::AttachPlugins() {
	s32 result = 0;
	for ( const EFPlugInAttachStep_s& step : gaoPlugInAttachSteps ) {
		result = step.attach();
		const bool failed = ( step.test == EF_PLUGIN_FAILS_ON_ZERO && result == 0 ) ||
							( step.test == EF_PLUGIN_FAILS_UNLESS_ONE && result != 1 ) ||
							( step.test == EF_PLUGIN_IS_RESULT && result == 0 );
		if ( failed ) {
			OSReport( "AttachPlugins: %s failed\n", step.name );
		}
		if ( failed && step.test != EF_PLUGIN_IS_RESULT ) {
			return step.test == EF_PLUGIN_FAILS_ON_ZERO ? 0 : result;
		}
	}
	return result;
}

void Retrace60CallBack( const u32 retraceCount ) {
	if ( RWPreRetraceCallBack != nullptr ) {
		RWPreRetraceCallBack( retraceCount );
	}
}

void Retrace30CallBack( const u32 retraceCount ) {
	if ( ( retraceCount & 1 ) != 0 && RWPreRetraceCallBack != nullptr ) {
		RWPreRetraceCallBack( retraceCount );
	}
}

s32 CreateAllPipeLine() {
	return 1;
}

void DestroyAllPipeLine() {
	RxPipeline** const pipelines[] = { &gpPipeDbgWiredFrame,	&gpPipeDbgTriangle,		&gpPipeMaterialParticle,
									   &gpPipeMaterialTest,		&gpPipeInstanceParticle, &gpPipeInstanceAtomicTest };
	for ( RxPipeline** const pipeline : pipelines ) {
		if ( *pipeline != nullptr ) {
			_rxPipelineDestroy( *pipeline );
			*pipeline = nullptr;
		}
	}
}

s32 EFGraphicsMgr_SP::SetVideoSettings( s32 ) {
	char mode[INI_TOKEN_BUFFER] = "ntsc";
	EFIniFile::GetInstance()->GetIniString( "DisplayMode", mode );
	if ( std::strcmp( mode, "NTSC" ) == 0 ) {
		mui32TVMode = EF_TV_MODE_NTSC;
	} else if ( std::strcmp( mode, "PAL" ) == 0 ) {
		mui32TVMode = EF_TV_MODE_PAL;
	}
	UpdateDriverVector();
	UpdateDisplayModeVector();
	return 1;
}

void EFGraphicsMgr_SP::FreeDriverNames() {
	for ( u32 i = 0; i < moDrivers.GetSize(); i++ ) {
		LibraryFree( moDrivers[i] );
	}
	moDrivers.Resize( 0 );
}

void EFGraphicsMgr_SP::UpdateDriverVector() {
	FreeDriverNames();
	const s32 count = RwEngineGetNumSubSystems();
	for ( s32 i = 0; i < count; i++ ) {
		RwSubSystemInfo info;
		if ( RwEngineGetSubSystemInfo( &info, i ) == nullptr ) {
			continue;
		}
		info.name[RWSUBSYSTEM_NAME_LENGTH - 1] = '\0';
		const RwStringFunctions& strings = RwEngineInstance->stringFunctions;
		char* const name = static_cast<char*>( RwEngineInstance->memoryFunctions.rwmalloc( strings.rwstrlen( info.name ) + 1 ) );
		if ( name == nullptr ) {
			continue;
		}
		strings.rwstrcpy( name, info.name );
		if ( !moDrivers.Append( name ) ) {
			LibraryFree( name );
		}
	}
	mi32CurrentSubSystem = RwEngineGetCurrentSubSystem();
}

void EFGraphicsMgr_SP::UpdateDisplayModeVector() {
	moDisplayModes.Resize( 0 );
	const s32 count = RwEngineGetNumVideoModes();
	for ( s32 i = 0; i < count; i++ ) {
		RwVideoMode info;
		if ( RwEngineGetVideoModeInfo( &info, i ) == nullptr ) {
			continue;
		}
		moDisplayModes.Append( { info.width, info.height, info.depth, info.flags & 1 } );
	}
	mi32CurrentVideoMode = RwEngineGetCurrentVideoMode();
}

s32 EFGraphicsMgr_SP::CreateRasters() {
	const s32 current = mi32CurrentVideoMode;
	if ( current >= 0 && static_cast<u32>( current ) < moDisplayModes.GetSize() &&
		 moDisplayModes[static_cast<u32>( current )].exclusive != 0 ) {
		mui32ScreenWidth = static_cast<u32>( moDisplayModes[static_cast<u32>( current )].width );
		mui32ScreenHeight = static_cast<u32>( moDisplayModes[static_cast<u32>( current )].height );
	}
	const s32 width = static_cast<s32>( mui32ScreenWidth );
	const s32 height = static_cast<s32>( mui32ScreenHeight );
	mpoCameraRaster = RwRasterCreate( width, height, 0, rwRASTERTYPECAMERA );
	if ( mpoCameraRaster == nullptr ) {
		return 0;
	}
	mpoDepthRaster = RwRasterCreate( width, height, 0, rwRASTERTYPEZBUFFER );
	if ( mpoDepthRaster == nullptr ) {
		return 0;
	}
	if ( RwRasterPushContext( mpoCameraRaster ) != nullptr ) {
		RwRasterClear( 0 );
		RwRasterPopContext();
	}
	return 1;
}

void EFGraphicsMgr_SP::DestroyRasters() {
	if ( mpoCameraRaster != nullptr ) {
		RwRasterDestroy( mpoCameraRaster );
		mpoCameraRaster = nullptr;
	}
	if ( mpoDepthRaster != nullptr ) {
		RwRasterDestroy( mpoDepthRaster );
		mpoDepthRaster = nullptr;
	}
}

void EFGraphicsMgr_SP::SetRenderState( EFCamera& camera ) {
	RwRenderStateSet( STATE_CULL_MODE, StateValue( CULL_NONE ) );
	if ( camera.mui32Fog != 0 ) {
		RwRenderStateSet( STATE_FOG, StateValue( 1 ) );
		RwRenderStateSet( STATE_FOG_COLOUR, StateValue( camera.mui32FogColor ) );
		RwRenderStateSet( STATE_FOG_TYPE, StateValue( camera.mui32FogType ) );
		RwRenderStateSet( STATE_FOG_DENSITY, &camera.mfFogDensity );
	} else {
		RwRenderStateSet( STATE_FOG, StateValue( 0 ) );
	}
}

void EFGraphicsMgr_SP::EnableStencilWrite( const u32 enable ) {
	if ( ReadStencil() != 0 ) {
		GXSetAlphaUpdate( enable != 0 ? GX_TRUE : GX_FALSE );
	}
}

void EFGraphicsMgr_SP::EnableStencilRead( const u32 enable ) {
	if ( ReadStencil() == 0 ) {
		return;
	}
	if ( enable != 0 ) {
		if ( mui32SavedSrcBlend == EF_NO_SAVED_BLEND ) {
			// Room for a pointer-sized answer: devices write a 32-bit value or
			// a whole pointer.
			void* blend = nullptr;
			RwRenderStateGet( STATE_SRC_BLEND, &blend );
			mui32SavedSrcBlend = static_cast<u32>( reinterpret_cast<uintptr_t>( blend ) );
		}
		RwRenderStateSet( STATE_SRC_BLEND, StateValue( BLEND_INV_DEST_ALPHA ) );
	} else if ( mui32SavedSrcBlend != EF_NO_SAVED_BLEND ) {
		RwRenderStateSet( STATE_SRC_BLEND, StateValue( mui32SavedSrcBlend ) );
		mui32SavedSrcBlend = EF_NO_SAVED_BLEND;
	}
}

void EFGraphicsMgr_SP::Pause( const u32 pause ) {
	mui32RenderingEnabled = pause != 0 ? 0 : 1;
}

void EFGraphicsMgr_SP::Flip() {
	RwRasterShowRaster( mpoCameraRaster, nullptr, 1 );
	if ( gTempFB != nullptr ) {
		MMFree( gTempFB );
		gTempFB = nullptr;
	}
}

void EFGraphicsMgr_SP::PostTerminate() {
	RwTexDictionary* const current = RwTexDictionaryGetCurrent();
	if ( current != nullptr ) {
		RwTexDictionaryDestroy( current );
	}
	RwTexDictionarySetCurrent( RwTexDictionaryCreate() );
}
