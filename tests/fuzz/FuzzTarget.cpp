#include "FuzzTarget.h"

#include "datatypes/file/DTFile.h"
#include "datatypes/memory/DTMemHeap.h"
#include "datatypes/memory/DTMemPool.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/persist/DTBinaryPersistStream.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/graphics/ApAtomicDataPlugin.h"
#include "framework/graphics/animation/EFAnimRes.h"
#include "framework/physics/ApCollisionPrimitivesPlugin.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/world/RpCollision.h"
#include "graphics3d/world/RpHAnim.h"
#include "graphics3d/world/RpSkin.h"
#include "graphics3d/world/RpWorldPlugin.h"
#include "graphics3d/testdevice/TestDevice.h"
#include "support/HostTestDisc.h"
#include "support/TestArenaUse.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

FuzzTargetInfo*& TargetList() {
	static FuzzTargetInfo* first = nullptr;
	return first;
}

// Made at first use and kept for the whole run: folders are slow to make,
// and every input only replaces the files it needs.
HostTestDisc& SharedDisc() {
	static HostTestDisc disc;
	if ( !disc.IsOpen() && !disc.Open( { .prefix = "engine_fuzz_", .edit = HostTestDiscUseNtsc } ) ) {
		std::fprintf( stderr, "fuzz: cannot make the temporary disc\n" );
		std::abort();
	}
	return disc;
}

} // namespace

FuzzRegistration::FuzzRegistration( FuzzTargetInfo& info ) {
	info.next = TargetList();
	TargetList() = &info;
}

FuzzTargetInfo* FuzzTargets() {
	return TargetList();
}

FuzzTargetInfo* FuzzFindTarget( const char* name ) {
	for ( FuzzTargetInfo* info = TargetList(); info != nullptr; info = info->next ) {
		if ( std::strcmp( info->name, name ) == 0 ) {
			return info;
		}
	}
	return nullptr;
}

void FuzzCheck( const bool condition, const char* what ) {
	if ( !condition ) {
		std::fprintf( stderr, "fuzz: %s\n", what );
		std::abort();
	}
}

s64 FuzzArenaUse() {
	return TestArenaUse();
}

void FuzzWithoutArenaLeak( void ( *load )( const u8* data, size_t size ), const u8* data, const size_t size ) {
	const s64 before = FuzzArenaUse();
	load( data, size );
	const s64 after = FuzzArenaUse();
	if ( after == before ) {
		return;
	}
	load( data, size );
	FuzzCheck( FuzzArenaUse() <= after, "the load leaves memory of the engine's heaps behind" );
}

bool FuzzDiscWriteFile( const char* path, const u8* data, const size_t size ) {
	return SharedDisc().WriteFile( path, std::span<const u8>( data, size ) );
}

void FuzzDiscCloseFiles() {
	HostTestDisc::CloseAllFiles();
}

void FuzzLoadFromMemoryOrDisc( const u8* data, const size_t size, const char* path,
							   void ( *load )( DTBasePersistStream& stream, void* context ), void* context ) {
	if ( size == 0 ) {
		return;
	}
	if ( data[0] % 2 == 0 ) {
		std::vector<char> copy( data + 1, data + size );
		DTMemoryPersistStream stream( copy.empty() ? nullptr : copy.data(), static_cast<s32>( copy.size() ) );
		load( stream, context );
		FuzzCheck( stream.GetPosition() <= static_cast<s32>( copy.size() ), "the memory stream ran past its end" );
		return;
	}
	FuzzCheck( FuzzDiscWriteFile( path, data + 1, size - 1 ), "cannot write the record" );
	DTFileHandle_* const file = DTFopen( path, "r" );
	FuzzCheck( file != nullptr, "the record does not open" );
	DTBinaryPersistStream stream( file );
	load( stream, context );
	DTFclose( file );
}

std::string FuzzDiscFolder() {
	return SharedDisc().DiscFolder().string();
}

namespace {

bool rwUp = false;
bool rwOnEngineAllocator = false;
bool rwWithWorldPlugins = false;

}

void FuzzRwStop() {
	if ( rwUp ) {
		RwEngineStop();
		RwEngineClose();
		RwEngineTerm();
		rwUp = false;
	}
}

void FuzzRwStart( const bool engineAllocator, const bool worldPlugins ) {
	if ( rwUp && rwOnEngineAllocator == engineAllocator && rwWithWorldPlugins == worldPlugins ) {
		return;
	}
	FuzzRwStop();
	// An engine controller an earlier target kept holds the library
	// through its graphics manager: it ends first.
	delete gpoEngineController;
	static const RwMemoryFunctions engineMemory = { MMMalloc, MMFree, MMRealloc, MMCalloc };
	static u32 deviceConfiguration[3] = { 1, 2, 3 };
	TestDeviceReset();
	rwUp = RwEngineInit( engineAllocator ? &engineMemory : nullptr, RWENGINE_INIT_NO_FREE_LISTS, 0 ) &&
		   ( !worldPlugins ||
			 ( RpCollisionPluginAttach() && RpWorldPluginAttach() && RpHAnimPluginAttach() && RpSkinPluginAttach() &&
			   ApAtomicDataPluginAttach() == 1 && ApCollisionPrimitivesPluginAttach() == 1 ) ) &&
		   RwEngineOpen( deviceConfiguration ) && RwEngineStart();
	FuzzCheck( rwUp, "the 3D library does not start" );
	rwOnEngineAllocator = engineAllocator;
	rwWithWorldPlugins = worldPlugins;
	RwError ignored = { 0, 0 };
	RwErrorGet( &ignored );
}

EFAnimRes* FuzzReadAnimRes( const u8* data, const size_t size ) {
	std::vector<char> copy( data, data + size );
	DTMemoryPersistStream stream( copy.empty() ? nullptr : copy.data(), static_cast<s32>( copy.size() ) );
	EFAnimRes* const res = new EFAnimRes;
	if ( res->LoadPropertiesBinary( stream ) != 0 || res->mpAnimData == nullptr ) {
		delete res;
		return nullptr;
	}
	return res;
}
