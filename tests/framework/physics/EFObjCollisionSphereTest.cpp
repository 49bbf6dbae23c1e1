#include "framework/graphics/particles/PLParticle.h"
#include "framework/physics/CollisionMapTestScenes.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFObjCollisionPolygon.h"
#include "framework/physics/EFObjCollisionSphere.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwMatrixCombine.h"
#include "graphics3d/core/RwTestChunks.h"
#include "platform/runtime/RuntimeRand.h"

#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace {

const DTVector3d ZERO;
const DTVector3d UP( 0, 1, 0 );
constexpr f32 TOLERANCE = 1e-5f;
// The library's normalisation works from tables: about 1e-4 relative.
constexpr f32 NORMAL_TOLERANCE = 1e-4f;

void ExpectNear( const DTVector3d& got, const DTVector3d& want ) {
	EXPECT_NEAR( got.x, want.x, NORMAL_TOLERANCE );
	EXPECT_NEAR( got.y, want.y, NORMAL_TOLERANCE );
	EXPECT_NEAR( got.z, want.z, NORMAL_TOLERANCE );
}

DTVector3d Unit( const f32 x, const f32 y, const f32 z ) {
	const f32 l = std::sqrt( x * x + y * y + z * z );
	return DTVector3d( x / l, y / l, z / l );
}

// The routines normalise through the 3D library's tables, and boxes and
// polygon primitives need its matrices: the library is open.
class EFObjCollisionSphereTest : public RwStartedTestCase {
protected:
	void SetUp() override {
		RwStartedTestCase::SetUp();
		shapes.reset( new Shapes );
		other = &shapes->other;
		capsule = &shapes->capsule;
		cube = &shapes->cube;
		turned = &shapes->turned;
		polygons = &shapes->polygons;
		other->moPrimPos = ZERO;
		other->mfMaxRadius = 1.0f;
		// A capsule from (0, -1, 0) to (0, 1, 0) of radius 0.5.
		capsule->moPrimPos = ZERO;
		capsule->moWorldVector = UP;
		capsule->mfRadius = 0.5f;
		// A unit cube at the origin, and a box of half extents (2, 1, 0.5)
		// at (10, 0, 0) turned a quarter about y: its z runs along world x.
		cube->moHalfExtents = DTVector3d( 1, 1, 1 );
		Place( *cube, ZERO, 0.0f );
		turned->moHalfExtents = DTVector3d( 2, 1, 0.5f );
		Place( *turned, DTVector3d( 10, 0, 0 ), 90.0f );
		// Two squares of 4 x 4 facing up, at y = 0 and y = 2 of the
		// polygon primitive's space, which sits at (0, 10, 0).
		ToolColMap scene;
		scene.attribs.resize( 1 );
		scene.polygons.push_back( Quad( { -2, 0, -2 }, { -2, 0, 2 }, { 2, 0, 2 }, { 2, 0, -2 } ) );
		scene.polygons.push_back( Quad( { -2, 2, -2 }, { -2, 2, 2 }, { 2, 2, 2 }, { 2, 2, -2 } ) );
		records = LoadMap( EncodeMap( scene ) );
		ASSERT_NE( records, nullptr );
		const RwV3d lift = { 0, 10, 0 };
		RwMatrixTranslate( polygons->mpoWorldMatrix, &lift, rwCOMBINEREPLACE );
		RwMatrixInvert( polygons->mpoInverseMatrix, polygons->mpoWorldMatrix );
		polygons->mui32NbPolygons = 2;
		polygons->mpoFirstPolygon = records->GetFirstPrimitive();
	}

	static void Place( EFObjCollisionBBox& box, const DTVector3d& position, const f32 degrees ) {
		const RwV3d axis = { 0, 1, 0 };
		const RwV3d at = { position.x, position.y, position.z };
		RwMatrixRotate( box.mpoBoxToWorld, &axis, degrees, rwCOMBINEREPLACE );
		RwMatrixTranslate( box.mpoBoxToWorld, &at, rwCOMBINEPOSTCONCAT );
		RwMatrixInvert( box.mpoWorldToBox, box.mpoBoxToWorld );
		box.moPrimPos = position;
		box.mfMaxRadius = std::sqrt( box.moHalfExtents * box.moHalfExtents );
	}

