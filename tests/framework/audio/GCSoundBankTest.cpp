#include "GCAudioTestBench.h"

#include "framework/audio/EFNewSoundStream.h"
#include "platform/dvd/DVDHost.h"
#include "platform/host/HostClock.h"

#include <cstring>

namespace {

class GCSoundBankTest : public GCAudioTestBench {
protected:
	// Writes a bank whose .SBB is size bytes of a counting pattern.
	std::vector<u8> WriteRawBank( const std::string& name, const u32 size, const ToolSoundBank& bank = {} ) {
		std::vector<u8> sbb( size );
		for ( u32 i = 0; i < size; i++ ) {
			sbb[i] = static_cast<u8>( i * 7 + name.size() );
		}
		ToolSoundBank header = bank;
		if ( header.playbacks.empty() ) {
			header.samples.resize( 1 );
			header.playbacks.resize( 2 );
		}
		EXPECT_TRUE( disc.WriteFile( LevelPath( name + ".SBH" ), ToolWriteSoundBankHeader( header ) ) );
		EXPECT_TRUE( disc.WriteFile( LevelPath( name + ".SBB" ), sbb ) );
		EXPECT_TRUE( disc.WriteFile( LevelPath( name + ".TSE" ), ToolWriteSoundEventTable( { {} } ) ) );
		return sbb;
	}

