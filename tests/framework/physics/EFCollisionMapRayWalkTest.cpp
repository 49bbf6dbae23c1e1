#include "framework/physics/CollisionMapTestScenes.h"

namespace {

// A slab 10 wide, 2 high and 2 deep: the root splits it on x only, so
// its y and z stay whole in each child. A small floor triangle fills the
// low-x child, a two-sided wall at x = 5 the high-x child.
ToolColMap ThinSlab() {
	ToolColMap scene;
	scene.attribs.resize( 1 );
	scene.attribs[0].flags = 0x1;
	scene.leafSize = 1;
	ToolColPolygon floor;
	floor.vertices = { { -5, 0, 0.5f }, { -4, 0, 1 }, { -4, 0, 0.5f } };
	scene.polygons.push_back( floor );
	scene.polygons.push_back( Quad( { 5, 0, -1 }, { 5, 2, -1 }, { 5, 2, 1 }, { 5, 0, 1 } ) );
	return scene;
}

class Collector : public EFRayIntersectOut::Listener {
public:
	bool RayIntersectionOccured( const EFRayIntersectOut& out, RayIntersectResult ) override {
		hits.push_back( out.poEnvCollider );
		return true;
	}
	std::vector<EFEnvCollisionPrim*> hits;
};

}	// namespace

// A ray that crosses the middle of an unsplit axis before it crosses the
// split goes on through the children that exist: the child spans the
// whole node on the unsplit axis, so only the node's own face ends it.
TEST( EFCollisionMapRayWalkTest, ARayCrossingAThinUnsplitSlabUpwardReachesEveryLeafOnItsWay ) {
	ToolColMapLayout layout;
	std::unique_ptr<EFCollisionMap> map = LoadMap( EncodeMap( ThinSlab(), &layout ) );
	ASSERT_NE( map, nullptr );
	ASSERT_EQ( map->GetRoot()->ui32Flags, EF_OCTREE_SPLIT_X );
	const EFEnvCollisionPrim* const wall =
		reinterpret_cast<const EFEnvCollisionPrim*>( map->GetBlob() + 16 + layout.polygonOffsets[1] );
	struct Row {
		const char*	name;
		DTVector3d	start;
		DTVector3d	displacement;
	} rows[] = {
		// Crosses y = 1 (the middle) at t = 0.2, x = 0 (the split) at 0.45.
		{ "upward", DTVector3d( -4.5f, 0.8f, 0 ), DTVector3d( 10, 1, 0 ) },
		{ "downward", DTVector3d( -4.5f, 1.75f, 0 ), DTVector3d( 10, -1, 0 ) },
		{ "upward and sideways", DTVector3d( -4.5f, 0.8f, -0.5f ), DTVector3d( 10, 1, 1 ) },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		RayIntersectIn in = { row.start, row.displacement, 0, 0, 0x1, 0, 0 };
		EFRayIntersectOut out = {};
		f32 t = 1.0f;
		EFPhysicMgr::msui32GetPrimCount++;
		EXPECT_EQ( map->RayIntersect( in, out, t ), PS_RAY_ENV );
		EXPECT_EQ( out.poEnvCollider, wall );
		EXPECT_FLOAT_EQ( t, 0.95f );
		Collector listener;
		EFRayIntersectOut all = {};
		all.poListener = &listener;
		t = 1.0f;
		EFPhysicMgr::msui32GetPrimCount++;
		EXPECT_EQ( map->RayIntersect( in, all, t ), PS_RAY_MANY );
		EXPECT_EQ( listener.hits, std::vector<EFEnvCollisionPrim*>{ const_cast<EFEnvCollisionPrim*>( wall ) } );
	}
}
