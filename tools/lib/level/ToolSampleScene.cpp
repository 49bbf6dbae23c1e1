#include "tools/lib/level/ToolSampleScene.h"

#include "tools/lib/level/ToolParticleWriter.h"
#include "tools/lib/level/ToolSampleTextures.h"
#include "tools/lib/level/ToolStaticWorldWriter.h"

ToolResourceRecord ToolSampleStaticWorldRecord() {
	return { 0, 0, TOOL_CLASS_STATIC_WORLD, ToolStaticWorldWriter::Record( ToolStaticWorldWriter::Sample() ) };
}

ToolResourceRecord ToolSampleParticleTypesRecord() {
	const std::vector<ToolParticleType> types = ToolParticleWriter::SampleTypes( TOOL_SAMPLE_PALETTISED_TEXTURE );
	return { 0, 0, TOOL_CLASS_PARTICLE_TYPES,
			 ToolParticleWriter::TypeContainerBytes( ToolParticleWriter::TypeContainer( types ) ) };
}
