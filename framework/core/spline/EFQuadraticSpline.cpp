#include "framework/core/spline/EFQuadraticSpline.h"

#include "datatypes/maths/DTCubic.h"

#include <bit>
#include <cfloat>
#include <cmath>

namespace {

// Exponent field of a float, and its value for 2 to the power -11: below
// it on both a and b the segment's speed is taken as constant.
constexpr u32 FLOAT_EXPONENT_MASK		= 0x7F800000;
constexpr u32 STRAIGHT_EXPONENT			= ( 127u - 11u ) << 23;

// Acceptance of a section of the adaptive length.
constexpr s32 SECTION_MAX_DEPTH			= 30;
constexpr f64 SECTION_MIN_LENGTH		= 1e-5;
constexpr f64 SECTION_MIN_CHORD			= 1e-5;
constexpr f64 SECTION_MAX_BEND			= 1.05;
constexpr f64 SECTION_MIN_HALF			= 1e-6;
constexpr f64 SECTION_MAX_HALF_RATIO	= 1.2;

bool IsBelowStraightExponent( const f32 value ) {
	return ( std::bit_cast<u32>( value ) & FLOAT_EXPONENT_MASK ) < STRAIGHT_EXPONENT;
}

f64 Distance( const DTVector3d & p, const DTVector3d & q ) {
	const f64 dx = static_cast<f64>( p.x ) - q.x;
	const f64 dy = static_cast<f64>( p.y ) - q.y;
	const f64 dz = static_cast<f64>( p.z ) - q.z;
	return std::sqrt( dx * dx + dy * dy + dz * dz );
}

// t clamped to 0..1; NaN reads as 0.
f32 ClampUnit( const f32 t ) {
	if ( !( t > 0.0f ) ) {
		return 0.0f;
	}
	return t < 1.0f ? t : 1.0f;
}

// The side whose plane is at index k runs between these corners, listed
// from the corner the projection parameter starts at.
constexpr u32 SIDE_CORNERS[EF_SPLINE_PLANES][2] = { { 0, 0 }, { 0, 2 }, { 2, 1 }, { 1, 0 } };

} // namespace

u32 EFQuadraticSpline::ClampSegment( const s32 segment ) const {
	if ( segment < 0 ) {
		return 0;
	}
	return static_cast<u32>( segment ) >= mui32NbSegments ? mui32NbSegments - 1 : static_cast<u32>( segment );
}

void EFQuadraticSpline::ClampPosition( s32 & segment, f32 & t ) const {
	if ( segment < 0 ) {
		segment = 0;
		t = 0.0f;
	} else if ( static_cast<u32>( segment ) >= mui32NbSegments ) {
		segment = static_cast<s32>( mui32NbSegments - 1 );
		t = 1.0f;
	}
}

void EFQuadraticSpline::GetPoint( s32 segment, f32 t, DTVector3d & out ) const {
	ClampPosition( segment, t );
	const EFSplineSegment & s = mpoSegments[segment];
	out = s.moCorners[0] + s.moB * t + s.moC * ( t * t );
}

void EFQuadraticSpline::GetTangent( s32 segment, f32 t, DTVector3d & out ) const {
	ClampPosition( segment, t );
	const EFSplineSegment & s = mpoSegments[segment];
	out = s.moB + s.moC * ( 2.0f * t );
}

f32 EFQuadraticSpline::GetSegmentLength( const s32 segment ) const {
	return mpoSegments[ClampSegment( segment )].mfLength;
}

f32 EFQuadraticSpline::GetSegmentLength( s32 segment, f32 t ) const {
	ClampPosition( segment, t );
	const EFSplineSegment & s = mpoSegments[segment];
	if ( IsBelowStraightExponent( s.mfA ) && IsBelowStraightExponent( s.mfB ) ) {
		return t * s.mfLength;
	}
	const f64 a = s.mfA;
	const f64 b = s.mfB;
	const f64 c = s.mfC;
	const f64 r = s.mfR;
	const f64 tt = t;
	const f64 q = a * tt * tt + b * tt + c;
	const f64 root = q > 0.0 ? std::sqrt( q ) : q;
	const f64 w = root + ( a * tt + b / 2.0 ) / r;
	if ( !( w > 0.0 ) ) {
		return static_cast<f32>( GetCurveLength( segment, 0.0, tt, EF_SPLINE_FALLBACK_SAMPLES ) );
	}
	const f64 length = 2.0 * ( root * ( 2.0 * a * tt + b ) / ( 4.0 * a ) +
							   ( c / ( 2.0 * r ) - b * b / ( 8.0 * a * r ) ) * std::log( w ) ) + s.mfK;
	return static_cast<f32>( length );
}

