#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"

// Name of the one sub-system the core reports when the device has none.
static const char ONLY_SUBSYSTEM_NAME[] = "Only rendering sub system";

static RwGlobals* CurrentInstance() {
	return RwEngineInstance != nullptr ? RwEngineInstance : &staticGlobals;
}

// The core's own answer to a request the device refused.
static bool Fallback( const s32 requestID, void* out, const s32 inInt ) {
	switch ( requestID ) {
		case RWDEVICE_NUM_SUBSYSTEMS:
			if ( out == nullptr ) {
				return false;
			}
			*static_cast<s32*>( out ) = 1;
			return true;
		case RWDEVICE_SUBSYSTEM_INFO: {
			RwStringFunctions* const strings = &CurrentInstance()->stringFunctions;
			if ( inInt != 0 || out == nullptr || strings->rwstrcpy == nullptr ) {
				return false;
			}
			strings->rwstrcpy( static_cast<RwSubSystemInfo*>( out )->name, ONLY_SUBSYSTEM_NAME );
			return true;
		}
		case RWDEVICE_CURRENT_SUBSYSTEM:
			if ( out == nullptr ) {
				return false;
			}
			*static_cast<s32*>( out ) = 0;
			return true;
		case RWDEVICE_SELECT_SUBSYSTEM:
			return inInt == 0;
		case RWDEVICE_FINISH_START:
		case RWDEVICE_BEGIN_STOP:
			return true;
		default:
			return false;
	}
}

bool _rwDeviceSystemRequest( RwDevice* device, const s32 requestID, void* out, void* inOut, const s32 inInt ) {
	// A device without a request entry refuses everything.
	const bool accepted = device != nullptr && device->fpSystem != nullptr && device->fpSystem( requestID, out, inOut, inInt );
	if ( accepted || Fallback( requestID, out, inInt ) ) {
		return true;
	}
	_rwErrorSetCore( _rwerror( RWERR_DEVICE_REFUSED, requestID ) );
	return false;
}

static bool Request( const s32 requestID, void* out, const s32 inInt ) {
	return _rwDeviceSystemRequest( &CurrentInstance()->device, requestID, out, nullptr, inInt );
}

s32 RwEngineGetNumSubSystems() {
	s32 count = 0;
	return Request( RWDEVICE_NUM_SUBSYSTEMS, &count, 0 ) ? count : -1;
}

RwSubSystemInfo* RwEngineGetSubSystemInfo( RwSubSystemInfo* subSystemInfo, const s32 subSystemIndex ) {
	return Request( RWDEVICE_SUBSYSTEM_INFO, subSystemInfo, subSystemIndex ) ? subSystemInfo : nullptr;
}

s32 RwEngineGetCurrentSubSystem() {
	s32 index = 0;
	return Request( RWDEVICE_CURRENT_SUBSYSTEM, &index, 0 ) ? index : -1;
}

s32 RwEngineGetNumVideoModes() {
	s32 count = 0;
	return Request( RWDEVICE_NUM_VIDEO_MODES, &count, 0 ) ? count : -1;
}

RwVideoMode* RwEngineGetVideoModeInfo( RwVideoMode* modeinfo, const s32 modeIndex ) {
	return Request( RWDEVICE_VIDEO_MODE_INFO, modeinfo, modeIndex ) ? modeinfo : nullptr;
}

s32 RwEngineGetCurrentVideoMode() {
	s32 mode = 0;
	return Request( RWDEVICE_CURRENT_VIDEO_MODE, &mode, 0 ) ? mode : -1;
}
