/*
	EFObjCollisionSweptSphere against an oriented box, in the box's space:
	the box's face slabs and the lines through its centre along its axes
	separate or overlap the capsule; an overlap pushes along a face or
	out of an edge, an entry hits a face's rectangle or, off it, one of
	the box's edges.
*/
#include "framework/physics/EFObjCollisionSweptSphere.h"

#include "framework/physics/EFCapsuleLineSweep.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFPrimSpace.h"

#include <cmath>

namespace {

// Start of the largest gaps and of the entry time.
constexpr f32 NO_GAP				= -10000.0f;
// Below this speed along a separated face axis the capsule never enters.
constexpr f32 MIN_FACE_SPEED		= 0.001f;
// Below this speed along a separated cross normal the capsule never
// approaches.
constexpr f32 MIN_CROSS_SPEED		= 0.0078125f;
// The far point the nearest-point search of an overlap may go.
constexpr f32 ANY_DISTANCE			= 1000000.0f;

// The third axis of a pair of box axes.
u32 ThirdAxis( const u32 a, const u32 b ) {
	return 3 - a - b;
}

// The sign of a class or coordinate as a corner side: + at 0.
f32 Side( const f32 value ) {
	return value < 0.0f ? -1.0f : 1.0f;
}

// -1, 0 or +1: below, inside or above the box's slab on axis a.
s32 SlabClass( const f32 c, const f32 h ) {
	return c < -h ? -1 : ( c > h ? 1 : 0 );
}

// The class of a capsule end at the start, or at the end of the motion
// when it starts inside the slab.
s32 Class( const DTVector3d & point, const DTVector3d & motion, const DTVector3d & half, const u32 a ) {
	const s32 start = SlabClass( EFAxis( point, a ), EFAxis( half, a ) );
	return start != 0 ? start : SlabClass( EFAxis( point, a ) + EFAxis( motion, a ), EFAxis( half, a ) );
}

// The start of the box edge along axis k at the corner whose coordinates
// on the other two axes have the given sides; the edge runs 2 H_k along k.
DTVector3d EdgeStart( const DTVector3d & half, const u32 k, const u32 i, const f32 sideI, const u32 j,
					  const f32 sideJ ) {
	DTVector3d start;
	EFSetAxis( start, i, sideI * EFAxis( half, i ) );
	EFSetAxis( start, j, sideJ * EFAxis( half, j ) );
	EFSetAxis( start, k, -EFAxis( half, k ) );
	return start;
}

DTVector3d AxisVector( const u32 a, const f32 length ) {
	DTVector3d v;
	EFSetAxis( v, a, length );
	return v;
}

}

