/*
	Particle type and emitter containers as the particle manager receives
	them: the first byte picks the form, the rest is one stream. Level
	form: the type container, then the emitter container, read as the
	level's two records. Model form: the type container, then a model
	resource record (class 91) whose emitter set, in the swapped form, a
	3D object hangs under its owner. What loaded then launches, moves and
	is deleted.
*/
#include "FuzzTarget.h"

#include "datatypes/descriptor/DT3dObjectDescriptor.h"
#include "datatypes/descriptor/DTCreationParameters.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EF3dObjRes.h"
#include "framework/graphics/particles/PLMgr.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"
#include "tools/lib/level/ToolModelResourceWriter.h"
#include "tools/lib/level/ToolParticleWriter.h"

namespace {

constexpr u8 FORM_LEVEL = 0;
constexpr u8 FORM_MODEL = 1;

// The texture the seeds' types name, in the current dictionary.
void EnsureTexture() {
	RwTexDictionary* dictionary = RwTexDictionaryGetCurrent();
	if ( dictionary == nullptr ) {
		dictionary = RwTexDictionaryCreate();
		RwTexDictionarySetCurrent( dictionary );
	}
	if ( RwTexDictionaryFindNamedTexture( dictionary, "dot" ) == nullptr ) {
		RwTexture* const texture = RwTextureCreate( RwRasterCreate( 4, 4, 0, rwRASTERTYPETEXTURE ) );
		RwTextureSetName( texture, "dot" );
		RwTexDictionaryAddTexture( dictionary, texture );
	}
}

void LoadParticles( const u8* data, const size_t size ) {
	if ( size == 0 ) {
		return;
	}
	std::vector<char> copy( data + 1, data + size );
	DTMemoryPersistStream stream( copy.empty() ? nullptr : copy.data(), static_cast<s32>( copy.size() ) );
	PLMgr* const manager = new PLMgr();
	EFGameObject* owner = nullptr;
	EF3dObj* object = nullptr;
	if ( manager->Load( stream ) == 0 ) {
		if ( data[0] % 2 == FORM_LEVEL ) {
			manager->Load( stream );
		} else {
			EF3dObjRes* const resource = new EF3dObjRes;
			resource->muiRefCount = 1;
			resource->LoadPropertiesBinary( stream );
			owner = new EFGameObject;
			owner->SetUID( 0x2a000001 );
			owner->CreateFrame( nullptr );
			// The object takes the resource; its initialisation hands the
			// emitter set to the manager under the owner.
			object = new EF3dObj;
			object->mpGameObjectOwner = owner;
			object->SetRessource( resource );
			DT3dObjectDescriptor descriptor;
			object->Initialize( { &descriptor, nullptr } );
		}
	}
	for ( u32 step = 0; step < 3; step++ ) {
		manager->Update( 0.05f );
	}
	if ( owner != nullptr ) {
		// The emitters may hang under the object's joints: they go first.
		manager->DestroyAttachedEmitters( owner->GetUID() );
		delete object;
		delete owner;
	}
	delete manager;
	FuzzCheck( gpoPLParticleMgr == nullptr, "the manager outlived its deletion" );
}

void LoadWithLibrary( const u8* data, const size_t size ) {
	FuzzRwStart( false, true );
	EnsureTexture();
	LoadParticles( data, size );
}

std::vector<u8> Seed( const u8 form, const std::vector<u8>& types, const std::vector<u8>& emitters ) {
	std::vector<u8> bytes = { form };
	bytes.insert( bytes.end(), types.begin(), types.end() );
	bytes.insert( bytes.end(), emitters.begin(), emitters.end() );
	return bytes;
}

} // namespace

FUZZ_TARGET( particles ) {
	LoadWithLibrary( data, size );
}

static void FuzzSeeds_particles( std::vector<FuzzSeed>& seeds ) {
	const std::vector<u8> types =
		ToolParticleWriter::TypeContainerBytes( ToolParticleWriter::TypeContainer( ToolParticleWriter::SampleTypes( "dot" ) ) );
	ToolEmitterContainer emitters = ToolParticleWriter::SampleEmitters();
	seeds.push_back( { "level.par", Seed( FORM_LEVEL, types, ToolParticleWriter::EmitterContainerBytes( emitters ) ) } );
	ToolModelResource model = ToolSampleModel( 0x5B000001, 1 );
	model.emitters = ToolModelResourceWriter::Emitters( ToolParticleWriter::SampleModelEmitters() );
	seeds.push_back( { "model.par", Seed( FORM_MODEL, types, ToolModelResourceWriter::Record( model ) ) } );
	for ( const char* name : { "size", "empty-nb", "nb-zero", "unterminated" } ) {
		seeds.push_back( { std::string( "types-" ) + name + ".par",
						   Seed( FORM_LEVEL, ToolParticleWriter::MalformedTypeContainer( name ), {} ) } );
	}
	for ( const char* name : { "unknown-type", "emitter-151" } ) {
		seeds.push_back( { std::string( "emitters-" ) + name + ".par",
						   Seed( FORM_LEVEL, types, ToolParticleWriter::MalformedEmitterContainer( name ) ) } );
	}
}
