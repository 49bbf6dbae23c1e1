/*
	EFObjCollisionSphere: the sphere's tests and queries. Sign tests read
	the sign bit where a negative zero must count as negative.
*/
#include "framework/physics/EFObjCollisionSphere.h"

#include "framework/graphics/particles/PLParticle.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFObjCollisionPolygon.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"
#include "framework/physics/EFPolygonRecordWalk.h"
#include "framework/physics/EFPrimSpace.h"
#include "graphics3d/core/RwMatrix.h"

#include <cmath>

namespace {

// Below this on every axis two centres count as coincident: the push goes up.
constexpr f32 COINCIDENT_CENTRES	= 0.015625f;
// Start of the box test's largest outside distance and entry time.
constexpr f32 NO_OUTSIDE			= -100000.0f;
constexpr f32 NO_ENTRY				= -1000.0f;
// Start of the latest edge contact of the edge sweeps.
constexpr f32 NO_EDGE_TIME			= -10000.0f;
// A polygon normal whose length lies outside this range is skipped.
constexpr f32 MIN_NORMAL_LENGTH		= 0.99f;
constexpr f32 MAX_NORMAL_LENGTH		= 1.01f;
// Below this normal speed the sphere slides along the plane.
constexpr f32 MIN_NORMAL_SPEED		= 0.00001f;
// Squared horizontal speed above which the escape follows the velocity.
constexpr f32 ESCAPE_SPEED			= 0.01f;

// The latest contact of an edge sweep: the taken result and where its
// segment starts and ends.
struct EdgeContact {
	u32				result = 0;
	f32				time = NO_EDGE_TIME;
	DTVector3d		normal;
	DTVector3d		partDep;
	DTVector3d		start;
	DTVector3d		end;
};

// One segment of an edge sweep: a sphere of radius at position moving
// with velocity against the segment from start to end. Returns 0 to go
// on, or the result that ends the whole test (a no-contact code or
// CS_COL_TOOLATE). An overlap is taken when nothing was taken yet; a hit
// when it comes later than the one taken: of several edges the latest
// contact wins.
u32 SweepEdge( const DTVector3d & start, const DTVector3d & end, const DTVector3d & position,
			   const DTVector3d & velocity, const f32 radius, const f32 maxTime, EdgeContact & taken ) {
	EFCheckSphereVectorCollisionIn in = { end - start, position - start, velocity, radius };
	EFCheckSphereVectorCollisionOut out = { DTVector3d(), DTVector3d(), 0.0f };
	const u32 result = EFObjCollisionPrim::CheckSphereVectorCollision( in, out );
	if ( ( result & ( CS_COL_NOAPPROACH | CS_COL_PAST ) ) != 0 ) {
		return result;
	}
	if ( ( result & CS_COL_HIT ) != 0 && out.mfTime > maxTime ) {
		return CS_COL_TOOLATE;
	}
	const bool take = ( result & CS_COL_INSIDE ) != 0 ? taken.result == 0
													 : ( result & CS_COL_HIT ) != 0 && out.mfTime > taken.time;
	if ( take ) {
		taken.result = result;
		taken.time = ( result & CS_COL_INSIDE ) != 0 ? 0.0f : out.mfTime;
		taken.normal = out.moNormal;
		taken.partDep = out.moPartDep;
		taken.start = start;
		taken.end = end;
	}
	return 0;
}

// Ends an edge sweep: the contact inside the taken segment, or else the
// sphere's sweep against the segment end point the contact lies beyond.
// Fills time, normal and displacement; returns CS_COL_HIT, or 0 or
// CS_COL_TOOLATE.
u32 FinishEdgeSweep( const EdgeContact & taken, const DTVector3d & position, const DTVector3d & velocity,
					 const f32 radius, const f32 maxTime, f32 & time, DTVector3d & normal, DTVector3d & partDep ) {
	if ( taken.result == 0 ) {
		return 0;
	}
	if ( ( taken.result & CS_COL_INSEGMENT ) != 0 ) {
		time = taken.time;
		normal = taken.normal;
		partDep = taken.partDep;
		return CS_COL_HIT;
	}
	const DTVector3d & vertex = ( taken.result & CS_COL_BEFORESTART ) != 0 ? taken.start : taken.end;
	EFCheckSphereSphereCollisionIn in = { position - vertex, velocity, radius };
	EFCheckSphereSphereCollisionOut out = { DTVector3d(), DTVector3d(), 0.0f };
	if ( ( EFObjCollisionPrim::CheckSphereSphereCollision( in, out ) & CS_COL_HIT ) == 0 ) {
		return 0;
	}
	if ( out.mfTime > maxTime ) {
		return CS_COL_TOOLATE;
	}
	time = out.mfTime;
	normal = out.moNormal;
	partDep = out.moPartDep;
	return CS_COL_HIT;
}

}

