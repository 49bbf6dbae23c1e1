#include "framework/graphics/effects/EFProjector_BC.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFTextureDict.h"
#include "framework/graphics/effects/EFProjectorMgr_BC.h"
#include "graphics3d/core/RwCamera.h"

#include <new>

namespace {

constexpr f32 DEFAULT_SIZE				= 1.0f;
constexpr f32 DEFAULT_REACH				= 4.0f;
constexpr f32 PROJECTOR_FAR_CLIP		= 10000.0f;
constexpr f32 PROJECTOR_NEAR_CLIP		= 1.0f;

f32 Dot( const RwV3d & a, const RwV3d & b ) {
	return a.x * b.x + a.y * b.y + a.z * b.z;
}

}

EFProjector_BC::EFProjector_BC( const u32 handle )
	: muiFlags( EF_PROJECTOR_VISIBLE ), muiHandle( handle ), mpoTexture( nullptr ), mfWidth( DEFAULT_SIZE ),
	  mfHeight( DEFAULT_SIZE ), mfReachDistance( DEFAULT_REACH ), mafColor{ 1.0f, 1.0f, 1.0f, 1.0f },
	  muiBlendingFunction( EF_PROJECTOR_BLEND_ADDITIVE ), muiProjectionType( EF_PROJECTOR_PARALLEL ),
	  mpoCamera( new ( std::nothrow ) EFCamera( nullptr ) ) {
}

EFProjector_BC::~EFProjector_BC() {
	delete mpoCamera;
	mpoCamera = nullptr;
}

void EFProjector_BC::SetTexture( const char * name ) {
	mpoTexture = EFTextureDict::GetInstance()->GetTexture( name );
}

void EFProjector_BC::SetSize( const f32 width, const f32 height ) {
	mfWidth = width;
	mfHeight = height;
}

void EFProjector_BC::SetColor( const f32 a, const f32 b, const f32 c, const f32 d ) {
	mafColor[0] = a;
	mafColor[1] = b;
	mafColor[2] = c;
	mafColor[3] = d;
}

void EFProjector_BC::Begin( _sProjectorOccurence & occurrence ) {
	const RwMatrix * const ltm = RwFrameGetLTM( mpFrame->GetRwFrame() );
	const RwV3d & at = ltm->at;
	const RwV3d & position = ltm->pos;
	const RwV3d farPoint = { position.x + mfReachDistance * at.x, position.y + mfReachDistance * at.y,
							 position.z + mfReachDistance * at.z };
	occurrence.oNearPlane = { at, -Dot( at, position ) };
	occurrence.oFarPlane = { { -at.x, -at.y, -at.z }, Dot( at, farPoint ) };
	occurrence.oPosition = position;
	occurrence.fPad0 = 0.0f;
	occurrence.oFarPoint = farPoint;
	occurrence.fPad1 = 0.0f;
	for ( u32 i = 0; i < 4; i++ ) {
		occurrence.afColor[i] = mafColor[i];
	}
	occurrence.pTexture = mpoTexture;
	occurrence.pExcluded3dObj = nullptr;
	occurrence.pCamera = mpoCamera;
	occurrence.uiBlendingFunction = muiBlendingFunction;
	occurrence.fReachDistance = mfReachDistance;

	if ( mpoCamera == nullptr || mpoCamera->mpoRwCamera == nullptr || mpoCamera->mpFrame == nullptr ) {
		return;
	}
	RwCameraSetFarClipPlane( mpoCamera->mpoRwCamera, PROJECTOR_FAR_CLIP );
	RwCameraSetNearClipPlane( mpoCamera->mpoRwCamera, PROJECTOR_NEAR_CLIP );
	mpoCamera->SetViewWindow( mfWidth, mfHeight );
	mpoCamera->SetCameraProjection( muiProjectionType == EF_PROJECTOR_PARALLEL ? EF_CAMERA_PARALLEL
																			   : EF_CAMERA_PERSPECTIVE );
	// The setters above left the camera's frame dirty: the next camera
	// begin rebuilds the view matrix from this matrix.
	mpoCamera->mpFrame->GetRwFrame()->modelling = *ltm;
}
