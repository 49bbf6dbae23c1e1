#include "datatypes/base/DTByteOrder.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFrameSync.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpHAnim.h"
#include "support/TestHexBytes.h"
#include "tools/lib/graphics3d/ToolClumpWriter.h"
#include "../pipeline/RxTestNodes.h"
#include "RpWorldTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>

namespace {

constexpr u32 RIGHTS_PLUGIN = 0xF0F5;

struct Alive {
	static inline s32	atomics = 0;
	static inline s32	clumps = 0;
	static inline s32	geometries = 0;
	static inline s32	cameras = 0;
	static inline s32	frames = 0;
};

// What the rights callback of RIGHTS_PLUGIN was given.
struct Rights {
	static inline RpAtomic*	atomic = nullptr;
	static inline u32		extraData = 0;
	static bool Call( void* object, s32, s32, const u32 extraData ) {
		atomic = static_cast<RpAtomic*>( object );
		Rights::extraData = extraData;
		return true;
	}
};

RpAtomic* Record( RpAtomic* atomic, void* data ) {
	static_cast<std::vector<u32>*>( data )->push_back( atomic->object.object.flags );
	return atomic;
}

class RpClumpTest : public RpWorldTestCase {
protected:
	void RegisterPlugins() override {
		Alive::atomics = Alive::clumps = Alive::geometries = Alive::cameras = 0;
		Rights::atomic = nullptr;
		ASSERT_TRUE( RpHAnimPluginAttach() );
		ASSERT_GE( RpAtomicRegisterPlugin( 4, RP_TEST_COUNTING_PLUGIN, RpTestCountUp<&Alive::atomics>,
										   RpTestCountDown<&Alive::atomics>, nullptr ), 0 );
		ASSERT_GE( RpClumpRegisterPlugin( 4, RP_TEST_COUNTING_PLUGIN, RpTestCountUp<&Alive::clumps>,
										  RpTestCountDown<&Alive::clumps>, nullptr ), 0 );
		ASSERT_GE( RpGeometryRegisterPlugin( 4, RP_TEST_COUNTING_PLUGIN, RpTestCountUp<&Alive::geometries>,
											 RpTestCountDown<&Alive::geometries>, nullptr ), 0 );
		ASSERT_GE( RwCameraRegisterPlugin( 4, RP_TEST_COUNTING_PLUGIN, RpTestCountUp<&Alive::cameras>,
										   RpTestCountDown<&Alive::cameras>, nullptr ), 0 );
		ASSERT_GE( RwFrameRegisterPlugin( 4, RP_TEST_COUNTING_PLUGIN, RpTestCountUp<&Alive::frames>,
										  RpTestCountDown<&Alive::frames>, nullptr ), 0 );
		ASSERT_GE( RpAtomicRegisterPlugin( 0, RIGHTS_PLUGIN, nullptr, nullptr, nullptr ), 0 );
		ASSERT_GE( RpAtomicSetStreamRightsCallBack( RIGHTS_PLUGIN, Rights::Call ), 0 );
	}

	void TearDown() override {
		ExpectNothingAlive();
		RpWorldTestCase::TearDown();
	}

	static void ExpectNothingAlive() {
		EXPECT_EQ( Alive::atomics, 0 );
		EXPECT_EQ( Alive::clumps, 0 );
		EXPECT_EQ( Alive::geometries, 0 );
		EXPECT_EQ( Alive::cameras, 0 );
		EXPECT_EQ( RpTestAlive::lights, 0 );
		EXPECT_EQ( RpTestAlive::materials, 0 );
	}

	static std::vector<u8> Bytes( const ToolClump& clump ) {
		return RpTestBytes( [&]( ToolChunkWriter& w ) { ToolClumpWriter::Write( w, clump ); } );
	}

	RpClump* Read( const ToolClump& clump ) { return RpClumpStreamRead( OpenAt( Bytes( clump ), rwID_CLUMP ) ); }

	// A geometry of one morph target whose sphere is (x, 0, 0) radius r.
	static ToolGeometry Sphere( const f32 x, const f32 r ) {
		ToolGeometry g;
		g.morphTargets[0].sphere = { x, 0.0f, 0.0f, r };
		return g;
	}

