/*
	Seeded property test of the capsule and box primitives against every
	shape and against random map polygons (3 to 32 vertices, tested as a
	polygon primitive's, so two-sided and unfiltered), compared with the
	distance between the two parties computed in double precision and
	sampled along the motion: exact for capsules, spheres and points, the
	largest separation over every separating axis for boxes (zero exactly
	when they touch, negative when they overlap).

	A hit lies at contact (within 1e-3) with no penetration before it; an
	overlap is real; a miss never hides a penetration. What the tests'
	own rules produce otherwise is allowed only under the rule's name and
	counted; cases within 1e-3 of touching are excluded and counted. The
	peer program checks these distances against an independent collision
	library's GJK.
*/
#include "framework/graphics/EFPlane.h"
#include "framework/physics/EFPrimSpace.h"
#include "framework/physics/PrimitiveDistanceOracle.h"
#include "framework/physics/PrimitiveTestShapes.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <string>

namespace {

using namespace primitive_test;
using namespace primitive_oracle;
// The outcome classes of one pair of shapes.
struct Tally {
	u32 compared = 0;
	u32 nearContact = 0;
	u32 hits = 0;
	u32 pushes = 0;
	std::map<std::string, u32> allowed;
	std::map<std::string, u32> failed;
};

// The stated rule behind an outcome the distance does not show, or null.
typedef std::function<const char*( const std::string& what, const EFCheckCollisionOut& out )> Rule;

constexpr double NEAR = 1e-3;
constexpr f32 AXIS_PARALLEL = 0.999f;

bool Is( const std::string& what, const char* name ) {
	return what == name;
}

// Whether the normal lies along one of the box's axes (a face's normal).
bool AlongAxis( const DTVector3d& normal, const EFObjCollisionBBox& box ) {
	for ( u32 a = 0; a < 3; a++ ) {
		if ( std::fabs( normal * EFMatrixRow( box.mpoBoxToWorld, a ) ) > AXIS_PARALLEL ) {
			return true;
		}
	}
	return false;
}

// The capsule against one polygon: the plane, its nearest end and the
// path the test takes, worked out as the test does.
const char* CapsulePolygonRule( const std::string& what, const EFObjCollisionSweptSphere& capsule,
								const EFEnvCollisionPrim& polygon, const EFCheckCollisionIn& in,
								const EFCheckCollisionOut& out ) {
	const DTVector3d& n = polygon.moPlane.moNormal;
	const DTVector3d& p = capsule.moPrimPos;
	const DTVector3d& s = capsule.moWorldVector;
	const f32 h = n * p + polygon.moPlane.mfD;
	const DTVector3d e = std::signbit( n * s ) == std::signbit( h ) ? -s : s;
	const f32 gap = std::fabs( h ) - std::fabs( n * e ) - capsule.mfRadius;
	const f32 hEnd = h + n * in.moVelocity * in.mfMaxTime;
	const f32 reach = capsule.mfMaxRadius;
	if ( Is( what, "hit after the contact" ) || Is( what, "hit before the contact" ) ) {
		return std::fabs( out.moColNormal * n ) < AXIS_PARALLEL ? "edge sweep: the last reachable edge decides" : nullptr;
	}
	if ( Is( what, "overlap reported while apart" ) ) {
		return gap < 0.0f && std::fabs( out.mfPushSize + gap ) < 1e-5f
				   ? "overlap step: the nearest end over the face confirms the overlap"
				   : nullptr;
	}
	if ( Is( what, "hit reported while overlapping" ) ) {
		return gap < 0.0f ? "overlap step: crossed edges rule the overlap out, an edge then hits" : nullptr;
	}
	if ( h < -reach && hEnd > reach ) {
		return "start behind, end beyond the front";
	}
	if ( gap < 0.0f ) {
		return "overlap step: crossed edges rule the overlap out, only its edges are swept";
	}
	const f32 vn = n * in.moVelocity;
	const f32 t = gap / std::fabs( vn );
	if ( std::signbit( vn ) == std::signbit( h ) || t > in.mfMaxTime ) {
		return nullptr;
	}
	const DTVector3d k = p + e + in.moVelocity * t;
	const EFEnvCollisionPrim::Plane* const edges = polygon.GetEdges();
	for ( u32 i = 0; i < ( polygon.mui16NbVertex & 0x7FFFu ); i++ ) {
		if ( k * edges[i].moNormal + edges[i].mfD >= 0.0f ) {
			return "edge sweep: an edge out of approach ends it, or the last edge decides";
		}
	}
	return nullptr;
}

// The capsule moving with velocity against the box, in the box's space:
// the face slabs, the entry into the last of them and whether the nearer
// end then lies on that face.
const char* CapsuleBoxRule( const std::string& what, const EFObjCollisionSweptSphere& capsule,
							const EFObjCollisionBBox& box, const EFCheckCollisionIn& in ) {
	const DTVector3d p = EFTransformPoint( capsule.moPrimPos, box.mpoWorldToBox );
	const DTVector3d s = EFTransformVector( capsule.moWorldVector, box.mpoWorldToBox );
	const DTVector3d v = EFTransformVector( in.moVelocity, box.mpoWorldToBox );
	const DTVector3d& half = box.moHalfExtents;
	const f32 r = capsule.mfRadius;
	bool within = true;
	f32 entry = -10000.0f;
	u32 entryAxis = 0;
	for ( u32 a = 0; a < 3; a++ ) {
		const f32 gap = std::fabs( EFAxis( p, a ) ) - EFAxis( half, a ) - std::fabs( EFAxis( s, a ) );
		if ( gap >= r ) {
			within = false;
			const f32 t = std::fabs( ( gap - r ) / EFAxis( v, a ) );
			if ( t > entry ) {
				entry = t;
				entryAxis = a;
			}
		}
	}
	if ( Is( what, "overlap reported while apart" ) ) {
		return within ? "every face slab within reach confirms the overlap" : nullptr;
	}
	if ( within ) {
		return nullptr;
	}
	const f32 pe = EFAxis( p, entryAxis );
	const DTVector3d end = ( std::signbit( EFAxis( s, entryAxis ) ) == std::signbit( pe ) ? p - s : p + s ) + v * entry;
	for ( u32 a = 0; a < 3; a++ ) {
		if ( a != entryAxis && std::fabs( EFAxis( end, a ) ) > EFAxis( half, a ) ) {
			return "off the entry face: an edge out of approach ends the sweep, or the last edge decides";
		}
	}
	return nullptr;
}
constexpr u32 SAMPLES = 64;

class EFCapsuleBoxPropertyTest : public PrimitiveTestCase {
protected:
	void SetUp() override {
		PrimitiveTestCase::SetUp();
		scene = ToolRandomCollisionScene( 112, 300, 20.0f );
		records = Records( scene );
		oracle = OracleOf( scene );
	}

