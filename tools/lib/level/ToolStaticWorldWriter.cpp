#include "tools/lib/level/ToolStaticWorldWriter.h"

#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/graphics3d/ToolSectorTreeBuilder.h"

namespace {

// World format bits: positions, pre-lit colours, lit.
constexpr u32 FORMAT_POSITIONS	= 0x02;
constexpr u32 FORMAT_PRELIT		= 0x08;
constexpr u32 FORMAT_LIGHT		= 0x20;
constexpr u8 PRELIT_GREY		= 160;
constexpr u8 PRELIT_ALPHA		= 128;

}

std::vector<u8> ToolStaticWorldWriter::Stream( const ToolStaticWorld& world ) {
	ToolChunkWriter writer;
	if ( world.world.has_value() ) {
		ToolWorldWriter::Write( writer, *world.world );
	}
	writer.WriteU32( world.storedLightCount.value_or( static_cast<u32>( world.lights.size() ) ) );
	for ( const ToolStaticLight& light : world.lights ) {
		ToolLightWriter::Write( writer, light.light );
		for ( const f32 value : light.frame ) {
			writer.WriteF32( value );
		}
	}
	writer.WriteU32( world.trailer );
	std::vector<u8> bytes;
	writer.Finish( bytes );
	return bytes;
}

std::vector<u8> ToolStaticWorldWriter::Record( const ToolStaticWorld& world ) {
	ToolBigEndianWriter out;
	out.WriteU32( world.id );
	out.WriteU32( 0 );
	out.WriteBytes( Stream( world ) );
	return out.Bytes();
}

ToolWorld ToolStaticWorldWriter::Ground( const f32 side ) {
	const f32 h = 0.5f * side;
	const std::vector<f32> positions = { -h, 0.0f, -h, h, 0.0f, -h, h, 0.0f, h, -h, 0.0f, h };
	ToolWorld world = ToolSectorTreeBuilder::Build( positions, { { 0, 1, 2 }, { 0, 2, 3 } }, 8, 0 );
	world.format |= FORMAT_POSITIONS | FORMAT_PRELIT | FORMAT_LIGHT;
	for ( ToolAtomicSector& sector : world.sectors ) {
		sector.preLit.clear();
		for ( size_t i = 0; i < sector.positions.size() / 3; i++ ) {
			sector.preLit.insert( sector.preLit.end(), { PRELIT_GREY, PRELIT_GREY, PRELIT_GREY, PRELIT_ALPHA } );
		}
	}
	return world;
}

ToolStaticWorld ToolStaticWorldWriter::Sample() {
	ToolStaticWorld sample;
	sample.world = Ground( 40.0f );
	ToolStaticLight point;
	point.light.type = 0x80;
	point.light.radius = 12.0f;
	point.light.red = 1.0f;
	point.light.green = 0.9f;
	point.light.blue = 0.7f;
	point.frame[10] = 6.0f;
	ToolStaticLight spot;
	spot.light.type = 0x81;
	spot.light.radius = 2.0f;
	spot.light.cone = -0.866025f;	// 30 degrees
	spot.light.red = 0.6f;
	spot.light.green = 0.6f;
	spot.light.blue = 1.0f;
	// Looking straight down from 8 units up.
	spot.frame = { 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, -1.0f, 0.0f, 4.0f, 8.0f, 0.0f };
	sample.lights = { point, spot };
	return sample;
}