	// Three atomics A, B, C (flags 1, 2, 3) on frames 0 and 1 (moved to
	// x = 4), over two listed geometries.
	static ToolClump ThreeAtomics() {
		ToolClump c;
		c.frames = { ToolFrame{}, ToolFrame{} };
		c.frames[1].matrix[9] = 4.0f;
		c.frames[1].parent = 0;
		c.geometries = { Sphere( 1.0f, 2.0f ), Sphere( 0.0f, 5.0f ) };
		for ( u32 i = 0; i < 3; i++ ) {
			ToolAtomic a;
			a.frameIndex = i == 0 ? 0 : 1;
			a.geometryIndex = i == 2 ? 1 : 0;
			a.flags = i + 1;
			c.atomics.push_back( a );
		}
		return c;
	}

	// Frames 0 (the clump's), 1 (another stored root) and 2 (under 1), with
	// an atomic on 0 and an atomic or a light on 2.
	static ToolClump OnAStoredRoot( const bool light ) {
		ToolClump c;
		c.frames = { ToolFrame{}, ToolFrame{}, ToolFrame{} };
		c.frames[2].parent = 1;
		c.geometries = { Sphere( 0.0f, 1.0f ) };
		c.atomics = { ToolAtomic{}, ToolAtomic{} };
		c.atomics[1].frameIndex = 2;
		if ( light ) {
			c.atomics.pop_back();
			c.lights = { { 2, ToolLight{} } };
		}
		return c;
	}

	// The atomic n places from the head of the clump's list.
	static RpAtomic* AtomicFromList( RpClump* clump, const u32 n = 0 ) {
		RwLLLink* link = rwLinkListGetFirst( &clump->atomicList );
		for ( u32 i = 0; i < n; i++ ) {
			link = link->next;
		}
		return reinterpret_cast<RpAtomic*>( reinterpret_cast<u8*>( link ) - offsetof( RpAtomic, inClumpLink ) );
	}

