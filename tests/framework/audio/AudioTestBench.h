/*
===============================================================================

	Fixture of the audio tests: the 3D library started with its world
	modules (frames and cameras come from it), the game logic manager
	(notifications), a world, a graphics manager with camera 0 at the
	origin looking along +z, the audio manager with three banks, and a
	disc for the sound tables.

	Sound objects are fakes that record what the events ask of them,
	answer with scripted voices (or none) and delay or take part in set
	exclusion as told. Voices complete the way the platform completes
	them: through the completion callback, then the next audio update.

===============================================================================
*/
#ifndef AUDIO_TEST_BENCH_H
#define AUDIO_TEST_BENCH_H

#include "datatypes/maths/DTFrame.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/audio/EFNewSound.h"
#include "framework/audio/EFSETTable.h"
#include "framework/audio/EFTSCTable.h"
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/physics/EFPhysicMgr.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwTestChunks.h"
#include "platform/os/OSHost.h"
#include "platform/runtime/RuntimeRand.h"
#include "support/HostTestDisc.h"
#include "tools/lib/audio/ToolSoundTableWriter.h"

#include <string>
#include <vector>

struct FakePlay {
	u32		playArg;
	u32		completionId;
	u32		groupMask;
	u32		left;
	u32		right;
	u32		voice;
};

// A bank playback that records what it is asked.
class FakeSound : public EFNewSound {
public:
	// Room enough that recording a call allocates nothing.
	FakeSound() {
		plays.reserve( 256 );
		stops.reserve( 256 );
		resets.reserve( 256 );
	}

	u32 PlaySound( const u32 playArg, const u32 completionId, const u32 groupMask, u32, const u32 left,
				   const u32 right ) override {
		const u32 voice = failStarts ? EF_NO_VOICE : nextVoice++;
		plays.push_back( { playArg, completionId, groupMask, left, right, voice } );
		return voice;
	}
	void StopSound( const u32 completionId, u32, bool ) override { stops.push_back( completionId ); }
	void ResetSound( u32, const u32 voice ) override { resets.push_back( voice ); }
	void SetFinalVolume( u32, const f32 pan, const f32 volume ) override {
		lastPan = pan;
		lastVolume = volume;
	}
	void SetPitch( u32, const f32 pitch ) override { lastPitch = pitch; }
	bool MustSoftDelay( const f32 seconds ) override { return seconds < softDelay; }
	bool CanCheckForSET() override { return checksSet; }

	std::vector<FakePlay>	plays;
	std::vector<u32>		stops;
	std::vector<u32>		resets;
	u32						nextVoice = 1;
	bool					failStarts = false;
	bool					checksSet = true;
	// Seconds the start waits (0: none).
	f32						softDelay = 0.0f;
	f32						lastPan = 0.0f;
	f32						lastVolume = -1.0f;
	f32						lastPitch = 0.0f;
};

inline std::vector<std::string> gAudioReports;

inline void RecordAudioReport( const char* text ) {
	gAudioReports.emplace_back( text );
}

inline u32 gSoundCompletions = 0;
inline u32 gLastCompletionData[2] = {};

inline s32 CountSoundCompletion( void*, void* data ) {
	gSoundCompletions++;
	if ( data != nullptr ) {
		gLastCompletionData[0] = static_cast<const u32*>( data )[0];
		gLastCompletionData[1] = static_cast<const u32*>( data )[1];
	}
	return 0;
}

class AudioTestBench : public RwWorldStartedTestCase {
protected:
	static constexpr u32 SOUNDS_PER_BANK = 8;
	static constexpr u32 OBJECT_ID = 0x2a000010;

	void SetUp() override {
		RwWorldStartedTestCase::SetUp();
		ASSERT_TRUE( disc.Open() );
		gAudioReports.clear();
		previousReport = OSHostSetReportHook( RecordAudioReport );
		gSoundCompletions = 0;
		gLastCompletionData[0] = gLastCompletionData[1] = 0;
		RuntimeSrand( 1 );
		gpoGameLogicMgr = new EFGameLogicMgr();
		graphics = new EFGraphicsMgr( context );
		gpoWorldMgr = new EFWorld();
		camera = graphics->GetCamera( graphics->CreateCamera( nullptr ) );
		audio = new EFNewAudioMgr();
		audio->InitSETTables( 3 );
		audio->InitTSCTables( 3 );
		for ( u32 bank = 0; bank < 3; bank++ ) {
			EFNewSound** const sounds = new EFNewSound*[SOUNDS_PER_BANK];
			for ( u32 i = 0; i < SOUNDS_PER_BANK; i++ ) {
				fakes[bank][i] = new FakeSound;
				sounds[i] = fakes[bank][i];
			}
			audio->InstallSoundObjects( bank, sounds, SOUNDS_PER_BANK );
		}
	}

