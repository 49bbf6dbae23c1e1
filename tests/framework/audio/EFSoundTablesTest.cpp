#include "AudioTestBench.h"
#include "SoundTableFixtures.h"

#include <gtest/gtest.h>

namespace {

class EFSoundTablesTest : public AudioTestBench {
protected:
	// Loads bytes as bank 1's event table; the table.
	EFSETTable* LoadEvents( const std::vector<u8>& bytes ) {
		EXPECT_TRUE( disc.WriteFile( LevelPath( "T.TSE" ), bytes ) );
		char name[] = "T";
		audio->BuildSETTable( 1, name );
		return audio->mppoSETTables[1];
	}

	EFTSCTable* LoadContainers( const std::vector<u8>& bytes ) {
		EXPECT_TRUE( disc.WriteFile( LevelPath( "T.TSC" ), bytes ) );
		char name[] = "T";
		audio->BuildTSCTable( 1, name );
		return audio->mppoTSCTables[1];
	}

	static std::vector<ToolSoundEventRecord> Events( const u32 count ) {
		std::vector<ToolSoundEventRecord> records( count );
		for ( u32 i = 0; i < count; i++ ) {
			records[i].name = "E" + std::to_string( i );
			records[i].elements = { i };
		}
		return records;
	}
};

TEST_F( EFSoundTablesTest, TheWriterMatchesTheHandWrittenTableAndEveryFieldDecodes ) {
	const std::vector<u8> fixture = HexBytes( kOneEventTableHex );
	ASSERT_EQ( ToolWriteSoundEventTable( { OneEventTableRecord() } ), fixture );
	EFSETTable* const table = LoadEvents( fixture );
	ASSERT_EQ( table->GetCount(), 1u );
	EXPECT_STREQ( table->GetName(), "T" );
	EXPECT_FALSE( table->IsGlobal() );
	const EFSoundEventData* const r = table->GetSoundEventData( 0 );
	ASSERT_NE( r, nullptr );
	EXPECT_EQ( r->mui32Unused0, 0x11111111u );
	EXPECT_EQ( r->mui32Unused4, 0x22222222u );
	EXPECT_EQ( r->mui32SpatialMode, 2u );
	EXPECT_EQ( r->mui32SelectionMode, 3u );
	EXPECT_EQ( r->mfNearDistance, 1.0f );
	EXPECT_EQ( r->mfNearVolume, 1.0f );
	EXPECT_EQ( r->mfFarDistance, 10.0f );
	EXPECT_EQ( r->mfFarVolume, 0.25f );
	EXPECT_EQ( r->mfCutOffDistance, 50.0f );
	EXPECT_EQ( r->mui32NbElements, 2u );
	EXPECT_EQ( r->mui32GroupMask, 4u );
	EXPECT_EQ( r->mui32Instances, 1u );
	EXPECT_EQ( r->mui8Loop, 1u );
	EXPECT_EQ( r->mui8Killable, 0u );
	EXPECT_EQ( r->mui8StopOutOfRange, 1u );
	EXPECT_EQ( r->mui8Unused51, 0x5Au );
	EXPECT_EQ( r->mui32SetMask, 0x10u );
	EXPECT_EQ( r->mui32DSPEffect, 7u );
	EXPECT_STREQ( r->mpszName, "HIT" );
	ASSERT_NE( r->mpui32Elements, nullptr );
	EXPECT_EQ( r->mpui32Elements[0], 5u );
	EXPECT_EQ( r->mpui32Elements[1], 6u );
	EXPECT_FALSE( Reported( "WARNING" ) );
}

TEST_F( EFSoundTablesTest, IdsNameABankARecordKindAndAnIndex ) {
	LoadBank( 0, Events( 6 ), std::vector<ToolSoundContainerRecord>( 6 ) );
	LoadBank( 1, Events( 6 ) );
	EXPECT_EQ( audio->GetSoundContainerData( 0x20000005 ), audio->mppoTSCTables[0]->GetSoundContainerData( 5 ) );
	const EFSoundEventData* const bank1 = audio->GetSoundEventData( 0x40000005 );
	ASSERT_NE( bank1, nullptr );
	EXPECT_EQ( bank1, audio->mppoSETTables[1]->GetSoundEventData( 5 ) );
	// The lookup masks bit 29 off: an event lookup of a container id
	// reads the event record of the same index.
	EXPECT_EQ( audio->GetSoundEventData( 0x60000005 ), bank1 );
	gAudioReports.clear();
	EXPECT_EQ( audio->GetSoundEventData( 0xC0000001 ), nullptr );			// bank 3
	EXPECT_EQ( audio->GetSoundContainerData( 0xE0000001 ), nullptr );
	EXPECT_TRUE( gAudioReports.empty() );
	EXPECT_EQ( audio->GetSoundEventData( 0x80000001 ), nullptr );			// bank 2 was never loaded
	EXPECT_EQ( audio->GetSoundEventData( 0x40000006 ), nullptr );			// past the count
	EXPECT_TRUE( Reported( "WARNING!!!! EFSETTable::GetSoundEventData!! SETTable not initialised!!" ) );
	audio->PostTerminate();
	EXPECT_EQ( audio->GetSoundEventData( 0x40000005 ), nullptr );
}

TEST_F( EFSoundTablesTest, TheHeaderIsCheckedInOrderAndOnlyTheMinorVersionIsForgiven ) {
	struct Row {
		const char*	what;
		void		( *edit )( ToolSoundTableHeader& header );
		bool		loads;
		const char*	message;
	};
	const Row rows[] = {
		{ "minor 0x30C", []( ToolSoundTableHeader& h ) { h.minor = 0x30C; }, true,
		  "WARNING!!! LEVEL\\\\\\AUDIO\\T.TSE file was compiled with another version of the Tool (with v1.21.780)!!!!" },
		{ "major 20", []( ToolSoundTableHeader& h ) { h.major = 20; }, false,
		  "file was compiled with an incompatible version of the Tool (with v1.20)!!!!" },
		{ "magic", []( ToolSoundTableHeader& h ) { h.magic = 0x51525A00; }, false, "file is not a valid QZR file!!!!" },
		{ "platform and major", []( ToolSoundTableHeader& h ) { h.platform = 0x4348; h.major = 20; }, false,
		  "file is not a file compiled for this platform!!!!" },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.what );
		gAudioReports.clear();
		ToolSoundTableHeader header;
		row.edit( header );
		EFSETTable* const table = LoadEvents( ToolWriteSoundEventTable( Events( 2 ), header ) );
		EXPECT_EQ( table->GetCount(), row.loads ? 2u : 0u );
		EXPECT_TRUE( Reported( row.message ) ) << ( gAudioReports.empty() ? "" : gAudioReports[0] );
		EXPECT_EQ( gAudioReports.size(), 1u );
	}
}

