#include "LevelTestSupport.h"

#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/streamable/DTGlo.h"
#include "datatypes/descriptor/DTHotSpotDescriptor.h"
#include "datatypes/property/DTProperty.h"
#include "tools/lib/level/ToolLevelWriter.h"
#include "tools/lib/level/ToolMalformedData.h"

#include <gtest/gtest.h>

namespace {

// A class only the animation-node creator may use.
class AnimNodeOnly : public DTStreamable {
public:
	static void* Instanciate() { return new AnimNodeOnly; }
};
const s32 gAnimNodeOnlyId = DTDynamicInstanciator::GetInstance().RegisterDynamicClass(
	&AnimNodeOnly::Instanciate, "EF_ANIM_NODE", TOOL_CLASS_ANIM_NODE, IT_ANIM_NODE );

ToolContainerEntry BareEntry( u32 uid ) {
	ToolBigEndianWriter out;
	out.WriteU32( uid );
	return { TOOL_CLASS_STREAMABLE, out.Take() };
}

ToolHotSpot SweptSphere() {
	ToolHotSpot hotSpot;
	hotSpot.header = { 0x63000001, 12, 34 };
	hotSpot.scale = { 2.0f, 3.0f, 4.0f };
	hotSpot.instanceFlag = -9;
	hotSpot.primType = 1;
	hotSpot.primitiveTag = 0x54414731;
	hotSpot.boneID = 5;
	hotSpot.translation = { 0.5f, -1.5f, 2.5f };
	hotSpot.hardness = 0.25f;
	hotSpot.rebound = 0.75f;
	for ( u32 i = 0; i < hotSpot.words.size(); i++ ) {
		hotSpot.words[i] = 100 + i;
	}
	hotSpot.sizes = { 1.0f, 0.0f, 2.0f, -3.0f };
	return hotSpot;
}

ToolContainerEntry HotSpotEntry( const ToolHotSpot& hotSpot ) {
	ToolBigEndianWriter out;
	ToolLevelWriter::WriteHotSpot( out, hotSpot );
	return { TOOL_CLASS_HOT_SPOT, out.Take() };
}

std::vector<u8> ContainerBytes( const std::vector<ToolContainerEntry>& entries ) {
	ToolBigEndianWriter out;
	ToolLevelWriter::WriteContainer( out, entries );
	return out.Take();
}

// depth containers, each the only entry of the one around it.
std::vector<u8> NestedContainerBytes( const u32 depth ) {
	std::vector<u8> bytes = ContainerBytes( {} );
	for ( u32 i = 1; i < depth; i++ ) {
		bytes = ContainerBytes( { { TOOL_CLASS_CONTAINER, bytes } } );
	}
	return bytes;
}

std::vector<u8> GloBytes( const ToolGloRecord& record ) {
	ToolBigEndianWriter out;
	ToolLevelWriter::WriteGlo( out, record );
	return out.Take();
}

} // namespace

TEST( DTGlo, ARecordWithoutDescriptorsMatchesItsHandWrittenBytes ) {
	ToolGloRecord record;
	record.uid = 0x2A000001;
	record.gloId = 7;
	record.enableBitPos = 3;
	record.position = { 1.0f, 2.0f, -2.0f };
	record.objectFlags = 0x10;
	record.magic = { 4, { 0xDE, 0xAD } };
	const std::vector<u8> fixture = HexBytes(
		"2A000001 00000007 00000003"
		"3F800000 40000000 C0000000"
		"00000000 00000000 3F800000"
		"00000000 3F800000 00000000"
		"3F800000 00000000 00000000"
		"00000010 00000000"
		"00000000"
		"00000004 00000002 DEAD" );
	EXPECT_EQ( GloBytes( record ), fixture );

	DTGlo glo( &record );
	const MemoryLoadResult loaded = LoadObject( glo, fixture );
	EXPECT_EQ( loaded.result, 0 );
	EXPECT_EQ( loaded.consumed, static_cast<s32>( fixture.size() ) );
	EXPECT_EQ( glo.GetUID(), 0x2A000001u );
	EXPECT_EQ( glo.mui32GloID, 7u );
	EXPECT_EQ( glo.mui32EnabledBitPos, 3u );
	EXPECT_EQ( glo.oPosition.z, -2.0f );
	EXPECT_EQ( glo.oLookAt.z, 1.0f );
	EXPECT_EQ( glo.muiGameObjectFlags, 0x10u );
	EXPECT_EQ( glo.moDescriptorsList.GetCount(), 0u );
	EXPECT_EQ( glo.moMagicData.GetSize(), 4u );
	const u8 expectedBlock[] = { 0xDE, 0xAD, 0, 0 };
	EXPECT_EQ( std::memcmp( glo.moMagicData.GetBlock(), expectedBlock, 4 ), 0 );
	EXPECT_EQ( glo.mpOwner, &record );
}

