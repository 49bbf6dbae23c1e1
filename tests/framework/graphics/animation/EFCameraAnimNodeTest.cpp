/*
	Camera animation in a world: position, the stored rotation
	conventions, the focal length turned into a field of view, and the
	cases that must leave the camera alone.
*/
#include "../../core/world/WorldTestBench.h"

#include "datatypes/memory/DTWorkMemory.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/graphics/animation/AnimTestSupport.h"
#include "framework/graphics/animation/EFCameraAnimNode.h"
#include "framework/graphics/animation/EFCutScenePlayer.h"
#include "tools/lib/level/ToolAnimCurveWriter.h"
#include "tools/lib/level/ToolCutSceneWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace {

constexpr u32 CAMERA_ID = 0x10000000;	// camera slot 0

// A 1 s animation of constant channels {target, value}.
EFAnimRes* Channels( const std::vector<std::pair<u32, f32>>& channels ) {
	ToolAnimBlock block;
	block.duration = 1.0f;
	ToolAnimTrack track;
	for ( const auto& channel : channels ) {
		track.entries.push_back( { channel.first, 0 } );
	}
	block.tracks = { track };
	for ( size_t i = 0; i < channels.size(); i++ ) {
		block.tracks[0].entries[i].offset = ToolAnimCurveWriter::AppendCurve( block, ToolAnimCurveWriter::Constant( channels[i].second ) );
	}
	const std::vector<u8> bytes = ToolAnimBlockWriter::Encode( block );
	EFAnimRes* const res = new EFAnimRes;
	res->mpAnimData = static_cast<u8*>( MMVMalloc( static_cast<u32>( bytes.size() ) ) );
	std::memcpy( res->mpAnimData, bytes.data(), bytes.size() );
	return res;
}

class EFCameraAnimNodeTest : public WorldTestBench {
protected:
	void SetUp() override {
		WorldTestBench::SetUp();
		camera = MakeCamera();
		camera->SetUID( CAMERA_ID );
		Reset();
	}

	// Looking along +x from (9, 9, 9).
	void Reset() {
		RwMatrix& m = camera->GetFrame()->GetRwFrame()->modelling;
		m.right = { 0.0f, 0.0f, -1.0f };
		m.up = { 0.0f, 1.0f, 0.0f };
		m.at = { 1.0f, 0.0f, 0.0f };
		m.pos = { 9.0f, 9.0f, 9.0f };
	}

	EFCameraAnimNode* Node( EFAnimRes* res ) {
		EFCameraAnimNode* const node = new EFCameraAnimNode;
		node->mpAnimRes = res;
		res->muiRefCount++;
		DTCreationParameters params = { nullptr, nullptr };
		node->Initialize( &params );
		return node;
	}

	const RwMatrix& Placed() const { return camera->GetFrame()->GetRwFrame()->modelling; }

	EFCamera* camera = nullptr;
	u8 memory[64];
	DTWorkMemory work{ memory, sizeof( memory ) };
};

