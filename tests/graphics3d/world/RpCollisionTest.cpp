#include "graphics3d/core/RwStream.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpCollision.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RtIntersection.h"
#include "tools/lib/graphics3d/ToolGeometryWriter.h"

#include "RpWorldTestScenes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

// A hit as a query reports it: the sector (null for atomics), the
// triangle index and the distance.
struct Hit {
	const void*	sector;
	s32			index;
	f32			distance;

	bool operator<( const Hit& o ) const { return std::tie( sector, index, distance ) < std::tie( o.sector, o.index, o.distance ); }
	bool operator==( const Hit& o ) const { return sector == o.sector && index == o.index && distance == o.distance; }
};

struct Collected {
	std::vector<Hit>	hits;
	u32					stopAfter = 0;		// 0: never stop
};

RpCollisionTriangle* CollectAtomicHit( RpIntersection*, RpCollisionTriangle* triangle, const f32 distance, void* data ) {
	Collected* const collected = static_cast<Collected*>( data );
	collected->hits.push_back( { nullptr, triangle->index, distance } );
	return collected->stopAfter != 0 && collected->hits.size() >= collected->stopAfter ? nullptr : triangle;
}

RpCollisionTriangle* CollectWorldHit( RpIntersection*, RpWorldSector* sector, RpCollisionTriangle* triangle,
									  const f32 distance, void* data ) {
	Collected* const collected = static_cast<Collected*>( data );
	collected->hits.push_back( { sector, triangle->index, distance } );
	return collected->stopAfter != 0 && collected->hits.size() >= collected->stopAfter ? nullptr : triangle;
}

std::vector<Hit> Sorted( std::vector<Hit> hits ) {
	std::sort( hits.begin(), hits.end() );
	return hits;
}

RpIntersection LineQuery( const RwV3d& start, const RwV3d& end ) {
	RpIntersection query = {};
	query.type = rpINTERSECTLINE;
	query.t.line = { start, end };
	return query;
}

RpIntersection SphereQuery( const RwV3d& centre, const f32 radius ) {
	RpIntersection query = {};
	query.type = rpINTERSECTSPHERE;
	query.t.sphere = { centre, radius };
	return query;
}

RpIntersection BoxQuery( const RwBBox& box ) {
	RpIntersection query = {};
	query.type = rpINTERSECTBOX;
	query.t.box = box;
	return query;
}

ToolGeometry GeometryOf( const RpTestSoup& soup, const std::optional<ToolCollisionTree>& tree ) {
	ToolGeometry geometry = ToolCollisionTreeBuilder::Geometry( soup.positions, soup.triangles, 0 );
	if ( tree ) {
		geometry.extension.push_back( { TOOL_COLLISION_PLUGIN, ToolCollisionTreeBuilder::Payload( *tree ) } );
	}
	return geometry;
}

// One triangle per entry: (x0, y0, z0, x1, ... z2).
RpTestSoup SoupOf( const std::vector<std::array<f32, 9>>& triangles ) {
	RpTestSoup soup;
	for ( const std::array<f32, 9>& t : triangles ) {
		const u32 base = static_cast<u32>( soup.positions.size() / 3 );
		soup.positions.insert( soup.positions.end(), t.begin(), t.end() );
		soup.triangles.push_back( { base, base + 1, base + 2 } );
	}
	return soup;
}

class RpCollisionTest : public RpWorldSceneTest {
protected:
	RpGeometry* ReadGeometry( const ToolGeometry& geometry ) {
		const std::vector<u8> bytes = RpTestBytes( [&]( ToolChunkWriter& w ) { ToolGeometryWriter::Write( w, geometry ); } );
		return RpGeometryStreamRead( OpenAt( bytes, TOOL_CHUNK_GEOMETRY ) );
	}

