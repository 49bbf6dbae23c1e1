/*
	Model resource records (class 91): the id and users, the clump, the
	version, the marker and the emitters, loaded from a memory stream or
	from a disc file as the level loader hands them over (the first byte
	of an input picks which); a loaded clump is then taken by a 3D object,
	whose skeleton and transforms are set up and driven once.
*/
#include "FuzzTarget.h"

#include "datatypes/descriptor/DT3dObjectDescriptor.h"
#include "datatypes/descriptor/DTCreationParameters.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EF3dObjRes.h"
#include "graphics3d/core/RwError.h"
#include "tools/lib/graphics3d/ToolSampleModel.h"
#include "tools/lib/level/ToolLevelRecords.h"
#include "tools/lib/level/ToolModelResourceWriter.h"

namespace {

void Use( EF3dObjRes* resource ) {
	EF3dObj* const object = new EF3dObj;
	object->SetRessource( resource );
	DT3dObjectDescriptor descriptor;
	const DTCreationParameters params = { &descriptor, nullptr };
	if ( object->Initialize( params ) ) {
		object->mui3dObjState |= EF_3D_OBJ_TRANSFO_DRIVEN;
		object->UpdateHierarchy();
		object->LightObject( 1 );
		object->GetClippingBSphere();
	}
	delete object;
}

void Load( const u8* data, const size_t size ) {
	if ( size == 0 ) {
		return;
	}
	FuzzRwStart( false, true );
	EF3dObjRes* const resource = new EF3dObjRes;
	resource->muiRefCount = 1;
	FuzzLoadFromMemoryOrDisc(
		data, size, "MODEL.BIN", []( DTBasePersistStream& stream, void* loaded ) {
			static_cast<EF3dObjRes*>( loaded )->LoadPropertiesBinary( stream );
		},
		resource );
	Use( resource );
	RwError ignored = { 0, 0 };
	RwErrorGet( &ignored );
}

std::vector<u8> Seed( const u8 kind, const ToolModelResource& model ) {
	std::vector<u8> bytes = { kind };
	const std::vector<u8> record = ToolModelResourceWriter::Record( model );
	bytes.insert( bytes.end(), record.begin(), record.end() );
	return bytes;
}

}

FUZZ_TARGET( model_resource ) {
	Load( data, size );
	FuzzDiscCloseFiles();
}

static void FuzzSeeds_model_resource( std::vector<FuzzSeed>& seeds ) {
	ToolModelResource sample = ToolSampleModel( 0x5B000001, 1 );
	ToolModelResource emitters = sample;
	ToolEmitterContainer container;
	container.header = { 0x25000001, -1, -1 };
	ToolEmitter emitter;
	emitter.uid = 0x26000001;
	emitter.block.size = 4;
	emitter.block.bytes = { 1, 2, 3, 4 };
	container.emitters = { emitter, emitter };
	emitters.emitters = ToolModelResourceWriter::Emitters( container );
	ToolModelResource old = sample;
	old.version = 0x5405;
	seeds.push_back( { "memory_sample", Seed( 0, sample ) } );
	seeds.push_back( { "disc_sample", Seed( 1, sample ) } );
	seeds.push_back( { "memory_emitters", Seed( 0, emitters ) } );
	seeds.push_back( { "disc_emitters", Seed( 1, emitters ) } );
	seeds.push_back( { "memory_old_version", Seed( 0, old ) } );
}
