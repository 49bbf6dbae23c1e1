#include "framework/logic/api/LogicApiTables.h"

#include "framework/graphics/effects/EFProjector.h"
#include "framework/graphics/effects/EFProjectorMgr.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

// --- Slots ---

u32 CreateProjector() {
	EFApiTrace::mFuncName = "CreateProjector";
	const EFProjector * const projector = goProjectorMgr.CreateProjector();
	EFApiTrace::mFuncName = nullptr;
	return projector != nullptr ? projector->GetHandle() : 0;
}

void DestroyProjector( const u32 handle ) {
	EFApiTrace::mFuncName = "DestroyProjector";
	goProjectorMgr.DestroyProjector( handle );
	EFApiTrace::mFuncName = nullptr;
}

void SetTexture( const u32 handle, char * const name ) {
	EFApiTrace::mFuncName = "SetTexture";
	if ( EFProjector * const projector = goProjectorMgr.GetProjector( handle ) ) {
		projector->SetTexture( name );
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetBlendingFunction( const u32 handle, const u32 function ) {
	EFApiTrace::mFuncName = "SetBlendingFunction";
	if ( EFProjector * const projector = goProjectorMgr.GetProjector( handle ) ) {
		projector->SetBlendingFunction( function );
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetSize( const u32 handle, const f32 width, const f32 height ) {
	EFApiTrace::mFuncName = "SetSize";
	if ( EFProjector * const projector = goProjectorMgr.GetProjector( handle ) ) {
		projector->SetSize( width, height );
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetColor( const u32 handle, const f32 r, const f32 g, const f32 b, const f32 a ) {
	EFApiTrace::mFuncName = "SetColor";
	if ( EFProjector * const projector = goProjectorMgr.GetProjector( handle ) ) {
		projector->SetColor( r, g, b, a );
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetReachDistance( const u32 handle, const f32 distance ) {
	EFApiTrace::mFuncName = "SetReachDistance";
	if ( EFProjector * const projector = goProjectorMgr.GetProjector( handle ) ) {
		projector->SetReachDistance( distance );
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetProjectionType( const u32 handle, const u32 type ) {
	EFApiTrace::mFuncName = "SetProjectionType";
	if ( EFProjector * const projector = goProjectorMgr.GetProjector( handle ) ) {
		projector->SetProjectionType( type );
	}
	EFApiTrace::mFuncName = nullptr;
}

void SetVisible( const u32 handle, const u32 visible ) {
	EFApiTrace::mFuncName = "SetVisible";
	if ( EFProjector * const projector = goProjectorMgr.GetProjector( handle ) ) {
		const u32 flags = projector->GetFlags();
		projector->SetFlags( visible != 0 ? flags | EF_PROJECTOR_VISIBLE : flags & ~EF_PROJECTOR_VISIBLE );
	}
	EFApiTrace::mFuncName = nullptr;
}

}

void ApiProjectorNotInit() {
	bDone = true;
}

bool ApiProjectorNotInitDone() {
	return bDone;
}

constexpr _api_projector APIprojectorStubs = MakeLogicApiStubs<_api_projector, ApiProjectorNotInit>();
constinit _api_projector APIprojector = MakeLogicApiStubs<_api_projector, ApiProjectorNotInit>();

void Init_projector() {
	InitAPI( &APIprojector, LOGIC_API_PROJECTOR_SLOTS, &APIprojectorStubs );
	APIprojector.CreateProjector = CreateProjector;
	APIprojector.DestroyProjector = DestroyProjector;
	APIprojector.SetTexture = SetTexture;
	APIprojector.SetBlendingFunction = SetBlendingFunction;
	APIprojector.SetSize = SetSize;
	APIprojector.SetColor = SetColor;
	APIprojector.SetReachDistance = SetReachDistance;
	APIprojector.SetProjectionType = SetProjectionType;
	APIprojector.SetVisible = SetVisible;
}