	// An atomic over the geometry, on a frame when placed.
	RpAtomic* AtomicOf( RpGeometry* geometry, const bool placed ) {
		RpAtomic* const atomic = RpAtomicCreate();
		RpAtomicSetGeometry( atomic, geometry, 0 );
		RpGeometryDestroy( geometry );
		if ( placed ) {
			RwFrame* const frame = FrameAt( 3.0f, -2.0f, 1.0f );
			const RwV3d axis = { 0.2f, 1.0f, -0.4f };
			RwFrameRotate( frame, &axis, 40.0f, rwCOMBINEPRECONCAT );
			RpAtomicSetFrame( atomic, frame );
			_rwFrameSyncDirty();
		}
		return atomic;
	}

	static std::vector<Hit> AtomicHits( RpAtomic* atomic, RpIntersection query, const u32 stopAfter = 0 ) {
		Collected collected;
		collected.stopAfter = stopAfter;
		EXPECT_EQ( RpAtomicForAllIntersections( atomic, &query, CollectAtomicHit, &collected ), atomic );
		return collected.hits;
	}

	static std::vector<Hit> WorldHits( RpWorld* world, RpIntersection query ) {
		Collected collected;
		EXPECT_EQ( RpCollisionWorldForAllIntersections( world, &query, CollectWorldHit, &collected ), world );
		return collected.hits;
	}
};

// Every triangle of every sector, tested as the queries test them.
std::vector<Hit> BruteForce( RpWorld* world, const RpIntersection& query ) {
	std::vector<Hit> hits;
	std::pair<const RpIntersection*, std::vector<Hit>*> args( &query, &hits );
	RpWorldForAllWorldSectors(
		world,
		[]( RpWorldSector* sector, void* data ) {
			auto* const args = static_cast<std::pair<const RpIntersection*, std::vector<Hit>*>*>( data );
			const RpIntersection& q = *args->first;
			for ( u32 i = 0; i < sector->numTriangles; i++ ) {
				const RpSectorTriangle& t = sector->triangles[i];
				const RwV3d* const a = &sector->vertices[t.vertIndex[0]];
				const RwV3d* const b = &sector->vertices[t.vertIndex[1]];
				const RwV3d* const c = &sector->vertices[t.vertIndex[2]];
				f32 distance = 0.0f;
				RwV3d normal;
				bool hit = false;
				if ( q.type == rpINTERSECTLINE ) {
					const RwV3d delta = { q.t.line.end.x - q.t.line.start.x, q.t.line.end.y - q.t.line.start.y,
										  q.t.line.end.z - q.t.line.start.z };
					hit = _rpCollisionLineTriangle( &q.t.line.start, &delta, a, b, c, &distance );
				} else if ( q.type == rpINTERSECTSPHERE ) {
					hit = RtIntersectionSphereTriangle( &q.t.sphere, a, b, c, &normal, &distance );
					distance *= 1.0f / q.t.sphere.radius;
				} else {
					hit = RtIntersectionBBoxTriangle( &q.t.box, a, b, c );
				}
				if ( hit ) {
					args->second->push_back( { sector, static_cast<s32>( i ), distance } );
				}
			}
			return sector;
		},
		&args );
	return hits;
}

