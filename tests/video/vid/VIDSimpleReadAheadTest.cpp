#include "VIDReaderTestBench.h"
#include "platform/dvd/DVDHost.h"

#include "tools/movie/MovieCorpusPath.h"
#include "tools/movie/VidWalker.h"

#include <cstring>

namespace {

class VIDSimpleReadAheadTest : public VIDReaderTestBench {
protected:
	// File offsets of every FRAM chunk.
	static std::vector<u32> FrameOffsets( const std::vector<u8>& file ) {
		std::vector<u32> offsets;
		u32 at = 32 + DTReadBE32( file.data() + TEST_HEAD_SIZE_AT );
		const u32 count = DTReadBE32( file.data() + TEST_FRAME_COUNT_AT );
		for ( u32 k = 0; k < count; ++k ) {
			offsets.push_back( at );
			at += DTReadBE32( file.data() + at + 4 );
		}
		return offsets;
	}

	static u32 SlotCapacity() {
		return static_cast<u32>( ( player.videoHeader.largestFrame + 55u ) & ~31u );
	}

	// Idles until the drive has nothing left to do.
	static void IdleUntilDriveIsIdle() {
		for ( u32 turn = 0; turn < 10000 && DVDGetDriveStatus() != DVD_STATE_END; ++turn ) {
			HostIdle();
		}
	}

	static std::vector<u32> SlotFrames() {
		std::vector<u32> frames;
		for ( const VIDSimpleSlot& slot : player.slots ) {
			frames.push_back( slot.filled != 0 ? slot.frameNumber : 0xFFFFFFFF );
		}
		return frames;
	}
};

TEST_F( VIDSimpleReadAheadTest, AllocatesTenAlignedEmptySlotsInOneBlockOnce ) {
	EXPECT_EQ( VIDSimpleAllocDVDBuffers( TestAlloc ), 0 );	// nothing open
	WriteFile( "M.VID", BuildMovie( MovieRecipe() ) );
	ASSERT_EQ( VIDSimpleOpen( "M.VID", 0 ), 1 );
	EXPECT_EQ( VIDSimpleLoadStart( 0 ), 0 );				// no slots yet
	EXPECT_EQ( VIDSimpleAllocDVDBuffers( nullptr ), 0 );
	EXPECT_EQ( VIDSimpleAllocDVDBuffers( []( u32 ) -> void* { return nullptr; } ), 0 );

	ASSERT_EQ( VIDSimpleAllocDVDBuffers( TestAlloc ), 1 );
	const u32 capacity = SlotCapacity();
	EXPECT_EQ( capacity % 32, 0u );
	EXPECT_GE( capacity, player.videoHeader.largestFrame + 24 );
	EXPECT_EQ( LastAllocSize(), 10 * capacity + 31 );
	for ( u32 i = 0; i < VID_SLOT_COUNT; ++i ) {
		SCOPED_TRACE( i );
		EXPECT_EQ( reinterpret_cast<uintptr_t>( player.slots[i].data ) % 32, 0u );
		EXPECT_EQ( player.slots[i].data, player.slots[0].data + i * capacity );
		EXPECT_FALSE( VIDSimpleIsSlotFilled( i ) );
	}
	EXPECT_GE( player.slots[0].data, static_cast<u8*>( player.bufferBlock ) );
	EXPECT_LE( player.slots[9].data + capacity, static_cast<u8*>( player.bufferBlock ) + LastAllocSize() );
	EXPECT_EQ( VIDSimpleAllocDVDBuffers( TestAlloc ), 0 );
}

TEST_F( VIDSimpleReadAheadTest, PreloadsShortMoviesWholeAndReadsEachFrameOnce ) {
	const struct {
		u32		frames;
		u32		preloaded;
	} cases[] = { { 1, 1 }, { 4, 4 }, { 10, 10 }, { 13, 10 } };
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.frames );
		MovieRecipe recipe;
		recipe.frames = c.frames;
		StartMovie( BuildMovie( recipe ) );
		EXPECT_EQ( FrameReads(), c.preloaded );
		EXPECT_EQ( VIDSimpleGetNextFrameNumber(), c.preloaded );

