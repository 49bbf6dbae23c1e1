/*
	Sound tables: a .TSE or .TSC file read by the table a bank builds, then
	every record it kept walked (name and element list). Bit 0 of the
	first byte picks the kind; the rest is the file, put where a level
	table is looked for.
*/
#include "FuzzTarget.h"

#include "datatypes/file/DTFile.h"
#include "framework/audio/EFSETTable.h"
#include "framework/audio/EFTSCTable.h"
#include "framework/audio/SoundTableFixtures.h"
#include "tools/lib/audio/ToolSoundTableWriter.h"

#include <cstring>

namespace {

constexpr const char* kEventPath = "LEVEL/AUDIO/F.TSE";
constexpr const char* kContainerPath = "LEVEL/AUDIO/F.TSC";
constexpr u8 kContainerKind = 1;

template< class Record >
void Walk( const Record* record, const u32 index, const u32 count ) {
	FuzzCheck( record != nullptr, "a counted record is missing" );
	FuzzCheck( index < count, "a record past the count" );
	FuzzCheck( record->mpszName != nullptr, "a record has no name" );
	volatile size_t length = std::strlen( record->mpszName );
	( void )length;
	FuzzCheck( ( record->mui32NbElements == 0 ) == ( record->mpui32Elements == nullptr ),
			   "an element list does not match its count" );
	volatile u32 sum = 0;
	for ( u32 i = 0; i < record->mui32NbElements; i++ ) {
		sum = sum + record->mpui32Elements[i];
	}
}

void LoadTable( const u8* data, const size_t size ) {
	if ( size == 0 ) {
		return;
	}
	const bool containers = ( data[0] & 1 ) == kContainerKind;
	FuzzCheck( FuzzDiscWriteFile( containers ? kContainerPath : kEventPath, data + 1, size - 1 ),
			   "the table does not reach the disc" );
	char name[] = "F";
	if ( containers ) {
		EFTSCTable table( 1 );
		table.Initialize( name );
		for ( u32 i = 0; i < table.GetCount(); i++ ) {
			Walk( table.GetSoundContainerData( i ), i, table.GetCount() );
		}
	} else {
		EFSETTable table( 0 );
		table.Initialize( name );
		for ( u32 i = 0; i < table.GetCount(); i++ ) {
			Walk( table.GetSoundEventData( i ), i, table.GetCount() );
		}
		table.SetDSPEffectForGroup( 0xFFFFFFFF, 1 );
	}
	FuzzCheck( DTNbrFileInUse() == 0, "a table left its file open" );
}

std::vector<u8> Tagged( const u8 kind, const std::vector<u8>& file ) {
	std::vector<u8> input;
	input.reserve( file.size() + 1 );
	input.push_back( kind );
	for ( const u8 byte : file ) {
		input.push_back( byte );
	}
	return input;
}

} // namespace

FUZZ_TARGET( sound_tables ) {
	FuzzWithoutArenaLeak( LoadTable, data, size );
}

static void FuzzSeeds_sound_tables( std::vector<FuzzSeed>& seeds ) {
	ToolSoundEventRecord looping = OneEventTableRecord();
	looping.elements = { 1, 2, 3 };
	ToolSoundEventRecord bare;
	bare.elements.clear();
	const std::vector<u8> events = ToolWriteSoundEventTable( { OneEventTableRecord(), looping, bare } );
	ToolSoundContainerRecord all;
	all.playMode = 4;
	all.elements = { 0x40000001, 0xFFFFFFFF, 0x60000002 };
	const std::vector<u8> containers = ToolWriteSoundContainerTable( { all, ToolSoundContainerRecord() } );
	seeds.push_back( { "fixture.tse", Tagged( 0, HexBytes( kOneEventTableHex ) ) } );
	seeds.push_back( { "events.tse", Tagged( 0, events ) } );
	seeds.push_back( { "containers.tsc", Tagged( kContainerKind, containers ) } );
	u32 n = 0;
	for ( const std::vector<u8>& damaged : ToolMalformedSoundTables( events ) ) {
		seeds.push_back( { "damaged-" + std::to_string( n++ ) + ".tse", Tagged( 0, damaged ) } );
	}
	for ( const std::vector<u8>& damaged : ToolMalformedSoundTables( containers ) ) {
		seeds.push_back( { "damaged-" + std::to_string( n++ ) + ".tsc", Tagged( kContainerKind, damaged ) } );
	}
}