TEST_F( RpCollisionTest, TreeWalksReportExactlyWhatEveryTriangleReports ) {
	std::mt19937 random( 7 );
	std::uniform_real_distribution<f32> place( -60.0f, 60.0f );
	std::uniform_real_distribution<f32> size( 0.5f, 30.0f );
	for ( const u32 seed : { 1u, 2u, 3u } ) {
		const RpTestSoup soup = RpTestRandomSoup( seed, 600, 50.0f );
		RpWorld* const world = ReadWorld( ToolSectorTreeBuilder::Build( soup.positions, soup.triangles, 40, 3 ) );
		ASSERT_NE( world, nullptr );
		RpAtomic* const withTree =
			AtomicOf( ReadGeometry( GeometryOf( soup, ToolCollisionTreeBuilder::Build( soup.positions, soup.triangles, 4 ) ) ),
					  true );
		RpAtomic* const without = AtomicOf( ReadGeometry( GeometryOf( soup, std::nullopt ) ), true );
		u32 hits = 0;
		for ( u32 i = 0; i < 300; i++ ) {
			RwV3d a = { place( random ), place( random ), place( random ) };
			RwV3d b = { place( random ), place( random ), place( random ) };
			// Some lines run along an axis, so that gradients are zero.
			if ( i % 5 == 0 ) {
				b.x = a.x;
				b.y = a.y;
			}
			const f32 r = size( random );
			const RpIntersection queries[] = {
				LineQuery( a, b ),
				SphereQuery( a, r ),
				BoxQuery( { { a.x + r, a.y + r, a.z + r }, { a.x - r, a.y - r, a.z - 0.5f * r } } ),
			};
			for ( const RpIntersection& query : queries ) {
				const std::vector<Hit> expected = Sorted( BruteForce( world, query ) );
				EXPECT_EQ( Sorted( WorldHits( world, query ) ), expected ) << seed << " " << i << " " << query.type;
				hits += static_cast<u32>( expected.size() );
				if ( query.type != rpINTERSECTBOX ) {
					EXPECT_EQ( Sorted( AtomicHits( withTree, query ) ), Sorted( AtomicHits( without, query ) ) )
						<< seed << " " << i << " " << query.type;
				}
			}
		}
		EXPECT_GT( hits, 300u );
		// An atomic query on the world visits the atomic's sectors only, and
		// finds what a sphere query finds.
		RpAtomic* const probe = RpAtomicCreate();
		probe->boundingSphere = { { 0.0f, 0.0f, 0.0f }, 12.0f };
		probe->interpolator.flags = 0;
		RpAtomicSetFrame( probe, FrameAt( 5.0f, -3.0f, 2.0f ) );
		RpWorldAddAtomic( world, probe );
		_rwFrameSyncDirty();
		RpIntersection atomicQuery = {};
		atomicQuery.type = rpINTERSECTATOMIC;
		atomicQuery.t.object = probe;
		const std::vector<Hit> found = Sorted( WorldHits( world, atomicQuery ) );
		EXPECT_FALSE( found.empty() );
		EXPECT_EQ( found, Sorted( BruteForce( world, SphereQuery( { 5.0f, -3.0f, 2.0f }, 12.0f ) ) ) );
		for ( RpAtomic* atomic : { withTree, without, probe } ) {
			RpAtomicDestroy( atomic );
		}
		RpWorldDestroy( world );
	}
}

// One triangle A (0, 0, 0), B (1, 0, 0), C (0, 1, 0): normal +z.
const std::array<f32, 9> UNIT_TRIANGLE = { 0, 0, 0, 1, 0, 0, 0, 1, 0 };

