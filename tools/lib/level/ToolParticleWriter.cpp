#include "tools/lib/level/ToolParticleWriter.h"

#include "datatypes/base/DTByteOrder.h"
#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/level/ToolLevelWriter.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr u32 NAME_FIELD = 32;

void PutName( std::vector<u8>& bytes, const size_t at, const std::string& name ) {
	std::memcpy( bytes.data() + at, name.data(), std::min<size_t>( name.size(), NAME_FIELD ) );
}

void PutU32( std::vector<u8>& bytes, const size_t at, const u32 value ) {
	DTWriteBE32( bytes.data() + at, value );
}

void PutF32( std::vector<u8>& bytes, const size_t at, const f32 value ) {
	DTWriteBEF32( bytes.data() + at, value );
}

template< size_t N >
void PutFloats( std::vector<u8>& bytes, const size_t at, const std::array<f32, N>& values ) {
	for ( size_t i = 0; i < N; i++ ) {
		PutF32( bytes, at + 4 * i, values[i] );
	}
}

} // namespace

std::vector<u8> ToolParticleWriter::EncodeType( const ToolParticleType& type ) {
	std::vector<u8> bytes( TOOL_PARTICLE_TYPE_SIZE, 0 );
	PutName( bytes, 0, type.name );
	PutName( bytes, 32, type.texture );
	PutF32( bytes, 64, type.drag );
	PutF32( bytes, 68, type.lifespan );
	PutF32( bytes, 72, type.period );
	PutF32( bytes, 76, type.speed );
	PutU32( bytes, 80, type.spread );
	PutU32( bytes, 84, type.perLaunch );
	PutFloats( bytes, 88, type.gravity );
	PutFloats( bytes, 100, type.red );
	PutFloats( bytes, 116, type.green );
	PutFloats( bytes, 132, type.blue );
	PutFloats( bytes, 148, type.alpha );
	PutFloats( bytes, 164, type.size );
	PutFloats( bytes, 180, type.rotation );
	for ( size_t i = 0; i < type.user.size(); i++ ) {
		PutU32( bytes, 196 + 4 * i, type.user[i] );
	}
	PutU32( bytes, 212, type.flags );
	return bytes;
}

std::vector<u8> ToolParticleWriter::EncodeEmitterBlock( const ToolEmitterBlock& block ) {
	std::vector<u8> bytes( TOOL_EMITTER_BLOCK_SIZE, 0 );
	PutName( bytes, 0, block.name );
	PutName( bytes, 32, block.type );
	PutU32( bytes, 64, block.running );
	PutU32( bytes, 68, block.repeat );
	PutU32( bytes, 72, block.hasBox );
	PutFloats( bytes, 76, block.boxMin );
	PutFloats( bytes, 88, block.boxMax );
	PutU32( bytes, 100, block.hasPlane0 );
	PutFloats( bytes, 104, block.plane0 );
	PutF32( bytes, 120, block.bounce0 );
	PutU32( bytes, 124, block.hasPlane1 );
	PutFloats( bytes, 128, block.plane1 );
	PutF32( bytes, 144, block.bounce1 );
	PutU32( bytes, 148, block.flags );
	return bytes;
}

ToolParticleContainer ToolParticleWriter::TypeContainer( const std::vector<ToolParticleType>& types ) {
	ToolParticleContainer container;
	container.nb = static_cast<s32>( types.size() );
	for ( const ToolParticleType& type : types ) {
		const std::vector<u8> record = EncodeType( type );
		container.types.bytes.insert( container.types.bytes.end(), record.begin(), record.end() );
	}
	container.types.size = static_cast<u32>( container.types.bytes.size() );
	return container;
}

ToolEmitter ToolParticleWriter::Emitter( const ToolEmitterBlock& block, const ToolVec3& position, const s32 boneId ) {
	ToolEmitter emitter;
	emitter.boneId = boneId;
	emitter.position = position;
	emitter.lookRight = { 1.0f, 0.0f, 0.0f };
	emitter.lookUp = { 0.0f, 1.0f, 0.0f };
	emitter.lookAt = { 0.0f, 0.0f, 1.0f };
	emitter.block.bytes = EncodeEmitterBlock( block );
	emitter.block.size = TOOL_EMITTER_BLOCK_SIZE;
	return emitter;
}

