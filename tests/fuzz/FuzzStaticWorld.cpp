/*
	Static world records (class 24): the id, an unused word, the world
	chunk, the lights with their frames and the trailing word, loaded from
	a memory stream or from a disc file (the first byte's bit 0 picks
	which) into a fresh world, whose lights the light manager holds. Bit 1
	ends the object before the world, as a level with a second static
	object does; otherwise the world ends it.
*/
#include "FuzzTarget.h"

#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFStatic3dObj.h"
#include "graphics3d/core/RwError.h"
#include "tools/lib/level/ToolStaticWorldWriter.h"

namespace {

void Load( const u8* data, const size_t size ) {
	if ( size == 0 ) {
		return;
	}
	FuzzRwStart( false, true );
	EFWorld* const previous = gpoWorldMgr;
	EFWorld* const world = new EFWorld();
	gpoWorldMgr = world;
	EFStatic3dObj* const object = new EFStatic3dObj;
	FuzzLoadFromMemoryOrDisc(
		data, size, "WORLD.BIN", []( DTBasePersistStream& stream, void* loaded ) {
			static_cast<EFStatic3dObj*>( loaded )->LoadPropertiesBinary( stream );
		},
		object );
	FuzzCheck( world->GetStatic3dObj() == object, "the static object did not join the world" );
	if ( ( data[0] & 2 ) != 0 ) {
		object->Terminate();
	}
	world->Terminate();
	delete world;
	gpoWorldMgr = previous;
	RwError ignored = { 0, 0 };
	RwErrorGet( &ignored );
}

std::vector<u8> Seed( const u8 kind, const ToolStaticWorld& world ) {
	std::vector<u8> bytes = { kind };
	const std::vector<u8> record = ToolStaticWorldWriter::Record( world );
	bytes.insert( bytes.end(), record.begin(), record.end() );
	return bytes;
}

}	// namespace

FUZZ_TARGET( static_world ) {
	Load( data, size );
	FuzzDiscCloseFiles();
}

static void FuzzSeeds_static_world( std::vector<FuzzSeed>& seeds ) {
	const ToolStaticWorld sample = ToolStaticWorldWriter::Sample();
	ToolStaticWorld ambient = sample;
	ambient.lights[0].light.type = 2;
	ToolStaticWorld crowded = sample;
	crowded.lights.resize( 60, sample.lights[1] );
	ToolStaticWorld bare = sample;
	bare.world.reset();
	seeds.push_back( { "memory_sample", Seed( 0, sample ) } );
	seeds.push_back( { "disc_sample", Seed( 1, sample ) } );
	seeds.push_back( { "memory_sample_object_first", Seed( 2, sample ) } );
	seeds.push_back( { "memory_ambient", Seed( 0, ambient ) } );
	seeds.push_back( { "disc_crowded", Seed( 3, crowded ) } );
	seeds.push_back( { "memory_no_world", Seed( 0, bare ) } );
}
