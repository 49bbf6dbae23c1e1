#include "framework/graphics/particles/PLParticle.h"
#include "framework/physics/PrimitiveTestShapes.h"

#include <random>

namespace {

using namespace primitive_test;

class EFObjCollisionBBoxTest : public PrimitiveTestCase {};

const DTVector3d X( 1, 0, 0 );
const DTVector3d Z( 0, 0, 1 );
const DTVector3d UNIT( 1, 1, 1 );

// A unit cube moving against another unit cube at the origin, a box of
// half extents (2, 1, 0.5) at (10, 0, 0) turned a quarter about y, a
// cube at (0, 0, 20) turned an eighth, and two squares of 4 x 4 facing up
// at world y = 10 and 12 in a polygon primitive.
TEST_F( EFObjCollisionBBoxTest, TheBoxAgainstBoxesAndPolygonPrimitivesMeetsItsEdgeCases ) {
	EFObjCollisionPrim* const cube = Box( ZERO, UNIT );
	EFObjCollisionPrim* const turned = Box( DTVector3d( 10, 0, 0 ), DTVector3d( 2, 1, 0.5f ), 90.0f );
	EFObjCollisionPrim* const diamond = Box( DTVector3d( 0, 0, 20 ), UNIT, 45.0f );
	EFObjCollisionPrim* const polygons = Polygons( Squares( { 0.0f, 2.0f } ), DTVector3d( 0, 10, 0 ) );
	const f32 root2 = std::sqrt( 2.0f );
	struct Row {
		const char*			name;
		EFObjCollisionPrim*	target;
		DTVector3d			centre;
		DTVector3d			velocity;
		f32					maxTime;
		Expected			want;
	} rows[] = {
		{ "overlap: the shallowest axis pushes", cube, DTVector3d( 0.3f, 1.5f, -0.2f ), ZERO, 1,
		  { CS_COL_PUSH, UP, 0.5f } },
		{ "overlap seen from below", cube, DTVector3d( 1.8f, -0.4f, 0 ), ZERO, 1, { CS_COL_PUSH, X, 0.2f } },
		{ "separated, not moving", cube, DTVector3d( 3, 0, 0 ), ZERO, 1, { 0, ZERO, 0 } },
		{ "separated, hardly moving", cube, DTVector3d( 3, 0, 0 ), DTVector3d( -0.0005f, 0, 0 ), 5000, { 0, ZERO, 0 } },
		{ "moving apart", cube, DTVector3d( 3, 0, 0 ), DTVector3d( 1, 0, 0 ), 1, { 0, ZERO, 0 } },
		{ "face hit", cube, DTVector3d( 5, 0.5f, 0 ), DTVector3d( -1, 0, 0 ), 5, { CS_COL_HIT, X, 3.0f } },
		{ "face hit too late", cube, DTVector3d( 5, 0.5f, 0 ), DTVector3d( -1, 0, 0 ), 2, { 0, ZERO, 0 } },
		{ "leaves x before it enters y", cube, DTVector3d( 3, 10, 0 ), DTVector3d( -1, -1, 0 ), 20, { 0, ZERO, 0 } },
		{ "diagonal approach, the later entry wins", cube, DTVector3d( 4, 3, 0 ), DTVector3d( -1, -1, 0 ), 5,
		  { CS_COL_HIT, X, 2.0f } },
		{ "onto the turned box's narrow side", turned, DTVector3d( 14, 0, 0 ), DTVector3d( -1, 0, 0 ), 5,
		  { CS_COL_HIT, X, 2.5f } },
		{ "onto the turned cube's edge", diamond, DTVector3d( 4, 0, 20 ), DTVector3d( -1, 0, 0 ), 5,
		  { CS_COL_HIT, X, 3.0f - root2 } },
		{ "the nearer polygon wins", polygons, DTVector3d( 0, 15, 0 ), DTVector3d( 0, -1, 0 ), 10,
		  { CS_COL_HIT, UP, 2.0f } },
		{ "an overlap wins over a later hit", polygons, DTVector3d( 0, 12.8f, 0 ), DTVector3d( 0, -1, 0 ), 10,
		  { CS_COL_PUSH, UP, 0.2f } },
		{ "polygons out of time", polygons, DTVector3d( 0, 15, 0 ), DTVector3d( 0, -1, 0 ), 1.5f, { 0, ZERO, 0 } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFObjCollisionBBox* const mover = Box( row.centre, UNIT );
		const EFCheckCollisionIn in = { row.maxTime, row.velocity };
		EFCheckCollisionOut out = {};
		ExpectOutcome( mover->CheckObjPrimCollision( in, out, row.target ), out, in, row.want );
	}
}

// One polygon of a collision map: the square of 4 x 4 at y = 0 facing up,
// one-sided, two-sided or letting movers along its normal pass; the
// mover is a unit cube.
TEST_F( EFObjCollisionBBoxTest, TheSinglePolygonTestMeetsItsEdgeCases ) {
	const std::vector<EFEnvCollisionPrim*> square = MapSquares();
	ASSERT_EQ( square.size(), 3u );
	struct Row {
		const char*	name;
		u32			polygon;
		DTVector3d	centre;
		DTVector3d	velocity;
		f32			maxTime;
		Expected	want;
	} rows[] = {
		{ "falling onto the face", ONE_SIDED, DTVector3d( 0, 3, 0 ), DTVector3d( 0, -1, 0 ), 5,
		  { CS_COL_HIT, UP, 2.0f } },
		// Less than 0.001 into the plane is touching, not an overlap.
		{ "within 0.001 of the plane, moving in", ONE_SIDED, DTVector3d( 0, 0.9995f, 0 ), DTVector3d( 0, -1, 0 ), 5,
		  { CS_COL_HIT, UP, 0.0f } },
		{ "within 0.001 of the plane, still", ONE_SIDED, DTVector3d( 0, 0.9995f, 0 ), ZERO, 5, { 0, ZERO, 0 } },
		{ "beyond 0.001 into the plane", ONE_SIDED, DTVector3d( 0, 0.998f, 0 ), ZERO, 5, { CS_COL_PUSH, UP, 0.002f } },
		{ "resting in the face", ONE_SIDED, DTVector3d( 0.5f, 0.8f, 0.5f ), ZERO, 1, { CS_COL_PUSH, UP, 0.2f } },
		{ "sliding parallel with a gap", TWO_SIDED, DTVector3d( 0, 2, 0 ), DTVector3d( 1, 0, 0 ), 5, { 0, ZERO, 0 } },
		{ "moving away", ONE_SIDED, DTVector3d( 0, 2, 0 ), DTVector3d( 0, 1, 0 ), 5, { 0, ZERO, 0 } },
		{ "face contact beyond the time", ONE_SIDED, DTVector3d( 0, 3, 0 ), DTVector3d( 0, -1, 0 ), 1.5f,
		  { 0, ZERO, 0 } },
		{ "behind to beyond reach in front", TWO_SIDED, DTVector3d( 0, -5, 0 ), DTVector3d( 0, 10, 0 ), 1,
		  { 0, ZERO, 0 } },
		{ "from behind, two-sided", TWO_SIDED, DTVector3d( 0, -2, 0 ), DTVector3d( 0, 1, 0 ), 1.5f,
		  { CS_COL_HIT, DTVector3d( 0, -1, 0 ), 1.0f } },
		{ "from behind, one-sided", ONE_SIDED, DTVector3d( 0, -2, 0 ), DTVector3d( 0, 1, 0 ), 1.5f, { 0, ZERO, 0 } },
		{ "along the normal through a passing polygon", PASSING, DTVector3d( 0, -2, 0 ), DTVector3d( 0, 1, 0 ), 1.5f,
		  { 0, ZERO, 0 } },
		{ "overlap behind a one-sided face is dropped", ONE_SIDED, DTVector3d( 0, -0.8f, 0 ), ZERO, 1,
		  { 0, ZERO, 0 } },
		{ "overlap behind, two-sided", TWO_SIDED, DTVector3d( 0, -0.8f, 0 ), ZERO, 1,
		  { CS_COL_PUSH, DTVector3d( 0, -1, 0 ), 0.2f } },
		// Beside the polygon the box's x axis is the shallowest.
		{ "overlapping the side", TWO_SIDED, DTVector3d( 2.9f, 0.5f, 0 ), ZERO, 1, { CS_COL_PUSH, X, 0.1f } },
		{ "onto the side", TWO_SIDED, DTVector3d( 5, 0.5f, 0 ), DTVector3d( -1, 0, 0 ), 5, { CS_COL_HIT, X, 2.0f } },
		// Cutting the plane and rising off it, the box still meets the
		// side before it clears the plane.
		{ "onto the side while rising off the plane", TWO_SIDED, DTVector3d( 4, 0.5f, 0 ), DTVector3d( -1, 0.1f, 0 ),
		  5, { CS_COL_HIT, X, 1.0f } },
		// Past an edge's line the box still overlaps the polygon beyond it.
		{ "onto the face after passing over its edge", ONE_SIDED, DTVector3d( 3.5f, 3, 0 ), DTVector3d( -2, -1, 0 ), 5,
		  { CS_COL_HIT, UP, 2.0f } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFObjCollisionBBox* const mover =
			Box( row.centre + DTVector3d( 20.0f * static_cast<f32>( row.polygon ), 0, 0 ), UNIT );
		const EFCheckCollisionIn in = { row.maxTime, row.velocity };
		EFCheckCollisionOut out = {};
		ExpectOutcome( mover->CheckEnvCollision( in, out, square[row.polygon] ), out, in, row.want );
	}
	// A plane normal far from unit length is skipped.
	square[TWO_SIDED]->moPlane.moNormal = UP * 1.02f;
	EFCheckCollisionOut out = {};
	const EFCheckCollisionIn down = { 5, DTVector3d( 0, -1, 0 ) };
	EXPECT_EQ( Box( DTVector3d( 20, 3, 0 ), UNIT )->CheckEnvCollision( down, out, square[TWO_SIDED] ), 0u );
}

// Regular polygons of many vertices, lying flat at y = 0 (radius 3).
ToolColMap Polygon( const u32 count, const f32 y ) {
	ToolColMap scene;
	scene.attribs.resize( 1 );
	ToolColPolygon polygon;
	for ( u32 i = 0; i < count; i++ ) {
		const double a = -2.0 * M_PI * i / count;
		polygon.vertices.push_back( { static_cast<f32>( 3.0 * std::cos( a ) ), y, static_cast<f32>( 3.0 * std::sin( a ) ) } );
	}
	scene.polygons.push_back( polygon );
	return scene;
}

// Polygons of 12 and 20 vertices (beyond the 10 and 16 a fixed local
// store would hold), as a map polygon and as a polygon primitive's
// record: a turned box falling onto them meets the face when the gap to
// the plane is closed.
TEST_F( EFObjCollisionBBoxTest, PolygonsOfManyVerticesAreTestedWhole ) {
	for ( const u32 count : { 12u, 20u, 32u } ) {
		SCOPED_TRACE( count );
		const std::vector<EFEnvCollisionPrim*> map = Records( Polygon( count, 0.0f ) );
		ASSERT_EQ( map.size(), 1u );
		EXPECT_EQ( map[0]->mui16NbVertex & 0x7FFF, count );
		EFObjCollisionPrim* const primitive = Polygons( Polygon( count, 0.0f ), DTVector3d( 0, 10, 0 ) );
		// Turned an eighth about y the box still presents its half height.
		const f32 speed = 2.0f;
		const f32 gap = 3.0f - 1.0f;
		EFObjCollisionBBox* const onMap = Box( DTVector3d( 0.3f, 3, -0.2f ), UNIT, 45.0f );
		EFObjCollisionBBox* const onPrimitive = Box( DTVector3d( 0.3f, 13, -0.2f ), UNIT, 45.0f );
		const EFCheckCollisionIn in = { 5, DTVector3d( 0, -speed, 0 ) };
		EFCheckCollisionOut out = {};
		ExpectOutcome( onMap->CheckEnvCollision( in, out, map[0] ), out, in, { CS_COL_HIT, UP, gap / speed } );
		out = {};
		ExpectOutcome( onPrimitive->CheckObjPrimCollision( in, out, primitive ), out, in,
					   { CS_COL_HIT, UP, gap / speed } );
	}
}

TEST_F( EFObjCollisionBBoxTest, PointParticleRayAndSizeQueries ) {
	// Half extents (1, 0.5, 2) at (1, 2, 3).
	EFObjCollisionBBox* const box = Box( DTVector3d( 1, 2, 3 ), DTVector3d( 1, 0.5f, 2 ) );
	EXPECT_EQ( box->GetMinRadius(), 0.5f );
	EXPECT_NEAR( box->mfMaxRadius, std::sqrt( 5.25f ), 1e-6f );
	EXPECT_TRUE( box->CheckPointIntersection( DTVector3d( 2, 2.5f, 5 ) ) );
	EXPECT_FALSE( box->CheckPointIntersection( DTVector3d( 1, 2.51f, 3 ) ) );

	// Touching beyond the top, beyond the corner's reach, inside but marked.
	PLParticle particles[3];
	const DTVector3d at[] = { DTVector3d( 1, 2.7f, 3 ), DTVector3d( 2.3f, 2.7f, 3 ), DTVector3d( 1, 2, 3 ) };
	for ( u32 i = 0; i < 3; i++ ) {
		particles[i].moPosition = at[i];
		particles[i].mfRadius = 0.25f;
		particles[i].mui16Mark = 0;
		particles[i].mpoNext = i < 2 ? &particles[i + 1] : nullptr;
	}
	PLParticle::mui16GlobalCount = 4;
	particles[2].mui16Mark = 4;
	// Marked particles are skipped whether or not the walk marks.
	EXPECT_EQ( box->CheckParticlesIntersection( &particles[1], false ), 0u );
	EXPECT_EQ( box->CheckParticlesIntersection( &particles[0], true ), 1u );
	EXPECT_EQ( particles[0].mui16Mark, 4 );
	EXPECT_EQ( box->CheckParticlesIntersection( &particles[0], false ), 0u );

	const RayRow rays[] = {
		{ "onto the top", DTVector3d( 1.5f, 12.5f, 3 ), DTVector3d( 0, -20, 0 ), 1, 1, 0.5f, UP },
		{ "onto the side", DTVector3d( -9, 2, 4 ), DTVector3d( 20, 0, 0 ), 1, 1, 0.45f, DTVector3d( -1, 0, 0 ) },
		{ "from inside: the nearest face", DTVector3d( 1.2f, 2.1f, 4.8f ), DTVector3d( 5, 5, 5 ), 1, 1, 0.0f, Z },
		{ "hit beyond t", DTVector3d( 1.5f, 12.5f, 3 ), DTVector3d( 0, -20, 0 ), 0.4f, 0, 0.4f, ZERO },
		{ "pointing away", DTVector3d( 1.5f, 12.5f, 3 ), DTVector3d( 0, 20, 0 ), 1, 0, 1.0f, ZERO },
		{ "passing beside", DTVector3d( 2.5f, 12.5f, 3 ), DTVector3d( 0, -20, 0 ), 1, 0, 1.0f, ZERO },
	};
	ExpectRays( *box, rays );
}

// The escape works in the frame's space, from its origin (the box's
// offset is not taken off): beside one side straight off it, beyond a
// corner diagonally. Positions are given from the frame.
TEST_F( EFObjCollisionBBoxTest, BodiesStandingOnTheBoxEscapeOffTheSideOrCornerTheyAreBeyond ) {
	// The frame at (5, 0, 0), the box 2 further along x.
	EFObjCollisionBBox* const box = Box( DTVector3d( 5, 0, 0 ), DTVector3d( 1, 1, 2 ) );
	box->moTrans = DTVector3d( 2, 0, 0 );
	box->PrecalcPrimData();
	DTVector3d velocity( 3, 0, 3 );
	const struct {
		DTVector3d	position;
		DTVector3d	escape;
	} rows[] = {
		{ DTVector3d( 1.6f, 1, 0.5f ), X },
		{ DTVector3d( -0.5f, 1, -2.5f ), DTVector3d( 0, 0, -1 ) },
		{ DTVector3d( 0.2f, 1, 0.3f ), X },	// inside both slabs: the one nearer its side
		{ DTVector3d( -2, 1, 3 ), Unit( -1, 0, 1 ) },
		{ DTVector3d( 1.5f, 1, 4 ), Unit( 0.5f, 0, 2 ) },
	};
	for ( const auto& row : rows ) {
		DTVector3d escape;
		box->GetEscapeNoPF( row.position + DTVector3d( 5, 0, 0 ), escape, velocity );
		ExpectNear( escape, row.escape );
	}
}

// Pairs the later shape tests by mirroring the earlier one's test: with
// the velocity reversed the same contact comes out, its normal and
// displacement negated.
TEST_F( EFObjCollisionBBoxTest, MirroredPairsAgreeBothWaysRound ) {
	std::mt19937 rng( 53 );
	std::uniform_real_distribution<f32> unit( -1.0f, 1.0f );
	const auto vector = [&]( const f32 scale ) { return DTVector3d( unit( rng ), unit( rng ), unit( rng ) ) * scale; };
	u32 contacts = 0;
	for ( u32 i = 0; i < 600; i++ ) {
		EFObjCollisionPrim* shapes[3] = {
			Sphere( vector( 2 ), 0.3f + 0.5f * ( unit( rng ) + 1.0f ) ),
			Capsule( vector( 2 ), vector( 1 ), 0.2f + 0.3f * ( unit( rng ) + 1.0f ) ),
			Box( vector( 2 ), DTVector3d( 0.6f, 0.4f, 0.9f ) + vector( 0.2f ), 180.0f * unit( rng ) ),
		};
		const EFCheckCollisionIn in = { 1.0f + unit( rng ), vector( 4 ) };
		const EFCheckCollisionIn reversed = { in.mfMaxTime, -in.moVelocity };
		for ( const auto& pair : { std::make_pair( 1, 0 ), std::make_pair( 2, 0 ), std::make_pair( 2, 1 ) } ) {
			EFCheckCollisionOut there = {};
			EFCheckCollisionOut back = {};
			const u32 a = shapes[pair.first]->CheckObjPrimCollision( in, there, shapes[pair.second] );
			const u32 b = shapes[pair.second]->CheckObjPrimCollision( reversed, back, shapes[pair.first] );
			ASSERT_EQ( a, b );
			if ( ( a & ( CS_COL_HIT | CS_COL_PUSH ) ) == 0 ) {
				continue;
			}
			contacts++;
			ExpectNear( there.moColNormal, -back.moColNormal, 0.0f );
			if ( a == CS_COL_HIT ) {
				EXPECT_EQ( there.mfTime, back.mfTime );
				ExpectNear( there.moEffectivePartDep, -back.moEffectivePartDep, 0.0f );
			} else {
				EXPECT_EQ( there.mfPushSize, back.mfPushSize );
			}
		}
	}
	EXPECT_GT( contacts, 300u );
}

}	// namespace
