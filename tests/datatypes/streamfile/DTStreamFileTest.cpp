#include "datatypes/persist/PersistTestDisc.h"
#include "datatypes/streamable/LevelTestSupport.h"

#include "datatypes/persist/DTBinaryPersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/streamable/DTDynamicPropertyContainer.h"
#include "datatypes/descriptor/DTHotSpotDescriptor.h"
#include "datatypes/streamable/DTLinker.h"
#include "datatypes/streamfile/DTStreamFAT.h"
#include "datatypes/streamable/DTStreamLoader.h"
#include "datatypes/persist/DTTextPersistStream.h"
#include "tools/lib/level/ToolLevelWriter.h"
#include "tools/lib/level/ToolMalformedData.h"
#include "tools/lib/level/ToolResourceFileWriter.h"
#include "tools/lib/ToolFile.h"

namespace {

class LinkHolder : public DTStreamable {
public:
	LinkHolder() { RegisterLinkMember( &target, "TARGET" ); }
	DTStreamable* target = nullptr;
};

std::vector<u8> Bare( u32 uid ) {
	ToolBigEndianWriter out;
	out.WriteU32( uid );
	return out.Take();
}

ToolResourceFile ThreeRecords() {
	ToolResourceFile file;
	file.leadingWord = 0xC0FFEE;
	ToolHotSpot hotSpot;
	hotSpot.header.uid = 0x63;
	hotSpot.primType = 2;
	hotSpot.boneID = 4;
	hotSpot.sizes = { 1.0f, 2.0f, 3.0f };
	ToolBigEndianWriter hotSpotBytes;
	ToolLevelWriter::WriteHotSpot( hotSpotBytes, hotSpot );
	ToolBigEndianWriter container;
	ToolLevelWriter::WriteContainer( container, std::vector<ToolContainerEntry>{ { 1, Bare( 0x21 ) }, { 1, Bare( 0x22 ) } } );
	file.records = {
		{ 0x11111111, 0x33333333, TOOL_CLASS_STREAMABLE, Bare( 0x1234 ) },
		{ 0, 0, TOOL_CLASS_HOT_SPOT, hotSpotBytes.Take() },
		{ 0, 0, TOOL_CLASS_CONTAINER, container.Take() },
	};
	return file;
}

} // namespace

class DTStreamFileTest : public PersistTestDisc {
protected:
	std::string WriteFile( const ToolResourceFile& file, const std::string& name = "LEVEL.GCR" ) {
		std::string error;
		EXPECT_TRUE( ToolResourceFileWriter::WriteToDisc( file, root / "disc", name, error ) ) << error;
		return name;
	}
	std::string WriteBytes( const std::vector<u8>& bytes, const std::string& name ) {
		std::string error;
		EXPECT_TRUE( ToolWriteFile( root / "disc" / name, bytes, error ) ) << error;
		return name;
	}
};

TEST_F( DTStreamFileTest, ATableMatchesItsHandWrittenBytes ) {
	ToolResourceFile file;
	file.leadingWord = 0xA1B2C3D4;
	file.records = { { 0x01020304, 0x05060708, 63, { 0xEE, 0xFF } } };
	const std::vector<u8> fixture = HexBytes( "A1B2C3D4 00000001 01020304 00000002 05060708 0000003F EEFF" );
	EXPECT_EQ( ToolResourceFileWriter::Encode( file ), fixture );

	DTStreamFAT fat;
	EXPECT_EQ( fat.GetCount(), DT_STREAM_FAT_NOT_LOADED );
	const MemoryLoadResult loaded = LoadFromBytes( fixture, [&fat]( DTMemoryPersistStream& s ) { return fat.LoadFromStream( s ); } );
	EXPECT_EQ( loaded.result, 0 );
	EXPECT_EQ( loaded.consumed, 24 );
	EXPECT_EQ( fat.GetLeadingWord(), 0xA1B2C3D4u );
	ASSERT_EQ( fat.GetRecordCount(), 1u );
	EXPECT_EQ( fat.GetRecord( 0 ).mui32FirstWord, 0x01020304u );
	EXPECT_EQ( fat.GetRecord( 0 ).mui32ObjectSize, 2u );
	EXPECT_EQ( fat.GetRecord( 0 ).mui32ThirdWord, 0x05060708u );
	EXPECT_EQ( fat.GetRecord( 0 ).miClassID, 63 );
	EXPECT_EQ( fat.GetObject( 0 ), nullptr );
}

