#include "framework/graphics/animation/EFCutScenePlayer.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/persist/DTBinaryPersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFNotificationMgr.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/animation/EFAnimNode.h"
#include "framework/graphics/animation/EFAnimationMgr.h"
#include "framework/logic/EFGameLogicMgr.h"

EFCutScenePlayer EFCutScenePlayer::mInstance;

s32 EFCutScenePlayer_trigger = DTDynamicInstanciator::GetInstance().RegisterDynamicClass(
	&EFCutScenePlayer::Instanciate, "EF_CUTSCENE", EF_CUT_SCENE_CLASS_ID, IT_OBJECT );

namespace {

// Table layout.
constexpr u32 TABLE_SIZE			= 4;
constexpr u32 TABLE_COUNT			= 6;
constexpr u32 TABLE_HEADER_BYTES	= 8;
constexpr u32 ENTRY_HEAD_BYTES		= 8;
constexpr u32 ENTRY_DURATION		= 4;
constexpr u32 PAIR_BYTES			= 8;

f32 Clamp01( const f32 v ) {
	return v < 0.0f ? 0.0f : ( v > 1.0f ? 1.0f : v );
}

}

EFCutScenePlayer::EFCutScenePlayer()
	: muiCSFlags( 0 ), mfCSTime( 0.0f ), mfCSDuration( 0.0f ), muiCSIndex( EF_CS_NONE ), mpCSTable( nullptr ),
	  muiCSSoundHandle( EF_CS_NONE ), mfCSVolume( 1.0f ), muiCSSoundId( EF_CS_NONE ), muiCSCameraId( EF_CS_NONE ),
	  moNotice{ 0, 0 } {
}

EFCutScenePlayer::~EFCutScenePlayer() {
	MMFree( mpCSTable );
	mpCSTable = nullptr;
}

void * EFCutScenePlayer::Instanciate() {
	return &mInstance;
}

s32 EFCutScenePlayer::GetClassID() const {
	return EF_CUT_SCENE_CLASS_ID;
}

const char * EFCutScenePlayer::GetClassName() const {
	return "EF_CUTSCENE";
}

bool EFCutScenePlayer::IsOwnedElsewhere() const {
	return true;
}

s32 EFCutScenePlayer::LoadPropertiesBinary( DTBasePersistStream & stream ) {
	u32 words[2] = {};
	stream.LoadData( words[0] );
	stream.LoadData( words[1] );
	return LoadFile( stream );
}

s32 EFCutScenePlayer::LoadPropertiesText( char *, DTBasePersistStream & stream ) {
	u32 words[2] = {};
	stream.LoadData( words[0] );
	stream.LoadData( words[1] );
	char name[EF_CS_NAME_MAX + 1] = {};
	stream.LoadTextData( name, EF_CS_NAME_MAX );
	DTFileHandle_ * const file = DTFopen( name, "r" );
	if ( file == nullptr ) {
		return DT_PERSIST_OPEN_FAILED;
	}
	s32 result = 0;
	{
		DTBinaryPersistStream disc( file );
		result = LoadFile( disc );
	}
	DTFclose( file );
	return result;
}

s32 EFCutScenePlayer::LoadFile( DTBasePersistStream & stream ) {
	MMFree( mpCSTable );
	mpCSTable = nullptr;
	u16 header[4] = {};
	for ( u16 & field : header ) {
		if ( stream.LoadData( field ) != DT_PERSIST_OK ) {
			return EF_CS_BAD_TABLE;
		}
	}
	const u32 size = header[TABLE_SIZE / 2];
	const u32 count = header[TABLE_COUNT / 2];
	if ( size < TABLE_HEADER_BYTES + 4 * count || size - TABLE_HEADER_BYTES > stream.GetBytesLeft() ) {
		return EF_CS_BAD_TABLE;
	}
	u8 * const block = static_cast<u8 *>( MMMalloc( size ) );
	if ( block == nullptr ) {
		return EF_CS_BAD_TABLE;
	}
	for ( u32 i = 0; i < 4; i++ ) {
		DTWriteBE16( block + 2 * i, header[i] );
	}
	bool valid = size == TABLE_HEADER_BYTES ||
				 stream.LoadBinaryData( reinterpret_cast<char *>( block + TABLE_HEADER_BYTES ),
										static_cast<s32>( size - TABLE_HEADER_BYTES ) ) == DT_PERSIST_OK;
	for ( u32 i = 0; i < count && valid; i++ ) {
		const u64 offset = DTReadBE32( block + TABLE_HEADER_BYTES + 4 * i );
		valid = offset + ENTRY_HEAD_BYTES <= size &&
				offset + ENTRY_HEAD_BYTES + static_cast<u64>( DTReadBE32( block + offset ) ) * PAIR_BYTES <= size;
	}
	if ( !valid ) {
		MMFree( block );
		return EF_CS_BAD_TABLE;
	}
	mpCSTable = block;
	return 0;
}

