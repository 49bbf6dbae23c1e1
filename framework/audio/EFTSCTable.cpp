#include "framework/audio/EFTSCTable.h"

#include "datatypes/base/DTByteOrder.h"
#include "platform/os/OS.h"

namespace {

void Decode( const u8 * b, EFSoundContainerData & r ) {
	r.mui32Unused0 = DTReadBE32( b + 0 );
	r.mui32Unused4 = DTReadBE32( b + 4 );
	r.mui32PlayMode = DTReadBE32( b + 8 );
	r.mui32NbElements = DTReadBE32( b + 12 );
	r.mui32Instances = DTReadBE32( b + 16 );
	r.mui32Loop = DTReadBE32( b + 20 );
}

}

EFTSCTable::EFTSCTable( const u32 bank ) : mpoRecords( nullptr ), mui32Count( 0 ), mszName(), mbGlobal( bank == 0 ) {
}

EFTSCTable::~EFTSCTable() {
	EFSoundTableFile::FreeRecords( mpoRecords, mui32Count );
}

bool EFTSCTable::Initialize( char * name ) {
	return EFSoundTableFile::ReadTable( mbGlobal, name, "TSC", mszName, EF_SOUND_CONTAINER_FIXED_BYTES, Decode, mpoRecords,
										 mui32Count );
}

EFSoundContainerData * EFTSCTable::GetSoundContainerData( const u32 index ) {
	if ( mui32Count == 0 || index >= mui32Count ) {
		OSReport( "WARNING!!!! EFTSCTable::GetSoundContainerData!! TSCTable not initialised!! A bank was not loaded correctly!\n" );
		return nullptr;
	}
	return &mpoRecords[index];
}