TEST( DTGlo, StartsWithNoIdsAndAnIdentityFrame ) {
	DTGlo glo( nullptr );
	EXPECT_EQ( glo.mui32GloID, DT_GLO_NO_ID );
	EXPECT_EQ( glo.mui32EnabledBitPos, DT_GLO_NO_ID );
	const f32 frame[4][3] = { { 0, 0, 0 }, { 0, 0, 1 }, { 0, 1, 0 }, { 1, 0, 0 } };
	const DTDummyVector3* vectors[4] = { &glo.oPosition, &glo.oLookAt, &glo.oLookUp, &glo.oLookRight };
	for ( u32 i = 0; i < 4; i++ ) {
		EXPECT_EQ( vectors[i]->x, frame[i][0] );
		EXPECT_EQ( vectors[i]->y, frame[i][1] );
		EXPECT_EQ( vectors[i]->z, frame[i][2] );
	}
	const char* names[] = { "UID", "GLO_FILE_ID", "GLO_ENABLE_BIT_POS", "POS", "LOOK_AT", "LOOK_UP", "LOOK_RIGHT",
		"OBJECT_FLAGS", "SHADOWS_FLAGS", "OBJECT_DESCRIPTORS", "MAGIC_SIZE", "MAGIC_DATA" };
	ASSERT_EQ( glo.GetMemberCount(), std::size( names ) );
	for ( u32 i = 0; i < std::size( names ); i++ ) {
		EXPECT_STREQ( glo.GetMember( i )->GetName(), names[i] );
	}
}

TEST( DTGlo, LoadsADescriptorListWithAHotSpotAndMagicData ) {
	ToolGloRecord record;
	record.uid = 0x2A000002;
	record.shadowsFlags = 2;
	record.descriptors = { BareEntry( 0x11 ), HotSpotEntry( SweptSphere() ) };
	record.magic = { 3, { 1, 2, 3 } };
	const std::vector<u8> bytes = GloBytes( record );

	DTGlo glo( nullptr );
	const MemoryLoadResult loaded = LoadObject( glo, bytes );
	EXPECT_EQ( loaded.result, 0 );
	EXPECT_EQ( loaded.consumed, static_cast<s32>( bytes.size() ) );
	EXPECT_EQ( glo.muiShadowsFlags, 2u );
	ASSERT_EQ( glo.moDescriptorsList.GetCount(), 2u );
	EXPECT_EQ( glo.moDescriptorsList.GetAt( 0 )->GetClassID(), 1 );
	EXPECT_EQ( glo.moDescriptorsList.GetAt( 0 )->GetUID(), 0x11u );
	const DTHotSpotDescriptor* hotSpot = static_cast<const DTHotSpotDescriptor*>( glo.moDescriptorsList.GetAt( 1 ) );
	ASSERT_EQ( hotSpot->GetClassID(), DT_HOT_SPOT_CLASS_ID );
	EXPECT_EQ( hotSpot->uiInstancePUID, 12 );
	EXPECT_EQ( hotSpot->uiReferencePUID, 34 );
	EXPECT_EQ( hotSpot->moScale.z, 4.0f );
	EXPECT_EQ( hotSpot->miInstanceFlag, -9 );
	EXPECT_EQ( hotSpot->mui32PrimitiveTag, 0x54414731u );
	EXPECT_EQ( hotSpot->mfTranslationY, -1.5f );
	EXPECT_EQ( hotSpot->mfRebound, 0.75f );
	EXPECT_EQ( hotSpot->mui32DetectionMode, 100u );
	EXPECT_EQ( hotSpot->mui32Arg3, 110u );
	EXPECT_EQ( hotSpot->mafPrimSizes[3], -3.0f );
	EXPECT_EQ( glo.moDescriptorsList.GetAt( 2 ), nullptr );
	EXPECT_EQ( glo.moMagicData.GetSize(), 3u );
	EXPECT_EQ( glo.moMagicData.GetBlock()[2], 3 );
}

TEST( DTGlo, AnEmptyMagicBlockIsKeptAsAnEmptyBlock ) {
	ToolGloRecord record;
	record.magic = { 0, {} };
	DTGlo glo( nullptr );
	EXPECT_EQ( LoadObject( glo, GloBytes( record ) ).result, 0 );
	EXPECT_EQ( glo.moMagicData.GetSize(), 0u );
	EXPECT_NE( glo.moMagicData.GetBlock(), nullptr );
}

