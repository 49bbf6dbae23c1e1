/*
===============================================================================

	Particle types and emitters as the particle manager reads them: the
	216-byte type record and the 152-byte emitter block, big-endian, and
	the type and emitter containers that carry them (the level's form and
	the swapped form inside a 3D object resource).

	Names are copied into 32-byte fields: a 32-character name fills its
	field with no terminator, as the engine allows.

===============================================================================
*/
#ifndef TOOL_PARTICLE_WRITER_H
#define TOOL_PARTICLE_WRITER_H

#include "tools/lib/level/ToolLevelRecords.h"

#include <string>
#include <vector>

constexpr u32 TOOL_PARTICLE_TYPE_SIZE		= 216;
constexpr u32 TOOL_EMITTER_BLOCK_SIZE		= 152;
// Classes of the level's type and emitter containers.
constexpr s32 TOOL_CLASS_PARTICLE_TYPES		= 41;
constexpr s32 TOOL_CLASS_PARTICLE_EMITTERS	= 37;
// Bone id of a model emitter that rides on its object's own frame.
constexpr s32 TOOL_EMITTER_OWN_FRAME		= 0x7FFFFFFF;

struct ToolParticleType {
	std::string				name;
	std::string				texture;
	f32						drag = 0.0f;
	f32						lifespan = 1.5f;
	f32						period = 0.1f;
	f32						speed = 0.0f;
	u32						spread = 160;
	u32						perLaunch = 6;
	ToolVec3				gravity = {};
	// start, middle, end, middle time.
	ToolVec4				red = { 1.0f, 1.0f, 1.0f, 1.0f };
	ToolVec4				green = { 1.0f, 1.0f, 1.0f, 1.0f };
	ToolVec4				blue = { 1.0f, 1.0f, 1.0f, 1.0f };
	ToolVec4				alpha = { 1.0f, 1.0f, 1.0f, 1.0f };
	ToolVec4				size = { 0.01f, 0.02f, 0.1f, 1.0f };
	ToolVec4				rotation = { 0.0f, 20.0f, 50.0f, 1.0f };
	std::array<u32, 4>		user = {};
	u32						flags = 0x10;
};

struct ToolEmitterBlock {
	std::string				name;
	std::string				type;
	u32						running = 1;
	u32						repeat = 1;
	u32						hasBox = 0;
	ToolVec3				boxMin = {};
	ToolVec3				boxMax = {};
	u32						hasPlane0 = 0;
	ToolVec4				plane0 = {};
	f32						bounce0 = 1.0f;
	u32						hasPlane1 = 0;
	ToolVec4				plane1 = {};
	f32						bounce1 = 1.0f;
	u32						flags = 0;
};

class ToolParticleWriter {
public:
	static std::vector<u8>		EncodeType( const ToolParticleType& type );
	static std::vector<u8>		EncodeEmitterBlock( const ToolEmitterBlock& block );
	// A type container of every type, NB their count.
	static ToolParticleContainer	TypeContainer( const std::vector<ToolParticleType>& types );
	// An emitter at position with the identity axes (or the given ones).
	static ToolEmitter			Emitter( const ToolEmitterBlock& block, const ToolVec3& position, s32 boneId = 0 );
	// The container bytes as a level record stores them.
	static std::vector<u8>		TypeContainerBytes( const ToolParticleContainer& container );
	static std::vector<u8>		EmitterContainerBytes( const ToolEmitterContainer& container );
	// The emitter set of a 3D object resource (swapped form).
	static std::vector<u8>		EmitterContainerSwappedBytes( const ToolEmitterContainer& container );

	// Bad inputs the loaders must refuse, by name: "size" (a block that is
	// not 216 x NB), "empty-nb" (NB 0 with a record), "nb-zero" (NB 0 and
	// no block: loads nothing, succeeds), "unterminated" (a 32-character
	// type name), "unknown-type" and "emitter-151" (PARTEMI_SIZE 151)
	// emitter containers.
	static std::vector<u8>		MalformedTypeContainer( const std::string& name, const std::string& texture = "dot" );
	static std::vector<u8>		MalformedEmitterContainer( const std::string& name );
	// A small valid set: two types ("spark", "smoke") and one emitter of
	// "spark".
	static std::vector<ToolParticleType>	SampleTypes( const std::string& texture );
	static ToolEmitterContainer	SampleEmitters();
	// The same emitters riding on a model's own frame.
	static ToolEmitterContainer	SampleModelEmitters();
};

#endif
