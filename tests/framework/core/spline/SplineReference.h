/*
===============================================================================

	Spline test data and an independent reference: seeded random splines
	with straight, nearly straight, sharply curved and tiny segments, the
	manager loaded from the writer's payload, and double-precision answers
	computed from the control points alone (Bernstein form, dense
	quadrature, dense sampling refined locally).

===============================================================================
*/
#ifndef SPLINE_REFERENCE_H
#define SPLINE_REFERENCE_H

#include "datatypes/persist/DTMemoryPersistStream.h"
#include "datatypes/maths/DTVector3d.h"
#include "framework/core/spline/EFQuadraticSpline.h"
#include "framework/core/spline/EFSplineMgr.h"
#include "tools/lib/level/ToolSplineWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

typedef ToolSplinePoint RefVec;

inline RefVec RefPoint( const ToolSplineInput& spline, const u32 segment, const f64 t ) {
	const RefVec& q0 = spline.points[2 * segment];
	const RefVec& q1 = spline.points[2 * segment + 1];
	const RefVec& q2 = 2 * segment + 2 < spline.points.size() ? spline.points[2 * segment + 2] : spline.points[0];
	const f64 u = 1.0 - t;
	RefVec p;
	for ( u32 k = 0; k < 3; k++ ) {
		p[k] = u * u * q0[k] + 2.0 * t * u * q1[k] + t * t * q2[k];
	}
	return p;
}

inline RefVec RefTangent( const ToolSplineInput& spline, const u32 segment, const f64 t ) {
	const RefVec& q0 = spline.points[2 * segment];
	const RefVec& q1 = spline.points[2 * segment + 1];
	const RefVec& q2 = 2 * segment + 2 < spline.points.size() ? spline.points[2 * segment + 2] : spline.points[0];
	RefVec d;
	for ( u32 k = 0; k < 3; k++ ) {
		d[k] = 2.0 * ( 1.0 - t ) * ( q1[k] - q0[k] ) + 2.0 * t * ( q2[k] - q1[k] );
	}
	return d;
}

inline f64 RefNorm( const RefVec& v ) {
	return std::sqrt( v[0] * v[0] + v[1] * v[1] + v[2] * v[2] );
}

inline f64 RefDistance( const RefVec& a, const DTVector3d& b ) {
	return RefNorm( { a[0] - b.x, a[1] - b.y, a[2] - b.z } );
}

// Arc length from 0 to t by composite Simpson over 4000 panels.
inline f64 RefLength( const ToolSplineInput& spline, const u32 segment, const f64 t ) {
	constexpr u32 PANELS = 4000;
	const f64 h = t / PANELS;
	f64 sum = 0.0;
	for ( u32 i = 0; i < PANELS; i++ ) {
		const f64 a = i * h;
		sum += h / 6.0 * ( RefNorm( RefTangent( spline, segment, a ) ) + 4.0 * RefNorm( RefTangent( spline, segment, a + h / 2 ) ) +
						   RefNorm( RefTangent( spline, segment, a + h ) ) );
	}
	return sum;
}

// Distance from x to one segment: dense samples, then a local ternary
// refinement around the best.
inline f64 RefSegmentDistance( const ToolSplineInput& spline, const u32 segment, const RefVec& x ) {
	auto at = [&]( const f64 t ) {
		const RefVec p = RefPoint( spline, segment, t );
		return RefNorm( { p[0] - x[0], p[1] - x[1], p[2] - x[2] } );
	};
	constexpr u32 SAMPLES = 400;
	u32 best = 0;
	for ( u32 i = 1; i <= SAMPLES; i++ ) {
		if ( at( f64( i ) / SAMPLES ) < at( f64( best ) / SAMPLES ) ) {
			best = i;
		}
	}
	f64 lo = std::fmax( 0.0, ( best - 1.0 ) / SAMPLES );
	f64 hi = std::fmin( 1.0, ( best + 1.0 ) / SAMPLES );
	for ( u32 i = 0; i < 100; i++ ) {
		const f64 m1 = lo + ( hi - lo ) / 3.0;
		const f64 m2 = hi - ( hi - lo ) / 3.0;
		if ( at( m1 ) < at( m2 ) ) {
			hi = m2;
		} else {
			lo = m1;
		}
	}
	return at( 0.5 * ( lo + hi ) );
}

