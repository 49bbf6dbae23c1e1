/*
	Morph animation nodes over resources loaded from class-19 records:
	running, wrapping, clamping both ways, restarting, stopping and the
	blend-in from the geometry as it was, checked against the stored keys
	evaluated independently; the group by data version; and records the
	loader refuses (damaged, or whose first atomic animates nothing),
	registered all the same, over which a node does nothing.
*/
#include "framework/graphics/model/ModelTestBench.h"

#include "datatypes/memory/DTWorkMemory.h"
#include "framework/graphics/ApMorphAnimation.h"
#include "framework/graphics/animation/AnimTestSupport.h"
#include "framework/graphics/animation/EFMorphAnimNode.h"
#include "framework/graphics/animation/EFMorphAnimRes.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/world/RpGeometry.h"
#include "tools/lib/level/ToolMorphAnimResWriter.h"

#include <cmath>
#include <memory>

namespace {

constexpr u32 RES_ID = 0x13000005;
constexpr u32 NODE_INDEX = 3;
constexpr u32 OWNER_ID = 0x2A000009;
// Data versions in the stored word's low half, with other bits above.
constexpr u32 GROUPED = 0xFFFF0000u | EF_MORPH_GROUP_VERSION;
constexpr u32 UNGROUPED = 0x00010000u | ( EF_MORPH_GROUP_VERSION - 1 );

using V3 = std::array<f64, 3>;

// Vertex 1 of a four-vertex atomic moves out to PEAK at 1 s and back at
// 2 s (a 2 s loop).
constexpr V3 PEAK = { 2.0, -1.0, 4.0 };
constexpr V3 BASE = { 1.0, 0.0, 0.0 };
// Where a test moves vertex 1 before a step.
constexpr V3 MOVED = { 5.0, 5.0, 5.0 };

ToolMorphAnimRes Stored( const u32 version ) {
	ToolMorphChannel vertex;
	vertex.indices = { 1 };
	const std::array<f32, 3> peak = { static_cast<f32>( PEAK[0] ), static_cast<f32>( PEAK[1] ), static_cast<f32>( PEAK[2] ) };
	vertex.keys = { { 0.0f, { { 0, 0, 0 } } }, { 1.0f, { peak } }, { 2.0f, { { 0, 0, 0 } } } };
	ToolMorphAnimRes stored;
	stored.id = RES_ID;
	stored.animation.version = version;
	stored.animation.group = 7;
	stored.animation.atomics = { ToolMorphAtomic{ vertex, std::nullopt, 0 } };
	return stored;
}

// Vertex 1 at animation time t, from the keys above.
V3 Animated( const f64 t ) {
	const f64 at = std::fmod( t, 2.0 );
	const f64 weight = at <= 1.0 ? at : 2.0 - at;
	return { BASE[0] + weight * PEAK[0], BASE[1] + weight * PEAK[1], BASE[2] + weight * PEAK[2] };
}

enum class Op {
	Play,		// Play( flags, value )
	Update,		// Update( value )
	Stop,
	Move,		// vertex 1 to MOVED
	Speed,		// mfSpeed = value
};

struct Step {
	Op		op;
	f32		value = 0.0f;
	u32		flags = 0;
	// Then: the node's time, vertex 1 as MOVED + (Animated( at ) - MOVED)
	// x blend, and how many notifications the node sent in the step.
	f32		time = 0.0f;
	f64		at = 0.0;
	f64		blend = 1.0;
	u32		heard = 0;
};

class EFMorphAnimNodeTest : public ModelTestBench {
protected:
	void SetUp() override {
		ModelTestBench::SetUp();
		owner->SetUID( OWNER_ID );
		clump = RpClumpCreate();
		RpClumpSetFrame( clump, RwFrameCreate() );
		RpGeometry* const geometry = RpGeometryCreate( 4, 0, rpGEOMETRYPOSITIONS | rpGEOMETRYNORMALS );
		for ( u32 v = 0; v < 4; v++ ) {
			geometry->morphTarget[0].verts[v] = { static_cast<f32>( v ), 0.0f, 0.0f };
			geometry->morphTarget[0].normals[v] = { 0.0f, 1.0f, 0.0f };
		}
		atomic = RpAtomicCreate();
		RpAtomicSetGeometry( atomic, geometry, 0 );
		RpGeometryDestroy( geometry );
		RpAtomicSetFrame( atomic, RpClumpGetFrame( clump ) );
		RpClumpAddAtomic( clump, atomic );
		object = new EF3dObj;
		object->SetUID( 0x0F000007 );
		object->mpClump = clump;
		recorder = std::make_unique<animtest::NotificationRecorder>();
		recorder->Listen( OWNER_ID, { NODE_INDEX } );
	}

