#include "framework/physics/CollisionMapFixtures.h"
#include "framework/physics/CollisionMapTestScenes.h"

#include "framework/core/engine/EFCoreTestBench.h"
#include "support/TestHexBytes.h"

#include "datatypes/persist/DTMemoryPersistStream.h"
#include "tools/lib/level/ToolMalformedData.h"

#include <map>
#include <set>

namespace {

// Polygon index of each record of a loaded map.
std::map<const EFEnvCollisionPrim*, size_t> IndexOf( const EFCollisionMap& map, const ToolColMapLayout& layout ) {
	std::map<const EFEnvCollisionPrim*, size_t> index;
	for ( size_t i = 0; i < layout.polygonOffsets.size(); i++ ) {
		index[reinterpret_cast<const EFEnvCollisionPrim*>( map.GetBlob() + 16 + layout.polygonOffsets[i] )] = i;
	}
	return index;
}

std::vector<EFEnvCollisionPrim*> Sphere( EFCollisionMap& map, const DTVector3d& centre, const f32 radius,
										 const u32 detect = 0xFFFFFFFF, const u32 capacity = 4096,
										 const u32 udDetect = 0 ) {
	std::vector<EFEnvCollisionPrim*> out( capacity + 1, nullptr );
	EFGetPrimitivesInSphereData query = { DTSphere( centre, radius ), detect, udDetect, out.data(), capacity };
	EFPhysicMgr::msui32GetPrimCount++;
	const u32 found = map.GetPrimitivesInSphere( &query );
	EXPECT_EQ( query.ppoOutput, out.data() + found );
	EXPECT_EQ( query.ui32Capacity, capacity - found );
	out.resize( found );
	return out;
}

struct RayResult {
	RayIntersectResult	result;
	f32					t;
	EFEnvCollisionPrim*	hit;
};

RayResult Ray( EFCollisionMap& map, const DTVector3d& start, const DTVector3d& displacement, u32 detect = 0xFFFFFFFF,
			   EFRayIntersectOut::Listener* listener = nullptr, f32 t = 1.0f ) {
	RayIntersectIn in = { start, displacement, 0, 0, detect, 0, 0 };
	EFRayIntersectOut out = {};
	out.poListener = listener;
	EFPhysicMgr::msui32GetPrimCount++;
	const RayIntersectResult result = map.RayIntersect( in, out, t );
	return { result, t, out.poEnvCollider };
}

class Recorder : public EFRayIntersectOut::Listener {
public:
	explicit Recorder( int stopAfter = -1 ) : stop( stopAfter ) {}
	bool RayIntersectionOccured( const EFRayIntersectOut& out, RayIntersectResult result ) override {
		EXPECT_EQ( result, PS_RAY_ENV );
		hits.push_back( out.poEnvCollider );
		return stop < 0 || static_cast<int>( hits.size() ) < stop;
	}
	int								stop;
	std::vector<EFEnvCollisionPrim*>	hits;
};

// A 40 x 40 floor at y = 0 (one-sided, facing up) and a two-sided wall at
// x = 5 facing +x.
ToolColMap FloorAndWall( const u32 leafSize = 1 ) {
	ToolColMap scene;
	scene.attribs.resize( 2 );
	scene.attribs[1].flags = 0x1;
	scene.leafSize = leafSize;
	scene.polygons.push_back( Quad( { -20, 0, -20 }, { -20, 0, 20 }, { 20, 0, 20 }, { 20, 0, -20 } ) );
	scene.polygons.push_back( Quad( { 5, 0, -5 }, { 5, 4, -5 }, { 5, 4, 5 }, { 5, 0, 5 }, 1 ) );
	return scene;
}

}	// namespace

