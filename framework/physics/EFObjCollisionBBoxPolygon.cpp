/*
	EFObjCollisionBBox against polygons, by separating axes: the polygon's
	plane, the box's three axes against the polygon's bounds in box
	space, and the axes across each polygon edge and each box axis. Each
	axis either overlaps (the shallowest overlap is the push) or gives an
	entry and an exit time; the latest entry before the earliest exit is
	the hit.
*/
#include "framework/physics/EFObjCollisionBBox.h"

#include "framework/graphics/EFPlane.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFObjCollisionPolygon.h"
#include "framework/physics/EFPrimSpace.h"

#include <cmath>
#include <limits>

namespace {

// A polygon normal whose length lies outside this range is skipped.
constexpr f32 MIN_NORMAL_LENGTH		= 0.99f;
constexpr f32 MAX_NORMAL_LENGTH		= 1.01f;
// Start of the entry time.
constexpr f32 NO_ENTRY				= -100000.0f;
// A gap to the plane below this counts as touching.
constexpr f32 TOUCH_GAP				= 0.001f;
// Above this speed along an axis the box leaves it at an exit time;
// below it the box never closes a gap along the axis.
constexpr f32 MIN_AXIS_SPEED		= 0.0001f;
// Edge axes shorter than this (squared) or nearly along the polygon's
// next edge separate nothing.
constexpr f32 MIN_EDGE_AXIS			= 0.0001f;
constexpr f32 MIN_EDGE_ACROSS		= 0.01f;

// A polygon primitive's record turned into world space: its plane and
// vertices, sized for the largest record.
EFPlane		gsoScratchPlane;
DTVector3d	gsaoScratchVertices[EF_POLYGON_MAX_VERTICES];

// The polygon's least extent along l from start (0 or below: l points
// out of the polygon at start).
f32 FarSide( const DTVector3d & l, const DTVector3d & start, const DTVector3d * vertex, const u32 count ) {
	f32 least = 0.0f;
	for ( u32 i = 0; i < count; i++ ) {
		least = std::fmin( least, l * ( vertex[i] - start ) );
	}
	return least;
}

f32 AbsSum( const DTVector3d & v ) {
	return std::fabs( v.x ) + std::fabs( v.y ) + std::fabs( v.z );
}

}

u32 EFObjCollisionBBox::CheckPolygonCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
											   EFObjCollisionPrim * other ) {
	const EFObjCollisionPolygon * const polygons = static_cast<const EFObjCollisionPolygon *>( other );
	if ( !polygons->HasMatrices() || polygons->mpoFirstPolygon == nullptr ) {
		return 0;
	}
	f32 best = in.mfMaxTime + 1.0f;
	u32 kept = 0;
	EFCheckCollisionOut keptOut = {};
	u8 * record = reinterpret_cast<u8 *>( polygons->mpoFirstPolygon );
	for ( u32 i = 0; i < polygons->mui32NbPolygons; i++ ) {
		EFEnvCollisionPrim * const polygon = reinterpret_cast<EFEnvCollisionPrim *>( record );
		const u32 count = polygon->mui16NbVertex & 0x7FFF;
		record += EF_POLYGON_HEADER_BYTES + EF_POLYGON_VERTEX_BYTES * count;
		if ( count == 0 || count > EF_POLYGON_MAX_VERTICES ) {
			continue;
		}
		const DTVector3d * const vertex = polygon->GetVertex();
		for ( u32 k = 0; k < count; k++ ) {
			gsaoScratchVertices[k] = EFTransformPoint( vertex[k], polygons->mpoWorldMatrix );
		}
		gsoScratchPlane.moNormal = EFTransformVector( polygon->moPlane.moNormal, polygons->mpoWorldMatrix );
		gsoScratchPlane.mfD = -( gsoScratchPlane.moNormal * gsaoScratchVertices[0] );
		EFCheckCollisionOut one = {};
		const u32 result = CheckSinglePolygonCollision( in, one, polygon, &gsoScratchPlane, gsaoScratchVertices, 0 );
		if ( ( result & ( CS_COL_HIT | CS_COL_PUSH ) ) != 0 && one.mfTime < best ) {
			best = one.mfTime;
			kept = result;
			keptOut = one;
		}
	}
	if ( kept != 0 ) {
		out = keptOut;
	}
	return kept;
}