	static std::unique_ptr<EFObjCollisionSphere> Sphere( const DTVector3d& centre, const f32 radius ) {
		std::unique_ptr<EFObjCollisionSphere> sphere( new EFObjCollisionSphere( nullptr ) );
		sphere->moPrimPos = centre;
		sphere->mfMaxRadius = radius;
		return sphere;
	}

	void TearDown() override {
		shapes.reset();
		RwStartedTestCase::TearDown();
	}

	// Made once the library runs, which gives the matrices; gone before
	// it closes.
	struct Shapes {
		EFObjCollisionSphere		other{ nullptr };
		EFObjCollisionSweptSphere	capsule{ nullptr };
		EFObjCollisionBBox			cube{ nullptr };
		EFObjCollisionBBox			turned{ nullptr };
		EFObjCollisionPolygon		polygons{ nullptr };
	};
	std::unique_ptr<Shapes>			shapes;
	EFObjCollisionSphere*			other = nullptr;
	EFObjCollisionSweptSphere*		capsule = nullptr;
	EFObjCollisionBBox*				cube = nullptr;
	EFObjCollisionBBox*				turned = nullptr;
	EFObjCollisionPolygon*			polygons = nullptr;
	std::unique_ptr<EFCollisionMap>	records;
};

// What a row expects: the result, then the normal with the time (a hit)
// or the push size (an overlap).
struct Expected {
	u32			result;
	DTVector3d	normal;
	f32			value;
};

void ExpectOutcome( const u32 result, const EFCheckCollisionOut& out, const EFCheckCollisionIn& in, const Expected& want ) {
	ASSERT_EQ( result, want.result );
	if ( result == CS_COL_HIT ) {
		ExpectNear( out.moColNormal, want.normal );
		EXPECT_NEAR( out.mfTime, want.value, TOLERANCE );
		ExpectNear( out.moEffectivePartDep, in.moVelocity * want.value );
	} else if ( result == CS_COL_PUSH ) {
		ExpectNear( out.moColNormal, want.normal );
		EXPECT_NEAR( out.mfPushSize, want.value, TOLERANCE );
	}
}

