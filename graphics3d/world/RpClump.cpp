#include "graphics3d/world/RpClump.h"

#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpWorld.h"

#include <new>

RpClump* RpClumpCreate() {
	RpClump* const clump = new ( std::nothrow ) RpClump{};
	if ( clump == nullptr ) {
		return nullptr;
	}
	clump->object.type = rpCLUMP;
	return clump;
}

bool RpClumpDestroy( RpClump* clump ) {
	if ( clump == nullptr ) {
		return true;
	}
	if ( clump->world != nullptr ) {
		RpWorldRemoveClump( clump->world, clump );
	}
	while ( clump->atomicList != nullptr ) {
		RpAtomicDestroy( clump->atomicList );
	}
	delete clump;
	return true;
}

RpClump* RpClumpAddAtomic( RpClump* clump, RpAtomic* atomic ) {
	if ( atomic->clump != nullptr ) {
		RpClumpRemoveAtomic( atomic->clump, atomic );
	}
	atomic->next = clump->atomicList;
	atomic->clump = clump;
	clump->atomicList = atomic;
	return clump;
}

RpClump* RpClumpRemoveAtomic( RpClump* clump, RpAtomic* atomic ) {
	for ( RpAtomic** link = &clump->atomicList; *link != nullptr; link = &( *link )->next ) {
		if ( *link == atomic ) {
			*link = atomic->next;
			atomic->next = nullptr;
			atomic->clump = nullptr;
			break;
		}
	}
	return clump;
}

RpClump* RpClumpForAllAtomics( RpClump* clump, RpAtomicCallBack callBack, void* data ) {
	RpAtomic* atomic = clump->atomicList;
	while ( atomic != nullptr ) {
		// The callback may take the atomic out of the clump.
		RpAtomic* const next = atomic->next;
		if ( callBack( atomic, data ) == nullptr ) {
			break;
		}
		atomic = next;
	}
	return clump;
}

RpWorld* RpClumpGetWorld( const RpClump* clump ) {
	return clump->world;
}