TEST_F( EFSoundTablesTest, ARecordWithoutElementsHasNoListAndReadsNoElementWords ) {
	std::vector<ToolSoundEventRecord> events = Events( 2 );
	events[0].elements.clear();
	EFSETTable* const table = LoadEvents( ToolWriteSoundEventTable( events ) );
	ASSERT_EQ( table->GetCount(), 2u );
	EXPECT_EQ( table->GetSoundEventData( 0 )->mpui32Elements, nullptr );
	EXPECT_STREQ( table->GetSoundEventData( 1 )->mpszName, "E1" );
	std::vector<ToolSoundContainerRecord> containers( 2 );
	containers[1].elements = { 0x40000001, 0xFFFFFFFF };
	EFTSCTable* const tsc = LoadContainers( ToolWriteSoundContainerTable( containers ) );
	ASSERT_EQ( tsc->GetCount(), 2u );
	EXPECT_EQ( tsc->GetSoundContainerData( 0 )->mpui32Elements, nullptr );
	EXPECT_EQ( tsc->GetSoundContainerData( 1 )->mpui32Elements[1], 0xFFFFFFFFu );
}

TEST_F( EFSoundTablesTest, TheGlobalBankFallsBackFromAnEmptyLevelFileToTheGlobalAndGenFolders ) {
	audio->SetEnvironmentName( "ENV" );
	char name[] = "G";
	// An empty level file sends the global table to the GLOBAL folder.
	ASSERT_TRUE( disc.WriteFile( LevelPath( "G.TSE" ), {} ) );
	ASSERT_TRUE( disc.WriteFile( "GLOBAL/ENV/AUDIO/G.TSE", ToolWriteSoundEventTable( Events( 3 ) ) ) );
	audio->BuildSETTable( 0, name );
	EXPECT_EQ( audio->mppoSETTables[0]->GetCount(), 3u );
	EXPECT_TRUE( audio->mppoSETTables[0]->IsGlobal() );
	// A level bank never looks there; without its files it stays empty.
	char missing[] = "H";
	audio->BuildSETTable( 1, missing );
	EXPECT_EQ( audio->mppoSETTables[1]->GetCount(), 0u );
	EXPECT_TRUE( Reported( "File not found == LEVEL\\\\GEN\\AUDIO\\H.TSE!!!!" ) );
	// The GEN folders answer when the first path does not open.
	ASSERT_TRUE( disc.WriteFile( "GLOBAL/ENVGEN/AUDIO/G.TSC", ToolWriteSoundContainerTable( { {}, {} } ) ) );
	ASSERT_TRUE( disc.WriteFile( "LEVEL/GEN/AUDIO/G.TSC", ToolWriteSoundContainerTable( { {} } ) ) );
	audio->BuildTSCTable( 0, name );
	audio->BuildTSCTable( 1, name );
	EXPECT_EQ( audio->mppoTSCTables[0]->GetCount(), 2u );
	EXPECT_EQ( audio->mppoTSCTables[1]->GetCount(), 1u );
}

