#include "framework/graphics/effects/EFShadowMgr_BC.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/effects/EFObjectEntryList.h"
#include "framework/graphics/effects/EFProjectorMgr.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"

#include <cmath>
#include <new>

u8 EFShadowMgr_BC::bDoShadowHackThing = 0;

namespace {

constexpr f32 SHADOW_FAR_CLIP		= 10000.0f;
constexpr f32 SHADOW_NEAR_CLIP		= 0.1f;
// Below this squared length UP x at is too short to give a right axis.
constexpr f32 MIN_RIGHT_LENGTH_SQ	= 0.4f;
constexpr RwV3d UP_AXIS				= { 0.0f, 1.0f, 0.0f };
constexpr RwV3d ALT_AXIS			= { 0.0f, 0.0f, 1.0f };

f32 Dot( const RwV3d & a, const RwV3d & b ) {
	return a.x * b.x + a.y * b.y + a.z * b.z;
}

RwV3d Add( const RwV3d & a, const RwV3d & b ) {
	return { a.x + b.x, a.y + b.y, a.z + b.z };
}

RwV3d Sub( const RwV3d & a, const RwV3d & b ) {
	return { a.x - b.x, a.y - b.y, a.z - b.z };
}

RwV3d Scale( const RwV3d & v, const f32 s ) {
	return { v.x * s, v.y * s, v.z * s };
}

RwV3d Cross( const RwV3d & a, const RwV3d & b ) {
	RwV3d out;
	RwV3dCrossProduct( &out, &a, &b );
	return out;
}

RwV3d Normalised( const RwV3d & v ) {
	RwV3d out;
	RwV3dNormalize( &out, &v );
	return out;
}

RwV3d ObjectPosition( const EF3dObj * model ) {
	if ( model == nullptr || model->mpFrame == nullptr ) {
		return { 0.0f, 0.0f, 0.0f };
	}
	return EFShadowFramePosition( model->mpFrame->GetRwFrame() );
}

// Orients and places the entry camera and fills the occurrence's volume.
void PlaceCamera( _sProjectorOccurence & occurrence, EFCamera & camera, const RwV3d & direction,
				  const RwV3d & cameraPosition, const f32 window, const RwV3d & origin ) {
	const RwV3d at = Normalised( direction );
	RwV3d right = Cross( UP_AXIS, at );
	if ( Dot( right, right ) < MIN_RIGHT_LENGTH_SQ ) {
		right = Cross( ALT_AXIS, at );
	}
	right = Normalised( right );
	const RwV3d up = Cross( at, right );
	RwFrame * const frame = camera.mpFrame != nullptr ? camera.mpFrame->GetRwFrame() : nullptr;
	if ( frame != nullptr ) {
		RwFrameSetIdentity( frame );
		RwMatrix & matrix = frame->modelling;
		matrix.right = right;
		matrix.up = up;
		matrix.at = at;
		matrix.flags = rwMATRIXTYPEORTHONORMAL;
		RwFrameTranslate( frame, &cameraPosition, rwCOMBINEPOSTCONCAT );
	}
	if ( camera.mpoRwCamera != nullptr ) {
		RwCameraSetFarClipPlane( camera.mpoRwCamera, SHADOW_FAR_CLIP );
		RwCameraSetNearClipPlane( camera.mpoRwCamera, SHADOW_NEAR_CLIP );
	}
	camera.SetViewWindow( window, window );
	const RwV3d farPoint = Add( origin, Scale( at, occurrence.fReachDistance ) );
	occurrence.oNearPlane = { at, -Dot( at, origin ) };
	occurrence.oFarPlane = { Scale( at, -1.0f ), Dot( at, farPoint ) };
	occurrence.oPosition = origin;
	occurrence.fPad0 = 0.0f;
	occurrence.oFarPoint = farPoint;
	occurrence.fPad1 = 0.0f;
}

}

RwV3d EFShadowFramePosition( RwFrame * frame ) {
	return RwFrameGetLTM( frame )->pos;
}

EFShadowMgr_BC::EFShadowMgr_BC()
	: mpCasters( nullptr ), muiShadowCount( 0 ), muiEntry( 0 ), mpDropFrame( nullptr ), mpDefaultTexture( nullptr ),
	  maEntries() {
}

EFShadowMgr_BC::~EFShadowMgr_BC() {
	RemoveAllCasters();
}

u32 EFShadowMgr_BC::AddCaster( EFGameObject * object, EF3dObj * model ) {
	_sObjectEntry * const caster =
		new ( std::nothrow ) _sObjectEntry{ nullptr, object, model, { 0.0f, 0.0f, 0.0f }, 0.0f };
	if ( caster == nullptr ) {
		return 0;
	}
	InitCaster( *caster );
	caster->mpNext = mpCasters;
	mpCasters = caster;
	return 1;
}

u32 EFShadowMgr_BC::RemoveCaster( EFGameObject * object ) {
	return EFRemoveEveryEntryOf( mpCasters, object, []( _sObjectEntry * ) {} );
}

void EFShadowMgr_BC::RemoveAllCasters() {
	while ( mpCasters != nullptr ) {
		_sObjectEntry * const next = mpCasters->mpNext;
		delete mpCasters;
		mpCasters = next;
	}
}