EFObjCollisionSphere::EFObjCollisionSphere( DTFrame * frame ) : EFObjCollisionPrim( frame ) {
	SetShape( EF_PRIM_SPHERE );
}

u32 EFObjCollisionSphere::CheckEnvCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
											 EFEnvCollisionPrim * polygon ) {
	return CheckSinglePolygonCollision( in, out, polygon, moPrimPos, 1 );
}

u32 EFObjCollisionSphere::CheckObjPrimCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
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

bool EFObjCollisionSphere::CheckPointIntersection( const DTVector3d & point ) const {
	const DTVector3d d = moPrimPos - point;
	return d * d <= mfMaxRadius * mfMaxRadius;
}

u32 EFObjCollisionSphere::CheckParticlesIntersection( PLParticle * first, const bool count ) {
	return EFWalkParticles( first, count, false, [&]( const PLParticle & particle ) {
		const DTVector3d d = particle.moPosition - moPrimPos;
		const f32 reach = mfMaxRadius + particle.mfRadius;
		return d * d <= reach * reach;
	} );
}

u32 EFObjCollisionSphere::RayIntersect( const RayIntersectIn & in, EFRayIntersectOut & out, f32 & t ) {
	EFCheckSphereSphereCollisionIn sweep = { in.oStartVector - moPrimPos, in.oDeplVector, mfMaxRadius };
	EFCheckSphereSphereCollisionOut hit = { DTVector3d(), DTVector3d(), 0.0f };
	const u32 result = CheckSphereSphereCollision( sweep, hit );
	if ( ( result & CS_COL_INSIDE ) != 0 ) {
		t = 0.0f;
	} else if ( ( result & CS_COL_HIT ) != 0 ) {
		if ( hit.mfTime > t ) {
			return 0;
		}
		t = hit.mfTime;
	} else {
		return 0;
	}
	out.oIntersectionNormal = hit.moNormal;
	return 1;
}

f32 EFObjCollisionSphere::GetMinRadius() {
	return mfMaxRadius;
}

void EFObjCollisionSphere::GetEscapeNoPF( const DTVector3d &, DTVector3d & escape, DTVector3d & velocity ) const {
	const f32 l = velocity.x * velocity.x + velocity.z * velocity.z;
	if ( l > ESCAPE_SPEED ) {
		const f32 length = std::sqrt( l );
		escape = DTVector3d( velocity.x / length, 0.0f, velocity.z / length );
		return;
	}
	escape = EFRandomHeading();
}

u32 EFObjCollisionSphere::CheckSphereCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												EFObjCollisionPrim * other ) {
	const f32 reach = mfMaxRadius + other->mfMaxRadius;
	const DTVector3d d = moPrimPos - other->moPrimPos;
	const f32 dd = d * d;
	if ( dd < reach * reach ) {
		const bool coincident = std::fabs( d.x ) < COINCIDENT_CENTRES && std::fabs( d.y ) < COINCIDENT_CENTRES &&
								std::fabs( d.z ) < COINCIDENT_CENTRES;
		out.moColNormal = coincident ? DTVector3d( 0.0f, 1.0f, 0.0f ) : NormalizeOrUp( d );
		out.mfPushSize = reach - std::sqrt( dd );
		return CS_COL_PUSH;
	}
	EFCheckSphereSphereCollisionIn sweep = { d, in.moVelocity, reach };
	EFCheckSphereSphereCollisionOut hit = { DTVector3d(), DTVector3d(), 0.0f };
	const u32 result = CheckSphereSphereCollision( sweep, hit );
	if ( ( result & ( CS_COL_NOAPPROACH | CS_COL_PAST ) ) != 0 ) {
		return result;
	}
	if ( ( result & CS_COL_HIT ) == 0 ) {
		return 0;
	}
	if ( hit.mfTime > in.mfMaxTime ) {
		return CS_COL_TOOLATE;
	}
	out.moColNormal = hit.moNormal;
	out.mfTime = hit.mfTime;
	out.moEffectivePartDep = hit.moPartDep;
	return CS_COL_HIT;
}