	static std::vector<u32> Order( RpClump* clump ) {
		std::vector<u32> flags;
		RpClumpForAllAtomics( clump, Record, &flags );
		return flags;
	}
};

TEST_F( RpClumpTest, NewAtomicsAndClumpsStartFromTheirDefaults ) {
	RpAtomic* const atomic = RpAtomicCreate();
	ASSERT_NE( atomic, nullptr );
	EXPECT_EQ( atomic->object.object.type, rpATOMIC );
	EXPECT_EQ( atomic->object.object.flags, 0x05 );
	EXPECT_EQ( atomic->object.object.privateFlags, 0x01 );
	EXPECT_EQ( atomic->interpolator.flags, 3 );
	EXPECT_EQ( atomic->interpolator.time, 1.0f );
	EXPECT_EQ( atomic->interpolator.recipTime, 1.0f );
	EXPECT_EQ( atomic->interpolator.position, 0.0f );
	EXPECT_EQ( atomic->renderCallBack, AtomicDefaultRenderCallBack );
	RpClump* const clump = RpClumpCreate();
	ASSERT_NE( clump, nullptr );
	EXPECT_EQ( clump->object.type, rpCLUMP );
	EXPECT_EQ( clump->callback( clump, nullptr ), clump );
	EXPECT_TRUE( rwLinkListEmpty( &clump->atomicList ) );
	// Adding to a second clump takes the atomic out of the first.
	RpClump* const other = RpClumpCreate();
	RpClumpAddAtomic( clump, atomic );
	RpClumpAddAtomic( other, atomic );
	EXPECT_TRUE( rwLinkListEmpty( &clump->atomicList ) );
	EXPECT_EQ( atomic->clump, other );
	RpClumpDestroy( clump );
	RpClumpDestroy( other );
	EXPECT_EQ( Alive::atomics, 0 );
}

TEST_F( RpClumpTest, SettingAGeometryTakesItsReferenceAndSphere ) {
	RpGeometry* const first = RpGeometryCreate( 0, 0, 0 );
	RpGeometry* const second = RpGeometryCreate( 0, 0, 0 );
	first->morphTarget[0].boundingSphere = { { 1.0f, 2.0f, 3.0f }, 4.0f };
	second->morphTarget[0].boundingSphere = { { 0.0f, 0.0f, 0.0f }, 9.0f };
	RpAtomic* const atomic = RpAtomicCreate();
	RpAtomicSetGeometry( atomic, first, 0 );
	EXPECT_EQ( first->refCount, 2 );
	EXPECT_EQ( atomic->boundingSphere.radius, 4.0f );
	RpAtomicSetGeometry( atomic, first, 0 );
	EXPECT_EQ( first->refCount, 2 );
	RpAtomicSetGeometry( atomic, second, rpATOMICSAMEBOUNDINGSPHERE );
	EXPECT_EQ( first->refCount, 1 );
	EXPECT_EQ( second->refCount, 2 );
	EXPECT_EQ( atomic->boundingSphere.radius, 4.0f );
	// A clone shares the geometry and copies the sphere and interpolator.
	atomic->interpolator.position = 0.25f;
	RpAtomic* const clone = RpAtomicClone( atomic );
	EXPECT_EQ( second->refCount, 3 );
	EXPECT_EQ( clone->boundingSphere.radius, 4.0f );
	EXPECT_EQ( clone->interpolator.position, 0.25f );
	EXPECT_EQ( RpAtomicGetFrame( clone ), nullptr );
	RpAtomicDestroy( clone );
	RpAtomicDestroy( atomic );
	EXPECT_EQ( second->refCount, 1 );
	RpGeometryDestroy( first );
	RpGeometryDestroy( second );
}

TEST_F( RpClumpTest, InterpolatedSpheresFollowTheMorphTargets ) {
	RpGeometry* const geometry = RpGeometryCreate( 0, 0, 0 );
	ASSERT_EQ( RpGeometryAddMorphTargets( geometry, 1 ), 1 );
	geometry->morphTarget[0].boundingSphere = { { 0.0f, 0.0f, 0.0f }, 1.0f };
	geometry->morphTarget[1].boundingSphere = { { 4.0f, -8.0f, 2.0f }, 3.0f };
	RpAtomic* const atomic = RpAtomicCreate();
	RpAtomicSetGeometry( atomic, geometry, 0 );
	const struct {
		const char*	name;
		s16			start;
		s16			end;
		RwSphere	expected;
	} cases[] = {
		{ "between two targets at t = 0.5 x 0.5", 0, 1, { { 1.0f, -2.0f, 0.5f }, 1.5f } },
		{ "the same target twice", 1, 1, { { 4.0f, -8.0f, 2.0f }, 3.0f } },
		{ "a target past the count", 1, 2, { { 0.0f, 0.0f, 0.0f }, 1.0f } },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.name );
		atomic->interpolator = { 3, c.start, c.end, 2.0f, 0.5f, 0.5f };
		atomic->object.object.privateFlags = 0;
		const RwSphere* const world = RpAtomicGetWorldBoundingSphere( atomic );
		EXPECT_EQ( atomic->boundingSphere.center.x, c.expected.center.x );
		EXPECT_EQ( atomic->boundingSphere.center.y, c.expected.center.y );
		EXPECT_EQ( atomic->boundingSphere.center.z, c.expected.center.z );
		EXPECT_EQ( atomic->boundingSphere.radius, c.expected.radius );
		EXPECT_EQ( atomic->interpolator.flags, 1 );
		// Without a frame the world sphere is the model sphere.
		EXPECT_EQ( world->radius, c.expected.radius );
		EXPECT_EQ( world->center.y, c.expected.center.y );
	}
	// Without a geometry nothing is re-interpolated and the mark stays.
	RpAtomicSetGeometry( atomic, nullptr, 0 );
	atomic->interpolator.flags = 3;
	_rpAtomicResyncInterpolatedSphere( atomic );
	EXPECT_EQ( atomic->interpolator.flags, 3 );
	RpAtomicDestroy( atomic );
	RpGeometryDestroy( geometry );
}

TEST_F( RpClumpTest, WorldRadiusScalesOnlyUnderAMatrixNotFlaggedOrthonormal ) {
	const struct {
		const char*	name;
		RwV3d		scale;
		u32			flags;
		f32			radius;
	} cases[] = {
		{ "orthonormal", { 1.0f, 1.0f, 1.0f }, 3, 2.0f },
		{ "scaled by 2 along y only", { 1.0f, 2.0f, 1.0f }, 0, 4.0f },
		{ "scaled by 3 along x, 0.5 along z", { 3.0f, 1.0f, 0.5f }, 2, 6.0f },
		{ "scaled but flagged orthonormal", { 1.0f, 2.0f, 1.0f }, 3, 2.0f },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.name );
		RwFrame* const frame = RwFrameCreate();
		frame->modelling.right = { c.scale.x, 0.0f, 0.0f };
		frame->modelling.up = { 0.0f, c.scale.y, 0.0f };
		frame->modelling.at = { 0.0f, 0.0f, c.scale.z };
		frame->modelling.pos = { 10.0f, 0.0f, 0.0f };
		frame->modelling.flags = c.flags;
		RwFrameUpdateObjects( frame );
		RpAtomic* const atomic = RpAtomicCreate();
		atomic->interpolator.flags = 0;
		atomic->boundingSphere = { { 1.0f, 0.0f, 0.0f }, 2.0f };
		RpAtomicSetFrame( atomic, frame );
		const RwSphere* const world = RpAtomicGetWorldBoundingSphere( atomic );
		EXPECT_NEAR( world->radius, c.radius, c.radius * 1e-3f );	// the library's table square root
		EXPECT_FLOAT_EQ( world->center.x, 10.0f + c.scale.x );
		EXPECT_EQ( atomic->object.object.privateFlags & 0x01, 0 );
		RpAtomicDestroy( atomic );
		RwFrameDestroy( frame );
	}
}

