#include "datatypes/streamable/LevelTestSupport.h"

#include "datatypes/descriptor/DTEmitterContainerDescriptor.h"
#include "datatypes/descriptor/DTFontsDescriptor.h"
#include "datatypes/descriptor/DTFontsPalDescriptor.h"
#include "datatypes/descriptor/DTHotSpotDescriptor.h"
#include "datatypes/descriptor/DTLightDescriptor.h"
#include "datatypes/descriptor/DTPaletteDictionnaryDescriptor.h"
#include "datatypes/descriptor/DTParticleContainerDescriptor.h"
#include "datatypes/property/DTProperty.h"
#include "datatypes/descriptor/DTTextsDescriptor.h"
#include "tools/lib/level/ToolLevelWriter.h"
#include "tools/lib/level/ToolMalformedData.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>

namespace {

// Offsets of the stored words the malformed cases change.
constexpr size_t HEADER_BYTES			= 12;
constexpr size_t FONTS_NB_CHARS			= 12;
constexpr size_t FONTS_INDEX_SIZE		= 36;	// with no texture names
constexpr size_t PAL_NB_COLORS			= 12;
constexpr size_t TEXTS_NB_TEXTES		= 16;
constexpr size_t TEXTS_FIRST_SIZE		= 20 + 4 + 8;	// after a 2-text index
constexpr size_t DICT_BUFFER_SIZE		= 12;
constexpr size_t DICT_NB_TEXTURES		= 20;
constexpr size_t EMITTERS_COUNT			= 12;
constexpr size_t SWAPPED_BLOCK_LENGTH	= 16 + 4 + 4 + 48 + 4;

std::vector<u8> Sequence( size_t count, u8 first ) {
	std::vector<u8> bytes( count );
	std::iota( bytes.begin(), bytes.end(), first );
	return bytes;
}

template <class Record, class WriteFunction>
std::vector<u8> Encode( const Record& record, WriteFunction write ) {
	ToolBigEndianWriter out;
	write( out, record );
	return out.Take();
}

ToolFonts TwoCharFont() {
	ToolFonts fonts;
	fonts.header = { 0x58, 1, 2 };
	fonts.nbChars = 2;
	fonts.position0 = 32;
	fonts.spaceSize = 4.0f;
	fonts.sizeTextIndexTable = 3;
	fonts.textIndexTable = Sequence( 12, 1 );
	fonts.charTable = Sequence( 88, 100 );
	fonts.asciiTable = Sequence( 256, 0 );
	return fonts;
}

ToolTexts TwoLanguages() {
	ToolTexts texts;
	texts.nbTextes = 2;
	texts.languages = { { Sequence( 8, 1 ), '\n', { 'h', 'i', 0, 'y', 'o', 0 } }, { Sequence( 8, 9 ), '\r', { 'o', 'k', 0 } } };
	return texts;
}

ToolPaletteDictionary Dictionary() {
	ToolPaletteDictionary dictionary;
	dictionary.nbStates = 3;
	dictionary.paletteBuffer = Sequence( 16, 0x40 );
	dictionary.entries = { { "ROCK", '\n', { 0, 4, 8 } }, { "TREE", '\n', { 12 } }, { "SKY", '\n', { 1, 2, 3, 4 } } };
	return dictionary;
}

ToolEmitterContainer TwoEmitters() {
	ToolEmitterContainer container;
	container.header = { 0x25, 3, -1 };
	container.emitters = {
		{ 0x51, 6, { 1, 2, 3 }, { 4, 5, 6 }, { 7, 8, 9 }, { 10, 11, 12 }, { 8, Sequence( 5, 0xA0 ) } },
		{ 0x52, -1, { -1, -2, -3 }, {}, {}, {}, { 0, {} } },
	};
	return container;
}

const auto WriteFontsTo = []( ToolBigEndianWriter& out, const ToolFonts& r ) { ToolLevelWriter::WriteFonts( out, r ); };
const auto WriteTextsTo = []( ToolBigEndianWriter& out, const ToolTexts& r ) { ToolLevelWriter::WriteTexts( out, r ); };
const auto WriteDictionaryTo = []( ToolBigEndianWriter& out, const ToolPaletteDictionary& r ) { ToolLevelWriter::WritePaletteDictionary( out, r ); };
const auto WriteEmittersTo = []( ToolBigEndianWriter& out, const ToolEmitterContainer& r ) { ToolLevelWriter::WriteEmitterContainer( out, r ); };
const auto WriteSwappedTo = []( ToolBigEndianWriter& out, const ToolEmitterContainer& r ) { ToolLevelWriter::WriteEmitterContainerSwapped( out, r ); };

void ExpectSameEmitters( const DTEmitterContainerDescriptor& a, const DTEmitterContainerDescriptor& b ) {
	EXPECT_EQ( a.mui32NbEmitters, b.mui32NbEmitters );
	ASSERT_EQ( a.moEmitters.GetSize(), b.moEmitters.GetSize() );
	for ( u32 i = 0; i < a.moEmitters.GetSize(); i++ ) {
		const DTEmitterDescriptor& x = a.moEmitters[i];
		const DTEmitterDescriptor& y = b.moEmitters[i];
		EXPECT_EQ( x.GetUID(), y.GetUID() );
		EXPECT_EQ( x.mui32BoneId, y.mui32BoneId );
		EXPECT_EQ( std::memcmp( &x.moPosition, &y.moPosition, sizeof( DTDummyVector3 ) ), 0 );
		EXPECT_EQ( std::memcmp( &x.moLookRight, &y.moLookRight, sizeof( DTDummyVector3 ) ), 0 );
		ASSERT_EQ( x.moEmitter.GetSize(), y.moEmitter.GetSize() );
		EXPECT_EQ( std::memcmp( x.moEmitter.GetBlock(), y.moEmitter.GetBlock(), x.moEmitter.GetSize() ), 0 );
	}
}

} // namespace

