/*
	EFObjCollisionPrim: the shared geometric routines. Sign tests read the
	sign bit, so a negative zero counts as negative.
*/
#include "framework/physics/EFObjCollisionPrim.h"

#include "graphics3d/core/RwV3d.h"

#include <cmath>

namespace {

// Below this squared length the motion runs along the segment's line.
constexpr f32 PARALLEL_MOTION		= 1e-11f;
// Below this squared cross product two lines are parallel.
constexpr f32 PARALLEL_LINES		= 0.00001f;
// Below this normal speed a thick line does not approach.
constexpr f32 NO_APPROACH_SPEED		= 0.0001f;
// Distance limit of the finite segment test's nearest-point search.
constexpr f32 NEAREST_POINT_LIMIT	= 1000000.0f;
// Time of the finite segment test before an end point is found.
constexpr f32 NO_TIME				= 10000.0f;

DTVector3d Cross( const DTVector3d & a, const DTVector3d & b ) {
	DTVector3d out;
	a.Cross( b, &out );
	return out;
}

}

DTVector3d EFObjCollisionPrim::NormalizeOrUp( const DTVector3d & v ) {
	if ( v.x == 0.0f && v.y == 0.0f && v.z == 0.0f ) {
		return DTVector3d( 0.0f, 0.0f, 1.0f );
	}
	DTVector3d out;
	RwV3dNormalize( DTAsRwV3d( &out ), DTAsRwV3d( &v ) );
	return out;
}

u32 EFObjCollisionPrim::CheckSphereSphereCollision( EFCheckSphereSphereCollisionIn & in,
													EFCheckSphereSphereCollisionOut & out ) {
	const DTVector3d & p = in.moPos;
	const DTVector3d & w = in.moVel;
	const f32 pp = p * p;
	const f32 rr = in.mfRadius * in.mfRadius;
	if ( pp < rr ) {
		out.mfTime = 0.0f;
		out.moNormal = NormalizeOrUp( p );
		return CS_COL_INSIDE;
	}
	const f32 ww = w * w;
	if ( ww <= 0.0f ) {
		return CS_COL_NOAPPROACH;
	}
	const f32 b = p * w;
	const f32 disc = b * b - ww * ( pp - rr );
	if ( std::signbit( disc ) ) {
		return CS_COL_NOAPPROACH;
	}
	const f32 t = ( -b - std::sqrt( disc ) ) / ww;
	out.mfTime = t;
	if ( std::signbit( t ) ) {
		return CS_COL_PAST;
	}
	out.moPartDep = w * t;
	out.moNormal = NormalizeOrUp( p + w * t );
	return CS_COL_HIT;
}

u32 EFObjCollisionPrim::CheckSphereVectorCollision( EFCheckSphereVectorCollisionIn & in,
													EFCheckSphereVectorCollisionOut & out ) {
	const DTVector3d & v = in.moVector;
	const DTVector3d & p = in.moPos;
	const DTVector3d & w = in.moVel;
	const DTVector3d a = Cross( p, v );
	const DTVector3d b = Cross( w, v );
	const f32 vv = v * v;
	const f32 rr = in.mfRadius * in.mfRadius;
	const f32 aa = a * a;
	u32 result;
	DTVector3d q;
	if ( vv * rr > aa ) {
		result = CS_COL_INSIDE;
		out.mfTime = 0.0f;
		out.moPartDep = DTVector3d();
		q = p;
	} else {
		const f32 bb = b * b;
		if ( bb < PARALLEL_MOTION ) {
			return CS_COL_NOAPPROACH;
		}
		const f32 ab = a * b;
		const f32 disc = ab * ab - bb * ( aa - rr * vv );
		if ( std::signbit( disc ) ) {
			return CS_COL_NOAPPROACH;
		}
		const f32 t = ( -ab - std::sqrt( disc ) ) / bb;
		if ( std::signbit( t ) ) {
			return CS_COL_PAST;
		}
		result = CS_COL_HIT;
		out.mfTime = t;
		out.moPartDep = w * t;
		q = p + w * t;
	}
	const f32 u = ( q * v ) / vv;
	if ( std::signbit( u ) ) {
		result |= CS_COL_BEFORESTART;
	} else if ( u > 1.0f ) {
		result |= CS_COL_AFTEREND;
	} else {
		result |= CS_COL_INSEGMENT;
	}
	out.moNormal = NormalizeOrUp( q - v * u );
	return result;
}

