#include "framework/behaviour/EFDMParticleLauncher.h"

#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/graphics/particles/PLEmitter_BC.h"
#include "framework/graphics/particles/PLMgr.h"
#include "framework/graphics/particles/PLParticle.h"
#include "datatypes/maths/DTMatrix.h"
#include "graphics3d/core/RwMatrixCombine.h"
#include "platform/runtime/RuntimeRand.h"

namespace {

// Offset of the particle off the surface.
constexpr f32 SURFACE_GAP = 0.001f;
// Below this squared length the direction is taken as along the normal.
constexpr f32 PARALLEL = 0.0001f;

const DTVector3d UP( 0.0f, 1.0f, 0.0f );

// The world axis of n's smallest component (signed; the first of equals).
u32 SmallestAxis( const DTVector3d & n ) {
	u32 axis = 0;
	if ( n.y < n.x ) {
		axis = 1;
	}
	const f32 smallest = axis == 0 ? n.x : n.y;
	if ( n.z < smallest ) {
		axis = 2;
	}
	return axis;
}

}

EFDMParticleLauncher::EFDMParticleLauncher( EFPhysic * owner )
	: EFDMRayIntersect( owner, TYPE_ID ), moDirection( UP ), mui32EmitterId( 0 ) {}

void EFDMParticleLauncher::SetParams( void * params ) {
	if ( params == nullptr ) {
		EFDMRayIntersect::SetParams( nullptr );
		moDirection = UP;
		mui32EmitterId = 0;
		return;
	}
	const DMParticleLauncherParams & record = *static_cast<const DMParticleLauncherParams *>( params );
	DMRayIntersectParams ray = record.oRay;
	EFDMRayIntersect::SetParams( &ray );
	moDirection = DMUnit( record.oDirection );
	mui32EmitterId = record.ui32EmitterId;
}

void EFDMParticleLauncher::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMParticleLauncherParams & record = *static_cast<DMParticleLauncherParams *>( params );
	EFDMRayIntersect::GetParams( &record.oRay );
	record.oDirection = moDirection;
	record.ui32EmitterId = mui32EmitterId;
}

void EFDMParticleLauncher::PostColUpdate( EFCollisionStage * stage, const f32 dt ) {
	if ( stage == nullptr ) {
		return;
	}
	EFDMRayIntersect::PostColUpdate( stage, dt );
	if ( mui32Result == PS_RAY_NONE || gpoPLParticleMgr == nullptr ) {
		return;
	}
	PLEmitter_BC * const emitter = gpoPLParticleMgr->GetEmitter( static_cast<s32>( mui32EmitterId ) );
	if ( emitter == nullptr ) {
		return;
	}
	PLParticle * const particle = emitter->LaunchParticleImmediately();
	if ( particle == nullptr || particle->mpoMatrix == nullptr ) {
		return;
	}
	const RwMatrix * const ltm = DMOwnerLTM( *this );
	DTVector3d n = moOut.oIntersectionNormal;
	DTVector3d h = moOut.oIntersectionPoint;
	DTVector3d d = moDirection;
	if ( ltm != nullptr ) {
		RwV3dTransformPoints( DTAsRwV3d( &h ), DTAsRwV3d( &moOut.oIntersectionPoint ), 1, ltm );
		n = DMTransformVector( n, ltm );
		d = DMTransformVector( d, ltm );
	}
	DTMatrix & matrix = *particle->mpoMatrix;
	const DTVector3d position = h + n * SURFACE_GAP;
	*matrix.GetPos() = position;
	*matrix.GetAt() = n;
	const DTVector3d u = d - n * ( d * n );
	bool spin = false;
	DTVector3d up;
	if ( u * u > PARALLEL ) {
		up = DMUnit( u );
	} else {
		// A normal exactly along minus that axis leaves nothing of it:
		// the next axis is taken then.
		for ( u32 tried = 0, axis = SmallestAxis( n ); tried < 3 && up * up == 0.0f; tried++, axis = ( axis + 1 ) % 3 ) {
			DTVector3d e;
			const f32 along = axis == 0 ? n.x : axis == 1 ? n.y : n.z;
			( axis == 0 ? e.x : axis == 1 ? e.y : e.z ) = 1.0f;
			up = DMUnit( e - n * along );
		}
		spin = true;
	}
	*matrix.GetUp() = up;
	*matrix.GetRight() = DMCross( n, up );
	if ( spin ) {
		const f32 angle = 6.2831853f * static_cast<f32>( RuntimeRand() & 255 ) / 256.0f;
		RwMatrixRotate( &matrix.oMat, DTAsRwV3d( &n ), angle * DT_RADIANS_TO_DEGREES, rwCOMBINEPOSTCONCAT );
		*matrix.GetPos() = position;
	}
}