TEST( DTDescriptor, AFontKeepsItsTablesAsStoredBytes ) {
	DTFontsDescriptor fonts;
	const std::vector<u8> bytes = Encode( TwoCharFont(), WriteFontsTo );
	const MemoryLoadResult loaded = LoadObject( fonts, bytes );
	EXPECT_EQ( loaded.result, 0 );
	EXPECT_EQ( loaded.consumed, static_cast<s32>( bytes.size() ) );
	EXPECT_EQ( fonts.uiInstancePUID, 1 );
	EXPECT_EQ( fonts.mfSpaceSize, 4.0f );
	ASSERT_EQ( fonts.GetTextIndexTableBytes(), 12u );
	EXPECT_EQ( fonts.GetTextIndexTable()[11], 12 );
	ASSERT_EQ( fonts.GetCharTableBytes(), 88u );
	EXPECT_EQ( fonts.GetCharTable()[87], 187 );
	EXPECT_EQ( fonts.GetAsciiTable()[255], 255 );
}

TEST( DTDescriptor, AFontWithoutCharactersOrIndexReadsOnlyTheAsciiTable ) {
	ToolFonts empty;
	empty.textureNames = { "FONT0", "FONT1" };
	const std::vector<u8> bytes = Encode( empty, WriteFontsTo );
	const std::vector<u8> fixture = HexBytes(
		"FFFFFFFF 00000000 FFFFFFFF 00000000 00000000 00000000 00000000 00000000"
		"00000002 00000006 464F4E5430 00 00000006 464F4E5431 00 00000000 00000100" );
	ASSERT_EQ( std::vector<u8>( bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>( fixture.size() ) ), fixture );
	DTFontsDescriptor fonts;
	const MemoryLoadResult loaded = LoadObject( fonts, Concat( bytes, { 0x99 } ) );
	EXPECT_EQ( loaded.result, 0 );
	EXPECT_EQ( loaded.consumed, static_cast<s32>( fixture.size() + 256 ) );
	EXPECT_EQ( fonts.GetTextIndexTable(), nullptr );
	EXPECT_EQ( fonts.GetCharTable(), nullptr );
	ASSERT_EQ( fonts.moFontTextureNames.GetSize(), 2u );
	EXPECT_STREQ( fonts.moFontTextureNames[1].GetStr(), "FONT1" );
}

