/*
===============================================================================

	A digest of what a running game is, for tests that compare two runs
	frame by frame (a recording and its replay, two replays): field by
	field, a hash of each game object's id, position, orientation and
	logic flags, of its logic instance's state words, of each camera's
	position and of the value the engine's random sequence gives next
	(peeked, not drawn). Nothing is changed by taking it.

	Objects are taken in the world's list order, enabled ones first: two
	runs that made the same objects in another order differ too.

	Digests live in malloc'd memory: a test program that routes operator
	new to the engine's heaps would have them on a level heap that the
	next level load resets, and taking one must not move the engine's own
	allocations either.

===============================================================================
*/
#ifndef STATE_DIGEST_H
#define STATE_DIGEST_H

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "platform/runtime/RuntimeRand.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

// Storage from malloc, never from operator new.
template <class T>
struct StateDigestAllocator {
	using value_type = T;
	StateDigestAllocator() = default;
	template <class U>
	StateDigestAllocator( const StateDigestAllocator<U>& ) {}
	T* allocate( const size_t count ) {
		void* const p = std::malloc( count * sizeof( T ) );
		if ( p == nullptr ) {
			throw std::bad_alloc();
		}
		return static_cast<T*>( p );
	}
	void deallocate( T* p, size_t ) { std::free( p ); }
	template <class U>
	bool operator==( const StateDigestAllocator<U>& ) const { return true; }
};

template <class T>
using StateDigestVector = std::vector<T, StateDigestAllocator<T>>;

class StateDigest {
public:
	struct Field {
		char		name[48];
		u64			hash;
	};

	// The state of the running engine now.
	static StateDigest Take() {
		StateDigest digest;
		StateDigestVector<const EFGameObject*> objects;
		if ( gpoWorldMgr != nullptr ) {
			for ( const EFGameObject* o = gpoWorldMgr->GetFirstGameObject(); o != nullptr; o = EFWorld::GetNextGameObject( o ) ) {
				objects.push_back( o );
			}
			for ( const EFGameObject* o = gpoWorldMgr->GetFirstDisabledGameObject(); o != nullptr;
				  o = EFWorld::GetNextGameObject( o ) ) {
				objects.push_back( o );
			}
		}
		StateDigestVector<u32> ids;
		for ( const EFGameObject* object : objects ) {
			ids.push_back( object->GetUID() );
		}
		digest.Add( Named( "object ids" ), ids.data(), ids.size() * sizeof( u32 ) );
		for ( const EFGameObject* object : objects ) {
			const u32 id = object->GetUID();
			digest.AddFrame( "object", id, object->GetFrame() );
			digest.Add( Name( "object", id, "logic flags" ), &object->muiLogicFlags, sizeof( u32 ) );
			const u32 words[] = { object->moLogicInstance.muiCurrentState, object->moLogicInstance.muiFlags };
			digest.Add( Name( "object", id, "logic state" ), words, sizeof( words ) );
		}
		for ( u32 slot = 0; slot < 2; slot++ ) {
			const EFCamera* const camera = gpoGraphicsMgr != nullptr ? gpoGraphicsMgr->GetCamera( slot ) : nullptr;
			const DTFrame* const frame = camera != nullptr ? camera->GetFrame() : nullptr;
			const Field name = Name( "camera", slot, "position" );
			if ( frame != nullptr ) {
				digest.Add( name, &frame->moFrame.modelling.pos.x, 3 * sizeof( f32 ) );
			} else {
				digest.Add( name, "none", 4 );
			}
		}
		const s32 next = RuntimeRandPeek();
		digest.Add( Named( "random next" ), &next, sizeof( next ) );
		return digest;
	}

	// The first field in which other differs (in order: a missing or
	// extra field counts); empty when the two are equal.
	std::string FirstDifference( const StateDigest& other ) const {
		const size_t common = std::min( mFields.size(), other.mFields.size() );
		for ( size_t i = 0; i < common; i++ ) {
			if ( std::strcmp( mFields[i].name, other.mFields[i].name ) != 0 ) {
				return std::string( mFields[i].name ) + " / " + other.mFields[i].name;
			}
			if ( mFields[i].hash != other.mFields[i].hash ) {
				return mFields[i].name;
			}
		}
		if ( mFields.size() != other.mFields.size() ) {
			return "field count " + std::to_string( mFields.size() ) + " / " + std::to_string( other.mFields.size() );
		}
		return "";
	}

	// All fields together.
	u64 Hash() const {
		u64 hash = FNV_OFFSET;
		for ( const Field& field : mFields ) {
			hash = Mix( hash, &field.hash, sizeof( field.hash ) );
		}
		return hash;
	}

	const StateDigestVector<Field>& Fields() const { return mFields; }

private:
	static constexpr u64 FNV_OFFSET = 0xCBF29CE484222325ull;
	static constexpr u64 FNV_PRIME	= 0x100000001B3ull;

	static u64 Mix( u64 hash, const void* bytes, const size_t size ) {
		const u8* const p = static_cast<const u8*>( bytes );
		for ( size_t i = 0; i < size; i++ ) {
			hash = ( hash ^ p[i] ) * FNV_PRIME;
		}
		return hash;
	}

	static Field Named( const char* text ) {
		Field field = {};
		std::snprintf( field.name, sizeof( field.name ), "%s", text );
		return field;
	}

	static Field Name( const char* kind, const u32 id, const char* what ) {
		Field field = {};
		std::snprintf( field.name, sizeof( field.name ), "%s 0x%08X %s", kind, id, what );
		return field;
	}

	// Floats go in by their bit patterns: -0.0 and 0.0 differ, as a
	// replay must not.
	void Add( Field field, const void* bytes, const size_t size ) {
		field.hash = Mix( FNV_OFFSET, bytes, size );
		mFields.push_back( field );
	}

	void AddFrame( const char* kind, const u32 id, const DTFrame* frame ) {
		if ( frame == nullptr ) {
			Add( Name( kind, id, "position" ), "none", 4 );
			Add( Name( kind, id, "orientation" ), "none", 4 );
			return;
		}
		const RwMatrix& m = frame->moFrame.modelling;
		Add( Name( kind, id, "position" ), &m.pos.x, 3 * sizeof( f32 ) );
		const f32 axes[] = { m.right.x, m.right.y, m.right.z, m.up.x, m.up.y, m.up.z, m.at.x, m.at.y, m.at.z };
		Add( Name( kind, id, "orientation" ), axes, sizeof( axes ) );
	}

	StateDigestVector<Field> mFields;
};

// The digests of a run, one a frame.
using StateDigestRun = StateDigestVector<StateDigest>;

// The first frame in which two runs' digests differ and its field, as
// "frame N: field"; empty when they agree over the frames both have.
inline std::string StateDigestFirstDifference( const StateDigestRun& a, const StateDigestRun& b ) {
	const size_t common = std::min( a.size(), b.size() );
	for ( size_t f = 0; f < common; f++ ) {
		const std::string field = a[f].FirstDifference( b[f] );
		if ( !field.empty() ) {
			return "frame " + std::to_string( f ) + ": " + field;
		}
	}
	return "";
}

#endif
