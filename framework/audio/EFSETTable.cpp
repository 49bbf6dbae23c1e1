#include "framework/audio/EFSETTable.h"

#include "datatypes/base/DTByteOrder.h"
#include "platform/os/OS.h"

namespace {

void Decode( const u8 * b, EFSoundEventData & r ) {
	r.mui32Unused0 = DTReadBE32( b + 0 );
	r.mui32Unused4 = DTReadBE32( b + 4 );
	r.mui32SpatialMode = DTReadBE32( b + 8 );
	r.mui32SelectionMode = DTReadBE32( b + 12 );
	r.mfNearDistance = DTReadBEF32( b + 16 );
	r.mfNearVolume = DTReadBEF32( b + 20 );
	r.mfFarDistance = DTReadBEF32( b + 24 );
	r.mfFarVolume = DTReadBEF32( b + 28 );
	r.mfCutOffDistance = DTReadBEF32( b + 32 );
	r.mui32NbElements = DTReadBE32( b + 36 );
	r.mui32GroupMask = DTReadBE32( b + 40 );
	r.mui32Instances = DTReadBE32( b + 44 );
	r.mui8Loop = b[48];
	r.mui8Killable = b[49];
	r.mui8StopOutOfRange = b[50];
	r.mui8Unused51 = b[51];
	r.mui32SetMask = DTReadBE32( b + 52 );
	r.mui32DSPEffect = DTReadBE32( b + 56 );
}


}

EFSETTable::EFSETTable( const u32 bank ) : mpoRecords( nullptr ), mui32Count( 0 ), mszName(), mbGlobal( bank == 0 ) {
}

EFSETTable::~EFSETTable() {
	EFSoundTableFile::FreeRecords( mpoRecords, mui32Count );
}

bool EFSETTable::Initialize( char * name ) {
	return EFSoundTableFile::ReadTable( mbGlobal, name, "TSE", mszName, EF_SOUND_EVENT_FIXED_BYTES, Decode, mpoRecords,
										 mui32Count );
}

EFSoundEventData * EFSETTable::GetSoundEventData( const u32 index ) {
	if ( mui32Count == 0 || index >= mui32Count ) {
		OSReport( "WARNING!!!! EFSETTable::GetSoundEventData!! SETTable not initialised!! A bank was not loaded correctly!\n" );
		return nullptr;
	}
	return &mpoRecords[index];
}

void EFSETTable::SetDSPEffectForGroup( const u32 groupMask, const u32 effect ) {
	for ( u32 i = 0; i < mui32Count; i++ ) {
		if ( ( mpoRecords[i].mui32GroupMask & groupMask ) != 0 ) {
			mpoRecords[i].mui32DSPEffect = effect;
		}
	}
}
