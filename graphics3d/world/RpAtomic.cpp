#include "graphics3d/world/RpAtomic.h"

#include "graphics3d/world/RpClump.h"

#include <new>

RpAtomic* RpAtomicCreate() {
	RpAtomic* const atomic = new ( std::nothrow ) RpAtomic{};
	if ( atomic == nullptr ) {
		return nullptr;
	}
	atomic->object.object.type = rpATOMIC;
	return atomic;
}

bool RpAtomicDestroy( RpAtomic* atomic ) {
	if ( atomic == nullptr ) {
		return true;
	}
	if ( atomic->clump != nullptr ) {
		RpClumpRemoveAtomic( atomic->clump, atomic );
	}
	delete atomic;
	return true;
}

RpAtomic* RpAtomicSetFrame( RpAtomic* atomic, RwFrame* frame ) {
	atomic->object.object.parent = frame;
	return atomic;
}

RwFrame* RpAtomicGetFrame( const RpAtomic* atomic ) {
	return static_cast<RwFrame*>( atomic->object.object.parent );
}

RpAtomic* _rpAtomicResyncInterpolatedSphere( RpAtomic* atomic ) {
	atomic->boundingSphere = atomic->interpolator.morphSphere;
	atomic->interpolator.flags &= ~rpINTERPOLATORDIRTYSPHERE;
	return atomic;
}