u32 EFObjCollisionSphere::CheckSweptSphereCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
													 EFObjCollisionPrim * other ) {
	const EFObjCollisionSweptSphere * const capsule = static_cast<const EFObjCollisionSweptSphere *>( other );
	const f32 reach = mfMaxRadius + capsule->mfRadius;
	const DTVector3d s = capsule->moWorldVector * 2.0f;
	const DTVector3d p = moPrimPos - ( capsule->moPrimPos - capsule->moWorldVector );
	DTVector3d cross;
	p.Cross( s, &cross );
	const f32 ss = s * s;
	// A capsule always has an axis (its setters keep it at least 0.01
	// long); without one the line test would divide by zero.
	if ( ss > 0.0f && ( cross * cross ) / ss < reach * reach ) {
		const f32 u = p * s;
		const DTVector3d n = u < 0.0f ? p : ( u > ss ? p - s : p - s * ( u / ss ) );
		const f32 length = std::sqrt( n * n );
		if ( length < reach ) {
			out.mfPushSize = reach - length;
			out.moColNormal = length == 0.0f ? DTVector3d( 0.0f, 0.0f, 1.0f )
											 : DTVector3d( n.x / length, n.y / length, n.z / length );
			return CS_COL_PUSH;
		}
	}
	EFCheckSphereSweepCollisionIn sweep = { s, p, in.moVelocity, reach, in.mfMaxTime };
	EFCheckSphereSweepCollisionOut hit = { DTVector3d(), 0.0f };
	if ( ( CheckSphereSweepCollision( sweep, hit ) & CS_COL_HIT ) == 0 ) {
		return 0;
	}
	out.mfTime = hit.mfTime;
	out.moColNormal = hit.moNormal;
	out.moEffectivePartDep = in.moVelocity * hit.mfTime;
	return CS_COL_HIT;
}