u32 EFObjCollisionPrim::CheckSphereSweepCollision( EFCheckSphereSweepCollisionIn & in,
												   EFCheckSphereSweepCollisionOut & out ) {
	EFCheckSphereVectorCollisionIn lineIn = { in.moSweep, in.moPos, in.moVel, in.mfRadius };
	EFCheckSphereVectorCollisionOut lineOut = {};
	const u32 line = CheckSphereVectorCollision( lineIn, lineOut );
	if ( ( line & ( CS_COL_NOAPPROACH | CS_COL_PAST ) ) != 0 ) {
		return line;
	}
	if ( lineOut.mfTime > in.mfMaxTime ) {
		return CS_COL_TOOLATE;
	}
	if ( ( line & CS_COL_INSEGMENT ) != 0 ) {
		out.mfTime = lineOut.mfTime;
		out.moNormal = lineOut.moNormal;
		return CS_COL_HIT | CS_COL_INSEGMENT;
	}
	EFCheckSphereSphereCollisionIn endIn = { ( line & CS_COL_AFTEREND ) != 0 ? in.moPos - in.moSweep : in.moPos,
											 in.moVel, in.mfRadius };
	EFCheckSphereSphereCollisionOut endOut = {};
	const u32 end = CheckSphereSphereCollision( endIn, endOut );
	if ( ( end & ( CS_COL_INSIDE | CS_COL_NOAPPROACH | CS_COL_PAST ) ) != 0 ) {
		return end;
	}
	if ( endOut.mfTime > in.mfMaxTime ) {
		return CS_COL_TOOLATE;
	}
	out.mfTime = endOut.mfTime;
	out.moNormal = endOut.moNormal;
	return CS_COL_HIT;
}

u32 EFObjCollisionPrim::GetVectorVectorDistance( EFGetVectorVectorDistanceIn & in, EFGetVectorVectorDistanceOut & out ) {
	const DTVector3d & a = in.moVector1;
	const DTVector3d & p = in.moPos;
	DTVector3d n = Cross( a, in.moVector2 );
	if ( n * n >= PARALLEL_LINES ) {
		n = NormalizeOrUp( n );
		f32 d = p * n;
		if ( d < 0.0f ) {
			d = -d;
			n = -n;
		}
		out.mfDistance = d;
		out.moNormal = n;
		return CS_COL_DISTANCE;
	}
	const f32 aa = a * a;
	const DTVector3d pa = Cross( p, a );
	out.mfDistance = std::sqrt( ( pa * pa ) / aa );
	out.moNormal = NormalizeOrUp( p - a * ( ( p * a ) / aa ) );
	return CS_COL_PARALLEL;
}

u32 EFObjCollisionPrim::GetVectorVectorNearestPoint( EFVectorVectorNearestPointIn & in,
													 EFVectorVectorNearestPointOut & out ) {
	const DTVector3d & a = in.moVector1;
	const DTVector3d & b = in.moVector2;
	const DTVector3d & p = in.moPos;
	EFGetVectorVectorDistanceIn linesIn = { a, b, p };
	EFGetVectorVectorDistanceOut linesOut = {};
	const u32 lines = GetVectorVectorDistance( linesIn, linesOut );
	if ( linesOut.mfDistance > in.mfMaxDist ) {
		return CS_COL_TOOLATE;
	}
	const f32 aa = a * a;
	u32 bits = 0;
	DTVector3d q1;
	DTVector3d q2;
	if ( ( lines & CS_COL_PARALLEL ) != 0 ) {
		const f32 start = p * a;
		const f32 end = ( p + b ) * a;
		if ( start < 0.0f && end < 0.0f ) {
			bits |= CS_COL_BEFORESTART;
		} else if ( start > aa && end > aa ) {
			q1 = a;
			bits |= CS_COL_AFTEREND;
		} else {
			q1 = a * ( start / aa );
			q2 = p;
			bits |= CS_COL_SEG2INSIDE | CS_COL_INSEGMENT;
		}
		if ( ( bits & ( CS_COL_BEFORESTART | CS_COL_AFTEREND ) ) != 0 ) {
			if ( p * b < 0.0f ) {
				q2 = p + b;
				bits |= CS_COL_SEG2END;
			} else {
				q2 = p;
				bits |= CS_COL_SEG2START;
			}
		}
	} else {
		const DTVector3d c = Cross( b, a );
		const DTVector3d e = Cross( p, a );
		const f32 s = -( c * e ) / ( c * c );
		if ( s < 0.0f ) {
			q2 = p;
			bits |= CS_COL_SEG2START;
		} else if ( s > 1.0f ) {
			q2 = p + b;
			bits |= CS_COL_SEG2END;
		} else {
			q2 = p + b * s;
			bits |= CS_COL_SEG2INSIDE;
		}
		const f32 u = q2 * a;
		if ( u < 0.0f ) {
			bits |= CS_COL_BEFORESTART;
		} else if ( u > aa ) {
			q1 = a;
			bits |= CS_COL_AFTEREND;
		} else {
			q1 = a * ( u / aa );
			bits |= CS_COL_INSEGMENT;
		}
		if ( ( bits & ( CS_COL_BEFORESTART | CS_COL_AFTEREND ) ) != 0 ) {
			const f32 k = ( q1 - p ) * b;
			const f32 bb = b * b;
			bits &= ~( CS_COL_SEG2START | CS_COL_SEG2END | CS_COL_SEG2INSIDE );
			if ( k < 0.0f ) {
				q2 = p;
				bits |= CS_COL_SEG2START;
			} else if ( k > bb ) {
				q2 = p + b;
				bits |= CS_COL_SEG2END;
			} else {
				q2 = p + b * ( k / bb );
				bits |= CS_COL_SEG2INSIDE;
			}
		}
	}
	const DTVector3d n = q2 - q1;
	const f32 length = std::sqrt( n * n );
	if ( length > in.mfMaxDist ) {
		return CS_COL_TOOLATE;
	}
	out.mfDistance = length;
	out.moNearestPointNormal = length == 0.0f ? DTVector3d( 0.0f, 0.0f, 1.0f ) : n * ( 1.0f / length );
	return bits | CS_COL_DISTANCE;
}