	// One case: distance(t) of the mover carried by velocity x t; the
	// engine's result; the rule (or null) that explains a miss, a late
	// hit or an overlap the distance does not show.
	void Check( Tally& tally, const std::function<double( double )>& distance, const u32 result,
				const EFCheckCollisionOut& out, const f32 maxTime,
				const Rule& rule ) {
		const double d0 = distance( 0.0 );
		double first = -1.0;
		double least = d0;
		for ( u32 k = 1; k <= SAMPLES; k++ ) {
			const double t = maxTime * k / SAMPLES;
			const double d = distance( t );
			least = std::min( least, d );
			if ( d <= 0.0 && first < 0.0 ) {
				double lo = maxTime * ( k - 1 ) / SAMPLES;
				double hi = t;
				for ( int b = 0; b < 30; b++ ) {
					const double mid = 0.5 * ( lo + hi );
					( distance( mid ) <= 0.0 ? hi : lo ) = mid;
				}
				first = hi;
				least = std::min( least, distance( std::min( maxTime * 1.0, hi + 1e-3 ) ) );
			}
		}
		const bool grazed = result == CS_COL_HIT && first < 0.0 && std::fabs( distance( out.mfTime ) ) < NEAR;
		if ( std::fabs( d0 ) < NEAR || ( least > -NEAR && least < NEAR ) || grazed ) {
			tally.nearContact++;
			return;
		}
		tally.compared++;
		const auto allow = [&]( const char* what ) {
			const char* name = rule( what, out );
			( name != nullptr ? tally.allowed[name] : tally.failed[what] )++;
		};
		if ( result == CS_COL_PUSH ) {
			tally.pushes++;
			if ( d0 > NEAR ) {
				allow( "overlap reported while apart" );
			}
			return;
		}
		if ( result == CS_COL_HIT ) {
			tally.hits++;
			if ( d0 < 0.0 ) {
				allow( "hit reported while overlapping" );
				return;
			}
			if ( first < 0.0 || out.mfTime < first - 1e-4 ) {
				allow( "hit before the contact" );
			} else if ( std::fabs( distance( out.mfTime ) ) > NEAR ) {
				allow( "hit after the contact" );
			}
			return;
		}
		if ( d0 < 0.0 ) {
			allow( "missed overlap" );
		} else if ( first >= 0.0 ) {
			allow( "missed contact" );
		}
	}