u32 EFObjCollisionSphere::CheckBBoxCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
											  EFObjCollisionPrim * other ) {
	const EFObjCollisionBBox * const box = static_cast<const EFObjCollisionBBox *>( other );
	if ( !box->HasMatrices() ) {
		return 0;
	}
	const f32 r = mfMaxRadius;
	const DTVector3d & half = box->moHalfExtents;
	const DTVector3d c = EFTransformPoint( moPrimPos, box->mpoWorldToBox );
	const DTVector3d v = EFTransformVector( in.moVelocity, box->mpoWorldToBox );

	// How far the centre lies outside each slab: within reach on every
	// axis with the outside distances' squares summing to at most R² is an
	// overlap; a slab out of reach gives the time the sphere enters it.
	DTVector3d escape;
	f32 sum = 0.0f;
	bool overlap = true;
	bool separated = false;
	u32 insideAxes = 0;
	f32 largest = NO_OUTSIDE;
	u32 kept = 0;
	f32 entry = NO_ENTRY;
	for ( u32 a = 0; a < 3; a++ ) {
		const f32 ca = EFAxis( c, a );
		const f32 e = std::fabs( ca ) - EFAxis( half, a );
		if ( e < r ) {
			if ( e < 0.0f ) {
				insideAxes++;
			} else {
				EFSetAxis( escape, a, std::copysign( e, ca ) );
				sum += e * e;
				if ( sum > r * r ) {
					overlap = false;
				}
			}
			if ( e > largest ) {
				largest = e;
				kept = a;
			}
			continue;
		}
		overlap = false;
		separated = true;
		const f32 va = EFAxis( v, a );
		if ( std::signbit( va ) == std::signbit( ca ) ) {
			return 0;
		}
		const f32 ta = ( e - r ) / std::fabs( va );
		entry = ta > entry ? ta : entry;
		if ( entry > in.mfMaxTime ) {
			return 0;
		}
	}
	if ( overlap ) {
		if ( insideAxes >= 2 || largest < 0.0f ) {
			const DTVector3d axis = EFMatrixRow( box->mpoBoxToWorld, kept );
			out.moColNormal = EFAxis( c, kept ) < 0.0f ? -axis : axis;
			out.mfPushSize = r - largest;
		} else {
			out.mfPushSize = r - std::sqrt( sum );
			out.moColNormal = EFTransformVector( NormalizeOrUp( escape ), box->mpoBoxToWorld );
		}
		return CS_COL_PUSH;
	}

	// Where the sphere's centre is when it first reaches every slab: one
	// axis still outside is a face contact, more are an edge or a corner.
	const DTVector3d q = separated ? c + v * entry : c;
	u32 outside = 0;
	u32 outsideAxis = 0;
	for ( u32 a = 0; a < 3; a++ ) {
		if ( std::fabs( EFAxis( q, a ) ) - EFAxis( half, a ) > 0.0f ) {
			outside |= 1u << a;
			outsideAxis = a;
		}
	}
	if ( outside == ( 1u << outsideAxis ) ) {
		const DTVector3d axis = EFMatrixRow( box->mpoBoxToWorld, outsideAxis );
		out.moColNormal = EFAxis( c, outsideAxis ) < 0.0f ? -axis : axis;
		out.mfTime = entry;
		out.moEffectivePartDep = in.moVelocity * entry;
		return CS_COL_HIT;
	}

	// The edges between two outside axes, each along the third axis at the
	// corner on the centre's side.
	static const u32 kPairs[3][3] = { { 0, 1, 2 }, { 0, 2, 1 }, { 1, 2, 0 } };
	EdgeContact taken;
	for ( const u32 * pair : kPairs ) {
		const u32 i = pair[0];
		const u32 j = pair[1];
		const u32 k = pair[2];
		if ( ( outside & ( 1u << i ) ) == 0 || ( outside & ( 1u << j ) ) == 0 ) {
			continue;
		}
		DTVector3d start;
		EFSetAxis( start, i, EFAxis( c, i ) < 0.0f ? -EFAxis( half, i ) : EFAxis( half, i ) );
		EFSetAxis( start, j, EFAxis( c, j ) < 0.0f ? -EFAxis( half, j ) : EFAxis( half, j ) );
		EFSetAxis( start, k, -EFAxis( half, k ) );
		DTVector3d end = start;
		EFSetAxis( end, k, EFAxis( half, k ) );
		const u32 stop = SweepEdge( start, end, c, v, r, in.mfMaxTime, taken );
		if ( stop != 0 ) {
			return stop;
		}
	}
	f32 time = 0.0f;
	DTVector3d normal;
	DTVector3d partDep;
	const u32 result = FinishEdgeSweep( taken, c, v, r, in.mfMaxTime, time, normal, partDep );
	if ( result != CS_COL_HIT ) {
		return result;
	}
	out.mfTime = time;
	out.moColNormal = EFTransformVector( normal, box->mpoBoxToWorld );
	out.moEffectivePartDep = in.moVelocity * time;
	return CS_COL_HIT;
}

u32 EFObjCollisionSphere::CheckPolygonCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												 EFObjCollisionPrim * other ) {
	const EFObjCollisionPolygon * const polygons = static_cast<const EFObjCollisionPolygon *>( other );
	DTVector3d centre = polygons->HasMatrices() ? EFTransformPoint( moPrimPos, polygons->mpoInverseMatrix ) : moPrimPos;
	return EFWalkPolygonRecords( *polygons, in, out,
								 [&]( const EFCheckCollisionIn & local, EFCheckCollisionOut & one,
									  EFEnvCollisionPrim * polygon ) {
									 return CheckSinglePolygonCollision( local, one, polygon, centre, 0 );
								 } );
}

