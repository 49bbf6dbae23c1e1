/*
===============================================================================

	Shared set-up of the world-object tests.

	The library is started with the world modules attached and free lists
	disabled (as the system runs); a counting plug-in on materials and on
	lights tells how many of each are alive, so a failed read can be seen
	to leave nothing allocated. Chunk data comes from the tool writers; a
	read stream over it is closed by the fixture.

===============================================================================
*/
#ifndef RP_WORLD_TEST_SUPPORT_H
#define RP_WORLD_TEST_SUPPORT_H

#include "graphics3d/core/RwTestChunks.h"
#include "graphics3d/world/RpLight.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpWorldPlugin.h"
#include "tools/lib/ToolChunkWriter.h"

#include <functional>
#include <vector>

// Plug-in id of the counting plug-ins.
constexpr u32 RP_TEST_COUNTING_PLUGIN = 0xF0F1;

struct RpTestAlive {
	static inline s32	materials = 0;
	static inline s32	lights = 0;
};

template< s32* counter >
void* RpTestCountUp( void* object, s32, s32 ) {
	( *counter )++;
	return object;
}

template< s32* counter >
void* RpTestCountDown( void* object, s32, s32 ) {
	( *counter )--;
	return object;
}

// Bytes of whatever the function appends to a writer.
inline std::vector<u8> RpTestBytes( const std::function<void( ToolChunkWriter& )>& write ) {
	ToolChunkWriter writer;
	write( writer );
	std::vector<u8> bytes;
	EXPECT_TRUE( writer.Finish( bytes ) );
	return bytes;
}

class RpWorldTestCase : public RwTestCase {
protected:
	// Runs between the attach and the open: more plug-ins may register.
	virtual void RegisterPlugins() {}

	void SetUp() override {
		RwTestCase::SetUp();
		RpTestAlive::materials = 0;
		RpTestAlive::lights = 0;
		ASSERT_TRUE( RwEngineInit( &rwTestEngineMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		ASSERT_TRUE( RpWorldPluginAttach() );
		ASSERT_GE( RpMaterialRegisterPlugin( 4, RP_TEST_COUNTING_PLUGIN, RpTestCountUp<&RpTestAlive::materials>,
											 RpTestCountDown<&RpTestAlive::materials>, nullptr ),
				   0 );
		ASSERT_GE( RpLightRegisterPlugin( 4, RP_TEST_COUNTING_PLUGIN, RpTestCountUp<&RpTestAlive::lights>,
										  RpTestCountDown<&RpTestAlive::lights>, nullptr ),
				   0 );
		RegisterPlugins();
		ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
		ASSERT_TRUE( RwEngineStart() );
		RwTestReadError();
	}

	void TearDown() override {
		for ( RwStream* stream : streams ) {
			RwStreamClose( stream, nullptr );
		}
		streams.clear();
		RwTestCase::TearDown();
	}

	// A read stream over bytes kept by the fixture, positioned inside the
	// first chunk of the type.
	RwStream* OpenAt( const std::vector<u8>& bytes, const u32 type ) {
		held.push_back( bytes );
		RwStream* const stream = RwTestOpenRead( held.back() );
		streams.push_back( stream );
		EXPECT_TRUE( RwStreamFindChunk( stream, type, nullptr, nullptr ) );
		return stream;
	}

	std::vector<RwStream*>				streams;
	std::vector<std::vector<u8>>		held;
};

#endif
