#include "framework/physics/EFCapsuleLineSweep.h"

#include "framework/physics/EFObjCollisionPrim.h"

namespace {

// A hit's time must exceed this to be kept.
constexpr f32 NO_EDGE_TIME = -10000.0f;

}

EFCapsuleLineSweep::EFCapsuleLineSweep( const DTVector3d & centre, const DTVector3d & halfAxis,
										const DTVector3d & velocity, const f32 radius, const f32 maxTime )
	: moCentre( centre ), moHalfAxis( halfAxis ), moVelocity( velocity ), mfRadius( radius ), mfMaxTime( maxTime ),
	  mbTaken( false ), mbHit( false ), mui32Flags( 0 ), mfTime( 0.0f ) {
}

bool EFCapsuleLineSweep::Add( const DTVector3d & start, const DTVector3d & edge ) {
	EFCheckInfiniteVectorVectorCollisionIn in = { edge, moHalfAxis, moCentre - start, moVelocity, mfRadius };
	EFCheckInfiniteVectorVectorCollisionOut out = { DTVector3d(), 0.0f };
	const u32 result = EFObjCollisionPrim::CheckInfiniteVectorVectorCollision( in, out );
	if ( ( result & ( CS_COL_NOAPPROACH | CS_COL_PAST ) ) != 0 ) {
		return false;
	}
	bool take = false;
	if ( ( result & CS_COL_INSIDE ) != 0 ) {
		take = !mbHit;
		out.mfTime = 0.0f;
	} else if ( ( result & CS_COL_HIT ) != 0 && out.mfTime > NO_EDGE_TIME ) {
		if ( out.mfTime > mfMaxTime ) {
			return false;
		}
		take = true;
		mbHit = true;
	}
	if ( take ) {
		mbTaken = true;
		mui32Flags = result;
		mfTime = out.mfTime;
		moNormal = out.moNormal;
		moStart = start;
		moEdge = edge;
	}
	return true;
}

bool EFCapsuleLineSweep::Finish( f32 & time, DTVector3d & normal ) const {
	if ( !mbTaken ) {
		return false;
	}
	EFCheckFiniteVectorVectorCollisionIn in = { moEdge,	  moHalfAxis * 2.0f, moCentre - moHalfAxis - moStart,
												moVelocity, mfRadius,		   moNormal,
												mfTime,	  mfMaxTime };
	EFCheckFiniteVectorVectorCollisionOut out = { DTVector3d(), 0.0f };
	if ( ( EFObjCollisionPrim::CheckFiniteVectorVectorCollision( in, out, mui32Flags ) & CS_COL_HIT ) == 0 ) {
		return false;
	}
	time = out.mfTime;
	normal = out.moNormal;
	return true;
}