		std::vector<u32> shown;
		for ( u32 k = 0; k + 1 < c.frames; ++k ) {
			ASSERT_EQ( VIDSimpleDecode(), 1 );
			EXPECT_FALSE( MovieHasEnded() );
		}
		ASSERT_EQ( VIDSimpleDecode(), 1 );
		EXPECT_TRUE( MovieHasEnded() );
		EXPECT_EQ( VIDSimpleDecode(), 0 );
		for ( const std::vector<u8>& picture : ReaderSeen().video ) {
			shown.push_back( FrameOf( picture ) );
		}
		EXPECT_EQ( shown, Count( c.frames ) );
		EXPECT_EQ( FrameReads(), c.frames );
		EXPECT_EQ( player.lastDecodedFrame, c.frames - 1 );

		ASSERT_EQ( VIDSimpleLoadStop(), 1 );
		VIDSimpleFreeDVDBuffers( TestFree );
		ASSERT_EQ( VIDSimpleClose(), 1 );
		ReaderSeen() = VIDReaderSeen();
	}
}

TEST_F( VIDSimpleReadAheadTest, LoopingReadsFrameZeroAgainFromTheLoopStart ) {
	MovieRecipe recipe;
	recipe.frames = 3;
	const std::vector<u8> file = BuildMovie( recipe );
	const u32 first = FrameOffsets( file )[0];
	StartMovie( file, 1 );
	EXPECT_EQ( FrameReads(), 10u );
	EXPECT_EQ( SlotFrames(), ( std::vector<u32>{ 0, 1, 2, 0, 1, 2, 0, 1, 2, 0 } ) );

	// Reads 1, 4, 7 and 10 all start behind frame 0's header.
	for ( const u32 back : { 0u, 3u, 6u, 9u } ) {
		DVDHostReadRecord record;
		ASSERT_TRUE( DVDHostRecentRead( back, &record ) );
		EXPECT_EQ( record.offset, first + 32 );
		EXPECT_EQ( record.length, DTReadBE32( file.data() + first + 4 ) );
	}

	std::vector<u32> shown;
	EXPECT_FALSE( PlayToTheEnd( &shown, 25 ) );
	std::vector<u32> expected;
	for ( u32 k = 0; k < 25; ++k ) {
		expected.push_back( k % 3 );
	}
	EXPECT_EQ( shown, expected );
	// Every slot emptied is read again at once: the ten ahead stay full.
	EXPECT_EQ( FrameReads(), 10u + 25u );
}

TEST_F( VIDSimpleReadAheadTest, ChainsReadsFromCompletionsUntilAllSlotsAreFull ) {
	DVDHostSetReadLatency( OSMillisecondsToTicks( 2 ) );
	MovieRecipe recipe;
	recipe.frames = 30;
	StartMovie( BuildMovie( recipe ) );
	EXPECT_EQ( FrameReads(), 10u );

	// Three frames out: the first decode starts a read, whose completion
	// starts the next while a slot is free.
	for ( u32 k = 0; k < 3; ++k ) {
		ASSERT_EQ( VIDSimpleDecode(), 1 );
		EXPECT_EQ( player.readInProgress, 1u );
	}
	EXPECT_EQ( FrameReads(), 11u );
	IdleUntilDriveIsIdle();
	EXPECT_EQ( FrameReads(), 13u );
	EXPECT_EQ( player.readInProgress, 0u );
	EXPECT_EQ( SlotFrames(), ( std::vector<u32>{ 10, 11, 12, 3, 4, 5, 6, 7, 8, 9 } ) );

	// Emptying every slot at once outruns the disc: the next slot is not
	// filled yet.
	for ( u32 k = 0; k < 10; ++k ) {
		ASSERT_EQ( VIDSimpleDecode(), 1 );
	}
	EXPECT_EQ( VIDSimpleDecode(), 0 );

	std::vector<u32> shown;
	ASSERT_TRUE( PlayToTheEnd( &shown ) );
	std::vector<u32> all;
	for ( const std::vector<u8>& picture : ReaderSeen().video ) {
		all.push_back( FrameOf( picture ) );
	}
	EXPECT_EQ( all, Count( 30 ) );
	EXPECT_EQ( FrameReads(), 30u );
}