TEST_F( DTStreamFileTest, AnEmptyTableReadsEightBytes ) {
	DTStreamFAT fat;
	const MemoryLoadResult loaded = LoadFromBytes( HexBytes( "00000005 00000000 12345678" ), [&fat]( DTMemoryPersistStream& s ) { return fat.Load( s ); } );
	EXPECT_EQ( loaded.result, 0 );
	EXPECT_EQ( loaded.consumed, 8 );
	EXPECT_EQ( fat.GetCount(), 0u );
	EXPECT_EQ( fat.GetRecordCount(), 0u );
}

TEST_F( DTStreamFileTest, AMalformedTableFailsWithItsCodeAndLeavesNoRecords ) {
	const std::vector<u8> good = ToolResourceFileWriter::Encode( ThreeRecords() );
	const size_t count = ToolResourceFileWriter::CountOffset();
	struct Row {
		const char*			name;
		std::vector<u8>		bytes;
		s32					expected;
	};
	const Row rows[] = {
		{ "no leading word", ToolMalformedData::TruncateAt( good, 2 ), DT_PERSIST_READ_PAST_END },
		{ "no count", ToolMalformedData::TruncateAt( good, 6 ), DT_PERSIST_READ_PAST_END },
		{ "records cut", ToolMalformedData::TruncateAt( good, 8 + 16 * 2 + 3 ), DT_PERSIST_READ_PAST_END },
		{ "huge count", ToolMalformedData::ReplaceU32( good, count, 0xFFFFFFFF ), DT_PERSIST_READ_PAST_END },
		{ "negative count", ToolMalformedData::ReplaceS32( good, count, -2 ), DT_PERSIST_READ_PAST_END },
		{ "count past the objects", ToolMalformedData::ReplaceU32( good, count, 0x10000 ), DT_PERSIST_READ_PAST_END },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		DTStreamFAT memoryFat;
		EXPECT_EQ( LoadFromBytes( row.bytes, [&memoryFat]( DTMemoryPersistStream& s ) { return memoryFat.LoadFromStream( s ); } ).result, row.expected );
		EXPECT_EQ( memoryFat.GetRecordCount(), 0u );
		EXPECT_EQ( memoryFat.GetCount(), DT_STREAM_FAT_NOT_LOADED );

		// A file stream reports no short reads, but the count is still checked.
		if ( row.bytes.size() >= 8 ) {
			DTStreamLoader loader;
			ASSERT_EQ( loader.OpenInputStream( WriteBytes( row.bytes, "BAD.GCR" ).c_str(), DT_IO_STREAM_MODE_BINARY ), 0 );
			DTStreamFAT* fat = loader.GetStreamFat();
			EXPECT_EQ( fat->LoadFromStream( *loader.GetInStream() ), row.expected );
			EXPECT_EQ( fat->GetRecordCount(), 0u );
		}
	}
}

