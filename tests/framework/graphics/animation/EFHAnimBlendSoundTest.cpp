/*
	Timed sounds of a skeletal node under a blend: the blend's sound
	limit decides which of its two children may sound, the node's other
	commands reach logic either way, and once the blend is gone the node
	sounds again. Sounds are recorded by the audio manager's bank
	playbacks.
*/
#include "../../audio/AudioTestBench.h"

#include "datatypes/descriptor/DTAnimDescriptor.h"
#include "framework/graphics/animation/AnimTestSupport.h"
#include "tools/lib/level/ToolHAnimResWriter.h"

#include <gtest/gtest.h>

namespace {

using namespace animtest;

constexpr u32 ACTOR = 0x2A000041;
constexpr u32 SOUNDER = 0;
constexpr u32 OTHER = 1;
constexpr u32 NOTICE = 7;

class EFHAnimBlendSoundTest : public AudioTestBench {
protected:
	void SetUp() override {
		AudioTestBench::SetUp();
		ToolSoundEventRecord plain;
		plain.name = "STEP";
		plain.elements = { 0 };
		LoadBank( 1, { plain } );
	}

	// The actor, its game object's animation manager handing the nodes
	// the logic's notification manager, where the notices are counted.
	EFGameObject* MakeActor() {
		EFGameObject* const actor = MakeObject( ACTOR );
		void* const key = ::operator new( sizeof( u32* ) );
		*static_cast<u32**>( key ) = &notices;
		gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_ANIM_CB, ACTOR, ACTOR, &Count, key );
		return actor;
	}

	static s32 Count( void* caller, void* data ) {
		if ( static_cast<const EFAnimCBData*>( data )->muiType == NOTICE ) {
			( **static_cast<u32**>( caller ) )++;
		}
		return 0;
	}

	// Starts played on the bank's one sample so far.
	u32 Plays() const { return static_cast<u32>( fakes[1][0]->plays.size() ); }

	// Runs frames of 1/8 s, delivering notifications and ending each
	// sound as it starts.
	void Frames( EFAnimationMgr& manager, const u32 count ) {
		for ( u32 i = 0; i < count; i++ ) {
			const u32 before = Plays();
			manager.Update( 0.125f );
			gpoGameLogicMgr->GetNotificationMgr().FlushNotification();
			audio->Update( 0.125f );
			if ( Plays() != before ) {
				Complete( fakes[1][0]->plays.back().completionId );
			}
		}
	}

	u32					notices = 0;
};

TEST_F( EFHAnimBlendSoundTest, TheBlendsSoundLimitSilencesOneChildUntilTheBlendIsGone ) {
	// The sounding node (group 1, 1 s, a sound at 0.25 and a notice at
	// 0.5) is the blend's first child (the layer's base) or its second
	// (the layer); the other node is of its group, so the limit holds.
	const struct Row {
		const char*	name;
		bool		sounderFirst;
		f32			weight;
		f32			limit;
		bool		sounds;
	} rows[] = {
		{ "no limit", true, 0.5f, -1.0f, true },
		{ "the first child sounds below the limit", true, 0.5f, 0.75f, true },
		{ "the first child is silent from the limit up", true, 0.5f, 0.5f, false },
		{ "the second child sounds from the limit up", false, 0.5f, 0.5f, true },
		{ "the second child is silent below the limit", false, 0.5f, 0.75f, false },
		{ "a limit of 0 silences the first child even at weight 0", true, 0.0f, 0.0f, false },
	};
	ToolHAnimRes stored;
	ToolAnimBlock block;
	block.duration = 1.0f;
	block.group = 1;
	stored.block = ToolAnimBlockWriter::Encode( block );
	stored.commands = { { 0.25f, 0, 0 }, { 0.5f, NOTICE, 0 } };
	const std::vector<u8> bytes = ToolHAnimResWriter::Encode( stored );
	DTAnimDescriptor descriptor;
	descriptor.moSoundEventIDs.Append( static_cast<s32>( EventId( 1, 0 ) ) );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFGameObject* const actor = MakeActor();
		actor->moNewSoundMgr.AddSound( EventId( 1, 0 ) );
		EF3dObj model;
		model.InitTransfo( 2 );
		EFAnimationMgr& manager = actor->moAnimationMgr;
		manager.muiOwnerId = ACTOR;
		manager.CreateTable( 2 );
		EFHAnimNode* const sounder = new EFHAnimNode;
		EFHAnimRes* const res = LoadHAnimRes( bytes );
		res->muiRefCount++;
		sounder->mpAnimRes = res;
		sounder->mpGameObjectOwner = actor;
		DTCreationParameters params = { &descriptor, &model };
		ASSERT_TRUE( sounder->Initialize( &params ) );
		ASSERT_NE( sounder->mppSoundRefs[0], nullptr );
		manager.AddAnim( sounder, SOUNDER );
		manager.AddAnim( MakeSkeletal( SkeletalKind::Stored, *actor, model, 4.0f, 1, 0, { 0, 1 }, 2 ), OTHER );
		manager.GetAnim( OTHER )->muiIndex = OTHER;

		const u32 base = row.sounderFirst ? SOUNDER : OTHER;
		manager.Play( base, AS_LOOP, 0.0f );
		EFBlendParams blend = { 0xBB000001, 0.0f, row.weight, 0.0f, row.limit };
		manager.PlayBlend( base == SOUNDER ? OTHER : SOUNDER, AS_LOOP, base, 0.0f, &blend );
		ASSERT_EQ( manager.FirstChild()->meType, OP_Blend );
		ASSERT_EQ( sounder->mpParent, manager.FirstChild() );
		notices = 0;
		const u32 before = Plays();
		Frames( manager, 6 );
		EXPECT_EQ( Plays() - before, row.sounds ? 1u : 0u );
		EXPECT_EQ( notices, 1u );

		// The other node stops: the sounder is alone and sounds again
		// in its next loop.
		manager.Stop( OTHER );
		ASSERT_EQ( manager.FirstChild(), sounder );
		Frames( manager, 8 );
		EXPECT_EQ( Plays() - before, row.sounds ? 2u : 1u );
		EXPECT_EQ( notices, 2u );
		manager.StopAll();
		manager.Terminate();
		DeleteObject( actor );
	}
}

}