TEST_F( RpClumpTest, AtomicsReadInReverseAndCloneBackInStreamOrder ) {
	ToolClump source = ThreeAtomics();
	source.atomics[0].extension = { ToolClumpWriter::Rights( RIGHTS_PLUGIN, 0xCAFE ) };
	RpClump* const clump = Read( source );
	ASSERT_NE( clump, nullptr );
	EXPECT_EQ( Order( clump ), ( std::vector<u32>{ 3, 2, 1 } ) );
	EXPECT_EQ( Alive::geometries, 2 );
	// The rights callback saw atomic A and its extra word.
	ASSERT_NE( Rights::atomic, nullptr );
	EXPECT_EQ( Rights::atomic->object.object.flags, 1 );
	EXPECT_EQ( Rights::extraData, 0xCAFEu );
	// Read atomics report their world spheres from their frames.
	RpAtomic* const c = AtomicFromList( clump );
	EXPECT_EQ( RpAtomicGetWorldBoundingSphere( c )->center.x, 4.0f );
	EXPECT_EQ( RpAtomicGetWorldBoundingSphere( c )->radius, 5.0f );
	RpClump* const clone = RpClumpClone( clump );
	ASSERT_NE( clone, nullptr );
	EXPECT_EQ( Order( clone ), ( std::vector<u32>{ 1, 2, 3 } ) );
	EXPECT_NE( RpClumpGetFrame( clone ), RpClumpGetFrame( clump ) );
	RpAtomic* const cloneOfC = AtomicFromList( clone, 2 );
	EXPECT_EQ( RpAtomicGetFrame( cloneOfC )->object.parent, RpClumpGetFrame( clone ) );
	EXPECT_EQ( RpAtomicGetWorldBoundingSphere( cloneOfC )->center.x, 4.0f );
	RpClumpDestroy( clone );
	// An atomic without frame fails the clone with {2, 5}.
	RpAtomicSetFrame( c, nullptr );
	EXPECT_EQ( RpClumpClone( clump ), nullptr );
	const RwError error = RwTestReadError();
	EXPECT_EQ( error.pluginID, 2u );
	EXPECT_EQ( error.errorCode, 5u );
	RpClumpDestroy( clump );
}