TEST_F( RpCollisionTest, LinesHitFrontFacesAndEdgesButNotBackFacesOrParallels ) {
	RpAtomic* const atomic = AtomicOf( ReadGeometry( GeometryOf( SoupOf( { UNIT_TRIANGLE } ), std::nullopt ) ), false );
	const struct {
		const char*	what;
		RwV3d		start;
		RwV3d		end;
		bool		hit;
		f32			t;
	} rows[] = {
		{ "through the inside", { 0.25f, 0.25f, 1.0f }, { 0.25f, 0.25f, -1.0f }, true, 0.5f },
		{ "from behind", { 0.25f, 0.25f, -1.0f }, { 0.25f, 0.25f, 1.0f }, false, 0.0f },
		{ "in the plane", { -1.0f, 0.25f, 0.0f }, { 2.0f, 0.25f, 0.0f }, false, 0.0f },
		{ "parallel above", { -1.0f, 0.25f, 1.0f }, { 2.0f, 0.25f, 1.0f }, false, 0.0f },
		{ "on an edge", { 0.5f, 0.0f, 1.0f }, { 0.5f, 0.0f, -1.0f }, true, 0.5f },
		{ "on the diagonal edge", { 0.5f, 0.5f, 1.0f }, { 0.5f, 0.5f, -3.0f }, true, 0.25f },
		{ "on a corner", { 0.0f, 0.0f, 2.0f }, { 0.0f, 0.0f, -2.0f }, true, 0.5f },
		{ "just outside", { -0.001f, 0.25f, 1.0f }, { -0.001f, 0.25f, -1.0f }, false, 0.0f },
		{ "ending short", { 0.25f, 0.25f, 1.0f }, { 0.25f, 0.25f, 0.5f }, false, 0.0f },
		{ "ending on the plane", { 0.25f, 0.25f, 1.0f }, { 0.25f, 0.25f, 0.0f }, true, 1.0f },
		{ "of zero length", { 0.25f, 0.25f, 0.0f }, { 0.25f, 0.25f, 0.0f }, false, 0.0f },
	};
	for ( const auto& row : rows ) {
		const std::vector<Hit> hits = AtomicHits( atomic, LineQuery( row.start, row.end ) );
		ASSERT_EQ( hits.size(), row.hit ? 1u : 0u ) << row.what;
		if ( row.hit ) {
			EXPECT_NEAR( hits[0].distance, row.t, 1e-6f ) << row.what;
		}
	}
	// Sphere distances are the centre's signed distance over the radius.
	EXPECT_NEAR( AtomicHits( atomic, SphereQuery( { 0.25f, 0.25f, 0.5f }, 2.0f ) )[0].distance, 0.25f, 1e-3f );
	EXPECT_NEAR( AtomicHits( atomic, SphereQuery( { 0.25f, 0.25f, -0.5f }, 1.0f ) )[0].distance, -0.5f, 1e-3f );
	RpAtomicDestroy( atomic );
}

TEST_F( RpCollisionTest, TreesDecideWhichLeavesALineOrBoxVisits ) {
	// Two triangles sharing the edge x = 1 under a branch on x at 1.
	const RpTestSoup soup = SoupOf( { { 0, 0, 0, 1, 0, 0, 1, 1, 0 }, { 1, 0, 0, 2, 0, 0, 1, 1, 0 } } );
	ToolCollisionTree split;
	split.branches = { { 0, TOOL_COLLISION_LEAF, TOOL_COLLISION_LEAF, 0, 1, 1.0f, 1.0f } };
	split.leaves = { { 1, 0 }, { 1, 1 } };
	split.map = { 0, 1 };
	ToolCollisionTree oneLeaf;
	oneLeaf.leaves = { { 2, 0 } };
	oneLeaf.map = { 1, 0 };
	RpAtomic* const splitAtomic = AtomicOf( ReadGeometry( GeometryOf( soup, split ) ), false );
	RpAtomic* const leafAtomic = AtomicOf( ReadGeometry( GeometryOf( soup, oneLeaf ) ), false );
	RpAtomic* const plain = AtomicOf( ReadGeometry( GeometryOf( soup, std::nullopt ) ), false );
	const RpIntersection onTheSplit = LineQuery( { 1.0f, 0.25f, 1.0f }, { 1.0f, 0.25f, -1.0f } );
	// Every triangle in index order without a tree; in map order with one
	// leaf; a line exactly on the splitting value is not below it and
	// visits the right side only.
	EXPECT_EQ( AtomicHits( plain, onTheSplit ), ( std::vector<Hit>{ { nullptr, 0, 0.5f }, { nullptr, 1, 0.5f } } ) );
	EXPECT_EQ( AtomicHits( leafAtomic, onTheSplit ), ( std::vector<Hit>{ { nullptr, 1, 0.5f }, { nullptr, 0, 0.5f } } ) );
	EXPECT_EQ( AtomicHits( splitAtomic, onTheSplit ), ( std::vector<Hit>{ { nullptr, 1, 0.5f } } ) );
	// A line of zero length: every gradient is 0 and nothing is hit.
	EXPECT_TRUE( AtomicHits( splitAtomic, LineQuery( { 1.0f, 0.25f, 0.0f }, { 1.0f, 0.25f, 0.0f } ) ).empty() );
	EXPECT_TRUE( AtomicHits( splitAtomic, LineQuery( { 0.5f, 0.25f, 0.0f }, { 0.5f, 0.25f, 0.0f } ) ).empty() );
	// A line from the left visits the left leaf first; a stopping callback
	// ends the query after the first hit.
	const RpIntersection across = LineQuery( { 0.5f, 0.25f, 1.0f }, { 1.5f, 0.25f, -1.0f } );
	EXPECT_EQ( AtomicHits( splitAtomic, across ).size(), 2u );
	EXPECT_EQ( AtomicHits( splitAtomic, across, 1 ), ( std::vector<Hit>{ AtomicHits( splitAtomic, across )[0] } ) );
	EXPECT_EQ( AtomicHits( splitAtomic, across, 1 )[0].index, 0 );
	RpAtomicDestroy( splitAtomic );
	RpAtomicDestroy( leafAtomic );
	RpAtomicDestroy( plain );
}

