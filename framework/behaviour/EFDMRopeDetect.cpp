#include "framework/behaviour/EFDMRopeDetect.h"

#include "framework/behaviour/EFDMCameraTrack.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/core/spline/EFQuadraticSpline.h"
#include "framework/core/spline/EFSplineMgr.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "datatypes/base/DTFloatToInt.h"
#include "datatypes/maths/DTSphere.h"

#include <cfloat>

namespace {

constexpr u32 NONE			= 0xFFFFFFFF;
constexpr u32 ON_ROPE		= 0x2;

}

EFDMRopeDetect::EFDMRopeDetect( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), maui32PrimIndex(), mui32SplineIndex( NONE ), mui32PrimTag( NONE ),
	  mui32SplineFlags( 0 ) {
	SetParams( nullptr );
}

void EFDMRopeDetect::SetParams( void * params ) {
	const DMRopeDetectParams * const record = static_cast<const DMRopeDetectParams *>( params );
	for ( u32 i = 0; i < DM_ROPE_DETECT_SLOTS; i++ ) {
		const u32 tag = record != nullptr ? record->aui32PrimTag[i] : NONE;
		maui32PrimIndex[i] =
			tag == NONE ? NONE : static_cast<u32>( mpoOwner->moCollisionModel.PrimTagToPrimIndex( tag ) );
	}
}

void EFDMRopeDetect::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMRopeDetectParams & record = *static_cast<DMRopeDetectParams *>( params );
	for ( u32 i = 0; i < DM_ROPE_DETECT_SLOTS; i++ ) {
		const EFObjCollisionPrim * const prim = mpoOwner->moCollisionModel.GetPrimitive( maui32PrimIndex[i] );
		record.aui32PrimTag[i] = prim != nullptr ? prim->mui32Tag : NONE;
	}
}

void EFDMRopeDetect::GetData( void * data ) {
	if ( data == nullptr ) {
		return;
	}
	DMRopeDetectData & record = *static_cast<DMRopeDetectData *>( data );
	record.ui32SplineIndex = mui32SplineIndex;
	record.ui32PrimTag = mui32PrimTag;
	record.ui32SplineFlags = mui32SplineFlags;
}

void EFDMRopeDetect::PostColUpdate( EFCollisionStage *, f32 ) {
	mui32SplineIndex = NONE;
	mui32PrimTag = NONE;
	f32 best = FLT_MAX;
	bool found = false;
	const u32 splines = gpoSplineMgr != nullptr ? gpoSplineMgr->GetNbSplines() : 0;
	for ( const u32 index : maui32PrimIndex ) {
		EFObjCollisionPrim * const prim = mpoOwner->moCollisionModel.GetPrimitive( index );
		if ( prim == nullptr ) {
			continue;
		}
		const DTSphere sphere( prim->moPrimPos, prim->GetMinRadius() );
		for ( u32 i = 0; i < splines; i++ ) {
			const EFQuadraticSpline * const spline = gpoSplineMgr->GetSpline( i );
			f32 t = 0.0f;
			if ( spline == nullptr || spline->CheckSphereIntersection( sphere, t ) == 0 ) {
				continue;
			}
			t = EFDMCameraTrack::TouchPosition( t, spline->IsLoop() );
			const f32 s = t * static_cast<f32>( spline->GetNbSegments() );
			const u32 segment = DTFloatToU32( static_cast<f64>( s ) );
			DTVector3d point;
			spline->GetPoint( static_cast<s32>( segment ), s - static_cast<f32>( segment ), point );
			const DTVector3d d = point - sphere.moPos;
			const f32 d2 = d * d;
			found = true;
			if ( d2 < best ) {
				best = d2;
				mui32SplineIndex = i;
				mui32PrimTag = prim->mui32Tag;
				mui32SplineFlags = spline->mui16Flags;
			}
		}
	}
	DMChangeState( *this, found ? mui32State | ON_ROPE : mui32State & ~ON_ROPE );
}
