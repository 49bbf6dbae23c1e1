/*
	EFObjCollisionSweptSphere: sizing, the capsule's tests against
	capsules and polygons, and its queries. The box test lives in
	EFObjCollisionSweptSphereBox.cpp.
*/
#include "framework/physics/EFObjCollisionSweptSphere.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/graphics/particles/PLParticle.h"
#include "framework/physics/EFCapsuleLineSweep.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFObjCollisionPolygon.h"
#include "framework/physics/EFPolygonRecordWalk.h"
#include "framework/physics/EFPrimSpace.h"
#include "graphics3d/core/RwFrame.h"

#include <cmath>

namespace {

// A polygon normal whose length lies outside this range is skipped.
constexpr f32 MIN_NORMAL_LENGTH		= 0.99f;
constexpr f32 MAX_NORMAL_LENGTH		= 1.01f;
// Below this |n . E| the axis runs along the plane: it crosses nowhere.
constexpr f32 MIN_AXIS_ACROSS		= 0.001f;
// Start of the overlap step's smallest value.
constexpr f32 NO_EDGE_VALUE			= 100000.0f;
// Below this squared speed the capsule never reaches a polygon's edges.
constexpr f32 MIN_EDGE_SPEED_SQUARED	= 0.0001f;
// A position within this share of the horizontal axis length from the
// axis picks its side at random.
constexpr f32 ESCAPE_SIDE_SHARE		= 0.01f;

// The edge sweep over the edges of mask: false when it finds no contact.
bool SweepEdges( EFCapsuleLineSweep & sweep, const DTVector3d * vertex, const u32 count, const u32 mask, f32 & time,
				 DTVector3d & normal ) {
	for ( u32 i = 0; i < count; i++ ) {
		if ( ( mask & ( 1u << i ) ) != 0 && !sweep.Add( vertex[i], vertex[( i + 1 ) % count] - vertex[i] ) ) {
			return false;
		}
	}
	return sweep.Finish( time, normal );
}

// Each edge of mask swept on its own against the capsule (centre,
// half axis, velocity, radius, maximum time); the earliest contact.
bool EarliestEdgeContact( const DTVector3d & centre, const DTVector3d & halfAxis, const DTVector3d & velocity,
						  const f32 r, const f32 maxTime, const DTVector3d * vertex, const u32 count, const u32 mask,
						  f32 & time, DTVector3d & normal ) {
	bool found = false;
	for ( u32 i = 0; i < count; i++ ) {
		if ( ( mask & ( 1u << i ) ) == 0 ) {
			continue;
		}
		EFCapsuleLineSweep sweep( centre, halfAxis, velocity, r, maxTime );
		f32 edgeTime = 0.0f;
		DTVector3d edgeNormal;
		if ( SweepEdges( sweep, vertex, count, 1u << i, edgeTime, edgeNormal ) && ( !found || edgeTime < time ) ) {
			found = true;
			time = edgeTime;
			normal = edgeNormal;
		}
	}
	return found;
}

}

EFObjCollisionSweptSphere::EFObjCollisionSweptSphere( DTFrame * frame )
	: EFObjCollisionPrim( frame ), moWorldVector(), mfRadius( 0.0f ),
	  moVector( 0.0f, EF_SWEPT_SPHERE_DEFAULT_LENGTH, 0.0f ) {
	SetShape( EF_PRIM_SWEPT_SPHERE );
}

void EFObjCollisionSweptSphere::SetRadius( const f32 radius ) {
	mfRadius = radius;
	SetVector( moVector );
}

void EFObjCollisionSweptSphere::SetVector( const DTVector3d & halfAxis ) {
	const f32 squared = halfAxis * halfAxis;
	constexpr f32 minimum = EF_SWEPT_SPHERE_MIN_HALF_AXIS;
	if ( squared < minimum * minimum ) {
		if ( squared == 0.0f ) {
			moVector = DTVector3d( 0.0f, minimum, 0.0f );
		} else {
			moVector = halfAxis * ( minimum / std::sqrt( squared ) );
		}
		mfMaxRadius = mfRadius + minimum;
		return;
	}
	moVector = halfAxis;
	mfMaxRadius = mfRadius + std::sqrt( squared );
}

