#include "datatypes/node/DTAnimHdr.h"
#include "datatypes/base/DTByteOrder.h"
#include "tools/lib/level/ToolAnimBlockWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Two tracks of 3 and 0 entries whose offsets point into a 16-byte
// payload after them.
ToolAnimBlock TwoTracks( const u32 payloadOffset ) {
	ToolAnimBlock block;
	block.duration = 2.0f;
	ToolAnimTrack first;
	first.joint = 4;
	first.entries = { { 0, payloadOffset }, { 1, payloadOffset + 4 }, { 2, payloadOffset + 12 } };
	ToolAnimTrack second;
	second.joint = 9;
	block.tracks = { first, second };
	block.payload = std::vector<u8>( 16, 0xEE );
	return block;
}

std::vector<u8> Encoded( const ToolAnimBlock & block ) {
	return ToolAnimBlockWriter::Encode( block );
}

TEST( DTAnimHdr, TheWriterLaysOutTracksAsTheEngineReadsThem ) {
	const std::vector<u8> bytes = Encoded( TwoTracks( 56 ) );
	// Header, track 0 head and its first entry, pinned by hand.
	const std::vector<u8> head = {
		0x00, 0x00, 0x00, 0x48, 0x00, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
		0x00, 0x00, 0x00, 0x04, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x38,
	};
	ASSERT_EQ( bytes.size(), 72u );
	EXPECT_EQ( std::vector<u8>( bytes.begin(), bytes.begin() + 32 ), head );
}

TEST( DTAnimHdr, ResolvingFindsEveryEntryAndItsTarget ) {
	const u32 payload = ToolAnimBlockWriter::PayloadOffset( TwoTracks( 0 ) );
	ASSERT_EQ( payload, 56u );
	std::vector<u8> bytes = Encoded( TwoTracks( payload ) );
	const std::vector<u8> before = bytes;
	DTAnimHdr header( bytes.data() );
	EXPECT_EQ( header.GetTrackCount(), 0u );
	EXPECT_EQ( header.EntryTarget( 0, 0 ), nullptr );
	ASSERT_TRUE( header.ResolvePointers( static_cast<u32>( bytes.size() ) ) );
	ASSERT_TRUE( header.IsResolved() );
	EXPECT_EQ( header.GetTrackCount(), 2u );
	EXPECT_EQ( header.GetEntryCount( 0 ), 3u );
	EXPECT_EQ( header.GetEntryCount( 1 ), 0u );
	// The second track starts after the first's head and three entries.
	EXPECT_EQ( header.GetTrack( 1 ), bytes.data() + 16 + 32 );
	EXPECT_EQ( DTReadBE32( header.GetTrack( 1 ) ), 9u );
	const u32 offsets[3] = { 0, 4, 12 };
	for ( u32 entry = 0; entry < 3; entry++ ) {
		EXPECT_EQ( header.EntryTarget( 0, entry ), bytes.data() + payload + offsets[entry] );
		EXPECT_EQ( DTReadBE32( header.GetEntry( 0, entry ) ), entry );
	}
	EXPECT_EQ( header.EntryTarget( 0, 3 ), nullptr );
	EXPECT_EQ( header.EntryTarget( 1, 0 ), nullptr );
	EXPECT_EQ( header.GetTrack( 2 ), nullptr );
	// Nothing in the block is rewritten, so resolving twice changes nothing.
	ASSERT_TRUE( header.ResolvePointers( static_cast<u32>( bytes.size() ) ) );
	EXPECT_EQ( bytes, before );
	EXPECT_EQ( header.EntryTarget( 0, 2 ), bytes.data() + payload + 12 );
}

TEST( DTAnimHdr, MalformedBlocksAreRefusedAndLeftAsTheyWere ) {
	const u32 payload = 56;
	struct Row {
		const char *	name;
		std::vector<u8>	bytes;
		u32				size;
	};
	std::vector<Row> rows;
	const std::vector<u8> good = Encoded( TwoTracks( payload ) );
	rows.push_back( { "shorter than the header", good, 15 } );
	rows.push_back( { "truncated in the first track's entries", good, 40 } );
	rows.push_back( { "truncated in the second track's head", good, 50 } );
	std::vector<u8> manyEntries = good;
	DTWriteBE16( manyEntries.data() + 16 + 4, 0xFFFF );
	rows.push_back( { "entry count past the end", manyEntries, static_cast<u32>( manyEntries.size() ) } );
	std::vector<u8> manyTracks = good;
	manyTracks[12] = 0xFF;
	rows.push_back( { "track count past the end", manyTracks, static_cast<u32>( manyTracks.size() ) } );
	std::vector<u8> farOffset = good;
	DTWriteBE32( farOffset.data() + 16 + 8 + 8 + 4, static_cast<u32>( good.size() ) );
	rows.push_back( { "offset at the end", farOffset, static_cast<u32>( farOffset.size() ) } );
	std::vector<u8> hugeOffset = good;
	DTWriteBE32( hugeOffset.data() + 16 + 8 + 4, 0xFFFFFFF0 );
	rows.push_back( { "offset far past the end", hugeOffset, static_cast<u32>( hugeOffset.size() ) } );
	for ( Row & row : rows ) {
		const std::vector<u8> before = row.bytes;
		DTAnimHdr header( row.bytes.data() );
		EXPECT_FALSE( header.ResolvePointers( row.size ) ) << row.name;
		EXPECT_FALSE( header.IsResolved() ) << row.name;
		EXPECT_EQ( header.GetTrackCount(), 0u ) << row.name;
		EXPECT_EQ( header.EntryTarget( 0, 0 ), nullptr ) << row.name;
		EXPECT_EQ( row.bytes, before ) << row.name;
	}
	DTAnimHdr nothing( nullptr );
	EXPECT_FALSE( nothing.ResolvePointers( 100 ) );
}

TEST( DTAnimHdr, ABlockWithoutTracksResolves ) {
	ToolAnimBlock empty;
	std::vector<u8> bytes = Encoded( empty );
	DTAnimHdr header( bytes.data() );
	EXPECT_TRUE( header.ResolvePointers( static_cast<u32>( bytes.size() ) ) );
	EXPECT_EQ( header.GetTrackCount(), 0u );
	EXPECT_EQ( header.GetTrack( 0 ), nullptr );
}

} // namespace