u32 EFObjCollisionBBox::CheckSinglePolygonCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
													 EFEnvCollisionPrim * polygon, const EFPlane * plane,
													 const DTVector3d * vertices, const u32 environment ) {
	if ( !HasMatrices() ) {
		return 0;
	}
	const u32 count = polygon->mui16NbVertex & 0x7FFF;
	if ( count < 2 || count > EF_POLYGON_MAX_VERTICES ) {
		return 0;
	}
	// The plane is read as n . P + d, whichever record it comes from.
	const DTVector3d & n = environment != 0 ? polygon->moPlane.moNormal : plane->moNormal;
	const f32 planeD = environment != 0 ? polygon->moPlane.mfD : plane->mfD;
	const DTVector3d * const vertex = environment != 0 ? polygon->GetVertex() : vertices;
	const u32 flags = environment != 0 ? polygon->GetAttribs()->ui32Flags : 0;
	const bool oneSided = environment != 0 && ( flags & EF_ENV_TWO_SIDED ) == 0;
	const f32 normalLength = std::sqrt( n * n );
	if ( normalLength <= MIN_NORMAL_LENGTH || normalLength >= MAX_NORMAL_LENGTH ) {
		return 0;
	}
	const DTVector3d & v = in.moVelocity;
	const f32 maxTime = in.mfMaxTime;
	const f32 nd = n * ( v * maxTime );
	if ( ( flags & EF_ENV_PASS_ALONG_NORMAL ) != 0 && nd > 0.0f ) {
		return 0;
	}
	const DTVector3d & c = moPrimPos;
	const f32 reach = mfMaxRadius;
	f32 h = n * c + planeD;
	if ( ( h > reach && h + nd > reach ) || ( h < -reach && h + nd > reach ) ) {
		return 0;
	}

	// The plane: the box's half size along the normal against the gap.
	f32 time = NO_ENTRY;
	f32 exit = std::numeric_limits<f32>::max();
	f32 push = 0.0f;
	bool overlapping = false;
	const f32 r = AbsSum( EFTransformVector( n, mpoScaledTranspose ) );
	DTVector3d normal = h > 0.0f ? n : -n;
	h = std::fabs( h );
	f32 gap = h - r;
	if ( std::fabs( gap ) < TOUCH_GAP ) {
		gap = 0.0f;
	}
	const f32 u = normal * v;
	if ( gap < 0.0f ) {
		push = -gap;
		overlapping = true;
	} else {
		if ( u >= 0.0f ) {
			return 0;
		}
		time = -gap / u;
		if ( time > maxTime ) {
			return 0;
		}
	}
	if ( std::fabs( u ) > MIN_AXIS_SPEED ) {
		// Moving off the plane, the box leaves it once its near side has
		// cleared it: the gap is then negative.
		exit = u > 0.0f ? -gap / u : ( h + r ) / -u;
		if ( exit < time ) {
			return 0;
		}
	}

	// The box's axes against the polygon's bounds in box space.
	DTVector3d low = EFTransformPoint( vertex[0], mpoWorldToBox );
	DTVector3d high = low;
	for ( u32 i = 1; i < count; i++ ) {
		const DTVector3d q = EFTransformPoint( vertex[i], mpoWorldToBox );
		low = DTVector3d( std::fmin( low.x, q.x ), std::fmin( low.y, q.y ), std::fmin( low.z, q.z ) );
		high = DTVector3d( std::fmax( high.x, q.x ), std::fmax( high.y, q.y ), std::fmax( high.z, q.z ) );
	}
	const DTVector3d q = ( low + high ) * 0.5f;
	const DTVector3d k = ( high - low ) * 0.5f;
	const DTVector3d vb = EFTransformVector( v, mpoWorldToBox );
	u32 chosen = 3;
	for ( u32 a = 0; a < 3; a++ ) {
		const f32 qa = EFAxis( q, a );
		const f32 va = EFAxis( vb, a );
		const f32 ha = EFAxis( moHalfExtents, a );
		const f32 ka = EFAxis( k, a );
		const f32 s = ha + ka - std::fabs( qa );
		if ( s > 0.0f ) {
			if ( overlapping && s < push ) {
				push = s;
				chosen = a;
			}
		} else {
			if ( std::signbit( va ) != std::signbit( qa ) || std::fabs( va ) < MIN_AXIS_SPEED ) {
				return 0;
			}
			const f32 t = -s / std::fabs( va );
			if ( t > time ) {
				if ( t > maxTime || exit < t ) {
					return 0;
				}
				time = t;
				chosen = a;
			}
			overlapping = false;
		}
		if ( std::fabs( va ) > MIN_AXIS_SPEED ) {
			const f32 t = va > 0.0f ? ( ha + qa + ka ) / va : ( qa - ha - ka ) / va;
			if ( t < exit ) {
				exit = t;
				if ( time > exit ) {
					return 0;
				}
			}
		}
	}
	if ( chosen < 3 ) {
		const DTVector3d axis = EFMatrixRow( mpoBoxToWorld, chosen );
		normal = EFAxis( q, chosen ) > 0.0f ? -axis : axis;
	}

	// The axes across each polygon edge and each box axis, formed as they
	// are visited. They lower the push or delay the entry; the normal
	// stays the plane's or the box axis's.
	for ( u32 i = 0; i < count; i++ ) {
		const DTVector3d & start = vertex[i];
		const DTVector3d edge = vertex[( i + 1 ) % count] - start;
		const DTVector3d next = vertex[( i + 2 ) % count] - vertex[( i + 1 ) % count];
		for ( u32 a = 0; a < 3; a++ ) {
			DTVector3d l = EFCross( edge, EFMatrixRow( mpoBoxToWorld, a ) );
			if ( l * l <= MIN_EDGE_AXIS ) {
				continue;
			}
			l.Normalize();
			const f32 across = l * next;
			if ( std::fabs( across ) <= MIN_EDGE_ACROSS ) {
				continue;
			}
			if ( across > 0.0f ) {
				l = -l;
			}
			const f32 ul = l * v;
			const f32 rl = AbsSum( EFTransformVector( l, mpoScaledTranspose ) );
			const f32 w = l * ( c - start );
			const f32 s = rl - w;
			if ( s > 0.0f ) {
				if ( overlapping && s < push ) {
					push = s;
				}
			} else {
				if ( ul >= 0.0f || std::fabs( ul ) < MIN_AXIS_SPEED ) {
					return 0;
				}
				const f32 t = s / ul;
				if ( t > time ) {
					time = t;
					if ( t > maxTime ) {
						return 0;
					}
				}
				overlapping = false;
			}
			if ( std::fabs( ul ) > MIN_AXIS_SPEED ) {
				// Moving in, the box leaves this axis only once it has
				// passed the polygon's far side, not the edge's line.
				const f32 t = ul > 0.0f ? ( rl - w ) / ul : ( rl + w - FarSide( l, start, vertex, count ) ) / -ul;
				if ( t >= 0.0f && t < exit ) {
					exit = t;
					if ( time > exit ) {
						return 0;
					}
				}
			}
		}
	}

	out.mfTime = time;
	if ( overlapping ) {
		if ( oneSided && !EFFlattenOneSidedPush( n, normal, push ) ) {
			return 0;
		}
		out.moColNormal = normal;
		out.mfPushSize = push;
		return CS_COL_PUSH;
	}
	if ( time > exit || ( oneSided && n * normal < 0.0f ) ) {
		return 0;
	}
	out.moColNormal = normal;
	out.moEffectivePartDep = v * time;
	return CS_COL_HIT;
}
