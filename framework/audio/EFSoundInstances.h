/*
===============================================================================

	The extra instances of a sound event or container: pooled sounds of
	the same id, initialised as children, that take the plays the first
	one cannot. Making them is all or nothing.

===============================================================================
*/
#ifndef EF_SOUND_INSTANCES_H
#define EF_SOUND_INSTANCES_H

#include "framework/audio/ISound.h"

#include <new>

// Clears every child, frees the array; count becomes 0.
template< class Sound >
void EFClearSoundInstances( Sound **& children, u32 & count ) {
	for ( u32 i = 0; i < count; i++ ) {
		if ( children[i] != nullptr ) {
			children[i]->ClearSoundData();
		}
	}
	delete[] children;
	children = nullptr;
	count = 0;
}

// Makes extra children drawn from the pool of poolSize by findFree, each
// initialised as a child with owner, soundId and handle. False when the
// pool cannot hold them (a stored count is not trusted with an
// allocation), or the array, a pooled sound or an initialisation fails;
// what was made is cleared then.
template< class Sound >
bool EFMakeSoundInstances( Sound **& children, u32 & count, const u32 extra, const u32 poolSize,
						   ISound * ( *findFree )(), EFGameObject * owner, const u32 soundId, void * handle ) {
	if ( extra >= poolSize ) {
		return false;
	}
	children = new ( std::nothrow ) Sound *[extra]();
	if ( children == nullptr ) {
		return false;
	}
	count = extra;
	for ( u32 i = 0; i < extra; i++ ) {
		Sound * const child = static_cast<Sound *>( findFree() );
		if ( child == nullptr || !child->Initialize( owner, soundId, handle, true ) ) {
			if ( child != nullptr ) {
				child->ClearSoundData();
			}
			EFClearSoundInstances( children, count );
			return false;
		}
		children[i] = child;
	}
	return true;
}

// Hands a play to the first child that is not playing; nothing when all
// are busy.
template< class Sound >
void EFPlayOnFreeInstance( Sound ** children, const u32 count, const u32 playArg ) {
	for ( u32 i = 0; i < count; i++ ) {
		if ( children[i] != nullptr && !children[i]->IsPlaying() ) {
			children[i]->PlaySound( playArg );
			return;
		}
	}
}

#endif