// An atomic or a light on frame 2 of OnAStoredRoot. Before the clump's destroy
// the caller may put frame 1 under a frame of its own, move the member on
// 2 (or its clone's copy) to that frame, or take it off and put it back.
// Nothing is freed before a destroy; kept: frames the clump's destroy
// leaves (the clone's own frame, frames 1 and 2 while a clone shares them
// or while they hang under the caller's frame, and the caller's frame).
TEST_F( RpClumpTest, AStoredRootMembersHangFromGoesWithTheLastUserOfIt ) {
	enum class Before { Nothing, Reparent, MoveOff, MoveCloneOff, DetachAndReattach };
	const struct {
		bool	light, clone;
		Before	before;
		s32		kept;
	} cases[] = {
		{ false, false, Before::Nothing, 0 },	{ true, false, Before::Nothing, 0 },
		{ false, true, Before::Nothing, 3 },	{ false, false, Before::Reparent, 3 },
		{ false, false, Before::MoveOff, 1 },	{ true, false, Before::MoveOff, 1 },
		{ false, true, Before::MoveCloneOff, 4 }, { false, false, Before::DetachAndReattach, 0 },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( static_cast<int>( &c - cases ) );
		const s32 before = Alive::frames;
		RpClump* const clump = Read( OnAStoredRoot( c.light ) );
		ASSERT_NE( clump, nullptr );
		RpLight* light = nullptr;
		RpClumpForAllLights( clump, []( RpLight* l, void* data ) { return *static_cast<RpLight**>( data ) = l; }, &light );
		RwObjectHasFrame* const onTwo = c.light ? &light->object : &AtomicFromList( clump )->object;
		RwFrame* const two = static_cast<RwFrame*>( onTwo->object.parent );
		// Lights have no frame setter of their own.
		const auto move = [&]( RwFrame* frame ) {
			if ( c.light ) {
				_rwObjectHasFrameSetFrame( onTwo, frame );
			} else {
				RpAtomicSetFrame( AtomicFromList( clump ), frame );
			}
		};
		RpClump* const clone = c.clone ? RpClumpClone( clump ) : nullptr;
		if ( clone != nullptr ) {
			// Frame 2 is not the clump's to clone: its atomic's clone hangs
			// from that same frame.
			EXPECT_EQ( RpAtomicGetFrame( AtomicFromList( clone, 1 ) ), two );
			EXPECT_EQ( RpAtomicGetFrame( AtomicFromList( clone ) ), RpClumpGetFrame( clone ) );
		}
		RwFrame* const outside = c.before == Before::Nothing || c.before == Before::DetachAndReattach ? nullptr
																									  : RwFrameCreate();
		switch ( c.before ) {
			case Before::Reparent: RwFrameAddChild( outside, static_cast<RwFrame*>( two->object.parent ) ); break;
			case Before::MoveOff: move( outside ); break;
			case Before::MoveCloneOff: RpAtomicSetFrame( AtomicFromList( clone, 1 ), outside ); break;
			case Before::DetachAndReattach:
				move( nullptr );
				move( two );
				EXPECT_EQ( onTwo->object.parent, two );
				break;
			case Before::Nothing: break;
		}
		EXPECT_EQ( Alive::frames, before + 3 + ( clone != nullptr ? 1 : 0 ) + ( outside != nullptr ? 1 : 0 ) );
		RpClumpDestroy( clump );
		EXPECT_EQ( Alive::frames, before + c.kept );
		RpClumpDestroy( clone );
		if ( outside != nullptr ) {
			RwFrameDestroyHierarchy( outside );
		}
		EXPECT_EQ( Alive::frames, before );
	}
}

TEST_F( RpClumpTest, DestroyingAtomicsInsideTheWalkLeavesTheClumpSound ) {
	RpClump* const clump = Read( ThreeAtomics() );
	ASSERT_NE( clump, nullptr );
	s32 visited = 0;
	RpClumpForAllAtomics( clump, []( RpAtomic* atomic, void* data ) -> RpAtomic* {
		( *static_cast<s32*>( data ) )++;
		RpAtomicDestroy( atomic );
		return atomic;		// not dereferenced by the walk
	}, &visited );
	EXPECT_EQ( visited, 3 );
	EXPECT_TRUE( rwLinkListEmpty( &clump->atomicList ) );
	EXPECT_EQ( Alive::atomics, 0 );
	RpClumpDestroy( clump );
}

