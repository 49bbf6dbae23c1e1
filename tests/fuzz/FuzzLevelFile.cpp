/*
	Levels through the level loader, on a disc that holds the sample level
	(its resource file, logic modules, loading screen, font, palettes and
	texts), with the engine controller and the 3D library running as the
	executable runs them. One target replaces the level's resource file,
	the other one of its loading-screen, font, palette or text files (the
	input's first byte picks which). After each load the level is ended the
	way a level change ends it. Besides the sample level, the resource
	file's seeds hold its water and fog grid objects over quad models whole
	and damaged.

	A level's logic modules are native code, trusted as it is on the
	console, and the loader runs their entries: an input whose module
	images are not byte for byte the sample's is left alone. The images'
	structure is the logic module target's.
*/
#include "FuzzTarget.h"

#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "graphics3d/core/RwEngine.h"
#include "platform/card/CARDHost.h"
#include "platform/os/OSHost.h"
#include "platform/si/SIHost.h"
#include "platform/vm/VMHost.h"
#include "tools/lib/ToolDiscLayout.h"
#include "tools/lib/ToolSampleDisc.h"
#include "tools/lib/graphics3d/ToolSampleModel.h"
#include "tools/lib/level/ToolLevelFileNames.h"
#include "tools/lib/level/ToolLevelWriter.h"
#include "tools/lib/level/ToolModelResourceWriter.h"
#include "tools/lib/level/ToolSampleObjects.h"
#include "tools/lib/logic/ToolSampleLogic.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

ToolSampleModules SampleModules() {
	return { ToolReturningHostModule( TOOL_SAMPLE_OBJECT_NAME ), ToolReturningHostModule( TOOL_SAMPLE_LIBRARY_NAME ) };
}

// Every file of the sample level, made once.
const std::vector<ToolDiscFile>& SampleFiles() {
	static std::vector<ToolDiscFile> files;
	if ( files.empty() ) {
		std::string error;
		FuzzCheck( ToolMakeSampleLevelFiles( SampleModules(), files, error ), "the sample level does not build" );
	}
	return files;
}

// The sample level's resource file, and the files the HUD and the
// loading screen read, in the order of the input's choice.
const ToolDiscFile& ResourceFile() {
	for ( const ToolDiscFile& file : SampleFiles() ) {
		if ( file.path.filename() == TOOL_SAMPLE_RESOURCE_FILE ) {
			return file;
		}
	}
	FuzzCheck( false, "the sample level has no resource file" );
	return SampleFiles().front();
}

std::vector<const ToolDiscFile*> HudFiles() {
	std::vector<const ToolDiscFile*> files;
	for ( const ToolDiscFile& file : SampleFiles() ) {
		if ( file.path.filename() != TOOL_SAMPLE_RESOURCE_FILE ) {
			files.push_back( &file );
		}
	}
	return files;
}

// True when every module image the input carries (every ELF magic) is
// one of the sample's, whole.
bool OnlyTrustedCode( const u8* data, const size_t size ) {
	static const ToolSampleModules trusted = SampleModules();
	static const u8 magic[] = { 0x7F, 'E', 'L', 'F' };
	for ( size_t at = 0; at + sizeof( magic ) <= size; at++ ) {
		if ( std::memcmp( data + at, magic, sizeof( magic ) ) != 0 ) {
			continue;
		}
		bool known = false;
		for ( const std::vector<u8>* image : { &trusted.objectModule, &trusted.libraryModule } ) {
			known = known || ( image->size() <= size - at && std::memcmp( data + at, image->data(), image->size() ) == 0 );
		}
		if ( !known ) {
			return false;
		}
	}
	return true;
}

void WriteDiscFile( const std::filesystem::path& path, const u8* data, const size_t size ) {
	FuzzCheck( FuzzDiscWriteFile( path.string().c_str(), data, size ), "cannot write a level file" );
}

// The sample disc and the engine's managers, made once.
void StartEngine() {
	static EFEngineController* started = nullptr;
	if ( started != nullptr && started == gpoEngineController ) {
		return;
	}
	std::string error;
	FuzzCheck( ToolWriteSampleDisc( FuzzDiscFolder(), SampleModules(), error ), "the sample disc does not write" );
	// The loading screen is only read when its textures' dictionary is there.
	const u8 none = 0;
	WriteDiscFile( ToolDiscLayout( TOOL_SAMPLE_LEVEL ).LevelLanguageFolder() / TOOL_LOADING_DICTIONARY_NTSC, &none, 0 );
	SIHostReset();
	VMHostReset();
	CARDHostReset();
	OSHostSetResetButton( false );
	gbFuzzRouteNew = true;
	// The controller's graphics manager brings the library up with its
	// plug-ins, once one an earlier target kept has gone. A controller
	// made while that library was up ends before the library does.
	delete gpoEngineController;
	FuzzRwStop();
	static EFAppContext context;
	std::memset( static_cast<void*>( &context ), 0, sizeof( context ) );
	std::strcpy( context.szResFilename, std::string( TOOL_SAMPLE_RESOURCE_FILE ).c_str() );
	std::strcpy( context.szLevelPath, std::string( TOOL_SAMPLE_LEVEL ).c_str() );
	std::strcpy( context.szLanguagePath, std::string( TOOL_DISC_LANGUAGE ).c_str() );
	new EFEngineController( context );
	gpoHudMgr = new EFHudMgr();
	gbFuzzRouteNew = false;
	started = gpoEngineController;
}