u32 EFCutScenePlayer::GetCount() const {
	return mpCSTable != nullptr ? DTReadBE16( mpCSTable + TABLE_COUNT ) : 0;
}

const u8 * EFCutScenePlayer::GetEntry( const u32 index, u32 & pairs ) const {
	pairs = 0;
	if ( index >= GetCount() ) {
		return nullptr;
	}
	// Checked against the block when it loaded.
	const u8 * const entry = mpCSTable + DTReadBE32( mpCSTable + TABLE_HEADER_BYTES + 4 * index );
	pairs = DTReadBE32( entry );
	return entry;
}

void EFCutScenePlayer::NotifyListeners( const u32 started ) {
	if ( gpoGameLogicMgr == nullptr ) {
		return;
	}
	// Delivered at once, so the player's own record serves every call.
	moNotice = { muiCSIndex, started };
	gpoGameLogicMgr->GetNotificationMgr().NotifyAll( NO_CUTSCENE, &moNotice );
}

void EFCutScenePlayer::ExchangeVolume() {
	if ( gpoNewAudioMgr == nullptr ) {
		return;
	}
	const f32 game = gpoNewAudioMgr->mfStreamVolume;
	gpoNewAudioMgr->mfStreamVolume = Clamp01( mfCSVolume );
	mfCSVolume = game;
}

void EFCutScenePlayer::StopCutSceneSound() {
	if ( muiCSSoundHandle != EF_CS_NONE && gpoNewAudioMgr != nullptr ) {
		gpoNewAudioMgr->StopSound( muiCSSoundHandle );
	}
	muiCSSoundHandle = EF_CS_NONE;
}

void EFCutScenePlayer::StopAnimations() {
	u32 pairs = 0;
	const u8 * const entry = GetEntry( muiCSIndex, pairs );
	for ( u32 i = 0; entry != nullptr && i < pairs && gpoWorldMgr != nullptr; i++ ) {
		const u8 * const pair = entry + ENTRY_HEAD_BYTES + i * PAIR_BYTES;
		if ( EFGameObject * const object = gpoWorldMgr->GetGameObject( DTReadBE32( pair ) ) ) {
			object->moAnimationMgr.Stop( DTReadBE32( pair + 4 ) );
		}
	}
}

void EFCutScenePlayer::Play( const u32 scene, const u32 sound, const u32 camera ) {
	u32 pairs = 0;
	const u8 * const entry = GetEntry( scene, pairs );
	if ( entry == nullptr ) {
		return;
	}
	EFPosData * cameraData = nullptr;
	if ( camera != EF_CS_NO_CAMERA ) {
		muiCSCameraId = camera;
		cameraData = gpoWorldMgr != nullptr ? gpoWorldMgr->GetObjectPosData( camera ) : nullptr;
	}
	mfCSTime = 0.0f;
	muiCSFlags |= EF_CS_PLAYING;
	muiCSIndex = scene;
	mfCSDuration = DTReadBEF32( entry + ENTRY_DURATION );
	NotifyListeners( 1 );
	ExchangeVolume();
	muiCSSoundId = sound;
	muiCSSoundHandle = EF_CS_NONE;
	if ( sound != EF_CS_NONE && gpoNewAudioMgr != nullptr ) {
		muiCSSoundHandle = gpoNewAudioMgr->PlayOrphanSoundEvent( sound, 1 );
	}
	for ( u32 i = 0; i < pairs && gpoWorldMgr != nullptr; i++ ) {
		const u8 * const pair = entry + ENTRY_HEAD_BYTES + i * PAIR_BYTES;
		EFGameObject * const object = gpoWorldMgr->GetGameObject( DTReadBE32( pair ) );
		if ( object == nullptr ) {
			continue;
		}
		const u32 anim = DTReadBE32( pair + 4 );
		EFAnimNode * const node = object->moAnimationMgr.GetAnimById( anim );
		if ( cameraData != nullptr && node != nullptr && node->meType == OP_Camera ) {
			node->Connect( cameraData );
		}
		object->moAnimationMgr.Play( anim, AS_CLAMP, 0.0f );
	}
	muiCSFlags &= ~EF_CS_END_REACHED;
}

