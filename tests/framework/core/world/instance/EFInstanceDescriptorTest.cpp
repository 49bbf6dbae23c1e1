#include "InstanceTestBench.h"

#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/descriptor/DTSoundDescriptor.h"
#include "framework/core/level/EF3dObjectIDescriptor.h"
#include "framework/core/level/EFAudioEnvDescriptor.h"
#include "framework/core/level/EFRessource.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/animation/EFAnimNode.h"

#include <memory>
#include <string>

namespace {

constexpr u32 SHARED_PUID = 0x0f000123;

class EFInstanceDescriptorTest : public InstanceTestBench {
protected:
	// A descriptor of classId loaded from the writer's bytes.
	static std::unique_ptr<EFBaseIDescriptor> LoadDescriptor( const ToolInstanceDescriptor& record, s32* consumed = nullptr ) {
		std::unique_ptr<EFBaseIDescriptor> descriptor( static_cast<EFBaseIDescriptor*>(
			DTDynamicInstanciator::GetInstance().CreateInstance( record.classId, IT_OBJECT ) ) );
		EXPECT_NE( descriptor, nullptr ) << record.classId;
		if ( descriptor == nullptr ) {
			return nullptr;
		}
		ToolBigEndianWriter out;
		EXPECT_TRUE( ToolInstanceWriter::WriteDescriptor( out, record ) );
		// Bytes of the next object must stay unread.
		out.WriteU32( 0xDEADBEEF );
		std::vector<char> bytes( out.Bytes().begin(), out.Bytes().end() );
		DTMemoryPersistStream stream( bytes.data(), static_cast<s32>( bytes.size() ) );
		EXPECT_EQ( descriptor->Load( stream ), 0 ) << record.classId;
		if ( consumed != nullptr ) {
			*consumed = stream.GetPosition() - static_cast<s32>( bytes.size() - 4 );
		}
		return descriptor;
	}

