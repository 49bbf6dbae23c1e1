#include "framework/audio/EFSETTable.h"

#include "datatypes/base/DTByteOrder.h"
#include "framework/audio/EFSoundTableFile.h"
#include "platform/os/OS.h"

#include <cstring>
#include <new>

namespace {

// Smallest stored record: the fixed bytes and a name length of 0.
constexpr u32 MIN_RECORD_BYTES = EF_SOUND_EVENT_FIXED_BYTES + 4;

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
	r.mpszName = nullptr;
	r.mpui32Elements = nullptr;
}

void CopyTableName( char * target, const char * name ) {
	std::strncpy( target, name != nullptr ? name : "", EF_SOUND_TABLE_NAME_SIZE - 1 );
	target[EF_SOUND_TABLE_NAME_SIZE - 1] = '\0';
}

}

EFSETTable::EFSETTable( const u32 bank ) : mpoRecords( nullptr ), mui32Count( 0 ), mszName(), mbGlobal( bank == 0 ) {
}

EFSETTable::~EFSETTable() {
	Free();
}

void EFSETTable::Free() {
	for ( u32 i = 0; mpoRecords != nullptr && i < mui32Count; i++ ) {
		delete[] mpoRecords[i].mpszName;
		delete[] mpoRecords[i].mpui32Elements;
	}
	delete[] mpoRecords;
	mpoRecords = nullptr;
	mui32Count = 0;
}

bool EFSETTable::Initialize( char * name ) {
	Free();
	EFSoundTableFile file;
	if ( !file.Open( mbGlobal, name, "TSE" ) ) {
		return false;
	}
	u32 count = 0;
	if ( !file.ReadHeader( count ) ) {
		return false;
	}
	CopyTableName( mszName, name );
	if ( !file.CanHold( count, MIN_RECORD_BYTES ) ) {
		file.ReportDamaged();
		return false;
	}
	if ( count == 0 ) {
		return false;
	}
	mpoRecords = new ( std::nothrow ) EFSoundEventData[count];
	if ( mpoRecords == nullptr ) {
		return false;
	}
	for ( u32 i = 0; i < count; i++ ) {
		u8 fixed[EF_SOUND_EVENT_FIXED_BYTES];
		EFSoundEventData & record = mpoRecords[i];
		const bool read = file.Read( fixed, sizeof( fixed ) );
		if ( read ) {
			Decode( fixed, record );
		} else {
			record.mpszName = nullptr;
			record.mpui32Elements = nullptr;
		}
		// Counted now so that Free releases what this record got.
		mui32Count = i + 1;
		if ( !read || !file.ReadName( record.mpszName ) ||
			 !file.ReadWords( record.mpui32Elements, record.mui32NbElements ) ) {
			file.ReportDamaged();
			Free();
			return false;
		}
	}
	return true;
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
