/*
	Collision-primitive animation tracks: every command code through the
	persist streams, repeated loads, and counts and commands cut short.
*/
#include "framework/physics/EFCollisionPrimAnim.h"

#include "datatypes/persist/DTBinaryPersistStream.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/persist/DTMemoryPersistStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A binary stream that keeps the (big-endian) bytes it is given.
class Recorder : public DTBinaryPersistStream {
public:
	std::vector<u8> bytes;

	s32 SaveBinaryData( const char* data, const s32 size ) override {
		bytes.insert( bytes.end(), data, data + size );
		return DT_PERSIST_OK;
	}
};

// The stored track: the count written first, then the commands.
std::vector<u8> Stored( DTVector<EFCPAnimCmdPair>& commands, const s16 count ) {
	Recorder stream;
	EXPECT_EQ( stream.SaveData( count ), 0 );
	EXPECT_EQ( EFCollisionPrimAnim::SaveCommands( commands, stream ), 0 );
	return stream.bytes;
}

s32 Load( EFCollisionPrimAnim& track, std::vector<u8> bytes ) {
	bytes.push_back( 0 );	// a stream needs a buffer even when empty
	DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() - 1 ) );
	return track.LoadPropertiesBinary( stream );
}

f32 BigEndianFloat( const std::vector<u8>& bytes, const size_t at ) {
	const u32 word = ( u32( bytes[at] ) << 24 ) | ( u32( bytes[at + 1] ) << 16 ) | ( u32( bytes[at + 2] ) << 8 ) | bytes[at + 3];
	f32 value;
	std::memcpy( &value, &word, sizeof( value ) );
	return value;
}

// One command of each code 0-9 and code 12; payload words count up from
// the code, so every field is told apart.
struct Track {
	DTVector<EFCPAnimCmdPair> commands;

	Track() {
		for ( u16 code = 0; code <= 10; code++ ) {
			const u16 command = code == 10 ? 12 : code;
			f32 words[9];
			for ( u32 i = 0; i < 9; i++ ) {
				words[i] = static_cast<f32>( 10 * code + i ) + 0.5f;
			}
			s32 ints[2] = { code, -7 * code };
			const void* payload = command <= 1 ? static_cast<const void*>( ints ) : words;
			if ( command == EF_CPANIM_ATTR_REAL ) {
				std::memcpy( &ints[1], &words[1], sizeof( f32 ) );
			}
			EXPECT_TRUE( EFCollisionPrimAnim::AddCommand( 0.25f * code, static_cast<u16>( code + 100 ), command, payload,
														  commands ) );
		}
	}

	~Track() {
		for ( u32 i = 0; i < commands.GetSize(); i++ ) {
			MMFree( commands[i].mpPayload );
		}
	}
};

TEST( EFCollisionPrimAnimTest, EveryCodeRoundTripsWithItsPayloadAndCodesWithoutOneKeepNull ) {
	Track written;
	const std::vector<u8> bytes = Stored( written.commands, 11 );
	// Code 2 streams the start sphere before its end time: after the
	// count and the codes 0 and 1 (8 + 8 bytes each), time, primitive and
	// code, then the start centre's x.
	const size_t code2 = 2 + 16 + 16 + 8;
	EXPECT_EQ( BigEndianFloat( bytes, code2 ),
			   static_cast<EFCPAnimBoundSphere*>( written.commands[2].mpPayload )->moStart.mfX );
	EXPECT_EQ( BigEndianFloat( bytes, code2 + 16 ),
			   static_cast<EFCPAnimBoundSphere*>( written.commands[2].mpPayload )->mfEndTime );

	EFCollisionPrimAnim track;
	ASSERT_EQ( Load( track, bytes ), 0 );
	EXPECT_EQ( track.GetLoadedCount(), 11 );
	ASSERT_EQ( track.GetCommands().GetSize(), 11u );
	for ( u32 i = 0; i < 11; i++ ) {
		SCOPED_TRACE( i );
		const EFCPAnimCmdPair& got = track.GetCommands()[i];
		const EFCPAnimCmdPair& want = written.commands[i];
		EXPECT_EQ( got.mfTime, want.mfTime );
		EXPECT_EQ( got.mui16Prim, want.mui16Prim );
		EXPECT_EQ( got.mui16Command, want.mui16Command );
		const u32 size = EFCPAnimPayloadSize( want.mui16Command );
		if ( size == 0 ) {
			EXPECT_EQ( got.mpPayload, nullptr );
		} else {
			ASSERT_NE( got.mpPayload, nullptr );
			EXPECT_EQ( std::memcmp( got.mpPayload, want.mpPayload, size ), 0 );
		}
	}
	EXPECT_EQ( Stored( track.GetCommands(), 11 ), bytes );
	EXPECT_EQ( static_cast<EFCPAnimAttrInt*>( track.GetCommands()[0].mpPayload )->miValue, 0 );
	EXPECT_EQ( static_cast<EFCPAnimAttrInt*>( track.GetCommands()[1].mpPayload )->miIndex, 1 );
	// Stored as end time, start, end; streamed start, end time, end.
	EXPECT_EQ( static_cast<EFCPAnimValue*>( track.GetCommands()[4].mpPayload )->mfEndTime, 40.5f );
	EXPECT_EQ( static_cast<EFCPAnimValue*>( track.GetCommands()[4].mpPayload )->mfStart, 41.5f );

	// Saving the object writes nothing.
	Recorder silent;
	EXPECT_EQ( track.SavePropertiesBinary( silent ), 0 );
	EXPECT_TRUE( silent.bytes.empty() );
}