	EFRessource* RegisterShared() {
		EFRessource* const shared = new EFRessource;
		gpoRessourcesMgr->GetRessourceFactory().RegisterRessource( SHARED_PUID, 1, shared );
		return shared;
	}
};

TEST_F( EFInstanceDescriptorTest, EveryDescriptorReadsExactlyItsStoredForm ) {
	const s32 classes[] = { 2, 3, 6, 7, 8, 11, 12, 51, 55, 75, 77, 85, 88, 92, 93 };
	for ( const s32 classId : classes ) {
		ToolInstanceDescriptor record = Descriptor( classId, 0x0f000042, 17, 23 );
		record.textureFileName = "WATER.TXA";
		record.soundEventIds = { 4, 5 };
		s32 overrun = -1;
		const std::unique_ptr<EFBaseIDescriptor> descriptor = LoadDescriptor( record, &overrun );
		ASSERT_NE( descriptor, nullptr );
		EXPECT_EQ( overrun, 0 ) << classId;
		EXPECT_EQ( descriptor->GetClassID(), classId );
		EXPECT_EQ( descriptor->GetDescriptor()->GetUID(), 0x0f000042u ) << classId;
		EXPECT_EQ( descriptor->GetDescriptor()->uiInstancePUID, 17 ) << classId;
		EXPECT_EQ( descriptor->GetDescriptor()->uiReferencePUID, 23 ) << classId;
	}
}

// Pins the stored form independently of the writer: a sound descriptor
// is UID, PUID, REFPUID and INDEX, big-endian.
TEST_F( EFInstanceDescriptorTest, ASoundDescriptorLoadsFromItsBigEndianWords ) {
	std::vector<char> bytes = { 0x07, 0, 0, 0x01, 0, 0, 0, 0x05, '\xFF', '\xFF', '\xFF', '\xFF', 0, 0, 0x01, 0x02 };
	DTMemoryPersistStream stream( bytes.data(), static_cast<s32>( bytes.size() ) );
	std::unique_ptr<EFBaseIDescriptor> descriptor(
		static_cast<EFBaseIDescriptor*>( DTDynamicInstanciator::GetInstance().CreateInstance( 7, IT_OBJECT ) ) );
	ASSERT_NE( descriptor, nullptr );
	EXPECT_EQ( descriptor->Load( stream ), 0 );
	EXPECT_EQ( stream.GetPosition(), 16 );
	const DTSoundDescriptor* const sound = static_cast<DTSoundDescriptor*>( descriptor->GetDescriptor() );
	EXPECT_EQ( sound->GetUID(), 0x07000001u );
	EXPECT_EQ( sound->uiInstancePUID, 5 );
	EXPECT_EQ( sound->uiReferencePUID, -1 );
	EXPECT_EQ( sound->miIndex, 0x102 );
}

TEST_F( EFInstanceDescriptorTest, AnInstanceTakesTheSharedResourceOnlyWhenItNamesOne ) {
	EFRessource* const shared = RegisterShared();
	for ( const s32 puid : { -1, static_cast<s32>( SHARED_PUID ) } ) {
		const std::unique_ptr<EFBaseIDescriptor> descriptor = LoadDescriptor( Descriptor( 3, 0x0f000007, puid ) );
		std::unique_ptr<EFInstance> instance( descriptor->CreateObjectInstance() );
		ASSERT_NE( instance, nullptr );
		EXPECT_EQ( instance->GetClassID(), EF_3D_OBJ_CLASS_ID );
		EXPECT_EQ( instance->GetUID(), 0x0f000007u );
		const EF3dObj* const model = static_cast<EF3dObj*>( instance.get() );
		if ( puid == -1 ) {
			EXPECT_EQ( model->mp3dObjRes, nullptr );
			EXPECT_EQ( gpoRessourcesMgr->GetRessourceFactory().GetCount(), 1u );
		} else {
			EXPECT_EQ( model->mp3dObjRes, shared );
			EXPECT_EQ( shared->muiRefCount, 1u );
			EXPECT_EQ( gpoRessourcesMgr->GetRessourceFactory().GetCount(), 0u );
		}
		// Neither no resource nor one that is not a model gives a clump.
		EXPECT_FALSE( descriptor->InitializeObjectInstance( instance.get(), nullptr ) );
	}
	EXPECT_TRUE( LoadDescriptor( Descriptor( 3, 1 ) )->InitializeObjectInstance( nullptr, nullptr ) );
}

TEST_F( EFInstanceDescriptorTest, EachDescriptorMakesOnlyWhatItsCreatorAccepts ) {
	// Registered for any number of users: the factory keeps it until Clear.
	EFRessource* const shared = new EFRessource;
	gpoRessourcesMgr->GetRessourceFactory().RegisterRessource( SHARED_PUID, 0, shared );
	const struct {
		s32			classId;
		s32			instanceClass;	// 0: no instance
		bool		node;
	} rows[] = {
		{ 3, 15, false }, { 92, 65, false }, { 93, 86, false }, { 2, 24, false }, { 7, 23, false }, { 88, 89, false },
		{ 6, 0, false }, { 12, 0, false }, { 51, 0, false }, { 55, 0, false }, { 77, 0, false },
		{ 8, 0, true }, { 11, 0, true }, { 75, 0, true }, { 85, 0, true },
	};
	for ( const auto& row : rows ) {
		const std::unique_ptr<EFBaseIDescriptor> descriptor =
			LoadDescriptor( Descriptor( row.classId, 0x01000000 | row.classId, static_cast<s32>( SHARED_PUID ) ) );
		const u32 usersBefore = shared->muiRefCount;
		std::unique_ptr<EFInstance> instance( descriptor->CreateObjectInstance() );
		EXPECT_EQ( instance != nullptr, row.instanceClass != 0 ) << row.classId;
		if ( instance != nullptr ) {
			EXPECT_EQ( instance->GetClassID(), row.instanceClass );
			if ( EFGameObject::Is3dObjectClass( row.instanceClass ) ) {
				EXPECT_EQ( static_cast<EF3dObj*>( instance.get() )->mp3dObjRes, shared );
				// The factory's Clear deletes it, not this user.
				static_cast<EF3dObj*>( instance.get() )->mp3dObjRes = nullptr;
			}
		}
		std::unique_ptr<EFAnimNode> node( descriptor->CreateNode() );
		EXPECT_EQ( node != nullptr, row.node ) << row.classId;
		if ( node != nullptr ) {
			EXPECT_EQ( node->muiUID, static_cast<u32>( 0x01000000 | row.classId ) );
			EXPECT_EQ( node->mpAnimRes, shared );
		}
		// A descriptor that made nothing asked for no resource.
		EXPECT_EQ( shared->muiRefCount - usersBefore, instance != nullptr || node != nullptr ? 1u : 0u ) << row.classId;
	}
}

TEST_F( EFInstanceDescriptorTest, TheAudioEnvironmentNamesTheBanksInItsOwnOrder ) {
	const struct {
		ToolAudioEnv	record;
		const char*		environment;
		const char*		banks[3];
	} rows[] = {
		{ { { 1, 2, 3 }, { "Cave", "stream", "effects", "voices" } }, "Cave", { "EFFECTS", "VOICES", "STREAM" } },
		{ { { 0, 0, 0 }, { "", "", "b", "" } }, "", { "B", "", "" } },
		{ { { 0, 0, 0 }, { std::string( 256, 'e' ), "s", "c", "d" } }, nullptr, { "C", "D", "S" } },
	};
	for ( const auto& row : rows ) {
		ToolBigEndianWriter out;
		ASSERT_TRUE( ToolInstanceWriter::WriteAudioEnv( out, row.record ) );
		std::vector<char> bytes( out.Bytes().begin(), out.Bytes().end() );
		DTMemoryPersistStream stream( bytes.data(), static_cast<s32>( bytes.size() ) );
		EFAudioEnvDescriptor record;
		EXPECT_TRUE( record.IsLoader() );
		EXPECT_EQ( record.Load( stream ), 0 );
		EXPECT_EQ( stream.GetPosition(), static_cast<s32>( bytes.size() ) );
		const std::string expected = row.environment != nullptr ? row.environment : row.record.names[0];
		EXPECT_EQ( std::string( gpoNewAudioMgr->GetEnvironmentName() ), expected );
		for ( u32 bank = 0; bank < 3; bank++ ) {
			EXPECT_STREQ( gpoNewAudioMgr->GetBankName( bank ), row.banks[bank] ) << bank;
		}
	}
	// A name too long for the engine is refused by the writer.
	ToolBigEndianWriter out;
	EXPECT_FALSE( ToolInstanceWriter::WriteAudioEnv( out, { { 0, 0, 0 }, { std::string( 257, 'x' ), "", "", "" } } ) );
}

TEST_F( EFInstanceDescriptorTest, ATruncatedAudioEnvironmentStillSucceeds ) {
	std::vector<char> bytes = { 0, 0, 0, 1, 0, 0 };
	DTMemoryPersistStream stream( bytes.data(), static_cast<s32>( bytes.size() ) );
	EFAudioEnvDescriptor record;
	EXPECT_EQ( record.Load( stream ), 0 );
	EXPECT_STREQ( gpoNewAudioMgr->GetBankName( 0 ), "" );
}

TEST( EFInstanceDescriptorRegistry, DescriptorsRegisterInTheirFixedOrder ) {
	const s32 order[] = { 60, 3, 2, 6, 85, 7, 11, 8, 75, 77, 55, 12, 51, 88, 92, 93 };
	const DTDynamicInstanciator& registry = DTDynamicInstanciator::GetInstance();
	const DTDynamicInstanciator::TInstanceMap* previous = nullptr;
	for ( const s32 id : order ) {
		const DTDynamicInstanciator::TInstanceMap* const entry = registry.GeInfoByClsID( id );
		ASSERT_NE( entry, nullptr ) << id;
		EXPECT_EQ( entry->meInstanceType, IT_OBJECT );
		if ( previous != nullptr ) {
			EXPECT_EQ( entry, previous + 1 ) << id;
		}
		previous = entry;
	}
}

}
