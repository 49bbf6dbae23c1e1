/*
===============================================================================

	Resource entries: driver data kept in the resource arena.

	The arena (RwEngineInit's arena size, allocated when the engine starts)
	holds entries of driver data such as instanced geometry. Each entry
	sits in one of two lists: entries used this frame and entries of
	earlier frames. When the arena runs short the oldest entry of earlier
	frames is evicted first, then the oldest of the current frame; the
	owner learns of it through its destroy notification and its cleared
	reference, and rebuilds the data on next use. _rwResourcesPurge, once
	per displayed frame, moves the current frame's entries in front of the
	earlier ones.

	With an arena size of 0 there is no arena and every allocation fails
	with core error 12.

===============================================================================
*/
#ifndef RW_RESOURCES_H
#define RW_RESOURCES_H

#include "graphics3d/core/RwLinkList.h"

struct RwResEntry;
struct RwModuleInfo;

typedef void ( *RwResEntryDestroyNotify )( RwResEntry* resEntry );

// Header before an entry's payload.
struct RwResEntry {
	RwLLLink				link;		// next null: the entry lies outside the arena
	s32						size;		// payload bytes
	void*					owner;
	RwResEntry**			ownerRef;	// cleared when the entry goes away
	RwResEntryDestroyNotify	destroyNotify;
};

// The resource module's globals in the engine instance.
struct RwResourcesGlobals {
	u32				resArenaSize;
	u32				resArenaUsed;		// bytes in use by entries
	u32				resArenaEvicted;	// current-frame bytes evicted since the last purge
	void*			resArenaMemory;		// the arena; its heap record sits at its start
	RwLinkList		entryLists[2];
	RwLinkList*		earlierFrames;		// one of entryLists
	RwLinkList*		currentFrame;		// the other
};

extern RwModuleInfo	resourcesModule;

// An entry of size payload bytes at the head of the current-frame list,
// stored in *ownerRef when given. When nothing is left to evict: the
// owner's reference is cleared, core error 12 recorded, null returned.
RwResEntry*	RwResourcesAllocateResEntry( void* owner, RwResEntry** ownerRef, s32 size,
										 RwResEntryDestroyNotify destroyNotify );
// Notifies, clears the owner's reference and releases the entry. Returns
// true.
bool		RwResourcesFreeResEntry( RwResEntry* entry );
// Moves a listed entry to the head of the current-frame list, marking it
// as used this frame. Entries outside the arena are left alone.
RwResEntry*	RwResourcesUseResEntry( RwResEntry* entry );
// Evicts every entry.
void		RwResourcesEmptyArena();
// Once per displayed frame: this frame's entries become the most recent
// of the earlier frames.
void		_rwResourcesPurge();

// Engine plug-in open and close.
void*		_rwResourcesOpen( void* instance, s32 offset, s32 size );
void*		_rwResourcesClose( void* instance, s32 offset, s32 size );

#endif