TEST_F( RpCollisionTest, MorphingAtomicsUseTheTargetsTheInterpolatorSelects ) {
	ToolGeometry geometry = GeometryOf( SoupOf( { UNIT_TRIANGLE } ), std::nullopt );
	geometry.morphTargets.push_back( geometry.morphTargets[0] );
	for ( u32 v = 0; v < 3; v++ ) {
		geometry.morphTargets[1].positions[v * 3 + 2] = 4.0f;	// target 1 at z = 4
	}
	RpAtomic* const atomic = AtomicOf( ReadGeometry( geometry ), false );
	const struct {
		s16		start;
		s16		end;
		f32		position;
		f32		z;
	} rows[] = {
		{ 1, 1, 0.0f, 4.0f },
		{ 0, 0, 0.7f, 0.0f },
		{ 0, 1, 0.25f, 1.0f },
		{ 1, 0, 0.25f, 3.0f },
		{ 5, 1, 0.5f, 0.0f },		// outside the targets: target 0
	};
	for ( const auto& row : rows ) {
		atomic->interpolator.startMorphTarget = row.start;
		atomic->interpolator.endMorphTarget = row.end;
		atomic->interpolator.position = row.position;
		atomic->interpolator.recipTime = 1.0f;
		const std::vector<Hit> hits = AtomicHits( atomic, LineQuery( { 0.25f, 0.25f, 10.0f }, { 0.25f, 0.25f, -10.0f } ) );
		ASSERT_EQ( hits.size(), 1u ) << row.start << row.end;
		EXPECT_NEAR( hits[0].distance, ( 10.0f - row.z ) / 20.0f, 1e-6f ) << row.start << row.end;
	}
	RpAtomicDestroy( atomic );
}

TEST_F( RpCollisionTest, RefusedQueriesRecordTheirErrorAndCallNothing ) {
	RpAtomic* const atomic = AtomicOf( ReadGeometry( GeometryOf( SoupOf( { UNIT_TRIANGLE } ), std::nullopt ) ), false );
	RpWorld* const world = ReadWorld( ToolSectorTreeBuilder::Build( { 0, 0, 0, 1, 0, 0, 0, 1, 0 }, { { 0, 1, 2 } }, 4, 0 ) );
	ASSERT_NE( world, nullptr );
	RpIntersection point = {};
	point.type = rpINTERSECTPOINT;
	RpIntersection nullAtomic = {};
	nullAtomic.type = rpINTERSECTATOMIC;
	RpIntersection box = BoxQuery( { { 1, 1, 1 }, { -1, -1, -1 } } );
	Collected collected;
	const struct {
		const char*		what;
		bool			onWorld;
		RpIntersection*	query;
		u32				pluginID;
		u32				code;
	} rows[] = {
		{ "a point on an atomic", false, &point, 0x11D, 0 },
		{ "a box on an atomic", false, &box, 0x11D, 0 },
		{ "a null atomic on an atomic", false, &nullAtomic, 0, 0x80000016 },
		{ "a point on a world", true, &point, 0x11D, 0 },
		{ "a null atomic on a world", true, &nullAtomic, 0, 0x80000016 },
	};
	for ( const auto& row : rows ) {
		const bool refused = row.onWorld ? RpCollisionWorldForAllIntersections( world, row.query, CollectWorldHit, &collected ) == nullptr
										 : RpAtomicForAllIntersections( atomic, row.query, CollectAtomicHit, &collected ) == nullptr;
		EXPECT_TRUE( refused ) << row.what;
		const RwError error = RwTestReadError();
		EXPECT_EQ( error.pluginID, row.pluginID ) << row.what;
		EXPECT_EQ( error.errorCode, row.code ) << row.what;
	}
	EXPECT_TRUE( collected.hits.empty() );
	// Sectors without collision data report nothing to lines; an atomic
	// without geometry finds nothing.
	EXPECT_TRUE( WorldHits( world, LineQuery( { 0.25f, 0.25f, 1.0f }, { 0.25f, 0.25f, -1.0f } ) ).empty() );
	RpAtomic* const bare = RpAtomicCreate();
	EXPECT_TRUE( AtomicHits( bare, LineQuery( { 0.25f, 0.25f, 1.0f }, { 0.25f, 0.25f, -1.0f } ) ).empty() );
	RpAtomicDestroy( bare );
	RpAtomicDestroy( atomic );
	RpWorldDestroy( world );
}