TEST( DTDescriptor, TextsReadIndexSizeCharacterAndTextsPerLanguage ) {
	DTTextsDescriptor texts;
	const std::vector<u8> bytes = Encode( TwoLanguages(), WriteTextsTo );
	const MemoryLoadResult loaded = LoadObject( texts, bytes );
	EXPECT_EQ( loaded.result, 0 );
	EXPECT_EQ( loaded.consumed, static_cast<s32>( bytes.size() ) );
	ASSERT_EQ( texts.GetLanguageCount(), 2u );
	EXPECT_EQ( texts.GetTextIndexBytes( 1 ), 8u );
	EXPECT_EQ( texts.GetTextIndex( 1 )[0], 9 );
	EXPECT_EQ( texts.GetTextsBytes( 0 ), 6u );
	EXPECT_STREQ( reinterpret_cast<const char*>( texts.GetTexts( 0 ) + 3 ), "yo" );
	EXPECT_STREQ( reinterpret_cast<const char*>( texts.GetTexts( 1 ) ), "ok" );
	EXPECT_EQ( texts.GetTexts( 2 ), nullptr );

	ToolTexts none = TwoLanguages();
	none.nbTextes = 0;
	DTTextsDescriptor empty;
	EXPECT_EQ( LoadObject( empty, Encode( none, WriteTextsTo ) ).consumed, 20 );
	EXPECT_EQ( empty.GetLanguageCount(), 0u );
}

TEST( DTDescriptor, PaletteEntriesKeepTheirFirstStatesAndZeroTheMissingOnes ) {
	DTPaletteDictionnaryDescriptor dictionary;
	const std::vector<u8> bytes = Encode( Dictionary(), WriteDictionaryTo );
	const MemoryLoadResult loaded = LoadObject( dictionary, bytes );
	EXPECT_EQ( loaded.result, 0 );
	EXPECT_EQ( loaded.consumed, static_cast<s32>( bytes.size() ) );
	EXPECT_EQ( dictionary.mui32PalBufSize, 16u );
	ASSERT_EQ( dictionary.GetPaletteBufferBytes(), 16u );
	EXPECT_EQ( dictionary.GetPaletteBuffer()[15], 0x4F );
	ASSERT_EQ( dictionary.GetEntryCount(), 3u );
	const s32 expected[3][3] = { { 0, 4, 8 }, { 12, 0, 0 }, { 1, 2, 3 } };
	const char* names[3] = { "ROCK", "TREE", "SKY" };
	for ( u32 i = 0; i < 3; i++ ) {
		EXPECT_STREQ( dictionary.GetEntry( i )->moName.GetStr(), names[i] );
		for ( u32 s = 0; s < 3; s++ ) {
			EXPECT_EQ( dictionary.GetEntry( i )->mpOffsets[s], expected[i][s] ) << i << " " << s;
		}
	}
	// A cut dictionary still reports nothing.
	DTPaletteDictionnaryDescriptor cut;
	EXPECT_EQ( LoadObject( cut, ToolMalformedData::TruncateAt( bytes, bytes.size() - 5 ) ).result, 0 );
}

TEST( DTDescriptor, AHotSpotReadsTheSizesItsPrimitiveTypeStores ) {
	struct Row {
		u32		primType;
		s32		expected;
		s32		sizesRead;
	};
	const Row rows[] = { { 0, 0, 1 }, { 1, 0, 4 }, { 2, 0, 3 }, { 3, DT_HOT_SPOT_BAD_PRIM_TYPE, 0 }, { 0xFFFFFFFF, DT_HOT_SPOT_BAD_PRIM_TYPE, 0 } };
	// UID, PUID, REFPUID, scale, flag and 19 members.
	const s32 memberBytes = 4 * ( 3 + 3 + 1 + 19 );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.primType );
		ToolHotSpot record;
		record.primType = row.primType;
		record.sizes = { 1.0f, 2.0f, 3.0f, 4.0f, 5.0f };
		DTHotSpotDescriptor hotSpot;
		const MemoryLoadResult loaded = LoadObject( hotSpot, Encode( record, []( ToolBigEndianWriter& o, const ToolHotSpot& r ) { ToolLevelWriter::WriteHotSpot( o, r ); } ) );
		EXPECT_EQ( loaded.result, row.expected );
		EXPECT_EQ( loaded.consumed, memberBytes + 4 * row.sizesRead );
		EXPECT_EQ( hotSpot.mafPrimSizes[0], row.sizesRead > 0 ? 1.0f : 0.0f );
	}
}

