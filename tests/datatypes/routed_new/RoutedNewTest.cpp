#include "datatypes/containers/DTMap.h"
#include "datatypes/containers/DTVector.h"
#include "datatypes/memory/MMMemory.h"
#include "platform/host/HostArena.h"
#include "platform/os/OS.h"
#include "platform/os/OSHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <vector>

namespace {

// Made while static initialisers run, before main: the first allocation of
// the process sets the memory manager up.
int*				earlyValue = new int( 42 );
std::vector<u32>*	earlyVector = new std::vector<u32>( 1000, 7 );

TEST( RoutedNewTest, AnAllocationFromAStaticInitialiserComesFromTheArena ) {
	EXPECT_TRUE( HostArenaContains( earlyValue ) );
	EXPECT_EQ( *earlyValue, 42 );
	EXPECT_TRUE( HostArenaContains( earlyVector ) );
	EXPECT_TRUE( HostArenaContains( earlyVector->data() ) );
	EXPECT_EQ( ( *earlyVector )[999], 7u );
	EXPECT_EQ( ui32MemFlag & MM_FLAG_INITIALISED, MM_FLAG_INITIALISED );
	EXPECT_EQ( _CurrentNewHandler, &MMMalloc );
}

TEST( RoutedNewTest, EngineContainerMemoryLiesInTheArena ) {
	DTVector<u32> vector;
	for ( u32 i = 0; i < 100; i++ ) {
		ASSERT_TRUE( vector.Append( i ) );
	}
	EXPECT_TRUE( HostArenaContains( vector.GetArray() ) );

	DTMap<u32, u32>* map = new DTMap<u32, u32>();
	EXPECT_TRUE( HostArenaContains( map ) );
	delete map;
}

// Recording hooks that pass everything on to the manager.
u32		newCalls = 0;
u32		lastNewSize = 0;
u32		deleteCalls = 0;
void*	lastDeleted = nullptr;

void* RecordNew( const u32 size ) {
	newCalls++;
	lastNewSize = size;
	return MMMalloc( size );
}

void RecordDelete( void* p ) {
	deleteCalls++;
	lastDeleted = p;
	MMFree( p );
}

struct Sized {
	u8		bytes[200];
};

TEST( RoutedNewTest, EveryFormOfNewAndDeleteGoesThroughTheHooks ) {
	struct Case {
		const char*	form;
		void		( *run )( void*& allocated, u32& size );
	};
	const Case cases[] = {
		{ "scalar", []( void*& p, u32& size ) { Sized* s = new Sized; p = s; size = sizeof( Sized ); delete s; } },
		{ "array", []( void*& p, u32& size ) { u8* a = new u8[77]; p = a; size = 77; delete[] a; } },
		{ "nothrow scalar",
		  []( void*& p, u32& size ) { Sized* s = new ( std::nothrow ) Sized; p = s; size = sizeof( Sized ); delete s; } },
		{ "nothrow array",
		  []( void*& p, u32& size ) { u8* a = new ( std::nothrow ) u8[13]; p = a; size = 13; delete[] a; } },
		{ "sized delete",
		  []( void*& p, u32& size ) { p = ::operator new( 48 ); size = 48; ::operator delete( p, 48 ); } },
		{ "sized array delete",
		  []( void*& p, u32& size ) { p = ::operator new[]( 48 ); size = 48; ::operator delete[]( p, 48 ); } },
		{ "nothrow delete",
		  []( void*& p, u32& size ) {
			  p = ::operator new( 9, std::nothrow );
			  size = 9;
			  ::operator delete( p, std::nothrow );
		  } },
		{ "nothrow array delete",
		  []( void*& p, u32& size ) {
			  p = ::operator new[]( 9, std::nothrow );
			  size = 9;
			  ::operator delete[]( p, std::nothrow );
		  } },
	};
	for ( const Case& c : cases ) {
		newCalls = 0;
		deleteCalls = 0;
		void* allocated = nullptr;
		u32 size = 0;
		_CurrentNewHandler = RecordNew;
		_CurrentDeleteHandler = RecordDelete;
		c.run( allocated, size );
		_CurrentNewHandler = MMMalloc;
		_CurrentDeleteHandler = MMFree;
		EXPECT_EQ( newCalls, 1u ) << c.form;
		EXPECT_EQ( lastNewSize, size ) << c.form;
		EXPECT_EQ( deleteCalls, 1u ) << c.form;
		EXPECT_EQ( lastDeleted, allocated ) << c.form;
		EXPECT_TRUE( HostArenaContains( allocated ) ) << c.form;
	}
}

void* NothingLeft( u32 ) {
	return nullptr;
}

// The hook must not return; it leaves through an exception the test catches.
struct PanicSeen {};
char panicMessage[64];

void CatchPanic( const char*, s32, const char* message ) {
	std::strncpy( panicMessage, message, sizeof( panicMessage ) - 1 );
	throw PanicSeen();
}

TEST( RoutedNewTest, PlainNewReportsOutOfMemoryWhileTheNothrowFormsReturnNull ) {
	const OSHostPanicHook previous = OSHostSetPanicHook( CatchPanic );
	struct Case {
		const char*	form;
		void*		( *run )();
	};
	const Case cases[] = {
		{ "scalar", []() -> void* { return ::operator new( 16 ); } },
		{ "array", []() -> void* { return ::operator new[]( 16 ); } },
		{ "nothrow scalar", []() -> void* { return ::operator new( 16, std::nothrow ); } },
		{ "nothrow array", []() -> void* { return ::operator new[]( 16, std::nothrow ); } },
	};
	for ( const Case& c : cases ) {
		const bool nothrow = std::strncmp( c.form, "nothrow", 7 ) == 0;
		std::memset( panicMessage, 0, sizeof( panicMessage ) );
		bool panicked = false;
		void* p = reinterpret_cast<void*>( 1 );
		_CurrentNewHandler = NothingLeft;
		try {
			p = c.run();
		} catch ( const PanicSeen& ) {
			panicked = true;
		}
		_CurrentNewHandler = MMMalloc;
		EXPECT_EQ( panicked, !nothrow ) << c.form;
		if ( nothrow ) {
			EXPECT_EQ( p, nullptr ) << c.form;
		} else {
			EXPECT_STREQ( panicMessage, "out of memory" ) << c.form;
		}
	}
	OSHostSetPanicHook( previous );

	// A size the 32-bit allocator cannot express is refused, not truncated.
	EXPECT_EQ( ::operator new( static_cast<std::size_t>( 1 ) << 33, std::nothrow ), nullptr );
}

}