u32 EFObjCollisionPrim::CheckInfiniteVectorVectorCollision( EFCheckInfiniteVectorVectorCollisionIn & in,
															EFCheckInfiniteVectorVectorCollisionOut & out ) {
	DTVector3d n = Cross( in.moVector1, in.moVector2 );
	out.moNormal = n;
	if ( n * n >= PARALLEL_LINES ) {
		n = NormalizeOrUp( n );
		f32 d = in.moPos * n;
		if ( d < 0.0f ) {
			d = -d;
			n = -n;
		}
		out.moNormal = n;
		if ( d < in.mfRadius ) {
			return CS_COL_INSIDE;
		}
		const f32 v = n * in.moVelocity;
		if ( std::fabs( v ) < NO_APPROACH_SPEED ) {
			return CS_COL_NOAPPROACH;
		}
		if ( v > 0.0f ) {
			return CS_COL_PAST;
		}
		out.mfTime = ( d - in.mfRadius ) / -v;
		return CS_COL_HIT;
	}
	EFCheckSphereVectorCollisionIn lineIn = { in.moVector1, in.moPos, in.moVelocity, in.mfRadius };
	EFCheckSphereVectorCollisionOut lineOut = {};
	const u32 result = CheckSphereVectorCollision( lineIn, lineOut );
	if ( ( result & ( CS_COL_HIT | CS_COL_INSIDE ) ) != 0 ) {
		out.mfTime = lineOut.mfTime;
		out.moNormal = lineOut.moNormal;
	}
	return result;
}

u32 EFObjCollisionPrim::CheckFiniteVectorVectorCollision( EFCheckFiniteVectorVectorCollisionIn & in,
														  EFCheckFiniteVectorVectorCollisionOut & out,
														  const u32 flags ) {
	const DTVector3d & a = in.moVector1;
	const DTVector3d & b = in.moVector2;
	const DTVector3d & p = in.moPos;
	const DTVector3d atContact = ( flags & CS_COL_INSIDE ) != 0 ? p : p + in.moVelocity * in.mfTime;
	EFVectorVectorNearestPointIn nearIn = { a, b, atContact, NEAREST_POINT_LIMIT };
	EFVectorVectorNearestPointOut nearOut = {};
	const u32 nearest = GetVectorVectorNearestPoint( nearIn, nearOut );
	if ( ( nearest & CS_COL_SEG2INSIDE ) != 0 && ( nearest & CS_COL_INSEGMENT ) != 0 ) {
		out.moNormal = in.moNormal;
		out.mfTime = in.mfTime;
		return flags;
	}
	out.mfTime = NO_TIME;
	u32 result = CS_COL_NOAPPROACH;
	u32 first = 0;
	if ( ( nearest & ( CS_COL_SEG2START | CS_COL_SEG2END ) ) != 0 ) {
		EFCheckSphereSweepCollisionIn sweepIn = { a, ( nearest & CS_COL_SEG2START ) != 0 ? p : p + b, in.moVelocity,
												  in.mfRadius, in.mfMaxTime };
		EFCheckSphereSweepCollisionOut sweepOut = {};
		first = CheckSphereSweepCollision( sweepIn, sweepOut );
		if ( ( first & CS_COL_HIT ) != 0 ) {
			out.mfTime = sweepOut.mfTime;
			out.moNormal = sweepOut.moNormal;
			result = CS_COL_HIT;
		}
	}
	if ( ( nearest & ( CS_COL_BEFORESTART | CS_COL_AFTEREND ) ) != 0 && ( first & CS_COL_INSEGMENT ) == 0 ) {
		EFCheckSphereSweepCollisionIn sweepIn = { b, ( nearest & CS_COL_BEFORESTART ) != 0 ? -p : a - p,
												  -in.moVelocity, in.mfRadius, in.mfMaxTime };
		EFCheckSphereSweepCollisionOut sweepOut = {};
		const u32 second = CheckSphereSweepCollision( sweepIn, sweepOut );
		if ( ( second & CS_COL_HIT ) != 0 && sweepOut.mfTime < out.mfTime ) {
			out.mfTime = sweepOut.mfTime;
			out.moNormal = -sweepOut.moNormal;
			result = CS_COL_HIT;
		}
	}
	return result;
}
