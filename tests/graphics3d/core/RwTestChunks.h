/*
===============================================================================

	Chunk data for the 3D library tests, written with the library's own
	writers.

	Payloads are written through a memory write stream with the typed
	writers; chunks are a header from _rwStreamWriteVersionedChunkHeader
	followed by their payload, and nest by being payloads themselves. The
	library must be started. A memory read stream over a byte image reads
	the data back.

===============================================================================
*/
#ifndef RW_TEST_CHUNKS_H
#define RW_TEST_CHUNKS_H

#include "graphics3d/core/RwStreamData.h"
#include "RwTestEngine.h"

#include <initializer_list>
#include <vector>

typedef std::vector<u8> RwTestBytes;

// Everything a write stream received, handed back as bytes.
template< typename Write >
inline RwTestBytes RwTestWrite( Write write ) {
	RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMWRITE, nullptr );
	EXPECT_NE( stream, nullptr );
	if ( stream == nullptr ) {
		return {};
	}
	EXPECT_TRUE( write( stream ) );
	RwMemory written = { nullptr, 0 };
	RwStreamClose( stream, &written );
	RwTestBytes bytes( written.start, written.start + written.length );
	RwEngineInstance->memoryFunctions.rwfree( written.start );
	return bytes;
}

inline RwTestBytes RwTestWords( const std::initializer_list<u32> words ) {
	const std::vector<u32> values( words );
	return RwTestWrite( [&]( RwStream* s ) {
		return RwStreamWriteInt32( s, values.data(), static_cast<u32>( values.size() * sizeof( u32 ) ) ) != nullptr;
	} );
}

inline RwTestBytes RwTestReals( const std::initializer_list<f32> reals ) {
	const std::vector<f32> values( reals );
	return RwTestWrite( [&]( RwStream* s ) {
		return RwStreamWriteReal( s, values.data(), static_cast<u32>( values.size() * sizeof( f32 ) ) ) != nullptr;
	} );
}

inline RwTestBytes RwTestConcat( const std::initializer_list<RwTestBytes> parts ) {
	RwTestBytes all;
	for ( const RwTestBytes& part : parts ) {
		all.insert( all.end(), part.begin(), part.end() );
	}
	return all;
}

// A header of a given length, whatever follows it.
inline RwTestBytes RwTestHeader( const u32 type, const u32 length, const u32 version = RWLIBRARY_VERSION,
								 const u32 build = RWLIBRARY_BUILD ) {
	return RwTestWrite( [&]( RwStream* s ) {
		return _rwStreamWriteVersionedChunkHeader( s, type, length, version, build ) != nullptr;
	} );
}

inline RwTestBytes RwTestChunk( const u32 type, const RwTestBytes& payload, const u32 version = RWLIBRARY_VERSION ) {
	return RwTestConcat( { RwTestHeader( type, static_cast<u32>( payload.size() ), version ), payload } );
}

// A read stream over bytes that must outlive it; closed by the fixture
// or by the test.
inline RwStream* RwTestOpenRead( const RwTestBytes& bytes ) {
	RwMemory memory = { const_cast<u8*>( bytes.data() ), static_cast<u32>( bytes.size() ) };
	return RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory );
}

inline u32 RwTestReadPosition( const RwStream* stream ) {
	return stream->Type.memory.position;
}

// Every test of streams, maths and frames runs with the library started
// as the engine runs it: engine allocator, free lists disabled.
class RwStartedTestCase : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		ASSERT_TRUE( RwTestBringUp( &rwTestEngineMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		RwTestReadError();
	}
};

// The library started with the world modules attached, free lists
// disabled as the system runs them.
class RwWorldStartedTestCase : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		ASSERT_TRUE( RwEngineInit( &rwTestEngineMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) && AttachPlugins() &&
					 RwEngineOpen( &rwTestDeviceConfig ) && RwEngineStart() );
		RwTestReadError();
	}

	// The plug-ins attached before the library opens.
	virtual bool AttachPlugins() { return RpWorldPluginAttach(); }
};

#endif