TEST( EFCollisionMapTest, EdgeCasesOfTheQueries ) {
	ToolColMapLayout layout;
	const ToolColMap scene = FloorAndWall();
	std::unique_ptr<EFCollisionMap> map = LoadMap( EncodeMap( scene, &layout ) );
	ASSERT_NE( map, nullptr );
	ASSERT_GT( layout.leafCount, 2u );
	const auto index = IndexOf( *map, layout );
	const EFEnvCollisionPrim* floor = map->GetFirstPrimitive();
	EXPECT_EQ( index.at( floor ), 0u );

	// A second Init changes nothing.
	const std::vector<u8> before( map->GetBlob(), map->GetBlob() + map->GetBlobSize() );
	EXPECT_TRUE( map->Init( const_cast<u8*>( map->GetBlob() ) ) );
	EXPECT_EQ( std::vector<u8>( map->GetBlob(), map->GetBlob() + map->GetBlobSize() ), before );
	EXPECT_EQ( floor->GetAttribs()->ui32DetectedBy, 0x1u );

	// The floor spans many leaves and is returned once; capacity 0 and a
	// full array.
	EXPECT_EQ( Sphere( *map, DTVector3d( 0, 0.5f, 0 ), 1.0f ).size(), 1u );
	EXPECT_EQ( Sphere( *map, DTVector3d( 0, 0.5f, 0 ), 1.0f, 0xFFFFFFFF, 0 ).size(), 0u );
	EXPECT_EQ( Sphere( *map, DTVector3d( 5, 0.5f, 0 ), 1.0f ).size(), 2u );
	EXPECT_EQ( Sphere( *map, DTVector3d( 5, 0.5f, 0 ), 1.0f, 0xFFFFFFFF, 1 ).size(), 1u );
	EXPECT_EQ( Sphere( *map, DTVector3d( 5, 0.5f, 0 ), 1.0f, 0x2 ).size(), 0u );
	// Beyond the wall's end: only the vertex test keeps it out.
	EXPECT_EQ( Sphere( *map, DTVector3d( 5.6f, 4.6f, 0 ), 0.8f ).size(), 0u );
	EXPECT_EQ( Sphere( *map, DTVector3d( 5.5f, 4.5f, 0 ), 0.8f ).size(), 1u );

	struct Row {
		const char*	name;
		DTVector3d	start, displacement;
		RayIntersectResult result;
		f32			t;
		int			polygon;
	};
	const Row rows[] = {
		{ "down onto the floor", { 1, 5, 1 }, { 0, -10, 0 }, PS_RAY_ENV, 0.5f, 0 },
		{ "from below, one-sided floor", { 1, -5, 1 }, { 0, 10, 0 }, PS_RAY_NONE, 1.0f, -1 },
		{ "front of the wall", { 8, 1, 0 }, { -4, 0, 0 }, PS_RAY_ENV, 0.75f, 1 },
		{ "from behind, two-sided wall", { 2, 1, 0 }, { 4, 0, 0 }, PS_RAY_ENV, 0.75f, 1 },
		{ "parallel to the floor", { -10, 0.0002f, 1 }, { 10, -0.0004f, 0 }, PS_RAY_NONE, 1.0f, -1 },
		{ "hit exactly at t = 1 not kept", { 1, 2, 1 }, { 0, -2, 0 }, PS_RAY_NONE, 1.0f, -1 },
		{ "flat axis outside the root's slab", { 1, 50, 1 }, { 10, 0, 0 }, PS_RAY_NONE, 1.0f, -1 },
		// The floor is listed by the leaf the ray crosses first but hit
		// only beyond the wall, which lies in the next leaves.
		{ "nearer wall behind an early floor leaf", { -18, 1, 0.5f }, { 40, -1.2f, 0 }, PS_RAY_ENV, 23.0f / 40.0f, 1 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		const RayResult r = Ray( *map, row.start, row.displacement );
		EXPECT_EQ( r.result, row.result );
		EXPECT_NEAR( r.t, row.t, 1e-6f );
		EXPECT_EQ( r.hit == nullptr ? -1 : static_cast<int>( index.at( r.hit ) ), row.polygon );
	}
	// A better hit from elsewhere: this map does not lower t.
	EXPECT_EQ( Ray( *map, DTVector3d( 1, 5, 1 ), DTVector3d( 0, -10, 0 ), 0xFFFFFFFF, nullptr, 0.25f ).result,
			   PS_RAY_NONE );
	// t = 1.0 is reported to a listener; one that goes on sees every hit.
	Recorder all;
	const RayResult many = Ray( *map, DTVector3d( -18, 1, 0.5f ), DTVector3d( 40, -1.2f, 0 ), 0xFFFFFFFF, &all );
	EXPECT_EQ( many.result, PS_RAY_MANY );
	EXPECT_EQ( many.t, 1.0f );
	EXPECT_EQ( all.hits.size(), 2u );
	Recorder atEnd;
	EXPECT_EQ( Ray( *map, DTVector3d( 1, 2, 1 ), DTVector3d( 0, -2, 0 ), 0xFFFFFFFF, &atEnd ).result, PS_RAY_MANY );
	EXPECT_EQ( atEnd.hits.size(), 1u );
	// A listener that stops: t = -1, the listener removed, MANY.
	Recorder once( 1 );
	const RayResult stopped = Ray( *map, DTVector3d( -18, 1, 0.5f ), DTVector3d( 40, -1.2f, 0 ), 0xFFFFFFFF, &once );
	EXPECT_EQ( stopped.result, PS_RAY_MANY );
	EXPECT_EQ( stopped.t, -1.0f );
	EXPECT_EQ( once.hits.size(), 1u );
}

TEST( EFCollisionMapTest, AMapWithoutPolygonsFindsNothing ) {
	ToolColMap scene;
	scene.attribs.resize( 1 );
	std::unique_ptr<EFCollisionMap> map = LoadMap( EncodeMap( scene ) );
	ASSERT_NE( map, nullptr );
	EXPECT_EQ( reinterpret_cast<const u8*>( map->GetFirstPrimitive() ), map->GetBlob() + map->GetBlobSize() );
	EXPECT_TRUE( Sphere( *map, DTVector3d( 0, 0, 0 ), 100.0f ).empty() );
	EXPECT_EQ( Ray( *map, DTVector3d( 0, 5, 0 ), DTVector3d( 0, -10, 0 ) ).result, PS_RAY_NONE );
}

namespace {

void CheckAgainstTheOracle( const ToolColMap& scene ) {
	ToolColMapLayout layout;
	std::unique_ptr<EFCollisionMap> map = LoadMap( EncodeMap( scene, &layout ) );
	ASSERT_NE( map, nullptr );
	const auto index = IndexOf( *map, layout );
	std::vector<OraclePolygon> oracle = OracleOf( scene );
	// The stored plane, in double: the float vertices are not exactly
	// coplanar, and t is compared to 1e-5.
	for ( const auto& [prim, p] : index ) {
		oracle[p].n = { prim->moPlane.moNormal.x, prim->moPlane.moNormal.y, prim->moPlane.moNormal.z };
		oracle[p].d = prim->moPlane.mfD;
	}
	std::mt19937 rng( 7 );
	std::uniform_real_distribution<f32> unit( -1.0f, 1.0f );
	const u32 masks[] = { 0x1, 0x2, 0x3, 0x0 };

	u32 compared = 0;
	u32 excluded = 0;
	for ( u32 i = 0; i < 2000; i++ ) {
		const DTVector3d centre( unit( rng ) * 55.0f, unit( rng ) * 55.0f, unit( rng ) * 55.0f );
		const f32 radius = 0.5f + 1.5f * ( unit( rng ) + 1.0f );
		const u32 detect = masks[i % 4];
		const u32 udDetect = i % 3 == 0 ? 0x4 : 0;
		std::set<size_t> expected;
		bool boundary = false;
		for ( size_t p = 0; p < oracle.size(); p++ ) {
			if ( !OracleDetects( oracle[p].attribs, detect, udDetect ) ) {
				continue;
			}
			if ( OracleFar( oracle[p], { centre.x, centre.y, centre.z }, { 0.0, 0.0, 0.0 }, radius + 0.1 ) ) {
				continue;
			}
			const double distance = OracleDistance( oracle[p], { centre.x, centre.y, centre.z } );
			boundary = boundary || std::fabs( distance - radius ) < 1e-4;
			if ( distance <= radius ) {
				expected.insert( p );
			}
		}
		if ( boundary ) {
			excluded++;
			continue;
		}
		compared++;
		std::set<size_t> found;
		for ( EFEnvCollisionPrim* prim : Sphere( *map, centre, radius, detect, 4096, udDetect ) ) {
			EXPECT_TRUE( found.insert( index.at( prim ) ).second );
		}
		EXPECT_EQ( found, expected ) << "sphere " << i;
	}
	EXPECT_LT( excluded, compared / 100 );

	u32 rays = 0;
	u32 rayExcluded = 0;
	u32 flat = 0;
	for ( u32 i = 0; i < 2000; i++ ) {
		const f32 lengths[] = { 2.0f, 10.0f, 50.0f };
		DTVector3d start( unit( rng ) * 55.0f, unit( rng ) * 55.0f, unit( rng ) * 55.0f );
		DTVector3d dir( unit( rng ), unit( rng ), unit( rng ) );
		if ( i % 10 == 0 ) {
			dir.y = 0.0f;	// exactly flat components are fine
		}
		dir = dir * ( lengths[i % 3] / std::sqrt( dir * dir ) );
		const bool tiny = ( dir.x != 0.0f && std::fabs( dir.x ) < 0.0078125f ) ||
						  ( dir.y != 0.0f && std::fabs( dir.y ) < 0.0078125f ) ||
						  ( dir.z != 0.0f && std::fabs( dir.z ) < 0.0078125f );
		if ( tiny ) {
			flat++;
			continue;
		}
		const u32 detect = masks[i % 3];
		double best = 2.0;
		double second = 2.0;
		size_t bestIndex = 0;
		bool boundary = false;
		std::set<size_t> all;
		for ( size_t p = 0; p < oracle.size(); p++ ) {
			if ( !OracleDetects( oracle[p].attribs, detect, 0 ) ) {
				continue;
			}
			if ( OracleFar( oracle[p], { start.x, start.y, start.z }, { dir.x, dir.y, dir.z }, 0.1 ) ) {
				continue;
			}
			bool near = false;
			const double t = OracleRay( oracle[p], { start.x, start.y, start.z }, { dir.x, dir.y, dir.z }, near );
			boundary = boundary || near;
			if ( t < 0.0 ) {
				continue;
			}
			all.insert( p );
			if ( t < best ) {
				second = best;
				best = t;
				bestIndex = p;
			} else if ( t < second ) {
				second = t;
			}
		}
		if ( boundary || ( best <= 1.0 && second - best < 1e-4 ) ) {
			rayExcluded++;
			continue;
		}
		rays++;
		const RayResult r = Ray( *map, start, dir, detect );
		if ( best > 1.0 ) {
			EXPECT_EQ( r.result, PS_RAY_NONE ) << "ray " << i;
		} else {
			ASSERT_EQ( r.result, PS_RAY_ENV ) << "ray " << i;
			EXPECT_EQ( index.at( r.hit ), bestIndex ) << "ray " << i;
			// 1e-5 relative, plus the rounding of the single-precision
			// division over the stored plane.
			const OraclePolygon& p = oracle[bestIndex];
			const double size = std::fabs( p.d ) + std::fabs( p.n[0] * start.x ) + std::fabs( p.n[1] * start.y ) +
								std::fabs( p.n[2] * start.z ) +
								best * ( std::fabs( p.n[0] * dir.x ) + std::fabs( p.n[1] * dir.y ) + std::fabs( p.n[2] * dir.z ) );
			const double den = std::fabs( OracleDot( p.n, { dir.x, dir.y, dir.z } ) );
			EXPECT_NEAR( r.t, best, 1e-5 * best + 5.0 * 1.2e-7 * size / den ) << "ray " << i;
		}
		Recorder listener;
		EXPECT_EQ( Ray( *map, start, dir, detect, &listener ).result, PS_RAY_MANY );
		std::set<size_t> reported;
		for ( EFEnvCollisionPrim* prim : listener.hits ) {
			EXPECT_TRUE( reported.insert( index.at( prim ) ).second );
		}
		EXPECT_EQ( reported, all ) << "listener ray " << i;
	}
	EXPECT_LT( rayExcluded, rays / 100 );
	EXPECT_GT( rays, 1600u );
	::testing::Test::RecordProperty( "flat rays excluded", static_cast<int>( flat ) );
}

}	// namespace

TEST( EFCollisionMapTest, AgreesWithTheBruteForceOracle ) {
	struct Row {
		const char*	name;
		ToolColMap	scene;
	};
	const Row rows[] = {
		{ "random convex polygons", ToolRandomCollisionScene( 51, 10000 ) },
		{ "rooms with stairs and ramps among random polygons", ToolLevelCollisionScene( 52, 10000 ) },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		CheckAgainstTheOracle( row.scene );
	}
}

TEST( EFCollisionMapTest, StoredMarksAreZeroedAtLoad ) {
	ToolColMapLayout layout;
	std::vector<u8> blob = EncodeMap( FloorAndWall(), &layout );
	for ( const u32 offset : layout.polygonOffsets ) {
		blob = ToolMalformedData::ReplaceU32( blob, 16 + offset + 8, 1 );
	}
	std::unique_ptr<EFCollisionMap> map = LoadMap( blob );
	ASSERT_NE( map, nullptr );
	EFPhysicMgr::msui32GetPrimCount = 0;
	EXPECT_EQ( Sphere( *map, DTVector3d( 5, 0.5f, 0 ), 1.0f ).size(), 2u );
}

namespace {

// The record through the binary loader; the code, and whether a map got registered.
s32 LoadRecord( EFCollisionMap& map, std::vector<u8> record ) {
	DTMemoryPersistStream stream( reinterpret_cast<char*>( record.data() ), static_cast<s32>( record.size() ) );
	return map.LoadPropertiesBinary( stream );
}

}	// namespace

TEST( EFCollisionMapTest, MalformedImagesAreRefusedAndNothingIsRegistered ) {
	ToolColMapLayout layout;
	ToolColMap scene = FloorAndWall();
	const std::vector<u8> blob = EncodeMap( scene, &layout );
	const auto variants = ToolCollisionMapWriter::Malformed( blob, layout );
	ASSERT_GE( variants.size(), 20u );
	for ( const ToolColMapVariant& variant : variants ) {
		SCOPED_TRACE( variant.name );
		char message[128] = {};
		EXPECT_FALSE( EFCollisionMap::Validate( variant.blob.data(), static_cast<u32>( variant.blob.size() ), message,
												sizeof( message ) ) );
		EXPECT_NE( std::string( message ).find( "collision map: " ), std::string::npos );
		EFCollisionMap map;
		EXPECT_EQ( LoadRecord( map, ToolCollisionMapWriter::BinaryRecord( variant.blob ) ), DT_PERSIST_READ_PAST_END );
		EXPECT_EQ( map.GetBlob(), nullptr );
		EXPECT_FALSE( map.IsOwnedElsewhere() );
		EXPECT_EQ( EFPhysicMgr::moPhysicMgr.GetFirstMap(), nullptr );
	}
	// The sound image loads and is registered; the manager deletes it.
	EFCollisionMap* map = new EFCollisionMap;
	EXPECT_EQ( LoadRecord( *map, ToolCollisionMapWriter::BinaryRecord( blob ) ), DT_PERSIST_OK );
	EXPECT_TRUE( map->IsOwnedElsewhere() );
	EXPECT_EQ( EFPhysicMgr::moPhysicMgr.GetFirstMap(), map );
	EFPhysicMgr::moPhysicMgr.Terminate();
	EXPECT_EQ( EFPhysicMgr::moPhysicMgr.GetFirstMap(), nullptr );
}

class EFCollisionMapFileTest : public EFCoreTestBench {};

TEST_F( EFCollisionMapFileTest, TheTextFormReadsTheFileItNamesAndAMissingFileRegistersNothing ) {
	const std::vector<u8> blob = EncodeMap( FloorAndWall() );
	WriteDiscText( "COLMAP.BIN", std::string( blob.begin(), blob.end() ) );
	struct Row {
		const char*	name;
		std::string	file;
		s32			result;
		bool		registered;
	};
	const Row rows[] = {
		{ "present file", "COLMAP.BIN", DT_PERSIST_OK, true },
		{ "missing file", "NOWHERE.BIN", DT_PERSIST_OPEN_FAILED, false },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		std::vector<u8> record = ToolCollisionMapWriter::FileRecord( row.file );
		DTMemoryPersistStream stream( reinterpret_cast<char*>( record.data() ), static_cast<s32>( record.size() ) );
		EFCollisionMap* map = new EFCollisionMap;
		char word[DT_STREAMABLE_WORD_MAX] = "BEGIN";
		EXPECT_EQ( map->LoadPropertiesText( word, stream ), row.result );
		EXPECT_EQ( map->IsOwnedElsewhere(), row.registered );
		EXPECT_EQ( EFPhysicMgr::moPhysicMgr.GetFirstMap() == map, row.registered );
		if ( row.registered ) {
			EXPECT_EQ( Ray( *map, DTVector3d( 1, 5, 1 ), DTVector3d( 0, -10, 0 ) ).result, PS_RAY_ENV );
			EFPhysicMgr::moPhysicMgr.Terminate();
		} else {
			delete map;
		}
	}
	for ( const DTFileHandle_& handle : gFileHandleArray ) {
		EXPECT_EQ( handle.mui32InUse, 0u );
	}
}

TEST( EFCollisionMapTest, AHandWrittenOneTriangleMapPinsTheLayout ) {
	const std::vector<u8> fixture = HexBytes( kOneTriangleMapHex );
	ToolColMap scene;
	scene.attribs.resize( 1 );
	scene.attribs[0].rebound = 0.25f;
	scene.attribs[0].tag = 0x0102;
	scene.attribs[0].surfaceType = 0x0304;
	scene.attribs[0].acousticOpacity = 0.75f;
	scene.polygons.push_back( { { { 0, 0, 0 }, { 0, 0, 1 }, { 1, 0, 0 } }, 0, 0 } );
	EXPECT_EQ( EncodeMap( scene ), fixture );

	std::unique_ptr<EFCollisionMap> map = LoadMap( fixture );
	ASSERT_NE( map, nullptr );
	const EFEnvCollisionPrim* triangle = map->GetFirstPrimitive();
	const EnvPrimAttribs* attribs = triangle->GetAttribs();
	EXPECT_EQ( reinterpret_cast<const u8*>( attribs ), map->GetBlob() + 16 );
	EXPECT_EQ( attribs->ui16Tag, 0x0102 );
	EXPECT_EQ( attribs->ui16SurfaceType, 0x0304 );
	EXPECT_EQ( attribs->fAccousticOpacity, 0.75f );
	EXPECT_EQ( triangle->mui16NbVertex, 3 );
	EXPECT_EQ( triangle->GetVertex()[1].z, 1.0f );
	EXPECT_EQ( triangle->GetEdges()[1].mfD, -0.70710677f );
	EXPECT_EQ( Sphere( *map, DTVector3d( 0.2f, 0.3f, 0.2f ), 0.5f ).size(), 1u );
	EXPECT_EQ( Sphere( *map, DTVector3d( 1.0f, 0.0f, 1.0f ), 0.5f ).size(), 0u );
	const RayResult hit = Ray( *map, DTVector3d( 0.2f, 1, 0.2f ), DTVector3d( 0, -2, 0 ) );
	EXPECT_EQ( hit.result, PS_RAY_ENV );
	EXPECT_EQ( hit.t, 0.5f );
}

TEST( EFCollisionMapTest, HandWrittenMapsPinAnInnerNodeSplitOnXAndALeafSharedPolygon ) {
	struct Row {
		const char*					name;
		std::string					hex;
		std::vector<ToolColPolygon>	polygons;
		u32							maxDepth;
		// Polygon indices each leaf lists.
		std::vector<size_t>			leaves[2];
		// A sphere over the split: the polygons it finds.
		size_t						acrossSplit;
	};
	const Row rows[] = {
		{ "one triangle on each side of x = 2",
		  kSplitOnXMapHex,
		  { { { { 0, 0, 0 }, { 0, 0, 1 }, { 1, 0, 0 } }, 0, 0 }, { { { 3, 0, 0 }, { 3, 0, 1 }, { 4, 0, 0 } }, 0, 0 } },
		  10,
		  { { 0 }, { 1 } },
		  0 },
		{ "a quad listed by both leaves",
		  kSharedPolygonMapHex,
		  { { { { 0, 0, 0 }, { 0, 0, 1 }, { 4, 0, 1 }, { 4, 0, 0 } }, 0, 0 },
			{ { { 3, 0.5f, 0 }, { 3, 0.5f, 1 }, { 4, 0.5f, 0 } }, 0, 0 } },
		  1,
		  { { 0 }, { 0, 1 } },
		  1 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		const std::vector<u8> fixture = HexBytes( row.hex );
		ToolColMap scene;
		scene.attribs.resize( 1 );
		scene.polygons = row.polygons;
		scene.leafSize = 1;
		scene.maxDepth = row.maxDepth;
		ToolColMapLayout layout;
		EXPECT_EQ( EncodeMap( scene, &layout ), fixture );

		std::unique_ptr<EFCollisionMap> map = LoadMap( fixture );
		ASSERT_NE( map, nullptr );
		const EFOctreeNodeHeader* root = map->GetRoot();
		EXPECT_EQ( root->ui32Flags, EF_OCTREE_SPLIT_X );
		const auto index = IndexOf( *map, layout );
		for ( u32 c = 0; c < 8; c++ ) {
			SCOPED_TRACE( c );
			const EFOctreeNodeHeader* child = map->GetChild( *root, c );
			ASSERT_EQ( child != nullptr, c < 2 );
			if ( child == nullptr ) {
				continue;
			}
			ASSERT_TRUE( child->IsLeaf() );
			EXPECT_EQ( child->oCentre.x, c == 0 ? 0.995f : 3.005f );
			const EFOctreeNodeEnd& leaf = reinterpret_cast<const EFOctreeNodeEnd&>( *child );
			ASSERT_EQ( leaf.ui32Count, row.leaves[c].size() );
			for ( u32 i = 0; i < leaf.ui32Count; i++ ) {
				EXPECT_EQ( index.at( map->GetEntry( leaf, i ) ), row.leaves[c][i] );
			}
		}
		// Each side's polygon under a downward ray there; a sphere over the
		// split and a listener ray through both leaves count a shared polygon
		// once.
		for ( const f32 x : { 0.2f, 3.2f } ) {
			const RayResult hit = Ray( *map, DTVector3d( x, 2, 0.2f ), DTVector3d( 0, -4, 0 ) );
			EXPECT_EQ( hit.result, PS_RAY_ENV );
			EXPECT_EQ( index.at( hit.hit ), x < 2 ? 0u : row.polygons.size() - 1 );
		}
		const auto near = Sphere( *map, DTVector3d( 2, 0, 0.5f ), 0.4f );
		EXPECT_EQ( near.size(), row.acrossSplit );
		Recorder listener;
		Ray( *map, DTVector3d( 3.9f, 0.34f, 0.2f ), DTVector3d( -3.6f, -0.36f, 0 ), 0x1, &listener );
		ASSERT_EQ( listener.hits.size(), 1u );
		EXPECT_EQ( index.at( listener.hits[0] ), 0u );
	}
}

TEST( EFCollisionMapTest, RaysVisitLeavesInCrossingOrderOverNodesSplitOnOneTwoAndThreeAxes ) {
	struct Row {
		const char*	name;
		DTVector3d	direction;
		u32			splitAxes;
	};
	const Row rows[] = {
		{ "split on x", DTVector3d( 1, 0, 0 ), EF_OCTREE_SPLIT_X },
		{ "split on x and z", DTVector3d( 1, 0, -1 ), EF_OCTREE_SPLIT_X | EF_OCTREE_SPLIT_Z },
		{ "split on every axis", DTVector3d( -1, 1, 1 ), EF_OCTREE_SPLIT_X | EF_OCTREE_SPLIT_Y | EF_OCTREE_SPLIT_Z },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		// Eight small two-sided squares across the ray, one per stretch.
		const DTVector3d d = row.direction * ( 1.0f / std::sqrt( row.direction * row.direction ) );
		const DTVector3d u = std::fabs( d.y ) < 0.9f ? DTVector3d( -d.z, 0, d.x ) * ( 1.0f / std::sqrt( d.x * d.x + d.z * d.z ) )
													  : DTVector3d( 1, 0, 0 );
		const DTVector3d w( d.y * u.z - d.z * u.y, d.z * u.x - d.x * u.z, d.x * u.y - d.y * u.x );
		ToolColMap scene;
		scene.attribs.resize( 1 );
		scene.attribs[0].flags = 0x1;
		scene.leafSize = 1;
		for ( u32 i = 0; i < 8; i++ ) {
			const DTVector3d c = d * ( 10.0f * static_cast<f32>( i ) + 5.0f );
			const DTVector3d corners[] = { c + ( u + w ) * 0.05f, c + ( u - w ) * 0.05f, c - ( u + w ) * 0.05f,
										   c - ( u - w ) * 0.05f };
			ToolColPolygon polygon;
			for ( const DTVector3d& v : corners ) {
				polygon.vertices.push_back( { v.x, v.y, v.z } );
			}
			scene.polygons.push_back( polygon );
		}
		ToolColMapLayout layout;
		std::unique_ptr<EFCollisionMap> map = LoadMap( EncodeMap( scene, &layout ) );
		ASSERT_NE( map, nullptr );
		EXPECT_EQ( map->GetRoot()->ui32Flags, row.splitAxes );
		const auto index = IndexOf( *map, layout );
		for ( const f32 sense : { 1.0f, -1.0f } ) {
			const DTVector3d start = sense > 0 ? DTVector3d( 0, 0, 0 ) : d * 80.0f;
			Recorder listener;
			Ray( *map, start, d * ( 80.0f * sense ), 0x1, &listener );
			ASSERT_EQ( listener.hits.size(), 8u );
			for ( u32 i = 0; i < 8; i++ ) {
				EXPECT_EQ( index.at( listener.hits[i] ), sense > 0 ? i : 7 - i );
			}
		}
	}
}