TEST_F( EFCameraAnimNodeTest, ChannelsPlaceTurnAndZoomTheCameraByTheirConventions ) {
	struct Case {
		const char* name;
		std::vector<std::pair<u32, f32>> channels;
		RwV3d pos, at;
	};
	const Case cases[] = {
		// No rotation channel: the orientation stays.
		{ "position only", { { 3, 1.0f }, { 4, 2.0f }, { 5, 3.0f } }, { 1.0f, 2.0f, 3.0f }, { 1.0f, 0.0f, 0.0f } },
		// y is stored as pi + value: 0 looks back along -z.
		{ "y rotation 0", { { 7, 0.0f } }, { 0.0f, 0.0f, 0.0f }, { 0.0f, 0.0f, -1.0f } },
		// x is stored negated; no position channel puts the camera at 0.
		{ "x rotation", { { 6, 0.0f }, { 7, -3.14159265f } }, { 0.0f, 0.0f, 0.0f }, { 0.0f, 0.0f, 1.0f } },
		// Unknown targets are ignored.
		{ "others", { { 0, 5.0f }, { 9, 1.0f }, { 21, 7.0f } }, { 0.0f, 0.0f, 0.0f }, { 1.0f, 0.0f, 0.0f } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		Reset();
		EFCameraAnimNode* const node = Node( Channels( c.channels ) );
		node->Connect( camera );
		node->Play( AS_CLAMP, 0.0f );
		node->Update( 0.1f, work );
		EXPECT_NEAR( Placed().pos.x, c.pos.x, 1e-5 );
		EXPECT_NEAR( Placed().pos.y, c.pos.y, 1e-5 );
		EXPECT_NEAR( Placed().pos.z, c.pos.z, 1e-5 );
		EXPECT_NEAR( Placed().at.x, c.at.x, 1e-5 );
		EXPECT_NEAR( Placed().at.y, c.at.y, 1e-5 );
		EXPECT_NEAR( Placed().at.z, c.at.z, 1e-5 );
		delete node;
	}
	// A focal length of 12.4471197 is a field of view of pi / 2, the
	// window keeping its aspect.
	f32 width = 0.0f;
	f32 height = 0.0f;
	camera->GetViewWindow( width, height );
	const f32 aspect = width / height;
	EFCameraAnimNode* const lens = Node( Channels( { { EF_CAMERA_TARGET_FOCAL, 12.4471197f } } ) );
	lens->Connect( camera );
	lens->Play( AS_CLAMP, 0.0f );
	lens->Update( 0.1f, work );
	camera->GetViewWindow( width, height );
	EXPECT_NEAR( width, 1.0f, 1e-6 );
	EXPECT_NEAR( width / height, aspect, 1e-5 );
	delete lens;
}

TEST_F( EFCameraAnimNodeTest, WithoutACameraNothingMoves ) {
	// Shared by every node here; the test holds one reference too.
	EFAnimRes* const res = Channels( { { 3, 1.0f } } );
	res->muiRefCount++;
	struct Case {
		const char* name;
		u32 id;			// the id the node is connected to (0: none)
	};
	const Case cases[] = { { "never connected", 0 }, { "a 3D object's id", 0x0F000001 }, { "a light's id", 0x05000001 } };
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		EFCameraAnimNode* const node = Node( res );
		EFGameObject* other = nullptr;
		if ( c.id != 0 ) {
			other = MakeObject( c.id );
			node->Connect( other );
		}
		node->Play( AS_CLAMP, 0.0f );
		node->Update( 0.5f, work );
		EXPECT_EQ( node->mpCamera, nullptr );
		EXPECT_EQ( node->mfCurrentTime, 0.0f );
		EXPECT_EQ( Placed().pos.x, 9.0f );
		delete node;
	}
	// A cut scene given camera 0x7FFFFFFF connects none of its camera nodes.
	EFGameObject* const owner = MakeObject( 0x2A000005 );
	owner->moAnimationMgr.CreateTable( 1 );
	EFCameraAnimNode* const node = Node( res );
	node->mpGameObjectOwner = owner;
	owner->moAnimationMgr.AddAnim( node, 0 );
	ToolCutSceneTable table;
	table.scenes = { { 1.0f, { { 0x2A000005, 0 } } } };
	std::vector<u8> record = ToolCutSceneWriter::Record( table );
	DTMemoryPersistStream stream( reinterpret_cast<char*>( record.data() ), static_cast<s32>( record.size() ) );
	EFCutScenePlayer& player = EFCutScenePlayer::mInstance;
	ASSERT_EQ( player.LoadPropertiesBinary( stream ), 0 );
	player.Play( 0, EF_CS_NONE, EF_CS_NO_CAMERA );
	EXPECT_EQ( node->mpCamera, nullptr );
	EXPECT_EQ( node->muiAnimState, AS_CLAMP );
	player.Stop();
	player.Play( 0, EF_CS_NONE, CAMERA_ID );
	EXPECT_EQ( node->mpCamera, camera );
	player.Stop();
	player.Terminate();
	if ( res->Release() != 0 ) {
		delete res;
	}
}

}