TEST_F( RpClumpTest, StructFormsEmbeddedGeometriesLightsCamerasAndHierarchies ) {
	// Counts only at 0x33000: lights and cameras are neither counted nor read.
	ToolClump old = ThreeAtomics();
	old.version = 0x33000;
	old.lights = { ToolClumpLight{} };
	RpClump* const oldClump = Read( old );
	ASSERT_NE( oldClump, nullptr );
	EXPECT_EQ( Order( oldClump ).size(), 3u );
	EXPECT_TRUE( rwLinkListEmpty( &oldClump->lightList ) );
	RpClumpDestroy( oldClump );
	// Embedded geometries, a 12-byte and a 20-byte atomic struct, a light,
	// a camera and a hierarchy on frame 0.
	ToolClump full;
	full.frames = { ToolFrame{}, ToolFrame{} };
	full.frames[1].parent = 0;
	full.frames[0].extension = { { TOOL_PLUGIN_HANIM, ToolClumpWriter::HAnimFrame( { 7, 0, 36, { { 7, 0, 0 }, { 8, 1, 0 } } } ) } };
	full.frames[1].extension = { { TOOL_PLUGIN_HANIM, ToolClumpWriter::HAnimFrame( { 8, 0, 36, {} } ) } };
	for ( const u32 bytes : { 12u, 20u } ) {
		ToolAtomic a;
		a.structBytes = bytes;
		a.reserved = 0xFFFFFFFF;
		a.flags = 0x104;
		a.geometry = Sphere( 0.0f, static_cast<f32>( bytes ) );
		a.extension = { ToolClumpWriter::Rights( RIGHTS_PLUGIN, bytes ) };
		full.atomics.push_back( a );
	}
	full.lights = { { 1, ToolLight{} } };
	full.cameras = { ToolClumpCamera{} };
	RpClump* const clump = Read( full );
	ASSERT_NE( clump, nullptr );
	EXPECT_EQ( Order( clump ), ( std::vector<u32>{ 4, 4 } ) );
	EXPECT_EQ( AtomicFromList( clump )->boundingSphere.radius, 20.0f );
	EXPECT_EQ( Rights::extraData, 20u );
	EXPECT_EQ( Alive::geometries, 2 );
	EXPECT_EQ( AtomicFromList( clump )->geometry->refCount, 1 );
	EXPECT_EQ( RpTestAlive::lights, 1 );
	EXPECT_EQ( Alive::cameras, 1 );
	EXPECT_FALSE( rwLinkListEmpty( &clump->lightList ) );
	EXPECT_FALSE( rwLinkListEmpty( &clump->cameraList ) );
	RpHAnimHierarchy* const hierarchy = RpHAnimFrameGetHierarchy( RpClumpGetFrame( clump ) );
	ASSERT_NE( hierarchy, nullptr );
	EXPECT_EQ( hierarchy->numNodes, 2 );
	RpHAnimHierarchyAttach( hierarchy );
	EXPECT_EQ( hierarchy->pNodeInfo[1].pFrame, RpClumpGetFrame( clump )->child );
	RpClumpDestroy( clump );
}

TEST_F( RpClumpTest, ReadsAPinnedClumpChunk ) {
	// Version 0x33000: the atomic count alone (0); one identity frame; an
	// empty geometry list; an empty extension.
	const std::vector<u8> bytes = HexBytes(
		"10000000 98000000 FFFF0310"
		"01000000 04000000 FFFF000C 00000000"
		"0E000000 54000000 FFFF0310"
		"01000000 3C000000 FFFF0310 01000000"
		"0000803F 00000000 00000000 00000000 0000803F 00000000 00000000 00000000 0000803F"
		"00000000 00000000 00000000 FFFFFFFF 00000000"
		"03000000 00000000 FFFF0310"
		"1A000000 10000000 FFFF0310 01000000 04000000 FFFF0310 00000000"
		"03000000 00000000 FFFF0310" );
	ToolClump source;
	source.version = 0x33000;
	source.frames = { ToolFrame{} };
	EXPECT_EQ( bytes, Bytes( source ) );
	RpClump* const clump = RpClumpStreamRead( OpenAt( bytes, rwID_CLUMP ) );
	ASSERT_NE( clump, nullptr );
	ASSERT_NE( RpClumpGetFrame( clump ), nullptr );
	EXPECT_EQ( RpClumpGetFrame( clump )->modelling.at.z, 1.0f );
	EXPECT_TRUE( rwLinkListEmpty( &clump->atomicList ) );
	RpClumpDestroy( clump );
}