	void TearDown() override {
		recorder.reset();
		delete object;
		RpClumpDestroy( clump );
		ModelTestBench::TearDown();
	}

	// Loads the record through the factory, which hands the resource back.
	EFMorphAnimRes* Load( const ToolMorphAnimRes& stored, const s32 expected ) {
		std::vector<u8> bytes = ToolMorphAnimResWriter::Encode( stored );
		DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
		EFMorphAnimRes* const res = new EFMorphAnimRes;
		EXPECT_EQ( res->LoadPropertiesBinary( stream ), expected );
		EXPECT_EQ( gpoRessourcesMgr->GetRessourceFactory().GetRessource( stored.id ), res );
		return res;
	}

	// A node taking over the resource's reference, on the object.
	std::unique_ptr<EFMorphAnimNode> Node( EFMorphAnimRes* res ) {
		std::unique_ptr<EFMorphAnimNode> node = std::make_unique<EFMorphAnimNode>();
		node->mpAnimRes = res;
		node->muiIndex = NODE_INDEX;
		node->mpGameObjectOwner = owner;
		DTCreationParameters params = { nullptr, object };
		EXPECT_TRUE( node->Initialize( &params ) );
		return node;
	}

	V3 Vertex() const {
		const RwV3d& v = atomic->geometry->morphTarget[0].verts[1];
		return { v.x, v.y, v.z };
	}