TEST_F( VIDSimpleReadAheadTest, DeliversTheCorpusPayloadsByteForByteInOrder ) {
	for ( const char* name : { "ip.vid", "bframes.vid", "gmc.vid" } ) {
		SCOPED_TRACE( name );
		std::ifstream in( MovieCorpusPath() / name, std::ios::binary );
		const std::vector<u8> file( ( std::istreambuf_iterator<char>( in ) ), std::istreambuf_iterator<char>() );
		VidMovie movie;
		std::string problem;
		ASSERT_TRUE( WalkVid( file, &movie, &problem ) ) << problem;
		std::vector<std::vector<u8>> pictures;
		std::vector<std::vector<u8>> sounds;
		for ( const VidFrameChunk& frame : movie.frames ) {
			for ( const VidSubChunk& sub : frame.subChunks ) {
				( sub.tag == VID_TAG_VIDEO_DATA ? pictures : sounds ).push_back( sub.payload );
			}
		}

		DVDHostSetReadLatency( OSMillisecondsToTicks( 1 ) );
		StartMovie( file );
		ASSERT_TRUE( PlayToTheEnd( nullptr ) );
		EXPECT_EQ( ReaderSeen().video.size(), movie.frames.size() );
		EXPECT_TRUE( ReaderSeen().video == pictures );
		EXPECT_TRUE( ReaderSeen().audio == sounds );

		ASSERT_EQ( VIDSimpleLoadStop(), 1 );
		VIDSimpleFreeDVDBuffers( TestFree );
		ASSERT_EQ( VIDSimpleClose(), 1 );
		ReaderSeen() = VIDReaderSeen();
	}
}

TEST_F( VIDSimpleReadAheadTest, StopDuringAReadFillsNoSlotAndTheDiscNeverWritesFreedSlots ) {
	const struct {
		const char*	name;
		bool		stopFirst;
	} cases[] = { { "stop, then free", true }, { "free while reading", false } };
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.name );
		DVDHostSetReadLatency( OSMillisecondsToTicks( 5 ) );
		MovieRecipe recipe;
		recipe.frames = 20;
		StartMovie( BuildMovie( recipe ) );
		ASSERT_EQ( VIDSimpleDecode(), 1 );
		ASSERT_EQ( player.readInProgress, 1u );

		if ( c.stopFirst ) {
			ASSERT_EQ( VIDSimpleLoadStop(), 1 );
			EXPECT_EQ( player.readInProgress, 0u );
			for ( u32 i = 0; i < VID_SLOT_COUNT; ++i ) {
				EXPECT_FALSE( VIDSimpleIsSlotFilled( i ) );
			}
			EXPECT_EQ( VIDSimpleGetNextFrameNumber(), 0u );
			EXPECT_EQ( player.nextOffset, player.firstFrameOffset );
			EXPECT_EQ( player.nextSize, player.firstFrameSize );
			EXPECT_EQ( VIDSimpleGetWriteSlot(), 0u );
			EXPECT_EQ( VIDSimpleGetDecodeSlot(), 0u );
		}
		VIDSimpleFreeDVDBuffers( TestFree );
		// Long past the read's latency: the sanitizer sees any late write.
		for ( u32 turn = 0; turn < 50; ++turn ) {
			HostIdle();
		}
		EXPECT_EQ( player.readInProgress, 0u );
		EXPECT_EQ( VIDSimpleDecode(), 0 );
		VIDSimpleLoadStop();

		// Started again, the movie plays from its first frame.
		ReaderSeen() = VIDReaderSeen();
		ASSERT_EQ( VIDSimpleAllocDVDBuffers( TestAlloc ), 1 );
		ASSERT_EQ( VIDSimpleLoadStart( 0 ), 1 );
		ASSERT_TRUE( PlayToTheEnd( nullptr ) );
		ASSERT_EQ( ReaderSeen().video.size(), 20u );
		EXPECT_EQ( FrameOf( ReaderSeen().video[0] ), 0u );

		ASSERT_EQ( VIDSimpleLoadStop(), 1 );
		VIDSimpleFreeDVDBuffers( TestFree );
		ASSERT_EQ( VIDSimpleClose(), 1 );
	}
}