// Ends the level as a level change does. The HUD holds fonts and texts
// of the level heap and its manager does not let them go yet, so it is
// replaced first; waypoint groups go with the world.
void EndLevel() {
	delete gpoHudMgr;
	gpoHudMgr = new EFHudMgr();
	gpoEngineController->Reset();
}

void LoadLevel() {
	gbFuzzRouteNew = true;
	FuzzClearLevelHeapMarks();
	gpoRessourcesMgr->LoadLevel( 0 );
	// Whatever the load gave, it leaves by one door.
	FuzzCheck( DTNbrFileInUse() == 0, "the level load leaves a file open" );
	FuzzCheck( MMGetActualHeap() == MM_GLOBAL_HEAP, "the level load leaves the level heap current" );
	FuzzCheck( gpoRessourcesMgr->IsLoading() == 0, "the level load still counts as loading" );
	EndLevel();
	// A frame still waiting for its update after the level's end lives in
	// the level heap, which the next load resets under it.
	FuzzCheck( rwLinkListEmpty( &RwEngineInstance->dirtyFrames ), "the level's end leaves a frame dirty" );
	gbFuzzRouteNew = false;
	FuzzDiscCloseFiles();
}

} // namespace

FUZZ_TARGET( level_file ) {
	if ( !OnlyTrustedCode( data, size ) ) {
		return;
	}
	StartEngine();
	WriteDiscFile( ResourceFile().path, data, size );
	LoadLevel();
}

static void FuzzSeeds_level_file( std::vector<FuzzSeed>& seeds ) {
	seeds.push_back( { "sample-level", ResourceFile().bytes } );
	// The sample's water and fog objects alone, over quads whole and
	// damaged as a model record can be, and over a model that is no quad.
	struct Variant {
		const char*	name;
		void		( *damage )( ToolModelResource& model );
	};
	const Variant variants[] = {
		{ "quads", []( ToolModelResource& ) {} },
		{ "no-clump", []( ToolModelResource& model ) { model.clump.reset(); } },
		{ "cut-clump", []( ToolModelResource& model ) { model.cut = model.clump->size() / 2 + 8; } },
		{ "no-version", []( ToolModelResource& model ) { model.version.reset(); } },
		{ "old-version", []( ToolModelResource& model ) { model.version = 0x5405; } },
		{ "missing-emitters", []( ToolModelResource& model ) { model.marker = 0; } },
		{ "no-quad", []( ToolModelResource& model ) { model.clump = ToolSampleModelClumpChunk(); } },
	};
	for ( const Variant& variant : variants ) {
		ToolResourceFile level;
		for ( const ToolSampleSurface* surface : { &TOOL_SAMPLE_WATER, &TOOL_SAMPLE_FOG } ) {
			ToolModelResource model = ToolQuadModel( surface->resourceId, surface->width, surface->depth, surface->colour );
			variant.damage( model );
			level.records.push_back( { 0, 0, TOOL_CLASS_3D_OBJECT_RES, ToolModelResourceWriter::Record( model ) } );
		}
		for ( const ToolSampleSurface* surface : { &TOOL_SAMPLE_WATER, &TOOL_SAMPLE_FOG } ) {
			ToolBigEndianWriter object;
			ToolLevelWriter::WriteGlo( object, ToolSampleSurfaceObject( *surface, TOOL_SAMPLE_OBJECT_CODE_ID ) );
			level.records.push_back( { 0, 0, TOOL_CLASS_GAME_OBJECT, object.Take() } );
		}
		seeds.push_back( { std::string( "grids-" ) + variant.name, ToolResourceFileWriter::Encode( level ) } );
	}
}

FUZZ_TARGET( hud_file ) {
	if ( size == 0 ) {
		return;
	}
	StartEngine();
	const std::vector<const ToolDiscFile*> files = HudFiles();
	const ToolDiscFile& replaced = *files[data[0] % files.size()];
	WriteDiscFile( ResourceFile().path, ResourceFile().bytes.data(), ResourceFile().bytes.size() );
	WriteDiscFile( replaced.path, data + 1, size - 1 );
	LoadLevel();
	WriteDiscFile( replaced.path, replaced.bytes.data(), replaced.bytes.size() );
}

static void FuzzSeeds_hud_file( std::vector<FuzzSeed>& seeds ) {
	const std::vector<const ToolDiscFile*> files = HudFiles();
	for ( size_t i = 0; i < files.size(); i++ ) {
		std::vector<u8> input( files[i]->bytes.size() + 1 );
		input[0] = static_cast<u8>( i );
		std::copy( files[i]->bytes.begin(), files[i]->bytes.end(), input.begin() + 1 );
		seeds.push_back( { files[i]->path.filename().string(), input } );
	}
}