f64 EFQuadraticSpline::GetCurveLength( const s32 segment, const f64 t0, const f64 t1, s32 samples ) const {
	// The sample arrays hold EF_SPLINE_MAX_SAMPLES entries; fewer than
	// three samples make no section.
	if ( samples > EF_SPLINE_MAX_SAMPLES ) {
		samples = EF_SPLINE_MAX_SAMPLES;
	}
	if ( samples < 3 ) {
		samples = 3;
	}
	if ( ( samples & 1 ) == 0 ) {
		samples++;
	}
	const s32 seg = static_cast<s32>( ClampSegment( segment ) );
	f64 params[EF_SPLINE_MAX_SAMPLES];
	DTVector3d points[EF_SPLINE_MAX_SAMPLES];
	const f64 step = ( t1 - t0 ) / static_cast<f64>( samples - 1 );
	for ( s32 i = 0; i < samples; i++ ) {
		params[i] = t0 + i * step;
		GetPoint( seg, static_cast<f32>( params[i] ), points[i] );
	}
	f64 length = 0.0;
	for ( s32 i = 0; i < samples - 1; i += 2 ) {
		length += GetSectionLength( seg, params[i], params[i + 1], params[i + 2], points[i], points[i + 1],
									points[i + 2], 1 );
	}
	return length;
}

f64 EFQuadraticSpline::GetSectionLength( const s32 segment, const f64 ta, const f64 tm, const f64 tb,
										 const DTVector3d & pa, const DTVector3d & pm, const DTVector3d & pb,
										 const s32 depth ) const {
	const f64 chord = Distance( pa, pb );
	const f64 h1 = Distance( pa, pm );
	const f64 h2 = Distance( pm, pb );
	const f64 sum = h1 + h2;
	// A non-finite section never meets the tests below and would split
	// down to the depth limit on both sides: it is taken as it is.
	const bool finite = std::isfinite( sum ) && std::isfinite( chord );
	const bool flat = chord >= SECTION_MIN_CHORD && sum / chord <= SECTION_MAX_BEND && h1 >= SECTION_MIN_HALF &&
					  h1 / h2 <= SECTION_MAX_HALF_RATIO && h2 >= SECTION_MIN_HALF && h2 / h1 <= SECTION_MAX_HALF_RATIO;
	if ( depth > SECTION_MAX_DEPTH || sum < SECTION_MIN_LENGTH || !finite || flat ) {
		return sum + ( sum - chord ) / 3.0;
	}
	const f64 t1 = ( ta + tm ) * 0.5;
	const f64 t2 = ( tm + tb ) * 0.5;
	DTVector3d p1;
	DTVector3d p2;
	GetPoint( segment, static_cast<f32>( t1 ), p1 );
	GetPoint( segment, static_cast<f32>( t2 ), p2 );
	return GetSectionLength( segment, ta, t1, tm, pa, p1, pm, depth + 1 ) +
		   GetSectionLength( segment, tm, t2, tb, pm, p2, pb, depth + 1 );
}

f32 EFQuadraticSpline::SolveNearest( const u32 segment, const DTVector3d & x, f32 * bestG,
									 f32 * distanceSquared ) const {
	const EFSplineSegment & s = mpoSegments[segment];
	const DTVector3d d = s.moCorners[0] - x;
	const f32 cd = s.moC * d;
	const f32 bd = s.moB * d;
	const f32 dd = d * d;
	const f32 quadratic = s.mfBB + 2.0f * cd;
	DTCubic cubic = { 4.0f * s.mfCC, 3.0f * s.mfBC2, 2.0f * ( 2.0f * cd + s.mfBB ), 2.0f * bd, 0.0f, 0.0f, 0.0f };
	// The solver's test for a vanishing leading coefficient is absolute:
	// scaled to the largest coefficient, a small segment keeps its cubic.
	const f32 scale = std::fmax( std::fmax( std::fabs( cubic.a ), std::fabs( cubic.b ) ),
								 std::fmax( std::fabs( cubic.c ), std::fabs( cubic.d ) ) );
	if ( scale > 0.0f && std::isfinite( scale ) ) {
		cubic.a /= scale;
		cubic.b /= scale;
		cubic.c /= scale;
		cubic.d /= scale;
	}
	const u32 count = cubic.Solve();
	// The roots first, then both ends: a solver that drops to a lower
	// degree can miss a minimum that lies at an end.
	f32 candidates[5];
	u32 nbCandidates = 0;
	const f32 roots[3] = { cubic.root0, cubic.root1, cubic.root2 };
	for ( u32 i = 0; i < count && i < 3; i++ ) {
		candidates[nbCandidates++] = roots[i];
	}
	candidates[nbCandidates++] = 0.0f;
	candidates[nbCandidates++] = 1.0f;
	f32 best = FLT_MAX;
	f32 bestT = 0.0f;
	for ( u32 i = 0; i < nbCandidates; i++ ) {
		const f32 t = ClampUnit( candidates[i] );
		const f32 g = ( ( ( s.mfCC * t + s.mfBC2 ) * t + quadratic ) * t + 2.0f * bd ) * t;
		if ( g < best ) {
			best = g;
			bestT = t;
			if ( distanceSquared != nullptr ) {
				*distanceSquared = best + dd;
			}
		}
	}
	*bestG = best;
	return bestT;
}