void EFCutScenePlayer::Update( const f32 dt ) {
	if ( ( muiCSFlags & EF_CS_PLAYING ) == 0 ) {
		if ( gpoEngineController != nullptr ) {
			gpoEngineController->ClearFlags( EF_CONTROLLER_CLOCK_SLAVING );
		}
		return;
	}
	if ( ( muiCSFlags & EF_CS_PAUSED ) != 0 ) {
		return;
	}
	if ( ( muiCSFlags & EF_CS_SKIPPED ) != 0 ) {
		muiCSFlags &= ~EF_CS_SKIPPED;
		return;
	}
	mfCSTime += dt;
	if ( mfCSTime < mfCSDuration ) {
		return;
	}
	if ( ( muiCSFlags & EF_CS_END_REACHED ) == 0 ) {
		muiCSFlags |= EF_CS_END_REACHED;
		return;
	}
	StopAnimations();
	muiCSFlags &= ~( EF_CS_PLAYING | EF_CS_END_REACHED );
	StopCutSceneSound();
	ExchangeVolume();
	NotifyListeners( 0 );
}

void EFCutScenePlayer::Stop() {
	if ( ( muiCSFlags & EF_CS_PLAYING ) == 0 ) {
		return;
	}
	mfCSTime = mfCSDuration;
	StopAnimations();
	StopCutSceneSound();
	ExchangeVolume();
	muiCSFlags &= ~( EF_CS_PLAYING | EF_CS_END_REACHED );
}

void EFCutScenePlayer::Skip() {
	if ( ( muiCSFlags & EF_CS_PLAYING ) == 0 ) {
		return;
	}
	mfCSTime = mfCSDuration;
	muiCSFlags |= EF_CS_SKIPPED;
	u32 pairs = 0;
	const u8 * const entry = GetEntry( muiCSIndex, pairs );
	for ( u32 i = 0; entry != nullptr && i < pairs && gpoWorldMgr != nullptr; i++ ) {
		const u8 * const pair = entry + ENTRY_HEAD_BYTES + i * PAIR_BYTES;
		EFGameObject * const object = gpoWorldMgr->GetGameObject( DTReadBE32( pair ) );
		EFAnimNode * const node = object != nullptr ? object->moAnimationMgr.GetAnimById( DTReadBE32( pair + 4 ) ) : nullptr;
		if ( node != nullptr ) {
			node->SetTime( mfCSDuration );
		}
	}
	StopCutSceneSound();
}

void EFCutScenePlayer::Pause( const u32 pause ) {
	if ( pause != 0 ) {
		muiCSFlags |= EF_CS_PAUSED;
	} else {
		muiCSFlags &= ~EF_CS_PAUSED;
	}
}

u32 EFCutScenePlayer::IsInCutScene( const u32 objectId, const u32 cutScene ) {
	u32 pairs = 0;
	const u8 * const entry = GetEntry( cutScene, pairs );
	for ( u32 i = 0; entry != nullptr && i < pairs; i++ ) {
		if ( DTReadBE32( entry + ENTRY_HEAD_BYTES + i * PAIR_BYTES ) == objectId ) {
			return 1;
		}
	}
	return 0;
}

void EFCutScenePlayer::Terminate() {
	MMFree( mpCSTable );
	mpCSTable = nullptr;
	muiCSFlags = 0;
}
