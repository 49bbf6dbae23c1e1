/*
	The skeletal node over real animation data: the sample animation
	looping through the manager, the timed commands at, before, across
	the current time and over a wrap, the resource's command table and
	its malformed forms, and the stored indices it must not trust.
*/
#include "framework/graphics/animation/AnimTestSupport.h"

#include "datatypes/descriptor/DTAnimDescriptor.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/graphics/animation/EFHAnimNode.h"
#include "framework/graphics/animation/EFHAnimRes.h"
#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/level/ToolAnimCurveWriter.h"
#include "tools/lib/level/ToolHAnimResWriter.h"
#include "tools/lib/level/ToolSampleObjects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace {

using namespace animtest;

constexpr u32 OWNER = 0x2A000011;
constexpr u32 SLOT = 1;

// A resource of duration 1 whose one set moves joint `joint`'s x
// translation from 0 to 1, with commands.
ToolHAnimRes OneSet( const std::vector<ToolTimedCommand>& commands, const u32 joint = 0 ) {
	ToolAnimBlock block;
	block.duration = 1.0f;
	block.tracks = { { joint, 0, { { 3, 0 } } } };
	block.tracks[0].entries[0].offset = ToolAnimCurveWriter::AppendCurve( block, ToolAnimCurveWriter::Linear( 0.0f, 1.0f, 0.0f, 1.0f ) );
	ToolHAnimRes res;
	res.block = ToolAnimBlockWriter::Encode( block );
	res.commands = commands;
	return res;
}

// Logs what reaches the owner as NO_ANIM_CB ({index, type, parameter}) and
// as NO_ANIMATION_LAST_FRAME (written as type 0xFFFF with its data word).
class CallbackLog {
public:
	explicit CallbackLog( EFNotificationMgr& manager ) : moManager( manager ) {
		for ( const EFNotifyType_e type : { NO_ANIM_CB, NO_ANIMATION_LAST_FRAME } ) {
			void* const key = ::operator new( sizeof( CallbackLog* ) );
			*static_cast<CallbackLog**>( key ) = this;
			moManager.RegisterNotify( type, OWNER, type == NO_ANIM_CB ? OWNER : SLOT, type == NO_ANIM_CB ? &Command : &LastFrame, key );
		}
	}
	std::vector<std::vector<u32>> Flush() {
		heard.clear();
		moManager.FlushNotification();
		return heard;
	}

private:
	static s32 Command( void* caller, void* data ) {
		const EFAnimCBData* const record = static_cast<const EFAnimCBData*>( data );
		( *static_cast<CallbackLog**>( caller ) )->heard.push_back( { record->muiIndex, record->muiType, record->muiParameter } );
		return 0;
	}
	static s32 LastFrame( void* caller, void* data ) {
		( *static_cast<CallbackLog**>( caller ) )->heard.push_back( { 0xFFFF, static_cast<u32>( reinterpret_cast<uintptr_t>( data ) ) } );
		return 0;
	}

	EFNotificationMgr&				moManager;
	std::vector<std::vector<u32>>	heard;
};

class EFHAnimNodeTest : public ::testing::Test {
protected:
	EFHAnimNode* Node( Actor& actor, EFHAnimRes* res, DTAnimDescriptor* descriptor = nullptr ) {
		EFHAnimNode* const node = new EFHAnimNode;
		// The node's reference: the resource goes with it.
		res->muiRefCount++;
		node->mpAnimRes = res;
		node->muiIndex = SLOT;
		node->mpGameObjectOwner = &actor.object;
		DTCreationParameters params = { descriptor, &actor.model };
		EXPECT_TRUE( node->Initialize( &params ) );
		actor.Manager().CreateTable( SLOT + 1 );
		EXPECT_TRUE( actor.Manager().AddAnim( node, SLOT ) );
		return node;
	}

	NotificationRecorder recorder;
	CallbackLog log{ recorder.Manager() };
};