TEST_F( EFObjCollisionSphereTest, TheSphereAgainstEveryShapeMeetsItsEdgeCases ) {
	const f32 sqrtHalf = std::sqrt( 0.5f );
	struct Row {
		const char*			name;
		EFObjCollisionPrim*	target;
		DTVector3d			centre;
		f32					radius;
		DTVector3d			velocity;
		f32					maxTime;
		Expected			want;
	} rows[] = {
		// Another sphere of radius 1 at the origin.
		{ "coincident centres push up", other, DTVector3d( 0.01f, -0.01f, 0.005f ), 1, ZERO, 1,
		  { CS_COL_PUSH, UP, 2.0f - 0.015f } },
		{ "overlapping centres push apart", other, DTVector3d( 0, 0, -1.5f ), 1, ZERO, 1,
		  { CS_COL_PUSH, DTVector3d( 0, 0, -1 ), 0.5f } },
		{ "exactly touching and approaching", other, DTVector3d( 2, 0, 0 ), 1, DTVector3d( -1, 0, 0 ), 1,
		  { CS_COL_HIT, DTVector3d( 1, 0, 0 ), 0.0f } },
		{ "head on", other, DTVector3d( 0, 5, 0 ), 1, DTVector3d( 0, -2, 0 ), 2, { CS_COL_HIT, UP, 1.5f } },
		{ "moving apart", other, DTVector3d( 3, 0, 0 ), 1, DTVector3d( 1, 0, 0 ), 1, { CS_COL_PAST, ZERO, 0 } },
		{ "sphere too late", other, DTVector3d( 5, 0, 0 ), 1, DTVector3d( -1, 0, 0 ), 2, { CS_COL_TOOLATE, ZERO, 0 } },
		// The capsule from (0, -1, 0) to (0, 1, 0), radius 0.5.
		{ "beside the capsule's segment", capsule, DTVector3d( 0.6f, 0.5f, 0 ), 0.5f, ZERO, 1,
		  { CS_COL_PUSH, DTVector3d( 1, 0, 0 ), 0.4f } },
		{ "beyond the capsule's end", capsule, DTVector3d( 0, 1.5f, 0 ), 0.5f, ZERO, 1, { CS_COL_PUSH, UP, 0.5f } },
		{ "capsule side hit", capsule, DTVector3d( 3, 0.5f, 0 ), 0.5f, DTVector3d( -1, 0, 0 ), 5,
		  { CS_COL_HIT, DTVector3d( 1, 0, 0 ), 2.0f } },
		{ "capsule cap hit", capsule, DTVector3d( 0, 4, 0 ), 0.5f, DTVector3d( 0, -1, 0 ), 5, { CS_COL_HIT, UP, 2.0f } },
		// Beyond the maximum time the capsule test answers no contact.
		{ "capsule too late", capsule, DTVector3d( 3, 0, 0 ), 0.5f, DTVector3d( -1, 0, 0 ), 1, { 0, ZERO, 0 } },
		// The unit cube at the origin.
		{ "resting on the top face near an edge", cube, DTVector3d( 0.9f, 1.3f, 0 ), 0.5f, ZERO, 1,
		  { CS_COL_PUSH, UP, 0.2f } },
		{ "beyond a vertical edge within reach", cube, DTVector3d( 1.2f, 0, 1.2f ), 0.5f, ZERO, 1,
		  { CS_COL_PUSH, DTVector3d( sqrtHalf, 0, sqrtHalf ), 0.5f - std::sqrt( 0.08f ) } },
		{ "centre inside the box", cube, DTVector3d( 0.2f, -0.7f, -0.1f ), 0.5f, ZERO, 1,
		  { CS_COL_PUSH, DTVector3d( 0, -1, 0 ), 0.8f } },
		{ "box face hit", cube, DTVector3d( 0, 4, 0 ), 0.5f, DTVector3d( 0, -1, 0 ), 5, { CS_COL_HIT, UP, 2.5f } },
		{ "box edge hit", cube, DTVector3d( 3, 0, 3 ), 0.5f, DTVector3d( -1, 0, -1 ), 5,
		  { CS_COL_HIT, DTVector3d( sqrtHalf, 0, sqrtHalf ), ( std::sqrt( 8.0f ) - 0.5f ) / std::sqrt( 2.0f ) } },
		{ "box corner hit", cube, DTVector3d( 3, 3, 3 ), 0.5f, DTVector3d( -1, -1, -1 ), 5,
		  { CS_COL_HIT, Unit( 1, 1, 1 ), ( std::sqrt( 12.0f ) - 0.5f ) / std::sqrt( 3.0f ) } },
		{ "moving away from the box", cube, DTVector3d( 0, 4, 0 ), 0.5f, DTVector3d( 0, 1, 0 ), 5, { 0, ZERO, 0 } },
		{ "box entry too late", cube, DTVector3d( 0, 4, 0 ), 0.5f, DTVector3d( 0, -1, 0 ), 2, { 0, ZERO, 0 } },
		// The turned box presents its 0.5 half extent along world x.
		{ "turned box face hit", turned, DTVector3d( 14, 0.5f, 0 ), 0.5f, DTVector3d( -1, 0, 0 ), 5,
		  { CS_COL_HIT, DTVector3d( 1, 0, 0 ), 3.0f } },
		{ "turned box push", turned, DTVector3d( 10.2f, 0, 2.3f ), 0.5f, ZERO, 1,
		  { CS_COL_PUSH, DTVector3d( 0, 0, 1 ), 0.2f } },
		// The polygon primitive's squares at world y = 10 and 12.
		{ "the nearer polygon wins", polygons, DTVector3d( 0, 15, 0 ), 0.5f, DTVector3d( 0, -1, 0 ), 10,
		  { CS_COL_HIT, UP, 2.5f } },
		{ "an overlap wins over a later hit", polygons, DTVector3d( 0, 12.3f, 0 ), 0.5f, DTVector3d( 0, -1, 0 ), 10,
		  { CS_COL_PUSH, UP, 0.2f } },
		{ "polygons out of time", polygons, DTVector3d( 0, 15, 0 ), 0.5f, DTVector3d( 0, -1, 0 ), 2, { 0, ZERO, 0 } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		const auto mover = Sphere( row.centre, row.radius );
		const EFCheckCollisionIn in = { row.maxTime, row.velocity };
		EFCheckCollisionOut out = {};
		ExpectOutcome( mover->CheckObjPrimCollision( in, out, row.target ), out, in, row.want );
		// The other shapes mirror the sphere's test: the same contact,
		// seen from them.
		if ( row.target != other && ( row.want.result & ( CS_COL_HIT | CS_COL_PUSH ) ) != 0 ) {
			const EFCheckCollisionIn reversed = { row.maxTime, -row.velocity };
			EFCheckCollisionOut mirrored = {};
			EXPECT_EQ( row.target->CheckObjPrimCollision( reversed, mirrored, mover.get() ), row.want.result );
			ExpectNear( mirrored.moColNormal, -out.moColNormal );
		}
	}
}

// One polygon of a collision map: the square of 4 x 4 at y = 0 facing up,
// one-sided, two-sided or letting movers along its normal pass.
TEST_F( EFObjCollisionSphereTest, TheSinglePolygonTestMeetsItsEdgeCases ) {
	ToolColMap scene;
	scene.attribs.resize( 3 );
	scene.attribs[1].flags = 0x1;
	scene.attribs[2].flags = 0x3;
	for ( u32 attrib = 0; attrib < 3; attrib++ ) {
		const f32 x = 20.0f * static_cast<f32>( attrib );
		scene.polygons.push_back(
			Quad( { x - 2, 0, -2 }, { x - 2, 0, 2 }, { x + 2, 0, 2 }, { x + 2, 0, -2 }, attrib ) );
	}
	ToolColMapLayout layout;
	std::unique_ptr<EFCollisionMap> map = LoadMap( EncodeMap( scene, &layout ) );
	ASSERT_NE( map, nullptr );
	EFEnvCollisionPrim* square[3];
	for ( u32 i = 0; i < 3; i++ ) {
		square[i] = reinterpret_cast<EFEnvCollisionPrim*>( const_cast<u8*>( map->GetBlob() ) + 16 +
														   layout.polygonOffsets[i] );
	}
	enum { ONE_SIDED, TWO_SIDED, PASSING };
	const DTVector3d edgeNormal = Unit( 0.2f, -0.1f, 0 );
	const f32 edgePush = 0.5f - std::sqrt( 0.05f );
	struct Row {
		const char*	name;
		u32			polygon;
		DTVector3d	centre;
		DTVector3d	velocity;
		f32			maxTime;
		Expected	want;
	} rows[] = {
		{ "face hit", ONE_SIDED, DTVector3d( 0, 3, 0 ), DTVector3d( 0, -1, 0 ), 5, { CS_COL_HIT, UP, 2.5f } },
		{ "overlap of the face", ONE_SIDED, DTVector3d( 0, 0.3f, 0 ), ZERO, 1, { CS_COL_PUSH, UP, 0.2f } },
		{ "sliding along the plane behind it", TWO_SIDED, DTVector3d( 0, -1, 0 ), DTVector3d( 1, 0, 0 ), 5,
		  { 0, ZERO, 0 } },
		{ "behind to beyond reach in front", TWO_SIDED, DTVector3d( 0, -1, 0 ), DTVector3d( 0, 1, 0 ), 3,
		  { 0, ZERO, 0 } },
		{ "behind to within reach, two-sided", TWO_SIDED, DTVector3d( 0, -1, 0 ), DTVector3d( 0, 1, 0 ), 1.2f,
		  { CS_COL_HIT, DTVector3d( 0, -1, 0 ), 0.5f } },
		{ "behind to within reach, one-sided", ONE_SIDED, DTVector3d( 0, -1, 0 ), DTVector3d( 0, 1, 0 ), 1.2f,
		  { 0, ZERO, 0 } },
		{ "no time to move", ONE_SIDED, DTVector3d( 0, 3, 0 ), DTVector3d( 0, -1, 0 ), 0, { 0, ZERO, 0 } },
		{ "overlap behind the face is dropped", ONE_SIDED, DTVector3d( 0, -0.3f, 0 ), ZERO, 1, { 0, ZERO, 0 } },
		{ "overlap behind, two-sided", TWO_SIDED, DTVector3d( 0, -0.3f, 0 ), ZERO, 1,
		  { CS_COL_PUSH, DTVector3d( 0, -1, 0 ), 0.2f } },
		{ "overlap behind an edge is flattened", ONE_SIDED, DTVector3d( 2.2f, -0.1f, 0 ), ZERO, 1,
		  { CS_COL_PUSH, DTVector3d( 1, 0, 0 ), edgePush * edgeNormal.x } },
		{ "overlap behind an edge, two-sided", TWO_SIDED, DTVector3d( 2.2f, -0.1f, 0 ), ZERO, 1,
		  { CS_COL_PUSH, edgeNormal, edgePush } },
		{ "moving along the normal passes", PASSING, DTVector3d( 0, -1, 0 ), DTVector3d( 0, 1, 0 ), 1.2f,
		  { 0, ZERO, 0 } },
		{ "moving against the normal stops", PASSING, DTVector3d( 0, 3, 0 ), DTVector3d( 0, -1, 0 ), 5,
		  { CS_COL_HIT, UP, 2.5f } },
		{ "edge hit", ONE_SIDED, DTVector3d( 3, 0.2f, 0 ), DTVector3d( -1, 0, 0 ), 5,
		  { CS_COL_HIT, DTVector3d( std::sqrt( 0.21f ) / 0.5f, 0.4f, 0 ), 1.0f - std::sqrt( 0.21f ) } },
		{ "vertex hit", ONE_SIDED, DTVector3d( 3, 0, 3 ), DTVector3d( -1, 0, -1 ), 5,
		  { CS_COL_HIT, Unit( 1, 0, 1 ), ( std::sqrt( 2.0f ) - 0.5f ) / std::sqrt( 2.0f ) } },
		{ "edge moving away", ONE_SIDED, DTVector3d( 3, 0.2f, 0 ), DTVector3d( 1, 0, 0 ), 5, { CS_COL_PAST, ZERO, 0 } },
		{ "edge too late", ONE_SIDED, DTVector3d( 3, 0.2f, 0 ), DTVector3d( -1, 0, 0 ), 0.5f,
		  { CS_COL_TOOLATE, ZERO, 0 } },
		{ "edge hit from below, one-sided", ONE_SIDED, DTVector3d( 3, -0.2f, 0 ), DTVector3d( -1, 0, 0 ), 5,
		  { 0, ZERO, 0 } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		const auto mover = Sphere( row.centre + DTVector3d( 20.0f * static_cast<f32>( row.polygon ), 0, 0 ),
											 0.5f );
		const EFCheckCollisionIn in = { row.maxTime, row.velocity };
		EFCheckCollisionOut out = {};
		ExpectOutcome( mover->CheckEnvCollision( in, out, square[row.polygon] ), out, in, row.want );
	}
	// A polygon of the primitive reads no attribute record: the one-sided
	// square's back is hit as any other side.
	const auto behind = Sphere( DTVector3d( 0, -1, 0 ), 0.5f );
	const EFCheckCollisionIn up = { 1.2f, DTVector3d( 0, 1, 0 ) };
	EFCheckCollisionOut out = {};
	DTVector3d centre = behind->moPrimPos;
	EXPECT_EQ( behind->CheckSinglePolygonCollision( up, out, square[ONE_SIDED], centre, 0 ), CS_COL_HIT );
	// A plane normal far from unit length is skipped.
	square[ONE_SIDED]->moPlane.moNormal = UP * 1.02f;
	EXPECT_EQ( behind->CheckSinglePolygonCollision( up, out, square[ONE_SIDED], centre, 0 ), 0u );
}

TEST_F( EFObjCollisionSphereTest, PointParticleAndRayQueries ) {
	const auto sphere = Sphere( DTVector3d( 1, 2, 3 ), 2.0f );
	EXPECT_TRUE( sphere->CheckPointIntersection( DTVector3d( 1, 4, 3 ) ) );
	EXPECT_FALSE( sphere->CheckPointIntersection( DTVector3d( 1, 4.001f, 3 ) ) );

	// Touching at 2.5 (radius 0.5), apart, touching and already marked.
	PLParticle particles[4];
	const f32 xs[] = { 5.5f, 6.0f, 1.0f, 2.0f };
	for ( u32 i = 0; i < 4; i++ ) {
		particles[i].moPosition = DTVector3d( xs[i], 2, 3 );
		particles[i].mfRadius = i == 0 ? 2.5f : 0.5f;
		particles[i].mpoNext = i < 3 ? &particles[i + 1] : nullptr;
	}
	PLParticle::mui16GlobalCount = 7;
	particles[3].mui16Mark = 7;
	EXPECT_EQ( sphere->CheckParticlesIntersection( &particles[1], false ), 1u );
	EXPECT_EQ( sphere->CheckParticlesIntersection( &particles[3], false ), 1u );	// marks are not read
	EXPECT_EQ( sphere->CheckParticlesIntersection( &particles[0], true ), 2u );
	EXPECT_EQ( particles[0].mui16Mark, 7 );
	EXPECT_EQ( particles[1].mui16Mark, 0 );
	EXPECT_EQ( particles[2].mui16Mark, 7 );
	EXPECT_EQ( sphere->CheckParticlesIntersection( &particles[0], true ), 0u );

	struct Row {
		const char*	name;
		DTVector3d	start;
		DTVector3d	displacement;
		f32			t;
		u32			result;
		f32			tAfter;
		DTVector3d	normal;
	} rows[] = {
		{ "starts inside", DTVector3d( 1, 2, 4 ), DTVector3d( 10, 0, 0 ), 0.5f, 1, 0.0f, DTVector3d( 0, 0, 1 ) },
		{ "hit", DTVector3d( 1, 10, 3 ), DTVector3d( 0, -10, 0 ), 1.0f, 1, 0.6f, UP },
		{ "hit at exactly t", DTVector3d( 1, 10, 3 ), DTVector3d( 0, -10, 0 ), 0.6f, 1, 0.6f, UP },
		{ "hit beyond t", DTVector3d( 1, 10, 3 ), DTVector3d( 0, -10, 0 ), 0.5f, 0, 0.5f, ZERO },
		{ "miss", DTVector3d( 4, 10, 3 ), DTVector3d( 0, -10, 0 ), 1.0f, 0, 1.0f, ZERO },
		{ "pointing away", DTVector3d( 1, 10, 3 ), DTVector3d( 0, 10, 0 ), 1.0f, 0, 1.0f, ZERO },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		RayIntersectIn in = { row.start, row.displacement, 0, 0, 0, 0, 0 };
		EFRayIntersectOut out = {};
		f32 t = row.t;
		EXPECT_EQ( sphere->RayIntersect( in, out, t ), row.result );
		EXPECT_NEAR( t, row.tAfter, TOLERANCE );
		ExpectNear( out.oIntersectionNormal, row.normal );
	}
}

TEST_F( EFObjCollisionSphereTest, TheEscapeFollowsTheHorizontalVelocityOrOneOf256RandomHeadings ) {
	const auto sphere = Sphere( ZERO, 1.0f );
	DTVector3d escape;
	DTVector3d velocity( 3, -7, 4 );
	sphere->GetEscapeNoPF( DTVector3d( 100, 0, 0 ), escape, velocity );
	ExpectNear( escape, DTVector3d( 0.6f, 0, 0.8f ) );

	// A body standing almost still: unit horizontal headings, each a
	// multiple of 1/256 of a turn, and every one of them in time.
	RuntimeSrand( 51 );
	velocity = DTVector3d( 0.07f, 5, 0.07f );
	std::set<int> headings;
	for ( int i = 0; i < 4000; i++ ) {
		sphere->GetEscapeNoPF( ZERO, escape, velocity );
		EXPECT_EQ( escape.y, 0.0f );
		EXPECT_NEAR( escape.x * escape.x + escape.z * escape.z, 1.0f, 1e-5f );
		const double turns = std::atan2( double( escape.x ), double( escape.z ) ) / ( 2.0 * M_PI ) * 256.0;
		const double step = turns < -1e-3 ? turns + 256.0 : turns;
		ASSERT_NEAR( step, std::round( step ), 1e-3 );
		headings.insert( static_cast<int>( std::lround( step ) ) % 256 );
	}
	EXPECT_EQ( headings.size(), 256u );
}

}	// namespace

namespace {

typedef std::array<double, 3> D3;

D3 Along( const DTVector3d& c, const DTVector3d& v, const double t ) {
	return { c.x + v.x * t, c.y + v.y * t, c.z + v.z * t };
}

// Outcome classes of the sampled comparison.
struct Tally {
	u32 compared = 0;
	u32 nearBoundary = 0;
	std::map<std::string, u32> allowed;
};

}	// namespace

// Random spheres moving past random convex polygons (3 to 32 vertices;
// tested as a polygon primitive's, so two-sided and unfiltered), against
// the distance to the polygon sampled in double precision along the
// motion. A hit never comes before the true contact and, unless the
// latest of several edge contacts won, lies at the sphere's surface; an
// overlap is real, none is missed, and none pushes deeper than the true
// depth. A missed contact must come from a stated rule of the test.
TEST_F( EFObjCollisionSphereTest, ContactsAgreeWithTheSampledDistanceToThePolygon ) {
	const ToolColMap scene = ToolRandomCollisionScene( 111, 400, 20.0f );
	ToolColMapLayout layout;
	std::unique_ptr<EFCollisionMap> map = LoadMap( EncodeMap( scene, &layout ) );
	ASSERT_NE( map, nullptr );
	const std::vector<OraclePolygon> oracle = OracleOf( scene );
	std::mt19937 rng( 5111 );
	std::uniform_real_distribution<f32> unit( -1.0f, 1.0f );
	constexpr u32 CASES = 10000;
	constexpr u32 SAMPLES = 256;
	constexpr double NEAR = 1e-3;
	Tally tally;
	for ( u32 i = 0; i < CASES; i++ ) {
		const u32 index = rng() % static_cast<u32>( scene.polygons.size() );
		const OraclePolygon& p = oracle[index];
		EFEnvCollisionPrim* const polygon =
			reinterpret_cast<EFEnvCollisionPrim*>( const_cast<u8*>( map->GetBlob() ) + 16 + layout.polygonOffsets[index] );
		const f32 r = 0.2f + 0.65f * ( unit( rng ) + 1.0f );
		DTVector3d centre( static_cast<f32>( p.centre[0] ) + unit( rng ) * 6.0f,
						   static_cast<f32>( p.centre[1] ) + unit( rng ) * 6.0f,
						   static_cast<f32>( p.centre[2] ) + unit( rng ) * 6.0f );
		const DTVector3d velocity( unit( rng ) * 8.0f, unit( rng ) * 8.0f, unit( rng ) * 8.0f );
		const f32 maxTime = 0.25f + 0.6f * ( unit( rng ) + 1.0f );
		// The sampled first contact: the first time the distance falls to
		// r, found by bisection after the first sample within reach.
		const double d0 = OracleDistance( p, Along( centre, velocity, 0.0 ) );
		double first = -1.0;
		double closest = d0;
		// A motion that passes the polygon's bounding sphere farther than
		// the radius (and a margin) cannot touch it.
		const bool far = OracleFar( p, Along( centre, ZERO, 0.0 ),
									{ velocity.x * maxTime, velocity.y * maxTime, velocity.z * maxTime }, r + 0.1 );
		for ( u32 k = 1; k <= SAMPLES && first < 0.0 && !far; k++ ) {
			const double t = maxTime * k / SAMPLES;
			const double d = OracleDistance( p, Along( centre, velocity, t ) );
			closest = std::min( closest, d );
			if ( d <= r ) {
				double lo = maxTime * ( k - 1 ) / SAMPLES;
				double hi = t;
				for ( int b = 0; b < 40; b++ ) {
					const double mid = 0.5 * ( lo + hi );
					( OracleDistance( p, Along( centre, velocity, mid ) ) <= r ? hi : lo ) = mid;
				}
				first = hi;
			}
		}
		const double h = OracleDot( p.n, { centre.x, centre.y, centre.z } ) + p.d;
		const double hEnd = h + OracleDot( p.n, { velocity.x, velocity.y, velocity.z } ) * maxTime;
		if ( std::fabs( d0 - r ) < NEAR || std::fabs( closest - r ) < NEAR ) {
			tally.nearBoundary++;
			continue;
		}
		EFObjCollisionSphere mover( nullptr );
		mover.moPrimPos = centre;
		mover.mfMaxRadius = r;
		const EFCheckCollisionIn in = { maxTime, velocity };
		EFCheckCollisionOut out = {};
		const u32 result = mover.CheckSinglePolygonCollision( in, out, polygon, centre, 0 );
		SCOPED_TRACE( i );
		tally.compared++;
		if ( result == CS_COL_PUSH ) {
			ASSERT_LT( d0, r );
			EXPECT_GT( out.mfPushSize, 0.0f );
			EXPECT_LE( out.mfPushSize, r - d0 + NEAR );
			EXPECT_NEAR( out.moColNormal * out.moColNormal, 1.0f, 1e-3f );
			continue;
		}
		if ( result == CS_COL_HIT ) {
			if ( out.mfTime == 0.0f && d0 < r ) {
				// Within reach of an edge's segment from the start while the
				// overlap step's nearest edge was another one.
				tally.allowed["overlap reported as a hit at 0"]++;
				continue;
			}
			ASSERT_GT( d0, r );
			ASSERT_GE( first, 0.0 );
			// Never before the true contact.
			EXPECT_GE( out.mfTime, first - 1e-4 );
			if ( out.mfTime > first + 1e-4 ) {
				// Of several edges the latest line contact wins.
				tally.allowed["a later edge contact wins"]++;
				continue;
			}
			EXPECT_NEAR( OracleDistance( p, Along( centre, velocity, out.mfTime ) ), r, 2 * NEAR );
			continue;
		}
		if ( d0 < r ) {
			ADD_FAILURE() << "missed overlap, distance " << d0;
			continue;
		}
		if ( first < 0.0 ) {
			continue;	// a real miss
		}
		if ( h < -r && hEnd > r ) {
			tally.allowed["from behind to beyond the front"]++;
		} else if ( ( result & ( CS_COL_NOAPPROACH | CS_COL_PAST ) ) != 0 ) {
			tally.allowed["an edge out of reach ends the sweep"]++;
		} else if ( result == CS_COL_TOOLATE ) {
			tally.allowed["an edge contact beyond the time ends the sweep"]++;
		} else if ( std::fabs( h ) < r ) {
			// The overlap pass stops at the first edge out of reach, and
			// only the edges seen so far are swept.
			tally.allowed["the sphere cuts the plane: the overlap pass's edges"]++;
		} else {
			ADD_FAILURE() << "missed contact at " << first;

		}
	}
	for ( const auto& [rule, count] : tally.allowed ) {
		std::printf( "  %s: %u\n", rule.c_str(), count );
	}
	std::printf( "  compared %u, near a boundary %u\n", tally.compared, tally.nearBoundary );
	EXPECT_LT( tally.nearBoundary, CASES / 100 );
}