void EFObjCollisionSweptSphere::PrecalcPrimData() {
	EFObjCollisionPrim::PrecalcPrimData();
	if ( mpoFrame == nullptr ) {
		moWorldVector = moVector;
		return;
	}
	moWorldVector = EFTransformVector( moVector, RwFrameGetLTM( mpoFrame->GetRwFrame() ) );
}

u32 EFObjCollisionSweptSphere::CheckEnvCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												  EFEnvCollisionPrim * polygon ) {
	return CheckSinglePolygonCollision( in, out, polygon, moPrimPos, moWorldVector, 1 );
}

u32 EFObjCollisionSweptSphere::CheckObjPrimCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
													  EFObjCollisionPrim * other ) {
	switch ( other->mui32Shape ) {
	case EF_PRIM_SPHERE:
		return CheckSphereCollision( in, out, other );
	case EF_PRIM_SWEPT_SPHERE:
		return CheckSweptSphereCollision( in, out, other );
	case EF_PRIM_BBOX:
		return CheckBBoxCollision( in, out, other );
	case EF_PRIM_POLYGON:
		return CheckPolygonCollision( in, out, other );
	default:
		return 0;
	}
}

bool EFObjCollisionSweptSphere::CheckPointIntersection( const DTVector3d & point ) const {
	const DTVector3d d = moPrimPos - point;
	if ( d * d > mfMaxRadius * mfMaxRadius ) {
		return false;
	}
	const DTVector3d & a = moWorldVector;
	const f32 aa = a * a;
	const f32 rr = mfRadius * mfRadius;
	const f32 u = aa > 0.0f ? ( d * a ) / aa : 0.0f;
	const DTVector3d off = d - a * u;
	if ( off * off > rr ) {
		return false;
	}
	if ( u < -1.0f ) {
		const DTVector3d end = d + a;
		return end * end <= rr;
	}
	if ( u > 1.0f ) {
		const DTVector3d end = d - a;
		return end * end <= rr;
	}
	return true;
}

u32 EFObjCollisionSweptSphere::CheckParticlesIntersection( PLParticle * first, const bool count ) {
	const DTVector3d & a = moWorldVector;
	const f32 aa = a * a;
	return EFWalkParticles( first, count, true, [&]( const PLParticle & particle ) {
		// The bounding radius, not r: a particle counts once it is near.
		const f32 reach = mfMaxRadius + particle.mfRadius;
		const f32 reach2 = reach * reach;
		const DTVector3d d = particle.moPosition - moPrimPos;
		const DTVector3d across = EFCross( a, d );
		if ( across * across > aa * reach2 ) {
			return false;
		}
		const f32 u = d * a;
		const DTVector3d end = u < -aa ? d + a : d - a;
		return ( u >= -aa && u <= aa ) || end * end <= reach2;
	} );
}

u32 EFObjCollisionSweptSphere::RayIntersect( const RayIntersectIn & in, EFRayIntersectOut & out, f32 & t ) {
	EFCheckSphereSweepCollisionIn sweep = { moWorldVector * 2.0f, in.oStartVector - ( moPrimPos - moWorldVector ),
											in.oDeplVector, mfRadius, t };
	EFCheckSphereSweepCollisionOut hit = { DTVector3d(), 0.0f };
	const u32 result = CheckSphereSweepCollision( sweep, hit );
	if ( ( result & CS_COL_INSIDE ) != 0 ) {
		t = 0.0f;
		out.oIntersectionNormal = NormalizeOrUp( -in.oDeplVector );
		return 1;
	}
	if ( ( result & CS_COL_HIT ) == 0 ) {
		return 0;
	}
	t = hit.mfTime;
	out.oIntersectionNormal = hit.moNormal;
	return 1;
}

f32 EFObjCollisionSweptSphere::GetMinRadius() {
	return mfRadius;
}

