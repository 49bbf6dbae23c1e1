/*
===============================================================================

	Shared set-up of the world, world-object and collision tests: the
	library with the collision plug-in attached, worlds read from the tool
	writers, random triangle soups, and the bytes in use in the engine's
	heaps (TestArenaUse: a failed read must leave them as they were).

===============================================================================
*/
#ifndef RP_WORLD_TEST_SCENES_H
#define RP_WORLD_TEST_SCENES_H

#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFrameSync.h"
#include "graphics3d/world/RpCollision.h"
#include "graphics3d/world/RpWorld.h"
#include "tools/lib/graphics3d/ToolCollisionTreeBuilder.h"
#include "tools/lib/graphics3d/ToolSectorTreeBuilder.h"
#include "tools/lib/graphics3d/ToolWorldWriter.h"
#include "support/TestArenaUse.h"

#include "RpWorldTestSupport.h"

#include <array>
#include <random>
#include <vector>

// The world's atomic sectors, left before right.
inline std::vector<RpWorldSector*> RpTestSectors( RpWorld* world ) {
	std::vector<RpWorldSector*> sectors;
	RpWorldForAllWorldSectors(
		world,
		[]( RpWorldSector* sector, void* data ) {
			static_cast<std::vector<RpWorldSector*>*>( data )->push_back( sector );
			return sector;
		},
		&sectors );
	return sectors;
}

// A triangle soup: positions x, y, z per vertex and three indices each.
struct RpTestSoup {
	std::vector<f32>				positions;
	std::vector<std::array<u32, 3>>	triangles;
};

// count small triangles scattered in a cube of half-size extent.
inline RpTestSoup RpTestRandomSoup( const u32 seed, const u32 count, const f32 extent ) {
	std::mt19937 random( seed );
	std::uniform_real_distribution<f32> place( -extent, extent );
	std::uniform_real_distribution<f32> offset( -extent * 0.1f, extent * 0.1f );
	RpTestSoup soup;
	for ( u32 i = 0; i < count; i++ ) {
		const f32 c[3] = { place( random ), place( random ), place( random ) };
		for ( u32 v = 0; v < 3; v++ ) {
			for ( u32 a = 0; a < 3; a++ ) {
				soup.positions.push_back( c[a] + offset( random ) );
			}
		}
		soup.triangles.push_back( { i * 3, i * 3 + 1, i * 3 + 2 } );
	}
	return soup;
}

class RpWorldSceneTest : public RpWorldTestCase {
protected:
	void RegisterPlugins() override { ASSERT_TRUE( RpCollisionPluginAttach() ); }

	RpWorld* ReadWorld( const ToolWorld& world ) {
		const std::vector<u8> bytes = RpTestBytes( [&]( ToolChunkWriter& w ) { ToolWorldWriter::Write( w, world ); } );
		return RpWorldStreamRead( OpenAt( bytes, TOOL_CHUNK_WORLD ) );
	}

	// A frame at (x, y, z), synchronised.
	RwFrame* FrameAt( const f32 x, const f32 y, const f32 z ) {
		RwFrame* const frame = RwFrameCreate();
		const RwV3d at = { x, y, z };
		RwFrameTranslate( frame, &at, rwCOMBINEREPLACE );
		frames.push_back( frame );
		return frame;
	}

	void TearDown() override {
		for ( RwFrame* frame : frames ) {
			RwFrameDestroy( frame );
		}
		frames.clear();
		RpWorldTestCase::TearDown();
	}

	std::vector<RwFrame*>	frames;
};

#endif
