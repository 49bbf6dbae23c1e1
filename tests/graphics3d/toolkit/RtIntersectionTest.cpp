#include "graphics3d/core/RwTestEngine.h"
#include "graphics3d/world/RtIntersection.h"

#include <cmath>

namespace {

class RtIntersectionTest : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		// The library's table square roots are in force while it runs.
		ASSERT_TRUE( RwTestBringUp( &rwTestEngineMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
	}
};

constexpr f32 UNTOUCHED = 1234.5f;

TEST_F( RtIntersectionTest, SphereAgainstHandWorkedTriangles ) {
	struct Case {
		const char*		name;
		RwSphere		sphere;
		RwV3d			a, b, c;
		bool			touches;
		f32				distance;	// UNTOUCHED: not written
	};
	const f32 s = 0.1f / std::sqrt( 3.0f );
	const Case cases[] = {
		{ "contains a small triangle", { { 0, 0, 0 }, 1 }, { 0.1f, 0, 0 }, { 0, 0.1f, 0 }, { 0, 0, 0.1f }, true, -s },
		{ "centre over the inside", { { 0.5f, 0.5f, 0.5f }, 1 }, { 0, 0, 0 }, { 4, 0, 0 }, { 0, 4, 0 }, true, 0.5f },
		{ "touches the middle of an edge", { { 0, 0, 0 }, 0.6f }, { -2, 0.5f, 0 }, { 2, 0.5f, 0 }, { 0, 3, 0 }, true, 0 },
		{ "beyond the nearest vertex", { { 0, 0, 0 }, 1 }, { 0.9f, 0.9f, 0 }, { 3, 0.9f, 0 }, { 0.9f, 3, 0 }, false, 0 },
		{ "beyond an edge", { { 0, 0, 0 }, 0.9f }, { 2, -0.7f, 0 }, { -0.7f, 2, 0 }, { 3, 3, 0 }, false, 0 },
		{ "plane out of reach", { { 0, 0, 0 }, 0.8f }, { 1.5f, 0, 0 }, { 0, 1.5f, 0 }, { 0, 0, 1.5f }, false, UNTOUCHED },
		{ "outside the cube above", { { 0, 0, 0 }, 1 }, { 1, 0, 0 }, { 1, 1, 0 }, { 1, 0, 1 }, false, UNTOUCHED },
		{ "on the cube below", { { 0, 0, 0 }, 1 }, { -1, 0, 0 }, { -1, 1, 0 }, { -1, 0, 1 }, true, 1 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		RwV3d normal = { UNTOUCHED, UNTOUCHED, UNTOUCHED };
		f32 distance = UNTOUCHED;
		EXPECT_EQ( RtIntersectionSphereTriangle( &c.sphere, &c.a, &c.b, &c.c, &normal, &distance ), c.touches );
		if ( c.distance == UNTOUCHED ) {
			EXPECT_EQ( distance, UNTOUCHED );
		} else {
			EXPECT_NEAR( distance, c.distance, 1e-3f );
			EXPECT_NEAR( normal.x * normal.x + normal.y * normal.y + normal.z * normal.z, 1.0f, 1e-3f );
		}
	}
}

TEST_F( RtIntersectionTest, SphereWritesTheNormalOfADegenerateTriangle ) {
	const RwSphere sphere = { { 0, 0, 0 }, 1 };
	const RwV3d a = { 0.1f, 0, 0 };
	const RwV3d c = { 0, 0.1f, 0 };
	RwV3d normal = { UNTOUCHED, UNTOUCHED, UNTOUCHED };
	f32 distance = UNTOUCHED;
	EXPECT_FALSE( RtIntersectionSphereTriangle( &sphere, &a, &a, &c, &normal, &distance ) );
	EXPECT_EQ( normal.x, 0.0f );
	EXPECT_EQ( normal.y, 0.0f );
	EXPECT_EQ( normal.z, 0.0f );
	EXPECT_EQ( distance, UNTOUCHED );

	// The normal follows the winding: (B - A) x (C - A).
	const RwV3d b = { 0, 0.1f, 0 };
	const RwV3d z = { 0, 0, 0.1f };
	const RwV3d origin = { 0, 0, 0 };
	EXPECT_TRUE( RtIntersectionSphereTriangle( &sphere, &origin, &a, &b, &normal, &distance ) );
	EXPECT_NEAR( normal.z, 1.0f, 1e-3f );
	EXPECT_TRUE( RtIntersectionSphereTriangle( &sphere, &origin, &b, &a, &normal, &distance ) );
	EXPECT_NEAR( normal.z, -1.0f, 1e-3f );
	(void)z;
}

TEST_F( RtIntersectionTest, BoxAgainstHandWorkedTriangles ) {
	const RwBBox box = { { 1, 1, 1 }, { -1, -1, -1 } };
	struct Case {
		const char*		name;
		RwV3d			a, b, c;
		bool			touches;
	};
	const Case cases[] = {
		{ "a vertex inside", { 5, 5, 5 }, { 0, 0, 0 }, { 5, -5, 5 }, true },
		{ "a vertex on a face", { 1, 0, 0 }, { 5, 5, 5 }, { 5, -5, 5 }, true },
		{ "a vertex on a corner", { 9, 9, 9 }, { 7, 9, 9 }, { 1, 1, 1 }, true },
		{ "all beyond one face", { 2, 0, 0 }, { 3, 1, 0 }, { 2, 1, 1 }, false },
		{ "an edge through the box", { -5, 0, 0 }, { 5, 0, 0 }, { 0, 10, 10 }, true },
		{ "an edge past a corner", { -5, 1.5f, 0 }, { 5, 1.5f, 0 }, { 0, 10, 10 }, false },
		{ "slices the box with everything outside", { 30, -15, -15 }, { -15, 30, -15 }, { -15, -15, 30 }, true },
		{ "same slice reversed", { 30, -15, -15 }, { -15, -15, 30 }, { -15, 30, -15 }, true },
		{ "plane misses the box", { 40, -15, -15 }, { -15, 40, -15 }, { -15, -15, 40 }, false },
		{ "edges around the box, plane through a corner region", { 3, -3, 0 }, { 3, 3, 0 }, { 9, 0, 0 }, false },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		EXPECT_EQ( RtIntersectionBBoxTriangle( &box, &c.a, &c.b, &c.c ), c.touches );
	}
}

TEST_F( RtIntersectionTest, BoxDiagonalTestTakesNegativeZeroAsNegative ) {
	// A plane x = -y through the centre with m.x = +0 and m.y = -0 cannot
	// be told apart by value; only the sign bits pick the diagonal.
	const RwBBox box = { { 1, 1, 1 }, { -1, -1, -1 } };
	const RwV3d a = { -20, 20, -20 };
	const RwV3d b = { 20, -20, -20 };
	const RwV3d c = { 0, 0, 40 };
	EXPECT_TRUE( RtIntersectionBBoxTriangle( &box, &a, &b, &c ) );
	EXPECT_TRUE( RtIntersectionBBoxTriangle( &box, &a, &c, &b ) );
}

}	// namespace