void EFObjCollisionSweptSphere::GetEscapeNoPF( const DTVector3d & position, DTVector3d & escape,
											   DTVector3d & ) const {
	const DTVector3d d = position - moPrimPos;
	const DTVector3d & a = moWorldVector;
	const f32 l = a.x * a.x + a.z * a.z;
	// Beyond an end of the axis, or beside an upright axis, no side is
	// nearer than another.
	if ( std::fabs( d * a ) >= a * a || l == 0.0f ) {
		escape = EFRandomHeading();
		return;
	}
	const f32 c = d.x * a.z - d.z * a.x;
	const bool side = std::fabs( c ) <= ESCAPE_SIDE_SHARE * l ? ( RuntimeRand() & 1 ) != 0 : c < 0.0f;
	const f32 length = std::sqrt( l );
	escape = side ? DTVector3d( -a.z / length, 0.0f, a.x / length ) : DTVector3d( a.z / length, 0.0f, -a.x / length );
}

u32 EFObjCollisionSweptSphere::CheckSphereCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
													 EFObjCollisionPrim * other ) {
	return Mirror( in, out, other );
}

u32 EFObjCollisionSweptSphere::CheckSweptSphereCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
														  EFObjCollisionPrim * other ) {
	const EFObjCollisionSweptSphere * const capsule = static_cast<const EFObjCollisionSweptSphere *>( other );
	const f32 reach = mfRadius + capsule->mfRadius;
	const DTVector3d still = capsule->moWorldVector * 2.0f;
	const DTVector3d moving = moWorldVector * 2.0f;
	const DTVector3d position = ( moPrimPos - moWorldVector ) - ( capsule->moPrimPos - capsule->moWorldVector );

	EFVectorVectorNearestPointIn nearIn = { still, moving, position, reach };
	EFVectorVectorNearestPointOut nearOut = { DTVector3d(), 0.0f };
	if ( ( GetVectorVectorNearestPoint( nearIn, nearOut ) & CS_COL_DISTANCE ) != 0 ) {
		out.mfPushSize = reach - nearOut.mfDistance;
		out.moColNormal = nearOut.moNearestPointNormal;
		return CS_COL_PUSH;
	}

	EFCheckInfiniteVectorVectorCollisionIn lineIn = { still, moving, position, in.moVelocity, reach };
	EFCheckInfiniteVectorVectorCollisionOut lineOut = { DTVector3d(), 0.0f };
	const u32 lines = CheckInfiniteVectorVectorCollision( lineIn, lineOut );
	if ( ( lines & ( CS_COL_HIT | CS_COL_INSIDE ) ) == 0 ) {
		return 0;
	}
	if ( ( lines & CS_COL_HIT ) != 0 && lineOut.mfTime > in.mfMaxTime ) {
		return 0;
	}
	EFCheckFiniteVectorVectorCollisionIn segIn = { still, moving, position, in.moVelocity, reach,
												   lineOut.moNormal, lineOut.mfTime, in.mfMaxTime };
	EFCheckFiniteVectorVectorCollisionOut segOut = { DTVector3d(), 0.0f };
	if ( ( CheckFiniteVectorVectorCollision( segIn, segOut, lines ) & CS_COL_HIT ) == 0 ) {
		return 0;
	}
	out.mfTime = segOut.mfTime;
	out.moColNormal = segOut.moNormal;
	out.moEffectivePartDep = in.moVelocity * segOut.mfTime;
	return CS_COL_HIT;
}

u32 EFObjCollisionSweptSphere::CheckPolygonCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
													  EFObjCollisionPrim * other ) {
	const EFObjCollisionPolygon * const polygons = static_cast<const EFObjCollisionPolygon *>( other );
	if ( !polygons->HasMatrices() ) {
		return 0;
	}
	const DTVector3d centre = EFTransformPoint( moPrimPos, polygons->mpoInverseMatrix );
	const DTVector3d halfAxis = EFTransformVector( moWorldVector, polygons->mpoInverseMatrix );
	return EFWalkPolygonRecords( *polygons, in, out,
								 [&]( const EFCheckCollisionIn & local, EFCheckCollisionOut & one,
									  EFEnvCollisionPrim * polygon ) {
									 return CheckSinglePolygonCollision( local, one, polygon, centre, halfAxis, 0 );
								 } );
}