u32 EFObjCollisionSphere::CheckSinglePolygonCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
													   EFEnvCollisionPrim * polygon, DTVector3d & centre,
													   const u32 environment ) {
	const DTVector3d & n = polygon->moPlane.moNormal;
	const f32 length = std::sqrt( n * n );
	if ( !( length >= MIN_NORMAL_LENGTH && length <= MAX_NORMAL_LENGTH ) ) {
		return 0;
	}
	const u32 count = polygon->mui16NbVertex & 0x7FFF;
	if ( count > EF_POLYGON_MAX_VERTICES ) {
		return 0;
	}
	const u32 flags = environment != 0 ? polygon->GetAttribs()->ui32Flags : 0;
	const bool oneSided = environment != 0 && ( flags & EF_ENV_TWO_SIDED ) == 0;
	const f32 r = mfMaxRadius;
	const DTVector3d & v = in.moVelocity;
	const f32 maxTime = in.mfMaxTime;
	const f32 vn = v * n;
	if ( ( flags & EF_ENV_PASS_ALONG_NORMAL ) != 0 && vn * maxTime > 0.0f ) {
		return 0;
	}
	const f32 h = n * centre + polygon->moPlane.mfD;
	const f32 hEnd = h + vn * maxTime;
	if ( ( h > r && hEnd > r ) || ( h < -r && hEnd > r ) ) {
		return 0;
	}
	const DTVector3d * const vertex = polygon->GetVertex();
	const EFEnvCollisionPrim::Plane * const edges = polygon->GetEdges();
	u32 mask = 0;
	if ( std::fabs( h ) < r ) {
		// The sphere cuts the plane: the edges the centre lies outside of,
		// and the nearest of them, unless one is out of reach already.
		bool reached = true;
		f32 nearest = 0.0f;
		u32 k = 0;
		for ( u32 i = 0; i < count; i++ ) {
			const f32 g = centre * edges[i].moNormal + edges[i].mfD;
			if ( g <= 0.0f ) {
				continue;
			}
			mask |= 1u << i;
			if ( g > nearest ) {
				if ( g * g + h * h > r * r ) {
					reached = false;
					break;
				}
				nearest = g;
				k = i;
			}
		}
		bool overlap = false;
		DTVector3d normal;
		f32 push = 0.0f;
		if ( reached && mask == 0 ) {
			normal = h > 0.0f ? n : -n;
			push = r - std::fabs( h );
			overlap = true;
		} else if ( reached ) {
			const DTVector3d & a = vertex[k];
			const DTVector3d e = vertex[( k + 1 ) % count] - a;
			const f32 ee = e * e;
			f32 u = ee > 0.0f ? ( ( centre - a ) * e ) / ee : 0.0f;
			u = u < 0.0f ? 0.0f : ( u > 1.0f ? 1.0f : u );
			const DTVector3d away = centre - ( a + e * u );
			const f32 dd = away * away;
			if ( dd < r * r ) {
				push = r - std::sqrt( dd );
				normal = NormalizeOrUp( away );
				overlap = true;
			}
		}
		if ( overlap ) {
			// A one-sided polygon never pushes towards its back: the push
			// keeps only its part along the plane.
			if ( oneSided && !EFFlattenOneSidedPush( n, normal, push ) ) {
				return 0;
			}
			out.moColNormal = normal;
			out.mfPushSize = push;
			return CS_COL_PUSH;
		}
	} else {
		// Clear of the plane: when the sphere reaches it, and whether its
		// centre then lies inside every edge plane.
		if ( maxTime == 0.0f || std::fabs( vn ) < MIN_NORMAL_SPEED ) {
			return 0;
		}
		const f32 gap = h > 0.0f ? h - r : h + r;
		if ( std::signbit( gap ) != std::signbit( -vn ) ) {
			return 0;
		}
		const f32 t = gap / -vn;
		if ( t > maxTime || t < 0.0f ) {
			return 0;
		}
		out.moEffectivePartDep = v * t;
		const DTVector3d q = centre + v * t;
		for ( u32 i = 0; i < count; i++ ) {
			if ( q * edges[i].moNormal + edges[i].mfD >= 0.0f ) {
				mask |= 1u << i;
			}
		}
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

	// The edges of the mask, then the vertex the latest contact lies beyond.
	EdgeContact taken;
	for ( u32 i = 0; i < count; i++ ) {
		if ( ( mask & ( 1u << i ) ) == 0 ) {
			continue;
		}
		const u32 stop = SweepEdge( vertex[i], vertex[( i + 1 ) % count], centre, v, r, maxTime, taken );
		if ( stop != 0 ) {
			return stop;
		}
	}
	f32 time = 0.0f;
	DTVector3d normal;
	DTVector3d partDep;
	const u32 result = FinishEdgeSweep( taken, centre, v, r, maxTime, time, normal, partDep );
	if ( result != CS_COL_HIT ) {
		return result;
	}
	if ( oneSided && n * normal < 0.0f ) {
		return 0;
	}
	out.mfTime = time;
	out.moColNormal = normal;
	out.moEffectivePartDep = partDep;
	return CS_COL_HIT;
}
