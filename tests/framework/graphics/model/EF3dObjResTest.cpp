#include "ModelTestBench.h"

#include "datatypes/descriptor/DTEmitterContainerDescriptor.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/persist/DTBinaryPersistStream.h"
#include "datatypes/persist/DTTextPersistStream.h"
#include "framework/graphics/ApAtomicDataPlugin.h"
#include "framework/graphics/EFRwPersistStream.h"
#include "framework/graphics/EFStreamConvert.h"
#include "graphics3d/core/RwStream.h"
#include "tools/lib/graphics3d/ToolSampleModel.h"
#include "tools/lib/level/ToolLevelRecords.h"
#include "tools/lib/level/ToolModelResourceWriter.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr u32 MODEL_ID = 0x5B000007;

ToolEmitterContainer TwoEmitters() {
	ToolEmitterContainer container;
	container.header = { 0x25000001, -1, -1 };
	for ( u32 i = 0; i < 2; i++ ) {
		ToolEmitter emitter;
		emitter.uid = 0x26000001 + i;
		emitter.boneId = static_cast<s32>( i ) - 1;
		emitter.position = { 1.0f + static_cast<f32>( i ), 2.0f, 3.0f };
		emitter.block.size = 4;
		emitter.block.bytes = { 0xDE, 0xAD, static_cast<u8>( i ), 0xEF };
		container.emitters.push_back( emitter );
	}
	return container;
}

ToolModelResource ModelWithEmitters() {
	ToolModelResource model = ToolSampleModel( MODEL_ID, 1 );
	model.emitters = ToolModelResourceWriter::Emitters( TwoEmitters() );
	return model;
}

using EmitterView = std::tuple<s32, f32, std::vector<u8>>;

std::vector<EmitterView> View( const DTEmitterContainerDescriptor* container ) {
	std::vector<EmitterView> view;
	for ( u32 i = 0; container != nullptr && i < container->moEmitters.GetSize(); i++ ) {
		const DTEmitterDescriptor& emitter = container->moEmitters[i];
		const u8* const block = emitter.moEmitter.GetBlock();
		view.emplace_back( emitter.mui32BoneId, emitter.moPosition.x,
						   block != nullptr ? std::vector<u8>( block, block + emitter.moEmitter.GetSize() ) : std::vector<u8>() );
	}
	return view;
}

std::vector<u32> Lods( RpClump* clump ) {
	std::vector<u32> lods;
	RpClumpForAllAtomics(
		clump,
		[]( RpAtomic* atomic, void* data ) -> RpAtomic* {
			static_cast<std::vector<u32>*>( data )->push_back( ApGetAtomicLod( atomic ) );
			return atomic;
		},
		&lods );
	std::sort( lods.begin(), lods.end() );
	return lods;
}

}

class EF3dObjResTest : public ModelTestBench {};