TEST( DTDescriptor, LittleEndianEmitterSetsLoadEqualToBigEndianOnes ) {
	DTEmitterContainerDescriptor big;
	const std::vector<u8> bigBytes = Encode( TwoEmitters(), WriteEmittersTo );
	EXPECT_EQ( LoadObject( big, bigBytes ).consumed, static_cast<s32>( bigBytes.size() ) );
	DTEmitterContainerDescriptor little;
	const std::vector<u8> littleBytes = Encode( TwoEmitters(), WriteSwappedTo );
	const MemoryLoadResult loaded = LoadFromBytes( littleBytes, [&little]( DTMemoryPersistStream& s ) { return little.LoadFromStreamSwap( s ); } );
	EXPECT_EQ( loaded.result, 0 );
	EXPECT_EQ( loaded.consumed, static_cast<s32>( littleBytes.size() ) );
	EXPECT_EQ( big.mui32NbEmitters, 2 );
	EXPECT_EQ( big.moEmitters[0].moLookUp.z, 9.0f );
	EXPECT_EQ( big.moEmitters[0].moEmitter.GetBlock()[4], 0xA4 );
	ExpectSameEmitters( big, little );
	// Each emitter keeps its stored UID through the copy into the list.
	EXPECT_EQ( little.moEmitters[0].GetUID(), 0x51u );
	EXPECT_EQ( little.moEmitters[1].GetUID(), 0x52u );

	DTEmitterContainerDescriptor copy;
	copy = big;
	ExpectSameEmitters( big, copy );
	EXPECT_NE( copy.moEmitters[0].moEmitter.GetBlock(), big.moEmitters[0].moEmitter.GetBlock() );

	const std::vector<u8> fixture = HexBytes( "00000025 00000003 FFFFFFFF 02000000 51000000 06000000 0000803F" );
	EXPECT_EQ( std::vector<u8>( littleBytes.begin(), littleBytes.begin() + 28 ), fixture );
}

TEST( DTDescriptor, AnEmptyEmitterSetReadsNothingAfterItsMembers ) {
	ToolEmitterContainer none;
	DTEmitterContainerDescriptor container;
	EXPECT_EQ( LoadObject( container, Concat( Encode( none, WriteEmittersTo ), { 1, 2, 3, 4 } ) ).consumed, 16 );
	EXPECT_EQ( container.moEmitters.GetSize(), 0u );
}

