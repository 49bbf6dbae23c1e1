#include "framework/logic/api/LogicApiTables.h"

#include "datatypes/base/DTFloatToInt.h"
#include "datatypes/maths/DTColor.h"
#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFInstanceFlags.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFCameraFrustum.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiClearColor.h"
#include "framework/logic/api/LogicApiTable.h"
#include "graphics3d/core/RwCamera.h"

GXColor sFloatClearColor = { 0, 0, 0, 0 };

namespace {

bool bDone = false;

constexpr f32 MIN_NEAR_PLANE = 0.1f;

EFCamera * Camera( const u32 id ) {
	return gpoGraphicsMgr != nullptr ? gpoGraphicsMgr->GetCamera( id ) : nullptr;
}

// A colour channel as a byte: truncated, then held to 0..255 (negative
// values and NaN give 0), so no channel spills into its neighbours.
u32 ChannelByte( const f32 value ) {
	const u32 truncated = DTFloatToU32( value );
	return truncated > 255 ? 255 : truncated;
}

// The camera's view volumes brought up to date for a test in world space.
EFCamera * RefreshedCamera( const u32 id ) {
	EFCamera * const camera = Camera( id );
	if ( camera != nullptr ) {
		EFRefreshWorldFrustum( *camera );
	}
	return camera;
}

// --- Slots ---

u32 CreateCamera( const u32 objectId ) {
	EFApiTrace::mFuncName = "CreateCamera";
	EFGameObject * const object = gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( objectId ) : nullptr;
	u32 id = EF_NO_CAMERA;
	if ( object != nullptr && gpoGraphicsMgr != nullptr ) {
		id = gpoGraphicsMgr->CreateCamera( object->GetFrame() );
		EFCamera * const camera = gpoGraphicsMgr->GetCamera( id );
		if ( camera != nullptr ) {
			// The camera borrows the object's frame: it takes a frame of its
			// own when the object ends.
			camera->mui32LenderId = object->GetUID();
			// The camera's own object is never clipped by its first band.
			EFClippingParams params;
			object->GetClippingParams( &params );
			params.oDists[0].uiOutFrustClipOps = 0;
			params.oDists[0].uiInFrustClipOps = 0;
			object->SetClippingParams( &params, 1 );
		}
	}
	EFApiTrace::mFuncName = nullptr;
	return id;
}

void ActivateCamera( const u32 id, const u32 on ) {
	EFApiTrace::mFuncName = "ActivateCamera";
	if ( EFCamera * const camera = Camera( id ) ) {
		if ( on != 0 ) {
			camera->muiFlags |= EF_INSTANCE_ACTIVE;
		} else {
			camera->muiFlags &= ~EF_INSTANCE_ACTIVE;
		}
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetCameraPriority( const u32, const f32 ) {
	EFApiTrace::mFuncName = "SetCameraPriority";
	EFApiTrace::mFuncName = nullptr;
}

f32 GetCameraPriority( const u32 ) {
	EFApiTrace::mFuncName = "GetCameraPriority";
	EFApiTrace::mFuncName = nullptr;
	return -1.0f;
}

void SetCameraFarClipPlane( const u32 id, const f32 farPlane ) {
	EFApiTrace::mFuncName = "SetCameraFarClipPlane";
	EFCamera * const camera = Camera( id );
	if ( camera != nullptr && camera->mpoRwCamera != nullptr ) {
		RwCameraSetFarClipPlane( camera->mpoRwCamera, farPlane );
		camera->muiPlanesDirty = 1;
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetCameraNearClipPlane( const u32 id, const f32 nearPlane ) {
	EFApiTrace::mFuncName = "SetCameraNearClipPlane";
	EFCamera * const camera = Camera( id );
	if ( camera != nullptr && camera->mpoRwCamera != nullptr ) {
		RwCameraSetNearClipPlane( camera->mpoRwCamera, nearPlane > MIN_NEAR_PLANE ? nearPlane : MIN_NEAR_PLANE );
		camera->muiPlanesDirty = 1;
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetCameraClearColor( const u32 id, CColor * const c ) {
	EFApiTrace::mFuncName = "SetCameraClearColor";
	EFCamera * const camera = Camera( id );
	if ( camera != nullptr && c != nullptr ) {
		DTColor colour( c->red, c->green, c->blue, c->alpha );
		camera->SetClearColor( colour );
		sFloatClearColor.r = static_cast<u8>( ChannelByte( c->red * 255.0f ) );
		sFloatClearColor.g = static_cast<u8>( ChannelByte( c->green * 255.0f ) );
		sFloatClearColor.b = static_cast<u8>( ChannelByte( c->blue * 255.0f ) );
		sFloatClearColor.a = static_cast<u8>( ChannelByte( c->alpha * 255.0f ) );
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetCameraClearMode( const u32 id, const u32 mode ) {
	EFApiTrace::mFuncName = "SetCameraClearMode";
	if ( EFCamera * const camera = Camera( id ) ) {
		camera->mui32ClearMode = mode;
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetCameraProjection( const u32 id, const u32 projection ) {
	EFApiTrace::mFuncName = "SetCameraProjection";
	if ( EFCamera * const camera = Camera( id ) ) {
		camera->SetCameraProjection( projection == 1 ? EF_CAMERA_PARALLEL : EF_CAMERA_PERSPECTIVE );
	}
	EFApiTrace::mFuncName = nullptr;
}

void GetCameraViewWindow( const u32 id, f32 * const width, f32 * const height ) {
	EFApiTrace::mFuncName = "GetCameraViewWindow";
	EFCamera * const camera = Camera( id );
	if ( camera != nullptr && width != nullptr && height != nullptr ) {
		camera->GetViewWindow( *width, *height );
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetCameraViewWindow( const u32 id, const f32 width, const f32 height ) {
	EFApiTrace::mFuncName = "SetCameraViewWindow";
	if ( EFCamera * const camera = Camera( id ) ) {
		camera->SetViewWindow( width, height );
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetCameraDisplayArea( const u32 id, CRect * const area ) {
	EFApiTrace::mFuncName = "SetCameraDisplayArea";
	EFCamera * const camera = Camera( id );
	if ( camera != nullptr && area != nullptr ) {
		camera->SetDisplayArea( area );
	}
	EFApiTrace::mFuncName = nullptr;
}

void GetCameraDisplayArea( const u32 id, CRect * const area ) {
	EFApiTrace::mFuncName = "GetCameraDisplayArea";
	EFCamera * const camera = Camera( id );
	if ( camera != nullptr && area != nullptr ) {
		camera->GetDisplayArea( area );
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetCameraRenderFlag( const u32 id, const u32 flags ) {
	EFApiTrace::mFuncName = "SetCameraRenderFlag";
	if ( EFCamera * const camera = Camera( id ) ) {
		camera->muiRenderFlags = flags;
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetCameraFOV( const u32 id, const f32 fov ) {
	EFApiTrace::mFuncName = "SetCameraFOV";
	if ( EFCamera * const camera = Camera( id ) ) {
		camera->SetFOV( fov );
	}
	EFApiTrace::mFuncName = nullptr;
}

void TakeSnapShot( const u32 id, char * const fileName ) {
	EFApiTrace::mFuncName = "SetRenderFlag";
	EFCamera * const camera = Camera( id );
	if ( camera != nullptr && fileName != nullptr ) {
		camera->TakeSnapShot( fileName );
	}
	EFApiTrace::mFuncName = nullptr;
}

u32 ProjectOntoFrustum( const u32 id, DTVector3d * const result, DTVector3d * const point ) {
	EFApiTrace::mFuncName = "ProjectOntoFrustum";
	EFCamera * const camera = RefreshedCamera( id );
	u32 code = 0;
	if ( camera != nullptr && camera->GetFrame() != nullptr && result != nullptr && point != nullptr ) {
		code = camera->moWorldFrustum.ProjectOntoFrustum( *camera->GetFrame()->GetWMatrix(), *point, result );
	}
	EFApiTrace::mFuncName = nullptr;
	return code;
}

u32 IsSphereInFrustrum( const u32 id, DTVector3d * const centre, const f32 radius ) {
	EFApiTrace::mFuncName = "IsSphereInFrustrum";
	EFCamera * const camera = RefreshedCamera( id );
	if ( camera == nullptr || centre == nullptr ) {
		EFApiTrace::mFuncName = nullptr;
		return 0;
	}
	bool crossing = false;
	for ( const EFPlane & plane : camera->moWorldFrustum.moPlanes ) {
		const f32 d = plane.Distance( *centre );
		if ( d > radius ) {
			EFApiTrace::mFuncName = nullptr;
			return 0;
		}
		if ( d >= -radius ) {
			crossing = true;
		}
	}
	EFApiTrace::mFuncName = nullptr;
	return crossing ? 2 : 1;
}

void EnableCameraFog( const u32 id, const s32 on ) {
	EFApiTrace::mFuncName = "EnableCameraFog";
	if ( EFCamera * const camera = Camera( id ) ) {
		camera->mui32Fog = on != 0 ? 1 : 0;
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetCameraFogType( const u32 id, const u32 type ) {
	EFApiTrace::mFuncName = "SetCameraFogType";
	if ( EFCamera * const camera = Camera( id ) ) {
		camera->mui32FogType = type;
	}
	EFApiTrace::mFuncName = nullptr;
}

u32 GetCameraFogType( const u32 id ) {
	EFApiTrace::mFuncName = "GetCameraFogType";
	const EFCamera * const camera = Camera( id );
	const u32 type = camera != nullptr ? camera->mui32FogType : 0;
	EFApiTrace::mFuncName = nullptr;
	return type;
}

void SetCameraFogColor( const u32 id, CColor * const c ) {
	EFApiTrace::mFuncName = "SetCameraFogColor";
	EFCamera * const camera = Camera( id );
	if ( camera != nullptr && c != nullptr ) {
		camera->mui32FogColor = ChannelByte( c->alpha ) << 24 | ChannelByte( c->red ) << 16 |
								ChannelByte( c->green ) << 8 | ChannelByte( c->blue );
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetCameraFogDensity( const u32 id, const f32 density ) {
	EFApiTrace::mFuncName = "SetCameraFogDensity";
	if ( EFCamera * const camera = Camera( id ) ) {
		camera->mfFogDensity = density;
	}
	EFApiTrace::mFuncName = nullptr;
}

f32 GetCameraFogDensity( const u32 id ) {
	EFApiTrace::mFuncName = "GetCameraFogDensity";
	const EFCamera * const camera = Camera( id );
	const f32 density = camera != nullptr ? camera->mfFogDensity : 0.0f;
	EFApiTrace::mFuncName = nullptr;
	return density;
}

void SetCameraFogDistance( const u32 id, const f32 distance ) {
	EFApiTrace::mFuncName = "SetCameraFogDistance";
	EFCamera * const camera = Camera( id );
	if ( camera != nullptr && camera->mpoRwCamera != nullptr ) {
		camera->mpoRwCamera->fogPlane = distance;
	}
	EFApiTrace::mFuncName = nullptr;
}

f32 GetCameraFogDistance( const u32 id ) {
	EFApiTrace::mFuncName = "GetCameraFogDistance";
	const EFCamera * const camera = Camera( id );
	const f32 distance = camera != nullptr && camera->mpoRwCamera != nullptr ? camera->mpoRwCamera->fogPlane : 0.0f;
	EFApiTrace::mFuncName = nullptr;
	return distance;
}

void DestroyCamera( const u32 id ) {
	EFApiTrace::mFuncName = "DestroyCamera";
	if ( gpoGraphicsMgr != nullptr ) {
		gpoGraphicsMgr->DestroyCamera( id );
	}
	EFApiTrace::mFuncName = nullptr;
}

}

void ApiCameraNotInit() {
	bDone = true;
}

bool ApiCameraNotInitDone() {
	return bDone;
}

constexpr _api_camera APIcameraStubs = MakeLogicApiStubs<_api_camera, ApiCameraNotInit>();
constinit _api_camera APIcamera = MakeLogicApiStubs<_api_camera, ApiCameraNotInit>();

void Init_camera() {
	InitAPI( &APIcamera, LOGIC_API_CAMERA_SLOTS, &APIcameraStubs );
	APIcamera.Create = CreateCamera;
	APIcamera.Activate = ActivateCamera;
	APIcamera.SetPriority = SetCameraPriority;
	APIcamera.GetPriority = GetCameraPriority;
	APIcamera.SetFarClipPlane = SetCameraFarClipPlane;
	APIcamera.SetNearClipPlane = SetCameraNearClipPlane;
	APIcamera.SetClearColor = SetCameraClearColor;
	APIcamera.SetClearMode = SetCameraClearMode;
	APIcamera.SetProjection = SetCameraProjection;
	APIcamera.GetViewWindow = GetCameraViewWindow;
	APIcamera.SetViewWindow = SetCameraViewWindow;
	APIcamera.SetDisplayArea = SetCameraDisplayArea;
	APIcamera.GetDisplayArea = GetCameraDisplayArea;
	APIcamera.SetRenderFlag = SetCameraRenderFlag;
	APIcamera.SetFOV = SetCameraFOV;
	APIcamera.TakeSnapShot = TakeSnapShot;
	APIcamera.ProjectOntoFrustum = ProjectOntoFrustum;
	APIcamera.IsSphereInFrustrum = IsSphereInFrustrum;
	APIcamera.EnableFog = EnableCameraFog;
	APIcamera.SetFogType = SetCameraFogType;
	APIcamera.GetFogType = GetCameraFogType;
	APIcamera.SetFogColor = SetCameraFogColor;
	APIcamera.SetFogDensity = SetCameraFogDensity;
	APIcamera.GetFogDensity = GetCameraFogDensity;
	APIcamera.SetFogDistance = SetCameraFogDistance;
	APIcamera.GetFogDistance = GetCameraFogDistance;
	APIcamera.Destroy = DestroyCamera;
}