void EFShadowMgr_BC::InitCaster( _sObjectEntry & caster ) {
	caster.moCenterOffset = { 0.0f, 0.0f, 0.0f };
	caster.mfRadius = 0.0f;
	if ( caster.mpo3dObj == nullptr || caster.mpo3dObj->mpClump == nullptr ) {
		return;
	}
	struct Spheres {
		RwV3d	sum;
		u32		count;
		RwV3d	center;
		f32		radius;
	} spheres = { { 0.0f, 0.0f, 0.0f }, 0, { 0.0f, 0.0f, 0.0f }, 0.0f };
	RpClump * const clump = caster.mpo3dObj->mpClump;
	RpClumpForAllAtomics(
		clump,
		[]( RpAtomic * atomic, void * data ) -> RpAtomic * {
			if ( ( atomic->interpolator.flags & rpINTERPOLATORDIRTYSPHERE ) != 0 ) {
				_rpAtomicResyncInterpolatedSphere( atomic );
			}
			Spheres & s = *static_cast<Spheres *>( data );
			s.sum = Add( s.sum, atomic->boundingSphere.center );
			s.count++;
			return atomic;
		},
		&spheres );
	if ( spheres.count == 0 ) {
		return;
	}
	spheres.center = Scale( spheres.sum, 1.0f / static_cast<f32>( spheres.count ) );
	RpClumpForAllAtomics(
		clump,
		[]( RpAtomic * atomic, void * data ) -> RpAtomic * {
			Spheres & s = *static_cast<Spheres *>( data );
			const RwV3d offset = Sub( atomic->boundingSphere.center, s.center );
			const f32 reach = RwV3dLength( &offset ) + atomic->boundingSphere.radius;
			if ( reach > s.radius ) {
				s.radius = reach;
			}
			return atomic;
		},
		&spheres );
	caster.moCenterOffset = spheres.center;
	caster.mfRadius = spheres.radius;
}

void EFShadowMgr_BC::InitFrame() {
	muiShadowCount = 0;
	muiEntry = 0;
	for ( _sShadowEntry & entry : maEntries ) {
		entry.uiFlags = 0;
		if ( entry.pCamera != nullptr ) {
			continue;
		}
		entry.pCamera = new ( std::nothrow ) EFCamera( nullptr );
		if ( entry.pCamera != nullptr ) {
			// The display-area rasters go: the entry's texture becomes the
			// camera's raster when a silhouette is rendered.
			entry.pCamera->SetRasters( nullptr, nullptr );
		}
	}
}

void EFShadowMgr_BC::PrepareDropDownCamera( _sProjectorOccurence & occurrence, RwFrame * frame,
											const _sObjectEntry & caster, _sShadowEntry & entry, const f32 scale ) {
	if ( entry.pCamera == nullptr ) {
		return;
	}
	DTFrame * const joint = caster.mpoObject != nullptr
								? caster.mpoObject->GetObjectFrame( caster.mpoObject->mShadowData.uiDropDownJoint )
								: nullptr;
	const RwV3d anchor = joint != nullptr ? EFShadowFramePosition( joint->GetRwFrame() ) : ObjectPosition( caster.mpo3dObj );
	PlaceCamera( occurrence, *entry.pCamera, RwFrameGetLTM( frame )->at, anchor, scale, anchor );
}

void EFShadowMgr_BC::PrepareParallelCamera( _sProjectorOccurence & occurrence, RwFrame * frame,
											const _sObjectEntry & caster, _sShadowEntry & entry, const f32 scale ) {
	if ( entry.pCamera == nullptr ) {
		return;
	}
	const RwV3d direction = RwFrameGetLTM( frame )->at;
	const RwV3d object = ObjectPosition( caster.mpo3dObj );
	const RwV3d & center = caster.moCenterOffset;
	const f32 radius = caster.mfRadius;
	const RwV3d position = Sub( Add( object, center ), Scale( direction, radius ) );
	const RwV3d origin = { object.x, object.y + 0.5f * center.y, object.z };
	PlaceCamera( occurrence, *entry.pCamera, direction, position, radius * scale, origin );
}

bool EFShadowMgr_BC::PreparePerspectiveCamera( _sProjectorOccurence & occurrence, const RwV3d & light,
											   const _sObjectEntry & caster, _sShadowEntry & entry ) {
	const RwV3d toCaster = Sub( Add( ObjectPosition( caster.mpo3dObj ), caster.moCenterOffset ), light );
	const f32 radius = caster.mfRadius;
	const f32 beyond = Dot( toCaster, toCaster ) - radius * radius;
	// A light inside or on the sphere sees no tangent to frame it with.
	if ( !( beyond > 0.0f ) || entry.pCamera == nullptr ) {
		return false;
	}
	PlaceCamera( occurrence, *entry.pCamera, toCaster, light, radius / std::sqrt( beyond ), light );
	return true;
}

void EFShadowMgr_BC::AdjustShadowIntensity( _sProjectorOccurence & occurrence, const _ShadowParams & params,
											const RwV3d & light, const f32 radius, const RwV3d & caster ) {
	const RwV3d between = Sub( light, caster );
	const f32 distance = RwV3dLength( &between );
	const f32 start = params.fCastedFadeStartRatio;
	f32 t = 0.0f;
	if ( start == 1.0f || !( radius > 0.0f ) ) {
		// No fade band: full shadow inside the radius, none from it on.
		t = distance >= radius ? 1.0f : 0.0f;
	} else {
		t = ( distance / radius - start ) / ( 1.0f - start );
		t = t < 0.0f ? 0.0f : ( t > 1.0f ? 1.0f : t );
	}
	for ( f32 & value : occurrence.afColor ) {
		value *= 1.0f - t;
	}
}