inline f64 RefSplineDistance( const ToolSplineInput& spline, const RefVec& x ) {
	f64 best = 1e300;
	for ( u32 s = 0; s < ToolSplineWriter::SegmentCount( spline ); s++ ) {
		best = std::fmin( best, RefSegmentDistance( spline, s, x ) );
	}
	return best;
}

enum RefSegmentKind { REF_STRAIGHT, REF_NEARLY_STRAIGHT, REF_SHARP, REF_TINY, REF_KIND_COUNT };

inline const char* RefKindName( const RefSegmentKind kind ) {
	static const char* const names[REF_KIND_COUNT] = { "straight", "nearly straight", "sharply curved", "tiny" };
	return names[kind];
}

// A random spline of segments of the given kinds, open or loop.
inline ToolSplineInput RefRandomSpline( std::mt19937& random, const std::vector<RefSegmentKind>& kinds, const bool loop,
										const u16 id ) {
	std::uniform_real_distribution<f64> unit( -1.0, 1.0 );
	auto randomVec = [&]( const f64 scale ) { return RefVec{ unit( random ) * scale, unit( random ) * scale, unit( random ) * scale }; };
	ToolSplineInput spline;
	spline.id = id;
	spline.flags = loop ? TOOL_SPLINE_FLAG_LOOP : 0;
	RefVec start = randomVec( 10.0 );
	spline.points.push_back( start );
	for ( size_t i = 0; i < kinds.size(); i++ ) {
		const bool closing = loop && i + 1 == kinds.size();
		const f64 size = kinds[i] == REF_TINY ? 0.01 : 4.0;
		RefVec end = closing ? spline.points[0] : RefVec{};
		if ( !closing ) {
			const RefVec step = randomVec( size );
			for ( u32 k = 0; k < 3; k++ ) {
				end[k] = start[k] + step[k] + ( step[k] >= 0 ? 0.2 * size : -0.2 * size );
			}
		}
		RefVec middle;
		for ( u32 k = 0; k < 3; k++ ) {
			middle[k] = 0.5 * ( start[k] + end[k] );
		}
		if ( kinds[i] == REF_NEARLY_STRAIGHT ) {
			const RefVec wobble = randomVec( 1e-3 * size );
			for ( u32 k = 0; k < 3; k++ ) {
				middle[k] += wobble[k];
			}
		} else if ( kinds[i] == REF_SHARP || kinds[i] == REF_TINY ) {
			const RefVec pull = randomVec( 2.0 * size );
			for ( u32 k = 0; k < 3; k++ ) {
				middle[k] += pull[k];
			}
		}
		spline.points.push_back( middle );
		if ( !closing ) {
			spline.points.push_back( end );
		}
		start = end;
	}
	return spline;
}

// Loads splines into a manager through the writer's payload; false when
// the writer refused them.
inline bool RefLoad( EFSplineMgr& manager, const std::vector<ToolSplineInput>& splines ) {
	std::vector<u8> payload;
	std::string error;
	if ( !ToolSplineWriter::WritePayload( splines, payload, error ) ) {
		ADD_FAILURE() << error;
		return false;
	}
	DTMemoryPersistStream stream( reinterpret_cast<char*>( payload.data() ), static_cast<s32>( payload.size() ) );
	EXPECT_EQ( manager.LoadData( 1, 0, stream ), 0 );
	return manager.GetNbSplines() == splines.size();
}

// A straight open spline of n unit segments along x.
inline ToolSplineInput RefStraightSpline( const u32 segments, const bool loop ) {
	ToolSplineInput spline;
	spline.flags = loop ? TOOL_SPLINE_FLAG_LOOP : 0;
	if ( loop ) {
		// A square of side 1 with its control points at the middles.
		const RefVec corners[4] = { { 0, 0, 0 }, { 1, 0, 0 }, { 1, 1, 0 }, { 0, 1, 0 } };
		for ( u32 i = 0; i < segments; i++ ) {
			const RefVec& a = corners[i % 4];
			const RefVec& b = corners[( i + 1 ) % 4];
			spline.points.push_back( a );
			spline.points.push_back( { 0.5 * ( a[0] + b[0] ), 0.5 * ( a[1] + b[1] ), 0.0 } );
		}
		return spline;
	}
	for ( u32 i = 0; i <= 2 * segments; i++ ) {
		spline.points.push_back( { 0.5 * i, 0.0, 0.0 } );
	}
	return spline;
}

#endif
