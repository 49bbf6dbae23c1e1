#include "framework/audio/EFTSCTable.h"

#include "datatypes/base/DTByteOrder.h"
#include "framework/audio/EFSoundTableFile.h"
#include "platform/os/OS.h"

#include <cstring>
#include <new>

namespace {

// Smallest stored record: the fixed bytes and a name length of 0.
constexpr u32 MIN_RECORD_BYTES = EF_SOUND_CONTAINER_FIXED_BYTES + 4;

void Decode( const u8 * b, EFSoundContainerData & r ) {
	r.mui32Unused0 = DTReadBE32( b + 0 );
	r.mui32Unused4 = DTReadBE32( b + 4 );
	r.mui32PlayMode = DTReadBE32( b + 8 );
	r.mui32NbElements = DTReadBE32( b + 12 );
	r.mui32Instances = DTReadBE32( b + 16 );
	r.mui32Loop = DTReadBE32( b + 20 );
	r.mpszName = nullptr;
	r.mpui32Elements = nullptr;
}

}

EFTSCTable::EFTSCTable( const u32 bank ) : mpoRecords( nullptr ), mui32Count( 0 ), mszName(), mbGlobal( bank == 0 ) {
}

EFTSCTable::~EFTSCTable() {
	Free();
}

void EFTSCTable::Free() {
	for ( u32 i = 0; mpoRecords != nullptr && i < mui32Count; i++ ) {
		delete[] mpoRecords[i].mpszName;
		delete[] mpoRecords[i].mpui32Elements;
	}
	delete[] mpoRecords;
	mpoRecords = nullptr;
	mui32Count = 0;
}

bool EFTSCTable::Initialize( char * name ) {
	Free();
	EFSoundTableFile file;
	if ( !file.Open( mbGlobal, name, "TSC" ) ) {
		return false;
	}
	u32 count = 0;
	if ( !file.ReadHeader( count ) ) {
		return false;
	}
	std::strncpy( mszName, name != nullptr ? name : "", EF_SOUND_TABLE_NAME_SIZE - 1 );
	mszName[EF_SOUND_TABLE_NAME_SIZE - 1] = '\0';
	if ( !file.CanHold( count, MIN_RECORD_BYTES ) ) {
		file.ReportDamaged();
		return false;
	}
	if ( count == 0 ) {
		return false;
	}
	mpoRecords = new ( std::nothrow ) EFSoundContainerData[count];
	if ( mpoRecords == nullptr ) {
		return false;
	}
	for ( u32 i = 0; i < count; i++ ) {
		u8 fixed[EF_SOUND_CONTAINER_FIXED_BYTES];
		EFSoundContainerData & record = mpoRecords[i];
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

EFSoundContainerData * EFTSCTable::GetSoundContainerData( const u32 index ) {
	if ( mui32Count == 0 || index >= mui32Count ) {
		OSReport( "WARNING!!!! EFTSCTable::GetSoundContainerData!! TSCTable not initialised!! A bank was not loaded correctly!\n" );
		return nullptr;
	}
	return &mpoRecords[index];
}