TEST( EFCollisionPrimAnimTest, ALoadReplacesThePreviousTrackAndAnEmptyCountGivesAnEmptyOne ) {
	Track written;
	const std::vector<u8> all = Stored( written.commands, 11 );
	DTVector<EFCPAnimCmdPair> one;
	const EFCPAnimTranslate move = { { 1.0f, { 1, 2, 3 }, { 4, 5, 6 } } };
	ASSERT_TRUE( EFCollisionPrimAnim::AddCommand( 2.0f, 3, EF_CPANIM_TRANSLATE, &move, one ) );
	const std::vector<u8> single = Stored( one, 1 );
	MMFree( one[0].mpPayload );

	EFCollisionPrimAnim track;
	ASSERT_EQ( Load( track, all ), 0 );
	ASSERT_EQ( Load( track, single ), 0 );
	ASSERT_EQ( track.GetCommands().GetSize(), 1u );
	EXPECT_EQ( static_cast<EFCPAnimTranslate*>( track.GetCommands()[0].mpPayload )->mafEnd[2], 6.0f );
	DTVector<EFCPAnimCmdPair> none;
	ASSERT_EQ( Load( track, Stored( none, 0 ) ), 0 );
	EXPECT_EQ( track.GetCommands().GetSize(), 0u );
	EXPECT_EQ( track.GetCommands().GetCapacity(), 0u );
}

TEST( EFCollisionPrimAnimTest, ShortStreamsAndNegativeCountsKeepOnlyWholeCommands ) {
	Track written;
	const std::vector<u8> bytes = Stored( written.commands, 11 );
	std::vector<u8> negative = bytes;
	negative[0] = 0xFF;
	negative[1] = 0xFE;
	struct Row {
		const char*			name;
		std::vector<u8>		bytes;
		s32					result;
		u32					kept;
	} rows[] = {
		{ "no count", {}, 0, 0 },
		{ "half a count", { 0 }, 0, 0 },
		{ "count alone", { 0, 11 }, DT_PERSIST_READ_PAST_END, 0 },
		{ "inside the first time", std::vector<u8>( bytes.begin(), bytes.begin() + 4 ), DT_PERSIST_READ_PAST_END, 0 },
		{ "inside the second payload", std::vector<u8>( bytes.begin(), bytes.begin() + 2 + 16 + 12 ),
		  DT_PERSIST_READ_PAST_END, 1 },
		{ "inside the bounding-sphere payload", std::vector<u8>( bytes.begin(), bytes.begin() + 2 + 16 + 16 + 8 + 20 ),
		  DT_PERSIST_READ_PAST_END, 2 },
		{ "negative count", negative, DT_PERSIST_READ_PAST_END, 0 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFCollisionPrimAnim track;
		ASSERT_EQ( Load( track, bytes ), 0 );
		EXPECT_EQ( Load( track, row.bytes ), row.result );
		EXPECT_EQ( track.GetCommands().GetSize(), row.kept );
	}
}

}	// namespace
