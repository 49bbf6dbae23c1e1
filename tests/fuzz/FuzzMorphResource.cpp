/*
	Morph-animation resource records (class 19): the id and users, then
	the library chunk read through the stream bridge, from a memory
	stream or from a disc file as the level loader hands them over (the
	first byte of an input picks which). A node over the resource then
	plays on a clump of two atomics: a blend-in, running both ways and
	far, a stop and a restart.
*/
#include "FuzzTarget.h"

#include "datatypes/memory/DTWorkMemory.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/animation/EFMorphAnimNode.h"
#include "framework/graphics/animation/EFMorphAnimRes.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpGeometry.h"
#include "tools/lib/level/ToolMorphAnimResWriter.h"

#include <limits>

namespace {

volatile f32 gSink = 0.0f;

RpClump* MakeClump() {
	RpClump* const clump = RpClumpCreate();
	RpClumpSetFrame( clump, RwFrameCreate() );
	for ( s32 i = 0; i < 2; i++ ) {
		RpGeometry* const geometry = RpGeometryCreate( 4, 0, rpGEOMETRYPOSITIONS | rpGEOMETRYNORMALS );
		RpAtomic* const atomic = RpAtomicCreate();
		RpAtomicSetGeometry( atomic, geometry, 0 );
		RpGeometryDestroy( geometry );
		RpAtomicSetFrame( atomic, RpClumpGetFrame( clump ) );
		RpClumpAddAtomic( clump, atomic );
	}
	return clump;
}

void Play( EFMorphAnimRes* res ) {
	RpClump* const clump = MakeClump();
	{
		EF3dObj object;
		object.SetUID( 0x0F000001 );
		object.mpClump = clump;
		EFMorphAnimNode node;
		node.mpAnimRes = res;
		DTCreationParameters params = { nullptr, &object };
		node.Initialize( &params );
		u8 memory[64];
		DTWorkMemory work( memory, sizeof( memory ) );
		node.Play( AS_HOLD | AS_LOOP, 0.3f );
		for ( const f32 dt : { 0.125f, 0.25f, 0.5f, 1.0e9f, 0.0f } ) {
			node.Update( dt, work );
		}
		node.Stop();
		node.mfSpeed = -1.0f;
		node.Play( AS_CLAMP, 0.0f );
		for ( const f32 dt : { 0.5f, std::numeric_limits<f32>::infinity(), 0.25f } ) {
			node.Update( dt, work );
		}
		gSink = gSink + node.mfCurrentTime + node.mfDuration;
		node.Stop();
		object.mpClump = nullptr;
	}
	RpClumpDestroy( clump );
}

void Load( const u8* data, const size_t size ) {
	if ( size == 0 ) {
		return;
	}
	FuzzRwStart( false, true );
	EFMorphAnimRes* const res = new EFMorphAnimRes;
	res->muiRefCount = 1;
	FuzzLoadFromMemoryOrDisc(
		data, size, "MORPH.BIN", []( DTBasePersistStream& stream, void* loaded ) {
			static_cast<EFMorphAnimRes*>( loaded )->LoadPropertiesBinary( stream );
		},
		res );
	// The node releases the resource.
	Play( res );
	RwError ignored = { 0, 0 };
	RwErrorGet( &ignored );
}

void Add( std::vector<FuzzSeed>& seeds, const std::string& name, const ToolMorphAnimRes& resource ) {
	const std::vector<u8> record = ToolMorphAnimResWriter::Encode( resource );
	for ( const u8 kind : { 0, 1 } ) {
		std::vector<u8> bytes = { kind };
		bytes.insert( bytes.end(), record.begin(), record.end() );
		seeds.push_back( { name + ( kind == 0 ? "_memory" : "_disc" ), bytes } );
	}
}

}

FUZZ_TARGET( morph_resource ) {
	Load( data, size );
	FuzzDiscCloseFiles();
}

static void FuzzSeeds_morph_resource( std::vector<FuzzSeed>& seeds ) {
	const ToolMorphAnimRes resource = ToolMorphAnimResWriter::Sample( 0x13000001 );
	Add( seeds, "two_atomics", resource );
	for ( const ToolMorphAnimResVariant& variant : ToolMorphAnimResWriter::Malformed( resource ) ) {
		Add( seeds, variant.name, variant.resource );
	}
}