	RpClump* clump = nullptr;
	RpAtomic* atomic = nullptr;
	EF3dObj* object = nullptr;
	std::unique_ptr<animtest::NotificationRecorder> recorder;
	u8 memory[64];
	DTWorkMemory work{ memory, sizeof( memory ) };
};

TEST_F( EFMorphAnimNodeTest, PlaysWrapsClampsAndBlendsInAsTheKeysSay ) {
	struct Case {
		const char* name;
		u32 version;
		u8 group;
		std::vector<Step> steps;
	};
	const Case cases[] = {
		{ "loop wraps with one last-frame notice",
		  GROUPED,
		  7,
		  { { Op::Play, 0.0f, AS_LOOP, 0.0f, 0.0 },
			{ Op::Update, 0.5f, 0, 0.5f, 0.5 },
			{ Op::Update, 1.0f, 0, 1.5f, 1.5 },
			{ Op::Update, 1.0f, 0, 0.5f, 2.5, 1.0, 1 } } },
		{ "clamp ends at the duration, then nothing moves",
		  UNGROUPED,
		  0,
		  { { Op::Play, 0.0f, AS_CLAMP, 0.0f, 0.0 },
			{ Op::Update, 1.5f, 0, 1.5f, 1.5 },
			{ Op::Update, 1.0f, 0, 2.0f, 2.0, 1.0, 1 },
			{ Op::Move, 0.0f, 0, 2.0f, 0.0, 0.0 },
			{ Op::Update, 0.5f, 0, 2.0f, 0.0, 0.0 } } },
		{ "backwards clamp ends at 0",
		  GROUPED,
		  7,
		  { { Op::Speed, -1.0f, 0, 0.0f, 0.0 },
			{ Op::Play, 0.0f, AS_CLAMP, 0.0f, 0.0 },
			{ Op::Move, 0.0f, 0, 0.0f, 0.0, 0.0 },
			{ Op::Update, 0.5f, 0, 0.0f, 0.0, 1.0, 1 } } },
		// Blend 0.5 s from the moved vertex at 0.25 s a frame: half, all
		// the way, the ending frame (no step), then the run.
		{ "blend-in from the geometry as it was",
		  GROUPED,
		  7,
		  { { Op::Move, 0.0f, 0, 0.0f, 0.0, 0.0 },
			{ Op::Play, 0.5f, AS_HOLD | AS_LOOP, 0.0f, 0.0 },
			{ Op::Update, 0.25f, 0, 0.0f, 0.0, 0.5 },
			{ Op::Update, 0.25f, 0, 0.0f, 0.0, 1.0 },
			{ Op::Update, 0.25f, 0, 0.0f, 0.0, 1.0 },
			{ Op::Update, 0.25f, 0, 0.25f, 0.25 } } },
		{ "play while running restarts at 0",
		  GROUPED,
		  7,
		  { { Op::Play, 0.0f, AS_LOOP, 0.0f, 0.0 },
			{ Op::Update, 1.5f, 0, 1.5f, 1.5 },
			{ Op::Move, 0.0f, 0, 1.5f, 0.0, 0.0 },
			{ Op::Play, 0.0f, AS_LOOP, 0.0f, 0.0 },
			{ Op::Update, 0.25f, 0, 0.25f, 0.25 } } },
		{ "stop leaves the geometry and plays again from 0",
		  GROUPED,
		  7,
		  { { Op::Play, 0.0f, AS_LOOP, 0.0f, 0.0 },
			{ Op::Update, 0.5f, 0, 0.5f, 0.5 },
			{ Op::Stop, 0.0f, 0, 0.0f, 0.5, 1.0, 1 },
			{ Op::Play, 0.0f, AS_LOOP, 0.0f, 0.0 },
			{ Op::Update, 0.75f, 0, 0.75f, 0.75 } } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		atomic->geometry->morphTarget[0].verts[1] = { static_cast<f32>( BASE[0] ), 0.0f, 0.0f };
		ToolMorphAnimRes stored = Stored( c.version );
		std::unique_ptr<EFMorphAnimNode> node = Node( Load( stored, 0 ) );
		ASSERT_NE( node->mpMorphAnim, nullptr );
		EXPECT_EQ( node->muiGroup, c.group );
		EXPECT_EQ( node->mfDuration, 2.0f );
		for ( size_t s = 0; s < c.steps.size(); s++ ) {
			const Step& step = c.steps[s];
			SCOPED_TRACE( s );
			switch ( step.op ) {
			case Op::Play:
				node->Play( step.flags, step.value );
				break;
			case Op::Update:
				node->Update( step.value, work );
				break;
			case Op::Stop:
				node->Stop();
				EXPECT_EQ( node->muiAnimState, AS_STOPPED );
				break;
			case Op::Move:
				atomic->geometry->morphTarget[0].verts[1] = { static_cast<f32>( MOVED[0] ), static_cast<f32>( MOVED[1] ),
															  static_cast<f32>( MOVED[2] ) };
				break;
			case Op::Speed:
				node->mfSpeed = step.value;
				break;
			}
			EXPECT_EQ( node->mfCurrentTime, step.time );
			const V3 animated = Animated( step.at );
			const V3 vertex = Vertex();
			for ( u32 i = 0; i < 3; i++ ) {
				EXPECT_NEAR( vertex[i], MOVED[i] + ( animated[i] - MOVED[i] ) * step.blend, 1e-5 ) << "component " << i;
			}
			EXPECT_EQ( recorder->Flush().size(), step.heard );
		}
		// Vertices without keys never move.
		EXPECT_EQ( atomic->geometry->morphTarget[0].verts[2].x, 2.0f );
	}
}

TEST_F( EFMorphAnimNodeTest, RefusedRecordsAreRegisteredAndTheirNodesDoNothing ) {
	const ToolMorphAnimRes good = Stored( GROUPED );
	std::vector<ToolMorphAnimResVariant> variants = ToolMorphAnimResWriter::Malformed( good );
	// A first atomic that animates nothing refuses a block otherwise sound.
	ToolMorphAnimRes idle = good;
	idle.animation.atomics.insert( idle.animation.atomics.begin(), ToolMorphAtomic{ std::nullopt, std::nullopt, 0 } );
	variants.push_back( { "first atomic animates nothing", idle } );
	ASSERT_GE( variants.size(), 10u );
	for ( const ToolMorphAnimResVariant& variant : variants ) {
		SCOPED_TRACE( variant.name );
		EFMorphAnimRes* const res = Load( variant.resource, EF_ANIM_RES_BAD_BLOCK );
		EXPECT_EQ( res->mpMorphAnim, nullptr );
		std::unique_ptr<EFMorphAnimNode> node = Node( res );
		EXPECT_EQ( node->mfDuration, 0.0f );
		EXPECT_EQ( node->muiGroup, 0u );
		node->Play( AS_HOLD | AS_LOOP, 0.5f );
		EXPECT_EQ( node->muiAnimState, AS_STOPPED );
		EXPECT_EQ( node->Update( 0.5f, work ), 0.0f );
		EXPECT_FALSE( node->Stop() );
		EXPECT_EQ( Vertex(), BASE );
		EXPECT_TRUE( recorder->Flush().empty() );
	}
}

}