	static bool AramHolds( const u32 address, const std::vector<u8>& bytes ) {
		return std::memcmp( ARHostMemory() + address, bytes.data(), bytes.size() ) == 0;
	}
};

TEST_F( GCSoundBankTest, BankDataGoesIntoAuxiliaryMemoryIn128KChunksBehindTheRings ) {
	const std::vector<u8> first = WriteRawBank( "FIRST", 0x20001 );
	const std::vector<u8> second = WriteRawBank( "SECOND", 100 );
	const u32 bankArea = StreamBufferStart + 6 * 51200;
	const u32 readsBefore = DVDHostReadCount();

	EXPECT_EQ( LoadBanks( "FIRST", "SECOND", "" ), 14u ) << "two steps belong to the missing stream bank";

	GC_SoundLoader& loader0 = *gpoSoundInfoLoader[0];
	GC_SoundLoader& loader1 = *gpoSoundInfoLoader[1];
	EXPECT_EQ( loader0.mui32AramStart, bankArea );
	EXPECT_EQ( loader1.mui32AramStart, bankArea + 0x20020 );
	EXPECT_EQ( g_CurrAramOffset, bankArea + 0x20020 + 128 );
	EXPECT_TRUE( AramHolds( bankArea, first ) );
	EXPECT_TRUE( AramHolds( bankArea + 0x20020, second ) );
	EXPECT_TRUE( loader0.IsLoaded() && loader1.IsLoaded() );
	EXPECT_FALSE( gpoSoundInfoLoader[2]->IsLoaded() );
	EXPECT_EQ( audio->SOUND_GetNumberOfPlaybacks( 0 ), loader0.GetPlaybackCount() );
	EXPECT_EQ( audio->GetNumberOfPlaybacks( 1 ), 2u );

	// The first bank's two chunks, 0x20000 and 0x20 bytes.
	std::vector<std::pair<u32, u32>> chunks;
	for ( u32 back = 0; back < DVDHostReadCount() - readsBefore; back++ ) {
		DVDHostReadRecord read;
		ASSERT_TRUE( DVDHostRecentRead( back, &read ) );
		if ( read.length == 0x20000 || ( read.offset == 0x20000 && read.length == 0x20 ) ) {
			chunks.emplace_back( read.offset, read.length );
			EXPECT_EQ( read.priority, DVD_PRIO_NORMAL );
		}
	}
	const std::vector<std::pair<u32, u32>> expected = { { 0x20000, 0x20 }, { 0, 0x20000 } };
	EXPECT_EQ( chunks, expected );
}

TEST_F( GCSoundBankTest, AHeaderIsCheckedAndARefusalStopsThisAndLaterBanks ) {
	const struct {
		u32			magic;
		u32			platform;
		u32			major;
		u32			minor;
		bool		blocksPastEnd;
		const char*	message;
		bool		made;
	} rows[] = {
		{ 0x00525A51, 0x4347, 21, 0x30D, false, nullptr, true },
		{ 0x00525A51, 0x4347, 21, 0x30C, false, "WARNING!!! File LEVEL\\\\\\AUDIO\\BANK.SBH was compiled with another version of the Tool (with v1.21.780)!!!!\n", true },
		{ 0x00525A51, 0x4347, 20, 0x30D, false, "File LEVEL\\\\\\AUDIO\\BANK.SBH was compiled with an incompatible version of the Tool (with v1.20)!!!!\n", false },
		{ 0x12345678, 0x4347, 21, 0x30D, false, "File LEVEL\\\\\\AUDIO\\BANK.SBH is not a valid QZR file!!!!\n", false },
		{ 0x00525A51, 0x5053, 21, 0x30D, false, "File LEVEL\\\\\\AUDIO\\BANK.SBH is not a valid GC file!!!!\n", false },
		{ 0x00525A51, 0x4347, 21, 0x30D, true, "File LEVEL\\\\\\AUDIO\\BANK.SBH is not a valid GC file!!!!\n", false },
	};
	WriteRawBank( "LATER", 64 );
	for ( const auto& row : rows ) {
		ToolSoundBank bank;
		bank.magic = row.magic;
		bank.platform = row.platform;
		bank.major = row.major;
		bank.minor = row.minor;
		bank.samples.resize( 2 );
		bank.playbacks.resize( 3 );
		if ( row.blocksPastEnd ) {
			bank.blocks = std::array<u32, 6>{ 40, 0, 40, 2 * 268, 40 + 2 * 268, 4 * 208 };
		}
		WriteRawBank( "BANK", 64, bank );
		gLowLevelReports.clear();
		LoadBanks( "BANK", "LATER", "" );
		EXPECT_EQ( audio->GetNumberOfPlaybacks( 0 ), row.made ? 3u : 0u ) << row.major;
		EXPECT_EQ( audio->GetNumberOfPlaybacks( 1 ), row.made ? 2u : 0u ) << "later banks follow the first";
		if ( row.message != nullptr ) {
			EXPECT_TRUE( Reported( row.message ) ) << row.message;
		} else {
			EXPECT_FALSE( Reported( "BANK.SBH" ) );
		}
		EXPECT_EQ( gpoSoundInfoLoader[0]->IsLoaded(), !row.blocksPastEnd ) << "the loader copies any header that fits";
	}
}

TEST_F( GCSoundBankTest, WithoutAFirstBankTheOthersLoadAndTheStreamBankReadsNoData ) {
	WriteRawBank( "EFFECTS", 96 );
	ToolSoundBank streams;
	streams.kind = 2;
	streams.samples.resize( 2 );
	streams.samples[1].name = "STREAM\\MUSIC\\SONG.INT";
	streams.playbacks.resize( 2 );
	streams.playbacks[1].sampleIndex = 1;
	WriteRawBank( "STREAMS", 4096, streams );

	EXPECT_EQ( LoadBanks( "", "EFFECTS", "STREAMS" ), 14u );
	EXPECT_EQ( g_CurrAramOffset, StreamBufferStart + 6 * 51200 + 96 ) << "only bank 1 reaches auxiliary memory";
	ASSERT_EQ( audio->GetNumberOfPlaybacks( 2 ), 2u );
	EXPECT_EQ( audio->GetNumberOfPlaybacks( 0 ), 0u );
	EFNewSoundStream* const song = dynamic_cast<EFNewSoundStream*>( audio->GetBankSounds( 2 )[1] );
	ASSERT_NE( song, nullptr );
	EXPECT_STREQ( reinterpret_cast<const char*>( song->maui8Sample ), "STREAM\\MUSIC\\SONG.INT" );
	EXPECT_EQ( song->mui32InfoFile, 1u );
	EXPECT_EQ( song->GetSamplePlaybackID(), 1u );
	EXPECT_EQ( dynamic_cast<EFNewSoundStream*>( audio->GetBankSounds( 1 )[0] ), nullptr );
}

TEST_F( GCSoundBankTest, TheFirstBankFallsBackToTheGlobalFolders ) {
	audio->SetEnvironmentName( "ENV" );
	const struct {
		std::string	folder;
		bool		loaderFinds;
		bool		made;
	} rows[] = {
		{ "LEVEL/AUDIO/", true, true },
		{ "GLOBAL/ENV/AUDIO/", true, true },
		{ "GLOBAL/ENVGEN/AUDIO/", false, true },
		{ "GLOBAL/OTHER/AUDIO/", false, false },
	};
	u32 index = 0;
	for ( const auto& row : rows ) {
		const std::string name = "FX" + std::to_string( index++ );
		ToolSoundBank bank;
		bank.samples.resize( 1 );
		bank.playbacks.resize( 4 );
		ASSERT_TRUE( disc.WriteFile( row.folder + name + ".SBH", ToolWriteSoundBankHeader( bank ) ) );
		ASSERT_TRUE( disc.WriteFile( LevelPath( name + ".TSE" ), ToolWriteSoundEventTable( { {} } ) ) );
		gLowLevelReports.clear();
		LoadBanks( name.c_str(), "", "" );
		EXPECT_EQ( gpoSoundInfoLoader[0]->IsLoaded(), row.loaderFinds ) << row.folder;
		EXPECT_EQ( audio->GetNumberOfPlaybacks( 0 ), row.made ? 4u : 0u ) << row.folder;
		const std::string missing = "File not found == GLOBAL\\ENVGEN\\AUDIO\\" + name + ".SBH!!!!\n";
		EXPECT_EQ( Reported( missing ), !row.made ) << row.folder;
		gpoSoundInfoLoader[0]->FreeBlocks();
	}
}

TEST_F( GCSoundBankTest, ABankTooLargeForWhatIsLeftIsNotLoaded ) {
	const std::vector<u8> first = WriteRawBank( "FIRST", 1000 );
	WriteRawBank( "SECOND", 2000 );
	const u32 bankArea = StreamBufferStart + 6 * 51200;
	// Room for the first (1024 bytes) and one byte less than the second.
	GCSetBankAreaEnd( bankArea + 1024 + 2016 - 1 );
	LoadBanks( "FIRST", "SECOND", "" );
	EXPECT_TRUE( AramHolds( bankArea, first ) );
	EXPECT_EQ( g_CurrAramOffset, bankArea + 1024 );
	EXPECT_TRUE( std::all_of( ARHostMemory() + bankArea + 1024, ARHostMemory() + bankArea + 1024 + 2016,
							  []( u8 b ) { return b == 0; } ) );
	EXPECT_TRUE( Reported( "SECOND.sbb needs 2016 bytes of audio memory, 2015 are left: not loaded!!!!\n" ) );

	GCSetBankAreaEnd( bankArea + 1024 + 2016 );
	LoadBanks( "FIRST", "SECOND", "" );
	EXPECT_EQ( g_CurrAramOffset, bankArea + 1024 + 2016 ) << "exactly the room left fits";
}

TEST_F( GCSoundBankTest, AnOpenCoverDuringAChunkHoldsTheLoadUntilItCloses ) {
	const std::vector<u8> data = WriteRawBank( "FIRST", 0x30000 );
	const DVDHostDrivePhase phases[] = { { DVD_STATE_COVER_OPEN, HostMillisecondsToTicks( 300 ) } };
	ASSERT_TRUE( DVDHostScriptDriveStates( phases, 1 ) );
	const s64 start = HostClockNow();
	LoadBanks( "FIRST", "", "" );
	EXPECT_GE( HostClockNow() - start, HostMillisecondsToTicks( 300 ) );
	EXPECT_TRUE( AramHolds( StreamBufferStart + 6 * 51200, data ) );
}

TEST_F( GCSoundBankTest, DamagedHeadersLoadNothingAndNeverReadOutside ) {
	ToolSoundBank bank;
	bank.samples.resize( 2 );
	bank.playbacks.resize( 3 );
	const std::vector<u8> good = ToolWriteSoundBankHeader( bank );
	const std::vector<std::vector<u8>> variants = ToolMalformedSoundBankHeaders( good );
	ASSERT_FALSE( variants.empty() );
	for ( const std::vector<u8>& variant : variants ) {
		ASSERT_TRUE( disc.WriteFile( LevelPath( "BAD.SBH" ), variant ) );
		ASSERT_TRUE( disc.WriteFile( LevelPath( "BAD.TSE" ), ToolWriteSoundEventTable( { {} } ) ) );
		gpoSoundInfoLoader[0]->FreeBlocks();
		LoadBanks( "BAD", "", "" );
		const GC_SoundLoader& loader = *gpoSoundInfoLoader[0];
		// Whatever loads lies inside the file (the sanitizers watch the copies).
		EXPECT_LE( loader.GetPlaybackCount(), 3u );
		EXPECT_LE( audio->GetNumberOfPlaybacks( 0 ), 3u );
		if ( variant.size() < good.size() ) {
			EXPECT_FALSE( loader.IsLoaded() ) << variant.size();
		}
	}
	// The last variant names samples the bank lacks: no playback reaches one,
	// and the voice fills leave a record untouched.
	const GC_SoundLoader& loader = *gpoSoundInfoLoader[0];
	ASSERT_TRUE( loader.IsLoaded() );
	GC_Voice& voice = goxVoices[16];
	voice.mui8Bank = 0;
	voice.mui8RecordIndex = 1;
	voice.FillLoop();
	voice.FillSampleRate();
	voice.SetAddr();
	voice.SetAdpcm( false );
	EXPECT_EQ( loader.GetSampleOfPlayback( 1 ), nullptr );
	EXPECT_EQ( voice.mui32SampleRate, 0u );
	EXPECT_EQ( voice.moAddr.endAddressLo, 0u );
	voice.Reset();
}

}