TEST_F( EF3dObjResTest, TheBridgeOpensByKindSkipsByBlocksAndMovesMemoryStreamsOn ) {
	// Disc stream: skipping 5000 bytes reads 904, then two blocks of 2048;
	// a skip past the end still succeeds. Two bridged disc streams read
	// their own files.
	std::vector<u8> first( 6000 ), second( 16, 0x5A );
	for ( size_t i = 0; i < first.size(); i++ ) {
		first[i] = static_cast<u8>( i * 7 );
	}
	ASSERT_TRUE( disc.WriteFile( "FIRST.BIN", first ) );
	ASSERT_TRUE( disc.WriteFile( "SECOND.BIN", second ) );
	DTFileHandle_* const firstFile = DTFopen( "FIRST.BIN", "r" );
	DTFileHandle_* const secondFile = DTFopen( "SECOND.BIN", "r" );
	ASSERT_NE( firstFile, nullptr );
	ASSERT_NE( secondFile, nullptr );
	DTBinaryPersistStream firstStream( firstFile ), secondStream( secondFile );
	RwStream* const a = EFStreamConvert( &firstStream, nullptr );
	RwStream* const b = EFStreamConvert( &secondStream, nullptr );
	ASSERT_NE( a, nullptr );
	ASSERT_NE( b, nullptr );
	EXPECT_EQ( EFStreamConvertFileHandle( a ), firstFile );
	EXPECT_NE( RwStreamSkip( a, 5000 ), nullptr );
	EXPECT_EQ( firstFile->offset, 5000u );
	u8 bytes[2] = {};
	EXPECT_EQ( RwStreamRead( a, bytes, 2 ), 2u );
	EXPECT_EQ( bytes[0], static_cast<u8>( 5000 * 7 ) );
	EXPECT_EQ( RwStreamRead( b, bytes, 2 ), 2u );
	EXPECT_EQ( bytes[1], 0x5A );
	EXPECT_NE( RwStreamSkip( a, 4000 ), nullptr );
	EXPECT_EQ( RwStreamWrite( a, bytes, 1 ), nullptr );
	std::vector<std::string> skips;
	std::copy_if( EFCoreTestSeen().reports.begin(), EFCoreTestSeen().reports.end(), std::back_inserter( skips ),
				  []( const std::string& report ) { return report.rfind( "Skip", 0 ) == 0; } );
	EXPECT_EQ( skips, ( std::vector<std::string>{ "Skip 5000\n", "Skip 4000\n" } ) );
	EFStreamCloseConvert( a, &firstStream );
	EFStreamCloseConvert( b, &secondStream );
	DTFclose( firstFile );
	DTFclose( secondFile );

	// Memory stream at 100 of 1000: a 900-byte library stream; 300 read
	// leave the persist stream at 400.
	std::vector<char> buffer( 1000 );
	DTMemoryPersistStream memory( buffer.data(), 1000 );
	memory.Forward( 100 );
	RwStream* const m = EFStreamConvert( &memory, nullptr );
	ASSERT_NE( m, nullptr );
	u32 left = 0;
	ASSERT_TRUE( _rwStreamBytesLeft( m, &left ) );
	EXPECT_EQ( left, 900u );
	std::vector<u8> read( 300 );
	EXPECT_EQ( RwStreamRead( m, read.data(), 300 ), 300u );
	EFStreamCloseConvert( m, &memory );
	EXPECT_EQ( memory.GetPosition(), 400 );

	// A text stream needs a name; a stream of no bridged kind gives none.
	DTTextPersistStream text( nullptr );
	EXPECT_EQ( EFStreamConvert( &text, nullptr ), nullptr );
	DTBinaryPersistStream fileless;
	EXPECT_EQ( EFStreamConvert( &fileless, nullptr ), nullptr );
	EFRwPersistStream other( nullptr );
	EXPECT_EQ( EFStreamConvert( &other, "MODEL.RWS" ), nullptr );
	EXPECT_EQ( EFStreamConvert( nullptr, "MODEL.RWS" ), nullptr );
}