f32 EFQuadraticSpline::GetNearestOnSegment( const s32 segment, const DTVector3d & x, f32 * distanceSquared ) const {
	const u32 seg = ClampSegment( segment );
	f32 g = 0.0f;
	const f32 t = SolveNearest( seg, x, &g, nullptr );
	if ( distanceSquared != nullptr ) {
		const DTVector3d d = mpoSegments[seg].moCorners[0] - x;
		*distanceSquared = g + d * d;
	}
	return ( static_cast<f32>( seg ) + t ) / static_cast<f32>( mui32NbSegments );
}

bool EFQuadraticSpline::IsCulled( const u32 segment, const DTVector3d & x, const f32 limit ) const {
	const EFSplineSegment & s = mpoSegments[segment];
	const f32 height = s.moPlanes[EF_SPLINE_TRIANGLE_PLANE].SignedDistance( x );
	const f32 room = limit - height * height;
	if ( room < 0.0f ) {
		return true;
	}
	f32 largest = -FLT_MAX;
	u32 side = EF_SPLINE_FIRST_SIDE;
	for ( u32 k = EF_SPLINE_FIRST_SIDE; k < EF_SPLINE_PLANES; k++ ) {
		const f32 e = s.moPlanes[k].SignedDistance( x );
		if ( e > 0.0f && e * e > room ) {
			return true;
		}
		if ( e > largest ) {
			largest = e;
			side = k;
		}
	}
	if ( !( largest > 0.0f ) ) {
		return false;
	}
	// Beyond a side's end the nearest point of the triangle is that corner.
	const DTVector3d & first = s.moCorners[SIDE_CORNERS[side][0]];
	const DTVector3d & second = s.moCorners[SIDE_CORNERS[side][1]];
	const DTVector3d along = second - first;
	const f32 lengthSquared = along * along;
	if ( !( lengthSquared > 0.0f ) ) {
		return false;
	}
	const f32 p = ( ( x - first ) * along ) / lengthSquared;
	if ( p > 1.0f ) {
		const DTVector3d away = x - second;
		return away * away > limit;
	}
	if ( p < 0.0f ) {
		const DTVector3d away = x - first;
		return away * away > limit;
	}
	return false;
}

f32 EFQuadraticSpline::GetNearest( const DTVector3d & x ) const {
	u32 guess = 0;
	f32 guessDistance = FLT_MAX;
	for ( u32 i = 0; i < mui32NbSegments; i++ ) {
		const DTVector3d away = mpoSegments[i].moCorners[2] - x;
		const f32 distance = away * away;
		if ( distance < guessDistance ) {
			guessDistance = distance;
			guess = i;
		}
	}
	f32 best = FLT_MAX;
	f32 position = GetNearestOnSegment( static_cast<s32>( guess ), x, &best );
	for ( u32 i = 0; i < mui32NbSegments; i++ ) {
		if ( i == guess || IsCulled( i, x, best ) ) {
			continue;
		}
		f32 distance = FLT_MAX;
		const f32 candidate = GetNearestOnSegment( static_cast<s32>( i ), x, &distance );
		if ( distance < best ) {
			best = distance;
			position = candidate;
		}
	}
	return position;
}

f32 EFQuadraticSpline::GetNearest( const s32 segment, const DTVector3d & x, f32 * distanceSquared ) const {
	u32 seg = ClampSegment( segment );
	f32 previous = 0.5f;
	f32 t = 0.0f;
	// Each step moves one segment the same way, or stops: at most n steps.
	for ( ;; ) {
		f32 g = 0.0f;
		t = SolveNearest( seg, x, &g, distanceSquared );
		if ( t > 0.0f && t < 1.0f ) {
			break;
		}
		if ( ( t <= 0.0f && previous >= 1.0f ) || ( t >= 1.0f && previous <= 0.0f ) ) {
			break;
		}
		if ( t >= 1.0f ) {
			if ( seg + 1 >= mui32NbSegments ) {
				break;
			}
			seg++;
		} else {
			if ( seg == 0 ) {
				break;
			}
			seg--;
		}
		previous = t;
	}
	return ( static_cast<f32>( seg ) + t ) / static_cast<f32>( mui32NbSegments );
}

u32 EFQuadraticSpline::CheckSphereIntersection( const DTSphere & sphere, f32 & position ) const {
	const DTVector3d & centre = sphere.moPos;
	const f32 radius = sphere.mfRadius;
	if ( std::fabs( centre.x - moBoxCentre.x ) - moBoxHalfExtents.x > radius ||
		 std::fabs( centre.y - moBoxCentre.y ) - moBoxHalfExtents.y > radius ||
		 std::fabs( centre.z - moBoxCentre.z ) - moBoxHalfExtents.z > radius ) {
		return 0;
	}
	f32 best = radius * radius;
	u32 hit = 0;
	for ( u32 i = 0; i < mui32NbSegments; i++ ) {
		if ( IsCulled( i, centre, best ) ) {
			continue;
		}
		f32 distance = FLT_MAX;
		const f32 candidate = GetNearestOnSegment( static_cast<s32>( i ), centre, &distance );
		if ( distance < best ) {
			best = distance;
			position = candidate;
			hit = 1;
		}
	}
	return hit;
}