TEST_F( RpClumpTest, MalformedClumpsFailAndLeaveNothingAllocated ) {
	ToolClump geometryPastTheList = ThreeAtomics();
	geometryPastTheList.atomics[2].geometryIndex = 3;
	ToolClump framePastTheList = ThreeAtomics();
	framePastTheList.atomics[1].frameIndex = 2;
	ToolClump lightAtMinusOne = ThreeAtomics();
	lightAtMinusOne.lights = { { -1, ToolLight{} } };
	ToolClump cameraPastTheList = ThreeAtomics();
	cameraPastTheList.cameras = { ToolClumpCamera{} };
	cameraPastTheList.cameras[0].frameIndex = 2;
	ToolClump tooManyAtomics = ThreeAtomics();
	tooManyAtomics.storedAtomics = 4;
	ToolClump badGeometry = ThreeAtomics();
	badGeometry.geometries[1].version = 0x34004;
	ToolClump noFramesNoEmbedded;
	noFramesNoEmbedded.atomics = { ToolAtomic{} };
	const struct {
		const char*	name;
		ToolClump	source;
		RwError		error;		// the first one recorded stays
	} cases[] = {
		{ "geometry index 3 of 2", geometryPastTheList, { 0, 0x8000001A } },
		{ "frame index 2 of 2", framePastTheList, { 0, 0x8000001A } },
		{ "a light at frame -1", lightAtMinusOne, { 0, 0x8000001A } },
		{ "a camera at frame 2 of 2", cameraPastTheList, { 0, 0x8000001A } },
		{ "more atomics counted than stored", tooManyAtomics, { 1, 5 } },
		{ "a listed geometry of a bad version", badGeometry, { 0, 0x80000004 } },
		{ "no geometry list and no embedded geometry", noFramesNoEmbedded, { 1, 5 } },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.name );
		EXPECT_EQ( Read( c.source ), nullptr );
		const RwError error = RwTestReadError();
		EXPECT_EQ( error.pluginID, c.error.pluginID );
		EXPECT_EQ( error.errorCode, c.error.errorCode );
		ExpectNothingAlive();
	}
	// Cut at every word: each step's failure takes down what it read.
	ToolClump whole = ThreeAtomics();
	whole.lights = { { 1, ToolLight{} } };
	whole.cameras = { ToolClumpCamera{} };
	whole.frames[0].extension = { { TOOL_PLUGIN_HANIM, ToolClumpWriter::HAnimFrame( { 1, 0, 36, { { 1, 0, 0 } } } ) } };
	const std::vector<u8> bytes = Bytes( whole );
	for ( size_t cut = 12; cut < bytes.size(); cut += 4 ) {
		SCOPED_TRACE( cut );
		EXPECT_EQ( RpClumpStreamRead( OpenAt( std::vector<u8>( bytes.begin(), bytes.begin() + cut ), rwID_CLUMP ) ), nullptr );
		RwTestReadError();
		ExpectNothingAlive();
	}
	// An empty frame list gives a clump without frame.
	ToolClump noFrames;
	noFrames.atomics = { ToolAtomic{} };
	noFrames.atomics[0].frameIndex = 5;
	noFrames.atomics[0].geometry = Sphere( 0.0f, 1.0f );
	RpClump* const clump = Read( noFrames );
	ASSERT_NE( clump, nullptr );
	EXPECT_EQ( RpClumpGetFrame( clump ), nullptr );
	EXPECT_EQ( RpAtomicGetFrame( AtomicFromList( clump ) ), nullptr );
	EXPECT_EQ( RpAtomicGetWorldBoundingSphere( AtomicFromList( clump ) )->radius, 1.0f );
	RpClumpDestroy( clump );
}

TEST_F( RpClumpTest, RenderingRunsTheAtomicsPipelineAndRightsFollowItsPluginId ) {
	RxTestDefinition node( "Record", 0, {} );
	RxPipeline* const pipeline = RxLockedPipeUnlock( RxLockedPipeAddFragment( RxPipelineLock( RxPipelineCreate() ), nullptr, node.Get() ) );
	ASSERT_NE( pipeline, nullptr );
	RpAtomic* const atomic = RpAtomicCreate();
	EXPECT_EQ( _rpSizeAtomicRights( atomic, 0, 0 ), 0 );
	atomic->pipeline = pipeline;
	EXPECT_EQ( _rpSizeAtomicRights( atomic, 0, 0 ), 0 );
	pipeline->pluginId = 0x120;
	EXPECT_EQ( _rpSizeAtomicRights( atomic, 0, 0 ), 8 );
	rxTestBodyData = nullptr;
	EXPECT_EQ( atomic->renderCallBack( atomic ), atomic );
	EXPECT_EQ( rxTestBodyData, atomic );
	rxTestFailures.body = "Record";
	EXPECT_EQ( atomic->renderCallBack( atomic ), nullptr );
	rxTestFailures = RxTestFailures{};
	RpAtomicDestroy( atomic );
	_rxPipelineDestroy( pipeline );
}

}	// namespace