std::vector<u8> ToolParticleWriter::TypeContainerBytes( const ToolParticleContainer& container ) {
	ToolBigEndianWriter out;
	ToolLevelWriter::WriteParticleContainer( out, container );
	return out.Take();
}

std::vector<u8> ToolParticleWriter::EmitterContainerBytes( const ToolEmitterContainer& container ) {
	ToolBigEndianWriter out;
	ToolLevelWriter::WriteEmitterContainer( out, container );
	return out.Take();
}

std::vector<u8> ToolParticleWriter::EmitterContainerSwappedBytes( const ToolEmitterContainer& container ) {
	ToolBigEndianWriter out;
	ToolLevelWriter::WriteEmitterContainerSwapped( out, container );
	return out.Take();
}

std::vector<ToolParticleType> ToolParticleWriter::SampleTypes( const std::string& texture ) {
	ToolParticleType spark;
	spark.name = "spark";
	spark.texture = texture;
	spark.speed = 2.0f;
	spark.spread = 40;
	spark.perLaunch = 4;
	spark.gravity = { 0.0f, 0.0f, -9.8f };
	spark.alpha = { 1.0f, 0.8f, 0.0f, 0.5f };
	spark.flags = 0x10;
	ToolParticleType smoke;
	smoke.name = "smoke";
	smoke.texture = texture;
	smoke.speed = 0.5f;
	smoke.drag = 0.5f;
	smoke.lifespan = 2.0f;
	smoke.flags = 0x10 | 0x200;
	return { spark, smoke };
}

ToolEmitterContainer ToolParticleWriter::SampleEmitters() {
	ToolEmitterBlock block;
	block.name = "fountain";
	block.type = "spark";
	block.hasBox = 1;
	block.boxMin = { -0.5f, -0.5f, 0.0f };
	block.boxMax = { 0.5f, 0.5f, 0.2f };
	block.hasPlane0 = 1;
	block.plane0 = { 0.0f, 0.0f, 1.0f, 0.0f };
	block.bounce0 = 0.5f;
	ToolEmitterContainer container;
	container.emitters.push_back( Emitter( block, { 0.0f, 0.0f, 1.0f } ) );
	return container;
}

ToolEmitterContainer ToolParticleWriter::SampleModelEmitters() {
	ToolEmitterContainer container = SampleEmitters();
	for ( ToolEmitter& emitter : container.emitters ) {
		emitter.boneId = TOOL_EMITTER_OWN_FRAME;
	}
	return container;
}

std::vector<u8> ToolParticleWriter::MalformedTypeContainer( const std::string& name, const std::string& texture ) {
	std::vector<ToolParticleType> types = SampleTypes( texture );
	ToolParticleContainer container = TypeContainer( types );
	if ( name == "size" ) {
		container.types.bytes.pop_back();
		container.types.size--;
	} else if ( name == "empty-nb" ) {
		container.nb = 0;
	} else if ( name == "nb-zero" ) {
		container.nb = 0;
		container.types.bytes.clear();
		container.types.size = 0;
	} else if ( name == "unterminated" ) {
		types[0].name = std::string( 32, 'n' );
		container = TypeContainer( types );
	}
	return TypeContainerBytes( container );
}

std::vector<u8> ToolParticleWriter::MalformedEmitterContainer( const std::string& name ) {
	ToolEmitterContainer container = SampleEmitters();
	if ( name == "unknown-type" ) {
		ToolEmitterBlock block;
		block.name = "lost";
		block.type = "no such type";
		container.emitters.push_back( Emitter( block, { 0.0f, 0.0f, 0.0f } ) );
	} else if ( name == "emitter-151" ) {
		container.emitters[0].block.size = 151;
		container.emitters[0].block.bytes.pop_back();
	}
	return EmitterContainerBytes( container );
}