TEST_F( DTStreamFileTest, ARecordLoopLoadsEveryObjectFromTheFileOrAMemoryCopy ) {
	const std::string name = WriteFile( ThreeRecords() );
	for ( const bool fromMemory : { false, true } ) {
		SCOPED_TRACE( fromMemory );
		DTStreamLoader loader;
		EXPECT_EQ( loader.GetType(), 1 );
		ASSERT_EQ( loader.OpenInputStream( name.c_str(), DT_IO_STREAM_MODE_BINARY ), 0 );
		DTBasePersistStream& stream = *loader.GetInStream();
		EXPECT_EQ( stream.GetStreamLoader(), &loader );
		DTStreamFAT& fat = *loader.GetStreamFat();
		ASSERT_EQ( fat.LoadFromStream( stream ), 0 );
		EXPECT_EQ( fat.GetLeadingWord(), 0xC0FFEEu );
		ASSERT_EQ( fat.GetRecordCount(), 3u );
		EXPECT_EQ( fat.GetRecord( 0 ).mui32FirstWord, 0x11111111u );
		EXPECT_EQ( fat.GetRecord( 0 ).mui32ThirdWord, 0x33333333u );

		for ( u32 i = 0; i < fat.GetRecordCount(); i++ ) {
			const DTFatRecord& record = fat.GetRecord( i );
			const DTDynamicInstanciator::TInstanceMap* entry = DTDynamicInstanciator::GetInstance().GeInfoByClsID( record.miClassID );
			ASSERT_NE( entry, nullptr );
			ASSERT_EQ( entry->meInstanceType, IT_OBJECT );
			DTStreamable* object = static_cast<DTStreamable*>( entry->mpfnFactory() );
			s32 result = 0;
			if ( fromMemory ) {
				std::vector<char> copy( record.mui32ObjectSize );
				ASSERT_EQ( stream.LoadBinaryData( copy.data(), static_cast<s32>( copy.size() ) ), 0 );
				DTMemoryPersistStream memory( copy.data(), static_cast<s32>( copy.size() ) );
				result = object->Load( memory );
				EXPECT_EQ( memory.GetPosition(), memory.GetBufferSize() );
			} else {
				result = object->Load( stream );
			}
			EXPECT_EQ( result, 0 );
			fat.SetObject( i, object );
		}
		EXPECT_EQ( fat.GetObject( 0 )->GetUID(), 0x1234u );
		const DTHotSpotDescriptor* hotSpot = static_cast<const DTHotSpotDescriptor*>( fat.GetObject( 1 ) );
		EXPECT_EQ( hotSpot->GetUID(), 0x63u );
		EXPECT_EQ( hotSpot->mui32BoneID, 4u );
		EXPECT_EQ( hotSpot->mafPrimSizes[2], 3.0f );
		const DTDynamicPropertyContainer* container = static_cast<const DTDynamicPropertyContainer*>( fat.GetObject( 2 ) );
		ASSERT_EQ( container->GetCount(), 2u );
		EXPECT_EQ( container->GetAt( 1 )->GetUID(), 0x22u );
		EXPECT_EQ( stream.GetBytesLeft(), 0u );
		for ( u32 i = 0; i < fat.GetRecordCount(); i++ ) {
			delete fat.GetObject( i );
		}
	}
}

TEST_F( DTStreamFileTest, OpeningAMissingFileCreatesNothing ) {
	DTIOStream opener;
	EXPECT_EQ( opener.GetType(), 0 );
	EXPECT_EQ( opener.OpenInputStream( "MISSING.GCR", DT_IO_STREAM_MODE_BINARY ), DT_PERSIST_OPEN_FAILED );
	EXPECT_EQ( opener.GetInStream(), nullptr );
	EXPECT_EQ( opener.GetLinker(), nullptr );
	EXPECT_EQ( opener.GetStreamFat(), nullptr );
	EXPECT_EQ( DTNbrFileInUse(), 0u );
	const std::string name = WriteFile( ThreeRecords() );
	EXPECT_EQ( opener.OpenInputStream( name.c_str(), 3 ), DT_PERSIST_OPEN_FAILED );
	EXPECT_EQ( DTNbrFileInUse(), 0u );
}

TEST_F( DTStreamFileTest, ASecondOpenClosesTheFirstAndTheModeChoosesTheStream ) {
	const std::string name = WriteFile( ThreeRecords() );
	DTStreamLoader loader;
	ASSERT_EQ( loader.OpenInputStream( name.c_str(), DT_IO_STREAM_MODE_BINARY ), 0 );
	EXPECT_EQ( loader.GetInStream()->GetType(), DT_PERSIST_TYPE_BINARY | DT_PERSIST_TYPE_FILE );
	EXPECT_EQ( DTNbrFileInUse(), 1u );
	DTFileHandle_* first = loader.GetInStream()->GetFileHandle();
	ASSERT_EQ( loader.OpenInputStream( name.c_str(), DT_IO_STREAM_MODE_TEXT ), 0 );
	EXPECT_EQ( loader.GetInStream()->GetType(), DT_PERSIST_TYPE_TEXT | DT_PERSIST_TYPE_FILE );
	EXPECT_EQ( DTNbrFileInUse(), 1u );
	// The first handle was given back and is the one handed out again.
	EXPECT_EQ( loader.GetInStream()->GetFileHandle(), first );
	ASSERT_NE( loader.GetLinker(), nullptr );
	EXPECT_EQ( loader.GetLinker()->GetRecordCount(), 0u );
	EXPECT_EQ( loader.GetStreamFat()->GetCount(), DT_STREAM_FAT_NOT_LOADED );
	loader.CloseAll();
	EXPECT_EQ( loader.GetInStream(), nullptr );
	EXPECT_EQ( DTNbrFileInUse(), 0u );
}

