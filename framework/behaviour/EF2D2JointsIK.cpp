#include "framework/behaviour/EF2D2JointsIK.h"

#include "framework/behaviour/EFDMNearestPoint.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "datatypes/maths/DTQuaternion.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrixCombine.h"
#include "graphics3d/core/RwV3d.h"

#include <cmath>

namespace {

constexpr f32 REACH_MARGIN = 0.0001f;

RwFrame * ParentOf( RwFrame * frame ) {
	return frame != nullptr ? static_cast<RwFrame *>( frame->object.parent ) : nullptr;
}

DTVector3d WorldPosition( RwFrame * frame ) {
	return DMRow( RwFrameGetLTM( frame )->pos );
}

f32 Length( const DTVector3d & v ) {
	return std::sqrt( v * v );
}

// A world direction in frame's axes (world axes for no frame); a zero
// result becomes (0, 0, 1).
DTVector3d LocalAxis( const DTVector3d & axis, RwFrame * frame ) {
	DTVector3d local = axis;
	if ( frame != nullptr ) {
		RwMatrix inverse;
		RwMatrixInvert( &inverse, RwFrameGetLTM( frame ) );
		RwV3dTransformVectors( DTAsRwV3d( &local ), DTAsRwV3d( &axis ), 1, &inverse );
	}
	local = DMUnit( local );
	return local * local > 0.0f ? local : DTVector3d( 0.0f, 0.0f, 1.0f );
}

// Turns frame's modelling matrix by radians about axis after it, keeping
// its position.
void TurnModelling( RwFrame * frame, const DTVector3d & axis, const f32 radians ) {
	RwMatrix & modelling = frame->modelling;
	const RwV3d position = modelling.pos;
	RwMatrixRotate( &modelling, DTAsRwV3d( &axis ), radians * DT_RADIANS_TO_DEGREES, rwCOMBINEPOSTCONCAT );
	modelling.pos = position;
	RwFrameUpdateObjects( frame );
}

}

void EF2D2JointsIK::Solve( DTFrame & endFrame, const DTVector3d & target ) {
	RwFrame * const end = endFrame.GetRwFrame();
	RwFrame * const middle = ParentOf( end );
	RwFrame * const root = ParentOf( middle );
	if ( root == nullptr ) {
		return;
	}
	RwFrame * const parent = ParentOf( root );
	const DTVector3d r = WorldPosition( root );
	const DTVector3d m = WorldPosition( middle );
	const DTVector3d e = WorldPosition( end );
	const f32 a = Length( m - r );
	const f32 b = Length( e - m );
	const f32 c = Length( e - r );
	f32 d = Length( target - r );
	if ( a == 0.0f || b == 0.0f || c == 0.0f ) {
		return;
	}
	if ( d > a + b ) {
		d = a + b - REACH_MARGIN;
	}
	const f32 bend0 = DMClampedAcos( ( c * c - a * a - b * b ) / ( 2.0f * a * b ) );
	const f32 turn0 = DMClampedAcos( ( b * b - a * a - c * c ) / ( 2.0f * a * c ) );
	const f32 cosine = ( d * d - a * a - b * b ) / ( 2.0f * a * b );
	f32 bend1 = 0.0f;
	f32 turn1 = 0.0f;
	if ( cosine > -1.0f && cosine < 1.0f ) {
		bend1 = DMClampedAcos( cosine );
		turn1 = DMClampedAcos( ( b * b - a * a - d * d ) / ( 2.0f * a * d ) );
	}
	const DTVector3d n = DMUnit( DMCross( m - r, e - m ) );
	TurnModelling( middle, LocalAxis( n, root ), bend1 - bend0 );
	TurnModelling( root, LocalAxis( n, parent ), turn1 - turn0 );

	const DTVector3d reached = DMUnit( WorldPosition( end ) - r );
	const DTVector3d wanted = DMUnit( target - r );
	if ( reached * reached > 0.0f && wanted * wanted > 0.0f ) {
		DTQuaternion swing;
		swing.SetFromAxes( reached, wanted );
		DTVector3d axis;
		f32 angle = 0.0f;
		swing.GetValue( axis, angle );
		TurnModelling( root, LocalAxis( axis, parent ), angle );
	}
	RwFrameUpdateObjects( root );
	RwFrameUpdateObjects( middle );
	RwFrameUpdateObjects( end );
}

void EF2D2JointsIK::Solve( DTFrame & endFrame, DTMatrix & target ) {
	Solve( endFrame, *target.GetPos() );
	RwFrame * const end = endFrame.GetRwFrame();
	RwFrame * const middle = ParentOf( end );
	if ( middle == nullptr ) {
		return;
	}
	RwMatrix inverse;
	RwMatrixInvert( &inverse, RwFrameGetLTM( middle ) );
	RwMatrixMultiply( &end->modelling, &target.oMat, &inverse );
	RwFrameUpdateObjects( end );
}