u32 EFObjCollisionSweptSphere::CheckBBoxCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												   EFObjCollisionPrim * other ) {
	const EFObjCollisionBBox * const box = static_cast<const EFObjCollisionBBox *>( other );
	if ( !box->HasMatrices() ) {
		return 0;
	}
	const f32 r = mfRadius;
	const f32 maxTime = in.mfMaxTime;
	const DTVector3d & half = box->moHalfExtents;
	const DTVector3d p = EFTransformPoint( moPrimPos, box->mpoWorldToBox );
	const DTVector3d v = EFTransformVector( in.moVelocity, box->mpoWorldToBox );
	const DTVector3d s = EFTransformVector( moWorldVector, box->mpoWorldToBox );

	// Face slabs: the deepest overlapping one, or the time the capsule
	// enters the last of the separated ones.
	f32 faceGap = NO_GAP;
	u32 faceAxis = 0;
	f32 entry = NO_GAP;
	u32 entryAxis = 0;
	bool entering = false;
	for ( u32 a = 0; a < 3; a++ ) {
		const f32 pa = EFAxis( p, a );
		const f32 gap = std::fabs( pa ) - EFAxis( half, a ) - std::fabs( EFAxis( s, a ) );
		if ( gap < r ) {
			if ( gap > faceGap ) {
				faceGap = gap;
				faceAxis = a;
			}
			continue;
		}
		const f32 va = EFAxis( v, a );
		if ( std::fabs( va ) < MIN_FACE_SPEED || std::signbit( va ) == std::signbit( pa ) ) {
			return 0;
		}
		const f32 ta = std::fabs( ( gap - r ) / va );
		if ( ta > entry ) {
			entry = ta;
			entryAxis = a;
		}
		entering = true;
		if ( entry > maxTime ) {
			return 0;
		}
	}

	// Lines through the box's centre along its axes: the capsule's axis
	// line against the cylinder that holds the box around each.
	const f32 halfSquared = half * half;
	f32 crossGaps[3] = { NO_GAP, NO_GAP, NO_GAP };
	f32 crossGap = NO_GAP;
	DTVector3d crossNormal;
	for ( u32 a = 0; a < 3; a++ ) {
		EFGetVectorVectorDistanceIn lineIn = { AxisVector( a, 1.0f ), s, p };
		EFGetVectorVectorDistanceOut lineOut = { 0.0f, DTVector3d() };
		if ( ( GetVectorVectorDistance( lineIn, lineOut ) & CS_COL_DISTANCE ) == 0 ) {
			continue;
		}
		const f32 ha = EFAxis( half, a );
		const f32 gap = lineOut.mfDistance - std::sqrt( halfSquared - ha * ha );
		crossGaps[a] = gap;
		if ( gap < r ) {
			if ( gap > crossGap ) {
				crossGap = gap;
				crossNormal = lineOut.moNormal;
			}
			continue;
		}
		const f32 approach = lineOut.moNormal * v;
		if ( std::fabs( approach ) < MIN_CROSS_SPEED || approach >= 0.0f ) {
			return 0;
		}
	}

	const auto faceNormal = [&]( const u32 a ) {
		const DTVector3d axis = EFMatrixRow( box->mpoBoxToWorld, a );
		return EFAxis( p, a ) < 0.0f ? -axis : axis;
	};
	const u32 b = ( faceAxis + 1 ) % 3;
	const u32 c = ( faceAxis + 2 ) % 3;
	const bool besideFace = std::fabs( EFAxis( p, b ) ) - EFAxis( half, b ) < 0.0f &&
							std::fabs( EFAxis( p, c ) ) - EFAxis( half, c ) < 0.0f;
	if ( !entering && ( crossGap < 0.0f || faceGap < 0.0f ) ) {
		// Every slab overlaps at the start and the axis reaches into the
		// box or the cylinder about it: push along the shallower.
		if ( faceGap >= crossGap ) {
			out.mfPushSize = r - faceGap;
			out.moColNormal = faceNormal( faceAxis );
		} else {
			out.mfPushSize = r - crossGap;
			out.moColNormal = EFTransformVector( crossNormal, box->mpoBoxToWorld );
		}
		return CS_COL_PUSH;
	}
	if ( !entering && besideFace ) {
		out.mfPushSize = r - faceGap;
		out.moColNormal = faceNormal( faceAxis );
		return CS_COL_PUSH;
	}
	if ( !entering ) {
		// Beside an edge: of the slabs the centre lies outside of, the one
		// whose edge with the face axis has the largest cross gap.
		const u32 outsideAxis = std::fabs( EFAxis( p, b ) ) - EFAxis( half, b ) < 0.0f ? c
							  : std::fabs( EFAxis( p, c ) ) - EFAxis( half, c ) < 0.0f ? b
							  : crossGaps[ThirdAxis( faceAxis, c )] > crossGaps[ThirdAxis( faceAxis, b )] ? c
																								 : b;
		const u32 edgeAxis = ThirdAxis( faceAxis, outsideAxis );
		const DTVector3d start = EdgeStart( half, edgeAxis, faceAxis, Side( EFAxis( p, faceAxis ) ), outsideAxis,
											Side( EFAxis( p, outsideAxis ) ) );
		EFVectorVectorNearestPointIn nearIn = { AxisVector( edgeAxis, 2.0f * EFAxis( half, edgeAxis ) ), s * 2.0f,
												p - s - start, ANY_DISTANCE };
		EFVectorVectorNearestPointOut nearOut = { DTVector3d(), 0.0f };
		GetVectorVectorNearestPoint( nearIn, nearOut );
		// An edge out of the capsule's reach would push it into the box:
		// the face axis's push, which takes it out of that slab, serves.
		if ( nearOut.mfDistance >= r ) {
			out.mfPushSize = r - faceGap;
			out.moColNormal = faceNormal( faceAxis );
			return CS_COL_PUSH;
		}
		out.mfPushSize = r - nearOut.mfDistance;
		out.moColNormal = EFTransformVector( nearOut.moNearestPointNormal, box->mpoBoxToWorld );
		return CS_COL_PUSH;
	} else {
		// The end nearer the entry face, at the entry time, on the face.
		const f32 pe = EFAxis( p, entryAxis );
		const DTVector3d nearEnd =
			( std::signbit( EFAxis( s, entryAxis ) ) == std::signbit( pe ) ? p - s : p + s ) + v * entry;
		const u32 e1 = ( entryAxis + 1 ) % 3;
		const u32 e2 = ( entryAxis + 2 ) % 3;
		if ( std::fabs( EFAxis( nearEnd, e1 ) ) <= EFAxis( half, e1 ) &&
			 std::fabs( EFAxis( nearEnd, e2 ) ) <= EFAxis( half, e2 ) ) {
			out.mfTime = entry;
			out.moEffectivePartDep = in.moVelocity * entry;
			out.moColNormal = faceNormal( entryAxis );
			return CS_COL_HIT;
		}
	}

	// Off the face: the box edges at the corners the capsule's ends lie
	// beyond. Each end is classed per axis where it starts, or where the
	// motion takes it when it starts inside that slab.
	const DTVector3d ends[2] = { p - s, p + s };
	static const u32 kPairs[3][2] = { { 0, 1 }, { 0, 2 }, { 1, 2 } };
	EFCapsuleLineSweep sweep( p, s, v, r, maxTime );
	u32 swept = 0;
	for ( u32 pair = 0; pair < 3; pair++ ) {
		const u32 i = kPairs[pair][0];
		const u32 j = kPairs[pair][1];
		const u32 k = ThirdAxis( i, j );
		for ( const DTVector3d & end : ends ) {
			const s32 ci = Class( end, v * maxTime, half, i );
			const s32 cj = Class( end, v * maxTime, half, j );
			if ( ci == 0 || cj == 0 ) {
				continue;
			}
			const u32 edge = pair * 4 + ( ci > 0 ? 2 : 0 ) + ( cj > 0 ? 1 : 0 );
			if ( ( swept & ( 1u << edge ) ) != 0 ) {
				continue;
			}
			swept |= 1u << edge;
			const DTVector3d start = EdgeStart( half, k, i, static_cast<f32>( ci ), j, static_cast<f32>( cj ) );
			if ( !sweep.Add( start, AxisVector( k, 2.0f * EFAxis( half, k ) ) ) ) {
				return 0;
			}
		}
	}
	f32 time = 0.0f;
	DTVector3d normal;
	if ( !sweep.Finish( time, normal ) ) {
		return 0;
	}
	out.mfTime = time;
	out.moColNormal = EFTransformVector( normal, box->mpoBoxToWorld );
	out.moEffectivePartDep = in.moVelocity * time;
	return CS_COL_HIT;
}
