/*
	The polygon primitive: its matrices on a turned frame, its ray test
	against a double-precision oracle with the same rules, the ray's edge
	cases and its place among a query's other hits.
*/
#include "framework/physics/PhysicsTestBench.h"
#include "framework/physics/PrimitiveTestShapes.h"

#include "framework/graphics/EFPlane.h"
#include "framework/physics/EFPrimSpace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

namespace {

using namespace primitive_test;

class EFObjCollisionPolygonTest : public PrimitiveTestCase {
protected:
	// A polygon primitive holding scene's polygons on a frame at at,
	// turned by degrees about axis, offset by trans in the frame's space.
	EFObjCollisionPolygon* OnFrame( const ToolColMap& scene, const DTVector3d& at, const f32 degrees,
									const DTVector3d& axis, const DTVector3d& trans ) {
		DTFrame* const frame = new DTFrame;
		mFrames.push_back( frame );
		const RwV3d turn = { axis.x, axis.y, axis.z };
		const RwV3d to = { at.x, at.y, at.z };
		RwFrameRotate( frame->GetRwFrame(), &turn, degrees, rwCOMBINEREPLACE );
		RwFrameTranslate( frame->GetRwFrame(), &to, rwCOMBINEPOSTCONCAT );
		const std::vector<EFEnvCollisionPrim*> records = Records( scene );
		EFObjCollisionPolygon* const polygons = Keep( new EFObjCollisionPolygon( frame ) );
		polygons->SetPolygons( static_cast<u32>( records.size() ), records.empty() ? nullptr : records[0] );
		polygons->moTrans = trans;
		polygons->PrecalcPrimData();
		return polygons;
	}
};

TEST_F( EFObjCollisionPolygonTest, TheMatricesFollowTheFrameTheOffsetAndTranslations ) {
	EFObjCollisionPolygon* const p =
		OnFrame( Squares( { 0.0f } ), DTVector3d( 1, 2, 3 ), 90.0f, DTVector3d( 0, 1, 0 ), DTVector3d( 1, 0, 0 ) );
	// A quarter turn about y takes x to -z.
	ExpectNear( p->moPrimPos, DTVector3d( 1, 2, 2 ), 1e-5f );
	ExpectNear( EFTransformPoint( DTVector3d( 0, 0, 0 ), p->mpoWorldMatrix ), p->moPrimPos, 1e-5f );
	ExpectNear( EFTransformVector( DTVector3d( 1, 0, 0 ), p->mpoWorldMatrix ), DTVector3d( 0, 0, -1 ), 1e-5f );
	const DTVector3d local( 0.5f, -1.0f, 2.0f );
	ExpectNear( EFTransformPoint( EFTransformPoint( local, p->mpoWorldMatrix ), p->mpoInverseMatrix ), local, 1e-5f );
	p->Translate( DTVector3d( 0, 4, -1 ) );
	ExpectNear( p->moPrimPos, DTVector3d( 1, 6, 1 ), 1e-5f );
	ExpectNear( EFTransformPoint( DTVector3d( 0, 0, 0 ), p->mpoWorldMatrix ), p->moPrimPos, 1e-5f );
	ExpectNear( EFTransformPoint( p->moPrimPos, p->mpoInverseMatrix ), DTVector3d( 0, 0, 0 ), 1e-5f );
	ExpectNear( EFTransformPoint( EFTransformPoint( local, p->mpoWorldMatrix ), p->mpoInverseMatrix ), local, 1e-5f );
	EXPECT_EQ( p->GetMinRadius(), 1.0f );
	EXPECT_FALSE( p->CheckPointIntersection( p->moPrimPos ) );
	EFCheckCollisionIn in = { 1.0f, DTVector3d( 0, -1, 0 ) };
	EFCheckCollisionOut out = {};
	EXPECT_EQ( p->CheckEnvCollision( in, out, Records( Squares( { 0.0f } ) )[0] ), 0u );
}

TEST_F( EFObjCollisionPolygonTest, RaysHitBothSidesNeverAtTheStartAndKeepTheFirstOfATie ) {
	// Squares at y = 10 and 12 (the primitive sits at y = 10).
	EFObjCollisionPolygon* const squares =
		OnFrame( Squares( { 0.0f, 2.0f } ), DTVector3d( 0, 10, 0 ), 0.0f, UP, ZERO );
	const RayRow rows[] = {
		{ "down onto the upper front", { 0, 15, 0 }, { 0, -10, 0 }, 1.0f, 1, 0.3f, UP },
		{ "up onto the lower back", { 0, 5, 0 }, { 0, 10, 0 }, 1.0f, 1, 0.5f, UP },
		{ "the caller's nearer hit stands", { 0, 15, 0 }, { 0, -10, 0 }, 0.2f, 0, 0.2f, ZERO },
		{ "an equal time is taken", { 0, 15, 0 }, { 0, -10, 0 }, 0.3f, 1, 0.3f, UP },
		{ "along the plane", { -5, 12, 0 }, { 10, 0, 0 }, 1.0f, 0, 1.0f, ZERO },
		{ "from the plane, the other out of reach", { 0, 12, 0 }, { 0, -1, 0 }, 1.0f, 0, 1.0f, ZERO },
		{ "beside the edges", { 2.5f, 15, 0 }, { 0, -10, 0 }, 1.0f, 0, 1.0f, ZERO },
		{ "short of the plane", { 0, 15, 0 }, { 0, -2, 0 }, 1.0f, 0, 1.0f, ZERO },
	};
	ExpectRays( *squares, rows );

	// The same square twice, facing up then down: the first is kept.
	ToolColMap tie;
	tie.attribs.resize( 1 );
	tie.polygons = { Quad( { -2, 0, -2 }, { -2, 0, 2 }, { 2, 0, 2 }, { 2, 0, -2 } ),
					 Quad( { 2, 0, -2 }, { 2, 0, 2 }, { -2, 0, 2 }, { -2, 0, -2 } ) };
	EFObjCollisionPolygon* const twice = OnFrame( tie, ZERO, 0.0f, UP, ZERO );
	const RayRow tied[] = { { "tie", { 0, 1, 0 }, { 0, -2, 0 }, 1.0f, 1, 0.5f, UP } };
	ExpectRays( *twice, tied );
}

// The ray rules in double precision over world-space copies of the
// polygons: both sides, no filter, a den of zero skipped, 0 < t <= 1,
// the first of equal times. near marks answers within reach of a rule's
// boundary.
double OracleRayHit( const std::vector<OraclePolygon>& polygons, const std::array<double, 3>& s,
					 const std::array<double, 3>& dv, bool& near ) {
	constexpr double kNear = 1e-4;
	near = false;
	double best = 2.0;
	for ( const OraclePolygon& p : polygons ) {
		const double den = OracleDot( p.n, dv );
		if ( std::fabs( den ) < 1e-3 ) {
			near = near || std::fabs( den ) > 0.0;
			continue;
		}
		const double t = -( p.d + OracleDot( p.n, s ) ) / den;
		const std::array<double, 3> at = { s[0] + t * dv[0], s[1] + t * dv[1], s[2] + t * dv[2] };
		// Signed distance outside the nearest-violated edge line.
		double outside = -1e300;
		const size_t n = p.v.size();
		for ( size_t e = 0; e < n; e++ ) {
			const auto& a = p.v[e];
			const auto& b = p.v[( e + 1 ) % n];
			const std::array<double, 3> edge = { b[0] - a[0], b[1] - a[1], b[2] - a[2] };
			const std::array<double, 3> out = { edge[1] * p.n[2] - edge[2] * p.n[1], edge[2] * p.n[0] - edge[0] * p.n[2],
												edge[0] * p.n[1] - edge[1] * p.n[0] };
			const std::array<double, 3> w = { at[0] - a[0], at[1] - a[1], at[2] - a[2] };
			outside = std::max( outside, OracleDot( out, w ) / std::sqrt( OracleDot( out, out ) ) );
		}
		const bool inside = outside <= 0.0;
		if ( std::fabs( outside ) < kNear * 10 || std::fabs( t ) < kNear || std::fabs( t - 1.0 ) < kNear ||
			 ( inside && std::fabs( t - best ) < kNear ) ) {
			near = true;
		}
		if ( inside && t > 0.0 && t <= 1.0 && t < best ) {
			best = t;
		}
	}
	return best <= 1.0 ? best : -1.0;
}

TEST_F( EFObjCollisionPolygonTest, RaysAgreeWithTheOracleOnATurnedFrame ) {
	std::mt19937 random( 5122 );
	std::uniform_real_distribution<f32> unit( -1.0f, 1.0f );
	ToolColMap scene;
	scene.attribs.resize( 1 );
	for ( u32 i = 0; i < 8; i++ ) {
		const f32 y = 0.6f * static_cast<f32>( i ) - 2.0f;
		const f32 tilt = 0.5f * unit( random );
		scene.polygons.push_back( Quad( { -1.5f, y - tilt, -1.5f }, { -1.5f, y - tilt, 1.5f },
										{ 1.5f, y + tilt, 1.5f }, { 1.5f, y + tilt, -1.5f } ) );
	}
	const DTVector3d at( 3, -1, 2 );
	EFObjCollisionPolygon* const p = OnFrame( scene, at, 30.0f, Unit( 1, 2, 0 ), DTVector3d( 0.5f, 0, 0 ) );
	// The polygons in world space, through the primitive's own matrix.
	ToolColMap world = scene;
	for ( ToolColPolygon& polygon : world.polygons ) {
		for ( ToolVec3& v : polygon.vertices ) {
			const DTVector3d w = EFTransformPoint( DTVector3d( v[0], v[1], v[2] ), p->mpoWorldMatrix );
			v = { w.x, w.y, w.z };
		}
	}
	const std::vector<OraclePolygon> oracle = OracleOf( world );
	u32 compared = 0;
	u32 hits = 0;
	for ( u32 i = 0; i < 3000; i++ ) {
		const DTVector3d start = at + DTVector3d( 4 * unit( random ), 4 * unit( random ), 4 * unit( random ) );
		const DTVector3d depl( 6 * unit( random ), 6 * unit( random ), 6 * unit( random ) );
		bool near = false;
		const double want = OracleRayHit( oracle, { start.x, start.y, start.z }, { depl.x, depl.y, depl.z }, near );
		if ( near ) {
			continue;
		}
		RayIntersectIn in = { start, depl, 0, 0, 0, 0, 0 };
		EFRayIntersectOut out = {};
		f32 t = 1.0f;
		const u32 result = p->RayIntersect( in, out, t );
		ASSERT_EQ( result, want >= 0.0 ? 1u : 0u ) << i;
		compared++;
		if ( result != 0 ) {
			hits++;
			EXPECT_NEAR( t, want, 1e-4 ) << i;
			EXPECT_NEAR( out.oIntersectionNormal * out.oIntersectionNormal, 1.0f, 1e-4f );
		}
	}
	EXPECT_GT( compared, 2500u );
	EXPECT_GT( hits, 300u );
}

// At identity a set of one square answers each shape exactly as the
// shape's own single-polygon test without the environment flag: the
// square's record says "pass along the normal", and the set never reads it.
TEST_F( EFObjCollisionPolygonTest, AtIdentityEachShapeMeetsASetAsItsSinglePolygonTestWithoutTheEnvironment ) {
	EFObjCollisionPolygon* const set = Polygons( Squares( { 0.0f }, 0.0f, 2 ), DTVector3d() );
	EFEnvCollisionPrim* const square = set->mpoFirstPolygon;
	const EFPlane plane( square->moPlane.moNormal, square->moPlane.mfD );
	std::mt19937 random( 5122 );
	std::uniform_real_distribution<f32> place( -3.0f, 3.0f );
	std::uniform_real_distribution<f32> speed( -4.0f, 4.0f );
	std::uniform_real_distribution<f32> size( 0.2f, 1.0f );
	u32 contacts = 0, passing = 0;
	for ( u32 i = 0; i < 300; i++ ) {
		const DTVector3d at( place( random ), place( random ), place( random ) );
		const EFCheckCollisionIn in = { 0.5f, DTVector3d( speed( random ), speed( random ), speed( random ) ) };
		const f32 r = size( random );
		EFObjCollisionPrim* mover = nullptr;
		std::function<u32( EFCheckCollisionOut&, u32 )> single;
		switch ( i % 3 ) {
		case 0: {
			EFObjCollisionSphere* const sphere = Sphere( at, r );
			single = [=]( EFCheckCollisionOut& out, const u32 environment ) {
				DTVector3d centre = at;
				return sphere->CheckSinglePolygonCollision( in, out, square, centre, environment );
			};
			mover = sphere;
			break;
		}
		case 1: {
			EFObjCollisionSweptSphere* const capsule = Capsule( at, DTVector3d( 0.5f, r, 0 ), r );
			single = [=]( EFCheckCollisionOut& out, const u32 environment ) {
				return capsule->CheckSinglePolygonCollision( in, out, square, capsule->moPrimPos, capsule->moWorldVector,
															 environment );
			};
			mover = capsule;
			break;
		}
		default: {
			EFObjCollisionBBox* const box = Box( at, DTVector3d( r, 0.5f, 0.3f ), 30.0f );
			single = [=]( EFCheckCollisionOut& out, const u32 environment ) {
				return box->CheckSinglePolygonCollision( in, out, square, &plane, square->GetVertex(), environment );
			};
			mover = box;
			break;
		}
		}
		SCOPED_TRACE( i );
		EFCheckCollisionOut got = {}, want = {}, environment = {};
		const u32 result = mover->CheckObjPrimCollision( in, got, set );
		ASSERT_EQ( result & ( CS_COL_HIT | CS_COL_PUSH ), single( want, 0 ) & ( CS_COL_HIT | CS_COL_PUSH ) );
		if ( ( result & ( CS_COL_HIT | CS_COL_PUSH ) ) != 0 ) {
			contacts++;
			ExpectNear( got.moColNormal, want.moColNormal );
			EXPECT_NEAR( got.mfTime, want.mfTime, 1e-5f );
			EXPECT_NEAR( got.mfPushSize, want.mfPushSize, 1e-5f );
			passing += ( single( environment, 1 ) & ( CS_COL_HIT | CS_COL_PUSH ) ) == 0 ? 1 : 0;
		}
	}
	// Enough contacts, some of which the square's own record lets pass.
	EXPECT_GT( contacts, 30u );
	EXPECT_GT( passing, 5u );
}

class EFPolygonRayQueryTest : public PhysicsTestBench {};

TEST_F( EFPolygonRayQueryTest, ANearerWallBeatsAPolygonSetBodyAndANearerBodyBeatsTheWall ) {
	// A two-sided wall at x = 5 (t = 0.5 on the ray) and a body whose
	// polygon set is a square across the ray at the body's x.
	ToolColMap wall;
	wall.attribs.resize( 1 );
	wall.attribs[0].flags = 0x1;
	wall.polygons.push_back( Quad( { 5, 0, -5 }, { 5, 4, -5 }, { 5, 4, 5 }, { 5, 0, 5 } ) );
	std::unique_ptr<EFCollisionMap> owned = LoadMap( EncodeMap( wall ) );
	ASSERT_NE( owned, nullptr );
	manager.AddMap( owned.release() );
	ToolColMap square;
	square.attribs.resize( 1 );
	square.polygons.push_back( Quad( { 0, -2, -2 }, { 0, 2, -2 }, { 0, 2, 2 }, { 0, -2, 2 } ) );
	std::unique_ptr<EFCollisionMap> records = LoadMap( EncodeMap( square ) );
	ASSERT_NE( records, nullptr );
	struct Row {
		const char*			name;
		f32					x;
		RayIntersectResult	result;
		f32					hitX;
	} rows[] = {
		{ "body in front", 1.0f, PS_RAY_OBJ, 1.0f },
		{ "wall in front", 9.0f, PS_RAY_ENV, 5.0f },
	};
	u32 id = 0x2A000010;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFPhysic* const body = MakeBody( id++, 0, 1, row.x, 0.5f, 0.0f );
		EFObjCollisionPolygon* const polygons = new EFObjCollisionPolygon( body->GetOwner()->GetFrame() );
		polygons->SetPolygons( 1, records->GetFirstPrimitive() );
		polygons->moBaseAttrib.IntArray[EF_ATTR_TYPE] = 0x1;
		polygons->UpdateCurrentAttribs();
		body->moCollisionModel.mppoPrimArray[0] = polygons;
		body->moCollisionModel.moPhysicBSphere.mfRadius = 3.0f;
		body->moCollisionModel.PrecalcData();
		const RayIntersectIn in = { DTVector3d( -5, 0.5f, 0 ), DTVector3d( 20, 0, 0 ), 1, 0, 1, 0, 0 };
		EFRayIntersectOut out = {};
		EXPECT_EQ( manager.RayIntersect( in, out ), row.result );
		EXPECT_NEAR( out.oIntersectionPoint.x, row.hitX, 1e-4f );
		body->mui32PhysicFlags |= EF_PHYSIC_OFF;
	}
}

}	// namespace
