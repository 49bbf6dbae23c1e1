#include "framework/graphics/EFGraphicsMgr_BC.h"

namespace {

constexpr u32 DEFAULT_SCREEN_WIDTH  = 640;
constexpr u32 DEFAULT_SCREEN_HEIGHT = 480;

}

EFGraphicsMgr_BC::EFGraphicsMgr_BC( const EFAppContext& context ) : mrContext( context ) {
	mui32RenderingEnabled = 1;
	for ( EFCamera*& camera : mpoCameras ) {
		camera = nullptr;
	}
	mui32ScreenWidth = DEFAULT_SCREEN_WIDTH;
	mui32ScreenHeight = DEFAULT_SCREEN_HEIGHT;
	mui32TVMode = EF_TV_MODE_NTSC;
	mi32CurrentSubSystem = -1;
	mi32CurrentVideoMode = -1;
}