TEST( DTDescriptor, StoredSizesThatCannotBeTrueAllocateNothing ) {
	struct Row {
		const char*								name;
		std::vector<u8>							bytes;
		std::function<s32( DTMemoryPersistStream& )> load;
		s32										expected;
		std::function<bool()>					nothingAllocated;
	};
	DTFontsDescriptor fonts;
	DTFontsPalDescriptor palette;
	DTTextsDescriptor texts;
	DTPaletteDictionnaryDescriptor dictionary;
	DTEmitterContainerDescriptor emitters;
	const auto loadInto = []( DTStreamable& object ) {
		return [&object]( DTMemoryPersistStream& s ) { return object.Load( s ); };
	};
	const std::vector<u8> font = Encode( TwoCharFont(), WriteFontsTo );
	ToolFontsPalette colors;
	colors.nbColors = 1;
	colors.colorTable = Sequence( 16, 0 );
	const std::vector<u8> pal = Encode( colors, []( ToolBigEndianWriter& o, const ToolFontsPalette& r ) { ToolLevelWriter::WriteFontsPalette( o, r ); } );
	const std::vector<u8> text = Encode( TwoLanguages(), WriteTextsTo );
	const std::vector<u8> dict = Encode( Dictionary(), WriteDictionaryTo );
	const std::vector<u8> emitterSet = Encode( TwoEmitters(), WriteEmittersTo );
	const std::vector<u8> swapped = Encode( TwoEmitters(), WriteSwappedTo );
	const Row rows[] = {
		{ "index entries", ToolMalformedData::ReplaceU32( font, FONTS_INDEX_SIZE, 0x40000001 ), loadInto( fonts ), -5,
		  [&] { return fonts.GetTextIndexTable() == nullptr; } },
		{ "characters", ToolMalformedData::ReplaceU32( font, FONTS_NB_CHARS, 0x10000000 ), loadInto( fonts ), -5,
		  [&] { return fonts.GetCharTable() == nullptr; } },
		{ "colours", ToolMalformedData::ReplaceU32( pal, PAL_NB_COLORS, 0xFFFFFFFF ), loadInto( palette ), -5,
		  [&] { return palette.GetColorTable() == nullptr; } },
		{ "texts per language", ToolMalformedData::ReplaceU32( text, TEXTS_NB_TEXTES, 0x40000000 ), loadInto( texts ), -5,
		  [&] { return texts.GetLanguageCount() == 0; } },
		// The second language then reads from where the first stopped and
		// fails as well: the results add up.
		{ "text bytes", ToolMalformedData::ReplaceU32( text, TEXTS_FIRST_SIZE, 0xFFFFFFF0 ), loadInto( texts ), -10,
		  [&] { return texts.GetTexts( 0 ) == nullptr; } },
		{ "palette bytes", ToolMalformedData::ReplaceU32( dict, DICT_BUFFER_SIZE, 0x7FFFFFFF ), loadInto( dictionary ), 0,
		  [&] { return dictionary.GetPaletteBuffer() == nullptr; } },
		{ "textures", ToolMalformedData::ReplaceU32( dict, DICT_NB_TEXTURES, 0x20000000 ), loadInto( dictionary ), 0,
		  [&] { return dictionary.GetEntryCount() == 0; } },
		{ "emitters", ToolMalformedData::ReplaceS32( emitterSet, EMITTERS_COUNT, 0x01000000 ), loadInto( emitters ), -5,
		  [&] { return emitters.moEmitters.GetSize() == 0; } },
		{ "swapped emitters", ToolMalformedData::ReplaceLittleU32( swapped, EMITTERS_COUNT, 0x7FFFFFFF ),
		  [&]( DTMemoryPersistStream& s ) { return emitters.LoadFromStreamSwap( s ); }, -5,
		  [&] { return emitters.moEmitters.GetSize() == 0; } },
		{ "swapped block past its size", ToolMalformedData::ReplaceLittleU32( swapped, SWAPPED_BLOCK_LENGTH, 9 ),
		  [&]( DTMemoryPersistStream& s ) { return emitters.LoadFromStreamSwap( s ); }, -5,
		  [&] { return emitters.moEmitters[0].moEmitter.GetBlock()[0] == 0; } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EXPECT_EQ( LoadFromBytes( row.bytes, row.load ).result, row.expected );
		EXPECT_TRUE( row.nothingAllocated() );
	}
	EXPECT_EQ( HEADER_BYTES, 12u );
}

TEST( DTDescriptor, DescriptorsRegisterTheirMembersInStoredOrder ) {
	DTLightDescriptor light;
	const char* lightNames[] = { "UID", "PUID", "REFPUID", "LIGHT_TYPE", "COLOR", "FLAGS", "RADIUS", "CONE_ANGLE",
		"LIGHT_POS", "LIGHT_AT", "LIGHT_UP", "LIGHT_RIGHT" };
	ASSERT_EQ( light.GetMemberCount(), std::size( lightNames ) );
	for ( u32 i = 0; i < std::size( lightNames ); i++ ) {
		EXPECT_STREQ( light.GetMember( i )->GetName(), lightNames[i] );
	}
	EXPECT_EQ( light.uiReferencePUID, -1 );
	DTParticleContainerDescriptor particles;
	ToolParticleContainer record;
	record.nb = 2;
	record.types = { 4, { 1, 2, 3, 4 } };
	const std::vector<u8> bytes = Encode( record, []( ToolBigEndianWriter& o, const ToolParticleContainer& r ) { ToolLevelWriter::WriteParticleContainer( o, r ); } );
	EXPECT_EQ( LoadObject( particles, bytes ).consumed, static_cast<s32>( bytes.size() ) );
	EXPECT_EQ( particles.miNbTypes, 2 );
	EXPECT_EQ( particles.moTypes.GetBlock()[3], 4 );
	EXPECT_EQ( DTHotSpotDescriptor().GetClassID(), 63 );
	EXPECT_EQ( light.GetClassID(), 1 );
}