// Frame 2 carries a picture that makes it the largest frame by far.
void EnlargeThirdFrame( std::vector<ToolVidFrame>& frames ) {
	frames[2].subChunks[0].payload.resize( frames[2].subChunks[0].payload.size() + 300, 0x5A );
}

TEST_F( VIDSimpleReadAheadTest, EndsAfterTheBufferedFramesWhenReadingCannotGoOn ) {
	enum Fault { LARGEST_BELOW_SLOT, LARGEST_STILL_FITS, SIZE_BELOW_32, SIZE_ZERO, FILE_CUT, READ_FAILS };
	struct Case {
		const char*	name;
		Fault		fault;
		u32			frames;
		u32			shown;
	};
	const Case cases[] = {
		{ "third frame larger than a slot",			LARGEST_BELOW_SLOT, 6, 2 },
		{ "third frame above largest, fits a slot",	LARGEST_STILL_FITS, 6, 6 },
		{ "third frame size below 32",				SIZE_BELOW_32, 6, 2 },
		{ "third frame size 0",						SIZE_ZERO, 6, 2 },
		{ "file cut inside frame 12",				FILE_CUT, 14, 11 },
		{ "twelfth read fails",						READ_FAILS, 14, 11 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		MovieRecipe recipe;
		recipe.frames = c.frames;
		std::vector<u8> file = BuildMovie( recipe, EnlargeThirdFrame );
		const std::vector<u32> offsets = FrameOffsets( file );
		const u32 third = DTReadBE32( file.data() + offsets[2] + 4 );
		ASSERT_EQ( DTReadBE32( file.data() + TEST_LARGEST_AT ), third );
		switch ( c.fault ) {
			case LARGEST_BELOW_SLOT:	PatchBE32( file, TEST_LARGEST_AT, third - 64 ); break;
			case LARGEST_STILL_FITS:	PatchBE32( file, TEST_LARGEST_AT, third - 16 ); break;
			case SIZE_BELOW_32:			PatchBE32( file, offsets[2] + 4, 16 ); break;
			case SIZE_ZERO:				PatchBE32( file, offsets[2] + 4, 0 ); break;
			case FILE_CUT:				file.resize( offsets[12] - 16 ); break;
			case READ_FAILS:			break;
		}
		DVDHostSetReadLatency( OSMillisecondsToTicks( 1 ) );
		StartMovie( file );
		if ( c.fault == READ_FAILS ) {
			ASSERT_TRUE( DVDHostScriptFailedRead( 2 ) );
		}
		std::vector<u32> shown;
		ASSERT_TRUE( PlayToTheEnd( &shown ) );
		EXPECT_EQ( shown, Count( c.shown ) );
		EXPECT_EQ( player.error, c.shown < c.frames ? 1u : 0u );
		EXPECT_EQ( VIDSimpleDecode(), 0 );

		ASSERT_EQ( VIDSimpleLoadStop(), 1 );
		VIDSimpleFreeDVDBuffers( TestFree );
		ASSERT_EQ( VIDSimpleClose(), 1 );
		ReaderSeen() = VIDReaderSeen();
	}
}

TEST_F( VIDSimpleReadAheadTest, FailsToStartOnAPreloadErrorYetEndsAfterTheFramesItHas ) {
	MovieRecipe recipe;
	recipe.frames = 8;
	WriteFile( "M.VID", BuildMovie( recipe ) );
	ASSERT_EQ( VIDSimpleOpen( "M.VID", 0 ), 1 );
	ASSERT_EQ( VIDSimpleAllocDVDBuffers( TestAlloc ), 1 );
	ASSERT_TRUE( DVDHostScriptFailedRead( 3 ) );
	EXPECT_EQ( VIDSimpleLoadStart( 0 ), 0 );
	EXPECT_EQ( player.error, 1u );
	std::vector<u32> shown;
	ASSERT_TRUE( PlayToTheEnd( &shown ) );
	EXPECT_EQ( shown, Count( 2 ) );
}

TEST_F( VIDSimpleReadAheadTest, RefusesToStartTwiceOrCloseWhileRunningOrReading ) {
	EXPECT_EQ( VIDSimpleLoadStart( 0 ), 0 );
	EXPECT_EQ( VIDSimpleLoadStop(), 0 );
	EXPECT_EQ( VIDSimpleClose(), 0 );

	DVDHostSetReadLatency( OSMillisecondsToTicks( 1 ) );
	MovieRecipe recipe;
	recipe.frames = 14;
	StartMovie( BuildMovie( recipe ) );
	EXPECT_EQ( VIDSimpleLoadStart( 0 ), 0 );
	EXPECT_EQ( VIDSimpleClose(), 0 );

	// A fatal read leaves the read flag up until the stop.
	ASSERT_TRUE( DVDHostScriptFailedRead( 1 ) );
	ASSERT_EQ( VIDSimpleDecode(), 1 );
	IdleUntilDriveIsIdle();
	EXPECT_EQ( player.error, 1u );
	EXPECT_EQ( player.readInProgress, 1u );
	EXPECT_EQ( VIDSimpleClose(), 0 );
	ASSERT_EQ( VIDSimpleLoadStop(), 1 );
	EXPECT_EQ( player.error, 0u );
	EXPECT_EQ( VIDSimpleClose(), 1 );
	EXPECT_EQ( VIDSimpleClose(), 0 );
}

TEST_F( VIDSimpleReadAheadTest, EndsTheFrameWalkAtASubChunkOfImpossibleSize ) {
	MovieRecipe recipe;
	recipe.frames = 3;
	recipe.tracks = 1;
	const std::vector<u8> good = BuildMovie( recipe );
	VidMovie movie;
	std::string problem;
	ASSERT_TRUE( WalkVid( good, &movie, &problem ) ) << problem;
	const u32 frame = FrameOffsets( good )[1];
	const u32 video = frame + 32;
	const u32 videoSize = DTReadBE32( good.data() + video + 4 );
	const u32 audio = video + videoSize;
	const u32 audioLeft = DTReadBE32( good.data() + frame + 4 ) - 32 - videoSize;
	struct Case {
		const char*				name;
		u32						at;			// size word to change
		u32						size;
		std::vector<u32>		pictures;	// frames whose picture arrives
		std::vector<u32>		sounds;		// frames whose sound arrives
	};
	const Case cases[] = {
		{ "sound size 0",					audio + 4, 0, { 0, 1, 2 }, { 0, 2 } },
		{ "sound size 11",					audio + 4, 11, { 0, 1, 2 }, { 0, 2 } },
		{ "sound one byte past the frame",	audio + 4, audioLeft + 1, { 0, 1, 2 }, { 0, 2 } },
		{ "sound far past the frame",		audio + 4, 0xFFFFFFF4, { 0, 1, 2 }, { 0, 2 } },
		{ "sound exactly what is left",		audio + 4, audioLeft, { 0, 1, 2 }, { 0, 1, 2 } },
		{ "picture size 0",					video + 4, 0, { 0, 2 }, { 0, 2 } },
		{ "picture far past the frame",		video + 4, 0x80000000, { 0, 2 }, { 0, 2 } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		std::vector<u8> file = good;
		PatchBE32( file, c.at, c.size );
		StartMovie( file );
		ASSERT_TRUE( PlayToTheEnd( nullptr, 10 ) );
		std::vector<u32> pictures;
		for ( const std::vector<u8>& picture : ReaderSeen().video ) {
			pictures.push_back( FrameOf( picture ) );
		}
		EXPECT_EQ( pictures, c.pictures );
		ASSERT_EQ( ReaderSeen().audio.size(), c.sounds.size() );
		for ( size_t i = 0; i < c.sounds.size(); ++i ) {
			const std::vector<u8>& expected = movie.frames[c.sounds[i]].subChunks[1].payload;
			if ( c.sounds[i] == 1 ) {
				EXPECT_EQ( ReaderSeen().audio[i].size(), audioLeft - 12 );
				EXPECT_TRUE( std::equal( expected.begin(), expected.end(), ReaderSeen().audio[i].begin() ) );
			} else {
				EXPECT_TRUE( ReaderSeen().audio[i] == expected );
			}
		}
		ASSERT_EQ( VIDSimpleLoadStop(), 1 );
		VIDSimpleFreeDVDBuffers( TestFree );
		ASSERT_EQ( VIDSimpleClose(), 1 );
		ReaderSeen() = VIDReaderSeen();
	}
}

// Frame 1 carries a sub-chunk of another kind between its picture and sound.
void InsertForeignSubChunk( std::vector<ToolVidFrame>& frames ) {
	ToolVidSubChunk foreign;
	foreign.tag = ToolVidTag( "XTRA" );
	foreign.version = 0;
	foreign.payload.assign( 52, 0xEE );
	frames[1].subChunks.insert( frames[1].subChunks.begin() + 1, foreign );
}

TEST_F( VIDSimpleReadAheadTest, SkipsFrameSubChunksOfOtherKinds ) {
	MovieRecipe recipe;
	recipe.frames = 3;
	recipe.tracks = 1;
	const std::vector<u8> file = BuildMovie( recipe, InsertForeignSubChunk );
	VidMovie movie;
	std::string problem;
	ASSERT_TRUE( WalkVid( file, &movie, &problem ) ) << problem;
	ASSERT_EQ( movie.frames[1].subChunks.size(), 3u );
	StartMovie( file );
	ASSERT_TRUE( PlayToTheEnd( nullptr, 10 ) );
	ASSERT_EQ( ReaderSeen().video.size(), 3u );
	ASSERT_EQ( ReaderSeen().audio.size(), 3u );
	EXPECT_TRUE( ReaderSeen().video[1] == movie.frames[1].subChunks[0].payload );
	EXPECT_TRUE( ReaderSeen().audio[1] == movie.frames[1].subChunks[2].payload );
}

TEST_F( VIDSimpleReadAheadTest, ReportsEachDriveErrorStateAndPassesTheOthers ) {
	WriteFile( "A.BIN", std::vector<u8>( 64, 1 ) );
	DVDFileInfo file;
	ASSERT_TRUE( DVDOpen( "A.BIN", &file ) );
	alignas( 32 ) static u8 target[64];
	const struct {
		s32			state;
		s32			result;
		const char*	report;
	} cases[] = {
		{ DVD_STATE_FATAL_ERROR,	0, "DVDGetDriveStatus()=DVD_STATE_FATAL_ERROR\n" },
		{ DVD_STATE_NO_DISK,		0, "DVDGetDriveStatus()=DVD_STATE_NO_DISK\n" },
		{ DVD_STATE_COVER_OPEN,		0, "DVDGetDriveStatus()=DVD_STATE_COVER_OPEN\n" },
		{ DVD_STATE_WRONG_DISK,		0, "DVDGetDriveStatus()=DVD_STATE_WRONG_DISK\n" },
		{ DVD_STATE_RETRY,			0, "DVDGetDriveStatus()=DVD_STATE_RETRY\n" },
		{ DVD_STATE_BUSY,			1, nullptr },
		{ DVD_STATE_COVER_CLOSED,	1, nullptr },
		{ DVD_STATE_MOTOR_STOPPED,	1, nullptr },
		{ DVD_STATE_END,			1, nullptr },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.state );
		ReaderSeen().reports.clear();
		if ( c.state != DVD_STATE_END ) {
			const DVDHostDrivePhase phase[] = { { c.state, 1000 } };
			ASSERT_TRUE( DVDHostScriptDriveStates( phase, 1 ) );
			ASSERT_TRUE( DVDReadAsyncPrio( &file, target, 32, 0, nullptr, DVD_PRIO_NORMAL ) );
		}
		EXPECT_EQ( VIDSimpleCheckDVDError(), c.result );
		EXPECT_EQ( ReaderSeen().reports, c.report != nullptr ? std::vector<std::string>{ c.report } : std::vector<std::string>{} );
		IdleUntilDriveIsIdle();
	}
	DVDClose( &file );
}

}