TEST_F( EFHAnimNodeTest, TheSampleAnimationLoopsThroughTheManagerMovingItsJointsAndCallingBackOncePerLoop ) {
	Actor actor( OWNER, 3 );
	actor.model.mui3dObjState = 0;
	s32 loaded = -1;
	EFHAnimNode* const node = Node( actor, LoadHAnimRes( ToolHAnimResWriter::Encode( ToolSampleAnimation() ), &loaded ) );
	ASSERT_EQ( loaded, 0 );
	ASSERT_NE( node->GetAnimData(), nullptr );
	ASSERT_EQ( node->mfDuration, TOOL_SAMPLE_ANIMATION_DURATION );
	actor.Manager().Play( SLOT, AS_LOOP, 0.0f );
	EXPECT_NE( actor.model.mui3dObjState & EF_3D_OBJ_TRANSFO_DRIVEN, 0u );
	u32 callbacks = 0;
	u32 lastFrames = 0;
	f64 highest = 0.0;
	f32 previous = 0.0f;
	for ( u32 frame = 0; frame < 185; frame++ ) {
		actor.Manager().Update( 1.0f / 30.0f );
		// The node's time wraps past (not at) the end.
		const f64 t = node->mfCurrentTime;
		ASSERT_NEAR( std::fmod( t - previous + 2.0, 2.0 ), 1.0 / 30.0, 1e-5 ) << frame;
		previous = node->mfCurrentTime;
		for ( const std::vector<u32>& heard : log.Flush() ) {
			if ( heard[0] == 0xFFFF ) {
				lastFrames++;
				continue;
			}
			EXPECT_EQ( heard, ( std::vector<u32>{ SLOT, TOOL_SAMPLE_ANIMATION_COMMAND, TOOL_SAMPLE_ANIMATION_PARAMETER } ) );
			callbacks++;
		}
		// Joint 0 turns a whole turn per loop; joint 1 bounces u - u^2 / 2
		// up and back down; joint 2 swells from 1 to 1.5 and back.
		const DTTransfo* const joints = actor.model.mppTransfo[0];
		ASSERT_LE( t, 2.0 );
		const f64 u = t <= 1.0 ? t : t - 1.0;
		const f64 bounce = t <= 1.0 ? u - u * u / 2.0 : 0.5 - u + u * u / 2.0;
		ASSERT_NEAR( joints[0].mEulerRotation.y, 3.14159265 * t, 1e-3 ) << frame;
		ASSERT_NEAR( joints[1].mTranslation.y, bounce, 1e-3 ) << frame;
		ASSERT_NEAR( joints[2].mScaling.y, 1.0 + 0.5 * ( t <= 1.0 ? t : 2.0 - t ), 1e-3 ) << frame;
		for ( u32 j = 0; j < 3; j++ ) {
			EXPECT_EQ( joints[j].muiJointIndex, j );
			EXPECT_EQ( joints[j].muiState & ( EF_TRANSFO_EULER | EF_TRANSFO_QUAT_VALID ), EF_TRANSFO_EULER );
		}
		highest = std::max( highest, static_cast<f64>( joints[1].mTranslation.y ) );
	}
	// A little over six seconds: three loops, one command and one wrap each.
	EXPECT_EQ( callbacks, 3u );
	EXPECT_EQ( lastFrames, 3u );
	EXPECT_NEAR( highest, 0.5, 1e-2 );
}