namespace {

// A read stream that cannot tell where it ends, like a disc stream of an
// engine without a size: only the chunks' own lengths bound the counts.
struct BlindReads {
	std::vector<u8>	bytes;
	size_t			at = 0;
	static s32 Close( void* ) { return 1; }
	static u32 Read( void* data, void* buffer, const u32 length ) {
		BlindReads& in = *static_cast<BlindReads*>( data );
		const u32 n = static_cast<u32>( std::min<size_t>( length, in.bytes.size() - in.at ) );
		std::memcpy( buffer, in.bytes.data() + in.at, n );
		in.at += n;
		return n;
	}
	static bool Skip( void* data, const u32 offset ) {
		BlindReads& in = *static_cast<BlindReads*>( data );
		in.at = std::min<size_t>( in.bytes.size(), in.at + offset );
		return true;
	}
};

u32 gLargestRequest = 0;
u32 gCalls = 0;
u32 gRefusedCall = 0;		// 0: none
void* ( *gMalloc )( u32 ) = nullptr;

void* RecordingMalloc( const u32 size ) {
	gLargestRequest = std::max( gLargestRequest, size );
	return ++gCalls == gRefusedCall ? nullptr : gMalloc( size );
}

// Offset of the payload of the first sub-chunk of type after the header at
// offset (sub-chunks walked in order).
size_t SubChunk( const std::vector<u8>& bytes, const size_t offset, const u32 type ) {
	size_t at = offset + 12;
	while ( DTReadLE32( bytes.data() + at ) != type ) {
		at += 12 + DTReadLE32( bytes.data() + at + 4 );
	}
	return at;
}

}	// namespace

TEST_F( RpClumpTest, CorruptCountsAreRefusedByTheirChunkBeforeAnythingIsAllocated ) {
	const std::vector<u8> bytes = Bytes( ThreeAtomics() );
	const size_t list = SubChunk( bytes, 0, rwID_GEOMETRYLIST );
	const size_t listCount = list + 24;
	const size_t geometry = SubChunk( bytes, list, rwID_GEOMETRY );
	const size_t counts = geometry + 24;
	const struct {
		const char*	name;
		size_t		at;
		u32			value;
	} cases[] = {
		{ "geometry count", listCount, 0x0FFFFFFF },
		{ "triangle count", counts + 4, 0x00FFFFFF },
		{ "morph-target count", counts + 12, 0x00FFFFFF },
	};
	gMalloc = RwEngineInstance->memoryFunctions.rwmalloc;
	RwEngineInstance->memoryFunctions.rwmalloc = RecordingMalloc;
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.name );
		BlindReads in;
		in.bytes = bytes;
		DTWriteLE32( in.bytes.data() + c.at, c.value );
		const RwStreamCustom custom = { BlindReads::Close, BlindReads::Read, nullptr, BlindReads::Skip, &in, nullptr };
		RwStream* const stream = RwStreamOpen( rwSTREAMCUSTOM, rwSTREAMREAD, &custom );
		ASSERT_TRUE( RwStreamFindChunk( stream, rwID_CLUMP, nullptr, nullptr ) );
		gLargestRequest = 0;
		EXPECT_EQ( RpClumpStreamRead( stream ), nullptr );
		EXPECT_LT( gLargestRequest, 4096u );
		RwStreamClose( stream, nullptr );
		RwTestReadError();
		ExpectNothingAlive();
	}
	RwEngineInstance->memoryFunctions.rwmalloc = gMalloc;
}

// The record of the stored roots a clump keeps is the last allocation of
// its read and of its clone; refused, either fails and leaves nothing.
TEST_F( RpClumpTest, AReadOrCloneThatCannotRecordItsStoredRootsFailsLeavingNothing ) {
	const std::vector<u8> bytes = Bytes( OnAStoredRoot( false ) );
	const s32 before = Alive::frames;
	gMalloc = RwEngineInstance->memoryFunctions.rwmalloc;
	RwEngineInstance->memoryFunctions.rwmalloc = RecordingMalloc;
	RwStream* stream = OpenAt( bytes, rwID_CLUMP );
	gCalls = 0;
	RpClump* const clump = RpClumpStreamRead( stream );
	const u32 readCalls = gCalls;
	gCalls = 0;
	RpClumpDestroy( RpClumpClone( clump ) );
	gRefusedCall = gCalls;
	gCalls = 0;
	EXPECT_EQ( RpClumpClone( clump ), nullptr );
	EXPECT_EQ( RwTestReadError().errorCode, static_cast<u32>( RWERR_NO_MEMORY ) );
	RpClumpDestroy( clump );
	EXPECT_EQ( Alive::frames, before );
	stream = OpenAt( bytes, rwID_CLUMP );
	gRefusedCall = readCalls;
	gCalls = 0;
	EXPECT_EQ( RpClumpStreamRead( stream ), nullptr );
	RwTestReadError();
	gRefusedCall = 0;
	RwEngineInstance->memoryFunctions.rwmalloc = gMalloc;
	EXPECT_EQ( Alive::frames, before );
	ExpectNothingAlive();
}