	void TearDown() override {
		delete audio;
		gpoWorldMgr->Terminate();
		for ( u32 slot = 0; slot < EF_CAMERA_SLOT_COUNT; slot++ ) {
			graphics->DestroyCamera( slot );
		}
		delete gpoWorldMgr;
		gpoWorldMgr = nullptr;
		delete graphics;
		gpoGameLogicMgr->Terminate();
		delete gpoGameLogicMgr;
		gpoGameLogicMgr = nullptr;
		EFPhysicMgr::moPhysicMgr.UpdateDeletedPhysic();
		EFPhysicMgr::moPhysicMgr.Terminate();
		OSHostSetReportHook( previousReport );
		disc.Close();
		RwWorldStartedTestCase::TearDown();
	}

	// Where the loader finds a level table without a controller (no level,
	// no language).
	static std::string LevelPath( const std::string& file ) { return "LEVEL/AUDIO/" + file; }

	// Writes bank's tables and loads them.
	void LoadBank( const u32 bank, const std::vector<ToolSoundEventRecord>& events,
				   const std::vector<ToolSoundContainerRecord>& containers = {} ) {
		const std::string name = "BANK" + std::to_string( bank );
		ASSERT_TRUE( disc.WriteFile( LevelPath( name + ".TSE" ), ToolWriteSoundEventTable( events ) ) );
		if ( !containers.empty() ) {
			ASSERT_TRUE( disc.WriteFile( LevelPath( name + ".TSC" ), ToolWriteSoundContainerTable( containers ) ) );
		}
		std::vector<char> text( name.begin(), name.end() );
		text.push_back( '\0' );
		audio->BuildSETTable( bank, text.data() );
		if ( !containers.empty() ) {
			audio->BuildTSCTable( bank, text.data() );
		}
	}

	// A sound id of bank's event or container record.
	static u32 EventId( const u32 bank, const u32 index ) { return ( bank << 30 ) | index; }
	static u32 ContainerId( const u32 bank, const u32 index ) { return ( bank << 30 ) | 0x20000000 | index; }

	// Completes every voice started with completionId and runs a frame.
	void Complete( const u32 completionId, const f32 dt = 1.0f / 60.0f ) {
		EFNewAudioMgr_SP::SoundCompletionCallback( completionId );
		audio->Update( dt );
	}

	// A game object of id at (x, y, z), added to the world.
	static EFGameObject* MakeObject( const u32 id, const f32 x = 0.0f, const f32 y = 0.0f, const f32 z = 0.0f ) {
		EFGameObject* const object = new EFGameObject;
		object->SetUID( id );
		object->CreateFrame( nullptr );
		MoveTo( *object, x, y, z );
		gpoWorldMgr->AddGameObject( object );
		return object;
	}

	static void MoveTo( EFPosData& instance, const f32 x, const f32 y, const f32 z ) {
		RwFrame* const frame = instance.GetFrame()->GetRwFrame();
		frame->modelling.pos = { x, y, z };
		RwFrameUpdateObjects( frame );
	}

	// Removes an object from the world and deletes it, as the world does.
	static void DeleteObject( EFGameObject* object ) {
		gpoWorldMgr->RemoveGameObject( object->GetUID() );
		object->Terminate();
		delete object;
	}

	// Counts NO_SOUND_COMPLETE sent to target by the sound soundId.
	static void ListenForCompletions( const u32 target, const u32 soundId ) {
		gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_SOUND_COMPLETE, target, soundId,
															  &CountSoundCompletion, nullptr );
	}

	bool Reported( const std::string& text ) const {
		for ( const std::string& report : gAudioReports ) {
			if ( report.find( text ) != std::string::npos ) {
				return true;
			}
		}
		return false;
	}

	u32 HandlesInUse() const {
		u32 count = 0;
		for ( const structSoundHandle& slot : audio->maoHandles ) {
			count += slot.ui8InUse;
		}
		return count;
	}

	HostTestDisc			disc;
	EFAppContext			context{};
	EFGraphicsMgr*			graphics = nullptr;
	EFCamera*				camera = nullptr;
	EFNewAudioMgr*			audio = nullptr;
	FakeSound*				fakes[3][SOUNDS_PER_BANK] = {};
	OSHostReportHook		previousReport = nullptr;
};

#endif
