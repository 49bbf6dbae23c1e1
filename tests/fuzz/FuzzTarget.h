/*
===============================================================================

	Fuzz targets: one loader of stored data fed one input.

	A target is a function that hands its input to a loader the way the
	engine would, then frees whatever the load built. It must return for
	every input; a crash, a sanitizer report, a hang or a failed FuzzCheck
	is a fault of the loader. Each target also writes its seeds, valid
	inputs made with the tools library's writers, from which the fuzzer
	mutates.

	The same target sources build two ways: under clang with libFuzzer
	(one program per target, see libfuzzer/FuzzMain.cpp), and under the
	normal compiler into the test program of this folder, which replays
	every seed and every committed input of tests/data/fuzz/<target>.

===============================================================================
*/
#ifndef FUZZ_TARGET_H
#define FUZZ_TARGET_H

#include "datatypes/base/DTTypes.h"

#include <cstddef>
#include <string>
#include <vector>

class DTBasePersistStream;

// A seed: a file name and its bytes.
struct FuzzSeed {
	std::string		name;
	std::vector<u8>	bytes;
};

typedef void	( *FuzzEntry )( const u8* data, size_t size );
typedef void	( *FuzzSeedWriter )( std::vector<FuzzSeed>& seeds );
// The fuzzer's own mutation of data (size bytes in a buffer of max).
typedef size_t	( *FuzzMutate )( u8* data, size_t size, size_t max );
// A target's mutation: may steer mutate (the fuzzer's) away from parts of
// the input; returns the new size.
typedef size_t	( *FuzzMutator )( u8* data, size_t size, size_t max, FuzzMutate mutate );

struct FuzzTargetInfo {
	const char*			name;
	FuzzEntry			entry;
	FuzzSeedWriter		seeds;
	FuzzTargetInfo*		next;
	FuzzMutator			mutator;	// null: the fuzzer's own
};

// Every target linked into the program, in no particular order.
FuzzTargetInfo*	FuzzTargets();
FuzzTargetInfo*	FuzzFindTarget( const char* name );

// Adds a target to the list; used by FUZZ_TARGET.
struct FuzzRegistration {
					FuzzRegistration( FuzzTargetInfo& info );
};

// Defines the entry of target name; the seeds function of the same file
// is FuzzSeeds_<name>, declared before the use.
#define FUZZ_TARGET( name )																		\
	static void FuzzEntry_##name( const u8* data, size_t size );									\
	static void FuzzSeeds_##name( std::vector<FuzzSeed>& seeds );									\
	static FuzzTargetInfo fuzzInfo_##name = { #name, FuzzEntry_##name, FuzzSeeds_##name, nullptr, nullptr };	\
	static FuzzRegistration fuzzRegistration_##name( fuzzInfo_##name );								\
	static void FuzzEntry_##name( const u8* data, size_t size )

// Gives target name its own mutation, defined after the use as
// FuzzMutator_<name>; follows the FUZZ_TARGET of the same name.
#define FUZZ_MUTATOR( name )																		\
	static size_t FuzzMutator_##name( u8* data, size_t size, size_t max, FuzzMutate mutate );		\
	[[maybe_unused]] static const bool fuzzMutatorSet_##name = ( fuzzInfo_##name.mutator = FuzzMutator_##name, true );

// Aborts with the message when the condition does not hold: the loader
// broke a promise that no sanitizer can see.
void	FuzzCheck( bool condition, const char* what );

// Bytes in use in the engine's heaps less the free elements of its pools:
// grows with every block taken, whichever of them serves it.
s64		FuzzArenaUse();

// Runs the load and checks that it gave back everything it took from the
// engine's heaps. A load that grows the heaps once (a cache filled on
// first use) is run again and must not grow them further.
void	FuzzWithoutArenaLeak( void ( *load )( const u8* data, size_t size ), const u8* data, size_t size );

// The temporary disc that every target of the program shares: made at
// the first call, with the host stand-ins started on it. WriteFile puts
// bytes under a path of the disc; false when that fails.
bool	FuzzDiscWriteFile( const char* path, const u8* data, size_t size );
// Closes every engine file handle left open.
void	FuzzDiscCloseFiles();
// Hands a persist stream over bytes to load: a memory stream when the
// first byte is even (checked not to run past its end), else a binary
// file stream on the disc file path holding them. The first byte is not
// part of the bytes.
void	FuzzLoadFromMemoryOrDisc( const u8* data, size_t size, const char* path,
								  void ( *load )( DTBasePersistStream& stream, void* context ), void* context );
// The disc folder itself, for targets that lay out whole discs.
std::string	FuzzDiscFolder();

class EFAnimRes;
// An animation resource read from the bytes through a memory stream, or
// null, with nothing kept, when it does not load or holds no block.
EFAnimRes*	FuzzReadAnimRes( const u8* data, size_t size );

// Starts the 3D library over the host test device, on the engine's
// allocator or on the C library's (no free lists either way, so that the
// sanitizers see every block), and keeps it up for the targets that ask
// for the same allocator. worldPlugins attaches the collision, world,
// hierarchical animation and skin plug-ins and the engine's atomic data
// as well.
void	FuzzRwStart( bool engineAllocator, bool worldPlugins = false );
// Ends what FuzzRwStart started, for a target whose engine controller
// brings the library up itself.
void	FuzzRwStop();

// While set, global operator new and delete go to the engine's allocator,
// as they always do in the engine executable; otherwise to the C
// library's. Only programs that link FuzzRoutedNew.cpp route.
extern bool	gbFuzzRouteNew;
// Clears the sanitizer's marks over the level heap, whose reset takes back
// every block at once (FuzzRoutedNew.cpp).
void	FuzzClearLevelHeapMarks();

#endif