// N = 3, M = 5: two branches (x at 1.0 / 0.5, then y at 2.0 / 1.5), three
// leaves and a reversed map, word by word.
const u32 RECORD_N3_M5[] = { 3,			 5,			 0x00000102, 0x00000001, 0x3F800000, 0x3F000000,
							 0x00040101, 0x00010002, 0x40000000, 0x3FC00000, 0x00020000, 0x00020002,
							 0x00010004, 4,			 3,			 2,			 1,			 0 };

std::vector<u8> Bytes( const std::vector<u32>& words ) {
	std::vector<u8> bytes;
	for ( const u32 word : words ) {
		for ( u32 i = 0; i < 4; i++ ) {
			bytes.push_back( static_cast<u8>( word >> ( 8 * i ) ) );
		}
	}
	return bytes;
}

ToolGeometry FiveTriangles( std::vector<u8> payload ) {
	RpTestSoup soup = RpTestRandomSoup( 4, 5, 3.0f );
	ToolGeometry geometry = GeometryOf( soup, std::nullopt );
	geometry.extension.push_back( { TOOL_COLLISION_PLUGIN, std::move( payload ) } );
	return geometry;
}

TEST_F( RpCollisionTest, TheSeventyTwoByteRecordRoundTrips ) {
	const std::vector<u8> payload = Bytes( std::vector<u32>( std::begin( RECORD_N3_M5 ), std::end( RECORD_N3_M5 ) ) );
	ASSERT_EQ( payload.size(), 72u );
	RpGeometry* const geometry = ReadGeometry( FiveTriangles( payload ) );
	ASSERT_NE( geometry, nullptr );
	const RpCollisionData* const data = _rpCollisionGeometryData( geometry );
	ASSERT_NE( data, nullptr );
	EXPECT_EQ( data->flags, 1u );
	EXPECT_EQ( data->tree->numLeafNodes, 3u );
	EXPECT_EQ( data->tree->branchNodes[1].type, 4 );
	EXPECT_EQ( data->tree->branchNodes[1].rightNode, 2 );
	EXPECT_EQ( data->tree->branchNodes[0].rightValue, 0.5f );
	EXPECT_EQ( data->tree->leafNodes[2].firstPolygon, 4 );
	EXPECT_EQ( data->triangleMap[0], 4 );
	// The record is one block: record, tree, branches, leaves, map.
	EXPECT_EQ( reinterpret_cast<const u8*>( data->tree ), reinterpret_cast<const u8*>( data ) + sizeof( RpCollisionData ) );
	EXPECT_EQ( reinterpret_cast<const u8*>( data->triangleMap ),
			   reinterpret_cast<const u8*>( data->tree ) + _rpCollBSPTreeMemGetSize( 3 ) );
	// Written back through the geometry's entry: the same bytes.
	const RwPluginRegEntry* entry = geometryTKList.firstRegEntry;
	while ( entry != nullptr && entry->pluginID != rwID_COLLISPLUGIN ) {
		entry = entry->nextRegEntry;
	}
	ASSERT_NE( entry, nullptr );
	EXPECT_EQ( entry->getSizeCB( geometry, entry->offset, entry->size ), 72 );
	RwMemory memory = { nullptr, 0 };
	RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMWRITE, nullptr );
	ASSERT_NE( entry->writeCB( stream, 72, geometry, entry->offset, entry->size ), nullptr );
	RwStreamClose( stream, &memory );
	ASSERT_EQ( memory.length, 72u );
	EXPECT_TRUE( std::equal( payload.begin(), payload.end(), memory.start ) );
	RwEngineInstance->memoryFunctions.rwfree( memory.start );
	RpGeometryDestroy( geometry );
}