TEST_F( EFSoundTablesTest, ADamagedFileLeavesAnEmptyTableAndNothingAllocated ) {
	const std::vector<u8> good = ToolWriteSoundEventTable( Events( 3 ) );
	std::vector<std::vector<u8>> damaged = ToolMalformedSoundTables( good );
	std::vector<ToolSoundEventRecord> longName = Events( 3 );
	longName[2].nameLength = 0xFFFFFFF0;
	damaged.push_back( ToolWriteSoundEventTable( longName ) );
	std::vector<ToolSoundEventRecord> manyElements = Events( 3 );
	manyElements[1].elementCount = 0x40000000;
	damaged.push_back( ToolWriteSoundEventTable( manyElements ) );
	ASSERT_GE( damaged.size(), 5u );
	for ( size_t i = 0; i < damaged.size(); i++ ) {
		SCOPED_TRACE( i );
		gAudioReports.clear();
		EFSETTable* const table = LoadEvents( damaged[i] );
		EXPECT_EQ( table->GetCount(), 0u );
		EXPECT_EQ( table->GetSoundEventData( 0 ), nullptr );
		EXPECT_FALSE( gAudioReports.empty() );
	}
	std::vector<ToolSoundContainerRecord> containers( 2 );
	containers[1].elementCount = 0x10000000;
	EXPECT_EQ( LoadContainers( ToolWriteSoundContainerTable( containers ) )->GetCount(), 0u );
	for ( const std::vector<u8>& bytes : ToolMalformedSoundTables( ToolWriteSoundContainerTable( containers ) ) ) {
		EXPECT_EQ( LoadContainers( bytes )->GetCount(), 0u );
	}
}

TEST_F( EFSoundTablesTest, AGroupsEffectRewritesOnlyTheRecordsOfThatGroup ) {
	std::vector<ToolSoundEventRecord> events = Events( 3 );
	events[0].groupMask = 0x1;
	events[1].groupMask = 0x6;
	events[2].groupMask = 0x8;
	LoadBank( 1, events );
	audio->SetDSPEffectForGroup( 0x2, 9 );
	EXPECT_EQ( audio->GetSoundEventData( EventId( 1, 0 ) )->mui32DSPEffect, 0u );
	EXPECT_EQ( audio->GetSoundEventData( EventId( 1, 1 ) )->mui32DSPEffect, 9u );
	EXPECT_EQ( audio->GetSoundEventData( EventId( 1, 2 ) )->mui32DSPEffect, 0u );
}

}