TEST_F( DTStreamFileTest, ASecondLinkToAKnownIdTakesWhatTheFirstFieldHolds ) {
	ToolResourceFile file;
	ToolBigEndianWriter links;
	for ( const s32 id : { 7, 8, 7, 7 } ) {
		links.WriteU32( 0 );
		links.WriteS32( id );
	}
	file.records = { { 0, 0, 1, links.Take() } };
	DTStreamLoader loader;
	ASSERT_EQ( loader.OpenInputStream( WriteFile( file ).c_str(), DT_IO_STREAM_MODE_BINARY ), 0 );
	DTBasePersistStream& stream = *loader.GetInStream();
	ASSERT_EQ( loader.GetStreamFat()->LoadFromStream( stream ), 0 );

	LinkHolder first, other, second, third;
	DTStreamable target;
	EXPECT_EQ( first.Load( stream ), 0 );
	EXPECT_EQ( other.Load( stream ), 0 );
	EXPECT_EQ( second.Load( stream ), 0 );
	EXPECT_EQ( second.target, nullptr );
	first.target = &target;
	EXPECT_EQ( third.Load( stream ), 0 );
	EXPECT_EQ( third.target, &target );
	const DTLinker& linker = *loader.GetLinker();
	ASSERT_EQ( linker.GetRecordCount(), 2u );
	EXPECT_EQ( linker.GetRecord( 0 ).mppoMemberPointer, &first.target );
	EXPECT_EQ( linker.GetRecord( 0 ).mpoParentPointer, &first );
	EXPECT_EQ( linker.GetRecord( 1 ).miLinkID, 8 );
	EXPECT_TRUE( DTLinkRecord( nullptr, nullptr, 7 ) == DTLinkRecord( &first.target, &first, 7 ) );
	EXPECT_TRUE( DTLinkRecord() != DTLinkRecord( nullptr, nullptr, 1 ) );
}

TEST_F( DTStreamFileTest, TheTextTableReadsItsWordsAsOneArray ) {
	struct Row {
		const char*	text;
		s32			expected;
		u32			records;
		s32			lastClass;
	};
	const Row rows[] = {
		{ "BEGIN 9 2 8 1 4 2 63 0 0 0 31\n", 0, 2, 31 },
		// Fewer words than records: the missing ones stay zero.
		{ "BEGIN 9 2 4 1 4 2 63 // trailing comment\n", 0, 2, 0 },
		{ "BEGIN 9 9999 0\n", DT_PERSIST_READ_PAST_END, 0, 0 },
		// An array that claims more words than the text holds: no table.
		{ "BEGIN 9 1 40 1 4 2 63\n", DT_PERSIST_READ_PAST_END, 0, 0 },
		{ "BEGIN 9", DT_PERSIST_READ_PAST_END, 0, 0 },
	};
	InstallTextHooks();
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.text );
		DTFileHandle_* file = OpenText( row.text );
		ASSERT_NE( file, nullptr );
		DTTextPersistStream stream( file );
		DTStreamFAT fat;
		EXPECT_EQ( fat.Load( stream ), row.expected );
		ASSERT_EQ( fat.GetRecordCount(), row.records );
		if ( row.records != 0 ) {
			EXPECT_EQ( fat.GetRecord( 0 ).mui32ObjectSize, 4u );
			EXPECT_EQ( fat.GetRecord( 0 ).miClassID, 63 );
			EXPECT_EQ( fat.GetRecord( row.records - 1 ).miClassID, row.lastClass );
		}
		DTFclose( file );
	}
}
