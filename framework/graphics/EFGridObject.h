/*
===============================================================================

	Steps the water and ground-fog grid objects take alike: a copy over a
	copy of the shared model resource, and the object's playing texture
	animations applied (for level 0) around the strips.

===============================================================================
*/
#ifndef EF_GRID_OBJECT_H
#define EF_GRID_OBJECT_H

#include "framework/core/level/EFRessource.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/animation/EFTextureAnimNode.h"

#include <new>

// A new grid of the same class over a copy of grid's resource.
template <class Grid>
EFInstance * EFGridShallowCopy( const Grid & grid ) {
	Grid * const copy = new ( std::nothrow ) Grid;
	if ( copy == nullptr ) {
		return nullptr;
	}
	if ( grid.mp3dObjRes != nullptr ) {
		EFRessource * const shared = grid.mp3dObjRes->Copy();
		if ( shared != nullptr ) {
			shared->muiRefCount++;
		}
		copy->SetRessource( shared );
	}
	copy->SetUID( grid.GetUID() );
	return copy;
}

// Applies (or restores) the playing texture animations for level 0.
inline void EFGridTextureAnimations( EF3dObj & grid, const bool apply ) {
	for ( EFTextureAnimNode * node = grid.mpPlayingTextAnim.mpFirst; node != nullptr; node = node->mpSLLNext ) {
		if ( apply ) {
			node->ApplyText( 0 );
		} else {
			node->RestoreText( 0 );
		}
	}
}

#endif