TEST_F( EF3dObjResTest, OneRecordLoadsAlikeFromMemoryDiscAndNamedFileAndEachStreamEndsRightAfterIt ) {
	const ToolModelResource model = ModelWithEmitters();
	std::vector<u8> record = ToolModelResourceWriter::Record( model );
	const std::vector<EmitterView> expected = {
		{ -1, 1.0f, { 0xDE, 0xAD, 0, 0xEF } },
		{ 0, 2.0f, { 0xDE, 0xAD, 1, 0xEF } },
	};

	// Memory (kind 10), registered under its id.
	const s32 bytesLeft = 0;
	EF3dObjRes* const fromMemory = LoadRecord( record, MODEL_ID, &bytesLeft );
	ASSERT_NE( fromMemory->GetClump(), nullptr );
	EXPECT_EQ( Lods( fromMemory->GetClump() ), ( std::vector<u32>{ 0, 0, 1 } ) );
	EXPECT_EQ( fromMemory->muiVersion, TOOL_MODEL_EMITTER_VERSION );
	EXPECT_EQ( View( fromMemory->mpResEmitters ), expected );

	// Disc file (kind 6), with bytes of the next record behind it.
	std::vector<u8> file = record;
	file.insert( file.end(), { 'N', 'E', 'X', 'T' } );
	ASSERT_TRUE( disc.WriteFile( "MODEL.BIN", file ) );
	DTFileHandle_* const handle = DTFopen( "MODEL.BIN", "r" );
	ASSERT_NE( handle, nullptr );
	DTBinaryPersistStream discStream( handle );
	EF3dObjRes fromDisc;
	EXPECT_EQ( fromDisc.LoadPropertiesBinary( discStream ), 0 );
	EXPECT_EQ( handle->offset, record.size() );
	DTFclose( handle );
	EXPECT_EQ( Lods( fromDisc.GetClump() ), ( std::vector<u32>{ 0, 0, 1 } ) );
	EXPECT_EQ( View( fromDisc.mpResEmitters ), expected );
	// The factory still names the disc copy, registered last.
	EXPECT_EQ( gpoRessourcesMgr->GetRessourceFactory().GetRessource( MODEL_ID ), &fromDisc );

	// A named file behind a text stream (kind 5).
	ASSERT_TRUE( disc.WriteFile( "MODEL.RWS", ToolModelResourceWriter::LibraryData( model ) ) );
	const std::string path = ( disc.DiscFolder() / "MODEL.RWS" ).string();
	DTTextPersistStream text( nullptr );
	RwStream* const named = EFStreamConvert( &text, path.c_str() );
	ASSERT_NE( named, nullptr );
	EF3dObjRes fromName;
	EXPECT_EQ( fromName.Load3dObj( named ), 0 );
	u32 left = 1;
	ASSERT_TRUE( _rwStreamBytesLeft( named, &left ) );
	EXPECT_EQ( left, 0u );
	EFStreamCloseConvert( named, &text );
	EXPECT_EQ( Lods( fromName.GetClump() ), ( std::vector<u32>{ 0, 0, 1 } ) );
	EXPECT_EQ( View( fromName.mpResEmitters ), expected );


	// A copy for another user: its own clump and emitters.
	EF3dObjRes* const copy = static_cast<EF3dObjRes*>( fromMemory->Copy() );
	ASSERT_NE( copy, nullptr );
	EXPECT_NE( copy->GetClump(), fromMemory->GetClump() );
	EXPECT_EQ( Lods( copy->GetClump() ), ( std::vector<u32>{ 0, 0, 1 } ) );
	EXPECT_NE( copy->mpResEmitters, fromMemory->mpResEmitters );
	EXPECT_EQ( View( copy->mpResEmitters ), expected );
	delete copy;
	delete fromMemory;
}

TEST_F( EF3dObjResTest, VersionsMarkersAndMissingPartsDecideWhatLoads ) {
	const struct Row {
		const char*	name;
		bool		clump;
		std::optional<u32>	version;
		std::optional<u32>	marker;
		bool		emitters;
		size_t		cut;
		bool		clumpLoaded;
		u32			versionLoaded;
		size_t		emittersLoaded;		// SIZE_MAX: no container
	} rows[] = {
		{ "complete", true, 0x5406, std::nullopt, true, 0, true, 0x5406, 2 },
		{ "high bits ignored", true, 0x15406, std::nullopt, true, 0, true, 0x15406, 2 },
		{ "version 0x5405 carries none", true, 0x5405, 0, true, 0, true, 0x5405, SIZE_MAX },
		{ "marker 0xFFFFFFFF", true, 0x5406, 0xFFFFFFFF, true, 0, true, 0x5406, SIZE_MAX },
		{ "no version", true, std::nullopt, std::nullopt, false, 0, true, 0, SIZE_MAX },
		{ "no marker", true, 0x5406, std::nullopt, false, 4, true, 0x5406, SIZE_MAX },
		{ "emitters cut short", true, 0x5406, std::nullopt, true, 3, true, 0x5406, 2 },
		{ "no clump", false, 0x5406, std::nullopt, true, 0, false, 0, SIZE_MAX },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		ToolModelResource model = ModelWithEmitters();
		if ( !row.clump ) {
			model.clump.reset();
		}
		model.version = row.version;
		model.marker = row.marker;
		if ( !row.emitters ) {
			model.emitters.reset();
		}
		model.cut = row.cut;
		std::vector<u8> record = ToolModelResourceWriter::Record( model );
		EF3dObjRes* const resource = LoadRecord( record, MODEL_ID );
		EXPECT_EQ( resource->GetClump() != nullptr, row.clumpLoaded );
		EXPECT_EQ( resource->muiVersion, row.versionLoaded );
		if ( row.emittersLoaded == SIZE_MAX ) {
			EXPECT_EQ( resource->mpResEmitters, nullptr );
		} else {
			ASSERT_NE( resource->mpResEmitters, nullptr );
			EXPECT_EQ( resource->mpResEmitters->moEmitters.GetSize(), row.emittersLoaded );
		}
		delete resource;
	}
}