TEST_F( RpCollisionTest, RefusesMalformedRecordsLeavingNothingAllocated ) {
	auto record = []( std::vector<u32> words ) { return Bytes( words ); };
	ToolCollisionTree deep;
	for ( u16 i = 0; i < 40; i++ ) {
		const bool last = i == 39;
		deep.branches.push_back( { 0, TOOL_COLLISION_LEAF, static_cast<u8>( last ? TOOL_COLLISION_LEAF : TOOL_COLLISION_BRANCH ),
								   i, static_cast<u16>( last ? 40 : i + 1 ), 0.0f, 0.0f } );
		deep.leaves.push_back( { 0, 0 } );
	}
	deep.leaves.push_back( { 5, 0 } );
	deep.map = { 0, 1, 2, 3, 4 };
	const struct {
		const char*			what;
		std::vector<u8>		payload;
	} rows[] = {
		{ "no leaves", record( { 0, 0 } ) },
		{ "a leaf run past the map", record( { 1, 5, 0x00030003, 0, 1, 2, 3, 4 } ) },
		{ "a branch naming itself",
		  record( { 2, 0, 0x00000202, 0x00000000, 0, 0, 0, 0 } ) },
		{ "a tree 40 levels deep", ToolCollisionTreeBuilder::Payload( deep ) },
		{ "a branch child past the leaves", record( { 2, 0, 0x00000101, 0x00000002, 0, 0, 0, 0 } ) },
		{ "axis 12", record( { 2, 0, 0x000C0101, 0x00000001, 0, 0, 0, 0 } ) },
		{ "a map entry past the triangles", record( { 1, 1, 0x00010000, 9 } ) },
		{ "bytes past the record", record( { 1, 1, 0x00010000, 0, 0 } ) },
		{ "a short record", record( { 1, 2, 0x00010000, 0 } ) },
	};
	for ( const auto& row : rows ) {
		const std::vector<u8> bytes = RpTestBytes( [&]( ToolChunkWriter& w ) { ToolGeometryWriter::Write( w, FiveTriangles( row.payload ) ); } );
		RwStream* const stream = OpenAt( bytes, TOOL_CHUNK_GEOMETRY );
		const s64 before = TestArenaUse();
		EXPECT_EQ( RpGeometryStreamRead( stream ), nullptr ) << row.what;
		const RwError error = RwTestReadError();
		EXPECT_EQ( error.errorCode, 0x8000001Au ) << row.what;
		EXPECT_EQ( TestArenaUse(), before ) << row.what;
		EXPECT_EQ( RpTestAlive::materials, 0 ) << row.what;
	}
	// A zero-length entry leaves the slot as it was.
	RpGeometry* const geometry = ReadGeometry( FiveTriangles( {} ) );
	ASSERT_NE( geometry, nullptr );
	EXPECT_EQ( _rpCollisionGeometryData( geometry ), nullptr );
	RpGeometryDestroy( geometry );
}

}	// namespace