u32 EFObjCollisionSweptSphere::CheckSinglePolygonCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
															EFEnvCollisionPrim * polygon, const DTVector3d & centre,
															const DTVector3d & halfAxis, const u32 environment ) {
	const DTVector3d & n = polygon->moPlane.moNormal;
	const f32 normalLength = std::sqrt( n * n );
	if ( !( normalLength >= MIN_NORMAL_LENGTH && normalLength <= MAX_NORMAL_LENGTH ) ) {
		return 0;
	}
	const u32 count = polygon->mui16NbVertex & 0x7FFF;
	if ( count > EF_POLYGON_MAX_VERTICES ) {
		return 0;
	}
	const u32 flags = environment != 0 ? polygon->GetAttribs()->ui32Flags : 0;
	const bool oneSided = environment != 0 && ( flags & EF_ENV_TWO_SIDED ) == 0;
	const DTVector3d & v = in.moVelocity;
	const f32 maxTime = in.mfMaxTime;
	const f32 r = mfRadius;
	const f32 reach = mfMaxRadius;
	const f32 nd = n * ( v * maxTime );
	if ( ( flags & EF_ENV_PASS_ALONG_NORMAL ) != 0 && nd > 0.0f ) {
		return 0;
	}

	// E is the half axis towards the plane; its end P + E is the nearest.
	const DTVector3d & p = centre;
	const f32 h = n * p + polygon->moPlane.mfD;
	const f32 ns = n * halfAxis;
	const DTVector3d e = std::signbit( ns ) == std::signbit( h ) ? -halfAxis : halfAxis;
	const f32 en = n * e;
	const f32 hEnd = h + nd;
	if ( ( h > reach && hEnd > reach ) || ( h < -reach && hEnd > reach ) ) {
		return 0;
	}
	const DTVector3d * const vertex = polygon->GetVertex();
	const EFEnvCollisionPrim::Plane * const edges = polygon->GetEdges();
	const u32 all = EFAllEdges( count );
	const auto outsideOf = [&]( const DTVector3d & point ) {
		u32 mask = 0;
		for ( u32 i = 0; i < count; i++ ) {
			if ( point * edges[i].moNormal + edges[i].mfD >= 0.0f ) {
				mask |= 1u << i;
			}
		}
		return mask;
	};
	const f32 gap = std::fabs( h ) - std::fabs( en ) - r;
	u32 mask = 0;
	// Edges beyond which a capsule lies that reaches the plane but not the
	// polygon: its contact, if any, is with one of them.
	u32 beside = 0;
	if ( gap < 0.0f ) {
		// The capsule reaches the plane now: where its axis crosses the
		// plane and which edges lie beyond, then how far it reaches past
		// those edges.
		DTVector3d normal = h > 0.0f ? n : -n;
		f32 push = -gap;
		u32 crossing = all;
		bool tested = false;
		if ( std::fabs( en ) > MIN_AXIS_ACROSS ) {
			crossing = outsideOf( p + e * ( h / -en ) );
			if ( std::fabs( h ) > std::fabs( en ) ) {
				mask = crossing != 0 ? crossing : all;
				tested = true;
			}
		}
		if ( !tested ) {
			mask = outsideOf( p + e );
		}
		bool overlap = true;
		if ( mask != 0 ) {
			f32 smallest = NO_EDGE_VALUE;
			u32 kept = 0;
			DTVector3d keptNormal;
			for ( u32 i = 0; i < count && overlap; i++ ) {
				if ( ( mask & ( 1u << i ) ) == 0 ) {
					continue;
				}
				EFGetVectorVectorDistanceIn lineIn = { vertex[( i + 1 ) % count] - vertex[i], e, p - vertex[i] };
				EFGetVectorVectorDistanceOut lineOut = { 0.0f, DTVector3d() };
				GetVectorVectorDistance( lineIn, lineOut );
				const bool crosses = ( crossing & ( 1u << i ) ) != 0;
				const f32 value = crosses ? r - lineOut.mfDistance : lineOut.mfDistance + r;
				if ( crosses && value < 0.0f ) {
					overlap = false;
				} else if ( value < smallest ) {
					smallest = value;
					kept = i;
					keptNormal = lineOut.moNormal;
				}
			}
			if ( overlap && mask == all ) {
				if ( smallest < push ) {
					push = smallest;
					normal = keptNormal;
				}
			} else if ( overlap ) {
				EFVectorVectorNearestPointIn nearIn = { vertex[( kept + 1 ) % count] - vertex[kept], halfAxis * 2.0f,
														p - halfAxis - vertex[kept], r };
				EFVectorVectorNearestPointOut nearOut = { DTVector3d(), 0.0f };
				if ( ( GetVectorVectorNearestPoint( nearIn, nearOut ) & CS_COL_TOOLATE ) != 0 ) {
					overlap = false;
				} else if ( r - nearOut.mfDistance < push ) {
					push = r - nearOut.mfDistance;
					normal = nearOut.moNearestPointNormal;
				}
			}
		}
		// The edge lines above can rule out a capsule that still reaches
		// the polygon: one lying nearly flat over the face, whose axis line
		// meets the plane far beyond an edge, or one reaching over another
		// edge than the one kept. The axis segment's own distance to the
		// polygon settles it.
		if ( !overlap ) {
			// The segment's point nearest the plane: where it crosses the
			// plane, else its nearer end.
			const bool crosses = std::fabs( en ) > MIN_AXIS_ACROSS && std::fabs( h ) <= std::fabs( en );
			const DTVector3d nearest = crosses ? p + e * ( h / -en ) : p + e;
			const DTVector3d face = h > 0.0f ? n : -n;
			if ( outsideOf( nearest ) == 0 ) {
				overlap = true;
				normal = face;
				push = -gap;
			} else {
				// Off the face, the polygon's nearest point lies on an edge
				// beyond which an end of the segment lies.
				beside = outsideOf( p - halfAxis ) | outsideOf( p + halfAxis );
				f32 least = r;
				for ( u32 i = 0; i < count; i++ ) {
					if ( ( beside & ( 1u << i ) ) == 0 ) {
						continue;
					}
					EFVectorVectorNearestPointIn nearIn = { vertex[( i + 1 ) % count] - vertex[i], halfAxis * 2.0f,
															p - halfAxis - vertex[i], r };
					EFVectorVectorNearestPointOut nearOut = { DTVector3d(), 0.0f };
					if ( ( GetVectorVectorNearestPoint( nearIn, nearOut ) & CS_COL_TOOLATE ) == 0 &&
						 nearOut.mfDistance < least ) {
						least = nearOut.mfDistance;
						normal = nearOut.moNearestPointNormal;
					}
				}
				overlap = least < r;
				push = r - least;
				// An axis through an edge has no direction from it.
				if ( least <= 0.0f ) {
					normal = face;
					push = -gap;
				}
			}
		}
		if ( overlap ) {
			if ( oneSided && !EFFlattenOneSidedPush( n, normal, push ) ) {
				return 0;
			}
			out.moColNormal = normal;
			out.mfPushSize = push;
			return CS_COL_PUSH;
		}
	} else {
		// Clear of the plane: when the nearest end reaches it, and whether
		// it then lies inside every edge plane.
		const f32 vn = n * v;
		if ( std::signbit( vn ) == std::signbit( h ) ) {
			return 0;
		}
		const f32 t = gap / std::fabs( vn );
		if ( t > maxTime ) {
			return CS_COL_TOOLATE;
		}
		out.moEffectivePartDep = v * t;
		mask = outsideOf( p + e + v * t );
		if ( mask == 0 ) {
			const DTVector3d normal = h > 0.0f ? n : -n;
			if ( oneSided && n * normal < 0.0f ) {
				return 0;
			}
			out.mfTime = t;
			out.moColNormal = normal;
			return CS_COL_HIT;
		}
	}

	// The edges of the mask against the moving axis. A capsule beside the
	// polygon that this misses (an edge out of approach ends it, the last
	// edge decides) can only meet an edge it lies beyond: the earliest of
	// those, each on its own.
	if ( v * v < MIN_EDGE_SPEED_SQUARED || mask == 0 ) {
		return 0;
	}
	EFCapsuleLineSweep sweep( p, halfAxis, v, r, maxTime );
	f32 time = 0.0f;
	DTVector3d normal;
	if ( !SweepEdges( sweep, vertex, count, mask, time, normal ) &&
		 !EarliestEdgeContact( p, halfAxis, v, r, maxTime, vertex, count, beside, time, normal ) ) {
		return 0;
	}
	if ( oneSided && n * normal < 0.0f ) {
		return 0;
	}
	out.mfTime = time;
	out.moColNormal = normal;
	out.moEffectivePartDep = v * time;
	return CS_COL_HIT;
}