	static void Report( const char* name, const Tally& tally ) {
		std::printf( "  %s: compared %u (%u hits, %u pushes), near contact %u\n", name, tally.compared, tally.hits,
					 tally.pushes, tally.nearContact );
		for ( const auto& [what, count] : tally.allowed ) {
			std::printf( "    allowed, %s: %u\n", what.c_str(), count );
		}
		for ( const auto& [what, count] : tally.failed ) {
			std::printf( "    UNEXPLAINED %s: %u\n", what.c_str(), count );
		}
	}

	ToolColMap							scene;
	std::vector<EFEnvCollisionPrim*>	records;
	std::vector<OraclePolygon>			oracle;
};

TEST_F( EFCapsuleBoxPropertyTest, CapsulesAndBoxesAgreeWithTheSampledDistance ) {
	std::mt19937 rng( 5400 );
	std::uniform_real_distribution<f32> unit( -1.0f, 1.0f );
	const auto vector = [&]( const f32 scale ) { return DTVector3d( unit( rng ), unit( rng ), unit( rng ) ) * scale; };
	const auto positive = [&]( const f32 low, const f32 span ) { return low + span * 0.5f * ( unit( rng ) + 1.0f ); };
	constexpr u32 CASES = 3000;
	std::map<std::string, Tally> tallies;
	for ( u32 i = 0; i < CASES; i++ ) {
		SCOPED_TRACE( i );
		const u32 index = rng() % static_cast<u32>( records.size() );
		const OraclePolygon& polygon = oracle[index];
		const DTVector3d around( static_cast<f32>( polygon.centre[0] ), static_cast<f32>( polygon.centre[1] ),
								 static_cast<f32>( polygon.centre[2] ) );
		const f32 maxTime = positive( 0.25f, 1.2f );
		const DTVector3d velocity = vector( 6.0f );
		const D3 v = Of( velocity );
		const EFCheckCollisionIn in = { maxTime, velocity };

		// The movers and the still parties of this case.
		EFObjCollisionSweptSphere* const capsule =
			Capsule( around + vector( 4.0f ), vector( 1.2f ), positive( 0.2f, 0.6f ) );
		const D3 axis = Of( capsule->moWorldVector );
		const double r = capsule->mfRadius;
		const auto capsuleAt = [&]( const double t, D3& a, D3& b ) {
			const D3 c = Add( Of( capsule->moPrimPos ), Scale( v, t ) );
			a = Sub( c, axis );
			b = Add( c, axis );
		};
		const DTVector3d turn = EFObjCollisionPrim::NormalizeOrUp( vector( 1.0f ) );
		EFObjCollisionBBox* const box =
			Box( around + vector( 4.0f ), DTVector3d( positive( 0.2f, 1.0f ), positive( 0.2f, 1.0f ), positive( 0.2f, 1.0f ) ),
				 180.0f * unit( rng ), turn );
		const OracleBox boxOracle = BoxOf( *box );
		EFObjCollisionSphere* const sphere = Sphere( around + vector( 2.0f ), positive( 0.3f, 1.0f ) );
		EFObjCollisionSweptSphere* const stillCapsule = Capsule( around + vector( 2.0f ), vector( 1.2f ), positive( 0.2f, 0.6f ) );
		const D3 stillA = Sub( Of( stillCapsule->moPrimPos ), Of( stillCapsule->moWorldVector ) );
		const D3 stillB = Add( Of( stillCapsule->moPrimPos ), Of( stillCapsule->moWorldVector ) );
		EFObjCollisionBBox* const stillBox =
			Box( around + vector( 2.0f ), DTVector3d( positive( 0.2f, 1.0f ), positive( 0.2f, 1.0f ), positive( 0.2f, 1.0f ) ),
				 180.0f * unit( rng ), EFObjCollisionPrim::NormalizeOrUp( vector( 1.0f ) ) );
		const OracleBox stillBoxOracle = BoxOf( *stillBox );
		const SatMotion boxPolygon = BoxPolygonMotion( boxOracle, polygon, v );
		const SatMotion boxBox = BoxBoxMotion( boxOracle, stillBoxOracle, v );

		// pushed, where given, is the distance once the mover is moved by
		// a displacement: a push must take it out of the overlap.
		const auto run = [&]( const char* name, const std::function<u32( EFCheckCollisionOut& )>& test,
							  const std::function<double( double )>& distance, const Rule& rule,
							  const std::function<double( const D3& )>& pushed = nullptr ) {
			EFCheckCollisionOut out = {};
			const u32 result = test( out );
			Check( tallies[name], distance, result & ( CS_COL_HIT | CS_COL_PUSH ), out, maxTime, rule );
			if ( result == CS_COL_PUSH && pushed != nullptr && distance( 0.0 ) < -NEAR ) {
				EXPECT_GE( pushed( Scale( Of( out.moColNormal ), out.mfPushSize ) ), -NEAR ) << name;
			}
		};
		const EFCheckCollisionIn reversed = { maxTime, -velocity };
		run(
			"capsule against polygon",
			[&]( EFCheckCollisionOut& out ) {
				return capsule->CheckSinglePolygonCollision( in, out, records[index], capsule->moPrimPos,
															 capsule->moWorldVector, 0 );
			},
			[&]( const double t ) {
				D3 a, b;
				capsuleAt( t, a, b );
				return SegmentPolygon( polygon, a, b ) - r;
			},
			[&]( const std::string& what, const EFCheckCollisionOut& out ) {
				return CapsulePolygonRule( what, *capsule, *records[index], in, out );
			} );
		const f32 boxH = polygon.n[0] * box->moPrimPos.x + polygon.n[1] * box->moPrimPos.y +
						 polygon.n[2] * box->moPrimPos.z + static_cast<f32>( polygon.d );
		const f32 boxHEnd = boxH + static_cast<f32>( Dot( polygon.n, v ) ) * maxTime;
		run(
			"box against polygon",
			[&]( EFCheckCollisionOut& out ) {
				const EFPlane plane( records[index]->moPlane.moNormal, records[index]->moPlane.mfD );
				return box->CheckSinglePolygonCollision( in, out, records[index], &plane, records[index]->GetVertex(), 0 );
			},
			[&]( const double t ) { return boxPolygon.At( t ); },
			[&]( const std::string& what, const EFCheckCollisionOut& ) -> const char* {
				if ( Is( what, "hit before the contact" ) ) {
					return "the polygon's bounds and skipped edge axes let the box in early";
				}
				if ( Is( what, "missed contact" ) && boxH < -box->mfMaxRadius && boxHEnd > box->mfMaxRadius ) {
					return "start behind, end beyond the front";
				}
				return nullptr;
			} );
		run(
			"capsule against sphere", [&]( EFCheckCollisionOut& out ) { return capsule->CheckObjPrimCollision( in, out, sphere ); },
			[&]( const double t ) {
				D3 a, b;
				capsuleAt( t, a, b );
				return SegmentSegment( a, b, Of( sphere->moPrimPos ), Of( sphere->moPrimPos ) ) - r - sphere->mfMaxRadius;
			},
			[]( const std::string&, const EFCheckCollisionOut& ) -> const char* { return nullptr; } );
		run(
			"capsule against capsule",
			[&]( EFCheckCollisionOut& out ) { return capsule->CheckObjPrimCollision( in, out, stillCapsule ); },
			[&]( const double t ) {
				D3 a, b;
				capsuleAt( t, a, b );
				return SegmentSegment( a, b, stillA, stillB ) - r - stillCapsule->mfRadius;
			},
			[]( const std::string& what, const EFCheckCollisionOut& ) -> const char* {
				return Is( what, "hit after the contact" ) ? "segment sweep: the ends nearest at the lines' contact decide"
														   : nullptr;
			},
			[&]( const D3& by ) {
				D3 a, b;
				capsuleAt( 0.0, a, b );
				return SegmentSegment( Add( a, by ), Add( b, by ), stillA, stillB ) - r - stillCapsule->mfRadius;
			} );
		run(
			"capsule against box", [&]( EFCheckCollisionOut& out ) { return capsule->CheckObjPrimCollision( in, out, stillBox ); },
			[&]( const double t ) {
				D3 a, b;
				capsuleAt( t, a, b );
				return SegmentBox( stillBoxOracle, a, b ) - r;
			},
			[&]( const std::string& what, const EFCheckCollisionOut& ) {
				return CapsuleBoxRule( what, *capsule, *stillBox, in );
			} );
		run(
			"box against sphere", [&]( EFCheckCollisionOut& out ) { return box->CheckObjPrimCollision( in, out, sphere ); },
			[&]( const double t ) {
				return boxOracle.Moved( Scale( v, t ) ).PointDistance( Of( sphere->moPrimPos ) ) - sphere->mfMaxRadius;
			},
			[&]( const std::string& what, const EFCheckCollisionOut& out ) -> const char* {
				// The sphere's own box test, mirrored, with its edge rules.
				if ( Is( what, "missed contact" ) || !AlongAxis( out.moColNormal, *box ) ) {
					return "the sphere's edge sweep: an edge out of reach ends it, the latest edge wins";
				}
				return nullptr;
			} );
		run(
			"box against capsule", [&]( EFCheckCollisionOut& out ) { return box->CheckObjPrimCollision( in, out, stillCapsule ); },
			[&]( const double t ) {
				return SegmentBox( boxOracle.Moved( Scale( v, t ) ), stillA, stillB ) - stillCapsule->mfRadius;
			},
			[&]( const std::string& what, const EFCheckCollisionOut& ) {
				return CapsuleBoxRule( what, *stillCapsule, *box, reversed );
			} );
		run(
			"box against box", [&]( EFCheckCollisionOut& out ) { return box->CheckObjPrimCollision( in, out, stillBox ); },
			[&]( const double t ) { return boxBox.At( t ); },
			[&]( const std::string& what, const EFCheckCollisionOut& ) -> const char* {
				for ( u32 i = 0; i < 3; i++ ) {
					for ( u32 j = 0; j < 3; j++ ) {
						const DTVector3d l = EFCross( EFMatrixRow( box->mpoBoxToWorld, i ),
													  EFMatrixRow( stillBox->mpoBoxToWorld, j ) );
						if ( Is( what, "hit before the contact" ) && l * l <= 0.001f && l * l > 0.0f ) {
							return "nearly parallel edges: their cross axis is skipped";
						}
					}
				}
				return nullptr;
			},
			[&]( const D3& by ) { return BoxBox( boxOracle.Moved( by ), stillBoxOracle ); } );
		// The still box was brought up to date by the box test; start again
		// from fresh shapes next case.
		mShapes.clear();
	}
	for ( const auto& [name, tally] : tallies ) {
		SCOPED_TRACE( name );
		Report( name.c_str(), tally );
		EXPECT_TRUE( tally.failed.empty() );
		EXPECT_LT( tally.nearContact, CASES / 100 );
		EXPECT_GE( tally.compared, CASES * 95 / 100 );
		EXPECT_GT( tally.hits, CASES / 40 );
		EXPECT_GT( tally.pushes, CASES / 40 );
	}
}

}	// namespace