TEST( DTDynamicPropertyContainer, LoadsUntilTheZeroIdAndKeepsWhatLoadedBeforeAFailure ) {
	struct Row {
		const char*				name;
		std::vector<u8>			bytes;
		s32						expected;
		u32						count;
	};
	const std::vector<u8> two = ContainerBytes( { BareEntry( 1 ), BareEntry( 2 ) } );
	const Row rows[] = {
		{ "empty", ContainerBytes( {} ), 0, 0 },
		{ "two", two, 0, 2 },
		{ "unknown id", ContainerBytes( { BareEntry( 1 ), { 999, {} }, BareEntry( 2 ) } ), DT_PERSIST_UNKNOWN_CLASS, 1 },
		{ "negative id", ContainerBytes( { { -1, {} } } ), DT_PERSIST_UNKNOWN_CLASS, 0 },
		{ "animation node id", ContainerBytes( { BareEntry( 1 ), { TOOL_CLASS_ANIM_NODE, {} } } ), DT_PERSIST_UNKNOWN_CLASS, 1 },
		{ "object cut short", ToolMalformedData::TruncateAt( two, 14 ), DT_PERSIST_READ_PAST_END, 2 },
		{ "no end", ToolMalformedData::TruncateAt( two, 16 ), DT_PERSIST_READ_PAST_END, 2 },
		{ "nothing", {}, DT_PERSIST_READ_PAST_END, 0 },
		{ "containers nested 64 deep", NestedContainerBytes( DT_DYN_PROP_CONTAINER_MAX_DEPTH ), 0, 1 },
		{ "containers nested 65 deep", NestedContainerBytes( DT_DYN_PROP_CONTAINER_MAX_DEPTH + 1 ), DT_PERSIST_READ_PAST_END, 1 },
		// 25 KB that would otherwise recurse 3,100 deep.
		{ "containers nested 3100 deep", NestedContainerBytes( 3100 ), DT_PERSIST_READ_PAST_END, 1 },
	};
	ASSERT_EQ( gAnimNodeOnlyId, TOOL_CLASS_ANIM_NODE );
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		DTDynamicPropertyContainer container;
		const MemoryLoadResult loaded = LoadObject( container, row.bytes );
		EXPECT_EQ( loaded.result, row.expected );
		EXPECT_EQ( container.GetCount(), row.count );
		EXPECT_EQ( container.GetAt( row.count ), nullptr );
	}
}

TEST( DTDynamicPropertyContainer, ASecondLoadKeepsOnlyItsOwnObjects ) {
	DTDynamicPropertyContainer container;
	EXPECT_EQ( LoadObject( container, ContainerBytes( { BareEntry( 1 ), BareEntry( 2 ), BareEntry( 3 ) } ) ).result, 0 );
	EXPECT_EQ( LoadObject( container, ContainerBytes( { BareEntry( 9 ) } ) ).result, 0 );
	ASSERT_EQ( container.GetCount(), 1u );
	EXPECT_EQ( container.GetAt( 0 )->GetUID(), 9u );
	EXPECT_EQ( container.AddClass( new DTStreamable ), 1u );
	EXPECT_EQ( container.Clear(), 0 );
	EXPECT_EQ( container.GetCount(), 0u );
	EXPECT_EQ( container.GetAt( 0 ), nullptr );
}

TEST( DTMagicData, ACountAboveTheSizeIsRefusedAndAReloadReplacesTheBlock ) {
	struct Row {
		u32					size;
		std::vector<u8>		stored;
		s32					count;
		s32					expected;
	};
	const Row rows[] = {
		{ 4, { 1, 2, 3, 4 }, 4, 0 },
		{ 4, { 1, 2 }, 2, 0 },
		{ 2, { 1, 2, 3, 4 }, 4, DT_PERSIST_READ_PAST_END },
		{ 4, { 1, 2 }, -1, DT_PERSIST_READ_PAST_END },
		{ 4, { 1, 2 }, 0x7FFFFFFF, DT_PERSIST_READ_PAST_END },
		{ 0x01000000, {}, 0, DT_PERSIST_READ_PAST_END },
	};
	DTMagicData magic;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.size );
		ToolBigEndianWriter out;
		ToolLevelWriter::WriteMagicBlock( out, { row.size, row.stored } );
		const std::vector<u8> bytes = ToolMalformedData::ReplaceS32( out.Take(), 0, row.count );
		// The same object is loaded every time: earlier blocks must be freed.
		magic.SetSize( row.size );
		const MemoryLoadResult loaded = LoadFromBytes( bytes, [&magic]( DTMemoryPersistStream& s ) { return magic.LoadFromStream( s ); } );
		EXPECT_EQ( loaded.result, row.expected );
		if ( row.expected == 0 ) {
			EXPECT_EQ( std::memcmp( magic.GetBlock(), row.stored.data(), row.stored.size() ), 0 );
		} else if ( magic.GetBlock() != nullptr ) {
			for ( u32 i = 0; i < magic.GetSize(); i++ ) {
				EXPECT_EQ( magic.GetBlock()[i], 0 ) << i;
			}
		}
	}
}

TEST( DTMagicData, ACopyOwnsItsOwnBlock ) {
	DTMagicData magic;
	magic.SetSize( 3 );
	LoadFromBytes( HexBytes( "00000003 0A0B0C" ), [&magic]( DTMemoryPersistStream& s ) { return magic.LoadFromStream( s ); } );
	DTMagicData copy;
	copy = magic;
	EXPECT_EQ( copy.GetSize(), 3u );
	ASSERT_NE( copy.GetBlock(), magic.GetBlock() );
	EXPECT_EQ( copy.GetBlock()[2], 0x0C );
	DTMagicData& same = copy;
	copy = same;
	EXPECT_EQ( copy.GetBlock()[0], 0x0A );
}
