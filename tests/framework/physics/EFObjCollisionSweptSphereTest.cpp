#include "framework/graphics/particles/PLParticle.h"
#include "framework/physics/PrimitiveTestShapes.h"
#include "platform/runtime/RuntimeRand.h"

#include <set>

namespace {

using namespace primitive_test;

class EFObjCollisionSweptSphereTest : public PrimitiveTestCase {};

TEST_F( EFObjCollisionSweptSphereTest, TheSettersKeepTheShortestHalfAxisAndTheBoundingRadius ) {
	const struct {
		DTVector3d	halfAxis;
		f32			radius;
		DTVector3d	kept;
		f32			maxRadius;
	} rows[] = {
		{ ZERO, 0.5f, DTVector3d( 0, 0.01f, 0 ), 0.51f },
		{ DTVector3d( 0.005f, 0, 0 ), 0.5f, DTVector3d( 0.01f, 0, 0 ), 0.51f },
		{ DTVector3d( 0, -0.003f, 0.004f ), 1.0f, DTVector3d( 0, -0.006f, 0.008f ), 1.01f },
		{ DTVector3d( 3, 4, 0 ), 1.0f, DTVector3d( 3, 4, 0 ), 6.0f },
	};
	for ( const auto& row : rows ) {
		EFObjCollisionSweptSphere* const capsule = Capsule( ZERO, row.halfAxis, row.radius );
		ExpectNear( capsule->moVector, row.kept, 1e-7f );
		EXPECT_NEAR( capsule->mfMaxRadius, row.maxRadius, 1e-6f );
		EXPECT_EQ( capsule->GetMinRadius(), row.radius );
		// A new radius keeps the axis's length in the bounding radius.
		capsule->SetRadius( 2.0f );
		EXPECT_NEAR( capsule->mfMaxRadius, row.maxRadius - row.radius + 2.0f, 1e-6f );
	}
}

// The capsule moving against the other shapes: a sphere of radius 1 and a
// capsule from (0, -1, 0) to (0, 1, 0) of radius 0.5 at the origin, the
// unit cube at the origin, a thin box at (0, 0, -20), a box of half extents (2, 1, 0.5) at (10, 0, 0)
// turned a quarter about y, and two squares of 4 x 4 facing up at world
// y = 10 and 12 in a polygon primitive.
TEST_F( EFObjCollisionSweptSphereTest, TheCapsuleAgainstEveryShapeMeetsItsEdgeCases ) {
	EFObjCollisionPrim* const sphere = Sphere( ZERO, 1.0f );
	EFObjCollisionPrim* const other = Capsule( ZERO, UP, 0.5f );
	EFObjCollisionPrim* const cube = Box( ZERO, DTVector3d( 1, 1, 1 ) );
	EFObjCollisionPrim* const slab = Box( DTVector3d( 0, 0, -20 ), DTVector3d( 1, 1, 0.1f ) );
	EFObjCollisionPrim* const turned = Box( DTVector3d( 10, 0, 0 ), DTVector3d( 2, 1, 0.5f ), 90.0f );
	EFObjCollisionPrim* const polygons = Polygons( Squares( { 0.0f, 2.0f } ), DTVector3d( 0, 10, 0 ) );
	const DTVector3d X( 1, 0, 0 );
	const DTVector3d Z( 0, 0, 1 );
	const DTVector3d HALF_UP( 0, 0.5f, 0 );
	const f32 edgeTime = 2.0f - 0.5f / std::sqrt( 2.0f );
	struct Row {
		const char*			name;
		EFObjCollisionPrim*	target;
		DTVector3d			centre;
		DTVector3d			halfAxis;
		DTVector3d			velocity;
		f32					maxTime;
		Expected			want;
	} rows[] = {
		{ "lying on the sphere", sphere, DTVector3d( 0, 1.3f, 0 ), X, ZERO, 1, { CS_COL_PUSH, UP, 0.2f } },
		{ "falling onto the sphere", sphere, DTVector3d( 0, 5, 0 ), UP, DTVector3d( 0, -1, 0 ), 5,
		  { CS_COL_HIT, UP, 2.5f } },
		{ "moving away from the sphere", sphere, DTVector3d( 0, 5, 0 ), UP, DTVector3d( 0, 1, 0 ), 5, { 0, ZERO, 0 } },
		{ "beside the capsule", other, DTVector3d( 0.8f, 0.5f, 0 ), UP, ZERO, 1, { CS_COL_PUSH, X, 0.2f } },
		{ "across the capsule", other, DTVector3d( 3, 0, 0 ), Z, DTVector3d( -1, 0, 0 ), 5, { CS_COL_HIT, X, 2.0f } },
		{ "end onto end", other, DTVector3d( 0, 5, 0 ), UP, DTVector3d( 0, -1, 0 ), 5, { CS_COL_HIT, UP, 2.0f } },
		{ "end onto end too late", other, DTVector3d( 0, 5, 0 ), UP, DTVector3d( 0, -1, 0 ), 1.5f, { 0, ZERO, 0 } },
		{ "moving away from the capsule", other, DTVector3d( 3, 0, 0 ), Z, DTVector3d( 1, 0, 0 ), 5, { 0, ZERO, 0 } },
		{ "lying on the box", cube, DTVector3d( 0, 1.3f, 0 ), DTVector3d( 0.5f, 0, 0 ), ZERO, 1,
		  { CS_COL_PUSH, UP, 0.2f } },
		{ "standing in the box", cube, DTVector3d( 0.1f, 0.2f, 0.6f ), HALF_UP, ZERO, 1,
		  { CS_COL_PUSH, Z, 0.9f } },
		// The lines through the cube's centre come within reach: the
		// shallower face pushes.
		{ "beside a vertical edge", cube, DTVector3d( 1.2f, 0, 1.2f ), HALF_UP, ZERO, 1, { CS_COL_PUSH, X, 0.3f } },
		// Clear of those lines and of the face's slab: out of the edge.
		{ "lying along a thin box's edge", slab, DTVector3d( 1.25f, 1.25f, -20 ), DTVector3d( 0, 0, 0.5f ), ZERO, 1,
		  { CS_COL_PUSH, Unit( 1, 1, 0 ), 0.5f - std::sqrt( 0.125f ) } },
		// Within reach of both slabs but not of the edge between them: no
		// push into the box, the face axis's instead.
		{ "beside a thin box's edge, out of its reach", slab, DTVector3d( 1.45f, 1.45f, -20 ), DTVector3d( 0, 0, 0.5f ),
		  ZERO, 1, { CS_COL_PUSH, X, 0.05f } },
		{ "falling onto the box", cube, DTVector3d( 0, 4, 0 ), HALF_UP, DTVector3d( 0, -1, 0 ), 5,
		  { CS_COL_HIT, UP, 2.0f } },
		{ "onto the box's edge", cube, DTVector3d( 3, 3, 0 ), DTVector3d( 0, 0, 0.5f ), DTVector3d( -1, -1, 0 ), 5,
		  { CS_COL_HIT, Unit( 1, 1, 0 ), edgeTime } },
		{ "sliding past the box", cube, DTVector3d( 0, 3, 0 ), HALF_UP, DTVector3d( 1, 0, 0 ), 5, { 0, ZERO, 0 } },
		{ "box entry too late", cube, DTVector3d( 0, 4, 0 ), HALF_UP, DTVector3d( 0, -1, 0 ), 1.5f, { 0, ZERO, 0 } },
		{ "onto the turned box's narrow side", turned, DTVector3d( 14, 0, 0 ), HALF_UP, DTVector3d( -1, 0, 0 ), 5,
		  { CS_COL_HIT, X, 3.0f } },
		{ "the nearer polygon wins", polygons, DTVector3d( 0, 15, 0 ), HALF_UP, DTVector3d( 0, -1, 0 ), 10,
		  { CS_COL_HIT, UP, 2.0f } },
		{ "an overlap wins over a later hit", polygons, DTVector3d( 0, 12.8f, 0 ), HALF_UP, DTVector3d( 0, -1, 0 ), 10,
		  { CS_COL_PUSH, UP, 0.2f } },
		{ "polygons out of time", polygons, DTVector3d( 0, 15, 0 ), HALF_UP, DTVector3d( 0, -1, 0 ), 1.5f,
		  { 0, ZERO, 0 } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFObjCollisionSweptSphere* const mover = Capsule( row.centre, row.halfAxis, 0.5f );
		const EFCheckCollisionIn in = { row.maxTime, row.velocity };
		EFCheckCollisionOut out = {};
		ExpectOutcome( mover->CheckObjPrimCollision( in, out, row.target ), out, in, row.want );
	}
}

// One polygon of a collision map: the square of 4 x 4 at y = 0 facing up,
// one-sided, two-sided or letting movers along its normal pass. The
// capsule has radius 0.5.
TEST_F( EFObjCollisionSweptSphereTest, TheSinglePolygonTestMeetsItsEdgeCases ) {
	const std::vector<EFEnvCollisionPrim*> square = MapSquares();
	ASSERT_EQ( square.size(), 3u );
	const DTVector3d X( 1, 0, 0 );
	const DTVector3d HALF_UP( 0, 0.5f, 0 );
	// The lower end sphere of a capsule at (3, 1.2, 0) moving (-0.05,
	// -0.05, 0) reaches the edge x = 2 at u = 0.05 t, where
	// (1 - u)² + (0.7 - u)² = 0.25.
	const f32 u = ( 3.4f - std::sqrt( 1.64f ) ) / 4.0f;
	const DTVector3d capNormal = Unit( 1.0f - u, 0.7f - u, 0 );
	const f32 cornerDistance = std::sqrt( 0.2f * 0.2f + 0.3f * 0.3f );
	struct Row {
		const char*	name;
		u32			polygon;
		DTVector3d	centre;
		DTVector3d	halfAxis;
		DTVector3d	velocity;
		f32			maxTime;
		Expected	want;
	} rows[] = {
		{ "resting upright on the face", ONE_SIDED, DTVector3d( 0, 1.3f, 0 ), UP, ZERO, 1, { CS_COL_PUSH, UP, 0.2f } },
		{ "lying on the face across its edge", ONE_SIDED, DTVector3d( 2.5f, 0.3f, 0 ), X, ZERO, 1,
		  { CS_COL_PUSH, UP, 0.2f } },
		{ "lying beyond the edge, its end within reach", TWO_SIDED, DTVector3d( 3.2f, 0.3f, 0 ), X, ZERO, 1,
		  { CS_COL_PUSH, Unit( 0.2f, 0.3f, 0 ), 0.5f - cornerDistance } },
		{ "lying beyond the edge out of reach", TWO_SIDED, DTVector3d( 3.8f, 0.3f, 0 ), X, ZERO, 1, { 0, ZERO, 0 } },
		{ "falling onto the face", ONE_SIDED, DTVector3d( 0, 3, 0 ), HALF_UP, DTVector3d( 0, -1, 0 ), 5,
		  { CS_COL_HIT, UP, 2.0f } },
		{ "face contact beyond the time", ONE_SIDED, DTVector3d( 0, 3, 0 ), HALF_UP, DTVector3d( 0, -1, 0 ), 1.5f,
		  { 0, ZERO, 0 } },
		{ "moving away", ONE_SIDED, DTVector3d( 0, 3, 0 ), HALF_UP, DTVector3d( 0, 1, 0 ), 5, { 0, ZERO, 0 } },
		{ "sliding along the plane", TWO_SIDED, DTVector3d( 0, 2, 0 ), HALF_UP, DTVector3d( 1, 0, 0 ), 5,
		  { 0, ZERO, 0 } },
		{ "behind to beyond reach in front", TWO_SIDED, DTVector3d( 0, -3, 0 ), HALF_UP, DTVector3d( 0, 6, 0 ), 1,
		  { 0, ZERO, 0 } },
		{ "from behind, two-sided", TWO_SIDED, DTVector3d( 0, -2, 0 ), HALF_UP, DTVector3d( 0, 1, 0 ), 1.5f,
		  { CS_COL_HIT, DTVector3d( 0, -1, 0 ), 1.0f } },
		{ "from behind, one-sided", ONE_SIDED, DTVector3d( 0, -2, 0 ), HALF_UP, DTVector3d( 0, 1, 0 ), 1.5f,
		  { 0, ZERO, 0 } },
		{ "along the normal through a passing polygon", PASSING, DTVector3d( 0, -2, 0 ), HALF_UP,
		  DTVector3d( 0, 1, 0 ), 1.5f, { 0, ZERO, 0 } },
		{ "against the normal onto a passing polygon", PASSING, DTVector3d( 0, 3, 0 ), HALF_UP,
		  DTVector3d( 0, -1, 0 ), 5, { CS_COL_HIT, UP, 2.0f } },
		{ "overlap behind a one-sided face is dropped", ONE_SIDED, DTVector3d( 0, -0.8f, 0 ), HALF_UP, ZERO, 1,
		  { 0, ZERO, 0 } },
		{ "overlap behind, two-sided", TWO_SIDED, DTVector3d( 0, -0.8f, 0 ), HALF_UP, ZERO, 1,
		  { CS_COL_PUSH, DTVector3d( 0, -1, 0 ), 0.2f } },
		{ "end cap onto the edge", ONE_SIDED, DTVector3d( 3, 1.2f, 0 ), HALF_UP, DTVector3d( -0.05f, -0.05f, 0 ), 20,
		  { CS_COL_HIT, capNormal, u / 0.05f } },
		{ "too slow to reach an edge", ONE_SIDED, DTVector3d( 3, 1.2f, 0 ), HALF_UP,
		  DTVector3d( -0.005f, -0.005f, 0 ), 400, { 0, ZERO, 0 } },
		{ "side onto the edge", TWO_SIDED, DTVector3d( 3, 0, 0 ), HALF_UP, DTVector3d( -1, 0, 0 ), 5,
		  { CS_COL_HIT, X, 0.5f } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFObjCollisionSweptSphere* const mover =
			Capsule( row.centre + DTVector3d( 20.0f * static_cast<f32>( row.polygon ), 0, 0 ), row.halfAxis, 0.5f );
		const EFCheckCollisionIn in = { row.maxTime, row.velocity };
		EFCheckCollisionOut out = {};
		ExpectOutcome( mover->CheckEnvCollision( in, out, square[row.polygon] ), out, in, row.want );
	}
}

TEST_F( EFObjCollisionSweptSphereTest, PointParticleAndRayQueries ) {
	// From (0, 1, 0) to (0, 3, 0), radius 0.5.
	EFObjCollisionSweptSphere* const capsule = Capsule( DTVector3d( 0, 2, 0 ), UP, 0.5f );
	const struct {
		DTVector3d	point;
		bool		inside;
	} points[] = {
		{ DTVector3d( 0.5f, 2.9f, 0 ), true },	 { DTVector3d( 0.51f, 2, 0 ), false },
		{ DTVector3d( 0, 3.5f, 0 ), true },		 { DTVector3d( 0.3f, 3.41f, 0 ), false },
		{ DTVector3d( 0.3f, 0.61f, 0 ), true },	 { DTVector3d( 0, 0.49f, 0 ), false },
	};
	for ( const auto& row : points ) {
		EXPECT_EQ( capsule->CheckPointIntersection( row.point ), row.inside ) << row.point.x << ", " << row.point.y;
	}

	// The reach is the bounding radius (1.5) plus the particle's, not r:
	// beside the axis at 1.7, beyond the end at 1.7 and, marked, inside.
	PLParticle particles[4];
	const DTVector3d at[] = { DTVector3d( 1.7f, 2, 0 ), DTVector3d( 0, 4.7f, 0 ), DTVector3d( 2.5f, 2, 0 ),
							  DTVector3d( 0, 2, 0 ) };
	for ( u32 i = 0; i < 4; i++ ) {
		particles[i].moPosition = at[i];
		particles[i].mfRadius = 0.25f;
		particles[i].mui16Mark = 0;
		particles[i].mpoNext = i < 3 ? &particles[i + 1] : nullptr;
	}
	PLParticle::mui16GlobalCount = 9;
	particles[3].mui16Mark = 9;
	EXPECT_EQ( capsule->CheckParticlesIntersection( &particles[2], false ), 0u );	// marked ones are skipped
	EXPECT_EQ( capsule->CheckParticlesIntersection( &particles[0], true ), 2u );
	EXPECT_EQ( particles[1].mui16Mark, 9 );
	EXPECT_EQ( particles[2].mui16Mark, 0 );
	EXPECT_EQ( capsule->CheckParticlesIntersection( &particles[0], true ), 0u );

	const RayRow rays[] = {
		// Inside beside the axis the sweep reports a hit at 0 with its
		// normal; inside an end it reports the start inside.
		{ "starts inside beside the axis", DTVector3d( 0.2f, 2, 0 ), DTVector3d( 0, 0, 4 ), 1, 1, 0.0f,
		  DTVector3d( 1, 0, 0 ) },
		{ "starts inside the top end", DTVector3d( 0, 3.2f, 0 ), DTVector3d( 0, 0, 4 ), 1, 1, 0.0f,
		  DTVector3d( 0, 0, -1 ) },
		{ "onto the side", DTVector3d( 5, 2, 0 ), DTVector3d( -10, 0, 0 ), 1, 1, 0.45f, DTVector3d( 1, 0, 0 ) },
		{ "onto the top end", DTVector3d( 0, 10, 0 ), DTVector3d( 0, -10, 0 ), 1, 1, 0.65f, UP },
		{ "hit beyond t", DTVector3d( 5, 2, 0 ), DTVector3d( -10, 0, 0 ), 0.4f, 0, 0.4f, ZERO },
		{ "miss", DTVector3d( 5, 2, 1 ), DTVector3d( -10, 0, 0 ), 1, 0, 1.0f, ZERO },
	};
	ExpectRays( *capsule, rays );
}

// Headings are unit, horizontal and multiples of 1/256 of a turn.
int HeadingStep( const DTVector3d& escape ) {
	EXPECT_EQ( escape.y, 0.0f );
	EXPECT_NEAR( escape.x * escape.x + escape.z * escape.z, 1.0f, 1e-5f );
	const double turns = std::atan2( double( escape.x ), double( escape.z ) ) / ( 2.0 * M_PI ) * 256.0;
	const double step = turns < -1e-3 ? turns + 256.0 : turns;
	EXPECT_NEAR( step, std::round( step ), 1e-3 );
	return static_cast<int>( std::lround( step ) ) % 256;
}

TEST_F( EFObjCollisionSweptSphereTest, BodiesBeyondTheEndsTakeARandomHeadingAndBesideTheAxisSlideSideways ) {
	// A lying capsule along x from (-2, 0, 0) to (2, 0, 0).
	EFObjCollisionSweptSphere* const lying = Capsule( ZERO, DTVector3d( 2, 0, 0 ), 0.5f );
	DTVector3d escape;
	DTVector3d velocity( 5, 0, 5 );
	lying->GetEscapeNoPF( DTVector3d( 1, 0.6f, 0.3f ), escape, velocity );
	ExpectNear( escape, DTVector3d( 0, 0, 1 ) );
	lying->GetEscapeNoPF( DTVector3d( -1, 0.6f, -0.3f ), escape, velocity );
	ExpectNear( escape, DTVector3d( 0, 0, -1 ) );

	RuntimeSrand( 52 );
	std::set<int> beyond;
	std::set<int> onTop;
	std::set<int> upright;
	EFObjCollisionSweptSphere* const standing = Capsule( ZERO, UP, 0.5f );
	for ( int i = 0; i < 4000; i++ ) {
		lying->GetEscapeNoPF( DTVector3d( 2.3f, 0.2f, 0.1f ), escape, velocity );
		beyond.insert( HeadingStep( escape ) );
		// Right above the axis: one side or the other at random.
		lying->GetEscapeNoPF( DTVector3d( 0.5f, 0.6f, 0.0001f ), escape, velocity );
		EXPECT_EQ( std::fabs( escape.z ), 1.0f );
		onTop.insert( escape.z > 0.0f ? 1 : -1 );
		// An upright axis has no side: a random heading.
		standing->GetEscapeNoPF( DTVector3d( 0.2f, 0.5f, 0.1f ), escape, velocity );
		upright.insert( HeadingStep( escape ) );
	}
	EXPECT_EQ( beyond.size(), 256u );
	EXPECT_EQ( onTop.size(), 2u );
	EXPECT_EQ( upright.size(), 256u );
}

}	// namespace