TEST_F( EFHAnimNodeTest, CommandsFireAtBeforeAndAcrossTheCurrentTimeAndOverAWrap ) {
	// Commands at 0, 0.5 and 1 of a looping 1 s animation (parameters 10,
	// 11, 12, all notifications).
	const std::vector<ToolTimedCommand> commands = { { 0.0f, 1, 10 }, { 0.5f, 2, 11 }, { 1.0f, 3, 12 } };
	struct Case {
		const char* name;
		f32 setTime;	// < 0: none
		std::vector<f32> steps;
		std::vector<std::vector<u32>> heard;
	};
	const std::vector<u32> c0 = { SLOT, 1, 10 }, c1 = { SLOT, 2, 11 }, c2 = { SLOT, 3, 12 }, wrap = { 0xFFFF, 0 };
	const Case cases[] = {
		{ "the command at the start fires on the first update", -1.0f, { 0.1f }, { c0 } },
		{ "a jump fires every command passed, in order", -1.0f, { 0.75f }, { c0, c1 } },
		{ "one at exactly the current time fires", 0.5f, { 0.0f }, { c1 } },
		{ "SetTime skips the earlier ones", 0.6f, { 0.1f }, {} },
		{ "a wrap fires the rest, the last frame, then from the start", 0.9f, { 0.2f }, { c2, wrap, c0 } },
		{ "nothing fires twice", -1.0f, { 0.1f, 0.1f, 0.1f }, { c0 } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		Actor actor( OWNER, 1 );
		EFHAnimNode* const node = Node( actor, LoadHAnimRes( ToolHAnimResWriter::Encode( OneSet( commands ) ) ) );
		actor.Manager().Play( SLOT, AS_LOOP, 0.0f );
		if ( c.setTime >= 0.0f ) {
			node->SetTime( c.setTime );
		}
		std::vector<std::vector<u32>> heard;
		for ( const f32 dt : c.steps ) {
			actor.Manager().Update( dt );
			for ( std::vector<u32>& h : log.Flush() ) {
				heard.push_back( h );
			}
		}
		EXPECT_EQ( heard, c.heard );
	}
}

TEST_F( EFHAnimNodeTest, SoundsResolveThroughTheOwnerAndUntrustedIndicesAreSkipped ) {
	// Parameter 0: a sound the owner references (played, not notified);
	// 1: an id the owner lacks; 2: id 0xFFFFFFFF; 3: past the references.
	Actor actor( OWNER, 2 );
	actor.object.moNewSoundMgr.AddSound( 7 );
	DTAnimDescriptor descriptor;
	for ( const s32 id : { 7, 8, -1 } ) {
		descriptor.moSoundEventIDs.Append( id );
	}
	const std::vector<ToolTimedCommand> commands = { { 0.1f, 0, 0 }, { 0.2f, 0, 1 }, { 0.3f, 0, 2 }, { 0.4f, 0, 3 } };
	// The set names joint 5 of a two-joint object: skipped, nothing written.
	EFHAnimNode* const node = Node( actor, LoadHAnimRes( ToolHAnimResWriter::Encode( OneSet( commands, 5 ) ) ), &descriptor );
	ASSERT_EQ( node->muiNbSoundRefs, 3u );
	EXPECT_EQ( node->mppSoundRefs[0], actor.object.moNewSoundMgr.GetSound( 7 ) );
	EXPECT_EQ( node->mppSoundRefs[1], nullptr );
	EXPECT_EQ( node->mppSoundRefs[2], nullptr );
	actor.Manager().Play( SLOT, AS_CLAMP, 0.0f );
	actor.Manager().Update( 0.5f );
	EXPECT_EQ( log.Flush(), ( std::vector<std::vector<u32>>{ { SLOT, 0, 1 }, { SLOT, 0, 2 } } ) );
	EXPECT_EQ( node->muiCurCBCmd, 4u );
	for ( u32 j = 0; j < 2; j++ ) {
		EXPECT_EQ( actor.model.mppTransfo[0][j].mTranslation.x, 0.0f );
	}
	// A stop gives everything back and starts the commands over.
	actor.Manager().Stop( SLOT );
	EXPECT_EQ( node->muiCurCBCmd, 0u );
	EXPECT_EQ( node->GetOutput( AT_TRANSFO )->mpDataBlock, nullptr );
	EXPECT_EQ( node->mpParent, nullptr );
}

TEST_F( EFHAnimNodeTest, TheCommandTableLoadsOnlyWhenItsRecordsAreTwelveBytesAndFit ) {
	struct Case {
		const char* name;
		u32 recordSize;
		u32 extra;
		s32 result;
		u32 kept;
	};
	const Case cases[] = {
		{ "twelve-byte records", 12, 0, 0, 2 },
		{ "16-byte records are skipped whole", 16, 0, 0, 0 },
		{ "8-byte records are skipped whole", 8, 0, 0, 0 },
		{ "a count past the bytes left", 12, 1, EF_ANIM_RES_BAD_BLOCK, 0 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		ToolHAnimRes stored = OneSet( { { 0.25f, 5, 1 }, { 0.75f, 6, 2 } } );
		stored.recordSize = c.recordSize;
		stored.extraCount = c.extra;
		const std::vector<u8> bytes = ToolHAnimResWriter::Encode( stored );
		s32 result = 0;
		EFHAnimRes* const res = LoadHAnimRes( bytes, &result );
		EXPECT_EQ( result, c.result );
		EXPECT_EQ( res->GetCommandCount(), c.kept );
		if ( c.kept == 2 ) {
			EXPECT_EQ( res->mpCommands[1].mfTime, 0.75f );
			EXPECT_EQ( res->mpCommands[1].muiType, 6u );
			EXPECT_EQ( res->mpCommands[1].muiParameter, 2u );
		}
		delete res;
	}
}

}
