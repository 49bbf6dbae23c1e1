#include "tools/lib/graphics3d/ToolSkinWriter.h"

#include "tools/lib/ToolChunkWriter.h"

#include <cstring>

namespace {

void Put32( std::vector<u8>& out, const u32 value, const bool bigEndian = false ) {
	for ( u32 i = 0; i < 4; i++ ) {
		out.push_back( static_cast<u8>( value >> ( bigEndian ? 24 - 8 * i : 8 * i ) ) );
	}
}

void PutF32( std::vector<u8>& out, const f32 value, const bool bigEndian = false ) {
	u32 bits = 0;
	std::memcpy( &bits, &value, sizeof( bits ) );
	Put32( out, bits, bigEndian );
}

void PutMatrix( std::vector<u8>& out, const std::array<f32, 16>& m, const bool bigEndian ) {
	for ( const f32 value : m ) {
		PutF32( out, value, bigEndian );
	}
}

void PutVertices( std::vector<u8>& out, const ToolSkin& skin ) {
	for ( const std::array<u8, 4>& i : skin.indices ) {
		out.insert( out.end(), i.begin(), i.end() );
	}
	for ( const std::array<f32, 4>& w : skin.weights ) {
		for ( const f32 value : w ) {
			PutF32( out, value );
		}
	}
}

void PutSplit( std::vector<u8>& out, const ToolSkin& skin ) {
	Put32( out, skin.boneLimit );
	Put32( out, static_cast<u32>( skin.meshes.size() ) );
	Put32( out, static_cast<u32>( skin.runs.size() ) );
	if ( skin.meshes.empty() ) {
		return;
	}
	out.insert( out.end(), skin.remap.begin(), skin.remap.end() );
	for ( const std::array<u8, 2>& mesh : skin.meshes ) {
		out.insert( out.end(), mesh.begin(), mesh.end() );
	}
	for ( const std::array<u8, 2>& run : skin.runs ) {
		out.insert( out.end(), run.begin(), run.end() );
	}
}

u32 Counts( const ToolSkin& skin, const u32 maxNumWeights ) {
	return skin.storedCounts.value_or( ( skin.numBones & 0xFF ) | ( static_cast<u32>( skin.usedBones.size() ) & 0xFF ) << 8 |
									   ( maxNumWeights & 0xFF ) << 16 );
}

}	// namespace

std::vector<u8> ToolSkinWriter::Payload( const ToolSkin& skin, const ToolSkinForm form ) {
	std::vector<u8> out;
	switch ( form ) {
	case ToolSkinForm::Portable:
		Put32( out, Counts( skin, skin.maxNumWeights ) );
		for ( const u8 bone : skin.usedBones ) {
			out.push_back( bone );
		}
		PutVertices( out, skin );
		for ( const std::array<f32, 16>& m : skin.matrices ) {
			PutMatrix( out, m, false );
		}
		PutSplit( out, skin );
		break;
	case ToolSkinForm::Older:
		Put32( out, skin.storedCounts.value_or( skin.numBones & 0xFF ) );
		PutVertices( out, skin );
		for ( const std::array<f32, 16>& m : skin.matrices ) {
			Put32( out, 0 );
			PutMatrix( out, m, false );
		}
		break;
	case ToolSkinForm::LegacyAtomic:
		Put32( out, skin.numBones );
		Put32( out, 0 );
		PutVertices( out, skin );
		for ( const std::array<f32, 16>& m : skin.matrices ) {
			Put32( out, 0 );
			Put32( out, 0 );
			Put32( out, 0 );
			PutMatrix( out, m, false );
		}
		break;
	case ToolSkinForm::Native: {
		std::vector<u8> body;
		Put32( body, skin.platform );
		Put32( body, Counts( skin, skin.maxNumWeights ) );
		body.insert( body.end(), skin.usedBones.begin(), skin.usedBones.end() );
		if ( skin.maxNumWeights > 1 ) {
			body.insert( body.end(), skin.quantisedIndices.begin(), skin.quantisedIndices.end() );
			body.insert( body.end(), skin.quantisedWeights.begin(), skin.quantisedWeights.end() );
		}
		for ( const std::array<f32, 16>& m : skin.matrices ) {
			PutMatrix( body, m, true );
		}
		PutSplit( body, skin );
		Put32( out, TOOL_CHUNK_STRUCT );
		Put32( out, static_cast<u32>( body.size() ) );
		Put32( out, ToolChunkWriter::EncodeStamp( skin.nativeVersion, TOOL_CHUNK_BUILD ) );
		out.insert( out.end(), body.begin(), body.end() );
		break;
	}
	}
	return out;
}

std::array<f32, 16> ToolSkinWriter::Translation( const f32 x, const f32 y, const f32 z ) {
	return { 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 0 };
}
